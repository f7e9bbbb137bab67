#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Graphics.h"

// The system clipboard and its change notifications. Texts are in the
// system code page.
namespace pavix::platform {

// Notifications last as long as this object.
class IClipboardWatch {
 public:
  virtual ~IClipboardWatch() = default;
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // The plain text on the clipboard, nothing when it holds none.
  virtual std::optional<std::string> Text() = 0;
  virtual void PutText(const std::string& text) = 0;
  // The bitmap format.
  virtual void PutBitmap(const IBitmap& bitmap) = 0;
  // The enhanced-metafile format, of a metafile made by SystemGraphics().
  virtual void PutEnhancedMetafile(const IMetafile& metafile) = 0;
  // The old metafile format in a metafile-picture block: anisotropic mapping,
  // extents in 0.01 mm, of a metafile made by SystemGraphics().
  virtual void PutMetafilePicture(const IMetafile& metafile) = 0;
  // `changed` runs on the user-interface thread for every change of the
  // contents, and once when the watch starts (as the system announces a new
  // watcher). Whatever it throws goes to `failed` and no further.
  virtual std::unique_ptr<IClipboardWatch> Watch(std::function<void()> changed,
                                                 std::function<void(const std::exception&)> failed) = 0;
};

// The system clipboard, or nullptr where the platform offers none to a
// program like this (POSIX: no display server is assumed).
IClipboard* SystemClipboard();

}  // namespace pavix::platform
