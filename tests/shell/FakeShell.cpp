#include "FakeShell.h"

#include <gtest/gtest.h>

#include "uCommon.h"

namespace pavix::test {

namespace {

// The dialog opened on an in-memory view, then the test's script.
template <class View, class Form, class Script>
bool RunScripted(IShell& shell, Form& form, const Script& script, int& shown) {
  ++shown;
  View view;
  form.Attach(view);
  RunUiAction(shell, [&] { form.FormShow(); });
  if (script) script(form, view);
  return view.closed && form.ModalResult;
}

}  // namespace

bool FakeShell::RunConfigDialog(TfrmConfig& form) {
  return RunScripted<TMemoryConfigView>(*this, form, configScript, configShown);
}

bool FakeShell::RunQrCodeDialog(TfrmQrCode& form) {
  return RunScripted<TMemoryQrCodeView>(*this, form, qrCodeScript, qrCodeShown);
}

IMainView& FakeShell::CreateMainWindow(TfrmMain& form) {
  mainForm = &form;
  mainView = std::make_unique<TMemoryMainView>();
  return *mainView;
}

int FakeShell::RunMessageLoop() {
  RunUiAction(*this, [this] { mainForm->FormShow(); });
  if (whileRunning) RunUiAction(*this, [this] { whileRunning(*mainForm, *mainView); });
  return terminated.value_or(0);
}

void StoreSettings(std::initializer_list<std::pair<const char*, const char*>> values) {
  NameValueList list;
  for (const auto& [name, value] : values) list.Add(name, value);
  ASSERT_TRUE(WriteSettings(list));
}

}  // namespace pavix::test
