// Explorer's part in the main job, played by a test program: the installed
// extension is found through its registration, loaded, created, initialised
// with a CF_HDROP selection, asked for its menu item and invoked, and the
// program it started is found among this process's children.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/shellext/com_support.h"

namespace shelltest {

// What the registration says about the context-menu handler "Larkspan" of one
// class of shell items.
struct Registration {
  std::string itemClass;       // "*" (files) or "Directory" (folders)
  std::string handlerKey;      // where the handler was found, with its root ("HKCU\...")
  std::string classId;         // the handler key's default value
  std::string serverKey;       // where the in-process server was found, with its root
  std::string server;          // the library's full path
  std::string threadingModel;  // "Apartment" for ours
};

// Everything one call as Explorer showed. Results are the raw HRESULTs; a
// step that was not reached keeps E_UNEXPECTED.
struct ExplorerCall {
  Registration reg;
  std::string failure;  // the first step that failed, in words; empty when all went through
  DWORD loadError = 0;  // GetLastError of a failed LoadLibrary
  std::string loadedFrom;  // GetModuleFileName of the loaded library
  HRESULT getClassObject = E_UNEXPECTED;
  HRESULT createInstance = E_UNEXPECTED;
  HRESULT contextMenu = E_UNEXPECTED;  // QueryInterface for IContextMenu
  HRESULT initialize = E_UNEXPECTED;
  UINT menuFlags = 0;
  HRESULT queryContextMenu = E_UNEXPECTED;
  UINT itemCount = 0;       // items in the menu afterwards
  UINT itemId = 0;          // command id of the item at the given index
  std::string itemText;     // its text, exact Shift_JIS bytes
  HRESULT invokeCommand = E_UNEXPECTED;
  std::vector<CaughtBox> boxes;  // message boxes the handler showed (answered with OK)
  HRESULT canUnloadNow = E_UNEXPECTED;  // after every object was released
  DWORD programPid = 0;      // the Larkspan.exe this call started, 0 if none was found
  std::string programImage;  // its full file name as the system reports it
};

// Plays Explorer for a right click on paths (Shift_JIS, full paths; the first
// is the item clicked, which picks the registration: a folder's or a file's):
// registration, LoadLibrary, DllGetClassObject, CreateInstance for
// IShellExtInit, IContextMenu, Initialize with a CF_HDROP data object,
// QueryContextMenu on a fresh popup menu, InvokeCommand with command offset 0,
// release of both objects, DllCanUnloadNow, FreeLibrary; then looks for the
// Larkspan.exe that the handler started. Message boxes the handler shows are
// read and answered with OK. Needs COM initialised (apartment) on this thread.
// Returns 0 when the program was started, -1 otherwise (call->failure says why).
int CallAsExplorer(const std::vector<std::string>& paths, ExplorerCall* call);

// The call as readable lines (Shift_JIS), one step per line.
std::string DescribeCall(const ExplorerCall& call);

// A process known by its id, held open so that the id stays its own.
class WatchedProcess {
 public:
  explicit WatchedProcess(DWORD pid);
  ~WatchedProcess();
  WatchedProcess(const WatchedProcess&) = delete;
  WatchedProcess& operator=(const WatchedProcess&) = delete;
  // False if no such process could be opened (it may have ended already).
  bool opened() const { return handle_ != nullptr; }
  // True once the process has ended, waiting at most timeoutMs.
  bool WaitExit(DWORD timeoutMs);
  // The exit code once it has ended; STILL_ACTIVE before.
  DWORD ExitCode() const;

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace shelltest
