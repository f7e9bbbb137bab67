#include "RegistryFileFormat.h"

#include <utility>

#include "NameValueList.h"

namespace pavix::platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  void SkipBlankSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\r' || Peek() == '\n')) ++pos_;
  }

  std::string_view RestOfLine() {
    const std::size_t start = pos_;
    while (!AtEnd() && Peek() != '\n') ++pos_;
    std::string_view line = text_.substr(start, pos_ - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
  }

  // A quoted string starting at the current '"'; false when it never closes.
  bool QuotedString(std::string& out) {
    ++pos_;
    while (!AtEnd()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (c == '\\' && !AtEnd() && (Peek() == '\\' || Peek() == '"')) {
        out += text_[pos_++];
      } else {
        out += c;
      }
    }
    return false;
  }

  // Raw data after "=", joining lines that end in a backslash as regedit wraps hex data.
  std::string RawData() {
    std::string data;
    for (;;) {
      std::string_view line = RestOfLine();
      if (!line.ends_with('\\') || AtEnd()) {
        data.append(line);
        return data;
      }
      line.remove_suffix(1);
      data.append(line);
      ++pos_;
      while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++pos_;
    }
  }

  bool Consume(char c) {
    if (AtEnd() || Peek() != c) return false;
    ++pos_;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

RegistryFileKey* RegistryFile::FindKey(std::string_view path) {
  return const_cast<RegistryFileKey*>(std::as_const(*this).FindKey(path));
}

const RegistryFileKey* RegistryFile::FindKey(std::string_view path) const {
  for (const auto& key : keys) {
    if (SameTextIgnoringCase(key.path, path)) return &key;
  }
  return nullptr;
}

RegistryFileValue* RegistryFile::FindValue(RegistryFileKey& key, std::string_view name) {
  for (auto& value : key.values) {
    if (SameTextIgnoringCase(value.name, name)) return &value;
  }
  return nullptr;
}

const RegistryFileValue* RegistryFile::FindValue(const RegistryFileKey& key, std::string_view name) {
  return FindValue(const_cast<RegistryFileKey&>(key), name);
}

void RegistryFile::SetString(RegistryFileKey& key, std::string_view name, std::string_view data) {
  if (RegistryFileValue* value = FindValue(key, name)) {
    value->isString = true;
    value->data = data;
  } else {
    key.values.push_back({std::string(name), true, std::string(data)});
  }
}

RegistryFile ParseRegistryFile(std::string_view text) {
  RegistryFile file;
  RegistryFileKey* current = nullptr;
  Scanner scan(text);
  for (scan.SkipBlankSpace(); !scan.AtEnd(); scan.SkipBlankSpace()) {
    if (scan.Peek() == '[') {
      std::string_view line = scan.RestOfLine();
      const auto close = line.rfind(']');
      if (close == std::string_view::npos) {
        current = nullptr;
        continue;
      }
      const std::string path(line.substr(1, close - 1));
      current = file.FindKey(path);
      if (current == nullptr) current = &file.keys.emplace_back(RegistryFileKey{path, {}});
    } else if (scan.Peek() == '"' && current != nullptr) {
      RegistryFileValue value;
      if (!scan.QuotedString(value.name) || !scan.Consume('=')) {
        scan.RestOfLine();
        continue;
      }
      if (!scan.AtEnd() && scan.Peek() == '"') {
        value.isString = scan.QuotedString(value.data);
        scan.RestOfLine();
      } else {
        value.data = scan.RawData();
      }
      if (RegistryFileValue* existing = RegistryFile::FindValue(*current, value.name)) {
        *existing = std::move(value);  // the last one wins, as on import
      } else {
        current->values.push_back(std::move(value));
      }
    } else {
      scan.RestOfLine();  // the header, comments, or lines we do not understand
    }
  }
  return file;
}

std::string FormatRegistryFile(const RegistryFile& file) {
  std::string out(kHeader);
  out += "\n";
  for (const auto& key : file.keys) {
    out += "\n[" + key.path + "]\n";
    for (const auto& value : key.values) {
      AppendQuoted(out, value.name);
      out += '=';
      if (value.isString) {
        AppendQuoted(out, value.data);
      } else {
        out += value.data;
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace pavix::platform
