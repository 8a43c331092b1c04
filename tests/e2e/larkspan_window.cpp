// larkspan_window: drives the main window of a running Larkspan.exe from the
// command line, for scripts (tools/run).
//   larkspan_window wait [timeout_ms]  waits until the window shows its totals;
//                                      prints "window L T R B" (screen
//                                      rectangle), then "ID<TAB>text" for the
//                                      counts, totals and backup folder
//                                      (Shift_JIS bytes)
//   larkspan_window click ID           clicks push button ID (1: start)
//   larkspan_window close              closes the window as its close box does
// Exit status: 0 done, 1 no window (or the button could not be clicked), 2 bad arguments.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/main_window.h"

namespace {

constexpr DWORD kDefaultTimeoutMs = 20000;
constexpr int kTotalFiles = 1014;
constexpr int kShownControls[] = {1002, 1006, 1008, 1014, 1009};

int Usage() {
  std::fputs("usage: larkspan_window wait [timeout_ms] | click ID | close\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  DWORD timeoutMs = kDefaultTimeoutMs;
  if (command == "wait" && argc == 3) timeoutMs = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
  if (!((command == "wait" && argc <= 3) || (command == "click" && argc == 3) || (command == "close" && argc == 2))) {
    return Usage();
  }
  HWND dialog = e2e::WaitForMainWindow(0, timeoutMs);
  if (!dialog) {
    std::fprintf(stderr, "larkspan_window: no Larkspan main window within %lu ms\n",
                 static_cast<unsigned long>(timeoutMs));
    return 1;
  }
  if (command == "click") {
    if (e2e::ClickButton(dialog, std::atoi(argv[2]))) return 0;
    std::fprintf(stderr, "larkspan_window: button %s cannot be clicked\n", argv[2]);
    return 1;
  }
  if (command == "close") {
    e2e::PostClose(dialog);
    return 0;
  }
  if (!e2e::WaitForControlText(dialog, kTotalFiles, [](const std::string& t) { return t != "算出中"; }, timeoutMs)) {
    std::fputs("larkspan_window: the totals were not shown\n", stderr);
    return 1;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  RECT rect = {};
  ::GetWindowRect(dialog, &rect);
  std::printf("window %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  for (int id : kShownControls) std::printf("%d\t%s\n", id, e2e::ControlText(dialog, id).c_str());
  return 0;
}
