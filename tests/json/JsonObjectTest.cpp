#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "uJSON.h"

namespace pavix {
namespace {

std::unique_ptr<TJSONbase> Number(long double value) { return std::make_unique<TJSONnumber>(value); }

TEST(JsonObjectTest, RepeatedNamesAreKeptAndTheFirstWins) {
  TJSONobject object(false);
  object.AddField(u"a", Number(1));
  object.AddField(u"a", Number(2));
  EXPECT_EQ(object.ChildCount(), 2);
  EXPECT_EQ(object.IndexOfField(u"a", false), 0);
  EXPECT_EQ(object.FieldByName("a")->AsVariant(), Variant::FromDouble(1));
}

TEST(JsonObjectTest, MissingFieldRaisesWithItsName) {
  TJSONobject object(false);
  object.AddField(u"Model", Number(1));
  try {
    object.FieldByName("model");  // names are case-sensitive
    FAIL() << "no error for a missing field";
  } catch (const MissingFieldError& error) {
    EXPECT_STREQ(error.what(), "json field model not exists");
  }
  EXPECT_EQ(object.ChildCount(), 1);
  EXPECT_EQ(object.IndexOfField(u"model", false), -1);
  EXPECT_THROW(object.IndexOfField(u"MN", true), MissingFieldError);
}

TEST(JsonObjectTest, ChildAtGivesThePairAndFieldAtItsValue) {
  TJSONobject object(false);
  object.AddField(u"Port", 8212);
  TJSONbase* pair = object.ChildAt(0);
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(pair->KindName(), "jsBase");
  EXPECT_TRUE(pair->AsVariant().IsNull());
  EXPECT_EQ(JsonCast<TJSONobjectmethod>(pair)->Value(), object.FieldAt(0));
  EXPECT_EQ(object.FieldAt(0)->AsVariant(), Variant::FromDouble(8212.0));

  std::string name;
  EXPECT_EQ(object.ChildWithName(0, name), object.FieldAt(0));
  EXPECT_EQ(name, "Port");
}

TEST(JsonObjectTest, OutOfRangeIndexesGiveNothing) {
  TJSONobject object(false);
  object.AddField(u"a", Number(1));
  for (const int index : {-1, 1}) {
    EXPECT_EQ(object.NameAt(index), u"") << index;
    EXPECT_EQ(object.FieldAt(index), nullptr) << index;
    std::string name = "stale";
    EXPECT_EQ(object.ChildWithName(index, name), nullptr) << index;
    EXPECT_EQ(name, "") << index;
  }
}

TEST(JsonObjectTest, AddFieldRefusesNone) {
  TJSONobject object(false);
  object.AddField(u"a", Number(1));
  EXPECT_EQ(object.AddField(u"b", std::unique_ptr<TJSONbase>()), -1);
  EXPECT_EQ(object.ChildCount(), 1);
  EXPECT_EQ(object.AddField(u"b", Number(2)), 1);
}

TEST(JsonObjectTest, AddFieldWrapsTextAndIntegers) {
  TJSONobject object(false);
  object.AddField(u"QRType", std::string("PCPrinter"));
  object.AddField(u"Port", 2147483647);
  EXPECT_EQ(JsonCast<TJSONstring>(object.FieldAt(0))->Text(), u"PCPrinter");
  EXPECT_EQ(JsonCast<TJSONnumber>(object.FieldAt(1))->Value(), 2147483647.0L);
}

// {"n": -2.7, "s": "text", "b": true, "z": null, "l": []}
class JsonObjectReadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    object.AddField(u"n", Number(-2.7L));
    object.AddField(u"s", std::string("text"));
    object.AddField(u"b", std::make_unique<TJSONboolean>(true));
    object.AddField(u"z", std::make_unique<TJSONnull>());
    object.AddField(u"l", std::make_unique<TJSONlist>());
  }

  TJSONobject object{false};
};

TEST_F(JsonObjectReadsTest, TypedReadsLookAtTheFieldValue) {
  EXPECT_EQ(object.IntAt(0), -2);
  EXPECT_EQ(object.DoubleAt(0), -2.7);
  EXPECT_EQ(object.AnsiStringAt(1), "text");
  EXPECT_EQ(object.WideStringAt(1), u"text");
  EXPECT_TRUE(object.BoolAt(2));
  EXPECT_EQ(object.IntAt(5), 0);
}

TEST_F(JsonObjectReadsTest, AnsiStringAtIsEmptyForValuesWithoutScalar) {
  EXPECT_EQ(object.AnsiStringAt(3), "");
  EXPECT_EQ(object.AnsiStringAt(4), "");
  EXPECT_THROW(object.AnsiStringAt(0), InvalidCastError);
  EXPECT_THROW(object.WideStringAt(3), InvalidCastError);  // only AnsiStringAt spares nulls
  EXPECT_THROW(object.IntAt(1), InvalidCastError);
}

TEST(JsonObjectTest, ItemThatIsNoPairFailsTheFieldAccessors) {
  TJSONobject object(false);
  object.AppendChild(Number(1));
  EXPECT_THROW(object.NameAt(0), InvalidCastError);
  EXPECT_THROW(object.IndexOfField(u"a", false), InvalidCastError);
}

TEST(JsonObjectIndexTest, LookupsGoThroughTheNameIndex) {
  TJSONobject object(true);
  for (const char16_t* name : {u"QRType", u"Type", u"Model", u"Addr", u"Port", u"PESN"}) object.AddField(name, 0);
  EXPECT_EQ(object.IndexOfField(u"Model", false), 2);
  EXPECT_EQ(object.IndexOfField(u"PESN", false), 5);
  EXPECT_EQ(object.IndexOfField(u"model", false), -1);
  EXPECT_EQ(object.FieldByName("Port"), object.FieldAt(4));
}

TEST(JsonObjectIndexTest, NamesOfEqualHashShareOneEntry) {
  TJSONobject indexed(true);
  TJSONobject scanned(false);
  for (TJSONobject* object : {&indexed, &scanned}) {
    object->AddField(u"Aa", 1);
    object->AddField(u"BB", 2);
  }
  // The index holds hashes only: the second name overwrote the first's entry.
  EXPECT_EQ(indexed.IndexOfField(u"Aa", false), 1);
  EXPECT_EQ(scanned.IndexOfField(u"Aa", false), 0);
}

}  // namespace
}  // namespace pavix
