#include "NameValueList.h"

#include <gtest/gtest.h>

namespace pavix {
namespace {

TEST(NameValueList, LooksUpByNameIgnoringCaseFirstLineWins) {
  const NameValueList list({"PrinterType=1", "printername=HP", "no separator", "Addr=a=b", "PRINTERTYPE=2", "Empty="});
  struct Case {
    const char* name;
    const char* value;
    int index;
  };
  for (const Case& c : {Case{"PrinterType", "1", 0}, Case{"PrinterName", "HP", 1}, Case{"addr", "a=b", 3},
                        Case{"Empty", "", 5}, Case{"no separator", "", -1}, Case{"Missing", "", -1}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(list.Value(c.name), c.value);
    EXPECT_EQ(list.IndexOfName(c.name), c.index);
  }
  EXPECT_EQ(list.NameAt(2), "");
  EXPECT_EQ(list.ValueAt(3), "a=b");
}

TEST(NameValueList, AddJoinsNameAndValue) {
  NameValueList list;
  list.Add("LocalAddr", "192.168.1.5");
  list.Add("Note", "x=y");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"LocalAddr=192.168.1.5", "Note=x=y"}));
  EXPECT_EQ(list.Value("note"), "x=y");
}

}  // namespace
}  // namespace pavix
