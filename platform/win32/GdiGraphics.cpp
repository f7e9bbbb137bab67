// The GDI back-end: 32-bit DIB sections drawn through a memory DC, enhanced
// metafiles recorded against the screen, fonts of the system.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "Exception.h"
#include "GdiMetafile.h"
#include "Win32ErrorText.h"

namespace pavix::platform {

namespace {

[[noreturn]] void Fail(const std::string& step) {
  throw Exception(step + ": " + Win32ErrorText(::GetLastError()));
}

UniqueFont MakeFont(const TFont& font) {
  LOGFONTA log{};
  log.lfHeight = font.height;  // positive: the cell height
  log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  log.lfItalic = font.italic;
  log.lfUnderline = font.underline;
  log.lfCharSet = DEFAULT_CHARSET;
  log.lfQuality = NONANTIALIASED_QUALITY;
  font.name.copy(log.lfFaceName, LF_FACESIZE - 1);
  UniqueFont handle(::CreateFontIndirectA(&log));
  if (!handle) Fail("CreateFontIndirect");
  return handle;
}

// The font, text colour and opaque background of a canvas on `dc`.
class TGdiText {
 public:
  TGdiText(HDC dc, TFont font) : dc_(dc), font_(std::move(font)), handle_(MakeFont(font_)) {
    original_ = ::SelectObject(dc_, handle_.get());
  }
  // A font still selected into a DC cannot be freed.
  ~TGdiText() { ::SelectObject(dc_, original_); }
  TGdiText(const TGdiText&) = delete;
  TGdiText& operator=(const TGdiText&) = delete;
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) {
    UniqueFont handle = MakeFont(font);
    ::SelectObject(dc_, handle.get());
    handle_ = std::move(handle);
    font_ = font;
  }
  void Out(std::int32_t x, std::int32_t y, std::string_view text, TColor background) {
    ::SetTextColor(dc_, font_.color);
    ::SetBkColor(dc_, background);
    ::SetBkMode(dc_, OPAQUE);
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
  }
  TSize Extent(std::string_view text) const {
    if (text.empty()) return {};
    SIZE size{};
    ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
  }

 private:
  HDC dc_;
  TFont font_;
  UniqueFont handle_;  // selected into dc_ while it lives
  HGDIOBJ original_ = nullptr;
};

void Fill(HDC dc, const TRect& rect, TColor color) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  const RECT area{rect.left, rect.top, rect.right, rect.bottom};
  const UniqueBrush brush(::CreateSolidBrush(color));
  ::FillRect(dc, &area, brush.get());
}

class TGdiBitmap final : public IBitmap {
 public:
  TGdiBitmap(std::int32_t width, std::int32_t height, const TFont& font)
      : dc_(::CreateCompatibleDC(nullptr)), text_(dc_.get(), font) {
    if (!dc_) Fail("CreateCompatibleDC");
    // The memory DC's own 1 × 1 bitmap, selected back before ours is freed.
    original_ = static_cast<HBITMAP>(::GetCurrentObject(dc_.get(), OBJ_BITMAP));
    SetSize(width, height);
  }
  ~TGdiBitmap() override { ::SelectObject(dc_.get(), original_); }
  TGdiBitmap(const TGdiBitmap&) = delete;
  TGdiBitmap& operator=(const TGdiBitmap&) = delete;

  const TFont& Font() const override { return text_.Font(); }
  void SetFont(const TFont& font) override { text_.SetFont(font); }
  void FillRect(const TRect& rect, TColor color) override {
    if (bitmap_) Fill(dc_.get(), rect, color);
  }
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) override {
    if (bitmap_) text_.Out(x, y, text, background);
  }
  TSize TextExtent(std::string_view text) override { return text_.Extent(text); }

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }

  void SetSize(std::int32_t width, std::int32_t height) override {
    if (width < 0 || height < 0) throw std::invalid_argument("negative bitmap size");
    UniqueBitmap bitmap;
    std::uint32_t* bits = nullptr;
    if (width > 0 && height > 0) {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = -height;  // rows top first
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      void* memory = nullptr;
      bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
      if (!bitmap) Fail("CreateDIBSection");
      bits = static_cast<std::uint32_t*>(memory);
      std::fill_n(bits, static_cast<std::size_t>(width) * height, PixelOf(kWhite));
      ::GdiFlush();
      const std::int32_t keepWidth = std::min(width, width_);
      for (std::int32_t y = 0; y < std::min(height, height_); ++y) {
        std::memcpy(bits + static_cast<std::size_t>(y) * width, bits_ + static_cast<std::size_t>(y) * width_,
                    static_cast<std::size_t>(keepWidth) * sizeof *bits);
      }
    }
    ::SelectObject(dc_.get(), bitmap ? bitmap.get() : original_);
    bitmap_ = std::move(bitmap);
    bits_ = bits;
    width_ = width;
    height_ = height;
  }

  std::span<std::uint32_t> Pixels() override {
    ::GdiFlush();  // GDI may still be drawing into the bits
    return {bits_, bits_ ? static_cast<std::size_t>(width_) * height_ : 0};
  }
  std::span<const std::uint32_t> Pixels() const override {
    ::GdiFlush();
    return {bits_, bits_ ? static_cast<std::size_t>(width_) * height_ : 0};
  }

 private:
  UniqueDc dc_;
  TGdiText text_;
  HBITMAP original_ = nullptr;
  UniqueBitmap bitmap_;
  std::uint32_t* bits_ = nullptr;  // owned by bitmap_
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

HDC CreateMetafileDc(std::int32_t width, std::int32_t height) {
  const ScreenDc screen;
  const RECT frame{0, 0, ScreenPixelsToHundredthsMm(screen.get(), width, true),
                   ScreenPixelsToHundredthsMm(screen.get(), height, false)};
  HDC dc = ::CreateEnhMetaFileA(screen.get(), nullptr, &frame, nullptr);
  if (dc == nullptr) Fail("CreateEnhMetaFile");
  return dc;
}

class TGdiMetafileRecorder final : public IMetafileRecorder {
 public:
  TGdiMetafileRecorder(std::int32_t width, std::int32_t height, const TFont& font)
      : width_(width), height_(height), dc_(CreateMetafileDc(width, height)), text_(dc_, font) {}
  ~TGdiMetafileRecorder() override {
    if (dc_ != nullptr) ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc_));
  }
  TGdiMetafileRecorder(const TGdiMetafileRecorder&) = delete;
  TGdiMetafileRecorder& operator=(const TGdiMetafileRecorder&) = delete;

  const TFont& Font() const override { return text_.Font(); }
  void SetFont(const TFont& font) override { text_.SetFont(font); }
  void FillRect(const TRect& rect, TColor color) override {
    if (dc_ != nullptr) Fill(dc_, rect, color);
  }
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) override {
    if (dc_ != nullptr) text_.Out(x, y, text, background);
  }
  TSize TextExtent(std::string_view text) override { return text_.Extent(text); }

  std::unique_ptr<IMetafile> Finish() override {
    UniqueEnhMetafile handle(::CloseEnhMetaFile(std::exchange(dc_, nullptr)));
    if (!handle) Fail("CloseEnhMetaFile");
    return std::make_unique<TGdiMetafile>(std::move(handle), width_, height_);
  }

 private:
  std::int32_t width_;
  std::int32_t height_;
  HDC dc_;  // the recording; closed by Finish or the destructor
  TGdiText text_;
};

class TGdiGraphics final : public IGraphics {
 public:
  std::unique_ptr<IBitmap> CreateBitmap(std::int32_t width, std::int32_t height) const override {
    return std::make_unique<TGdiBitmap>(width, height, DefaultFont());
  }
  std::unique_ptr<IMetafileRecorder> RecordMetafile(std::int32_t width, std::int32_t height) const override {
    return std::make_unique<TGdiMetafileRecorder>(width, height, DefaultFont());
  }
  // The user interface's font, with its cell height on the screen.
  TFont DefaultFont() const override {
    LOGFONTA log{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof log, &log);
    TFont font{log.lfFaceName, 0};
    const ScreenDc screen;
    const HGDIOBJ old = ::SelectObject(screen.get(), ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(screen.get(), &metrics);
    ::SelectObject(screen.get(), old);
    font.height = metrics.tmHeight > 0 ? metrics.tmHeight : 13;
    return font;
  }
};

}  // namespace

LONG ScreenPixelsToHundredthsMm(HDC screen, std::int32_t pixels, bool horizontal) {
  const int millimetres = ::GetDeviceCaps(screen, horizontal ? HORZSIZE : VERTSIZE);
  const int resolution = ::GetDeviceCaps(screen, horizontal ? HORZRES : VERTRES);
  if (millimetres <= 0 || resolution <= 0) return pixels * 2540 / 96;  // 96 dots per inch
  return static_cast<LONG>(static_cast<long long>(pixels) * millimetres * 100 / resolution);
}

const IGraphics& SystemGraphics() {
  static const TGdiGraphics graphics;
  return graphics;
}

}  // namespace pavix::platform
