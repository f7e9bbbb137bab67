#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Exception.h"
#include "NameValueList.h"

// The persistent settings: string values under one machine-wide key, read
// afresh on every call so that a value the settings dialog writes is seen by
// the next reader at once. Also the machine identity, the autostart entry and
// the host's addresses.
namespace pavix {

inline constexpr const char* kSettingsKeyPath = "SoftWare\\PavixRuzadOridova";
inline constexpr const char* kHelpPageUrl = "https://help.pavixprint.com/ruzadoridovahelp.htm";

// A stored value that is not a string.
class RegistryReadError : public Exception {
 public:
  using Exception::Exception;
};

// The stored value of `name`, or `defaultValue` when it is absent or the key
// cannot be opened. A stored empty string is returned as such.
std::string ReadSetting(const std::string& name, const std::string& defaultValue);

// "name=value" for each requested name that has a stored value, in the order
// asked; empty when the key cannot be opened.
NameValueList ReadSettings(const std::vector<std::string>& names);

// Stores each line as a string value, in list order; names not in the list
// keep their values. False, with nothing shown, when the key cannot be opened
// or a value could not be stored (writing stops there).
bool WriteSettings(const NameValueList& list);

// The machine identity: created once (36 upper-case hexadecimal characters in
// GUID groups) and kept in the settings; "" when the key cannot be opened or
// the new identity could not be stored.
std::string GetMachineEsn();

// What RegisterAutoStart does when the entry cannot be written. The desktop
// shell supplies its message box and its application's terminate request.
struct AutoStartFailureHooks {
  std::function<void(const std::string& message)> showMessage;
  std::function<void(const std::string& url)> openWebAddress;
  std::function<void()> requestTerminate;
};

// Without a shell: the message goes to stderr, the help page to the browser,
// and the terminate request is recorded for TerminateRequested().
AutoStartFailureHooks DefaultAutoStartFailureHooks();
bool TerminateRequested();

// Writes the autostart entry for `exePath`; on failure tells the user to run
// the program as administrator, opens the help page and asks the application
// to terminate.
void RegisterAutoStart(const std::string& exePath,
                       const AutoStartFailureHooks& onFailure = DefaultAutoStartFailureHooks());

// Replaces `list` with the host's IPv4 addresses and returns their number; 0
// on failure, with `list` untouched.
int GetLocalAddresses(std::vector<std::string>& list);

}  // namespace pavix
