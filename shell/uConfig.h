#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ControlLayout.h"
#include "ShellTexts.h"

// The settings dialog: print mode, the LAN address and port of local
// printing, and the printer. Its rules live here; a toolkit supplies the
// controls through IConfigView.
namespace pavix {

class IShell;

enum class ConfigControl {
  RadioButton1, RadioButton2, chkuseappmodel, Label2, edtip, Label3, edtport, Label4, cbxprinter,
  FlatButton1, FlatButton3, Label1
};

inline constexpr TWindowLayout kConfigWindow{texts::kSettingsButton, 294, 238};
inline constexpr std::array<TControlLayout<ConfigControl>, 12> kConfigLayout{{
    {ConfigControl::RadioButton1, "RadioButton1", ControlKind::RadioButton, texts::kCloudMode, 32, 26, 76, 17},
    {ConfigControl::RadioButton2, "RadioButton2", ControlKind::RadioButton, texts::kLocalMode, 178, 26, 92, 17},
    {ConfigControl::chkuseappmodel, "chkuseappmodel", ControlKind::CheckBox, texts::kUseAppTemplate, 76, 49, 146, 17,
     false, true},
    {ConfigControl::Label2, "Label2", ControlKind::Label, texts::kAddressLabel, 29, 75, 46, 13, false},
    {ConfigControl::edtip, "edtip", ControlKind::Edit, "", 76, 72, 185, 19, false},
    {ConfigControl::Label3, "Label3", ControlKind::Label, texts::kPortLabel, 29, 101, 46, 13, false},
    {ConfigControl::edtport, "edtport", ControlKind::Edit, "8212", 76, 97, 55, 19, false},
    {ConfigControl::Label4, "Label4", ControlKind::Label, texts::kPrinterLabel, 29, 126, 52, 13},
    {ConfigControl::cbxprinter, "cbxprinter", ControlKind::DropDownList, "", 76, 122, 188, 21},
    {ConfigControl::FlatButton1, "FlatButton1", ControlKind::Button, texts::kCancel, 48, 161, 75, 25},
    {ConfigControl::FlatButton3, "FlatButton3", ControlKind::Button, texts::kSaveSettings, 161, 161, 75, 25},
    {ConfigControl::Label1, "Label1", ControlKind::Link, texts::kHelpLink, 60, 204, 219, 13},
}};

// The dialog's controls. Checking one radio button clears the other; no
// setter raises the control's click event.
class IConfigView {
 public:
  virtual ~IConfigView() = default;
  virtual bool Checked(ConfigControl control) const = 0;
  virtual void SetChecked(ConfigControl control, bool checked) = 0;
  virtual std::string Text(ConfigControl control) const = 0;  // the edit boxes
  virtual void SetText(ConfigControl control, const std::string& text) = 0;
  virtual void SetVisible(ConfigControl control, bool visible) = 0;
  virtual void SetTop(ConfigControl control, int top) = 0;
  virtual void SetPrinters(const std::vector<std::string>& names) = 0;
  virtual int PrinterIndex() const = 0;  // -1 when nothing is selected
  virtual void SetPrinterIndex(int index) = 0;
  // Ends the modal showing.
  virtual void Close() = 0;
};

// The host's IPv4 addresses into the list, their number returned (0 when none).
using AddressSource = std::function<int(std::vector<std::string>&)>;

// The five values of a summary, in summary order.
struct TSettingsValues {
  std::string PrinterType, PrinterModelType, LocalAddr, LocalPort, PrinterName;
};

// The values joined with "_": saving changed what the app scanned when the
// summaries before and after differ.
std::string BuildSummary(const TSettingsValues& values);

// A port the local endpoint can listen on: an integer text from 1 to 65535.
bool IsUsablePort(const std::string& text);

class TfrmConfig {
 public:
  explicit TfrmConfig(IShell& shell);
  TfrmConfig(IShell& shell, AddressSource localAddresses);

  // The controls the events below act on; before FormShow.
  void Attach(IConfigView& view) { view_ = &view; }

  void FormShow();
  void RadioButton1Click() { ShowLocalFields(false); }
  void RadioButton2Click() { ShowLocalFields(true); }
  void FlatButton3Click();  // save
  void FlatButton1Click();  // cancel
  void Label1Click();       // help

  void ShowLocalFields(bool visible);
  void FillPrinterList();
  void LoadSettings();
  // False when the settings could not be written.
  bool SaveSettings();

  std::string SummaryBefore;
  std::string SummaryAfter;
  // True once the dialog closed through a successful save.
  bool ModalResult = false;

 private:
  IConfigView& View() const;
  void Check(ConfigControl radioButton);

  IShell& shell_;
  AddressSource localAddresses_;
  IConfigView* view_ = nullptr;
  std::vector<std::string> printers_;
};

// Shows the dialog modally; true when it closed through a successful save.
bool ShowConfigDialog(IShell& shell);

}  // namespace pavix
