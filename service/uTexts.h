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

// Log lines of the local print endpoint.
inline constexpr std::string_view kLocalEmptyJobReceived = "本地打印：收到空打印指令";
inline constexpr std::string_view kLocalJobReceived = "本地打印：收到打印指令";
inline constexpr std::string_view kLocalJobSent = "本地打印：已发送打印数据到打印机";
// RetMessage of the local endpoint's replies; the failure text is followed
// by the error's message.
inline constexpr std::string_view kPrintSucceeded = "打印成功";
inline constexpr std::string_view kPrintFailedPrefix = "打印失败:";

// Log lines of the cloud print channel: an error is the prefix and its text,
// then the reconnect line (note its ASCII colon).
inline constexpr std::string_view kCloudErrorPrefix = "云打印错误：";
inline constexpr std::string_view kCloudReconnecting = "云打印:开始重连云端";
inline constexpr std::string_view kCloudJobReceived = "云打印：收到云端指令";
inline constexpr std::string_view kCloudJobSent = "云打印：已发送打印数据到打印机";

// Log lines of the service controller.
inline constexpr std::string_view kConfigureFirst = "请先进行参数设置";
inline constexpr std::string_view kPrinterNotFound = "没有找到打印机，请检查配置是否正确";
inline constexpr std::string_view kServiceStarted = "服务成功启动";
inline constexpr std::string_view kServiceStopped = "服务已停止";

// `text` (one of the constants above) in the system code page.
std::string System(std::string_view text);

}  // namespace pavix::texts
