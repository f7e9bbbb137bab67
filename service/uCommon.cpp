#include "uCommon.h"

#include <atomic>
#include <iostream>

#include "Autostart.h"
#include "Browser.h"
#include "HostAddresses.h"
#include "MachineIdentity.h"
#include "Registry.h"
#include "uTexts.h"

namespace pavix {

namespace {

std::unique_ptr<platform::IRegistryKey> OpenSettingsKey() {
  return platform::SystemRegistry().CreateKey(kSettingsKeyPath, platform::kKeyAllAccess);
}

// The stored string, nullopt when absent; a value of another type cannot be
// used as a setting and is reported rather than read as empty.
std::optional<std::string> QueryString(platform::IRegistryKey& key, const std::string& name) {
  std::optional<platform::RegistryValue> value = key.Query(name);
  if (!value) return std::nullopt;
  if (!value->isString) throw RegistryReadError("The setting '" + name + "' is not stored as text");
  return std::move(value->text);
}

std::atomic<bool> terminateRequested{false};

}  // namespace

std::string ReadSetting(const std::string& name, const std::string& defaultValue) {
  auto key = OpenSettingsKey();
  if (!key) return defaultValue;
  return QueryString(*key, name).value_or(defaultValue);
}

NameValueList ReadSettings(const std::vector<std::string>& names) {
  NameValueList list;
  auto key = OpenSettingsKey();
  if (!key) return list;
  for (const auto& name : names) {
    if (auto value = QueryString(*key, name)) list.Add(name, *value);
  }
  return list;
}

bool WriteSettings(const NameValueList& list) {
  auto key = OpenSettingsKey();
  if (!key) return false;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    if (!key->SetString(list.NameAt(i), list.ValueAt(i))) return false;
  }
  return true;
}

std::string GetMachineEsn() {
  auto key = OpenSettingsKey();
  if (!key) return "";
  if (auto stored = QueryString(*key, "ESN")) return *stored;
  const std::string braced = platform::NewRegistryGuidText();
  std::string esn = braced.substr(1, braced.size() - 2);
  // An identity that was not stored would change with every run and break
  // the pairing; better none than a passing one.
  return key->SetString("ESN", esn) ? esn : "";
}

AutoStartFailureHooks DefaultAutoStartFailureHooks() {
  return {
      [](const std::string& message) { std::cerr << message << std::endl; },
      [](const std::string& url) { platform::OpenWebAddress(url); },
      [] { terminateRequested = true; },
  };
}

bool TerminateRequested() { return terminateRequested; }

void RegisterAutoStart(const std::string& exePath, const AutoStartFailureHooks& onFailure) {
  if (platform::WriteAutostartEntry(texts::System(texts::kAutoStartEntryName), exePath)) return;
  onFailure.showMessage(texts::System(texts::kRunAsAdministrator));
  onFailure.openWebAddress(kHelpPageUrl);
  onFailure.requestTerminate();
}

int GetLocalAddresses(std::vector<std::string>& list) {
  if (!platform::ListHostIPv4Addresses(list)) return 0;
  return static_cast<int>(list.size());
}

}  // namespace pavix
