// larkspan_explorer: plays Explorer's part for scripts (tools/run), with the
// extension that the installer registered.
//   larkspan_explorer call PATH...         right click on PATH... and pick
//                                          "Larkspan ...": prints each step
//                                          (Shift_JIS), the inserted item's
//                                          text and the started program
//   larkspan_explorer wait PID TIMEOUT_MS  waits until process PID has ended;
//                                          prints its exit code
// Exit status: 0 done, 1 a step failed (or the process did not end), 2 bad arguments.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/shellext/explorer_call.h"

namespace {

int Usage() {
  std::fputs("usage: larkspan_explorer call PATH... | wait PID TIMEOUT_MS\n", stderr);
  return 2;
}

// The command line's arguments in the ANSI code page. Taken from the wide
// command line: the C runtime's own parsing of the ANSI one could take the
// second byte of "表" before a closing quote for a backslash escape.
std::vector<std::string> AnsiArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 0; i < count; ++i) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide[i], -1, &arg[0], n, nullptr, nullptr);
    arg.resize(arg.size() - 1);
    args.push_back(arg);
  }
  ::LocalFree(wide);
  return args;
}

int Call(const std::vector<std::string>& paths) {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::fputs("larkspan_explorer: COM could not be initialised\n", stderr);
    return 1;
  }
  shelltest::ExplorerCall call;
  const int result = shelltest::CallAsExplorer(paths, &call);
  const std::string lines = shelltest::DescribeCall(call);
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  std::fflush(stdout);
  ::CoUninitialize();
  return result == 0 ? 0 : 1;
}

int Wait(DWORD pid, DWORD timeoutMs) {
  shelltest::WatchedProcess process(pid);
  if (!process.opened()) {
    std::printf("process %lu: not running (ended already)\n", static_cast<unsigned long>(pid));
    return 0;
  }
  if (!process.WaitExit(timeoutMs)) {
    std::printf("process %lu: still running after %lu ms\n", static_cast<unsigned long>(pid),
                static_cast<unsigned long>(timeoutMs));
    return 1;
  }
  std::printf("process %lu: ended, exit code %lu\n", static_cast<unsigned long>(pid),
              static_cast<unsigned long>(process.ExitCode()));
  return 0;
}

}  // namespace

int main() {
  const std::vector<std::string> args = AnsiArguments();
  if (args.size() < 2) return Usage();
  // Texts and paths go out byte for byte: no "\r\n" for "\n".
  _setmode(_fileno(stdout), _O_BINARY);
  if (args[1] == "call" && args.size() >= 3) return Call(std::vector<std::string>(args.begin() + 2, args.end()));
  if (args[1] == "wait" && args.size() == 4) {
    return Wait(std::strtoul(args[2].c_str(), nullptr, 10), std::strtoul(args[3].c_str(), nullptr, 10));
  }
  return Usage();
}
