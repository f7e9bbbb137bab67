#include "MemoryBitmap.h"
#include "RecordedMetafile.h"

namespace pavix::platform {

namespace {

class TPortableGraphics final : public IGraphics {
 public:
  std::unique_ptr<IBitmap> CreateBitmap(std::int32_t width, std::int32_t height) const override {
    return std::make_unique<TMemoryBitmap>(width, height, DefaultFont());
  }
  std::unique_ptr<IMetafileRecorder> RecordMetafile(std::int32_t width, std::int32_t height) const override {
    return std::make_unique<TMetafileRecorder>(width, height, DefaultFont());
  }
  // One cell of the built-in font.
  TFont DefaultFont() const override { return TFont{"Builtin", 8}; }
};

}  // namespace

const IGraphics& PortableGraphics() {
  static const TPortableGraphics graphics;
  return graphics;
}

}  // namespace pavix::platform
