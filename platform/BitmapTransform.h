#pragma once

#include <cstdint>

#include "Graphics.h"

// Turning and mirroring a bitmap in place, pixel by pixel over its scan lines.
namespace pavix::platform {

// 90, 180 or 270 degrees clockwise; for 90 and 270 width and height change
// places. Other angles leave the bitmap as it is.
void RotateClockwise(IBitmap& bitmap, std::int32_t angle);

// Left to right.
void MirrorLeftRight(IBitmap& bitmap);

// Draws `source` scaled into the whole of `target`, each target pixel taking
// the source pixel under it (no blending: a module stays black or white).
void StretchDraw(const IBitmap& source, IBitmap& target);

}  // namespace pavix::platform
