#include <objbase.h>
#include <windows.h>

#include <memory>
#include <stdexcept>

#include "MachineIdentity.h"

namespace pavix::platform {

namespace {

struct CoTaskMemFreer {
  void operator()(wchar_t* text) const { ::CoTaskMemFree(text); }
};

}  // namespace

std::string NewRegistryGuidText() {
  GUID guid{};
  if (FAILED(::CoCreateGuid(&guid))) throw std::runtime_error("the system could not create a GUID");
  wchar_t* raw = nullptr;
  if (FAILED(::StringFromCLSID(guid, &raw))) throw std::runtime_error("the system could not format a GUID");
  const std::unique_ptr<wchar_t, CoTaskMemFreer> wide(raw);
  // The registry form is braces, hexadecimal digits and hyphens: plain ASCII.
  std::string text;
  for (const wchar_t* c = wide.get(); *c != L'\0'; ++c) text += static_cast<char>(*c);
  return text;
}

}  // namespace pavix::platform
