// Other processes' Win32 windows driven as their user works them, for the smoke tests, larkspan_explorer
// (the extension's tests, tools/run) and the whole-program benchmarks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// Calls done every 20 ms until it holds or timeoutMs have passed; true if it held.
bool Poll(const std::function<bool()>& done, DWORD timeoutMs);

// A started program, ended by its handle in the destructor if it still runs.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  // Starts commandLine in folder dir; false (the reason in *error) if it did not start.
  bool Start(const std::wstring& commandLine, const std::wstring& dir, std::string* error);
  DWORD pid() const { return pid_; }
  bool WaitExit(DWORD timeoutMs) const;  // true once the process has ended, waiting at most timeoutMs

 private:
  HANDLE handle_ = nullptr;
  DWORD pid_ = 0;
};

// The first visible top-level window of class className of process pid (0: any), captioned caption ("": any;
// read as Text reads), holding control controlId (0: any) and other than except, polled for at most timeoutMs;
// nullptr if none appeared.
HWND FindWindowOf(DWORD pid, const char* className, const std::string& caption, int controlId, DWORD timeoutMs,
                  HWND except = nullptr);
// The text of control id (of a list view: its first row's first column), read wide and given in Shift_JIS (code
// page 932, "?" for a character it lacks) whatever the ANSI code page is; "" if it did not answer.
std::string Text(HWND dialog, int id);
// Clicks a push button, or with picture a static that notifies clicks; false, without clicking, if it is absent,
// hidden or disabled, as for a user.
bool Click(HWND dialog, int id, bool picture = false);

// A message box as shown: text (as Text reads it), icon ("stop", "exclamation", "information", "question" or
// "unknown"). AnswerBox reads the box captioned "Larkspan" of process pid (0: any) and answers it with button
// (IDOK, IDYES ...); shown false if none appeared.
struct Box { bool shown = false; std::string text, icon; };
Box AnswerBox(DWORD pid, int button, DWORD timeoutMs);

}  // namespace e2e
