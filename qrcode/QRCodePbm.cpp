// The symbols of the last redraw as a plain PBM text.
#include "QRCode.h"

namespace pavix::qr {

const std::vector<std::string>& TQRCode::PBM() {
  pbm_.clear();
  pbm_.emplace_back("P1");
  static constexpr const char* kCaptions[] = {"Single Mode (Count = ", "Connect Mode (Count = ",
                                              "Plus Mode (Count = "};
  pbm_.push_back(kCaptions[static_cast<std::size_t>(layout_.mode)] + std::to_string(layout_.count) + ")");
  const std::int32_t w = SymbolWidth();
  pbm_.push_back(std::to_string(w) + " " + std::to_string(w));

  const std::int32_t p = pxmag_;
  std::string blankLine;
  for (std::int32_t i = 0; i < w; ++i) blankLine += " 0";
  const std::string quiet = blankLine.substr(0, static_cast<std::size_t>(8 * p));
  for (std::int32_t k = 1; k <= layout_.count; ++k) {
    const std::int32_t begin = layout_.offset[static_cast<std::size_t>(k - 1)];
    const std::int32_t end = layout_.offset[static_cast<std::size_t>(k)];
    // The boundaries are those of the last redraw; a text decoded since then
    // (with redrawing off) may be shorter than they say.
    if (end - begin > kMaxPieceBytes || end > Len()) break;
    symbolIndex_ = k;
    const std::string_view piece =
        std::string_view(data_).substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
    if (!EncodeSymbol(piece)) break;
    pbm_.emplace_back();
    pbm_.emplace_back();
    for (std::int32_t i = 0; i < 4 * p; ++i) pbm_.push_back(blankLine);
    const TModuleMatrix& matrix = encoder_->Matrix();
    for (std::int32_t r = 0; r < matrix.Modules(); ++r) {
      std::string line = quiet;
      for (std::int32_t c = 0; c < matrix.Modules(); ++c) {
        for (std::int32_t i = 0; i < p; ++i) line += matrix.IsDark(r, c) ? " 1" : " 0";
      }
      line += quiet;
      for (std::int32_t i = 0; i < p; ++i) pbm_.push_back(line);
    }
    for (std::int32_t i = 0; i < 4 * p; ++i) pbm_.push_back(blankLine);
  }
  return pbm_;
}

}  // namespace pavix::qr
