// AppSettings: the one settings record of the program (option flags, current
// backup folder) with the four INI primitives through which every access to
// the settings file goes, and the storage of the backup-folder list in the same
// file. The file is Larkspan.ini beside the program; its path is worked out
// anew by every operation and never kept.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/filter.h"

// Most backup folders the list holds (indices 0 to 99).
constexpr int kMaxBkFolders = 100;
// One list array as the callers pass it: 101 strings, index 100 never used.
// An empty folder string at index i means that there is no entry i.
using BkFolderArray = std::array<std::string, kMaxBkFolders + 1>;

class AppSettings {
 public:
  // Strings empty, BkFolderCount and DeleteEmptyFlg 0; the option flags hold
  // their defaults until LoadSettings reads them.
  AppSettings();
  virtual ~AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // --- The record (read and changed directly by the dialogs) ---
  std::string VL;            // version text read from Base/VL; kept, not consulted
  std::string BackupFolder;  // the current backup folder; empty: none set
  int32_t EndMsg;            // 1: show the normal-end message after a verified backup
  int32_t ChangeMiniPathFlg; // 1: the switch menu shows short paths
  int32_t TopFolderDspFlg;   // 1: start-up makes the first registered folder current
  int32_t BkFolderCount;     // entries found by the latest LoadBkFolderList
  int32_t DeleteEmptyFlg;    // while 1, WriteIniString removes a key instead of writing ""

  // --- INI primitives; path is the settings file ---
  // The stored text (at most 1999 bytes), or def if the key, its section or the
  // file is absent.
  std::string ReadIniString(const std::string& section, const std::string& key, const std::string& def,
                            const std::string& path);
  // The stored value as an integer: leading white space skipped, an optional
  // sign and the leading digits converted (beyond the 32-bit range the nearest
  // limit), anything else 0; def if the key is absent.
  int32_t ReadIniInt(const std::string& section, const std::string& key, int32_t def, const std::string& path);
  // Writes value ("" stays as an empty value, except that with DeleteEmptyFlg 1
  // an empty value removes the key). Nonzero on success, 0 on failure.
  int WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path);
  // Writes value in decimal. Nonzero on success, 0 on failure.
  int WriteIniInt(const std::string& section, const std::string& key, int32_t value, const std::string& path);

  // --- Record load and save ---
  // Reads VL, BackupFolder and the three flags; whatever cannot be read takes
  // its default. Always 0.
  int LoadSettings();
  // Writes the version "1.00", BackupFolder and the three flags, all five writes
  // attempted in this order whatever fails. Nonzero if every write succeeded, 0
  // otherwise (the caller tells the user).
  int SaveSettings();

  // --- The backup-folder list (section BkFolderList) ---
  // Reads entries 0, 1, ... up to the first folder key that is absent, empty or
  // "NonFolder" (at most 100) into the arrays, with their four filter lists when
  // loadFilters is nonzero (empty lists otherwise). Sets BkFolderCount to the
  // number found; positions at and after the end are not touched. Always 0.
  int LoadBkFolderList(int loadFilters, BkFolderArray& folders, BkFolderArray& fileIn, BkFolderArray& fileOut,
                       BkFolderArray& folderIn, BkFolderArray& folderOut);
  // Writes entries 0, 1, ... with all five keys each; an empty folder at an index
  // below BkFolderCount removes that index's five keys, one at or above it ends
  // the save. Needs a LoadBkFolderList since the last save. Write results are not
  // examined. Always 0.
  int SaveBkFolderList(const BkFolderArray& folders, const BkFolderArray& fileIn, const BkFolderArray& fileOut,
                       const BkFolderArray& folderIn, const BkFolderArray& folderOut);
  // Reads the five keys of entry index (empty where absent). Always 0; an index
  // outside 0..99 gives five empty strings without reading.
  int ReadBkFolder(int index, std::string& folder, std::string& fileIn, std::string& fileOut, std::string& folderIn,
                   std::string& folderOut);
  // Writes the five keys of entry index (empty lists as empty values). Always
  // 0; results are not examined; an index outside 0..99 writes nothing.
  int WriteBkFolder(int index, const std::string& folder, const std::string& fileIn, const std::string& fileOut,
                    const std::string& folderIn, const std::string& folderOut);

  // The settings file: GetModuleDir() + "\Larkspan.ini", worked out anew on
  // every call (or the test folder's Larkspan.ini, see below).
  std::string SettingsFilePath() const;

  // Test use only: the operations work on Larkspan.ini in folder instead of the
  // program's folder ("" returns to the program's folder).
  void UseFolderForTests(const std::string& folder) { testFolder_ = folder; }

 private:
  std::string testFolder_;
};

// Writes the four lists of filters into every entry of the stored backup-folder
// list whose folder equals settings.BackupFolder exactly (entries read in order
// up to the first empty folder), folder paths unchanged. Always 0; a failed
// write is not reported.
int StoreCurrentFilters(AppSettings& settings, const FilterSet& filters);
