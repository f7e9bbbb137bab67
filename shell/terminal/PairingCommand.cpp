#include <fstream>
#include <iostream>
#include <ostream>

#include "Commands.h"
#include "Console.h"
#include "MemoryViews.h"
#include "PngWriter.h"
#include "QRCode.h"
#include "TerminalShell.h"
#include "TerminalSymbol.h"

namespace pavix {

namespace {

// The dialog's 220 × 220 picture as an 8-bit grey PNG.
bool WritePicturePng(const platform::IBitmap& picture, const std::string& path, std::ostream& err) {
  std::vector<std::uint8_t> grey;
  grey.reserve(picture.Pixels().size());
  for (const std::uint32_t pixel : picture.Pixels()) {
    grey.push_back(static_cast<std::uint8_t>(((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3));
  }
  const std::string png = EncodePng(static_cast<std::uint32_t>(picture.Width()),
                                    static_cast<std::uint32_t>(picture.Height()), PngPixels::Gray8, grey);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(png.data(), static_cast<std::streamsize>(png.size()));
  file.close();
  if (!file) {
    err << "Could not write " << path << "\n";
    return false;
  }
  return true;
}

// The dialog itself, with its picture going to a file.
int PairingPicture(const std::string& path, std::ostream& out, std::ostream& err) {
  TerminalShell shell(out, err, err);
  bool written = false;
  shell.qrCodeDialog = [&](TfrmQrCode& form) {
    TMemoryQrCodeView view;
    form.Attach(view);
    RunUiAction(shell, [&] { form.FormShow(); });
    written = view.picture != nullptr && WritePicturePng(*view.picture, path, err);
    return written;
  };
  ShowQrCodeDialog(shell);
  return written ? 0 : 1;
}

// The same code drawn as the dialog draws it, shown as text.
int PairingSymbol(bool pbm, std::ostream& out, std::ostream& err) {
  TerminalShell shell(out, err, err);
  const NameValueList settings = ReadPairingSettings();
  if (const auto failure = PairingPrecheckFailure(settings)) {
    shell.ShowMessage(texts::System(*failure));
    return 1;
  }
  std::string text;
  if (!RunUiAction(shell, [&] { text = PairingText(settings); })) return 1;
  qr::TQRCode symbol(platform::SystemGraphics(), nullptr);
  if (!DrawPairingSymbol(symbol, text)) {
    shell.ShowMessage(texts::System(texts::kPairingTooLong));
    return 1;
  }
  if (pbm) {
    for (const auto& line : symbol.PBM()) out << line << "\n";
  } else {
    const bool terminal = &out == &std::cout && platform::StandardOutputIsTerminal();
    out << SymbolAsHalfBlocks(*symbol.Picture().Bitmap(), terminal);
  }
  return 0;
}

}  // namespace

int RunPairingCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return PairingSymbol(false, out, err);
  if (arguments.size() == 1 && arguments[0] == "--pbm") return PairingSymbol(true, out, err);
  if (arguments.size() == 2 && arguments[0] == "--png") return PairingPicture(arguments[1], out, err);
  err << "usage: pavix-print-server pairing [--png FILE | --pbm]\n";
  return 2;
}

}  // namespace pavix
