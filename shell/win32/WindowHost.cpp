#include "WindowHost.h"

#include "DesktopMessages.h"
#include "Exception.h"
#include "Win32ErrorText.h"

namespace pavix::desktop {

namespace {

LRESULT CALLBACK HostedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* handler = reinterpret_cast<IMessageHandler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return handler != nullptr ? handler->OnMessage(window, message, wParam, lParam)
                            : DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClassOnce(const wchar_t* name) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HostedWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = ProgramIcon(GetSystemMetrics(SM_CXICON));
  windowClass.hIconSm = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw Exception("A window class could not be registered: " + platform::Win32ErrorText(GetLastError()));
  }
}

}  // namespace

void WindowDeleter::operator()(HWND window) const {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

HICON ProgramIcon(int size) {
  // Shared icons: the system keeps them for the life of the process.
  auto icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED));
  return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

UniqueWindow CreateHostedWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle, const std::wstring& caption,
                                int clientWidth, int clientHeight, HWND owner, IMessageHandler& handler) {
  static const bool registered = [] {
    RegisterClassOnce(kMainWindowClass);
    RegisterClassOnce(kDialogWindowClass);
    return true;
  }();
  (void)registered;
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  HWND window = CreateWindowExW(exStyle, windowClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                                GetModuleHandleW(nullptr), &handler);
  if (window == nullptr) throw Exception("A window could not be made: " + platform::Win32ErrorText(GetLastError()));
  return UniqueWindow(window);
}

void CenterOver(HWND window, HWND over) {
  RECT area{};
  if (over != nullptr && IsWindowVisible(over)) {
    GetWindowRect(over, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT own{};
  GetWindowRect(window, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  const int left = area.left + (area.right - area.left - width) / 2;
  const int top = area.top + (area.bottom - area.top - height) / 2;
  SetWindowPos(window, nullptr, left < 0 ? 0 : left, top < 0 ? 0 : top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RunModal(HWND dialog, HWND owner, const std::function<bool()>& done) {
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  MSG message;
  while (!done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The quit request belongs to the main loop: leave it there.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // The owner comes back before the dialog goes, so the activation returns to it.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  ShowWindow(dialog, SW_HIDE);
  if (owner != nullptr && IsWindowVisible(owner)) SetActiveWindow(owner);
}

}  // namespace pavix::desktop
