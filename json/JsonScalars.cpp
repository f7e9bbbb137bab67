#include "JsonScalars.h"

#include <new>

#include "ValueBlocks.h"

namespace pavix {

static_assert(alignof(TJSONnumber) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

// Subclasses may be larger than a block: they use the heap.
void* TJSONnumber::operator new(std::size_t size) {
  return size <= value_blocks::kBlockSize ? value_blocks::Allocate() : ::operator new(size);
}

void TJSONnumber::operator delete(void* block, std::size_t size) noexcept {
  if (size <= value_blocks::kBlockSize) {
    value_blocks::Release(block);
  } else {
    ::operator delete(block);
  }
}

Variant TJSONnumber::AsVariant() const { return Variant::FromDouble(static_cast<double>(value_)); }

void TJSONnumber::AssignVariant(const Variant& v) { value_ = v.ToDouble(); }

JsonKind TJSONnumber::KindCode() const { return kKindCode; }

std::string_view TJSONnumber::KindName() const { return kKindName; }

Variant TJSONstring::AsVariant() const { return Variant::FromText(text_); }

void TJSONstring::AssignVariant(const Variant& v) { text_ = v.ToText(); }

JsonKind TJSONstring::KindCode() const { return kKindCode; }

std::string_view TJSONstring::KindName() const { return kKindName; }

Variant TJSONboolean::AsVariant() const { return Variant::FromBoolean(flag_); }

void TJSONboolean::AssignVariant(const Variant& v) { flag_ = v.ToBoolean(); }

JsonKind TJSONboolean::KindCode() const { return kKindCode; }

std::string_view TJSONboolean::KindName() const { return kKindName; }

JsonKind TJSONnull::KindCode() const { return kKindCode; }

std::string_view TJSONnull::KindName() const { return kKindName; }

}  // namespace pavix
