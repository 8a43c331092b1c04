// Stands in for Larkspan.exe beside the extension under test: records its
// command line and the parameter file as it found it, in one step (written
// aside, then renamed) to standin.txt in its own folder.
#include <windows.h>

#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH] = {};
  const std::string dir(self, ::GetModuleFileNameA(nullptr, self, sizeof(self)) - 12);  // less "Larkspan.exe"
  std::ofstream(dir + "standin.tmp", std::ios::binary) << ::GetCommandLineA() << '\n'
                                                        << std::ifstream(dir + "lkpara.dat", std::ios::binary).rdbuf();
  return ::MoveFileA((dir + "standin.tmp").c_str(), (dir + "standin.txt").c_str()) ? 0 : 1;
}
