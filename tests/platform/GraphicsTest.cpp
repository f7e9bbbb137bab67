// The portable drawing back-end: the in-memory bitmap and its font, turning
// and mirroring, and the recorded metafile.
#include <gtest/gtest.h>

#include <vector>

#include "BitmapTransform.h"
#include "MemoryBitmap.h"
#include "RecordedMetafile.h"

namespace pavix::platform {
namespace {

constexpr TColor kRed = RgbColor(255, 0, 0);
constexpr TColor kBlue = RgbColor(0, 0, 255);

std::vector<std::uint32_t> Pixels(const IBitmap& bitmap) { return {bitmap.Pixels().begin(), bitmap.Pixels().end()}; }

std::uint32_t At(const IBitmap& bitmap, std::int32_t x, std::int32_t y) {
  return bitmap.Pixels()[static_cast<std::size_t>(y * bitmap.Width() + x)];
}

TEST(MemoryBitmap, PixelsAreStoredAsDeviceIndependentBitmapsHoldThem) {
  EXPECT_EQ(PixelOf(RgbColor(0x12, 0x34, 0x56)), 0x00123456u);
  TMemoryBitmap bitmap(2, 1, {});
  bitmap.FillRect({1, 0, 2, 1}, RgbColor(0x12, 0x34, 0x56));
  EXPECT_EQ(Pixels(bitmap), (std::vector<std::uint32_t>{0xFFFFFF, 0x123456}));
}

TEST(MemoryBitmap, FillIsClippedToTheBitmap) {
  struct Case {
    TRect rect;
    std::vector<std::uint32_t> pixels;  // 3 × 2, W white, R red
  };
  constexpr std::uint32_t W = PixelOf(kWhite);
  constexpr std::uint32_t R = PixelOf(kRed);
  const Case cases[] = {
      {{1, 0, 2, 1}, {W, R, W, W, W, W}},
      {{-5, -5, 1, 10}, {R, W, W, R, W, W}},
      {{2, 1, 100, 100}, {W, W, W, W, W, R}},
      {{2, 0, 1, 2}, {W, W, W, W, W, W}},     // right of left: nothing
      {{10, 10, 20, 20}, {W, W, W, W, W, W}},  // wholly outside
  };
  for (const Case& c : cases) {
    TMemoryBitmap bitmap(3, 2, {});
    bitmap.FillRect(c.rect, kRed);
    EXPECT_EQ(Pixels(bitmap), c.pixels) << c.rect.left << "," << c.rect.top;
  }
}

TEST(MemoryBitmap, ResizingKeepsTheSharedPixels) {
  TMemoryBitmap bitmap(3, 2, {});
  bitmap.FillRect({0, 0, 3, 2}, kRed);
  bitmap.SetSize(2, 3);
  constexpr std::uint32_t W = PixelOf(kWhite);
  constexpr std::uint32_t R = PixelOf(kRed);
  EXPECT_EQ(Pixels(bitmap), (std::vector<std::uint32_t>{R, R, R, R, W, W}));
  bitmap.SetSize(0, 0);
  EXPECT_TRUE(bitmap.Pixels().empty());
}

TEST(MemoryBitmap, TextOnAnOpaqueBoxOfItsExtent) {
  const TFont font{"Builtin", 8, false, false, false, kBlue};
  TMemoryBitmap bitmap(40, 20, font);
  EXPECT_EQ(bitmap.TextExtent(""), (TSize{0, 0}));
  const TSize extent = bitmap.TextExtent("Hi");
  EXPECT_EQ(extent, (TSize{12, 8}));
  bitmap.TextOut(3, 4, "Hi", kRed);
  std::int32_t ink = 0;
  for (std::int32_t y = 0; y < 20; ++y) {
    for (std::int32_t x = 0; x < 40; ++x) {
      const bool inside = x >= 3 && x < 15 && y >= 4 && y < 12;
      const std::uint32_t pixel = At(bitmap, x, y);
      if (!inside) {
        ASSERT_EQ(pixel, PixelOf(kWhite)) << x << "," << y;
      } else {
        ASSERT_TRUE(pixel == PixelOf(kRed) || pixel == PixelOf(kBlue)) << x << "," << y;
        ink += pixel == PixelOf(kBlue);
      }
    }
  }
  EXPECT_GT(ink, 10);
  // "H": its two uprights.
  EXPECT_EQ(At(bitmap, 3, 4), PixelOf(kBlue));
  EXPECT_EQ(At(bitmap, 7, 10), PixelOf(kBlue));
  EXPECT_EQ(At(bitmap, 5, 4), PixelOf(kRed));

  // A taller font scales the cells; text half outside is clipped.
  bitmap.SetFont({"Builtin", 16});
  EXPECT_EQ(bitmap.TextExtent("Hi"), (TSize{24, 16}));
  bitmap.TextOut(-10, 15, "Hi there", kRed);
  EXPECT_EQ(At(bitmap, 0, 19), PixelOf(kRed));
}

TEST(BitmapTransform, TurnsClockwiseAndMirrors) {
  // 3 × 2:  1 2 3
  //         4 5 6
  auto make = [] {
    TMemoryBitmap bitmap(3, 2, {});
    std::uint32_t value = 1;
    for (std::uint32_t& pixel : bitmap.Pixels()) pixel = value++;
    return bitmap;
  };
  struct Case {
    std::int32_t angle;
    std::int32_t width;
    std::vector<std::uint32_t> pixels;
  };
  const Case cases[] = {
      {90, 2, {4, 1, 5, 2, 6, 3}},
      {180, 3, {6, 5, 4, 3, 2, 1}},
      {270, 2, {3, 6, 2, 5, 1, 4}},
      {45, 3, {1, 2, 3, 4, 5, 6}},
      {360, 3, {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    TMemoryBitmap bitmap = make();
    RotateClockwise(bitmap, c.angle);
    EXPECT_EQ(bitmap.Width(), c.width) << c.angle;
    EXPECT_EQ(Pixels(bitmap), c.pixels) << c.angle;
  }
  TMemoryBitmap bitmap = make();
  MirrorLeftRight(bitmap);
  EXPECT_EQ(Pixels(bitmap), (std::vector<std::uint32_t>{3, 2, 1, 6, 5, 4}));
}

TEST(RecordedMetafile, PlaysBackWhatWasDrawn) {
  const TFont font{"Builtin", 8, true, false, true, kBlue};
  TMetafileRecorder recorder(30, 20, font);
  TMemoryBitmap direct(30, 20, font);
  for (ICanvas* canvas : std::initializer_list<ICanvas*>{&recorder, &direct}) {
    canvas->FillRect({0, 0, 30, 20}, kWhite);
    canvas->FillRect({2, 3, 9, 5}, kRed);
    canvas->TextOut(1, 10, "A<&>", kRed);
  }
  const std::unique_ptr<IMetafile> finished = recorder.Finish();
  recorder.FillRect({0, 0, 30, 20}, kBlue);  // after the end: not recorded
  const auto& metafile = dynamic_cast<const TRecordedMetafile&>(*finished);
  EXPECT_EQ(metafile.Operations().size(), 3u);
  TMemoryBitmap played(30, 20, {});
  metafile.PlayOn(played);
  EXPECT_EQ(Pixels(played), Pixels(direct));

  const std::string svg = metafile.Svg();
  EXPECT_NE(svg.find(R"(<svg xmlns="http://www.w3.org/2000/svg" width="30" height="20")"), std::string::npos);
  EXPECT_NE(svg.find(R"(<rect x="2" y="3" width="7" height="2" fill="#FF0000"/>)"), std::string::npos);
  // The text's box, then the text itself, escaped.
  EXPECT_NE(svg.find(R"(<rect x="1" y="10" width="24" height="8" fill="#FF0000"/>)"), std::string::npos);
  EXPECT_NE(svg.find(R"(fill="#0000FF" font-weight="bold" text-decoration="underline">A&lt;&amp;&gt;</text>)"),
            std::string::npos);
}

}  // namespace
}  // namespace pavix::platform
