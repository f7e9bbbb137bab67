#include "uMain.h"

#include "ExecutablePath.h"
#include "Exception.h"
#include "SingleInstance.h"
#include "uCommon.h"
#include "uConfig.h"
#include "uPrinter.h"
#include "uQrCode.h"

namespace pavix {

namespace {

constexpr int kServiceMeantToRun = 100;

std::string Str(std::string_view text) { return texts::System(text); }

}  // namespace

std::string LogLine(const platform::CalendarDateTime& moment, const std::string& text) {
  const bool midnight = moment.hour == 0 && moment.minute == 0 && moment.second == 0;
  const std::string stamp = midnight ? platform::ShortDateText(moment) : platform::ShortDateLongTimeText(moment);
  return stamp + "  " + text;
}

TfrmMain::TfrmMain(IShell& shell, Clock now) : shell_(shell), now_(std::move(now)) {}

IMainView& TfrmMain::View() const {
  if (view_ == nullptr) throw Exception("The main window has not been made");
  return *view_;
}

TPrinterAdpater& TfrmMain::Controller() const {
  if (controller_ == nullptr) throw Exception("The print service has not been made");
  return *controller_;
}

void TfrmMain::AddLog(const std::string& text) {
  View().AppendLogLine(LogLine(now_(), text));
  // The line shows at once even while the UI thread is busy with a long action.
  shell_.ProcessMessages();
}

void TfrmMain::FormShow() {
  if (firstShowDone_) return;
  FlatButton1Click();
  RegisterAutoStart(platform::ExecutablePath(),
                    {[this](const std::string& message) { shell_.ShowMessage(message); },
                     [this](const std::string& url) { shell_.OpenWebAddress(url); }, [this] { shell_.Terminate(1); }});
  firstShowDone_ = true;
}

void TfrmMain::FlatButton1Click() {
  const std::string printerType = ReadSetting("PrinterType", "");
  if (printerType.empty()) {
    AddLog(Str(texts::kConfigureFirst));
    return;
  }
  View().SetCaption(MainControl::lblModel, Str(printerType == "1" ? texts::kCloudMode : texts::kLocalMode));
  TPrinterAdpater& controller = Controller();
  if (tag_ == kServiceMeantToRun) {
    tag_ = 0;
    View().SetCaption(MainControl::FlatButton1, Str(texts::kStartService));
    controller.StopService();
  } else {
    tag_ = kServiceMeantToRun;
    View().SetCaption(MainControl::FlatButton1, Str(texts::kStopService));
    controller.LogCallback = [this](const std::string& text) { AddLog(text); };
    controller.StartService();
  }
}

void TfrmMain::FlatButton2Click() {
  if (tag_ == kServiceMeantToRun) FlatButton1Click();
  if (ShowConfigDialog(shell_) && tag_ == 0) FlatButton1Click();
}

void TfrmMain::FlatButton4Click() { ShowQrCodeDialog(shell_); }

bool TfrmMain::FormCloseQuery() {
  View().SetTrayIconVisible(true);
  View().SetWindowVisible(false);
  return false;
}

void TfrmMain::TrayIcon1DblClick() {
  View().SetWindowVisible(true);
  View().SetTrayIconVisible(false);
}

void TfrmMain::N1Click() { shell_.Terminate(0); }

std::unique_ptr<TPrinterAdpater> MakeServiceController(platform::IUiDispatcher& ui) {
  return std::make_unique<TPrinterAdpater>(ui);
}

int RunPrintServer(IProgramShell& shell, const ControllerMaker& makeController) {
  const auto claim = platform::ClaimSingleInstance(kSingleInstanceName);
  if (!claim) {
    shell.ShowMessage(Str(texts::kAlreadyRunning));
    return 1;
  }
  TfrmMain form(shell);
  form.Attach(shell.CreateMainWindow(form));
  std::unique_ptr<TPrinterAdpater> controller = makeController(shell.Ui());
  form.SetController(controller.get());
  const int exitCode = shell.RunMessageLoop();
  // The channels stop before the window goes: their last lines still have a log to go to.
  controller.reset();
  form.SetController(nullptr);
  shell.DestroyMainWindow();
  return exitCode;
}

}  // namespace pavix
