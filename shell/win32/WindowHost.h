#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

// Top-level windows whose messages go to an object, and the modal loop the
// two dialogs run in.
namespace pavix::desktop {

class IMessageHandler {
 public:
  // Whatever is not handled goes to DefWindowProcW.
  virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~IMessageHandler() = default;
};

struct WindowDeleter {
  void operator()(HWND window) const;  // detaches the handler first, then destroys
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// The program's icon (resource 1) in the given size, or the system's default.
HICON ProgramIcon(int size);

// A window of `windowClass` (kMainWindowClass or kDialogWindowClass) with the
// given client size, hidden; its messages go to `handler` from the first one on.
UniqueWindow CreateHostedWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle, const std::wstring& caption,
                                int clientWidth, int clientHeight, HWND owner, IMessageHandler& handler);

// Places `window` centred over `over` (over the screen's work area when null or hidden).
void CenterOver(HWND window, HWND over);

// Shows `dialog` and handles the thread's messages, the queued UI work among
// them, until `done` is true; `owner` is disabled meanwhile. Whoever makes
// `done` true from outside a message of this thread must post one to wake it.
void RunModal(HWND dialog, HWND owner, const std::function<bool()>& done);

}  // namespace pavix::desktop
