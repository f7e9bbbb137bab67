#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "JsonBase.h"

namespace pavix {

// A JSON number, kept in the widest float the compiler offers (80-bit on x86
// GCC and MinGW), so that integers up to 2^64 survive exactly.
class TJSONnumber : public TJSONbase {
 public:
  static constexpr JsonKind kKindCode = JsonKind::Number;
  static constexpr std::string_view kKindName = "jsNumber";

  TJSONnumber() = default;
  explicit TJSONnumber(long double value) : value_(value) {}

  // Trees hold numbers by the hundred thousand (every byte of a print job):
  // their memory is reused rather than taken from the heap one by one.
  static void* operator new(std::size_t size);
  static void operator delete(void* block, std::size_t size) noexcept;

  long double Value() const { return value_; }
  void SetValue(long double value) { value_ = value; }

  Variant AsVariant() const override;
  void AssignVariant(const Variant& v) override;
  JsonKind KindCode() const override;
  std::string_view KindName() const override;

 private:
  long double value_ = 0;
};

class TJSONstring : public TJSONbase {
 public:
  static constexpr JsonKind kKindCode = JsonKind::String;
  static constexpr std::string_view kKindName = "jsString";

  TJSONstring() = default;
  explicit TJSONstring(std::u16string text) : text_(std::move(text)) {}

  const std::u16string& Text() const { return text_; }
  void SetText(std::u16string text) { text_ = std::move(text); }

  Variant AsVariant() const override;
  void AssignVariant(const Variant& v) override;
  JsonKind KindCode() const override;
  std::string_view KindName() const override;

 private:
  std::u16string text_;
};

class TJSONboolean : public TJSONbase {
 public:
  static constexpr JsonKind kKindCode = JsonKind::Boolean;
  static constexpr std::string_view kKindName = "jsBoolean";

  TJSONboolean() = default;
  explicit TJSONboolean(bool flag) : flag_(flag) {}

  bool Flag() const { return flag_; }
  void SetFlag(bool flag) { flag_ = flag; }

  Variant AsVariant() const override;
  void AssignVariant(const Variant& v) override;
  JsonKind KindCode() const override;
  std::string_view KindName() const override;

 private:
  bool flag_ = false;
};

// Answers Null and ignores assignments.
class TJSONnull : public TJSONbase {
 public:
  static constexpr JsonKind kKindCode = JsonKind::Null;
  static constexpr std::string_view kKindName = "jsNull";

  JsonKind KindCode() const override;
  std::string_view KindName() const override;
};

}  // namespace pavix
