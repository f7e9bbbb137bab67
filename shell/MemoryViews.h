#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "uConfig.h"
#include "uMain.h"
#include "uQrCode.h"

// Windows kept in memory: the terminal commands use them as the operator's
// dialogs, and the tests read what the logic did to them.
namespace pavix {

class TMemoryMainView : public IMainView {
 public:
  TMemoryMainView();
  void SetCaption(MainControl control, const std::string& caption) override { captions[control] = caption; }
  void AppendLogLine(const std::string& line) override { log.push_back(line); }
  void SetWindowVisible(bool visible) override { windowVisible = visible; }
  void SetTrayIconVisible(bool visible) override { trayIconVisible = visible; }

  std::map<MainControl, std::string> captions;
  std::vector<std::string> log;
  bool windowVisible = true;
  bool trayIconVisible = true;  // the tray icon is there from the start
};

class TMemoryConfigView : public IConfigView {
 public:
  struct Control {
    bool checked = false;
    std::string text;
    bool visible = true;
    int top = 0;
  };

  TMemoryConfigView();
  bool Checked(ConfigControl control) const override { return controls.at(control).checked; }
  void SetChecked(ConfigControl control, bool checked) override;
  std::string Text(ConfigControl control) const override { return controls.at(control).text; }
  void SetText(ConfigControl control, const std::string& text) override { controls.at(control).text = text; }
  void SetVisible(ConfigControl control, bool visible) override { controls.at(control).visible = visible; }
  void SetTop(ConfigControl control, int top) override { controls.at(control).top = top; }
  void SetPrinters(const std::vector<std::string>& names) override;
  int PrinterIndex() const override { return printerIndex; }
  void SetPrinterIndex(int index) override;
  void Close() override { closed = true; }

  // The selected printer's name, "" when none.
  std::string SelectedPrinter() const;

  std::map<ConfigControl, Control> controls;
  std::vector<std::string> printers;
  int printerIndex = -1;
  bool closed = false;
};

class TMemoryQrCodeView : public IQrCodeView {
 public:
  void SetPicture(std::unique_ptr<platform::IBitmap> bitmap) override { picture = std::move(bitmap); }
  void Close() override { closed = true; }

  std::unique_ptr<platform::IBitmap> picture;
  bool closed = false;
};

}  // namespace pavix
