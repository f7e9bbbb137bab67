#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ControlLayout.h"
#include "Graphics.h"
#include "NameValueList.h"
#include "ShellTexts.h"

namespace pavix::qr {
class TQRCode;
}

// The pairing code dialog: a QR code of this PC's print settings and machine
// identity, enciphered, for the shop's app to scan.
namespace pavix {

class IShell;

enum class QrCodeControl { Image, FlatButton1 };

inline constexpr TWindowLayout kQrCodeWindow{texts::kPairingButton, 261, 344};
inline constexpr std::array<TControlLayout<QrCodeControl>, 2> kQrCodeLayout{{
    {QrCodeControl::Image, "Image", ControlKind::Image, "", 19, 7, 220, 220},
    {QrCodeControl::FlatButton1, "FlatButton1", ControlKind::Button, texts::kClose, 96, 291, 75, 25},
}};
inline constexpr int kPairingPictureSize = 220;

class IQrCodeView {
 public:
  virtual ~IQrCodeView() = default;
  // What the picture control shows, stretched to its size; nullptr: nothing.
  virtual void SetPicture(std::unique_ptr<platform::IBitmap> picture) = 0;
  // Ends the modal showing.
  virtual void Close() = 0;
};

// The settings the code carries: PrinterType, PrinterModelType, LocalPort, LocalAddr.
NameValueList ReadPairingSettings();

// The message that keeps the dialog from opening, or nullopt when it may.
std::optional<std::string_view> PairingPrecheckFailure(const NameValueList& settings);

// The compact JSON text (UTF-8) the code carries; raises IntegerConversionError
// when Type, Model or Port is not an integer text.
std::string PairingPayloadText(const NameValueList& settings, const std::string& esn);

// The payload of the stored settings and identity, enciphered as the app reads it.
std::string PairingText(const NameValueList& settings);

// Sets `symbol` up as the dialog draws the code (level L, version 8) and
// draws `pairingText`; false when the text does not fit the symbol.
bool DrawPairingSymbol(qr::TQRCode& symbol, const std::string& pairingText);

class TfrmQrCode {
 public:
  TfrmQrCode(IShell& shell, NameValueList settings);

  void Attach(IQrCodeView& view) { view_ = &view; }

  // Builds and draws the code afresh. A value that is not an integer raises,
  // and the picture stays empty.
  void FormShow();
  void FlatButton1Click();

  const NameValueList& Settings() const { return settings_; }
  // True once closed with its button.
  bool ModalResult = false;

 private:
  IQrCodeView& View() const;

  IShell& shell_;
  const NameValueList settings_;
  IQrCodeView* view_ = nullptr;
};

// The pre-checks, then the dialog; true when it was closed with its button.
bool ShowQrCodeDialog(IShell& shell);

}  // namespace pavix
