// LoadBkFolderList of 100 entries with their filters (the backup-folder
// settings dialog opening), without filters (the switch menu opening), and
// ReadBkFolder of one entry, on Larkspan.ini beside this program; the file is
// removed afterwards, and the program refuses to run if one is already there.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "settings/bkfolder_list.h"
#include "bench/bench_util.h"

namespace {

double MedianMs(int rounds, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    double t0 = bench::Now();
    work();
    times.push_back((bench::Now() - t0) * 1000);
  }
  return bench::Median(times);
}

}  // namespace

int main() {
  const plat::NativePath path = settings::ini::SettingsFilePath();
  std::string kept;
  if (plat::ReadAll(path, kept) == plat::kErrSuccess) {
    std::printf("%s exists already; not touching it\n", plat::FromNative(path).c_str());
    return 2;
  }

  core::BackupFolderList list;
  settings::LoadBkFolderList(true, list);
  for (size_t i = 0; i < 100; ++i) {
    list.push_back(core::BackupFolder{"D:\\バックアップ\\保存先" + std::to_string(i), i % 2 ? "*.txt;*.ini;*.doc" : "",
                                i % 2 ? "" : "*.bak;*.tmp", i % 3 ? "" : "Debug;Release", i % 3 ? "obj;.git" : ""});
  }
  double saveMs = MedianMs(1, [&] { settings::SaveBkFolderList(list); });

  core::BackupFolderList out;
  double withFilters = MedianMs(11, [&] { settings::LoadBkFolderList(true, out); });
  double withoutFilters = MedianMs(11, [&] { settings::LoadBkFolderList(false, out); });
  core::BackupFolder entry;
  double one = MedianMs(11, [&] { settings::ReadBkFolder(99, entry); });
  std::string file;
  plat::ReadAll(path, file);

  std::printf("settings file %s (%zu bytes, %zu entries)\n", plat::FromNative(path).c_str(), file.size(), out.size());
  std::printf("SaveBkFolderList, 100 entries (500 writes):      %8.2f ms\n", saveMs);
  std::printf("LoadBkFolderList with filters (500 reads):       %8.2f ms\n", withFilters);
  std::printf("LoadBkFolderList without filters (100 reads):    %8.2f ms\n", withoutFilters);
  std::printf("ReadBkFolder of one entry (5 reads):             %8.3f ms\n", one);

  plat::RemoveFile(path);
  return 0;
}
