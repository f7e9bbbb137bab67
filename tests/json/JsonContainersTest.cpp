#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

#include "uJSON.h"

namespace pavix {
namespace {

// [1, "two", true, null, -2.7, []]
class JsonListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.AppendChild(std::make_unique<TJSONnumber>(1));
    list.AppendChild(std::make_unique<TJSONstring>(u"two"));
    list.AppendChild(std::make_unique<TJSONboolean>(true));
    list.AppendChild(std::make_unique<TJSONnull>());
    list.AppendChild(std::make_unique<TJSONnumber>(-2.7L));
    list.AppendChild(std::make_unique<TJSONlist>());
  }

  TJSONlist list;
};

TEST_F(JsonListTest, OutOfRangeIndexesGiveNothing) {
  for (const int index : {-1, list.ChildCount(), 1000}) {
    EXPECT_EQ(list.ChildAt(index), nullptr) << index;
    EXPECT_EQ(list.IntAt(index), 0) << index;
    EXPECT_EQ(list.AnsiStringAt(index), "") << index;
    EXPECT_EQ(list.WideStringAt(index), u"") << index;
    EXPECT_EQ(list.DoubleAt(index), 0.0) << index;
    EXPECT_FALSE(list.BoolAt(index)) << index;
    list.DeleteChild(index);
    list.ReplaceChildAt(index, std::make_unique<TJSONnull>());
    EXPECT_EQ(list.ChildCount(), 6) << index;
  }
}

TEST_F(JsonListTest, ChildWithNameNamesTheIndex) {
  std::string name;
  EXPECT_EQ(list.ChildWithName(2, name), list.ChildAt(2));
  EXPECT_EQ(name, "2");
  EXPECT_EQ(list.ChildWithName(-1, name), nullptr);
  EXPECT_EQ(name, "-1");
}

TEST_F(JsonListTest, TypedReadsTakeOnlyTheirOwnKind) {
  EXPECT_EQ(list.IntAt(0), 1);
  EXPECT_EQ(list.IntAt(4), -2);  // truncated toward zero
  EXPECT_EQ(list.DoubleAt(4), -2.7);
  EXPECT_EQ(list.WideStringAt(1), u"two");
  EXPECT_EQ(list.AnsiStringAt(1), "two");
  EXPECT_TRUE(list.BoolAt(2));

  const std::function<void()> wrongKind[] = {
      [&] { list.IntAt(1); },        [&] { list.DoubleAt(2); },     [&] { list.WideStringAt(0); },
      [&] { list.AnsiStringAt(3); }, [&] { list.BoolAt(0); },       [&] { list.IntAt(5); },
  };
  for (std::size_t i = 0; i < std::size(wrongKind); ++i) {
    EXPECT_THROW(wrongKind[i](), InvalidCastError) << "read " << i;
  }
}

TEST(JsonListIntAtTest, NumbersBeyond32BitsOverflow) {
  TJSONlist list;
  list.AppendChild(std::make_unique<TJSONnumber>(2147483647.9L));
  list.AppendChild(std::make_unique<TJSONnumber>(2147483648.0L));
  list.AppendChild(std::make_unique<TJSONnumber>(std::numeric_limits<long double>::quiet_NaN()));
  EXPECT_EQ(list.IntAt(0), 2147483647);
  EXPECT_THROW(list.IntAt(1), VariantOverflowError);
  EXPECT_THROW(list.IntAt(2), VariantOverflowError);
}

TEST_F(JsonListTest, AppendRefusesNoneAndReturnsTheNewIndex) {
  EXPECT_EQ(list.AppendChild(nullptr), -1);
  EXPECT_EQ(list.ChildCount(), 6);
  EXPECT_EQ(list.AppendChild(std::make_unique<TJSONnull>()), 6);
}

TEST_F(JsonListTest, DeleteMovesLaterItemsDown) {
  TJSONbase* third = list.ChildAt(2);
  list.DeleteChild(1);
  EXPECT_EQ(list.ChildCount(), 5);
  EXPECT_EQ(list.ChildAt(1), third);
  EXPECT_EQ(list.IndexOfChild(third), 1);
}

TEST_F(JsonListTest, ReplaceStoresInPlace) {
  auto replacement = std::make_unique<TJSONstring>(u"new");
  TJSONbase* stored = replacement.get();
  list.ReplaceChildAt(0, std::move(replacement));
  EXPECT_EQ(list.ChildAt(0), stored);
  EXPECT_EQ(list.ChildCount(), 6);
}

TEST_F(JsonListTest, IndexOfChildFindsThatVeryObject) {
  TJSONnumber equalButOther(1);
  EXPECT_EQ(list.IndexOfChild(list.ChildAt(3)), 3);
  EXPECT_EQ(list.IndexOfChild(&equalButOther), -1);
}

TEST_F(JsonListTest, ContainersHaveNoScalar) {
  EXPECT_TRUE(list.AsVariant().IsNull());
  EXPECT_TRUE(TJSONobject(false).AsVariant().IsNull());
}

}  // namespace
}  // namespace pavix
