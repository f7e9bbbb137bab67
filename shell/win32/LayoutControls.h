#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string_view>

#include "ControlLayout.h"
#include "DesktopMessages.h"
#include "GdiHandles.h"

// A window's controls made from its layout table: standard controls in the
// system's message font, at the table's positions, with its captions, its
// initial visibility and check marks.
namespace pavix::desktop {

// The font the system uses for message boxes and dialogs.
platform::UniqueFont MessageFont();
// `font` with an underline, for links.
platform::UniqueFont UnderlinedFont(HFONT font);

struct ControlSpec {
  int id;
  ControlKind kind;
  std::string_view caption;  // UTF-8
  int left, top, width, height;
  bool visible, checked;
  bool startsGroup;  // every control but the radio buttons that follow another
};

// Null for a panel: panels are drawn by their window.
HWND CreateLayoutControl(HWND parent, const ControlSpec& spec, HFONT font);

template <class Id, std::size_t N>
std::array<HWND, N> CreateLayoutControls(HWND parent, const std::array<TControlLayout<Id>, N>& layout, HFONT font) {
  std::array<HWND, N> controls{};
  for (std::size_t i = 0; i < N; ++i) {
    const auto& entry = layout[i];
    const bool followsRadio = i > 0 && layout[i - 1].kind == ControlKind::RadioButton;
    const ControlSpec spec{ControlIdOf(i),  entry.kind,    entry.caption, entry.left,
                           entry.top,       entry.width,   entry.height,  entry.visible,
                           entry.checked,   entry.kind != ControlKind::RadioButton || !followsRadio};
    controls[i] = CreateLayoutControl(parent, spec, font);
  }
  return controls;
}

// The entry of `id` in a layout table.
template <class Id, std::size_t N>
std::size_t IndexOf(const std::array<TControlLayout<Id>, N>& layout, Id id) {
  for (std::size_t i = 0; i < N; ++i) {
    if (layout[i].id == id) return i;
  }
  return N;
}

}  // namespace pavix::desktop
