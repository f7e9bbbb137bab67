#pragma once

#include "GdiHandles.h"
#include "Graphics.h"

// An enhanced metafile of the system, as the GDI back-end records it.
namespace pavix::platform {

class TGdiMetafile final : public IMetafile {
 public:
  TGdiMetafile(UniqueEnhMetafile handle, std::int32_t width, std::int32_t height)
      : handle_(std::move(handle)), width_(width), height_(height) {}

  HENHMETAFILE Handle() const { return handle_.get(); }
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void SetSize(std::int32_t width, std::int32_t height) override {
    width_ = width;
    height_ = height;
  }

 private:
  UniqueEnhMetafile handle_;
  std::int32_t width_;
  std::int32_t height_;
};

// Pixels of the screen -> 0.01 mm, the unit of metafile frames and of
// metafile-picture extents.
LONG ScreenPixelsToHundredthsMm(HDC screen, std::int32_t pixels, bool horizontal);

}  // namespace pavix::platform
