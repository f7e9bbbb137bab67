#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "JsonBase.h"

namespace pavix {

// Ordered owner of child values, the common part of lists and objects. Out of
// range indexes never fail: reads give none, "", 0 or false, changes do nothing.
// An item may be none when ReplaceChildAt stored none.
class TJSONcustomlist : public TJSONbase {
 public:
  TJSONcustomlist() = default;
  ~TJSONcustomlist() override;

  TJSONbase* ChildAt(int index) const override;
  void ReplaceChildAt(int index, std::unique_ptr<TJSONbase> value) override;
  int ChildCount() const override;

  // The child at index and its name: here the index in decimal.
  virtual TJSONbase* ChildWithName(int index, std::string& name) const;
  // Takes value and returns its index; none is refused with -1.
  virtual int AppendChild(std::unique_ptr<TJSONbase> value);
  // Takes from[first...] in order, leaving `from` that much shorter: the
  // reader gathers a list's items first and stores them with one allocation.
  // None is left out.
  void AppendChildren(std::vector<std::unique_ptr<TJSONbase>>& from, std::size_t first);
  // Destroys the item; later items move down by one.
  virtual void DeleteChild(int index);
  // Position of that very object, or -1.
  virtual int IndexOfChild(const TJSONbase* value) const;

  // Typed reads of a child: no conversion between kinds, so a child of another
  // class raises InvalidCastError; a missing child gives the empty value.
  // IntAt truncates toward zero and raises VariantOverflowError beyond 32 bits.
  virtual std::int32_t IntAt(int index) const;
  virtual std::string AnsiStringAt(int index) const;  // system code page
  virtual std::u16string WideStringAt(int index) const;
  virtual double DoubleAt(int index) const;
  virtual bool BoolAt(int index) const;

 protected:
  // Destroys the items from the last to the first. A subclass whose own
  // members must outlive the items calls this in its destructor.
  void ClearItems();
  bool InRange(int index) const;

  static std::int32_t IntOf(TJSONbase* child);
  static std::string AnsiStringOf(TJSONbase* child);
  static std::u16string WideStringOf(TJSONbase* child);
  static double DoubleOf(TJSONbase* child);
  static bool BoolOf(TJSONbase* child);

 private:
  std::vector<std::unique_ptr<TJSONbase>> items_;
};

// A JSON array.
class TJSONlist : public TJSONcustomlist {
 public:
  static constexpr JsonKind kKindCode = JsonKind::List;
  static constexpr std::string_view kKindName = "jsList";

  JsonKind KindCode() const override;
  std::string_view KindName() const override;
};

}  // namespace pavix
