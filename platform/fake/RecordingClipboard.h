#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Clipboard.h"

// A clipboard in memory for the tests: it keeps what was put last and lets a
// test play another program that changes the contents.
namespace pavix::platform {

class TRecordingClipboard final : public IClipboard {
 public:
  enum class TFormat { None, Text, Bitmap, EnhancedMetafile, MetafilePicture };

  std::optional<std::string> Text() override { return format_ == TFormat::Text ? text_ : std::optional<std::string>(); }
  void PutText(const std::string& text) override;
  void PutBitmap(const IBitmap& bitmap) override;
  void PutEnhancedMetafile(const IMetafile& metafile) override;
  void PutMetafilePicture(const IMetafile& metafile) override;
  std::unique_ptr<IClipboardWatch> Watch(std::function<void()> changed,
                                         std::function<void(const std::exception&)> failed) override;

  TFormat Format() const { return format_; }
  TSize PictureSize() const { return pictureSize_; }
  const std::vector<std::uint32_t>& BitmapPixels() const { return pixels_; }
  std::size_t Watchers() const { return watchers_.size(); }

 private:
  struct TWatcher {
    std::function<void()> changed;
    std::function<void(const std::exception&)> failed;
  };
  class TWatch;

  void Changed(TFormat format);
  static void Notify(const TWatcher& watcher);

  TFormat format_ = TFormat::None;
  std::string text_;
  TSize pictureSize_;
  std::vector<std::uint32_t> pixels_;
  std::vector<TWatcher*> watchers_;
};

}  // namespace pavix::platform
