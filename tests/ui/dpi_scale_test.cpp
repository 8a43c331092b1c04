// The pixel decisions for a display's DPI (ui/dpi_scale.h) and the bitmaps drawn for them (ui/res).
#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ui/resource.h"

namespace {

// At a DPI: the label's 18 px widening, the list's 650 px column, the drawn scale chosen (the largest not above
// the DPI) and the sides of the 21, 16, 13 and 11 px bitmaps at that scale.
TEST(Dpi, SizesAndTheImagesChosen) {
  struct Case { int dpi, widening, column, scale, s21, s16, s13, s11; } cases[] = {
      {96, 18, 650, 0, 21, 16, 13, 11},   {120, 23, 813, 1, 26, 20, 16, 14},  {144, 27, 975, 2, 32, 24, 20, 17},
      {168, 32, 1138, 2, 32, 24, 20, 17}, {192, 36, 1300, 3, 42, 32, 26, 22}, {240, 45, 1625, 4, 53, 40, 33, 28},
      {72, 14, 488, 0, 21, 16, 13, 11},   {288, 54, 1950, 4, 53, 40, 33, 28}};
  for (const Case& c : cases) {
    const int scale = dpi::ImageScaleIndex(c.dpi);
    EXPECT_EQ(std::to_string(c.widening) + " " + std::to_string(c.column) + " " + std::to_string(c.scale) + " " +
                  std::to_string(c.s21) + " " + std::to_string(c.s16) + " " + std::to_string(c.s13) + " " +
                  std::to_string(c.s11),
              std::to_string(dpi::Scale(18, c.dpi)) + " " + std::to_string(dpi::Scale(650, c.dpi)) + " " +
                  std::to_string(scale) + " " + std::to_string(dpi::ImageSize(21, scale)) + " " +
                  std::to_string(dpi::ImageSize(16, scale)) + " " + std::to_string(dpi::ImageSize(13, scale)) + " " +
                  std::to_string(dpi::ImageSize(11, scale)))
        << "dpi " << c.dpi;
  }
}

// Every bitmap at every scale: named in the resource script under the identifier the program loads, its height
// the side the program lays out (the list strip's too), its width that side or, for the strip, 4 images and more.
TEST(Dpi, BitmapsDrawnAtEveryScale) {
#ifdef _WIN32
  const std::string res = "Z:" LARKSPAN_UI_RES "/";
#else
  const std::string res = LARKSPAN_UI_RES "/";
#endif
  std::ifstream rcFile(res + "scaled_images.rc");
  const std::string rc((std::istreambuf_iterator<char>(rcFile)), std::istreambuf_iterator<char>());
  const struct { const char* stem; int id, side; } bitmaps[] = {
      {"folder", IDB_FOLDER, 21}, {"file", IDB_FILE, 21}, {"file_none", IDB_FILE_NONE, 21},
      {"folder_none", IDB_FOLDER_NONE, 21}, {"switch", IDB_SWITCH, 16}, {"switch_pressed", IDB_SWITCH_PRESSED, 16},
      {"filter", IDB_FILTER, 16}, {"filter_pressed", IDB_FILTER_PRESSED, 16}, {"list_images", IDB_LIST_IMAGES, 13},
      {"menu_filter", IDB_MENU_FILTER, 11}, {"menu_filter_checked", IDB_MENU_FILTER_CHECKED, 11},
      {"menu_check", IDB_MENU_CHECK, 11}};
  for (const auto& b : bitmaps) {
    for (int scale = 0; scale < dpi::kImageScaleCount; ++scale) {
      const std::string name = std::string(b.stem) + (scale ? "_" + std::to_string(dpi::kImageScales[scale]) : "");
      if (scale) {
        const std::string line = std::to_string(dpi::ScaledImageId(b.id, scale)) + " BITMAP \"res/" + name + ".bmp\"";
        EXPECT_NE(std::string::npos, rc.find(line + "\n")) << line;
      }
      std::ifstream bmp(res + name + ".bmp", std::ios::binary);
      unsigned char header[26] = {};
      bmp.read(reinterpret_cast<char*>(header), sizeof(header));
      const int width = header[18] | header[19] << 8, height = header[22] | header[23] << 8;
      const int side = dpi::ImageSize(b.side, scale);
      EXPECT_EQ(std::to_string(side) + "x" + std::to_string(side),
                std::to_string(b.id == IDB_LIST_IMAGES && width > 4 * side ? side : width) + "x" + std::to_string(height))
          << name;
    }
  }
}

}  // namespace
