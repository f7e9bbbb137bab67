// The main window's logic and the program's life, with an in-memory window
// and channels that only count what the controller asks of them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "FakeShell.h"
#include "RecordingSpooler.h"
#include "SingleInstance.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uMain.h"
#include "uPrinter.h"

namespace pavix {
namespace {

std::string Str(std::string_view text) { return texts::System(text); }

struct Probe {
  int made = 0;
  int starts = 0;
  int stops = 0;
  int destroyed = 0;
  bool refuseStart = false;
  TPrinterbase* channel = nullptr;
};

class ProbeChannel final : public TPrinterbase {
 public:
  ProbeChannel(TLogCallback log, platform::IUiDispatcher& ui, Probe& probe) : TPrinterbase(std::move(log), ui), probe_(probe) {
    ++probe_.made;
    probe_.channel = this;
  }
  ~ProbeChannel() override {
    TerminateAndWait();
    ++probe_.destroyed;
    probe_.channel = nullptr;
  }
  void StartChannel() override {
    ++probe_.starts;
    if (probe_.refuseStart) throw Exception("Could not bind socket. Address and port are already in use.");
  }
  void StopChannel() override { ++probe_.stops; }

 protected:
  void Execute() override {
    while (!Terminated()) SleepUnlessTerminated(std::chrono::hours(1));
  }

 private:
  Probe& probe_;
};

class MainWindow : public ::testing::Test {
 protected:
  ControllerMaker Maker() {
    return [this](platform::IUiDispatcher& ui) {
      return std::make_unique<TPrinterAdpater>(TPrinterAdpater::ChannelFactory{
          [this, &ui](TLogCallback log) { return MakeStarted<ProbeChannel>(std::move(log), ui, cloud); },
          [this, &ui](TLogCallback log) { return MakeStarted<ProbeChannel>(std::move(log), ui, local); },
      });
    };
  }
  // The program as it runs, with `actions` as the user's while the loop runs.
  int Run(std::function<void(TfrmMain&, TMemoryMainView&)> actions = nullptr) {
    shell.whileRunning = [this, actions](TfrmMain& form, TMemoryMainView& view) {
      log = &view.log;
      captions = &view.captions;
      if (actions) actions(form, view);
      logged = view.log;
      shownCaptions = view.captions;
    };
    return RunPrintServer(shell, Maker());
  }
  // The texts of the log lines, without their time stamps.
  std::vector<std::string> LoggedTexts() const {
    std::vector<std::string> texts;
    for (const auto& line : logged) texts.push_back(line.substr(line.find("  ") + 2));
    return texts;
  }

  test::FreshSettingsStore store;
  test::TempDir dir;
  test::ScopedEnv autostart{"PAVIX_AUTOSTART_DIR", (dir / "autostart").string()};
  test::ScopedEnv instances{"XDG_RUNTIME_DIR", dir.Path().string()};
  platform::RecordingSpooler spooler{{"Receipt"}};
  platform::ScopedSpoolerOverride useSpooler{spooler};
  test::FakeShell shell;
  Probe cloud, local;
  std::vector<std::string>* log = nullptr;
  std::map<MainControl, std::string>* captions = nullptr;
  std::vector<std::string> logged;
  std::map<MainControl, std::string> shownCaptions;
};

TEST_F(MainWindow, AFirstStartWithoutSettingsAsksForThemAndStillRegistersAutostart) {
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(LoggedTexts(), std::vector<std::string>{Str(texts::kConfigureFirst)});
  EXPECT_EQ(shownCaptions[MainControl::FlatButton1], Str(texts::kStartService));
  EXPECT_EQ(shownCaptions[MainControl::lblModel], "");
  EXPECT_EQ(local.made + cloud.made, 0);
  EXPECT_TRUE(shell.messages.empty()) << "the autostart entry was written";
  EXPECT_FALSE(shell.terminated.has_value());
}

TEST_F(MainWindow, TheFirstDisplayStartsTheConfiguredModeAndTheButtonToggles) {
  test::StoreSettings({{"PrinterType", "1"}, {"PrinterName", "receipt"}});
  Run([&](TfrmMain& form, TMemoryMainView&) {
    EXPECT_EQ(form.Tag(), 100);
    EXPECT_TRUE(form.FirstShowDone());
    EXPECT_EQ((*captions)[MainControl::lblModel], Str(texts::kCloudMode));
    EXPECT_EQ((*captions)[MainControl::FlatButton1], Str(texts::kStopService));
    ASSERT_NE(cloud.channel, nullptr);
    EXPECT_TRUE(cloud.channel->Running);
    form.FormShow();  // a later display does nothing
    EXPECT_EQ(cloud.starts, 1);

    form.FlatButton1Click();
    EXPECT_EQ(form.Tag(), 0);
    EXPECT_EQ((*captions)[MainControl::FlatButton1], Str(texts::kStartService));
    EXPECT_FALSE(cloud.channel->Running);
    test::StoreSettings({{"PrinterType", "2"}});
    form.FlatButton1Click();
    EXPECT_EQ((*captions)[MainControl::lblModel], Str(texts::kLocalMode));
    EXPECT_EQ(local.starts, 1);
  });
  EXPECT_EQ(LoggedTexts(), (std::vector<std::string>{Str(texts::kServiceStarted), Str(texts::kServiceStopped),
                                                     Str(texts::kServiceStarted)}));
  // Both channels were stopped and destroyed once the loop had ended.
  EXPECT_EQ(cloud.destroyed, 1);
  EXPECT_EQ(local.destroyed, 1);
}

TEST_F(MainWindow, AnErrorOnTheFirstDisplayEndsItEarlyAndTheNextDisplayTriesAgain) {
  test::StoreSettings({{"PrinterType", "2"}, {"PrinterName", "Receipt"}});
  local.refuseStart = true;
  Run([&](TfrmMain& form, TMemoryMainView&) {
    EXPECT_EQ(shell.errors, std::vector<std::string>{"Could not bind socket. Address and port are already in use."});
    EXPECT_FALSE(form.FirstShowDone());
    EXPECT_EQ((*captions)[MainControl::FlatButton1], Str(texts::kStopService)) << "switched before the start";
    EXPECT_FALSE(std::filesystem::exists(dir / "autostart")) << "no autostart entry yet";
    local.refuseStart = false;
    RunUiAction(shell, [&] { form.FormShow(); });
    // Tag was 100, so this display's click stopped the service.
    EXPECT_EQ(form.Tag(), 0);
    EXPECT_EQ(local.stops, 2);
    EXPECT_TRUE(form.FirstShowDone());
  });
  EXPECT_EQ(shell.errors.size(), 1u);
}

TEST_F(MainWindow, ClosingHidesToTheTrayAndTheTrayBringsItBack) {
  Run([&](TfrmMain& form, TMemoryMainView& view) {
    EXPECT_TRUE(view.windowVisible && view.trayIconVisible);
    EXPECT_FALSE(form.FormCloseQuery());
    EXPECT_FALSE(view.windowVisible);
    EXPECT_TRUE(view.trayIconVisible);
    form.AddLog("while hidden");
    form.TrayIcon1DblClick();
    EXPECT_TRUE(view.windowVisible);
    EXPECT_FALSE(view.trayIconVisible);
  });
  EXPECT_EQ(LoggedTexts().back(), "while hidden");
}

TEST_F(MainWindow, TheSettingsButtonStopsTheServiceAndOnlyASaveStartsItAgain) {
  test::StoreSettings({{"PrinterType", "2"}, {"PrinterName", "Receipt"}});
  spooler.SetDefaultPrinter("Receipt");
  Run([&](TfrmMain& form, TMemoryMainView&) {
    form.FlatButton2Click();  // cancelled: the fake closes it unsaved
    EXPECT_EQ(form.Tag(), 0);
    EXPECT_FALSE(local.channel->Running);
    EXPECT_EQ((*captions)[MainControl::FlatButton1], Str(texts::kStartService));

    shell.configScript = [](TfrmConfig& config, TMemoryConfigView& view) {
      view.SetText(ConfigControl::edtip, "192.168.1.5");
      config.FlatButton3Click();
    };
    form.FlatButton2Click();
    EXPECT_EQ(form.Tag(), 100);
    EXPECT_TRUE(local.channel->Running);
  });
  EXPECT_EQ(shell.configShown, 2);
  EXPECT_EQ(local.made, 1);
  EXPECT_EQ(local.starts, 2);
}

TEST_F(MainWindow, TheExitMenuEndsTheLoopAndASecondCopyIsRefused) {
  EXPECT_EQ(Run([&](TfrmMain& form, TMemoryMainView&) {
              form.N1Click();
              EXPECT_EQ(shell.terminated, 0);
              // While this copy runs, another is refused without a window.
              test::FakeShell second;
              EXPECT_EQ(RunPrintServer(second, Maker()), 1);
              EXPECT_EQ(second.messages, std::vector<std::string>{Str(texts::kAlreadyRunning)});
              EXPECT_EQ(second.mainView, nullptr);
            }),
            0);
  // The first copy has ended: the next one runs.
  test::FakeShell next;
  EXPECT_EQ(RunPrintServer(next, Maker()), 0);
  EXPECT_TRUE(next.messages.empty());
}

TEST(LogLine, TheTimeIsLeftOutExactlyAtMidnight) {
  const platform::CalendarDateTime midnight{2026, 12, 10, 0, 0, 0};
  EXPECT_EQ(LogLine(midnight, "text"), platform::ShortDateText(midnight) + "  text");
  for (const platform::CalendarDateTime moment : {platform::CalendarDateTime{2026, 12, 10, 0, 0, 1},
                                                  platform::CalendarDateTime{2026, 12, 10, 12, 0, 0}}) {
    EXPECT_EQ(LogLine(moment, "text"), platform::ShortDateLongTimeText(moment) + "  text");
  }
}

TEST(AddLog, EachLineIsStampedAppendedAndPaintedAtOnce) {
  test::FakeShell shell;
  TMemoryMainView view;
  // 00:00:00 and a half: the clock has no milliseconds for the rule to see.
  const platform::CalendarDateTime midnight{2026, 12, 10, 0, 0, 0};
  TfrmMain form(shell, [&] { return midnight; });
  form.Attach(view);
  form.AddLog("one");
  form.AddLog("two");
  EXPECT_EQ(view.log, (std::vector<std::string>{platform::ShortDateText(midnight) + "  one",
                                                platform::ShortDateText(midnight) + "  two"}));
  EXPECT_EQ(shell.processed, 2);
}

}  // namespace
}  // namespace pavix
