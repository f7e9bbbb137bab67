#include "JsonObject.h"

#include "CodePage.h"
#include "JsonCast.h"
#include "JsonScalars.h"

namespace pavix {

TJSONobjectmethod::TJSONobjectmethod(std::u16string name, std::unique_ptr<TJSONbase> value)
    : value_(std::move(value)), name_(std::move(name)) {}

TJSONobject::TJSONobject(bool useIndex) : useIndex_(useIndex) {}

// The fields die before the name index; left to the base destructor they
// would outlive it.
TJSONobject::~TJSONobject() { ClearItems(); }

JsonKind TJSONobject::KindCode() const { return kKindCode; }

std::string_view TJSONobject::KindName() const { return kKindName; }

TJSONobjectmethod* TJSONobject::PairAt(int index) const { return JsonCast<TJSONobjectmethod>(ChildAt(index)); }

TJSONbase* TJSONobject::ChildWithName(int index, std::string& name) const {
  name = platform::Utf16ToSystem(NameAt(index));
  return FieldAt(index);
}

std::int32_t TJSONobject::IntAt(int index) const { return IntOf(FieldAt(index)); }

std::string TJSONobject::AnsiStringAt(int index) const {
  TJSONbase* field = FieldAt(index);
  if (field != nullptr && field->AsVariant().IsNull()) return std::string();
  return AnsiStringOf(field);
}

std::u16string TJSONobject::WideStringAt(int index) const { return WideStringOf(FieldAt(index)); }

double TJSONobject::DoubleAt(int index) const { return DoubleOf(FieldAt(index)); }

bool TJSONobject::BoolAt(int index) const { return BoolOf(FieldAt(index)); }

int TJSONobject::AddField(std::u16string_view name, std::unique_ptr<TJSONbase> value) {
  if (!value) return -1;
  const int index = AppendChild(std::make_unique<TJSONobjectmethod>(std::u16string(name), std::move(value)));
  if (useIndex_) nameIndex_.StoreName(name, index);
  return index;
}

int TJSONobject::AddField(std::u16string_view name, const std::string& textInSystemCodePage) {
  return AddField(name, std::make_unique<TJSONstring>(platform::SystemToUtf16(textInSystemCodePage)));
}

int TJSONobject::AddField(std::u16string_view name, int value) {
  return AddField(name, std::make_unique<TJSONnumber>(static_cast<long double>(value)));
}

int TJSONobject::IndexOfField(std::u16string_view name, bool raiseIfMissing) const {
  int found = -1;
  if (useIndex_) {
    found = nameIndex_.FindName(name);
  } else {
    for (int i = 0; i < ChildCount() && found < 0; ++i) {
      const TJSONobjectmethod* pair = PairAt(i);
      if (pair != nullptr && pair->Name() == name) found = i;
    }
  }
  if (found < 0 && raiseIfMissing) throw MissingFieldError(platform::Utf16ToSystem(name));
  return found;
}

TJSONbase* TJSONobject::FieldByName(const std::string& nameInSystemCodePage) const {
  return FieldAt(IndexOfField(platform::SystemToUtf16(nameInSystemCodePage), true));
}

std::u16string TJSONobject::NameAt(int index) const {
  const TJSONobjectmethod* pair = PairAt(index);
  return pair == nullptr ? std::u16string() : pair->Name();
}

TJSONbase* TJSONobject::FieldAt(int index) const {
  const TJSONobjectmethod* pair = PairAt(index);
  return pair == nullptr ? nullptr : pair->Value();
}

}  // namespace pavix
