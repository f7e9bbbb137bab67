#include "LayoutControls.h"

#include <string>

#include "Exception.h"
#include "Win32ErrorText.h"
#include "WideText.h"

namespace pavix::desktop {

namespace {

// A drop-down list's window includes its opened list.
constexpr int kDropDownListHeight = 200;

struct ClassAndStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

ClassAndStyle ClassAndStyleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Link:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
    case ControlKind::Button:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::Edit:
      return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::RadioButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::DropDownList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::Memo:
      return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL, 0};
    case ControlKind::Image:
      return {L"STATIC", SS_OWNERDRAW, 0};
    case ControlKind::Panel:
      break;
  }
  return {nullptr, 0, 0};
}

}  // namespace

platform::UniqueFont MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  HFONT font = nullptr;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = CreateFontIndirectW(&metrics.lfMessageFont);
  }
  return platform::UniqueFont(font);
}

platform::UniqueFont UnderlinedFont(HFONT font) {
  LOGFONTW description{};
  if (font == nullptr || GetObjectW(font, sizeof description, &description) == 0) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
  }
  description.lfUnderline = TRUE;
  return platform::UniqueFont(CreateFontIndirectW(&description));
}

HWND CreateLayoutControl(HWND parent, const ControlSpec& spec, HFONT font) {
  const ClassAndStyle kind = ClassAndStyleOf(spec.kind);
  if (kind.windowClass == nullptr) return nullptr;
  DWORD style = WS_CHILD | kind.style;
  if (spec.visible) style |= WS_VISIBLE;
  if (spec.startsGroup) style |= WS_GROUP;
  const int height = spec.kind == ControlKind::DropDownList ? spec.height + kDropDownListHeight : spec.height;
  const std::wstring caption = WideFromUtf8(spec.caption);
  HWND control = CreateWindowExW(kind.exStyle, kind.windowClass, caption.c_str(), style, spec.left, spec.top,
                                 spec.width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) throw Exception("A control could not be made: " + platform::Win32ErrorText(GetLastError()));
  if (font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (spec.kind == ControlKind::DropDownList) {
    // The closed box keeps the table's height whatever the font.
    SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), spec.height - 6);
  }
  if (spec.kind == ControlKind::Memo) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // the log is never trimmed
  if (spec.checked) SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
  return control;
}

}  // namespace pavix::desktop
