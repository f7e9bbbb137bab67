#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The program's terminal commands; each returns the exit status.
namespace pavix {

// `pavix-print-server --headless`: the main window without a window.
int RunHeadless();

// `pavix-print-server settings [NAME=VALUE ...]`: without arguments the stored
// settings; with them the settings dialog as the operator would use it:
// opened, the given fields edited, then "保存设置" pressed.
int RunSettingsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// `pavix-print-server pairing [--png FILE | --pbm]`: the pairing code on the
// terminal, as the dialog's picture, or as the symbol's PBM listing.
int RunPairingCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace pavix
