#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "ControlLayout.h"
#include "LocalDateTime.h"
#include "Shell.h"
#include "ShellTexts.h"
#include "UiDispatcher.h"
#include "uPrinter.h"

// The main window: the service mode, the start/stop, settings and pairing
// buttons, the log, and the tray icon it hides into. Also the program's life
// from the single-instance check to the last window.
namespace pavix {

enum class MainControl { FlatPanel1, Label1, lblModel, FlatButton4, FlatButton2, FlatButton1, Panel1, Memo };

inline constexpr TWindowLayout kMainWindow{texts::kMainCaption, 440, 533};
inline constexpr std::array<TControlLayout<MainControl>, 8> kMainLayout{{
    {MainControl::FlatPanel1, "FlatPanel1", ControlKind::Panel, "", 0, 0, 440, 77},
    {MainControl::Label1, "Label1", ControlKind::Label, texts::kModeLabel, 12, 15, 75, 13},
    {MainControl::lblModel, "lblModel", ControlKind::Label, "", 81, 15, 97, 13},
    {MainControl::FlatButton4, "FlatButton4", ControlKind::Button, texts::kPairingButton, 13, 47, 70, 25},
    {MainControl::FlatButton2, "FlatButton2", ControlKind::Button, texts::kSettingsButton, 116, 47, 75, 25},
    {MainControl::FlatButton1, "FlatButton1", ControlKind::Button, texts::kStartService, 353, 46, 70, 25},
    {MainControl::Panel1, "Panel1", ControlKind::Panel, "", 0, 77, 440, 2},
    {MainControl::Memo, "Memo", ControlKind::Memo, "", 0, 79, 440, 454},
}};

class IMainView {
 public:
  virtual ~IMainView() = default;
  virtual void SetCaption(MainControl control, const std::string& caption) = 0;
  // Appends one line at the end of the log pane.
  virtual void AppendLogLine(const std::string& line) = 0;
  virtual void SetWindowVisible(bool visible) = 0;
  virtual void SetTrayIconVisible(bool visible) = 0;
};

// "<short date> <long time>  <text>"; the time is left out at 00:00:00.
std::string LogLine(const platform::CalendarDateTime& moment, const std::string& text);

class TfrmMain {
 public:
  using Clock = std::function<platform::CalendarDateTime()>;

  explicit TfrmMain(IShell& shell, Clock now = platform::LocalNow);

  // The window's controls; the controller comes after the window is made.
  void Attach(IMainView& view) { view_ = &view; }
  void SetController(TPrinterAdpater* controller) { controller_ = controller; }

  // The log callback of the whole print service; UI thread.
  void AddLog(const std::string& text);

  void FormShow();
  void FlatButton1Click();  // start / stop
  void FlatButton2Click();  // settings
  void FlatButton4Click();  // pairing code
  // Any request to close the window: it hides to the tray. Always false (refused).
  bool FormCloseQuery();
  void TrayIcon1DblClick();
  void N1Click();  // "退出"

  // 100 while the service is meant to run, else 0 (FlatButton1's Tag).
  int Tag() const { return tag_; }
  bool FirstShowDone() const { return firstShowDone_; }

 private:
  IMainView& View() const;
  TPrinterAdpater& Controller() const;

  IShell& shell_;
  Clock now_;
  IMainView* view_ = nullptr;
  TPrinterAdpater* controller_ = nullptr;
  int tag_ = 0;
  bool firstShowDone_ = false;
};

// A toolkit's side of the program: the main window and its message loop.
class IProgramShell : public IShell {
 public:
  // Makes the main window, its events going to `form`.
  virtual IMainView& CreateMainWindow(TfrmMain& form) = 0;
  virtual platform::IUiDispatcher& Ui() = 0;
  // Shows the main window (which runs its FormShow) and handles messages
  // until Terminate; returns the exit status given there.
  virtual int RunMessageLoop() = 0;
  virtual void DestroyMainWindow() = 0;
};

using ControllerMaker = std::function<std::unique_ptr<TPrinterAdpater>(platform::IUiDispatcher&)>;
// The controller with the real channels.
std::unique_ptr<TPrinterAdpater> MakeServiceController(platform::IUiDispatcher& ui);

inline constexpr const char* kSingleInstanceName = "RazODAVezev";

// The program: refuses a second copy, makes the window and the controller,
// runs the message loop, then destroys the controller (stopping the
// channels) and the window. Returns the exit status.
int RunPrintServer(IProgramShell& shell, const ControllerMaker& makeController = MakeServiceController);

}  // namespace pavix
