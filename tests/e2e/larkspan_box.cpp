// larkspan_box: reads or dismisses the message box of a running Larkspan.exe
// from the command line, for scripts (tools/run).
//   larkspan_box read [timeout_ms]   waits for the box; prints its icon on the
//                                    first line, then its text (Shift_JIS bytes)
//   larkspan_box ok [timeout_ms]     presses OK and waits until the box is gone
// Exit status: 0 done, 1 no box (or it did not close), 2 bad arguments.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/e2e/message_box.h"

namespace {

constexpr char kCaption[] = "Larkspan";
constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr DWORD kIconTimeoutMs = 2000;

int Usage() {
  std::fputs("usage: larkspan_box read|ok [timeout_ms]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return Usage();
  const std::string command = argv[1];
  const DWORD timeoutMs = argc == 3 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : kDefaultTimeoutMs;
  if (command != "read" && command != "ok") return Usage();

  HWND box = e2e::WaitForMessageBox(kCaption, 0, timeoutMs);
  if (!box) {
    std::fprintf(stderr, "larkspan_box: no message box captioned \"%s\" within %lu ms\n", kCaption,
                 static_cast<unsigned long>(timeoutMs));
    return 1;
  }
  if (command == "ok") {
    if (e2e::PressButton(box, IDOK, timeoutMs)) return 0;
    std::fputs("larkspan_box: the message box did not close\n", stderr);
    return 1;
  }
  // The text goes out byte for byte: no "\r\n" for "\n".
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string text = e2e::MessageBoxText(box);
  std::printf("%s\n", e2e::BoxIconName(e2e::IdentifyMessageBoxIcon(box, kIconTimeoutMs)));
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputs("\n", stdout);
  return 0;
}
