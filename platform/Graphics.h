#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// What the symbol component draws with: a 32-bit bitmap and an enhanced
// metafile, both through the same few canvas operations. Texts are in the
// system code page.
namespace pavix::platform {

// A colour as the system's colour references hold it: 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor kBlack = 0x000000;
inline constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor RgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return TColor{r} | TColor{g} << 8 | TColor{b} << 16;
}

// A pixel as a 32-bit device-independent bitmap stores it: 0x00RRGGBB.
// The top byte stays 0, as the system's own drawing leaves it.
constexpr std::uint32_t PixelOf(TColor color) {
  return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

// Right and bottom edges excluded.
struct TRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct TSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const TSize&) const = default;
};

struct TFont {
  std::string name;
  std::int32_t height = 0;  // character cell height, pixels
  bool bold = false;
  bool italic = false;
  bool underline = false;
  TColor color = kBlack;
  bool operator==(const TFont&) const = default;
};

class ICanvas {
 public:
  virtual ~ICanvas() = default;
  virtual const TFont& Font() const = 0;
  virtual void SetFont(const TFont& font) = 0;
  // Clipped to the surface; an empty or inverted rectangle draws nothing.
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // `text` in the font's colour on an opaque `background` box of its extent,
  // top-left corner at (x, y).
  virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) = 0;
  // 0 × 0 for an empty text.
  virtual TSize TextExtent(std::string_view text) = 0;
};

class IBitmap : public ICanvas {
 public:
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  // Keeps the pixels the old and the new size share; new pixels are white.
  virtual void SetSize(std::int32_t width, std::int32_t height) = 0;
  // Width() × Height() pixels, rows top first, as PixelOf stores colours.
  virtual std::span<std::uint32_t> Pixels() = 0;
  virtual std::span<const std::uint32_t> Pixels() const = 0;
};

// A finished recording of drawing operations.
class IMetafile {
 public:
  virtual ~IMetafile() = default;
  // The frame the picture is shown in, pixels.
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  virtual void SetSize(std::int32_t width, std::int32_t height) = 0;
};

class IMetafileRecorder : public ICanvas {
 public:
  // Ends the recording; the recorder draws nothing afterwards.
  virtual std::unique_ptr<IMetafile> Finish() = 0;
};

class IGraphics {
 public:
  virtual ~IGraphics() = default;
  // White, in the default font.
  virtual std::unique_ptr<IBitmap> CreateBitmap(std::int32_t width, std::int32_t height) const = 0;
  // A picture of `width` × `height` pixels, measured against the screen.
  virtual std::unique_ptr<IMetafileRecorder> RecordMetafile(std::int32_t width, std::int32_t height) const = 0;
  virtual TFont DefaultFont() const = 0;
};

// In-memory bitmaps with a built-in font, and metafiles that save as SVG:
// available on every platform.
const IGraphics& PortableGraphics();
// The platform's own: GDI on Windows, the portable back-end elsewhere.
const IGraphics& SystemGraphics();

}  // namespace pavix::platform
