// Explorer's part in the main job (see explorer_call.h).
#include "tests/shellext/explorer_call.h"

#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <type_traits>

namespace shelltest {

namespace {

constexpr char kHandlerName[] = "Larkspan";
constexpr char kProgramName[] = "Larkspan.exe";
constexpr char kPerUserClasses[] = "Software\\Classes\\";
constexpr DWORD kPollMs = 20;
// Explorer's menu flags in a folder window with its navigation pane, and its
// range of command ids for the handlers' items.
constexpr UINT kExplorerMenuFlags = CMF_EXPLORE | CMF_CANRENAME;
constexpr UINT kFirstCommandId = 0x7000;
constexpr UINT kLastCommandId = 0x7FFF;
// How long the started program is looked for among this process's children.
constexpr DWORD kProgramAppearsMs = 5000;

// Handles closed at the end of their scope.
using RegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&::RegCloseKey)>;
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)>;
using PopupMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&::DestroyMenu)>;
using Snapshot = std::unique_ptr<void, decltype(&::CloseHandle)>;

// A COM interface pointer, released by the destructor.
template <typename T>
class Ref {
 public:
  Ref() = default;
  ~Ref() { Reset(); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  void** Out() { return reinterpret_cast<void**>(&p_); }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// Reads the string value name ("" for the default) of subKey under
// HKEY_CLASSES_ROOT, else (for Wine 8, whose HKEY_CLASSES_ROOT leaves out
// HKCU\Software\Classes) under the per-user classes; *where names the key found.
bool ReadClassesValue(const std::string& subKey, const char* name, std::string* where, std::string* value) {
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
    const std::string path = root == HKEY_CLASSES_ROOT ? subKey : kPerUserClasses + subKey;
    char data[2048] = {};
    DWORD size = sizeof(data);
    if (::RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, data,
                       &size) == ERROR_SUCCESS) {
      *where = (root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKCU\\") + path;
      *value = data;
      return true;
    }
  }
  return false;
}

// The Larkspan.exe whose parent is this process, polled for up to timeoutMs.
DWORD FindStartedProgram(DWORD timeoutMs) {
  const DWORD self = ::GetCurrentProcessId();
  const DWORD start = ::GetTickCount();
  for (;;) {
    const Snapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0), &::CloseHandle);
    if (snapshot.get() != INVALID_HANDLE_VALUE) {
      PROCESSENTRY32 entry = {};
      entry.dwSize = sizeof(entry);
      for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == self && ::lstrcmpiA(entry.szExeFile, kProgramName) == 0) {
          return entry.th32ProcessID;
        }
      }
    }
    if (::GetTickCount() - start >= timeoutMs) return 0;
    ::Sleep(kPollMs);
  }
}

std::string ImageOf(DWORD pid) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::string();
  char name[MAX_PATH * 2] = {};
  DWORD size = sizeof(name);
  std::string image;
  if (::QueryFullProcessImageNameA(process, 0, name, &size)) image.assign(name, size);
  ::CloseHandle(process);
  return image;
}

// Runs the steps from the loaded library to the released objects.
void CallLoaded(const Library& library, const std::vector<std::string>& paths, HKEY itemClassKey,
                ExplorerCall* call) {
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(WINAPI*)();
  auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "DllGetClassObject")));
  auto canUnloadNow =
      reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "DllCanUnloadNow")));
  if (!getClassObject || !canUnloadNow) {
    call->failure = "the library does not export DllGetClassObject and DllCanUnloadNow";
    return;
  }
  CLSID clsid = {};
  std::wstring wideId(call->reg.classId.begin(), call->reg.classId.end());
  if (FAILED(::CLSIDFromString(&wideId[0], &clsid))) {
    call->failure = "the registered class id is not a GUID";
    return;
  }
  // The selection lives on this stack frame; the handler holds it until its
  // object is released below.
  DropDataObject data(paths);
  {
    Ref<IClassFactory> factory;
    call->getClassObject = getClassObject(clsid, IID_IClassFactory, factory.Out());
    if (FAILED(call->getClassObject) || !factory.get()) {
      call->failure = "DllGetClassObject failed";
      return;
    }
    Ref<IShellExtInit> init;
    call->createInstance = factory->CreateInstance(nullptr, IID_IShellExtInit, init.Out());
    factory.Reset();
    if (FAILED(call->createInstance) || !init.get()) {
      call->failure = "CreateInstance failed";
      return;
    }
    Ref<IContextMenu> menu;
    call->contextMenu = init->QueryInterface(IID_IContextMenu, menu.Out());
    if (FAILED(call->contextMenu) || !menu.get()) {
      call->failure = "the object has no IContextMenu";
      return;
    }
    call->initialize = init->Initialize(nullptr, &data, itemClassKey);
    if (FAILED(call->initialize)) {
      call->failure = "Initialize failed";
      return;
    }
    PopupMenu popup(::CreatePopupMenu(), &::DestroyMenu);
    call->menuFlags = kExplorerMenuFlags;
    call->queryContextMenu = menu->QueryContextMenu(popup.get(), 0, kFirstCommandId, kLastCommandId, kExplorerMenuFlags);
    const int count = ::GetMenuItemCount(popup.get());
    call->itemCount = count > 0 ? static_cast<UINT>(count) : 0;
    if (FAILED(call->queryContextMenu) || HRESULT_CODE(call->queryContextMenu) == 0 || call->itemCount == 0) {
      call->failure = "QueryContextMenu added no item";
      return;
    }
    call->itemId = ::GetMenuItemID(popup.get(), 0);
    char text[256] = {};
    const int length = ::GetMenuStringA(popup.get(), 0, text, sizeof(text), MF_BYPOSITION);
    call->itemText.assign(text, length > 0 ? static_cast<size_t>(length) : 0);

    // The user picks the item: Explorer passes its offset from the first id.
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof(invoke);
    invoke.lpVerb = MAKEINTRESOURCEA(call->itemId - kFirstCommandId);
    invoke.nShow = SW_SHOWNORMAL;
    {
      BoxCatcher catcher;
      call->invokeCommand = menu->InvokeCommand(&invoke);
      call->boxes = catcher.boxes();
    }
  }
  call->canUnloadNow = canUnloadNow();
  if (FAILED(call->invokeCommand)) {
    call->failure = "InvokeCommand failed";
  } else if (!call->boxes.empty()) {
    call->failure = "the handler showed a message";
  } else if (data.refs() != 0) {
    call->failure = "the handler kept a reference to the data object";
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Reads the registration of the handler "Larkspan" for itemClass as the shell
// does; false, with the missing key in *error, if a link is absent.
bool FindRegistration(const std::string& itemClass, Registration* reg, std::string* error) {
  reg->itemClass = itemClass;
  const std::string handler = itemClass + "\\shellex\\ContextMenuHandlers\\" + kHandlerName;
  if (!ReadClassesValue(handler, "", &reg->handlerKey, &reg->classId)) {
    *error = "no handler " + handler;
    return false;
  }
  const std::string server = "CLSID\\" + reg->classId + "\\InprocServer32";
  if (!ReadClassesValue(server, "", &reg->serverKey, &reg->server)) {
    *error = "no in-process server " + server;
    return false;
  }
  std::string where;
  if (!ReadClassesValue(server, "ThreadingModel", &where, &reg->threadingModel)) reg->threadingModel.clear();
  return true;
}

}  // namespace

int CallAsExplorer(const std::vector<std::string>& paths, ExplorerCall* call) {
  if (paths.empty()) {
    call->failure = "nothing selected";
    return -1;
  }
  const DWORD attributes = ::GetFileAttributesA(paths[0].c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  std::string error;
  if (!FindRegistration(folder ? "Directory" : "*", &call->reg, &error)) {
    call->failure = error;
    return -1;
  }
  // The key of the clicked item's class, which Explorer passes to Initialize.
  const bool perUser = call->reg.handlerKey.compare(0, 5, "HKCU\\") == 0;
  HKEY opened = nullptr;
  ::RegOpenKeyExA(perUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT,
                  ((perUser ? kPerUserClasses : "") + call->reg.itemClass).c_str(), 0, KEY_READ, &opened);
  const RegKey itemClassKey(opened, &::RegCloseKey);
  {
    const Library library(::LoadLibraryA(call->reg.server.c_str()), &::FreeLibrary);
    if (!library) {
      call->loadError = ::GetLastError();
      call->failure = "LoadLibrary failed";
      return -1;
    }
    char name[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameA(library.get(), name, sizeof(name));
    call->loadedFrom.assign(name, n < sizeof(name) ? n : 0);
    CallLoaded(library, paths, itemClassKey.get(), call);
  }
  if (FAILED(call->invokeCommand)) return -1;
  call->programPid = FindStartedProgram(kProgramAppearsMs);
  if (call->programPid == 0) {
    if (call->failure.empty()) call->failure = "no Larkspan.exe was started";
    return -1;
  }
  call->programImage = ImageOf(call->programPid);
  return call->failure.empty() ? 0 : -1;
}

std::string DescribeCall(const ExplorerCall& call) {
  const Registration& reg = call.reg;
  std::string out;
  if (!reg.handlerKey.empty()) {
    out += "handler for " + std::string(reg.itemClass == "*" ? "files" : "folders") + " (" + reg.itemClass +
           "): " + reg.handlerKey + " = " + reg.classId + "\n";
  }
  if (!reg.serverKey.empty()) {
    out += "in-process server: " + reg.serverKey + " = " + reg.server + " (ThreadingModel " + reg.threadingModel +
           ")\n";
  }
  if (call.loadError != 0) out += "LoadLibrary: error " + std::to_string(call.loadError) + "\n";
  if (!call.loadedFrom.empty()) out += "LoadLibrary: loaded " + call.loadedFrom + "\n";
  if (call.getClassObject != E_UNEXPECTED) {
    out += "DllGetClassObject(IClassFactory): " + HexResult(call.getClassObject) + "\n";
  }
  if (call.createInstance != E_UNEXPECTED) {
    out += "CreateInstance(IShellExtInit): " + HexResult(call.createInstance) +
           ", QueryInterface(IContextMenu): " + HexResult(call.contextMenu) + "\n";
  }
  if (call.initialize != E_UNEXPECTED) out += "Initialize(CF_HDROP data object): " + HexResult(call.initialize) + "\n";
  if (call.queryContextMenu != E_UNEXPECTED) {
    char flags[16];
    std::snprintf(flags, sizeof(flags), "0x%X", call.menuFlags);
    out += "QueryContextMenu(flags " + std::string(flags) + "): " + HexResult(call.queryContextMenu) + ", " +
           std::to_string(call.itemCount) + " item(s); inserted: " + Quoted(call.itemText) + " (command id " +
           std::to_string(call.itemId) + ")\n";
  }
  if (call.invokeCommand != E_UNEXPECTED) {
    out += "InvokeCommand(offset " + std::to_string(call.itemId - kFirstCommandId) +
           "): " + HexResult(call.invokeCommand) + "\n";
  }
  for (const CaughtBox& box : call.boxes) out += "message box " + Quoted(box.caption) + ": " + box.text + "\n";
  if (call.canUnloadNow != E_UNEXPECTED) {
    out += "objects released; DllCanUnloadNow: " + HexResult(call.canUnloadNow) + "; FreeLibrary\n";
  }
  if (call.programPid != 0) {
    out += "started: " + (call.programImage.empty() ? std::string(kProgramName) : call.programImage) +
           " (process id " + std::to_string(call.programPid) + ")\n";
  }
  if (!call.failure.empty()) out += "FAILED: " + call.failure + "\n";
  return out;
}

WatchedProcess::WatchedProcess(DWORD pid)
    : handle_(pid ? ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid) : nullptr) {}

WatchedProcess::~WatchedProcess() {
  if (handle_) ::CloseHandle(handle_);
}

bool WatchedProcess::WaitExit(DWORD timeoutMs) {
  return handle_ && ::WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WatchedProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (handle_) ::GetExitCodeProcess(handle_, &code);
  return code;
}

}  // namespace shelltest
