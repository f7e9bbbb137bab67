#pragma once

#include <charconv>
#include <string>

#include "CodePage.h"
#include "uJSON.h"

namespace pavix::test {

// A tree in a notation of its own, independent of the writer under test:
// numbers by their shortest exact digits, strings as UTF-8 between quotes,
// lists in [], objects in {} with name=value, "none" for no tree.
inline std::string Shape(const TJSONbase* value) {
  if (value == nullptr) return "none";
  if (const auto* number = dynamic_cast<const TJSONnumber*>(value)) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number->Value());
    return std::string(buffer, result.ptr);
  }
  if (const auto* text = dynamic_cast<const TJSONstring*>(value)) return "'" + platform::Utf16ToUtf8(text->Text()) + "'";
  if (const auto* flag = dynamic_cast<const TJSONboolean*>(value)) return flag->Flag() ? "true" : "false";
  if (dynamic_cast<const TJSONnull*>(value) != nullptr) return "null";
  const auto* object = dynamic_cast<const TJSONobject*>(value);
  const auto* list = dynamic_cast<const TJSONcustomlist*>(value);
  if (list == nullptr) return "?";
  std::string shape = object != nullptr ? "{" : "[";
  for (int i = 0; i < list->ChildCount(); ++i) {
    if (i > 0) shape += " ";
    if (object != nullptr) {
      shape += platform::Utf16ToUtf8(object->NameAt(i)) + "=" + Shape(object->FieldAt(i));
    } else {
      shape += Shape(list->ChildAt(i));
    }
  }
  return shape + (object != nullptr ? "}" : "]");
}

}  // namespace pavix::test
