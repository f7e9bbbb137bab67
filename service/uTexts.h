#pragma once

#include <string>
#include <string_view>

// The fixed user-visible texts, kept here in UTF-8 and handed to the rest of
// the program in the system code page, where settings, captions and log lines
// live.
namespace pavix::texts {

// Name of the autostart entry.
inline constexpr std::string_view kAutoStartEntryName = "Melvo手机版打印服务器";
// Shown when the autostart entry cannot be written.
inline constexpr std::string_view kRunAsAdministrator = "程序启动失败：请以管理员身份运行此程序";

// `text` (one of the constants above) in the system code page.
std::string System(std::string_view text);

}  // namespace pavix::texts
