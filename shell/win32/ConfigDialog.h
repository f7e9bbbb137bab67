#pragma once

#include <windows.h>

#include <array>

#include "GdiHandles.h"
#include "WindowHost.h"
#include "uConfig.h"

// The settings dialog on Win32: the controls of kConfigLayout, their events
// going to TfrmConfig.
namespace pavix::desktop {

class ConfigDialog final : public IConfigView, private IMessageHandler {
 public:
  ConfigDialog(IShell& shell, TfrmConfig& form, HWND owner, HFONT font);
  ~ConfigDialog();
  ConfigDialog(const ConfigDialog&) = delete;
  ConfigDialog& operator=(const ConfigDialog&) = delete;

  HWND Handle() const { return window_.get(); }
  bool Closed() const { return closed_; }

  bool Checked(ConfigControl control) const override;
  void SetChecked(ConfigControl control, bool checked) override;
  std::string Text(ConfigControl control) const override;
  void SetText(ConfigControl control, const std::string& text) override;
  void SetVisible(ConfigControl control, bool visible) override;
  void SetTop(ConfigControl control, int top) override;
  void SetPrinters(const std::vector<std::string>& names) override;
  int PrinterIndex() const override;
  void SetPrinterIndex(int index) override;
  void Close() override { closed_ = true; }

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id);
  HWND Control(ConfigControl control) const;

  IShell& shell_;
  TfrmConfig& form_;
  platform::UniqueFont linkFont_;
  UniqueWindow window_;
  std::array<HWND, kConfigLayout.size()> controls_{};
  bool closed_ = false;
};

}  // namespace pavix::desktop
