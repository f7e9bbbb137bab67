#include "Win32Shell.h"

#include "Browser.h"
#include "ConfigDialog.h"
#include "LayoutControls.h"
#include "MainWindow.h"
#include "QrCodeDialog.h"
#include "WideText.h"

namespace pavix::desktop {

Win32Shell::Win32Shell() : font_(MessageFont()) {}

Win32Shell::~Win32Shell() = default;

HWND Win32Shell::CurrentOwner() const {
  if (!modalDialogs_.empty()) return modalDialogs_.back();
  if (main_ != nullptr && IsWindowVisible(main_->Handle())) return main_->Handle();
  return nullptr;
}

void Win32Shell::ShowBox(const std::string& text, UINT icon) {
  // Its own loop serves the UI queue too: the queue's window belongs to this thread.
  ::MessageBoxW(CurrentOwner(), WideFromSystem(text).c_str(), WideFromUtf8(kMainWindow.caption).c_str(),
              MB_OK | icon | MB_SETFOREGROUND);
}

void Win32Shell::ShowMessage(const std::string& text) { ShowBox(text, 0); }

void Win32Shell::ShowError(const std::string& message) { ShowBox(message, MB_ICONERROR); }

void Win32Shell::Terminate(int exitCode) {
  exitCode_ = exitCode;
  terminated_ = true;
  try {
    ui_.Post([] {});  // wakes whichever loop is waiting to see it
  } catch (const platform::DispatcherClosedError&) {
    // No loop is left to wake.
  }
}

void Win32Shell::OpenWebAddress(const std::string& url) { platform::OpenWebAddress(url); }

template <class Dialog, class Form>
bool Win32Shell::RunDialog(Form& form) {
  const HWND owner = CurrentOwner();
  Dialog dialog(*this, form, owner, font_.get());
  form.Attach(dialog);
  modalDialogs_.push_back(dialog.Handle());
  // Made and filled before it shows, so it opens as the form leaves it.
  RunUiAction(*this, [&form] { form.FormShow(); });
  RunModal(dialog.Handle(), owner, [this, &dialog] { return dialog.Closed() || terminated_; });
  modalDialogs_.pop_back();
  return form.ModalResult;
}

bool Win32Shell::RunConfigDialog(TfrmConfig& form) { return RunDialog<ConfigDialog>(form); }

bool Win32Shell::RunQrCodeDialog(TfrmQrCode& form) { return RunDialog<QrCodeDialog>(form); }

IMainView& Win32Shell::CreateMainWindow(TfrmMain& form) {
  main_ = std::make_unique<MainWindow>(*this, form, font_.get());
  return *main_;
}

int Win32Shell::RunMessageLoop() {
  if (main_ != nullptr) main_->SetWindowVisible(true);
  // Handlers report their own errors; the loop ends with Terminate (or a quit request).
  ui_.ServeUntil([this] { return terminated_.load(); });
  return exitCode_;
}

void Win32Shell::DestroyMainWindow() { main_.reset(); }

}  // namespace pavix::desktop
