// The program's entry: the headless print server and its terminal commands.
#include <iostream>
#include <string>
#include <vector>

#include "SampleJob.h"
#include "uJSON.h"
#include "terminal/Commands.h"

namespace {

constexpr const char* kUsage =
    "usage: pavix-print-server --headless        run the print server without a window\n"
    "       pavix-print-server settings          show the stored settings\n"
    "       pavix-print-server settings NAME=VALUE ...\n"
    "                                            change settings as the settings dialog does\n"
    "                                            (PrinterType=1|2, LocalAddr, LocalPort, PrinterName)\n"
    "       pavix-print-server pairing [--png FILE | --pbm]\n"
    "                                            show the pairing code for the app\n"
    "       pavix-print-server sample-receipt    print a sample job (JSON) to post to the server\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace pavix;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const std::string command = arguments.empty() ? "" : arguments[0];
  const std::vector<std::string> rest(arguments.empty() ? arguments.end() : arguments.begin() + 1, arguments.end());
  if (command == "--headless" && rest.empty()) return RunHeadless();
  if (command == "settings") return RunSettingsCommand(rest, std::cout, std::cerr);
  if (command == "pairing") return RunPairingCommand(rest, std::cout, std::cerr);
  if (command == "sample-receipt" && rest.empty()) {
    std::cout << TJSON::JsonToText(MakeSampleJob().get(), true) << "\n";
    return 0;
  }
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command.empty()) {
    std::cerr << "This build has no desktop window. To run the print server in this terminal:\n"
                 "  pavix-print-server --headless\n\n";
  }
  std::cerr << kUsage;
  return 2;
}
