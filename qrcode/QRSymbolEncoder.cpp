#include "QRSymbolEncoder.h"

#include "QRErrorCorrection.h"
#include "QRMask.h"

namespace pavix::qr {

std::optional<std::int32_t> TQRSymbolEncoder::Encode(std::string_view piece, const TEncodeSettings& settings,
                                                     const TSymbolPosition& position, std::int32_t& emodeR) {
  if (!EncodePiece(piece, settings, position, data_, emodeR)) return std::nullopt;
  const TVersionInfo& info = VersionInfo(settings.version);
  const TEcLevelInfo& level = info.levels.at(static_cast<std::size_t>(settings.eclevel));
  dataLength_ = static_cast<std::size_t>(level.dataCodewords);
  ecLength_ = static_cast<std::size_t>(info.totalCodewords - level.dataCodewords);

  MakeErrorCorrection(level, DataCodewords(), {ec_.data(), ecLength_});
  InterleaveCodewords(level, DataCodewords(), EcCodewords(), {final_.data(), dataLength_ + ecLength_});
  PlaceFunctionPatterns(matrix_, info);
  PlaceData(matrix_, FinalCodewords());
  const std::int32_t mask = ChooseMask(matrix_, settings.masktype);
  PlaceFormatAndVersion(matrix_, info, settings.eclevel, mask);
  return mask;
}

}  // namespace pavix::qr
