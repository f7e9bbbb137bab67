#pragma once

#include <memory>

#include "uJSON.h"

namespace pavix {

// A short receipt in ESC/POS, the language of most receipt printers: reset,
// a few lines of text, feed and cut. Shaped as the app sends jobs.
std::unique_ptr<TJSONlist> MakeSampleJob();

}  // namespace pavix
