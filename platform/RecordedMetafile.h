#pragma once

#include <string>
#include <variant>
#include <vector>

#include "Graphics.h"

// The portable metafile: the drawing operations as they were made, which can
// be played back onto any canvas or written as an SVG picture.
namespace pavix::platform {

struct TFillOperation {
  TRect rect;
  TColor color = kBlack;
};

struct TTextOperation {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::string text;  // system code page
  TFont font;
  TColor background = kWhite;
  TSize extent;
};

using TDrawOperation = std::variant<TFillOperation, TTextOperation>;

class TRecordedMetafile final : public IMetafile {
 public:
  TRecordedMetafile(std::int32_t width, std::int32_t height, std::vector<TDrawOperation> operations)
      : width_(width), height_(height), operations_(std::move(operations)) {}

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void SetSize(std::int32_t width, std::int32_t height) override {
    width_ = width;
    height_ = height;
  }
  const std::vector<TDrawOperation>& Operations() const { return operations_; }

  void PlayOn(ICanvas& canvas) const;
  // A standalone SVG document of Width() × Height() pixels, in UTF-8.
  std::string Svg() const;

 private:
  std::int32_t width_;
  std::int32_t height_;
  std::vector<TDrawOperation> operations_;
};

class TMetafileRecorder final : public IMetafileRecorder {
 public:
  TMetafileRecorder(std::int32_t width, std::int32_t height, TFont font)
      : width_(width), height_(height), font_(std::move(font)) {}

  const TFont& Font() const override { return font_; }
  void SetFont(const TFont& font) override { font_ = font; }
  void FillRect(const TRect& rect, TColor color) override;
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) override;
  TSize TextExtent(std::string_view text) override;
  std::unique_ptr<IMetafile> Finish() override;

 private:
  std::int32_t width_;
  std::int32_t height_;
  TFont font_;
  std::vector<TDrawOperation> operations_;
  bool finished_ = false;
};

}  // namespace pavix::platform
