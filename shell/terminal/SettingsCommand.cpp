#include <array>
#include <optional>
#include <ostream>

#include "Commands.h"
#include "MemoryViews.h"
#include "SystemText.h"
#include "TerminalShell.h"
#include "uCommon.h"

namespace pavix {

namespace {

constexpr std::array<const char*, 6> kStoredNames{"PrinterType", "PrinterModelType", "LocalAddr",
                                                  "LocalPort",   "PrinterName",      "ESN"};

// The operator's edits in the dialog, in the order given.
struct Edit {
  std::string name;
  std::string value;
};

std::optional<Edit> ParseEdit(const std::string& argument, std::ostream& err) {
  const auto equals = argument.find('=');
  if (equals != std::string::npos) {
    Edit edit{argument.substr(0, equals), argument.substr(equals + 1)};
    for (const char* name : {"PrinterType", "LocalAddr", "LocalPort", "PrinterName"}) {
      if (SameTextIgnoringCase(edit.name, name)) {
        edit.name = name;
        return edit;
      }
    }
  }
  err << "Not a setting to change: '" << argument
      << "' (use PrinterType=1|2, LocalAddr=..., LocalPort=..., PrinterName=...)\n";
  return std::nullopt;
}

// False, with the reason on `err`, when the edit cannot be made in the dialog.
bool ApplyEdit(TfrmConfig& form, TMemoryConfigView& view, const Edit& edit, std::ostream& err) {
  if (edit.name == "PrinterType") {
    if (edit.value == "1" || edit.value == "2") {
      const bool cloud = edit.value == "1";
      view.SetChecked(cloud ? ConfigControl::RadioButton1 : ConfigControl::RadioButton2, true);
      cloud ? form.RadioButton1Click() : form.RadioButton2Click();
      return true;
    }
    if (edit.value.empty()) {
      view.SetChecked(ConfigControl::RadioButton1, false);
      view.SetChecked(ConfigControl::RadioButton2, false);
      return true;
    }
    err << "PrinterType is 1 (cloud printing) or 2 (local printing), not '" << edit.value << "'\n";
    return false;
  }
  if (edit.name == "PrinterName") {
    if (edit.value.empty()) {
      view.SetPrinterIndex(-1);
      return true;
    }
    for (std::size_t i = 0; i < view.printers.size(); ++i) {
      if (platform::SameSystemTextIgnoringCase(view.printers[i], edit.value)) {
        view.SetPrinterIndex(static_cast<int>(i));
        return true;
      }
    }
    err << "No installed printer is named '" << edit.value << "'. Installed printers:\n";
    for (const auto& name : view.printers) err << "  " << name << "\n";
    return false;
  }
  view.SetText(edit.name == "LocalAddr" ? ConfigControl::edtip : ConfigControl::edtport, edit.value);
  return true;
}

int PrintStoredSettings(std::ostream& out) {
  const NameValueList stored = ReadSettings({kStoredNames.begin(), kStoredNames.end()});
  for (const auto& line : stored.Lines()) out << line << "\n";
  return 0;
}

}  // namespace

int RunSettingsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return PrintStoredSettings(out);
  std::vector<Edit> edits;
  for (const auto& argument : arguments) {
    auto edit = ParseEdit(argument, err);
    if (!edit) return 2;
    edits.push_back(std::move(*edit));
  }

  TerminalShell shell(out, out, err);
  int status = 1;
  shell.configDialog = [&](TfrmConfig& form) {
    TMemoryConfigView view;
    form.Attach(view);
    RunUiAction(shell, [&] { form.FormShow(); });
    for (const auto& edit : edits) {
      if (!ApplyEdit(form, view, edit, err)) {
        status = 2;
        return false;
      }
    }
    RunUiAction(shell, [&] { form.FlatButton3Click(); });
    return form.ModalResult;
  };
  const bool saved = ShowConfigDialog(shell);
  return saved ? 0 : status;
}

}  // namespace pavix
