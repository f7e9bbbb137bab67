#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "uJSON.h"

namespace pavix {
namespace {

struct KindCase {
  std::function<std::unique_ptr<TJSONbase>()> make;
  JsonKind classCode;  // the class's constant, read without an instance
  std::string_view className;
  int code;
  const char* name;
};

template <class T>
KindCase KindOf(int code, const char* name) {
  return {[] { return std::make_unique<T>(); }, T::kKindCode, T::kKindName, code, name};
}

TEST(JsonKindTest, EveryClassAnswersItsKindWithAndWithoutAnInstance) {
  const KindCase cases[] = {
      KindOf<TJSONbase>(0, "jsBase"),
      KindOf<TJSONnumber>(1, "jsNumber"),
      KindOf<TJSONstring>(2, "jsString"),
      KindOf<TJSONboolean>(3, "jsBoolean"),
      KindOf<TJSONnull>(4, "jsNull"),
      KindOf<TJSONcustomlist>(0, "jsBase"),
      KindOf<TJSONlist>(5, "jsList"),
      {[] { return std::make_unique<TJSONobject>(false); }, TJSONobject::kKindCode, TJSONobject::kKindName, 6,
       "jsObject"},
      KindOf<TJSONobjectmethod>(0, "jsBase"),
  };
  for (const auto& c : cases) {
    const auto value = c.make();
    EXPECT_EQ(static_cast<int>(c.classCode), c.code) << c.name;
    EXPECT_EQ(c.className, c.name);
    EXPECT_EQ(static_cast<int>(value->KindCode()), c.code) << c.name;
    EXPECT_EQ(value->KindName(), c.name);
  }
}

TEST(JsonScalarsTest, AsVariantGivesTheScalarForm) {
  EXPECT_EQ(TJSONnumber(8212).AsVariant(), Variant::FromDouble(8212.0));
  EXPECT_EQ(TJSONnumber(-2.5L).AsVariant(), Variant::FromDouble(-2.5));
  EXPECT_EQ(TJSONstring(u"\u6253\u5370").AsVariant(), Variant::FromText(u"\u6253\u5370"));
  EXPECT_EQ(TJSONboolean(true).AsVariant(), Variant::FromBoolean(true));
  EXPECT_EQ(TJSONboolean().AsVariant(), Variant::FromBoolean(false));
  EXPECT_TRUE(TJSONnull().AsVariant().IsNull());
  EXPECT_TRUE(TJSONbase().AsVariant().IsNull());
}

TEST(JsonScalarsTest, AssignVariantConvertsToTheValuesOwnForm) {
  TJSONnumber number;
  number.AssignVariant(Variant::FromText(u"65.5"));
  EXPECT_EQ(number.Value(), 65.5L);

  TJSONstring text;
  text.AssignVariant(Variant::FromDouble(8212));
  EXPECT_EQ(text.Text(), u"8212");

  TJSONboolean flag;
  flag.AssignVariant(Variant::FromText(u"true"));
  EXPECT_TRUE(flag.Flag());

  TJSONnull null;
  null.AssignVariant(Variant::FromDouble(1));  // nothing to store
  EXPECT_TRUE(null.AsVariant().IsNull());
}

TEST(JsonScalarsTest, FailedAssignmentKeepsTheOldContent) {
  TJSONnumber number(7);
  EXPECT_THROW(number.AssignVariant(Variant::FromText(u"abc")), VariantConversionError);
  EXPECT_EQ(number.Value(), 7.0L);

  TJSONstring text(u"kept");
  EXPECT_THROW(text.AssignVariant(Variant::Null()), VariantConversionError);
  EXPECT_EQ(text.Text(), u"kept");

  TJSONboolean flag(true);
  EXPECT_THROW(flag.AssignVariant(Variant::Null()), VariantConversionError);
  EXPECT_TRUE(flag.Flag());
}

TEST(JsonScalarsTest, ScalarsHaveNoChildren) {
  TJSONnumber number(1);
  TJSONstring text(u"abc");
  EXPECT_EQ(number.ChildAt(0), nullptr);
  EXPECT_EQ(text.ChildCount(), 0);
}

TEST(JsonCastTest, ViewsAValueAsItsClassOrABaseOfIt) {
  TJSONobject object(false);
  TJSONbase* value = &object;
  EXPECT_EQ(JsonCast<TJSONobject>(value), &object);
  EXPECT_EQ(JsonCast<TJSONcustomlist>(value), &object);
  const TJSONbase* constValue = &object;
  EXPECT_EQ(JsonCast<TJSONobject>(constValue), &object);
  EXPECT_EQ(JsonCast<TJSONlist>(static_cast<TJSONbase*>(nullptr)), nullptr);
}

TEST(JsonCastTest, ValueOfAnotherClassRaisesInvalidCast) {
  TJSONobject object(false);
  TJSONnumber number(1);
  try {
    JsonCast<TJSONlist>(&object);
    FAIL() << "an object was viewed as a list";
  } catch (const InvalidCastError& error) {
    EXPECT_STREQ(error.what(), "Invalid class typecast");
  }
  EXPECT_THROW(JsonCast<TJSONstring>(&number), InvalidCastError);
  EXPECT_THROW(JsonCast<TJSONobject>(static_cast<TJSONbase*>(&number)), Exception);
}

}  // namespace
}  // namespace pavix
