// The pixel decisions of the windows for a display's DPI: sizes laid out in
// pixels at 96 DPI (100 %) scaled to the window's DPI, and which of the drawn
// sizes of a bitmap a window shows. Portable; the windows ask the system for
// their DPI and pass it here.
#pragma once

namespace ui {

namespace dpi {

// The DPI of a 100 % display, at which every pixel size below is given.
constexpr int kBase = 96;

// px (a size at 96 DPI) at dpi, rounded half up as MulDiv rounds; px itself at 96.
int Scale(int px, int dpi);

// The scales every bitmap is drawn at (ui/res/make_images.py), in percent;
// index 0 is the bitmap's own resource.
constexpr int kImageScales[] = {100, 125, 150, 200, 250};
constexpr int kImageScaleCount = static_cast<int>(sizeof(kImageScales) / sizeof(kImageScales[0]));

// The index in kImageScales of the bitmaps for dpi: the largest drawn scale
// not above it, so that an image never outgrows the room laid out for it
// (100 % below 96 DPI).
int ImageScaleIndex(int dpi);

// The resource identifier of bitmap baseId drawn at scale index (baseId itself at 0).
int ScaledImageId(int baseId, int scaleIndex);

// The side in pixels of a bitmap of side basePx drawn at scale index.
int ImageSize(int basePx, int scaleIndex);

}  // namespace dpi

}  // namespace ui
