#include "FakeShell.h"

#include <gtest/gtest.h>

#include "uCommon.h"

namespace pavix::test {

bool FakeShell::RunConfigDialog(TfrmConfig& form) {
  ++configShown;
  TMemoryConfigView view;
  form.Attach(view);
  RunUiAction(*this, [&] { form.FormShow(); });
  if (configScript) configScript(form, view);
  return view.closed && form.ModalResult;
}

bool FakeShell::RunQrCodeDialog(TfrmQrCode& form) {
  ++qrCodeShown;
  TMemoryQrCodeView view;
  form.Attach(view);
  RunUiAction(*this, [&] { form.FormShow(); });
  if (qrCodeScript) qrCodeScript(form, view);
  return view.closed && form.ModalResult;
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
