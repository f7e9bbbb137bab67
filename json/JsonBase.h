#pragma once

#include <memory>
#include <string_view>

#include "Variant.h"

namespace pavix {

// Kind codes of the value classes. Containers and pairs that are not a
// concrete JSON kind answer Base.
enum class JsonKind : int { Base = 0, Number = 1, String = 2, Boolean = 3, Null = 4, List = 5, Object = 6 };

// Root of the value tree. Every class publishes its kind as kKindCode and
// kKindName, usable without an instance, and answers the same through the
// virtual KindCode / KindName.
//
// Trees are owned top-down through std::unique_ptr; the raw pointers that
// lookups return are borrowed and valid until their container changes or dies.
// Constness is shallow, as with the owning pointers: a const container still
// hands out its children for change.
class TJSONbase {
 public:
  static constexpr JsonKind kKindCode = JsonKind::Base;
  static constexpr std::string_view kKindName = "jsBase";

  TJSONbase() = default;
  virtual ~TJSONbase() = default;
  TJSONbase(const TJSONbase&) = delete;
  TJSONbase& operator=(const TJSONbase&) = delete;

  // The value as a scalar; Null for everything that is not a number, text or boolean.
  virtual Variant AsVariant() const;
  // Stores v converted to the value's own form; on failure the value keeps its
  // content. Classes without a scalar ignore v.
  virtual void AssignVariant(const Variant& v);
  virtual TJSONbase* ChildAt(int index) const;
  // Containers store value at index in place of the old item, which dies. A
  // value that is not stored (index out of range, not a container) dies too.
  virtual void ReplaceChildAt(int index, std::unique_ptr<TJSONbase> value);
  virtual int ChildCount() const;
  virtual JsonKind KindCode() const;
  virtual std::string_view KindName() const;
};

}  // namespace pavix
