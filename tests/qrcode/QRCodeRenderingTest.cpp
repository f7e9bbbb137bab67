// What the component's pictures and texts hold: turning and mirroring,
// comments, the metafile and the PBM listing.
#include <gtest/gtest.h>

#include "MemoryBitmap.h"
#include "QRCode.h"
#include "RecordedMetafile.h"
#include "SymbolPictures.h"

namespace pavix::qr {
namespace {

using platform::PixelOf;
using pictures::Region;
using pictures::Snapshot;
using pictures::SymbolPixels;
using pictures::TPixels;

TPixels Picture(const TQRCode& qr) { return Snapshot(*qr.Picture().Bitmap()); }

// The picture turned clockwise by `angle`, the oracle for RotatePicture.
TPixels Turned(const TPixels& picture, std::int32_t angle) {
  if (angle == 0) return picture;
  const std::int32_t w = picture.width;
  const std::int32_t h = picture.height;
  TPixels turned{angle == 180 ? w : h, angle == 180 ? h : w, {}};
  for (std::int32_t y = 0; y < turned.height; ++y) {
    for (std::int32_t x = 0; x < turned.width; ++x) {
      turned.pixels.push_back(angle == 90    ? picture.At(y, h - 1 - x)
                              : angle == 180 ? picture.At(w - 1 - x, h - 1 - y)
                                             : picture.At(w - 1 - y, x));
    }
  }
  return turned;
}

TPixels Mirrored(TPixels picture) {
  for (std::int32_t y = 0; y < picture.height; ++y) {
    auto row = picture.pixels.begin() + y * picture.width;
    std::reverse(row, row + picture.width);
  }
  return picture;
}

TEST(RotatePicture, TurnsTheLayoutAndTheControl) {
  TQRCode upright(platform::PortableGraphics(), nullptr);
  upright.SetCode("ABCDEF");
  upright.SetCount(2);
  const TPixels layout = Picture(upright);
  ASSERT_EQ(layout.width, 58);
  ASSERT_EQ(layout.height, 29);
  for (const std::int32_t angle : {90, 180, 270}) {
    TQRCode qr(platform::PortableGraphics(), nullptr);
    qr.SetCode("ABCDEF");
    qr.SetCount(2);
    qr.SetAngle(angle);
    EXPECT_EQ(Picture(qr), Turned(layout, angle)) << angle;
    EXPECT_EQ(qr.Width(), angle == 180 ? 58 : 29) << angle;
    EXPECT_EQ(qr.Height(), angle == 180 ? 29 : 58) << angle;
    // Redrawing starts from the turned picture and ends the same.
    qr.RedrawSymbol();
    EXPECT_EQ(Picture(qr), Turned(layout, angle)) << angle;
  }
}

TEST(RotatePicture, UnmatchedLayoutStaysWhereTheHostPutIt) {
  const TPixels symbol = SymbolPixels("R", {}, {}, 1);
  for (const std::int32_t angle : {0, 90, 180, 270}) {
    TQRCode qr(platform::PortableGraphics(), nullptr);
    qr.SetWidth(200);
    qr.SetHeight(150);
    qr.SetSymbolEnabled(false);
    qr.SetMatch(false);
    qr.SetAngle(angle);
    qr.SetSymbolLeft(10);
    qr.SetSymbolTop(20);
    qr.SetCode("R");
    qr.SetSymbolEnabled(true);
    ASSERT_TRUE(qr.SymbolDisped());
    const TPixels picture = Picture(qr);
    ASSERT_EQ(picture.width, 200) << angle;
    ASSERT_EQ(picture.height, 150) << angle;
    EXPECT_EQ(qr.Width(), 200);
    EXPECT_EQ(Region(picture, 10, 20, 29, 29), Turned(symbol, angle)) << angle;
    TPixels outside = picture;
    for (std::int32_t y = 20; y < 49; ++y) {
      std::fill_n(outside.pixels.begin() + y * 200 + 10, 29, PixelOf(platform::kWhite));
    }
    EXPECT_EQ(pictures::FirstNonWhite(outside), std::make_pair(-1, -1)) << angle;
  }
}

TEST(MirrorPicture, ReverseMirrorsTheBitmapOnly) {
  const TPixels symbol = SymbolPixels("mirror", {}, {}, 1);
  TQRCode qr(platform::PortableGraphics(), nullptr);
  qr.SetReverse(true);
  qr.SetCode("mirror");
  EXPECT_EQ(Picture(qr), Mirrored(symbol));
  qr.SetAngle(90);
  EXPECT_EQ(Picture(qr), Mirrored(Turned(symbol, 90)));

  // A metafile is neither turned nor mirrored.
  auto svg = [](bool reverse) {
    TQRCode emf(platform::PortableGraphics(), nullptr);
    emf.SetSymbolPicture(TPictures::picEMF);
    emf.SetAngle(90);
    emf.SetReverse(reverse);
    emf.SetCode("mirror");
    return dynamic_cast<const platform::TRecordedMetafile&>(*emf.Picture().Metafile()).Svg();
  };
  EXPECT_EQ(svg(true), svg(false));
}

TEST(Comments, PlacedInTheCellByLocation) {
  struct Case {
    const char* text;
    TLocation location;
    std::int32_t x;
  };
  const Case cases[] = {
      {"7", TLocation::locLeft, 0},          {"7", TLocation::locCenter, (29 - 6) / 2},
      {"7", TLocation::locRight, 29 - 6},    {"TOO WIDE !", TLocation::locCenter, 0},
      {"TOO WIDE !", TLocation::locRight, 0},
  };
  for (const Case& c : cases) {
    TQRCode qr(platform::PortableGraphics(), nullptr);
    qr.SetSymbolEnabled(false);
    qr.SetCode("C");
    qr.SetSymbolSpaceUp(8);
    qr.SetSymbolSpaceDown(12);
    qr.SetCommentUp(c.text);
    qr.SetCommentDown(c.text);
    qr.SetCommentUpLoc(c.location);
    qr.SetCommentDownLoc(c.location);
    qr.SetSymbolEnabled(true);
    const TPixels picture = Picture(qr);
    ASSERT_EQ(picture.height, 8 + 29 + 12);

    platform::TMemoryBitmap expected(29, 8, qr.ComFont());
    expected.TextOut(c.x, 0, c.text, platform::kWhite);
    // Above at the top of the cell; below ending at the bottom of the cell.
    EXPECT_EQ(Region(picture, 0, 0, 29, 8), Snapshot(expected)) << c.text << " up";
    EXPECT_EQ(Region(picture, 0, 8 + 29 + 4, 29, 8), Snapshot(expected)) << c.text << " down";
    EXPECT_EQ(Region(picture, 0, 8, 29, 29), SymbolPixels("C", {}, {}, 1)) << c.text;
  }
}

TEST(Comments, WithoutSpaceTheyStayOffTheSymbol) {
  TQRCode qr(platform::PortableGraphics(), nullptr);
  qr.SetCommentUp("above the cell");
  qr.SetCommentDown("below the cell");
  qr.SetCode("C");
  EXPECT_EQ(Picture(qr), SymbolPixels("C", {}, {}, 1));
}

TEST(DrawMetafile, OneRecordingForAllSymbols) {
  auto layout = [](TQRCode& qr) {
    qr.SetSymbolEnabled(false);
    qr.SetCode("ABCDEFGHI");
    qr.SetSymbolSpaceUp(9);
    qr.SetSymbolSpaceDown(9);
    qr.SetCount(3);
    qr.SetColumn(2);
    qr.SetSymbolEnabled(true);
  };
  TQRCode bitmap(platform::PortableGraphics(), nullptr);
  layout(bitmap);
  TQRCode qr(platform::PortableGraphics(), nullptr);
  qr.SetSymbolPicture(TPictures::picEMF);
  layout(qr);
  ASSERT_TRUE(qr.SymbolDisped());
  ASSERT_EQ(qr.Picture().Bitmap(), nullptr);
  const auto& metafile = dynamic_cast<const platform::TRecordedMetafile&>(*qr.Picture().Metafile());
  EXPECT_EQ(qr.Width(), 58);
  EXPECT_EQ(qr.Height(), 2 * (29 + 18));
  EXPECT_EQ(metafile.Width(), qr.Width() + 1);
  EXPECT_EQ(metafile.Height(), qr.Height() + 1);

  // Played back it is the bitmap picture.
  platform::TMemoryBitmap played(qr.Width(), qr.Height(), qr.ComFont());
  metafile.PlayOn(played);
  EXPECT_EQ(Snapshot(played), Picture(bitmap));

  const std::string svg = metafile.Svg();
  EXPECT_NE(svg.find(R"(width="59" height="95")"), std::string::npos);
  std::size_t texts = 0;
  for (std::size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) ++texts;
  EXPECT_EQ(texts, 6u);  // a number above and below each symbol
}

TEST(DrawMetafile, FailuresKeepWhatWasDrawn) {
  // The first symbol fails: an empty bitmap of the control's size, which the
  // last metafile set.
  TQRCode first(platform::PortableGraphics(), nullptr);
  first.SetSymbolPicture(TPictures::picEMF);
  first.SetCode(std::string(100, 'x'));
  ASSERT_FALSE(first.SymbolDisped());
  ASSERT_NE(first.Picture().Bitmap(), nullptr);
  EXPECT_EQ(pictures::FirstNonWhite(Picture(first)), std::make_pair(-1, -1));
  EXPECT_EQ(Picture(first).width, 29);
  EXPECT_EQ(first.Width(), 29);

  // The second symbol fails: a finished recording of the first.
  TQRCode second(platform::PortableGraphics(), nullptr);
  second.SetSymbolPicture(TPictures::picEMF);
  second.SetSymbolEnabled(false);
  second.SetEmode(kModeNumeric);
  second.SetCode("123A56");
  second.SetCount(2);
  second.SetSymbolEnabled(true);
  ASSERT_FALSE(second.SymbolDisped());
  const auto* metafile = dynamic_cast<const platform::TRecordedMetafile*>(second.Picture().Metafile());
  ASSERT_NE(metafile, nullptr);
  EXPECT_EQ(metafile->Width(), 58);  // not enlarged: the recording was cut short
  platform::TMemoryBitmap played(58, 29, second.ComFont());
  metafile->PlayOn(played);
  const TSymbolPosition one{TQRMode::qrConnect, 1, 2, '1' ^ '2' ^ '3' ^ 'A' ^ '5' ^ '6'};
  EXPECT_EQ(Region(Snapshot(played), 0, 0, 29, 29), SymbolPixels("123", {.emode = kModeNumeric}, one, 1));
}

TEST(Numbering, CommentsOfEachSymbolByNumberingMode) {
  struct Case {
    TNumbering numbering;
    std::vector<std::string> texts;  // above and below symbol 1, then symbol 2
  };
  const Case cases[] = {
      {TNumbering::nbrNone, {"up", "up"}},
      {TNumbering::nbrHead, {"1 up", "1", "2 up", "2"}},
      {TNumbering::nbrTail, {"up 1", "1", "up 2", "2"}},
      {TNumbering::nbrIfVoid, {"up", "1", "up", "2"}},
  };
  for (const Case& c : cases) {
    TQRCode qr(platform::PortableGraphics(), nullptr);
    qr.SetSymbolEnabled(false);
    qr.SetSymbolPicture(TPictures::picEMF);
    qr.SetCode("ABCD");
    qr.SetCount(2);
    qr.SetCommentUp("up");
    qr.SetNumbering(c.numbering);
    qr.SetSymbolEnabled(true);
    std::vector<std::string> texts;
    for (const auto& operation :
         dynamic_cast<const platform::TRecordedMetafile&>(*qr.Picture().Metafile()).Operations()) {
      if (const auto* text = std::get_if<platform::TTextOperation>(&operation)) texts.push_back(text->text);
    }
    EXPECT_EQ(texts, c.texts) << static_cast<int>(c.numbering);
    EXPECT_EQ(qr.CommentUp(), "up");
    EXPECT_TRUE(qr.CommentDown().empty());
  }
}

std::vector<std::string> PbmRows(const TPixels& picture) {
  std::vector<std::string> rows;
  for (std::int32_t y = 0; y < picture.height; ++y) {
    std::string row;
    for (std::int32_t x = 0; x < picture.width; ++x) row += picture.At(x, y) == PixelOf(platform::kBlack) ? " 1" : " 0";
    rows.push_back(row);
  }
  return rows;
}

TEST(PBM, HeaderAndPixelRows) {
  TQRCode qr(platform::PortableGraphics(), nullptr);
  qr.SetPxmag(3);
  qr.SetCode("PBM");
  EXPECT_EQ(qr.SymbolWidth(), 87);
  EXPECT_EQ(qr.QuietZone(), 12);
  const std::vector<std::string> pbm = qr.PBM();
  ASSERT_EQ(pbm.size(), 3u + 2 + 87);
  EXPECT_EQ(pbm[0], "P1");
  EXPECT_EQ(pbm[1], "Single Mode (Count = 1)");
  EXPECT_EQ(pbm[2], "87 87");
  EXPECT_EQ(pbm[3], "");
  EXPECT_EQ(pbm[4], "");
  const std::vector<std::string> rows(pbm.begin() + 5, pbm.end());
  EXPECT_EQ(rows, PbmRows(SymbolPixels("PBM", {}, {}, 3)));
  EXPECT_EQ(rows[0].size(), 2u * 87);
}

TEST(PBM, EachSymbolFromItsOwnPieceWithoutRedrawing) {
  TQRCode qr(platform::PortableGraphics(), nullptr);
  int redraws = 0;
  qr.OnPaintSymbol = [&](TQRCode&, bool) { ++redraws; };
  qr.SetCode("ABCD");
  qr.SetCount(2);
  ASSERT_EQ(qr.Mode(), TQRMode::qrConnect);
  const int before = redraws;
  const std::vector<std::string> pbm = qr.PBM();
  EXPECT_EQ(redraws, before);
  ASSERT_EQ(pbm.size(), 3u + 2 * (2 + 29));
  EXPECT_EQ(pbm[1], "Connect Mode (Count = 2)");
  const std::uint32_t parity = 'A' ^ 'B' ^ 'C' ^ 'D';
  for (std::int32_t k = 1; k <= 2; ++k) {
    const auto start = pbm.begin() + 3 + (k - 1) * 31;
    EXPECT_EQ(*start, "");
    EXPECT_EQ(*(start + 1), "");
    const std::vector<std::string> rows(start + 2, start + 31);
    const std::string piece = k == 1 ? "AB" : "CD";
    EXPECT_EQ(rows, PbmRows(SymbolPixels(piece, {}, {TQRMode::qrConnect, k, 2, parity}, 1))) << k;
  }
}

TEST(PBM, ListsNothingBeyondTheData) {
  // The boundaries are those of the last redraw; the text has shrunk since.
  TQRCode qr(platform::PortableGraphics(), nullptr);
  qr.SetCode("ABCDEF");
  qr.SetCount(2);
  qr.SetSymbolEnabled(false);
  qr.SetCode("A");
  EXPECT_EQ(qr.PBM().size(), 3u);
}

}  // namespace
}  // namespace pavix::qr
