#pragma once

#include <string_view>

#include "uTexts.h"

// The fixed texts of the windows and dialogs, in UTF-8 here and handed out in
// the system code page with texts::System, like the service's own texts.
namespace pavix::texts {

// Main window.
inline constexpr std::string_view kMainCaption = "Melvo手机版/Pavix-打印服务器V3.0";
inline constexpr std::string_view kTrayTip = "Melvo手机版/Pavix 打印服务器V3.0";
inline constexpr std::string_view kModeLabel = "服务模式：";
inline constexpr std::string_view kCloudMode = "云打印";
inline constexpr std::string_view kLocalMode = "本地打印";
inline constexpr std::string_view kPairingButton = "二维码";
inline constexpr std::string_view kSettingsButton = "参数设置";
inline constexpr std::string_view kStartService = "开启服务";
inline constexpr std::string_view kStopService = "关闭服务";
inline constexpr std::string_view kExitMenuItem = "退出";
inline constexpr std::string_view kAlreadyRunning = "打印服务器已经运行";

// Settings dialog ("参数设置" is its caption too).
inline constexpr std::string_view kUseAppTemplate = "使用App打印模板";
inline constexpr std::string_view kAddressLabel = "地     址";
inline constexpr std::string_view kPortLabel = "端     口";
inline constexpr std::string_view kPrinterLabel = "打印机  ";
inline constexpr std::string_view kCancel = "取消";
inline constexpr std::string_view kSaveSettings = "保存设置";
inline constexpr std::string_view kHelpLink = "不知道怎么配置？点我呀";
inline constexpr std::string_view kChoosePrintMode = "请选择打印方式：【云打印】 或者 【本地打印】";
inline constexpr std::string_view kLocalNeedsAddressAndPort = "您选择是【本地打印】，请完整填写地址与端口";
inline constexpr std::string_view kInvalidPort = "请填写正确的端口";
inline constexpr std::string_view kSavedRescan = "本次配置保存成功！请各终端【手机/iPad】等重新扫描二维码";
inline constexpr std::string_view kSaved = "保存成功!";
// When the settings could not be written: the dialog stays open.
inline constexpr std::string_view kSaveFailed = "保存失败：无法写入配置，请以管理员身份运行此程序（Linux 下为 root）";
inline constexpr std::string_view kNoDefaultPrinter = "There is no default printer currently selected";

// Pairing code dialog ("二维码" is its caption too).
inline constexpr std::string_view kClose = "关闭";
inline constexpr std::string_view kNoPrintMode = "没有配置打印方式，请先进行【程序设置】";
inline constexpr std::string_view kIncompleteSettings = "程序配置不完整，请先进行【程序设置】";
// When the pairing text does not fit the symbol: no picture rather than one
// that cannot be scanned.
inline constexpr std::string_view kPairingTooLong = "地址过长，无法生成二维码：请在【参数设置】中填写较短的地址";

}  // namespace pavix::texts
