#include "RecordingClipboard.h"

#include <algorithm>

namespace pavix::platform {

class TRecordingClipboard::TWatch final : public IClipboardWatch {
 public:
  TWatch(TRecordingClipboard& clipboard, TWatcher watcher) : clipboard_(clipboard), watcher_(std::move(watcher)) {
    clipboard_.watchers_.push_back(&watcher_);
  }
  ~TWatch() override { std::erase(clipboard_.watchers_, &watcher_); }
  TWatch(const TWatch&) = delete;
  TWatch& operator=(const TWatch&) = delete;

 private:
  TRecordingClipboard& clipboard_;
  TWatcher watcher_;
};

void TRecordingClipboard::PutText(const std::string& text) {
  text_ = text;
  Changed(TFormat::Text);
}

void TRecordingClipboard::PutBitmap(const IBitmap& bitmap) {
  pictureSize_ = {bitmap.Width(), bitmap.Height()};
  pixels_.assign(bitmap.Pixels().begin(), bitmap.Pixels().end());
  Changed(TFormat::Bitmap);
}

void TRecordingClipboard::PutEnhancedMetafile(const IMetafile& metafile) {
  pictureSize_ = {metafile.Width(), metafile.Height()};
  Changed(TFormat::EnhancedMetafile);
}

void TRecordingClipboard::PutMetafilePicture(const IMetafile& metafile) {
  pictureSize_ = {metafile.Width(), metafile.Height()};
  Changed(TFormat::MetafilePicture);
}

std::unique_ptr<IClipboardWatch> TRecordingClipboard::Watch(std::function<void()> changed,
                                                            std::function<void(const std::exception&)> failed) {
  auto watch = std::make_unique<TWatch>(*this, TWatcher{std::move(changed), std::move(failed)});
  Notify(*watchers_.back());
  return watch;
}

void TRecordingClipboard::Changed(TFormat format) {
  format_ = format;
  // A watcher may end its watch while being told.
  const std::vector<TWatcher*> watchers = watchers_;
  for (TWatcher* watcher : watchers) {
    if (std::find(watchers_.begin(), watchers_.end(), watcher) != watchers_.end()) Notify(*watcher);
  }
}

void TRecordingClipboard::Notify(const TWatcher& watcher) {
  try {
    watcher.changed();
  } catch (const std::exception& error) {
    if (watcher.failed) watcher.failed(error);
  }
}

}  // namespace pavix::platform
