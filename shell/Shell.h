#pragma once

#include <functional>
#include <string>

// What a desktop toolkit (or the terminal) supplies to the windows' logic:
// message boxes, the application's message loop and the two modal dialogs.
// The logic of each window lives in uMain, uConfig and uQrCode; a toolkit
// only makes windows and controls and forwards their events.
namespace pavix {

class TfrmConfig;
class TfrmQrCode;

class IShell {
 public:
  virtual ~IShell() = default;

  // A simple message box (texts in the system code page).
  virtual void ShowMessage(const std::string& text) = 0;
  // The application's default error report: an error box; the program goes on.
  virtual void ShowError(const std::string& message) = 0;
  // Handles the window messages that are waiting, once.
  virtual void ProcessMessages() = 0;
  // Ends the message loop after the current message; `exitCode` is the
  // program's exit status.
  virtual void Terminate(int exitCode) = 0;
  virtual void OpenWebAddress(const std::string& url) = 0;

  // Show the dialog modally with the form's logic attached: the form's
  // FormShow runs when it appears, its controls' events go to the form, and
  // the call returns when the form closes the dialog. True for the form's
  // own positive result (ModalResult).
  virtual bool RunConfigDialog(TfrmConfig& form) = 0;
  virtual bool RunQrCodeDialog(TfrmQrCode& form) = 0;
};

// Runs an event handler as the application's message dispatch does: an error
// it raises is shown with ShowError and goes no further. False when it raised.
bool RunUiAction(IShell& shell, const std::function<void()>& action);

}  // namespace pavix
