#include "NameValueList.h"

#include <algorithm>

namespace pavix {

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

void NameValueList::Add(std::string_view name, std::string_view value) {
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append("=").append(value);
  lines_.push_back(std::move(line));
}

std::string NameValueList::NameAt(std::size_t index) const {
  const std::string& line = lines_.at(index);
  const auto equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(0, equals);
}

std::string NameValueList::ValueAt(std::size_t index) const {
  const std::string& line = lines_.at(index);
  const auto equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

int NameValueList::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = lines_[i];
    const auto equals = line.find('=');
    if (equals != std::string_view::npos && SameTextIgnoringCase(line.substr(0, equals), name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string NameValueList::Value(std::string_view name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueAt(static_cast<std::size_t>(index));
}

}  // namespace pavix
