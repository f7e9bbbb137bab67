#include "JsonContainers.h"

#include <cmath>

#include "CodePage.h"
#include "JsonCast.h"
#include "JsonScalars.h"

namespace pavix {

TJSONcustomlist::~TJSONcustomlist() { ClearItems(); }

void TJSONcustomlist::ClearItems() {
  // std::vector gives no order of destruction; the last item must die first.
  while (!items_.empty()) items_.pop_back();
}

bool TJSONcustomlist::InRange(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < items_.size();
}

TJSONbase* TJSONcustomlist::ChildAt(int index) const {
  return InRange(index) ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

void TJSONcustomlist::ReplaceChildAt(int index, std::unique_ptr<TJSONbase> value) {
  if (InRange(index)) items_[static_cast<std::size_t>(index)] = std::move(value);
}

int TJSONcustomlist::ChildCount() const { return static_cast<int>(items_.size()); }

TJSONbase* TJSONcustomlist::ChildWithName(int index, std::string& name) const {
  name = std::to_string(index);
  return ChildAt(index);
}

int TJSONcustomlist::AppendChild(std::unique_ptr<TJSONbase> value) {
  if (!value) return -1;
  items_.push_back(std::move(value));
  return ChildCount() - 1;
}

void TJSONcustomlist::AppendChildren(std::vector<std::unique_ptr<TJSONbase>>& from, std::size_t first) {
  if (first >= from.size()) return;
  items_.reserve(items_.size() + (from.size() - first));
  for (std::size_t i = first; i < from.size(); ++i) {
    if (from[i]) items_.push_back(std::move(from[i]));
  }
  from.resize(first);
}

void TJSONcustomlist::DeleteChild(int index) {
  if (InRange(index)) items_.erase(items_.begin() + index);
}

int TJSONcustomlist::IndexOfChild(const TJSONbase* value) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == value) return static_cast<int>(i);
  }
  return -1;
}

std::int32_t TJSONcustomlist::IntAt(int index) const { return IntOf(ChildAt(index)); }
std::string TJSONcustomlist::AnsiStringAt(int index) const { return AnsiStringOf(ChildAt(index)); }
std::u16string TJSONcustomlist::WideStringAt(int index) const { return WideStringOf(ChildAt(index)); }
double TJSONcustomlist::DoubleAt(int index) const { return DoubleOf(ChildAt(index)); }
bool TJSONcustomlist::BoolAt(int index) const { return BoolOf(ChildAt(index)); }

std::int32_t TJSONcustomlist::IntOf(TJSONbase* child) {
  const auto* number = JsonCast<TJSONnumber>(child);
  if (number == nullptr) return 0;
  const long double truncated = std::trunc(number->Value());
  // Beyond 32 bits the conversion would be undefined; NaN fails both tests.
  if (!(truncated >= -2147483648.0L && truncated <= 2147483647.0L)) {
    throw VariantOverflowError(VariantTypeName(Variant::Type::Double), "Integer");
  }
  return static_cast<std::int32_t>(truncated);
}

std::string TJSONcustomlist::AnsiStringOf(TJSONbase* child) {
  const auto* text = JsonCast<TJSONstring>(child);
  return text == nullptr ? std::string() : platform::Utf16ToSystem(text->Text());
}

std::u16string TJSONcustomlist::WideStringOf(TJSONbase* child) {
  const auto* text = JsonCast<TJSONstring>(child);
  return text == nullptr ? std::u16string() : text->Text();
}

double TJSONcustomlist::DoubleOf(TJSONbase* child) {
  const auto* number = JsonCast<TJSONnumber>(child);
  return number == nullptr ? 0.0 : static_cast<double>(number->Value());
}

bool TJSONcustomlist::BoolOf(TJSONbase* child) {
  const auto* flag = JsonCast<TJSONboolean>(child);
  return flag != nullptr && flag->Flag();
}

JsonKind TJSONlist::KindCode() const { return kKindCode; }

std::string_view TJSONlist::KindName() const { return kKindName; }

}  // namespace pavix
