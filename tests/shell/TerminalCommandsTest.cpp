// The terminal's forms of the dialogs: how operator input is refused, and
// the pairing code as text.
#include <gtest/gtest.h>

#include <sstream>

#include "Commands.h"
#include "MemoryBitmap.h"
#include "RecordingSpooler.h"
#include "TerminalSymbol.h"
#include "TestSupport.h"
#include "ShellTexts.h"
#include "uCommon.h"

namespace pavix {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Settings(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = RunSettingsCommand(arguments, out, err);
  return {status, out.str(), err.str()};
}

TEST(SettingsCommand, EditsTheDialogCannotTakeAreRefusedAndNothingIsSaved) {
  test::FreshSettingsStore store;
  platform::RecordingSpooler spooler{{"Receipt", "Kitchen"}};
  spooler.SetDefaultPrinter("Receipt");
  platform::ScopedSpoolerOverride useSpooler{spooler};
  struct Case {
    std::vector<std::string> arguments;
    std::string errorStart;
  };
  const Case cases[] = {
      {{"PrinterType=2", "Colour=red"}, "Not a setting to change: 'Colour=red'"},
      {{"LocalPort"}, "Not a setting to change: 'LocalPort'"},
      {{"ESN=0"}, "Not a setting to change: 'ESN=0'"},
      {{"PrinterType=3"}, "PrinterType is 1 (cloud printing) or 2 (local printing), not '3'"},
      {{"PrinterType=1", "PrinterName=Bar"}, "No installed printer is named 'Bar'. Installed printers:\n  Receipt\n  Kitchen\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Settings(c.arguments);
    EXPECT_EQ(outcome.status, 2) << c.arguments.back();
    EXPECT_TRUE(outcome.err.starts_with(c.errorStart)) << outcome.err;
  }
  EXPECT_TRUE(Settings({}).out.empty()) << "nothing was stored";
}

TEST(SettingsCommand, NamesIgnoreLetterCaseAndAnEmptyValueClearsTheField) {
  test::FreshSettingsStore store;
  platform::RecordingSpooler spooler{{"Receipt", "Kitchen"}};
  spooler.SetDefaultPrinter("Receipt");
  platform::ScopedSpoolerOverride useSpooler{spooler};
  const Outcome saved = Settings({"printertype=2", "LOCALADDR=10.1.2.3", "PrinterName=kitchen"});
  EXPECT_EQ(saved.status, 0) << saved.err;
  EXPECT_EQ(Settings({}).out, "PrinterType=2\nPrinterModelType=1\nLocalAddr=10.1.2.3\nLocalPort=8212\nPrinterName=Kitchen\n");
  // An emptied address fails the dialog's check in local mode.
  const Outcome refused = Settings({"LocalAddr="});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, texts::System(texts::kLocalNeedsAddressAndPort) + "\n");
}

TEST(TerminalSymbol, TwoModuleRowsShareOneLineOfHalfBlocks) {
  platform::TMemoryBitmap symbol(3, 3, platform::TFont{});
  symbol.FillRect({0, 0, 3, 3}, platform::kWhite);
  // Row 0: dark light dark; row 1: dark dark light; row 2: light dark light.
  for (const auto& [x, y] : {std::pair{0, 0}, {2, 0}, {0, 1}, {1, 1}, {1, 2}}) {
    symbol.FillRect({x, y, x + 1, y + 1}, platform::kBlack);
  }
  EXPECT_EQ(SymbolAsHalfBlocks(symbol, false), "\u2588\u2584\u2580\n \u2580 \n");
  EXPECT_EQ(SymbolAsHalfBlocks(symbol, true),
            "\x1b[30;107m\u2588\u2584\u2580\x1b[0m\n\x1b[30;107m \u2580 \x1b[0m\n");
}

}  // namespace
}  // namespace pavix
