// File and path utilities (see fileutil.h).
#include "engine/fileutil.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/texts.h"
#include "platform/fs.h"
#include "platform/sjis.h"
#include "platform/wildcard.h"

std::string CFileFindEx::GetFilePath() const {
  std::string path = GetRoot();
  if (!sjis::EndsWithChar(path, '\\') && !sjis::EndsWithChar(path, '/')) path += '\\';
  path += GetFileName();
  return path;
}

plat::NativePath GetModuleFolder() {
  plat::NativePath file = plat::ModulePath();
  size_t sep = plat::LastSeparator(file);
  return sep == plat::NativePath::npos ? plat::NativePath() : file.substr(0, sep);
}

int EndsWithBackslash(const std::string& path) { return sjis::EndsWithChar(path, '\\') ? 0 : -1; }

int PathExists(const std::string& path) {
  std::string p = path;
  if (EndsWithBackslash(p) == 0) p.pop_back();
  return plat::GetAttributes(plat::ToNative(p)) != plat::kInvalidAttributes ? 0 : -1;
}

int IsPlainFile(const std::string& path) {
  // A pattern would find some file in a folder, not the file named by path.
  if (path.find_first_of("*?") != std::string::npos) return -1;
  CFileFindEx finder;
  if (!finder.FindFile(path.c_str())) return -1;
  finder.FindNextFile();
  return finder.MatchesMask(plat::kAttrDirectory) ? -1 : 0;
}

int FileExceptionCause(uint32_t systemError) {
  // The file-exception causes: 0 none, 1 generic, 2 not found, 3 bad path,
  // 4 too many open files, 5 access denied, 6 invalid file, 7 remove current
  // directory, 8 directory full, 9 bad seek, 10 hardware I/O, 11 sharing
  // violation, 12 lock violation, 13 disk full, 14 end of file.
  switch (systemError) {
    case 0: return 0;
    case 2: case 18: case 110: return 2;                    // not found, no more files, open failed
    case 3: case 15: case 17: case 34: case 53: case 55:    // path, drive, device, net path
    case 67: case 85: case 111: case 123: case 124: case 125:
    case 144: case 148: case 161: case 206: case 267: return 3;
    case 4: case 36: case 68: case 113: return 4;
    case 5: case 12: case 19: case 29: case 54: case 58: case 64: case 65: case 71: case 80:
    case 82: case 86: case 142: case 170: case 183: return 5;
    case 6: case 11: case 26: case 60: case 66: case 114: case 182: case 188: case 193: return 6;
    case 16: case 145: return 7;
    case 8: case 14: case 62: return 8;                     // out of memory, spool space
    case 24: case 25: case 27: case 30: case 131: case 132: return 9;
    case 21: case 23: case 31: case 57: case 59: case 88: case 117: case 995: case 996: case 997:
      return 10;
    case 32: return 11;
    case 33: case 108: case 167: return 12;
    case 39: case 112: return 13;
    case 38: return 14;
    default: return 1;
  }
}

std::string FileExceptionText(int cause) {
  std::string text = texts::kErrorDetailPrefix;
  constexpr int kCauses = static_cast<int>(sizeof(texts::kFileExceptionCauses) / sizeof(texts::kFileExceptionCauses[0]));
  text += (cause >= 0 && cause < kCauses) ? texts::kFileExceptionCauses[cause] : texts::kFileExceptionUnknown;
  return text;
}

int ReadWholeFile(const plat::NativePath& path, std::string& content, std::string& error, uint64_t maxBytes) {
  // The size as the folder lists it, looked at before anything is allocated: a
  // file above maxBytes is never read. A path the finder does not find as one
  // file goes on to the read, which reports why it cannot be read.
  CFileFindEx finder;
  if (!plat::HasWildcard(path) && finder.FindFile(path)) {
    finder.FindNextFile();
    if (!finder.IsDirectory() && finder.GetLength() > maxBytes) {
      content.clear();
      error = std::string(texts::kErrorDetailPrefix) + texts::kFileTooLarge;
      return -1;
    }
  }
  finder.Close();
  uint32_t err = plat::ReadAll(path, content);
  if (err != plat::kErrSuccess) {
    content.clear();
    error = FileExceptionText(FileExceptionCause(err));
    return -1;
  }
  error.clear();
  return 0;
}

int DeleteMatchingFiles(const plat::NativePath& pattern, std::string& error) {
  CFileFindEx finder;
  int more = finder.FindFile(pattern);
  if (!more) return -1;
  while (more) {
    more = finder.FindNextFile();
    uint32_t err = plat::RemoveFile(finder.GetNativeFilePath());
    if (err != plat::kErrSuccess) {
      error = FileExceptionText(FileExceptionCause(err));
      return -1;
    }
  }
  return 0;
}

// Cuts s to at most limit bytes without splitting a double-byte character.
static std::string CutAt(std::string_view s, size_t limit) {
  if (s.size() <= limit) return std::string(s);
  size_t end = 0;
  while (end < s.size()) {
    size_t len = sjis::CharLen(s, end);
    if (end + len > limit) break;
    end += len;
  }
  return std::string(s.substr(0, end));
}

int SplitPath(const std::string& path, std::string& drive, std::string& dir, std::string& name, std::string& ext) {
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
  dir = CutAt(dirPart, kPartMax);
  name = CutAt(namePart, kPartMax);
  ext = CutAt(extPart, kPartMax);
  return 0;
}

int ShortenPath(std::string& path) {
  std::string drive, dir, name, ext;
  SplitPath(path, drive, dir, name, ext);
  if (dir == "\\" || name.empty()) {
    path = " " + path;
  } else {
    // The last component is shown whole, extension included: a folder named
    // "v1.2" reads as " C:\...\v1.2", not " C:\...\v1".
    path = " " + drive + "\\...\\" + name + ext;
  }
  return 0;
}

int GetLastComponent(const std::string& path, std::string& name) {
  size_t sep = sjis::FindLastChar(path, '\\');
  name = sep == sjis::npos ? path : path.substr(sep + 1);
  return 0;
}

int MatchWildcard(std::string_view pattern, std::string_view text) {
  return wildcard::Match(pattern, text, [&](size_t p, size_t t) { return pattern[p] == text[t]; }) ? 1 : 0;
}

std::string GetSystemErrorText(uint32_t code) { return plat::SystemErrorText(code); }

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

int CountOccurrences(std::string_view text, std::string_view sub, int& count) {
  count = 0;
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (sub.empty()) return 0;
  // Every occurrence counts; only a text of 2 GiB or more could reach the
  // largest int, where the count stays.
  for (size_t pos = text.find(sub); pos != std::string_view::npos && count < INT_MAX; pos = text.find(sub, pos + 1)) {
    ++count;
  }
  return 0;
}
