#include "uConfig.h"

#include "Exception.h"
#include "IntegerText.h"
#include "Shell.h"
#include "Spooler.h"
#include "SystemText.h"
#include "uCommon.h"

namespace pavix {

namespace {

constexpr int kLocalFieldsTop = 126;
constexpr int kCloudFieldsTop = 97;

std::string Str(std::string_view text) { return texts::System(text); }

}  // namespace

std::string BuildSummary(const TSettingsValues& values) {
  return values.PrinterType + "_" + values.PrinterModelType + "_" + values.LocalAddr + "_" + values.LocalPort + "_" +
         values.PrinterName;
}

bool IsUsablePort(const std::string& text) {
  try {
    const std::int32_t port = StrToInt(text);
    return port >= 1 && port <= 65535;
  } catch (const IntegerConversionError&) {
    return false;
  }
}

TfrmConfig::TfrmConfig(IShell& shell) : TfrmConfig(shell, GetLocalAddresses) {}

TfrmConfig::TfrmConfig(IShell& shell, AddressSource localAddresses)
    : shell_(shell), localAddresses_(std::move(localAddresses)) {}

IConfigView& TfrmConfig::View() const {
  if (view_ == nullptr) throw Exception("The settings dialog has no window");
  return *view_;
}

void TfrmConfig::Check(ConfigControl radioButton) {
  View().SetChecked(radioButton, true);
  if (radioButton == ConfigControl::RadioButton1) {
    RadioButton1Click();
  } else {
    RadioButton2Click();
  }
}

void TfrmConfig::ShowLocalFields(bool visible) {
  for (const auto control : {ConfigControl::Label2, ConfigControl::Label3, ConfigControl::edtip, ConfigControl::edtport}) {
    View().SetVisible(control, visible);
  }
  const int top = visible ? kLocalFieldsTop : kCloudFieldsTop;
  View().SetTop(ConfigControl::Label4, top);
  View().SetTop(ConfigControl::cbxprinter, top);
}

void TfrmConfig::FormShow() {
  FillPrinterList();
  LoadSettings();
  IConfigView& view = View();
  if (view.Text(ConfigControl::edtport).empty()) view.SetText(ConfigControl::edtport, "8212");
  if (!view.Text(ConfigControl::edtip).empty()) return;
  std::vector<std::string> addresses;
  if (localAddresses_(addresses) == 0 || addresses.empty()) return;
  std::string proposal = addresses.back();
  for (const auto& address : addresses) {
    if (address.starts_with("192")) {
      proposal = address;
      break;
    }
  }
  view.SetText(ConfigControl::edtip, proposal);
}

void TfrmConfig::FillPrinterList() {
  platform::ISpooler& spooler = platform::CurrentSpooler();
  printers_ = spooler.InstalledPrinters();
  View().SetPrinters(printers_);
  View().SetPrinterIndex(-1);
  const std::optional<std::string> defaultPrinter = spooler.DefaultPrinter();
  if (!defaultPrinter) throw Exception(Str(texts::kNoDefaultPrinter));
  for (std::size_t i = 0; i < printers_.size(); ++i) {
    if (platform::SameSystemTextIgnoringCase(printers_[i], *defaultPrinter)) {
      View().SetPrinterIndex(static_cast<int>(i));
      return;
    }
  }
}

void TfrmConfig::LoadSettings() {
  const NameValueList stored = ReadSettings({"PrinterType", "PrinterModelType", "LocalPort", "LocalAddr", "PrinterName"});
  const TSettingsValues values{stored.Value("PrinterType"), stored.Value("PrinterModelType"), stored.Value("LocalAddr"),
                               stored.Value("LocalPort"), stored.Value("PrinterName")};
  IConfigView& view = View();
  if (values.PrinterType == "1") Check(ConfigControl::RadioButton1);
  if (values.PrinterType == "2") Check(ConfigControl::RadioButton2);
  if (values.PrinterModelType == "1") view.SetChecked(ConfigControl::chkuseappmodel, true);
  view.SetText(ConfigControl::edtip, values.LocalAddr);
  view.SetText(ConfigControl::edtport, values.LocalPort);
  if (!values.PrinterName.empty()) {
    int found = -1;
    for (std::size_t i = 0; i < printers_.size() && found < 0; ++i) {
      if (platform::SameSystemTextIgnoringCase(printers_[i], values.PrinterName)) found = static_cast<int>(i);
    }
    view.SetPrinterIndex(found);
  }
  SummaryBefore = BuildSummary(values);
}

bool TfrmConfig::SaveSettings() {
  const IConfigView& view = View();
  TSettingsValues values;
  if (view.Checked(ConfigControl::RadioButton1)) values.PrinterType = "1";
  if (view.Checked(ConfigControl::RadioButton2)) values.PrinterType = "2";
  // The template choice never reaches the store: the app's own template is always used.
  values.PrinterModelType = "1";
  values.LocalAddr = view.Text(ConfigControl::edtip);
  values.LocalPort = view.Text(ConfigControl::edtport);
  const int index = view.PrinterIndex();
  if (index >= 0 && static_cast<std::size_t>(index) < printers_.size()) values.PrinterName = printers_[index];

  NameValueList list;
  for (const auto& [name, value] : {std::pair<const char*, const std::string&>{"PrinterType", values.PrinterType},
                                    {"PrinterModelType", values.PrinterModelType},
                                    {"LocalAddr", values.LocalAddr},
                                    {"LocalPort", values.LocalPort},
                                    {"PrinterName", values.PrinterName}}) {
    // An empty box leaves the stored value as it is.
    if (!value.empty()) list.Add(name, value);
  }
  const bool written = WriteSettings(list);
  SummaryAfter = BuildSummary(values);
  return written;
}

void TfrmConfig::FlatButton3Click() {
  const IConfigView& view = View();
  const bool local = view.Checked(ConfigControl::RadioButton2);
  if (!view.Checked(ConfigControl::RadioButton1) && !local) {
    shell_.ShowMessage(Str(texts::kChoosePrintMode));
    return;
  }
  if (local && (view.Text(ConfigControl::edtip).empty() || view.Text(ConfigControl::edtport).empty())) {
    shell_.ShowMessage(Str(texts::kLocalNeedsAddressAndPort));
    return;
  }
  if (local && !IsUsablePort(view.Text(ConfigControl::edtport))) {
    shell_.ShowMessage(Str(texts::kInvalidPort));
    return;
  }
  if (!SaveSettings()) {
    shell_.ShowMessage(Str(texts::kSaveFailed));
    return;
  }
  shell_.ShowMessage(Str(SummaryBefore != SummaryAfter ? texts::kSavedRescan : texts::kSaved));
  ModalResult = true;
  View().Close();
}

void TfrmConfig::FlatButton1Click() {
  ModalResult = false;
  View().Close();
}

void TfrmConfig::Label1Click() { shell_.OpenWebAddress(kHelpPageUrl); }

bool ShowConfigDialog(IShell& shell) {
  TfrmConfig form(shell);
  return shell.RunConfigDialog(form);
}

}  // namespace pavix
