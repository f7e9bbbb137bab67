// The symbol component as a host drives it: setters, the redraw cycle and its
// layout of several symbols, events and the clipboard.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "MemoryBitmap.h"
#include "QRCode.h"
#include "RecordingClipboard.h"
#include "SymbolPictures.h"

namespace pavix::qr {
namespace {

using platform::PixelOf;
using pictures::FirstNonWhite;
using pictures::Region;
using pictures::Snapshot;
using pictures::SymbolPixels;
using pictures::TPixels;

// A component on the portable back-end that counts its redraws.
class Component : public ::testing::Test {
 protected:
  Component() {
    qr.OnPaintedSymbol = [this](TQRCode&, bool) { ++redraws; };
  }
  TPixels Picture() const { return Snapshot(*qr.Picture().Bitmap()); }

  platform::TRecordingClipboard clipboard;
  TQRCode qr{platform::PortableGraphics(), &clipboard};
  int redraws = 0;
};

TEST_F(Component, InitialState) {
  EXPECT_EQ(qr.Width(), 105);
  EXPECT_EQ(qr.Height(), 105);
  EXPECT_FALSE(qr.Picture().HasGraphic());
  EXPECT_TRUE(qr.Binary());
  EXPECT_TRUE(qr.BinaryOperation());
  EXPECT_EQ(qr.Mode(), TQRMode::qrSingle);
  EXPECT_EQ(qr.Count(), 1);
  EXPECT_EQ(qr.Column(), 16);
  EXPECT_EQ(qr.Numbering(), TNumbering::nbrIfVoid);
  EXPECT_EQ(qr.Version(), 1);
  EXPECT_EQ(qr.Emode(), -1);
  EXPECT_EQ(qr.Masktype(), -1);
  EXPECT_EQ(qr.Pxmag(), 1);
  EXPECT_TRUE(qr.Match());
  EXPECT_FALSE(qr.Transparent());
  EXPECT_EQ(qr.SymbolPicture(), TPictures::picBMP);
  EXPECT_TRUE(qr.SymbolEnabled());
  EXPECT_FALSE(qr.SymbolDisped());
  EXPECT_EQ(qr.ComFont(), platform::PortableGraphics().DefaultFont());
}

TEST_F(Component, PairingSequenceDrawsThe57PixelSymbol) {
  const std::string text = pictures::PairingText();
  ASSERT_EQ(text.size(), 176u);
  qr.SetEclevel(0);
  qr.SetVersion(8);
  qr.SetCode(text);
  EXPECT_EQ(redraws, 3);  // each setter redraws
  ASSERT_TRUE(qr.SymbolDisped());
  EXPECT_EQ(qr.Width(), 57);
  EXPECT_EQ(qr.Height(), 57);
  const TPixels picture = Picture();
  EXPECT_EQ(picture, SymbolPixels(text, {.version = 8, .eclevel = 0}, {}, 1));
  EXPECT_EQ(FirstNonWhite(picture), std::make_pair(4, 4));
}

TEST_F(Component, TextThatDoesNotFitLeavesThePictureAsItWas) {
  qr.SetVersion(8);
  qr.SetCode(std::string(192, 'x'));
  EXPECT_TRUE(qr.SymbolDisped());
  const TPixels fits = Picture();

  EXPECT_NO_THROW(qr.SetCode(std::string(193, 'x')));
  EXPECT_FALSE(qr.SymbolDisped());
  EXPECT_EQ(Picture(), fits);

  // Turning ClearOption on after the failure empties the picture at once.
  qr.SetClearOption(true);
  EXPECT_FALSE(qr.Picture().HasGraphic());
  // From then on a failure clears by itself.
  qr.SetCode("fits");
  EXPECT_TRUE(qr.Picture().HasGraphic());
  qr.SetCode(std::string(200, 'x'));
  EXPECT_FALSE(qr.Picture().HasGraphic());
}

TEST_F(Component, CapacityFollowsModeUsedAndCount) {
  qr.SetSymbolEnabled(false);
  qr.SetVersion(8);
  qr.SetCount(3);
  EXPECT_EQ(qr.Capacity(), 3 * 279);  // alphanumeric while no mode has been used
  qr.SetCode(std::string(30, 'a'));
  qr.SetSymbolEnabled(true);
  EXPECT_EQ(qr.Count(), 3);
  EXPECT_EQ(qr.EmodeR(), kModeByte);
  EXPECT_EQ(qr.Capacity(), 3 * 192);
}

TEST_F(Component, OutOfRangeValuesAreIgnored) {
  struct Case {
    const char* name;
    std::function<void()> set;
    std::function<std::int32_t()> get;
  };
  const std::vector<Case> cases = {
      {"Angle 45", [&] { qr.SetAngle(45); }, [&] { return qr.Angle(); }},
      {"Count 0", [&] { qr.SetCount(0); }, [&] { return qr.Count(); }},
      {"Count 1025", [&] { qr.SetCount(1025); }, [&] { return qr.Count(); }},
      {"Column 0", [&] { qr.SetColumn(0); }, [&] { return qr.Column(); }},
      {"Version 41", [&] { qr.SetVersion(41); }, [&] { return qr.Version(); }},
      {"Eclevel 4", [&] { qr.SetEclevel(4); }, [&] { return qr.Eclevel(); }},
      {"Emode -2", [&] { qr.SetEmode(-2); }, [&] { return qr.Emode(); }},
      {"Masktype 8", [&] { qr.SetMasktype(8); }, [&] { return qr.Masktype(); }},
      {"Pxmag 11", [&] { qr.SetPxmag(11); }, [&] { return qr.Pxmag(); }},
      {"Numbering 4", [&] { qr.SetNumbering(static_cast<TNumbering>(4)); },
       [&] { return static_cast<std::int32_t>(qr.Numbering()); }},
      {"Mode 3", [&] { qr.SetMode(static_cast<TQRMode>(3)); }, [&] { return static_cast<std::int32_t>(qr.Mode()); }},
  };
  for (const Case& c : cases) {
    const std::int32_t before = c.get();
    const int redrawsBefore = redraws;
    c.set();
    EXPECT_EQ(c.get(), before) << c.name;
    EXPECT_EQ(redraws, redrawsBefore) << c.name;
  }
}

TEST_F(Component, EmodeAndMasktypeAreReportedAsUsed) {
  qr.SetMasktype(5);
  EXPECT_EQ(qr.MasktypeR(), 5);
  qr.SetMasktype(-1);
  qr.SetCode("HELLO");
  EXPECT_GE(qr.MasktypeR(), 0);  // the automatic choice
  qr.SetEmode(1);
  EXPECT_EQ(qr.EmodeR(), 1);
  EXPECT_TRUE(qr.SymbolDisped());
  qr.SetEmode(0);  // letters in numeric mode
  EXPECT_FALSE(qr.SymbolDisped());
  EXPECT_EQ(qr.EmodeR(), 0);
}

TEST_F(Component, ModeRequestsAreAdjustedByTheSplit) {
  qr.SetSymbolEnabled(false);
  qr.SetCode("A");
  qr.SetMode(TQRMode::qrConnect);
  EXPECT_EQ(qr.Count(), 2);
  qr.SetSymbolEnabled(true);  // one byte makes one symbol
  EXPECT_EQ(qr.Count(), 1);
  EXPECT_EQ(qr.Mode(), TQRMode::qrSingle);

  qr.SetCode(std::string(100, 'b'));
  qr.SetCount(20);
  EXPECT_EQ(qr.Mode(), TQRMode::qrPlus);
  qr.SetMode(TQRMode::qrSingle);
  EXPECT_EQ(qr.Count(), 1);
}

TEST_F(Component, ConnectedSymbolsInRowsWithTheirNumbers) {
  const std::string text = "ABCDEFGHI";  // three pieces of three bytes
  qr.SetSymbolEnabled(false);
  qr.SetCode(text);
  qr.SetSymbolSpaceUp(10);
  qr.SetSymbolSpaceDown(10);
  qr.SetCount(3);
  qr.SetColumn(2);
  qr.SetSymbolEnabled(true);
  ASSERT_TRUE(qr.SymbolDisped());
  EXPECT_EQ(qr.Mode(), TQRMode::qrConnect);
  EXPECT_EQ(qr.Parity(), 'A' ^ 'B' ^ 'C' ^ 'D' ^ 'E' ^ 'F' ^ 'G' ^ 'H' ^ 'I');
  EXPECT_TRUE(qr.CommentUp().empty());  // the numbers are not left behind

  const std::int32_t w = qr.SymbolWidth();  // 29
  const std::int32_t cellHeight = qr.SymbolHeightS();
  ASSERT_EQ(cellHeight, w + 20);
  const TPixels picture = Picture();
  ASSERT_EQ(picture.width, 2 * w);
  ASSERT_EQ(picture.height, 2 * cellHeight);

  const std::int32_t cells[3][2] = {{0, 0}, {w, 0}, {0, cellHeight}};
  for (std::int32_t k = 1; k <= 3; ++k) {
    const auto [left, top] = std::pair(cells[k - 1][0], cells[k - 1][1]);
    const TSymbolPosition position{TQRMode::qrConnect, k, 3, static_cast<std::uint32_t>(qr.Parity())};
    EXPECT_EQ(Region(picture, left, top + 10, w, w),
              SymbolPixels(text.substr(static_cast<std::size_t>(3 * (k - 1)), 3), {}, position, 1))
        << "symbol " << k;
    // Its number at the top of the cell and at the bottom, on the left.
    platform::TMemoryBitmap number(w, 10, qr.ComFont());
    number.TextOut(0, 0, std::to_string(k), platform::kWhite);
    EXPECT_EQ(Region(picture, left, top, w, 8), Region(Snapshot(number), 0, 0, w, 8)) << "number above " << k;
    EXPECT_EQ(Region(picture, left, top + 10 + w + 2, w, 8), Region(Snapshot(number), 0, 0, w, 8))
        << "number below " << k;
  }
  // The fourth cell stays background.
  const TPixels empty = Region(picture, w, cellHeight, w, cellHeight);
  EXPECT_EQ(FirstNonWhite(empty), std::make_pair(-1, -1));
}

TEST_F(Component, LayoutSizes) {
  qr.SetSymbolEnabled(false);
  qr.SetCode("ABCDEFGHIJ");
  qr.SetPxmag(2);
  qr.SetSymbolSpaceLeft(3);
  qr.SetSymbolSpaceRight(4);
  qr.SetSymbolSpaceUp(5);
  qr.SetSymbolSpaceDown(6);
  qr.SetCount(5);
  qr.SetColumn(2);
  EXPECT_EQ(qr.QuietZone(), 8);
  EXPECT_EQ(qr.SymbolWidth(), (21 + 8) * 2);
  EXPECT_EQ(qr.SymbolWidthS(), 58 + 7);
  EXPECT_EQ(qr.SymbolHeightS(), 58 + 11);
  EXPECT_EQ(qr.SymbolWidthA(), 2 * qr.SymbolWidthS());
  EXPECT_EQ(qr.SymbolHeightA(), 3 * qr.SymbolHeightS());
  qr.SetSymbolLeft(7);
  qr.SetSymbolTop(9);
  qr.SetSymbolEnabled(true);
  EXPECT_EQ(qr.Width(), 7 + 2 * qr.SymbolWidthS());
  EXPECT_EQ(qr.Height(), 9 + 3 * qr.SymbolHeightS());
}

TEST_F(Component, MatchTransparentAndPictureKindStayConsistent) {
  qr.SetTransparent(true);
  EXPECT_FALSE(qr.Match());
  EXPECT_EQ(qr.SymbolPicture(), TPictures::picBMP);
  qr.SetMatch(true);
  EXPECT_FALSE(qr.Transparent());
  qr.SetSymbolPicture(TPictures::picEMF);
  EXPECT_EQ(qr.SymbolPicture(), TPictures::picEMF);
  qr.SetMatch(false);
  EXPECT_EQ(qr.SymbolPicture(), TPictures::picBMP);
  const int before = redraws;
  qr.SetSymbolPicture(TPictures::picWMF);
  EXPECT_EQ(qr.SymbolPicture(), TPictures::picBMP);
  EXPECT_EQ(redraws, before);
}

TEST_F(Component, TransparentSymbolsAreDrawnOverThePicture) {
  qr.SetSymbolColor(platform::RgbColor(0, 0, 255));
  qr.SetCode("over");
  const TPixels first = Picture();
  qr.SetTransparent(true);
  qr.SetBackColor(platform::RgbColor(255, 0, 0));
  qr.SetCode("again");
  const TPixels second = Picture();
  const TPixels expected = SymbolPixels("again", {}, {}, 1);
  ASSERT_EQ(second.width, first.width);
  for (std::int32_t y = 0; y < second.height; ++y) {
    for (std::int32_t x = 0; x < second.width; ++x) {
      // Dark modules in the symbol colour; elsewhere what was there before, never the back colour.
      const bool dark = expected.At(x, y) == PixelOf(platform::kBlack);
      ASSERT_EQ(second.At(x, y), dark ? PixelOf(platform::RgbColor(0, 0, 255)) : first.At(x, y)) << x << "," << y;
    }
  }
}

TEST_F(Component, EventsAroundACodeChange) {
  std::vector<std::string> seen;
  qr.OnChangeCode = [&](TQRCode& sender, bool watch) {
    seen.push_back("change " + sender.Code() + (watch ? " watch" : ""));
  };
  qr.OnPaintSymbol = [&](TQRCode&, bool) { seen.emplace_back("paint"); };
  qr.OnPaintedSymbol = [&](TQRCode& sender, bool) {
    seen.push_back(sender.SymbolDisped() ? "painted" : "not painted");
  };
  qr.OnChangedCode = [&](TQRCode& sender, bool) { seen.push_back("changed " + sender.Code()); };
  qr.SetCode("one");
  qr.SetCode("two");
  EXPECT_EQ(seen, (std::vector<std::string>{"change ", "paint", "painted", "changed one", "change one", "paint",
                                            "painted", "changed two"}));

  // A redraw that raises ends the change before OnChangedCode.
  seen.clear();
  qr.OnPaintSymbol = [](TQRCode&, bool) { throw std::runtime_error("host failed"); };
  EXPECT_THROW(qr.SetCode("three"), std::runtime_error);
  EXPECT_EQ(seen, (std::vector<std::string>{"change two"}));
  EXPECT_FALSE(qr.SymbolDisped());

  // With symbols off neither code event is called, nor does anything draw.
  seen.clear();
  qr.OnPaintSymbol = nullptr;
  qr.SetSymbolEnabled(false);
  qr.SetCode("four");
  EXPECT_TRUE(seen.empty());
  qr.SetSymbolEnabled(true);
  EXPECT_EQ(seen, (std::vector<std::string>{"painted"}));
}

TEST_F(Component, MalformedEscapesTurnEscapesOff) {
  qr.SetCode("~1F~");
  EXPECT_EQ(qr.Len(), 1);
  EXPECT_TRUE(qr.Binary());
  qr.SetCode("~G1~");
  EXPECT_FALSE(qr.BinaryOperation());
  EXPECT_FALSE(qr.Binary());
  EXPECT_EQ(qr.Len(), 4);
  qr.SetCode("~41~");  // stays literal until the host turns escapes on again
  EXPECT_EQ(qr.Len(), 4);
  qr.SetBinaryOperation(true);
  EXPECT_EQ(qr.Len(), 1);
  EXPECT_EQ(Picture(), SymbolPixels("A", {}, {}, 1));
}

TEST_F(Component, ClipboardWatchLoadsChangedTextWithWatchSet) {
  std::vector<std::pair<std::string, bool>> changes;
  qr.OnChangedCode = [&](TQRCode& sender, bool watch) { changes.emplace_back(sender.Code(), watch); };
  clipboard.PutText("before");
  qr.SetClipWatch(true);
  EXPECT_EQ(clipboard.Watchers(), 1u);
  EXPECT_TRUE(qr.Code().empty());  // turning the watch on loads nothing

  clipboard.PutText("from another program");
  EXPECT_EQ(qr.Code(), "from another program");
  qr.PasteFromClipboard();
  EXPECT_EQ(changes, (std::vector<std::pair<std::string, bool>>{{"from another program", true},
                                                                {"from another program", false}}));

  // Turning it on again while on is no new registration and swallows nothing.
  qr.SetClipWatch(true);
  clipboard.PutText("next");
  EXPECT_EQ(qr.Code(), "next");

  qr.SetClipWatch(false);
  EXPECT_EQ(clipboard.Watchers(), 0u);
  clipboard.PutText("ignored");
  EXPECT_EQ(qr.Code(), "next");
}

TEST_F(Component, ErrorsInClipboardNotificationsGoToTheHandler) {
  std::vector<std::string> reported;
  qr.OnClipboardException = [&](const std::exception& error) { reported.emplace_back(error.what()); };
  qr.OnChangedCode = [](TQRCode&, bool) { throw std::runtime_error("host failed"); };
  qr.SetClipWatch(true);
  EXPECT_NO_THROW(clipboard.PutText("text"));
  EXPECT_EQ(reported, std::vector<std::string>{"host failed"});
  // The watch flag does not stay set after the failure.
  qr.OnChangedCode = [](TQRCode&, bool watch) { EXPECT_FALSE(watch); };
  qr.SetCode("by hand");
}

TEST_F(Component, DestructionLeavesTheWatch) {
  {
    TQRCode watching(platform::PortableGraphics(), &clipboard);
    watching.SetClipWatch(true);
    EXPECT_EQ(clipboard.Watchers(), 1u);
  }
  EXPECT_EQ(clipboard.Watchers(), 0u);
  EXPECT_NO_THROW(clipboard.PutText("after"));
}

TEST_F(Component, CopyPutsThePictureInTheFormAskedFor) {
  using Format = platform::TRecordingClipboard::TFormat;
  qr.SetCode("copy");
  qr.CopyToClipboard();
  EXPECT_EQ(clipboard.Format(), Format::Bitmap);
  EXPECT_EQ(clipboard.BitmapPixels(), Picture().pixels);

  qr.SetSymbolPicture(TPictures::picEMF);
  qr.CopyToClipboard();
  EXPECT_EQ(clipboard.Format(), Format::EnhancedMetafile);
  EXPECT_EQ(clipboard.PictureSize(), (platform::TSize{30, 30}));

  qr.SetSymbolPicture(TPictures::picWMF);
  qr.CopyToClipboard();
  EXPECT_EQ(clipboard.Format(), Format::MetafilePicture);

  // A failed redraw: the picture goes as what it holds, the empty bitmap.
  qr.SetCode(std::string(100, 'x'));
  ASSERT_FALSE(qr.SymbolDisped());
  qr.CopyToClipboard();
  EXPECT_EQ(clipboard.Format(), Format::Bitmap);
}

TEST(ComponentWithoutClipboard, CopyPasteAndWatchDoNothing) {
  TQRCode qr(platform::PortableGraphics(), nullptr);
  qr.SetCode("text");
  EXPECT_NO_THROW(qr.CopyToClipboard());
  EXPECT_NO_THROW(qr.PasteFromClipboard());
  qr.SetClipWatch(true);
  EXPECT_TRUE(qr.ClipWatch());
  EXPECT_EQ(qr.Code(), "text");
}

}  // namespace
}  // namespace pavix::qr
