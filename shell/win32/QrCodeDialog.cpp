#include "QrCodeDialog.h"

#include "DesktopMessages.h"
#include "LayoutControls.h"
#include "Shell.h"
#include "WideText.h"

namespace pavix::desktop {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

QrCodeDialog::QrCodeDialog(IShell& shell, TfrmQrCode& form, HWND owner, HFONT font) : shell_(shell), form_(form) {
  window_ = CreateHostedWindow(kDialogWindowClass, kDialogStyle, kDialogExStyle, WideFromUtf8(kQrCodeWindow.caption),
                               kQrCodeWindow.clientWidth, kQrCodeWindow.clientHeight, owner, *this);
  controls_ = CreateLayoutControls(Handle(), kQrCodeLayout, font);
  CenterOver(Handle(), owner);
}

QrCodeDialog::~QrCodeDialog() { window_.reset(); }

HWND QrCodeDialog::Control(QrCodeControl control) const { return controls_[IndexOf(kQrCodeLayout, control)]; }

void QrCodeDialog::SetPicture(std::unique_ptr<platform::IBitmap> picture) {
  picture_ = std::move(picture);
  InvalidateRect(Control(QrCodeControl::Image), nullptr, TRUE);
}

void QrCodeDialog::DrawPicture(const DRAWITEMSTRUCT& item) const {
  const RECT& area = item.rcItem;
  if (picture_ == nullptr || picture_->Width() <= 0 || picture_->Height() <= 0) {
    FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  // The pixels are a top-down 32-bit device-independent bitmap already.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture_->Width();
  info.bmiHeader.biHeight = -picture_->Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(item.hDC, COLORONCOLOR);
  StretchDIBits(item.hDC, area.left, area.top, area.right - area.left, area.bottom - area.top, 0, 0,
                picture_->Width(), picture_->Height(), picture_->Pixels().data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT QrCodeDialog::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == ControlIdOf(IndexOf(kQrCodeLayout, QrCodeControl::FlatButton1))) {
          RunUiAction(shell_, [this] { form_.FlatButton1Click(); });
        } else if (LOWORD(wParam) == IDCANCEL) {
          Close();
        }
      }
      return 0;
    case WM_CLOSE:
      Close();  // the close box: not the dialog's own result
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.hwndItem == Control(QrCodeControl::Image)) {
        DrawPicture(item);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pavix::desktop
