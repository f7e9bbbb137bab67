// The program's entry on Windows: the desktop print server.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "WideText.h"
#include "Win32Shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    pavix::desktop::Win32Shell shell;
    return pavix::RunPrintServer(shell);
  } catch (const std::exception& error) {
    // Nothing of the program could be made: say why rather than vanish.
    MessageBoxW(nullptr, pavix::desktop::WideFromSystem(error.what()).c_str(),
                pavix::desktop::WideFromUtf8(pavix::kMainWindow.caption).c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
}
