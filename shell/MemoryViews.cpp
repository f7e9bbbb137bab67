#include "MemoryViews.h"

namespace pavix {

TMemoryMainView::TMemoryMainView() {
  for (const auto& control : kMainLayout) captions[control.id] = texts::System(control.caption);
}

TMemoryConfigView::TMemoryConfigView() {
  for (const auto& control : kConfigLayout) {
    const bool edit = control.kind == ControlKind::Edit;
    controls[control.id] = {control.checked, edit ? std::string(control.caption) : std::string(), control.visible,
                            control.top};
  }
}

void TMemoryConfigView::SetChecked(ConfigControl control, bool checked) {
  controls.at(control).checked = checked;
  // The two radio buttons are one group.
  if (checked && control == ConfigControl::RadioButton1) controls.at(ConfigControl::RadioButton2).checked = false;
  if (checked && control == ConfigControl::RadioButton2) controls.at(ConfigControl::RadioButton1).checked = false;
}

void TMemoryConfigView::SetPrinters(const std::vector<std::string>& names) {
  printers = names;
  printerIndex = -1;
}

void TMemoryConfigView::SetPrinterIndex(int index) {
  printerIndex = index >= 0 && static_cast<std::size_t>(index) < printers.size() ? index : -1;
}

std::string TMemoryConfigView::SelectedPrinter() const {
  return printerIndex >= 0 ? printers[static_cast<std::size_t>(printerIndex)] : std::string();
}

}  // namespace pavix
