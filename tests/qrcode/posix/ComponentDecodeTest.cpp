// The component's own picture of the pairing code, read back by zbarimg.
#include <gtest/gtest.h>

#include <fstream>

#include "ExternalProgram.h"
#include "PngWriter.h"
#include "QRCode.h"
#include "SymbolPictures.h"
#include "TestSupport.h"

namespace pavix::qr {
namespace {

std::string Png(const platform::IBitmap& bitmap) {
  std::vector<std::uint8_t> rgba;
  for (const std::uint32_t pixel : bitmap.Pixels()) {
    rgba.insert(rgba.end(), {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                             static_cast<std::uint8_t>(pixel), 255});
  }
  return EncodePng(static_cast<std::uint32_t>(bitmap.Width()), static_cast<std::uint32_t>(bitmap.Height()),
                   PngPixels::Rgba8, rgba);
}

TEST(ComponentDecode, PairingPictureReadsBackAsThePairingText) {
  ASSERT_TRUE(test::ProgramAvailable("zbarimg")) << "install Debian's zbar-tools package";
  const std::string text = pictures::PairingText();
  for (const std::int32_t angle : {0, 270}) {
    TQRCode qr(platform::PortableGraphics(), nullptr);
    qr.SetPxmag(4);
    qr.SetAngle(angle);
    qr.SetEclevel(0);
    qr.SetVersion(8);
    qr.SetCode(text);
    ASSERT_EQ(qr.Picture().Bitmap()->Width(), 57 * 4);
    const test::TempDir dir;
    const auto png = dir / "pairing.png";
    std::ofstream(png, std::ios::binary) << Png(*qr.Picture().Bitmap());
    const test::ProgramResult read = test::RunProgram(
        {"zbarimg", "--nodbus", "--raw", "-q", "-Sdisable", "-Sqrcode.enable", "-Sbinary", png.string()});
    ASSERT_EQ(read.exitCode, 0) << "zbarimg found no symbol: " << read.err;
    EXPECT_EQ(read.out, text) << angle;
  }
}

}  // namespace
}  // namespace pavix::qr
