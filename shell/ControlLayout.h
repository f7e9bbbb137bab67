#pragma once

#include <string_view>

// Where a window's controls stand and what they show when it opens, in
// pixels of its client area: the one description every toolkit builds the
// window from.
namespace pavix {

enum class ControlKind { Panel, Label, Link, Button, Edit, RadioButton, CheckBox, DropDownList, Memo, Image };

template <class Id>
struct TControlLayout {
  Id id;
  std::string_view name;
  ControlKind kind;
  std::string_view caption;  // UTF-8; the initial text of an edit box
  int left, top, width, height;
  bool visible = true;
  bool checked = false;
};

struct TWindowLayout {
  std::string_view caption;  // UTF-8
  int clientWidth, clientHeight;
};

}  // namespace pavix
