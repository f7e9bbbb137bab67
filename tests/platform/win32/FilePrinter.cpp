#include "FilePrinter.h"

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <thread>

#include "Win32ErrorText.h"

namespace pavix::test {

namespace {

using platform::Win32ErrorText;

struct PrinterCloser {
  void operator()(HANDLE printer) const { ::ClosePrinter(printer); }
};
using UniquePrinter = std::unique_ptr<void, PrinterCloser>;

UniquePrinter OpenPrinterFor(const std::wstring& name, ACCESS_MASK access) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  HANDLE printer = nullptr;
  if (!::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, &defaults)) return nullptr;
  return UniquePrinter(printer);
}

// Ports of the local port monitor are added and removed through its Xcv interface.
bool LocalPortCommand(const wchar_t* command, const std::wstring& port) {
  const UniquePrinter monitor = OpenPrinterFor(L",XcvMonitor Local Port", SERVER_ACCESS_ADMINISTER);
  if (!monitor) return false;
  DWORD needed = 0;
  DWORD status = 0;
  return ::XcvDataW(monitor.get(), command, reinterpret_cast<BYTE*>(const_cast<wchar_t*>(port.c_str())),
                    static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)), nullptr, 0, &needed, &status) &&
         status == ERROR_SUCCESS;
}

std::optional<std::string> AnyInstalledDriver() {
  DWORD needed = 0;
  DWORD count = 0;
  ::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 || !::EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count) ||
      count == 0) {
    return std::nullopt;
  }
  return std::string(reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data())->pName);
}

std::optional<std::string> DriverForRawPrinting() {
  if (auto driver = AnyInstalledDriver()) return driver;
  char name[] = "Pavix Test Driver";
  char wineps[] = "wineps.drv";
  DRIVER_INFO_3A driver{};
  driver.cVersion = 3;
  driver.pName = name;
  driver.pDriverPath = wineps;
  driver.pDataFile = wineps;
  driver.pConfigFile = wineps;
  if (!::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) return std::nullopt;
  return std::string(name);
}

int QueuedJobs(const std::wstring& printerName) {
  const UniquePrinter printer = OpenPrinterFor(printerName, PRINTER_ACCESS_USE);
  DWORD needed = 0;
  DWORD count = 0;
  if (!printer) return 0;
  ::EnumJobsW(printer.get(), 0, 100, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 || !::EnumJobsW(printer.get(), 0, 100, 1, buffer.data(), needed, &needed, &count)) return 0;
  return static_cast<int>(count);
}

std::wstring Wide(const std::string& systemText) {
  const int units = ::MultiByteToWideChar(CP_ACP, 0, systemText.data(), static_cast<int>(systemText.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, systemText.data(), static_cast<int>(systemText.size()), wide.data(), units);
  return wide;
}

}  // namespace

FilePrinter::FilePrinter(std::string name) : name_(std::move(name)), output_(folder_ / "device.prn") {
  Remove();  // what a crashed run left behind
  if (InstallPort()) InstallPrinter();
}

FilePrinter::~FilePrinter() { Remove(); }

bool FilePrinter::InstallPort() {
  if (!LocalPortCommand(L"AddPort", output_.wstring())) {
    failure_ = "cannot add the port " + output_.string() + ": " + Win32ErrorText(::GetLastError());
    return false;
  }
  portAdded_ = true;
  return true;
}

bool FilePrinter::InstallPrinter() {
  const std::optional<std::string> driver = DriverForRawPrinting();
  if (!driver) {
    failure_ = "no printer driver is installed and none could be added";
    return false;
  }
  std::string name = name_;
  std::string port = output_.string();
  std::string driverName = *driver;
  char processor[] = "WinPrint";
  char dataType[] = "RAW";
  PRINTER_INFO_2A info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driverName.data();
  info.pPrintProcessor = processor;
  info.pDatatype = dataType;
  HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (printer == nullptr) {
    failure_ = "cannot add the printer: " + Win32ErrorText(::GetLastError());
    return false;
  }
  ::ClosePrinter(printer);
  return true;
}

void FilePrinter::Remove() {
  if (const UniquePrinter printer = OpenPrinterFor(Wide(name_), PRINTER_ALL_ACCESS)) {
    ::DeletePrinter(printer.get());
  }
  if (portAdded_) LocalPortCommand(L"DeletePort", output_.wstring());
  portAdded_ = false;
}

std::optional<std::vector<std::uint8_t>> FilePrinter::WaitForOutput(std::chrono::milliseconds timeout) const {
  // The spooler hands a document to the port when it is complete, on its own
  // time; the file is whole once the queue is empty again.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::error_code ec;
    if (std::filesystem::exists(output_, ec) && QueuedJobs(Wide(name_)) == 0) {
      const auto bytes = ReadFileBytes(output_);
      return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace pavix::test
