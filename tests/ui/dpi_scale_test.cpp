// The pixel decisions for a display's DPI (ui/dpi_scale.h) and the bitmaps drawn for them (ui/res).
#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// At a DPI: the label's widening of 18 px, the list's column of 650 px, the drawn scale chosen (the largest not
// above the DPI) and the sides of the 21, 16, 13 and 11 px bitmaps at that scale.
TEST(Dpi, SizesAndTheImagesChosen) {
  const int cases[][8] = {{96, 18, 650, 0, 21, 16, 13, 11},   {120, 23, 813, 1, 26, 20, 16, 14},
                          {144, 27, 975, 2, 32, 24, 20, 17},  {168, 32, 1138, 2, 32, 24, 20, 17},
                          {192, 36, 1300, 3, 42, 32, 26, 22}, {240, 45, 1625, 4, 53, 40, 33, 28},
                          {72, 14, 488, 0, 21, 16, 13, 11},   {288, 54, 1950, 4, 53, 40, 33, 28}};
  for (const auto& c : cases) {
    const int s = dpi::ImageScaleIndex(c[0]);
    const int got[] = {c[0], dpi::Scale(18, c[0]), dpi::Scale(650, c[0]), s, dpi::ImageSize(21, s),
                       dpi::ImageSize(16, s), dpi::ImageSize(13, s), dpi::ImageSize(11, s)};
    EXPECT_EQ(std::vector<int>(c, c + 8), std::vector<int>(got, got + 8)) << "dpi " << c[0];
  }
}

// Every bitmap at every scale (ui/res/scaled_images.rc names them for the program): its height the side the program
// lays out, its width that side (the list's strip: more than 4 images).
TEST(Dpi, BitmapsDrawnAtEveryScale) {
  const std::string res = std::string(LARKSPAN_WINDOWS ? "Z:" : "") + LARKSPAN_UI_RES "/";
  const struct { const char* stem; int side; } bitmaps[] = {{"folder", 21}, {"file", 21}, {"file_none", 21},
      {"folder_none", 21}, {"switch", 16}, {"switch_pressed", 16}, {"filter", 16}, {"filter_pressed", 16},
      {"list_images", 13}, {"menu_filter", 11}, {"menu_filter_checked", 11}, {"menu_check", 11}};
  for (const auto& b : bitmaps) {
    for (int s = 0; s < dpi::kImageScaleCount; ++s) {
      const std::string name = b.stem + (s ? "_" + std::to_string(dpi::kImageScales[s]) : "") + ".bmp";
      unsigned char h[26] = {};
      std::ifstream(res + name, std::ios::binary).read(reinterpret_cast<char*>(h), sizeof(h));
      const int width = h[18] | h[19] << 8, height = h[22] | h[23] << 8, side = dpi::ImageSize(b.side, s);
      EXPECT_EQ(side * 1001, (b.side == 13 && width > 4 * side ? side : width) * 1000 + height) << name;
    }
  }
}

}  // namespace
