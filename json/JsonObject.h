#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "JsonContainers.h"
#include "JsonHashTable.h"

namespace pavix {

// One field of an object: a name and the value it owns.
class TJSONobjectmethod : public TJSONbase {
 public:
  TJSONobjectmethod() = default;
  TJSONobjectmethod(std::u16string name, std::unique_ptr<TJSONbase> value);

  const std::u16string& Name() const { return name_; }
  void SetName(std::u16string name) { name_ = std::move(name); }
  TJSONbase* Value() const { return value_.get(); }  // borrowed
  // The previous value dies.
  void SetValue(std::unique_ptr<TJSONbase> value) { value_ = std::move(value); }

 private:
  std::unique_ptr<TJSONbase> value_;
  std::u16string name_;
};

// A JSON object: its items are TJSONobjectmethod pairs in insertion order;
// repeated names are kept, and lookups by name find the first. Accessors
// that see an item that is not a pair (put there through the list operations)
// raise InvalidCastError.
//
// With useIndex, AddField records names in the name index and IndexOfField
// asks it instead of scanning. The index knows hashes only, keeps the last of
// repeated names and is not updated by DeleteChild or ReplaceChildAt.
class TJSONobject : public TJSONcustomlist {
 public:
  static constexpr JsonKind kKindCode = JsonKind::Object;
  static constexpr std::string_view kKindName = "jsObject";

  explicit TJSONobject(bool useIndex);
  ~TJSONobject() override;

  JsonKind KindCode() const override;
  std::string_view KindName() const override;

  // The field's value, named with NameAt in the system code page.
  TJSONbase* ChildWithName(int index, std::string& name) const override;
  // Typed reads of FieldAt(index); AnsiStringAt also gives "" for a field
  // whose value has no scalar (null, list, object).
  std::int32_t IntAt(int index) const override;
  std::string AnsiStringAt(int index) const override;
  std::u16string WideStringAt(int index) const override;
  double DoubleAt(int index) const override;
  bool BoolAt(int index) const override;

  // Appends a field and returns its index; none is refused with -1.
  int AddField(std::u16string_view name, std::unique_ptr<TJSONbase> value);
  // A string field from text in the system code page.
  int AddField(std::u16string_view name, const std::string& textInSystemCodePage);
  int AddField(std::u16string_view name, int value);

  // Index of the first field of that name (exact code units), or -1; with
  // raiseIfMissing a missing field raises MissingFieldError instead.
  int IndexOfField(std::u16string_view name, bool raiseIfMissing) const;
  // The value of the first field of that name; raises MissingFieldError
  // when there is none.
  TJSONbase* FieldByName(const std::string& nameInSystemCodePage) const;
  std::u16string NameAt(int index) const;  // "" out of range
  TJSONbase* FieldAt(int index) const;     // none out of range

  bool UseIndex() const { return useIndex_; }

 private:
  // The pair at index, none out of range.
  TJSONobjectmethod* PairAt(int index) const;

  bool useIndex_;
  TJSONHashTable nameIndex_;
};

}  // namespace pavix
