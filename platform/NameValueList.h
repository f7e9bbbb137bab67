#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pavix {

// An ordered list of "name=value" lines: the exchange form of the settings,
// the dialogs and a request's parameters. The name is the text before the
// first "="; lookups ignore letter case (ASCII) and the first match wins.
class NameValueList {
 public:
  NameValueList() = default;
  explicit NameValueList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  void Add(std::string_view name, std::string_view value);
  void AddLine(std::string line) { lines_.push_back(std::move(line)); }

  std::size_t Count() const { return lines_.size(); }
  const std::string& LineAt(std::size_t index) const { return lines_.at(index); }
  const std::vector<std::string>& Lines() const { return lines_; }

  std::string NameAt(std::size_t index) const;
  std::string ValueAt(std::size_t index) const;
  // Position of the first line named `name`, or -1.
  int IndexOfName(std::string_view name) const;
  // The value of the first line named `name`; "" when there is none.
  std::string Value(std::string_view name) const;

 private:
  std::vector<std::string> lines_;
};

// ASCII case-insensitive equality, as the registry and the spooler compare names.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace pavix
