// The GDI back-end against the portable one: same pixels for fills, the same
// layout rules for text, and the system clipboard's formats.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "Clipboard.h"
#include "GdiMetafile.h"
#include "Graphics.h"

namespace pavix::platform {
namespace {

constexpr TColor kRed = RgbColor(255, 0, 0);
constexpr TColor kBlue = RgbColor(0, 0, 255);

std::vector<std::uint32_t> Pixels(const IBitmap& bitmap) { return {bitmap.Pixels().begin(), bitmap.Pixels().end()}; }

TEST(GdiBitmap, FillsAndResizesAsThePortableBitmap) {
  const TRect rects[] = {{1, 0, 2, 1}, {-5, -5, 1, 10}, {2, 1, 100, 100}, {2, 0, 1, 2}, {10, 10, 20, 20}};
  for (const TRect& rect : rects) {
    const auto gdi = SystemGraphics().CreateBitmap(3, 2);
    const auto portable = PortableGraphics().CreateBitmap(3, 2);
    for (IBitmap* bitmap : {gdi.get(), portable.get()}) {
      bitmap->FillRect(rect, RgbColor(0x12, 0x34, 0x56));
      bitmap->SetSize(4, 1);
    }
    EXPECT_EQ(Pixels(*gdi), Pixels(*portable)) << rect.left << "," << rect.top;
  }
}

TEST(GdiBitmap, TextOnAnOpaqueBoxOfItsExtent) {
  const auto bitmap = SystemGraphics().CreateBitmap(200, 60);
  TFont font = SystemGraphics().DefaultFont();
  ASSERT_GT(font.height, 0);
  font.color = kBlue;
  bitmap->SetFont(font);
  EXPECT_EQ(bitmap->TextExtent(""), (TSize{0, 0}));
  const TSize extent = bitmap->TextExtent("Pavix 8212");
  ASSERT_GT(extent.width, 20);
  ASSERT_GT(extent.height, 5);
  bitmap->TextOut(5, 7, "Pavix 8212", kRed);
  std::size_t red = 0;
  std::size_t blue = 0;
  const auto pixels = bitmap->Pixels();
  for (std::int32_t y = 0; y < 60; ++y) {
    for (std::int32_t x = 0; x < 200; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * 200 + x)];
      const bool inside = x >= 5 && x < 5 + extent.width && y >= 7 && y < 7 + extent.height;
      if (!inside) {
        ASSERT_EQ(pixel, PixelOf(kWhite)) << x << "," << y;
      }
      red += pixel == PixelOf(kRed);
      blue += pixel == PixelOf(kBlue);
    }
  }
  EXPECT_GT(blue, 20u);
  EXPECT_GT(red, blue);
}

TEST(GdiMetafile, RecordsAgainstTheScreenAndPlaysBack) {
  auto recorder = SystemGraphics().RecordMetafile(40, 30);
  recorder->FillRect({0, 0, 40, 30}, kWhite);
  recorder->FillRect({4, 4, 12, 9}, kRed);
  EXPECT_GT(recorder->TextExtent("x").width, 0);
  const std::unique_ptr<IMetafile> metafile = recorder->Finish();
  const auto& gdi = dynamic_cast<const TGdiMetafile&>(*metafile);
  ENHMETAHEADER header{};
  ASSERT_NE(::GetEnhMetaFileHeader(gdi.Handle(), sizeof header, &header), 0u);
  EXPECT_GT(header.nRecords, 2u);
  EXPECT_EQ(metafile->Width(), 40);
}

// The clipboard needs windows. Wine without a display cannot make any unless
// its prefix was created with the null graphics driver
// (HKCU\Software\Wine\Drivers, Graphics = "null").
class Win32Clipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) GTEST_SKIP() << "no window can be created here (headless Wine without the null driver)";
    ::DestroyWindow(probe);
  }
};

// The clipboard is shared with the whole (Wine) desktop: each case puts its
// own data first.
TEST_F(Win32Clipboard, TextAndPicturesGoInTheirFormats) {
  IClipboard* clipboard = SystemClipboard();
  ASSERT_NE(clipboard, nullptr);
  clipboard->PutText("\xB4\xF2\xD3\xA1 pairing");  // 打印 in the system code page
  EXPECT_EQ(clipboard->Text(), "\xB4\xF2\xD3\xA1 pairing");

  const auto bitmap = SystemGraphics().CreateBitmap(5, 4);
  bitmap->FillRect({1, 1, 3, 3}, kRed);
  clipboard->PutBitmap(*bitmap);
  EXPECT_EQ(clipboard->Text(), std::nullopt);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
  ::CloseClipboard();

  auto recorder = SystemGraphics().RecordMetafile(10, 10);
  recorder->FillRect({0, 0, 5, 5}, kBlue);
  const std::unique_ptr<IMetafile> metafile = recorder->Finish();
  clipboard->PutEnhancedMetafile(*metafile);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_ENHMETAFILE));
  ::CloseClipboard();

  clipboard->PutMetafilePicture(*metafile);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(::GetClipboardData(CF_METAFILEPICT)));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->mm, MM_ANISOTROPIC);
  EXPECT_GT(picture->xExt, 0);
  EXPECT_NE(picture->hMF, nullptr);
  ::GlobalUnlock(::GetClipboardData(CF_METAFILEPICT));
  ::CloseClipboard();

  // Only the system's own metafiles can go on the clipboard.
  auto portable = PortableGraphics().RecordMetafile(10, 10);
  EXPECT_ANY_THROW(clipboard->PutEnhancedMetafile(*portable->Finish()));
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

TEST_F(Win32Clipboard, WatchSeesEveryChangeAndKeepsErrorsIn) {
  IClipboard* clipboard = SystemClipboard();
  int changes = 0;
  std::vector<std::string> errors;
  {
    const auto watch = clipboard->Watch(
        [&] {
          if (++changes == 3) throw std::runtime_error("handler failed");
        },
        [&](const std::exception& error) { errors.emplace_back(error.what()); });
    PumpMessages();
    EXPECT_EQ(changes, 1);  // joining the chain
    clipboard->PutText("one");
    PumpMessages();
    EXPECT_EQ(changes, 2);
    clipboard->PutText("two");
    PumpMessages();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
  }
  clipboard->PutText("after the watch");
  PumpMessages();
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace pavix::platform
