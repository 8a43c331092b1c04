// Stand-in for Larkspan.exe in the extension's tests: records how it was
// started and what the parameter file held at that moment, then ends. The
// record appears in one step (written aside, then renamed), as its last act.
//   <own folder>\standin_seen.dat  the bytes of <own folder>\lkpara.dat ("<missing>" if none)
//   <own folder>\standin_call.txt  process id, own file name and command line, one per line
#include <windows.h>

#include <string>

#include "tests/shellext/com_support.h"

namespace {

// The folder of file, ending with its backslash; character-wise, as the
// second byte of a double-byte character may be 0x5C.
std::string FolderOf(const std::string& file) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < file.size(); ++i) {
    if (::IsDBCSLeadByteEx(932, static_cast<unsigned char>(file[i])) && i + 1 < file.size()) {
      ++i;
    } else if (file[i] == '\\') {
      last = i;
    }
  }
  return last == std::string::npos ? std::string() : file.substr(0, last + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using shelltest::WriteFileBytes;
  char name[4096] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, name, sizeof(name));
  const std::string self(name, n < sizeof(name) ? n : 0);
  const std::string folder = FolderOf(self);
  if (folder.empty()) return 1;
  if (!WriteFileBytes(folder + "standin_seen.dat", shelltest::ReadBytes(folder + "lkpara.dat"))) return 2;
  const std::string record = std::to_string(::GetCurrentProcessId()) + "\n" + self + "\n" + ::GetCommandLineA() + "\n";
  const std::string aside = folder + "standin_call.tmp";
  if (!WriteFileBytes(aside, record)) return 3;
  if (!::MoveFileExA(aside.c_str(), (folder + "standin_call.txt").c_str(), MOVEFILE_REPLACE_EXISTING)) return 4;
  return 0;
}
