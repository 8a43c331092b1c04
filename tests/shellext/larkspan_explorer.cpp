// larkspan_explorer: Explorer, its user and the program it starts, for the extension's tests and tools/run;
// output in Shift_JIS, message boxes' texts in UTF-8; exit status 0 done, 1 a step failed, 2 usage.
//   try LIBRARY PATH...  right-clicks PATH... (in one folder) with LIBRARY as Explorer does and picks the
//                        item: prints "box ICON TEXT" for each box (answered), then each step's result
//   verb LIBRARY PATH... the same, invoked by the verb "open" given only wide
//   call PATH...         the same with the registered library, then prints the totals
//   start | ok           presses start and prints the verdict | answers it, waits for the end
//   hold LIBRARY STOP    loads LIBRARY and keeps it, as Explorer does once it showed the menu; prints
//                        "held", lets it go and ends once the file STOP exists
//   LarkspanCall         as Larkspan.exe beside the library under test, started by the hand-off: records its
//                        command line (UTF-8), then the parameter file as it found it ("" if none), in one step
//                        (written aside, then renamed) in standin.txt beside itself
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/fs.h"
#include "tests/e2e/driver.h"

namespace {

constexpr DWORD kWaitMs = 60000;
constexpr int kTotalFiles = 1014;
const CLSID kClassId = {0xD536B8B1, 0x51E1, 0x4287, {0xAB, 0xB7, 0xBA, 0x66, 0x5D, 0xF6, 0x31, 0xA3}};
constexpr wchar_t kHandlerKey[] = L"Software\\Classes\\Directory\\shellex\\ContextMenuHandlers\\Larkspan";

// The selection's data object as Explorer makes it: the one the items' parent folder gives for them (a
// CF_HDROP list of their wide paths among its formats); nullptr if the shell gave none.
IDataObject* SelectionOf(const std::vector<std::wstring>& paths) {
  std::vector<PIDLIST_ABSOLUTE> items;
  std::vector<PCUITEMID_CHILD> children;
  for (const std::wstring& p : paths) {
    items.push_back(::ILCreateFromPathW(p.c_str()));
    children.push_back(::ILFindLastID(items.back()));
  }
  IShellFolder* parent = nullptr;
  IDataObject* data = nullptr;
  if (!items.empty() && std::count(children.begin(), children.end(), nullptr) == 0 &&
      SUCCEEDED(::SHBindToParent(items[0], IID_IShellFolder, reinterpret_cast<void**>(&parent), nullptr))) {
    parent->GetUIObjectOf(nullptr, UINT(children.size()), children.data(), IID_IDataObject, nullptr,
                          reinterpret_cast<void**>(&data));
    parent->Release();
  }
  for (PIDLIST_ABSOLUTE item : items) ::ILFree(item);
  return data;
}

// Right-clicks paths with library and picks the item (as Explorer does: offset 0 in both verb fields, wide marked),
// or names it by the verb string alone in the wide field; boxes are answered from a second thread. 0 if all went.
int Try(const std::wstring& library, const std::vector<std::wstring>& paths, const wchar_t* verb = nullptr) {
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HMODULE module = ::LoadLibraryW(library.c_str());  // freed at the end, as Explorer frees it
  auto getClassObject = LPFNGETCLASSOBJECT(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  auto canUnloadNow = LPFNCANUNLOADNOW(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
  HRESULT create = E_UNEXPECTED, init = E_UNEXPECTED, query = E_UNEXPECTED, invoke = E_UNEXPECTED;
  IClassFactory* factory = nullptr;  // the class object, the handler's two interfaces
  IShellExtInit* extInit = nullptr;
  IContextMenu* menu = nullptr;
  if (getClassObject && SUCCEEDED(getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    create = factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&extInit));
    factory->Release();
  }
  IDataObject* data = SelectionOf(paths);
  if (extInit && data && SUCCEEDED(extInit->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)))) {
    init = extInit->Initialize(nullptr, data, nullptr);
    HMENU popup = ::CreatePopupMenu();
    query = menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
    ::DestroyMenu(popup);
    CMINVOKECOMMANDINFOEX info = {};
    info.cbSize = sizeof(info), info.fMask = CMIC_MASK_UNICODE, info.nShow = SW_SHOWNORMAL, info.lpVerbW = verb;
    std::atomic<bool> invoked(false);
    std::thread boxes([&] {  // each box answered, its text as shown (wide) printed in UTF-8
      while (!invoked) {
        wchar_t wide[4096] = {};
        char text[3 * 4096] = {};
        HWND shown = e2e::FindWindowOf(::GetCurrentProcessId(), "#32770", "Larkspan", 0xFFFF, 200);
        if (!shown || !::GetDlgItemTextW(shown, 0xFFFF, wide, 4096)) continue;
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
        std::printf("box %s %s\n", e2e::AnswerBox(::GetCurrentProcessId(), IDOK, 200).icon.c_str(), text);
      }
    });
    invoke = menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
    invoked = true;
    boxes.join();
    menu->Release();
  }
  if (extInit) extInit->Release();
  if (data) data->Release();
  const HRESULT unload = canUnloadNow ? canUnloadNow() : E_UNEXPECTED;
  std::printf("CreateInstance %08lX Initialize %08lX QueryContextMenu %08lX InvokeCommand %08lX "
              "DllCanUnloadNow %08lX\n", create, init, query, invoke, unload);
  if (module) ::FreeLibrary(module);
  ::CoUninitialize();
  return SUCCEEDED(create) && SUCCEEDED(init) && SUCCEEDED(query) && invoke == S_OK && unload == S_OK ? 0 : 1;
}

int StandIn() {
  static char line[3 * 32768];
  ::WideCharToMultiByte(CP_UTF8, 0, ::GetCommandLineW(), -1, line, sizeof(line), nullptr, nullptr);
  const plat::NativePath dir = plat::ModuleFolder() + L"\\";
  std::string parameters;
  plat::ReadAll(dir + L"lkpara.dat", parameters);
  return plat::ReplaceAll(dir + L"standin.txt", line + ("\n" + parameters)) == 0 ? 0 : 1;
}

int Fail(const char* what) { return std::fprintf(stderr, "larkspan_explorer: %s\n", what), 1; }

}  // namespace

int main() {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const std::vector<std::wstring> args(wide, wide + count);  // the paths as Explorer has them
  ::LocalFree(wide);
  const std::wstring mode = count > 1 ? args[1] : L"";
  _setmode(_fileno(stdout), _O_BINARY);
  if (mode == L"LarkspanCall") return StandIn();
  if ((mode == L"try" || mode == L"verb") && count > 3) {
    return Try(args[2], {args.begin() + 3, args.end()}, mode == L"verb" ? L"open" : nullptr);
  }
  if (mode == L"hold" && count == 4) {
    HMODULE held = ::LoadLibraryW(args[2].c_str());
    if (!held) return Fail("cannot load the library");
    std::printf("held\n"), std::fflush(stdout);
    e2e::Poll([&] { return ::GetFileAttributesW(args[3].c_str()) != INVALID_FILE_ATTRIBUTES; }, 10 * kWaitMs);
    ::FreeLibrary(held);
    return 0;
  }
  if (mode == L"call" && count > 2) {
    // As Explorer finds it, in the registry view of this program's architecture:
    // the folders' handler names the class, the class names its library.
    wchar_t handler[64] = {}, library[MAX_PATH] = {};
    LONG size = sizeof(handler);
    if (::RegQueryValueW(HKEY_CURRENT_USER, kHandlerKey, handler, &size) != ERROR_SUCCESS) return Fail("no handler");
    const std::wstring server = std::wstring(L"Software\\Classes\\CLSID\\") + handler + L"\\InprocServer32";
    size = sizeof(library);
    if (::RegQueryValueW(HKEY_CURRENT_USER, server.c_str(), library, &size) != ERROR_SUCCESS) return Fail("no class");
    if (Try(library, {args.begin() + 2, args.end()}) != 0) return Fail("call failed");
  } else if (count != 2 || (mode != L"start" && mode != L"ok")) {
    return 2;
  }
  HWND main = e2e::FindWindowOf(0, "#32770", "Larkspan", kTotalFiles, kWaitMs);
  DWORD pid = 0;
  if (!main || !::GetWindowThreadProcessId(main, &pid)) return Fail("no main window");
  if (mode == L"call") {
    if (!e2e::Poll([&] { return e2e::Text(main, kTotalFiles) != "算出中"; }, kWaitMs)) return Fail("no totals");
    RECT r = {};
    ::GetWindowRect(main, &r);
    std::printf("window %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    for (int id : {1002, 1006, 1008, 1014, 1009}) std::printf("%d\t%s\n", id, e2e::Text(main, id).c_str());
    return 0;
  }
  if (mode == L"start") {
    HWND box = e2e::Click(main, IDOK) ? e2e::FindWindowOf(pid, "#32770", "Larkspan", 0xFFFF, kWaitMs) : nullptr;
    return box ? std::printf("%s\n", e2e::Text(box, 0xFFFF).c_str()), 0 : Fail("no verdict");
  }
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);  // held before the answer lets the program end
  const e2e::Box verdict = e2e::AnswerBox(pid, IDOK, kWaitMs);
  const bool ended = ::WaitForSingleObject(process, kWaitMs) == WAIT_OBJECT_0;
  ::CloseHandle(process);
  std::printf("icon %s; program %s\n", verdict.icon.c_str(), ended ? "ended" : "still running");
  return verdict.shown && ended ? 0 : 1;
}
