// Path and number texts (see path_text.h).
#include "core/path_text.h"

#include <cstdio>

#include "core/sjis.h"
#include "core/texts.h"

namespace core {

bool EndsWithBackslash(std::string_view path) { return sjis::EndsWithChar(path, '\\'); }

void SplitPath(const std::string& path, std::string& drive, std::string& dir, std::string& name, std::string& ext) {
  std::string_view rest(path);
  drive.clear();
  if (rest.size() >= 2 && rest[1] == ':' && !sjis::IsLeadByte(static_cast<unsigned char>(rest[0]))) {
    drive = std::string(rest.substr(0, 2));
    rest.remove_prefix(2);
  }
  size_t sep = sjis::FindLastSeparator(rest);
  std::string_view dirPart = sep == sjis::npos ? std::string_view() : rest.substr(0, sep + 1);
  std::string_view file = sep == sjis::npos ? rest : rest.substr(sep + 1);
  size_t dot = sjis::FindLastChar(file, '.');
  std::string_view namePart = dot == sjis::npos ? file : file.substr(0, dot);
  std::string_view extPart = dot == sjis::npos ? std::string_view() : file.substr(dot);
  // The runtime splitter's buffers: 256 bytes each for directory, name and
  // extension, terminator included.
  constexpr size_t kPartMax = 255;
  dir = sjis::Truncate(dirPart, kPartMax);
  name = sjis::Truncate(namePart, kPartMax);
  ext = sjis::Truncate(extPart, kPartMax);
}

void ShortenPath(std::string& path) {
  std::string drive, dir, name, ext;
  SplitPath(path, drive, dir, name, ext);
  if (dir == "\\" || name.empty()) {
    path = " " + path;
  } else {
    // The last component is shown whole, extension included: a folder named
    // "v1.2" reads as " C:\...\v1.2", not " C:\...\v1".
    path = " " + drive + "\\...\\" + name + ext;
  }
}

std::string FormatGroupedNumber(int64_t value) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%lld", static_cast<long long>(value));
  std::string digits(buf);
  std::string sign;
  if (!digits.empty() && digits[0] == '-') {
    sign = "-";
    digits.erase(0, 1);
  }
  for (size_t pos = digits.size(); pos > 3; pos -= 3) digits.insert(pos - 3, ",");
  return sign + digits;
}

std::string FormatSizeText(int64_t bytes) {
  if (bytes <= 0) return texts::kZeroBytes;
  struct Unit {
    int64_t above;
    double scale;
    const char* name;
  };
  static const Unit kUnits[] = {
      {1073741824LL, 1.0 / 1073741824.0, "GB"},
      {1048576LL, 1.0 / 1048576.0, "MB"},
      {1024LL, 1.0 / 1024.0, "KB"},
  };
  char buf[64];
  for (const Unit& u : kUnits) {
    if (bytes > u.above) {
      double v = static_cast<double>(bytes) * u.scale;
      const char* format = v >= 100 ? "%3.0f" : (v >= 10 ? "%3.1f" : "%3.2f");
      std::snprintf(buf, sizeof(buf), format, v);
      return std::string(buf) + u.name;
    }
  }
  std::snprintf(buf, sizeof(buf), "%3.0f", static_cast<double>(bytes));
  return std::string(buf) + texts::kUnitBytes;
}

}  // namespace core
