// A registered backup folder: the folder and its four filter lists, as the
// settings file stores it, the dialogs edit it, the switch menu shows it and
// the main window counts and backs up with it. One type wherever it travels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Most backup folders the list holds (keys 000 to 099).
constexpr int kMaxBkFolders = 100;

struct BackupFolder {
  std::string Folder;
  std::string FilterFileIn;
  std::string FilterFileOut;
  std::string FilterFolderIn;
  std::string FilterFolderOut;

  // True if one of the four lists is not empty (the filter indicator shows).
  bool HasFilters() const {
    return !FilterFileIn.empty() || !FilterFileOut.empty() || !FilterFolderIn.empty() || !FilterFolderOut.empty();
  }
  bool operator==(const BackupFolder& o) const {
    return Folder == o.Folder && FilterFileIn == o.FilterFileIn && FilterFileOut == o.FilterFileOut &&
           FilterFolderIn == o.FilterFolderIn && FilterFolderOut == o.FilterFolderOut;
  }
};

// The registered folders in stored order, at most kMaxBkFolders.
using BackupFolderList = std::vector<BackupFolder>;

// Index of the first entry whose folder equals folder byte for byte, or -1.
inline int FindBackupFolder(const BackupFolderList& list, std::string_view folder) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].Folder == folder) return static_cast<int>(i);
  return -1;
}

}  // namespace core
