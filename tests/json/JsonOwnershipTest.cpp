#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "uJSON.h"

namespace pavix {
namespace {

using Log = std::vector<std::string>;

// A value class that notes its label in the log when it is destroyed.
template <class T>
class Recorded : public T {
 public:
  template <class... Args>
  Recorded(Log& log, std::string label, Args&&... args)
      : T(std::forward<Args>(args)...), log_(log), label_(std::move(label)) {}
  ~Recorded() override { log_.push_back(label_); }

 private:
  Log& log_;
  std::string label_;
};

template <class T, class... Args>
std::unique_ptr<T> Make(Log& log, std::string label, Args&&... args) {
  return std::make_unique<Recorded<T>>(log, std::move(label), std::forward<Args>(args)...);
}

// {"list": [1, 2, {"x": null}]}, every value and pair recorded.
TEST(JsonOwnershipTest, DestroyingTheRootDestroysTheWholeTreeLastItemFirst) {
  Log log;
  {
    auto inner = Make<TJSONobject>(log, "inner object", false);
    inner->AppendChild(Make<TJSONobjectmethod>(log, "pair x", u"x", Make<TJSONnull>(log, "null")));
    auto list = Make<TJSONlist>(log, "list");
    list->AppendChild(Make<TJSONnumber>(log, "number 1", 1.0L));
    list->AppendChild(Make<TJSONnumber>(log, "number 2", 2.0L));
    list->AppendChild(std::move(inner));
    auto root = Make<TJSONobject>(log, "root", false);
    root->AppendChild(Make<TJSONobjectmethod>(log, "pair list", u"list", std::move(list)));
    ASSERT_EQ(JsonCast<TJSONlist>(root->FieldByName("list"))->IntAt(1), 2);
    ASSERT_TRUE(log.empty());
  }
  // Each value notes itself before its children go.
  const Log expected = {"root", "pair list", "list", "inner object", "pair x", "null", "number 2", "number 1"};
  EXPECT_EQ(log, expected);
}

TEST(JsonOwnershipTest, ReplaceAndDeleteDestroyExactlyTheirItem) {
  Log log;
  {
    TJSONlist list;
    list.AppendChild(Make<TJSONnull>(log, "a"));
    list.AppendChild(Make<TJSONnull>(log, "b"));
    list.AppendChild(Make<TJSONnull>(log, "c"));

    list.ReplaceChildAt(1, Make<TJSONnull>(log, "b2"));
    EXPECT_EQ(log, Log{"b"});
    list.DeleteChild(0);
    EXPECT_EQ(log, (Log{"b", "a"}));
    // A value the list cannot place is not kept.
    list.ReplaceChildAt(5, Make<TJSONnull>(log, "refused"));
    EXPECT_EQ(log, (Log{"b", "a", "refused"}));
    EXPECT_EQ(list.ChildCount(), 2);
  }
  EXPECT_EQ(log, (Log{"b", "a", "refused", "c", "b2"}));
}

TEST(JsonOwnershipTest, PairOwnsItsValue) {
  Log log;
  TJSONobjectmethod pair(u"n", Make<TJSONnumber>(log, "old", 1.0L));
  pair.SetValue(Make<TJSONnumber>(log, "new", 2.0L));
  EXPECT_EQ(log, Log{"old"});
}

}  // namespace
}  // namespace pavix
