#pragma once

#include <memory>

#include "Graphics.h"

// What the symbol control shows: nothing, a bitmap or a metafile.
namespace pavix::qr {

class TQRPicture {
 public:
  bool HasGraphic() const { return bitmap_ != nullptr || metafile_ != nullptr; }
  platform::IBitmap* Bitmap() const { return bitmap_.get(); }
  platform::IMetafile* Metafile() const { return metafile_.get(); }

  void SetBitmap(std::unique_ptr<platform::IBitmap> bitmap) {
    metafile_.reset();
    bitmap_ = std::move(bitmap);
  }
  void SetMetafile(std::unique_ptr<platform::IMetafile> metafile) {
    bitmap_.reset();
    metafile_ = std::move(metafile);
  }
  void Clear() {
    bitmap_.reset();
    metafile_.reset();
  }

 private:
  std::unique_ptr<platform::IBitmap> bitmap_;
  std::unique_ptr<platform::IMetafile> metafile_;
};

}  // namespace pavix::qr
