// The settings dialog's rules through an in-memory dialog: what it shows when
// it opens, how the mode moves the rows, and what pressing "保存设置" checks,
// stores and says.
#include <gtest/gtest.h>

#include "FakeShell.h"
#include "RecordingSpooler.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uConfig.h"

namespace pavix {
namespace {

std::string Str(std::string_view text) { return texts::System(text); }

class ConfigDialog : public ::testing::Test {
 protected:
  ConfigDialog() { spooler.SetDefaultPrinter("Kitchen"); }

  // Opens the dialog as the main window does, on a host with `addresses`.
  void Open(std::vector<std::string> addresses = {"10.0.0.7", "192.168.1.5", "192.168.8.1"}) {
    form = std::make_unique<TfrmConfig>(shell, [addresses](std::vector<std::string>& list) {
      list = addresses;
      return static_cast<int>(addresses.size());
    });
    form->Attach(view);
    RunUiAction(shell, [&] { form->FormShow(); });
  }
  void Save() { RunUiAction(shell, [&] { form->FlatButton3Click(); }); }
  void ChooseLocal() {
    view.SetChecked(ConfigControl::RadioButton2, true);
    form->RadioButton2Click();
  }
  void ChooseCloud() {
    view.SetChecked(ConfigControl::RadioButton1, true);
    form->RadioButton1Click();
  }
  bool LocalRowsVisible(bool visible) const {
    for (auto control : {ConfigControl::Label2, ConfigControl::edtip, ConfigControl::Label3, ConfigControl::edtport}) {
      if (view.controls.at(control).visible != visible) return false;
    }
    const int top = visible ? 126 : 97;
    return view.controls.at(ConfigControl::Label4).top == top && view.controls.at(ConfigControl::cbxprinter).top == top;
  }

  test::FreshSettingsStore store;
  platform::RecordingSpooler spooler{{"Receipt", "Kitchen", "Bar"}};
  platform::ScopedSpoolerOverride useSpooler{spooler};
  test::FakeShell shell;
  TMemoryConfigView view;
  std::unique_ptr<TfrmConfig> form;
};

TEST_F(ConfigDialog, AFreshMachineProposesPortAddressAndDefaultPrinterButNoMode) {
  Open();
  EXPECT_FALSE(view.Checked(ConfigControl::RadioButton1));
  EXPECT_FALSE(view.Checked(ConfigControl::RadioButton2));
  // The rows stay as the dialog was designed: hidden, the printer row below them.
  EXPECT_FALSE(view.controls.at(ConfigControl::edtip).visible);
  EXPECT_FALSE(view.controls.at(ConfigControl::edtport).visible);
  EXPECT_EQ(view.controls.at(ConfigControl::Label4).top, 126);
  EXPECT_EQ(view.Text(ConfigControl::edtport), "8212");
  EXPECT_EQ(view.Text(ConfigControl::edtip), "192.168.1.5");
  EXPECT_EQ(view.SelectedPrinter(), "Kitchen");
  EXPECT_TRUE(view.Checked(ConfigControl::chkuseappmodel));

  Save();
  EXPECT_EQ(shell.messages, std::vector<std::string>{Str(texts::kChoosePrintMode)});
  EXPECT_FALSE(view.closed);
  EXPECT_TRUE(ReadSettings({"PrinterType", "LocalPort"}).Lines().empty());
}

TEST_F(ConfigDialog, TheAddressProposalTakesTheFirst192AddressElseTheLast) {
  struct Case {
    std::vector<std::string> addresses;
    std::string proposal;
  };
  const Case cases[] = {
      {{"10.0.0.7", "192.168.1.5", "192.168.8.1"}, "192.168.1.5"},
      {{"10.0.0.7", "172.16.0.2"}, "172.16.0.2"},
      {{"127.0.0.1"}, "127.0.0.1"},
      {{"19.2.0.1", "10.1.1.1"}, "10.1.1.1"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    view = TMemoryConfigView();
    Open(c.addresses);
    EXPECT_EQ(view.Text(ConfigControl::edtip), c.proposal);
  }
  // A stored address is shown as it is.
  test::StoreSettings({{"LocalAddr", "10.9.9.9"}});
  view = TMemoryConfigView();
  Open();
  EXPECT_EQ(view.Text(ConfigControl::edtip), "10.9.9.9");
}

TEST_F(ConfigDialog, StoredLocalModeShowsTheRowsAndCloudModeClosesTheGap) {
  test::StoreSettings({{"PrinterType", "2"}, {"LocalAddr", "192.168.1.20"}, {"LocalPort", "9100"}, {"PrinterName", "bar"}});
  Open();
  EXPECT_TRUE(view.Checked(ConfigControl::RadioButton2));
  EXPECT_TRUE(LocalRowsVisible(true));
  EXPECT_EQ(view.Text(ConfigControl::edtip), "192.168.1.20");
  EXPECT_EQ(view.Text(ConfigControl::edtport), "9100");
  EXPECT_EQ(view.SelectedPrinter(), "Bar") << "found whatever the letter case";
  EXPECT_EQ(form->SummaryBefore, "2__192.168.1.20_9100_bar");

  ChooseCloud();
  EXPECT_FALSE(view.Checked(ConfigControl::RadioButton2));
  EXPECT_TRUE(LocalRowsVisible(false));
  ChooseLocal();
  EXPECT_TRUE(LocalRowsVisible(true));
}

TEST_F(ConfigDialog, AStoredPrinterThatIsGoneSelectsNothingAndSavingKeepsIt) {
  test::StoreSettings({{"PrinterType", "1"}, {"PrinterName", "Old Printer"}});
  Open();
  EXPECT_EQ(view.PrinterIndex(), -1);
  Save();
  EXPECT_EQ(ReadSetting("PrinterName", ""), "Old Printer");
}

TEST_F(ConfigDialog, LocalModeNeedsAnAddressAndAPortThatCanBeListenedOn) {
  struct Case {
    std::string address;
    std::string port;
    std::string_view message;  // empty: saved
  };
  const Case cases[] = {
      {"", "8212", texts::kLocalNeedsAddressAndPort},
      {"192.168.1.5", "", texts::kLocalNeedsAddressAndPort},
      {"192.168.1.5", "abc", texts::kInvalidPort},
      {"192.168.1.5", "-1", texts::kInvalidPort},
      {"192.168.1.5", "8212x", texts::kInvalidPort},
      // Neither can be listened on: 70000 would have become port 4464.
      {"192.168.1.5", "0", texts::kInvalidPort},
      {"192.168.1.5", "70000", texts::kInvalidPort},
      {"192.168.1.5", "65536", texts::kInvalidPort},
      {"192.168.1.5", "65535", ""},
      {"192.168.1.5", "1", ""},
  };
  for (const Case& c : cases) {
    test::FreshSettingsStore fresh;
    shell.messages.clear();
    view = TMemoryConfigView();
    Open();
    ChooseLocal();
    view.SetText(ConfigControl::edtip, c.address);
    view.SetText(ConfigControl::edtport, c.port);
    Save();
    const std::string label = "'" + c.address + "' '" + c.port + "'";
    ASSERT_EQ(shell.messages.size(), 1u) << label;
    if (c.message.empty()) {
      EXPECT_EQ(shell.messages[0], Str(texts::kSavedRescan)) << label;
      EXPECT_TRUE(view.closed && form->ModalResult) << label;
      EXPECT_EQ(ReadSetting("LocalPort", ""), c.port) << label;
    } else {
      EXPECT_EQ(shell.messages[0], Str(c.message)) << label;
      EXPECT_FALSE(view.closed) << label;
      EXPECT_EQ(ReadSetting("LocalPort", "none"), "none") << label;
    }
  }
}

TEST_F(ConfigDialog, TheSuccessMessageSaysWhetherTheAppMustScanAgain) {
  test::StoreSettings({{"PrinterType", "2"}, {"PrinterModelType", "1"}, {"LocalAddr", "192.168.1.5"}, {"LocalPort", "8212"},
         {"PrinterName", "Receipt"}});
  Open();
  Save();
  EXPECT_EQ(shell.messages, std::vector<std::string>{Str(texts::kSaved)});
  EXPECT_EQ(form->SummaryAfter, "2_1_192.168.1.5_8212_Receipt");

  shell.messages.clear();
  view = TMemoryConfigView();
  Open();
  view.SetPrinterIndex(2);  // Bar
  Save();
  EXPECT_EQ(shell.messages, std::vector<std::string>{Str(texts::kSavedRescan)});
  EXPECT_EQ(ReadSetting("PrinterName", ""), "Bar");
  EXPECT_EQ(ReadSetting("PrinterModelType", ""), "1");
}

TEST_F(ConfigDialog, CloudModeSavesAddressAndPortButAnEmptyBoxKeepsTheStoredValue) {
  test::StoreSettings({{"PrinterType", "1"}, {"PrinterModelType", "1"}, {"LocalAddr", "192.168.1.5"}, {"LocalPort", "8212"},
         {"PrinterName", "Receipt"}});
  Open();
  view.SetText(ConfigControl::edtip, "");
  Save();
  EXPECT_EQ(shell.messages, std::vector<std::string>{Str(texts::kSavedRescan)}) << "the summaries differ";
  EXPECT_EQ(ReadSetting("LocalAddr", ""), "192.168.1.5");
  EXPECT_EQ(form->SummaryAfter, "1_1__8212_Receipt");
}

TEST_F(ConfigDialog, WithoutADefaultPrinterTheRestOfTheOpeningIsSkipped) {
  spooler.SetDefaultPrinter(std::nullopt);
  test::StoreSettings({{"PrinterType", "2"}, {"LocalAddr", "192.168.1.20"}, {"LocalPort", "9100"}});
  Open();
  EXPECT_EQ(shell.errors, std::vector<std::string>{Str(texts::kNoDefaultPrinter)});
  EXPECT_EQ(view.printers.size(), 3u);
  EXPECT_EQ(view.PrinterIndex(), -1);
  EXPECT_FALSE(view.Checked(ConfigControl::RadioButton2));
  EXPECT_EQ(view.Text(ConfigControl::edtport), "8212");
  EXPECT_EQ(view.Text(ConfigControl::edtip), "");
}

TEST_F(ConfigDialog, CancelAndHelp) {
  Open();
  form->Label1Click();
  EXPECT_EQ(shell.opened, std::vector<std::string>{kHelpPageUrl});
  form->FlatButton1Click();
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(form->ModalResult);
}

TEST(ConfigDialogRun, ShowConfigDialogIsTrueOnlyAfterASuccessfulSave) {
  test::FreshSettingsStore store;
  platform::RecordingSpooler spooler{{"Receipt"}};
  spooler.SetDefaultPrinter("Receipt");
  platform::ScopedSpoolerOverride useSpooler{spooler};
  test::FakeShell shell;
  EXPECT_FALSE(ShowConfigDialog(shell)) << "closed without pressing anything";
  shell.configScript = [](TfrmConfig& form, TMemoryConfigView& view) {
    view.SetChecked(ConfigControl::RadioButton1, true);
    form.RadioButton1Click();
    form.FlatButton3Click();
  };
  EXPECT_TRUE(ShowConfigDialog(shell));
  EXPECT_EQ(ReadSetting("PrinterType", ""), "1");
}

}  // namespace
}  // namespace pavix
