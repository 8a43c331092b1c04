// The pixel decisions for a display's DPI (ui/dpi_scale.h).
#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

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
    const int s = ui::dpi::ImageScaleIndex(c[0]);
    const int got[] = {c[0], ui::dpi::Scale(18, c[0]), ui::dpi::Scale(650, c[0]), s, ui::dpi::ImageSize(21, s),
                       ui::dpi::ImageSize(16, s), ui::dpi::ImageSize(13, s), ui::dpi::ImageSize(11, s)};
    EXPECT_EQ(std::vector<int>(c, c + 8), std::vector<int>(got, got + 8)) << "dpi " << c[0];
  }
}

}  // namespace
