// The symbol drawn through GDI is the symbol drawn in memory, pixel for pixel.
#include <gtest/gtest.h>

#include <functional>

#include "QRCode.h"
#include "SymbolPictures.h"

namespace pavix::qr {
namespace {

using pictures::Snapshot;
using pictures::TPixels;

// The same settings on a GDI component and on a portable one.
std::pair<TPixels, TPixels> BothPictures(const std::function<void(TQRCode&)>& setUp) {
  TQRCode gdi(platform::SystemGraphics(), nullptr);
  TQRCode portable(platform::PortableGraphics(), nullptr);
  setUp(gdi);
  setUp(portable);
  EXPECT_TRUE(gdi.SymbolDisped());
  EXPECT_EQ(gdi.Width(), portable.Width());
  EXPECT_EQ(gdi.Height(), portable.Height());
  return {Snapshot(*gdi.Picture().Bitmap()), Snapshot(*portable.Picture().Bitmap())};
}

TEST(GdiSymbol, PairingCodeMatchesThePortableBitmap) {
  const auto [gdi, portable] = BothPictures([](TQRCode& qr) {
    qr.SetEclevel(0);
    qr.SetVersion(8);
    qr.SetCode(pictures::PairingText());
  });
  ASSERT_EQ(gdi.width, 57);
  ASSERT_EQ(gdi.height, 57);
  EXPECT_EQ(gdi, portable);
  EXPECT_EQ(pictures::FirstNonWhite(gdi), std::make_pair(4, 4));
}

TEST(GdiSymbol, LayoutsTurnedAndMirroredMatchToo) {
  const auto [gdi, portable] = BothPictures([](TQRCode& qr) {
    qr.SetSymbolEnabled(false);
    qr.SetCode(pictures::PairingText());
    qr.SetNumbering(TNumbering::nbrNone);  // the fonts differ; the modules must not
    qr.SetVersion(4);  // a third of the text in each symbol
    qr.SetPxmag(3);
    qr.SetSymbolSpaceLeft(5);
    qr.SetSymbolSpaceUp(7);
    qr.SetCount(3);
    qr.SetColumn(2);
    qr.SetSymbolColor(platform::RgbColor(0x20, 0x40, 0x80));
    qr.SetBackColor(platform::RgbColor(0xF0, 0xE0, 0xD0));
    qr.SetAngle(90);
    qr.SetReverse(true);
    qr.SetSymbolEnabled(true);
  });
  EXPECT_EQ(gdi, portable);
}

}  // namespace
}  // namespace pavix::qr
