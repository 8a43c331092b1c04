// The pixel decisions for a display's DPI (see dpi_scale.h).
#include "ui/dpi_scale.h"

namespace ui {

namespace dpi {

namespace {
// The scaled bitmaps' identifiers lie this far apart (ui/res/scaled_images.rc).
constexpr int kScaledIdStep = 1000;
}  // namespace

int Scale(int px, int dpi) { return (px * dpi + kBase / 2) / kBase; }

int ImageScaleIndex(int dpi) {
  int index = 0;
  for (int i = 1; i < kImageScaleCount; ++i) {
    if (kImageScales[i] * kBase <= dpi * 100) index = i;
  }
  return index;
}

int ScaledImageId(int baseId, int scaleIndex) { return baseId + kScaledIdStep * scaleIndex; }

int ImageSize(int basePx, int scaleIndex) { return Scale(basePx, kBase * kImageScales[scaleIndex] / 100); }

}  // namespace dpi

}  // namespace ui
