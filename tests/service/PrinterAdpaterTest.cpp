// The service controller with recording channels: which channel a start
// picks, when it makes one, what it tells each channel and in what order,
// and what it logs. Every channel call, channel birth and death and log line
// goes into one journal, so a wrong order shows as plainly as a wrong call.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CodePage.h"
#include "EventLoopDispatcher.h"
#include "RecordingSpooler.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uPrinter.h"
#include "uTexts.h"

namespace pavix {
namespace {

using Journal = std::vector<std::string>;

std::string Logged(std::string_view text) { return "log " + texts::System(text); }
const std::string kStarted = Logged(texts::kServiceStarted);
const std::string kStopped = Logged(texts::kServiceStopped);
const std::string kConfigureFirst = Logged(texts::kConfigureFirst);
const std::string kPrinterNotFound = Logged(texts::kPrinterNotFound);

// A start that fails the way a taken port does.
class StartRefused : public Exception {
 public:
  StartRefused() : Exception("start refused") {}
};

// Writes each call into the journal together with what Running was then.
class RecordingChannel final : public TPrinterbase {
 public:
  RecordingChannel(std::string mode, TLogCallback log, platform::IUiDispatcher& ui, Journal& journal,
                   bool& refuseNextStart)
      : TPrinterbase(std::move(log), ui), mode_(std::move(mode)), journal_(journal), refuseNextStart_(refuseNextStart) {}
  ~RecordingChannel() override {
    TerminateAndWait();
    journal_.push_back(mode_ + " destroyed");
  }
  void StartChannel() override {
    Note("start");
    if (refuseNextStart_) {
      refuseNextStart_ = false;
      throw StartRefused();
    }
  }
  void StopChannel() override { Note("stop"); }

 protected:
  void Execute() override {
    while (!Terminated()) SleepUnlessTerminated(std::chrono::hours(1));
  }

 private:
  void Note(const std::string& call) { journal_.push_back(mode_ + " " + call + (Running ? " running" : " idle")); }

  const std::string mode_;
  Journal& journal_;
  bool& refuseNextStart_;
};

// The spooler's printer list, counting how often it is asked for.
class CountingSpooler final : public platform::ISpooler {
 public:
  explicit CountingSpooler(std::vector<std::string> printers) : printers(std::move(printers)) {}
  std::unique_ptr<platform::IPrinterConnection> Open(const std::string& name, std::string& errorText) override {
    return documents_.Open(name, errorText);
  }
  std::vector<std::string> InstalledPrinters() override {
    ++listed;
    return printers;
  }
  std::optional<std::string> DefaultPrinter() override { return std::nullopt; }

  std::vector<std::string> printers;
  int listed = 0;

 private:
  platform::RecordingSpooler documents_;
};

void Configure(const std::optional<std::string>& printerType, const std::optional<std::string>& printerName) {
  NameValueList settings;
  if (printerType) settings.Add("PrinterType", *printerType);
  if (printerName) settings.Add("PrinterName", *printerName);
  ASSERT_TRUE(WriteSettings(settings));
}

class PrinterAdpaterTest : public ::testing::Test {
 protected:
  PrinterAdpaterTest() { controller = NewController(); }

  std::unique_ptr<TPrinterAdpater> NewController() {
    auto made = std::make_unique<TPrinterAdpater>(TPrinterAdpater::ChannelFactory{
        [this](TLogCallback log) { return Make("cloud", std::move(log)); },
        [this](TLogCallback log) { return Make("local", std::move(log)); },
    });
    made->LogCallback = [this](const std::string& line) { journal.push_back("log " + line); };
    return made;
  }

  std::unique_ptr<TPrinterbase> Make(const std::string& mode, TLogCallback log) {
    journal.push_back(mode + " made");
    if (refuseNextMake) {
      refuseNextMake = false;
      throw StartRefused();
    }
    return MakeStarted<RecordingChannel>(mode, std::move(log), ui, journal, refuseNextStart);
  }

  // What has happened since the last look.
  Journal Take() { return std::exchange(journal, {}); }

  test::FreshSettingsStore store;
  CountingSpooler spooler{{"Receipt", "Kitchen Printer"}};
  platform::ScopedSpoolerOverride useSpooler{spooler};
  platform::EventLoopDispatcher ui;
  Journal journal;
  bool refuseNextMake = false;
  bool refuseNextStart = false;
  std::unique_ptr<TPrinterAdpater> controller;
};

TEST_F(PrinterAdpaterTest, OnlyTheText1MeansCloud) {
  struct Case {
    std::string printerType;
    std::string mode;
  };
  for (const Case& c : {Case{"1", "cloud"}, Case{"2", "local"}, Case{"x", "local"}, Case{"0", "local"},
                        Case{"01", "local"}, Case{" 1", "local"}}) {
    controller = NewController();
    Take();
    Configure(c.printerType, "Receipt");
    controller->StartService();
    EXPECT_EQ(Take(), (Journal{c.mode + " made", c.mode + " start running", kStarted})) << c.printerType;
    ASSERT_NE(controller->CurrentChannel(), nullptr);
    EXPECT_TRUE(controller->CurrentChannel()->Running);
    // The channel was given the controller's log callback.
    controller->CurrentChannel()->Log("from the channel");
    EXPECT_EQ(Take(), Journal{"log from the channel"}) << c.printerType;
  }
}

TEST(PrinterAdpaterChecks, AStartWithoutModeOrKnownPrinterOnlyLogsWhy) {
  struct Case {
    std::optional<std::string> printerType;  // nullopt: never stored
    std::optional<std::string> printerName;
    std::string line;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, kConfigureFirst},
      {std::nullopt, "Receipt", kConfigureFirst},
      {"", "Receipt", kConfigureFirst},
      {"", "Bar", kConfigureFirst},  // the mode is checked first
      {"2", std::nullopt, kPrinterNotFound},
      {"1", "", kPrinterNotFound},
      {"2", "Bar", kPrinterNotFound},
      {"2", "Receipt ", kPrinterNotFound},
      {"1", "Receip", kPrinterNotFound},
  };
  for (const Case& c : cases) {
    const std::string label = c.printerType.value_or("<none>") + " / " + c.printerName.value_or("<none>");
    test::FreshSettingsStore store;
    CountingSpooler spooler{{"Receipt", "Kitchen Printer"}};
    platform::ScopedSpoolerOverride useSpooler{spooler};
    Journal journal;
    TPrinterAdpater controller(TPrinterAdpater::ChannelFactory{
        [&](TLogCallback) -> std::unique_ptr<TPrinterbase> { journal.push_back("cloud made"); return nullptr; },
        [&](TLogCallback) -> std::unique_ptr<TPrinterbase> { journal.push_back("local made"); return nullptr; },
    });
    controller.LogCallback = [&](const std::string& line) { journal.push_back("log " + line); };
    Configure(c.printerType, c.printerName);
    controller.StartService();
    EXPECT_EQ(journal, Journal{c.line}) << label;
    EXPECT_EQ(controller.CurrentChannel(), nullptr) << label;
  }
}

TEST_F(PrinterAdpaterTest, ThePrinterNameIsComparedWithoutLetterCase) {
  for (const char* name : {"receipt", "RECEIPT", "kitchen PRINTER"}) {
    Configure("2", name);
    controller->StartService();
    EXPECT_EQ(Take().back(), kStarted) << name;
  }
}

TEST_F(PrinterAdpaterTest, TheSecondByteOfADoubleBytePrinterNameKeepsItsCase) {
  if (!platform::IsSystemLeadByte(0x81)) GTEST_SKIP() << "needs a double-byte system code page such as GBK";
  // 0x81 0x41 and 0x81 0x61 are two different characters whose second bytes
  // have the values of "A" and "a".
  spooler.printers = {"Receipt \x81\x41", "Bar"};
  Configure("2", "RECEIPT \x81\x61");
  controller->StartService();
  EXPECT_EQ(Take(), Journal{kPrinterNotFound});
  Configure("2", "RECEIPT \x81\x41");
  controller->StartService();
  EXPECT_EQ(Take().back(), kStarted);
}

TEST_F(PrinterAdpaterTest, TheInstalledPrintersAreAskedForOnceAtTheFirstCheck) {
  Configure("2", std::nullopt);
  controller->StartService();
  EXPECT_EQ(spooler.listed, 0);  // no name, nothing to look up
  Configure("2", "Receipt");
  controller->StartService();
  controller->StopService();
  controller->StartService();
  EXPECT_EQ(spooler.listed, 1);
  // A printer installed meanwhile is not seen by this controller...
  spooler.printers.push_back("Label");
  Configure("2", "Label");
  Take();
  controller->StartService();
  EXPECT_EQ(Take(), (Journal{"local stop idle", kPrinterNotFound}));
  EXPECT_EQ(spooler.listed, 1);
  // ...but by the next one (the next program run).
  controller = NewController();
  controller->StartService();
  EXPECT_EQ(Take().back(), kStarted);
  EXPECT_EQ(spooler.listed, 2);
}

TEST_F(PrinterAdpaterTest, StartStopStartInOneModeReusesTheChannel) {
  Configure("2", "Receipt");
  controller->StartService();
  TPrinterbase* const first = controller->CurrentChannel();
  controller->StopService();
  EXPECT_EQ(controller->CurrentChannel(), first);  // stays set after a stop
  EXPECT_FALSE(first->Running);
  controller->StartService();
  EXPECT_EQ(controller->CurrentChannel(), first);
  EXPECT_EQ(Take(), (Journal{"local made", "local start running", kStarted,    //
                             "local stop idle", kStopped,                       //
                             "local stop idle", "local start running", kStarted}));
}

TEST_F(PrinterAdpaterTest, SwitchingModesLeavesTheOtherChannelIdle) {
  Configure("1", "Receipt");
  controller->StartService();
  TPrinterbase* const cloud = controller->CurrentChannel();
  controller->StopService();
  Configure("2", "Receipt");
  controller->StartService();
  EXPECT_NE(controller->CurrentChannel(), cloud);
  EXPECT_FALSE(cloud->Running);
  EXPECT_TRUE(controller->CurrentChannel()->Running);
  // Back to cloud: the same cloud channel again, the local one left idle.
  Configure("1", "Receipt");
  controller->StartService();
  EXPECT_EQ(controller->CurrentChannel(), cloud);
  EXPECT_EQ(Take(), (Journal{"cloud made", "cloud start running", kStarted,                    //
                             "cloud stop idle", kStopped,                                       //
                             "cloud stop idle", "local made", "local start running", kStarted,  //
                             "local stop idle", "cloud start running", kStarted}));
}

TEST_F(PrinterAdpaterTest, AStartWhileRunningStopsTheRunningChannelForGood) {
  // Without a stop in between: the channel stopped by the new start must not
  // stay marked running, or it would keep reconnecting beside the new one.
  Configure("1", "Receipt");
  controller->StartService();
  TPrinterbase* const cloud = controller->CurrentChannel();
  Configure("2", "Receipt");
  controller->StartService();
  EXPECT_FALSE(cloud->Running);
  EXPECT_EQ(Take(), (Journal{"cloud made", "cloud start running", kStarted,  //
                             "cloud stop idle", "local made", "local start running", kStarted}));
  // Same when the new start stops at a check: the controller is stopped.
  Configure("2", "Bar");
  controller->StartService();
  EXPECT_FALSE(controller->CurrentChannel()->Running);
  EXPECT_EQ(Take(), (Journal{"local stop idle", kPrinterNotFound}));
}

TEST_F(PrinterAdpaterTest, StopBeforeAnyStartOnlyLogs) {
  controller->StopService();
  EXPECT_EQ(Take(), Journal{kStopped});
  EXPECT_EQ(controller->CurrentChannel(), nullptr);
}

TEST_F(PrinterAdpaterTest, AChannelThatFailsToStartIsLeftStoppedAndCurrent) {
  Configure("2", "Receipt");
  refuseNextStart = true;
  EXPECT_THROW(controller->StartService(), StartRefused);
  TPrinterbase* const local = controller->CurrentChannel();
  ASSERT_NE(local, nullptr);
  EXPECT_FALSE(local->Running);
  EXPECT_EQ(Take(), (Journal{"local made", "local start running", "local stop idle"}));  // no start line
  controller->StopService();
  controller->StartService();
  EXPECT_EQ(controller->CurrentChannel(), local);
  EXPECT_TRUE(local->Running);
  EXPECT_EQ(Take(), (Journal{"local stop idle", kStopped, "local stop idle", "local start running", kStarted}));
}

TEST_F(PrinterAdpaterTest, AChannelThatCannotBeMadeIsMadeAtTheNextStart) {
  Configure("1", "Receipt");
  controller->StartService();
  TPrinterbase* const cloud = controller->CurrentChannel();
  Configure("2", "Receipt");
  refuseNextMake = true;
  EXPECT_THROW(controller->StartService(), StartRefused);
  EXPECT_EQ(controller->CurrentChannel(), cloud);  // stopped, still the one a stop deals with
  EXPECT_FALSE(cloud->Running);
  controller->StartService();
  EXPECT_TRUE(controller->CurrentChannel()->Running);
  EXPECT_EQ(Take(), (Journal{"cloud made", "cloud start running", kStarted,  //
                             "cloud stop idle", "local made",                 //
                             "cloud stop idle", "local made", "local start running", kStarted}));
}

TEST_F(PrinterAdpaterTest, EachChannelGetsTheLogCallbackOfItsFirstStart) {
  Journal first, second;
  controller->LogCallback = [&](const std::string& line) { first.push_back(line); };
  Configure("2", "Receipt");
  controller->StartService();
  TPrinterbase* const local = controller->CurrentChannel();
  controller->LogCallback = [&](const std::string& line) { second.push_back(line); };
  controller->StartService();
  Configure("1", "Receipt");
  controller->StartService();
  TPrinterbase* const cloud = controller->CurrentChannel();
  local->Log("local");
  cloud->Log("cloud");
  EXPECT_EQ(first, (Journal{texts::System(texts::kServiceStarted), "local"}));
  EXPECT_EQ(second, (Journal{texts::System(texts::kServiceStarted), texts::System(texts::kServiceStarted), "cloud"}));
}

TEST_F(PrinterAdpaterTest, WithoutLogCallbackNothingIsDeliveredAndAllStillWorks) {
  controller->LogCallback = nullptr;
  controller->StopService();
  controller->StartService();  // not configured
  Configure("2", "Receipt");
  controller->StartService();
  ASSERT_NE(controller->CurrentChannel(), nullptr);
  EXPECT_TRUE(controller->CurrentChannel()->Running);
  controller->CurrentChannel()->Log("nobody listens");
  controller->StopService();
  EXPECT_FALSE(controller->CurrentChannel()->Running);
  EXPECT_EQ(Take(), (Journal{"local made", "local start running", "local stop idle"}));
}

TEST_F(PrinterAdpaterTest, DestructionStopsAndDestroysCloudThenLocalWithoutLogging) {
  Configure("2", "Receipt");
  controller->StartService();
  Configure("1", "Receipt");
  controller->StartService();
  Take();
  controller.reset();
  EXPECT_EQ(Take(), (Journal{"cloud stop idle", "cloud destroyed", "local stop idle", "local destroyed"}));
}

}  // namespace
}  // namespace pavix
