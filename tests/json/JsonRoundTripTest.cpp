#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "DecimalToFloat.h"
#include "JsonTreeShape.h"
#include "uJSON.h"

namespace pavix {
namespace {

// Random trees from a fixed seed. std::mt19937's output is fixed by the
// standard; the distributions are not, so only its raw output is used.
class TreeMaker {
 public:
  explicit TreeMaker(std::uint32_t seed) : random_(seed) {}

  std::unique_ptr<TJSONbase> Make(int depth) {
    switch (Below(depth > 0 ? 7 : 5)) {
      case 0: return std::make_unique<TJSONnull>();
      case 1: return std::make_unique<TJSONboolean>(Below(2) == 1);
      case 2: return std::make_unique<TJSONnumber>(Number());
      case 3:
      case 4: return std::make_unique<TJSONstring>(Text());
      case 5: {
        auto list = std::make_unique<TJSONlist>();
        for (unsigned i = Below(6); i > 0; --i) list->AppendChild(Make(depth - 1));
        return list;
      }
      default: {
        auto object = std::make_unique<TJSONobject>(false);
        for (unsigned i = Below(6); i > 0; --i) object->AddField(Text(), Make(depth - 1));
        return object;
      }
    }
  }

 private:
  unsigned Below(unsigned n) { return static_cast<unsigned>(random_() % n); }

  // Up to 15 significant digits, which the writer keeps exactly, across the
  // fixed and the exponent forms.
  long double Number() {
    std::string literal = Below(2) == 1 ? "-" : "";
    literal += std::to_string(1 + Below(9));
    for (unsigned i = Below(15); i > 0; --i) literal += std::to_string(Below(10));
    literal += "e" + std::to_string(static_cast<int>(Below(61)) - 30);
    return *DecimalToLongDouble(literal);
  }

  // Code units that every escape rule and UTF-8 length meets, lone surrogates
  // included. Never the start of a date string, which the reader replaces.
  std::u16string Text() {
    static constexpr char16_t kUnits[] = {u'a', u'Z', u'0', u' ', u'"', u'\\', u'/', 0x00, 0x01, 0x08, 0x09, 0x0A,
                                          0x0C, 0x0D, 0x1F, 0x7F, 0xE9,  0x7FF, 0x800, 0x6253, 0xD83D, 0xDE00, 0xFFFD, 0xFFFF};
    std::u16string text;
    for (unsigned i = Below(12); i > 0; --i) text += kUnits[Below(sizeof kUnits / sizeof kUnits[0])];
    return text;
  }

  std::mt19937 random_;
};

TEST(JsonRoundTripTest, WrittenTreesReadBackAsTheSameTree) {
  TreeMaker maker(20240607);
  std::size_t bytes = 0;
  for (int i = 0; i < 3000; ++i) {
    const auto tree = maker.Make(5);
    const std::string text = TJSON::JsonToText(tree.get(), true);
    const auto read = TJSON::JsonFromText(text, true);
    ASSERT_EQ(test::Shape(read.get()), test::Shape(tree.get())) << "text: " << text;
    ASSERT_EQ(TJSON::JsonToText(read.get(), true), text);
    bytes += text.size();
  }
  EXPECT_GT(bytes, 100000u);  // the corpus is not trivially small
}

}  // namespace
}  // namespace pavix
