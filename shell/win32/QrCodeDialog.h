#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "WindowHost.h"
#include "uQrCode.h"

// The pairing code dialog on Win32: the picture control drawing the bitmap
// the logic hands over, and the close button; events go to TfrmQrCode.
namespace pavix::desktop {

class QrCodeDialog final : public IQrCodeView, private IMessageHandler {
 public:
  QrCodeDialog(IShell& shell, TfrmQrCode& form, HWND owner, HFONT font);
  ~QrCodeDialog();
  QrCodeDialog(const QrCodeDialog&) = delete;
  QrCodeDialog& operator=(const QrCodeDialog&) = delete;

  HWND Handle() const { return window_.get(); }
  bool Closed() const { return closed_; }

  void SetPicture(std::unique_ptr<platform::IBitmap> picture) override;
  void Close() override { closed_ = true; }

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawPicture(const DRAWITEMSTRUCT& item) const;
  HWND Control(QrCodeControl control) const;

  IShell& shell_;
  TfrmQrCode& form_;
  std::unique_ptr<platform::IBitmap> picture_;
  UniqueWindow window_;
  std::array<HWND, kQrCodeLayout.size()> controls_{};
  bool closed_ = false;
};

}  // namespace pavix::desktop
