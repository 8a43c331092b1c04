// The causes of a failed file operation and their texts (see file_error.h).
#include "engine/file_error.h"

#include <iterator>

#include "engine/texts.h"

namespace engine {

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
  constexpr int kCauses = static_cast<int>(std::size(texts::kFileExceptionCauses));
  text += (cause >= 0 && cause < kCauses) ? texts::kFileExceptionCauses[cause] : texts::kFileExceptionUnknown;
  return text;
}

}  // namespace engine
