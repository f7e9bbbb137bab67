#pragma once

#include <cstddef>

// Identifiers the desktop windows answer to; the desktop test driver sends
// the same ones, as a user's clicks would.
namespace pavix::desktop {

// The window-message number the tray icon reports mouse actions with (WM_APP + 1).
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;
// The command of the tray menu's "退出" item.
inline constexpr unsigned kExitCommand = 40001;
// The control identifier of a layout table's entry.
constexpr int ControlIdOf(std::size_t layoutIndex) { return 1000 + static_cast<int>(layoutIndex); }

// The window classes of the main window and the two dialogs.
inline constexpr const wchar_t* kMainWindowClass = L"PavixPrintServerMain";
inline constexpr const wchar_t* kDialogWindowClass = L"PavixPrintServerDialog";

}  // namespace pavix::desktop
