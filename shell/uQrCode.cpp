#include "uQrCode.h"

#include "BitmapTransform.h"
#include "DESUtils.h"
#include "Exception.h"
#include "IntegerText.h"
#include "QRCode.h"
#include "Shell.h"
#include "uCommon.h"
#include "uJSON.h"

namespace pavix {

namespace {

constexpr std::int32_t kLevelL = 0;
constexpr std::int32_t kPairingVersion = 8;

}  // namespace

NameValueList ReadPairingSettings() { return ReadSettings({"PrinterType", "PrinterModelType", "LocalPort", "LocalAddr"}); }

std::optional<std::string_view> PairingPrecheckFailure(const NameValueList& settings) {
  const std::string type = settings.Value("PrinterType");
  if (type.empty()) return texts::kNoPrintMode;
  if (type == "2" && (settings.Value("LocalPort").empty() || settings.Value("LocalAddr").empty())) {
    return texts::kIncompleteSettings;
  }
  return std::nullopt;
}

std::string PairingPayloadText(const NameValueList& settings, const std::string& esn) {
  TJSONobject payload(false);
  payload.AddField(u"QRType", std::string("PCPrinter"));
  payload.AddField(u"Type", StrToInt(settings.Value("PrinterType")));
  payload.AddField(u"Model", StrToInt(settings.Value("PrinterModelType")));
  payload.AddField(u"Addr", settings.Value("LocalAddr"));
  payload.AddField(u"Port", StrToInt(settings.Value("LocalPort")));
  payload.AddField(u"PESN", esn);
  return TJSON::JsonToText(&payload, true);
}

std::string PairingText(const NameValueList& settings) {
  return EncryptPairingText(PairingPayloadText(settings, GetMachineEsn()), PairingKey, PairingIv);
}

bool DrawPairingSymbol(qr::TQRCode& symbol, const std::string& pairingText) {
  symbol.SetEclevel(kLevelL);
  symbol.SetVersion(kPairingVersion);
  symbol.SetCode(pairingText);
  return symbol.SymbolDisped() && symbol.Picture().Bitmap() != nullptr;
}

TfrmQrCode::TfrmQrCode(IShell& shell, NameValueList settings) : shell_(shell), settings_(std::move(settings)) {}

IQrCodeView& TfrmQrCode::View() const {
  if (view_ == nullptr) throw Exception("The pairing code dialog has no window");
  return *view_;
}

void TfrmQrCode::FormShow() {
  View().SetPicture(nullptr);
  const std::string text = PairingText(settings_);
  const platform::IGraphics& graphics = platform::SystemGraphics();
  qr::TQRCode symbol(graphics, nullptr);
  if (!DrawPairingSymbol(symbol, text)) {
    shell_.ShowMessage(texts::System(texts::kPairingTooLong));
    return;
  }
  auto picture = graphics.CreateBitmap(kPairingPictureSize, kPairingPictureSize);
  platform::StretchDraw(*symbol.Picture().Bitmap(), *picture);
  View().SetPicture(std::move(picture));
}

void TfrmQrCode::FlatButton1Click() {
  ModalResult = true;
  View().Close();
}

bool ShowQrCodeDialog(IShell& shell) {
  NameValueList settings = ReadPairingSettings();
  if (const auto failure = PairingPrecheckFailure(settings)) {
    shell.ShowMessage(texts::System(*failure));
    return false;
  }
  TfrmQrCode form(shell, std::move(settings));
  return shell.RunQrCodeDialog(form);
}

}  // namespace pavix
