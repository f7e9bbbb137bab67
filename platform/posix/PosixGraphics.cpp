#include "Clipboard.h"
#include "Graphics.h"

namespace pavix::platform {

// The server runs headless here: drawing happens in memory and there is no
// clipboard to share pictures through.
const IGraphics& SystemGraphics() { return PortableGraphics(); }

IClipboard* SystemClipboard() { return nullptr; }

}  // namespace pavix::platform
