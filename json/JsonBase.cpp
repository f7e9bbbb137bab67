#include "JsonBase.h"

namespace pavix {

Variant TJSONbase::AsVariant() const { return Variant::Null(); }

void TJSONbase::AssignVariant(const Variant&) {}

TJSONbase* TJSONbase::ChildAt(int) const { return nullptr; }

void TJSONbase::ReplaceChildAt(int, std::unique_ptr<TJSONbase>) {}

int TJSONbase::ChildCount() const { return 0; }

JsonKind TJSONbase::KindCode() const { return kKindCode; }

std::string_view TJSONbase::KindName() const { return kKindName; }

}  // namespace pavix
