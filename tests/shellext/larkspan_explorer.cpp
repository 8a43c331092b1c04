// larkspan_explorer: Explorer and its user, for the extension's tests and tools/run;
// output in Shift_JIS, message boxes' texts in UTF-8; exit status 0 done, 1 a step failed, 2 usage.
//   try LIBRARY PATH...  right-clicks PATH... with LIBRARY as Explorer does and picks the
//                        item: prints "item COUNT TEXT", "box ICON TEXT" (answered), results
//   verb LIBRARY PATH... the same, invoked by the verb "open" given only wide
//   call PATH...         the same with the registered library, then prints the totals
//   start | ok           presses start and prints the verdict | answers it, waits for the end
//   hold LIBRARY STOP    loads LIBRARY and keeps it, as Explorer does once it showed the menu; prints
//                        "held", lets it go and ends once the file STOP exists
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

constexpr DWORD kWaitMs = 60000;
constexpr int kTotalFiles = 1014;
const CLSID kClassId = {0xD536B8B1, 0x51E1, 0x4287, {0xAB, 0xB7, 0xBA, 0x66, 0x5D, 0xF6, 0x31, 0xA3}};
constexpr char kHandlerKey[] = "Software\\Classes\\Directory\\shellex\\ContextMenuHandlers\\Larkspan";

// A data object as Explorer hands it to Initialize: a CF_HDROP list of wide
// paths in movable global memory. (Wine 8's SHCreateDataObject makes none.)
// It lives on the stack: counts are not kept.
class DropList : public IDataObject {
 public:
  explicit DropList(const std::vector<std::wstring>& paths) : paths_(paths) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDataObject) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    std::wstring names;
    for (const std::wstring& p : paths_) names += p + L'\0';
    *medium = {TYMED_HGLOBAL, {nullptr}, nullptr};
    medium->hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + 2 * (names.size() + 1));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(medium->hGlobal));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    names.copy(reinterpret_cast<wchar_t*>(drop + 1), names.size());
    ::GlobalUnlock(medium->hGlobal);
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* f) override { return f->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::vector<std::wstring> paths_;
};

// Right-clicks paths with library and picks the item (as Explorer does: offset 0 in both verb fields, wide
// marked), or with verb names it by that verb string alone in the wide field; message boxes are answered
// from a second thread. 0 when every step succeeded.
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
  if (extInit && SUCCEEDED(extInit->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)))) {
    DropList data(paths);
    init = extInit->Initialize(nullptr, &data, nullptr);
    HMENU popup = ::CreatePopupMenu();
    query = menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
    char text[256] = {};
    ::GetMenuStringA(popup, 0, text, sizeof(text), MF_BYPOSITION);
    std::printf("item %d %s\n", ::GetMenuItemCount(popup), text);
    ::DestroyMenu(popup);
    CMINVOKECOMMANDINFOEX info = {};
    info.cbSize = sizeof(info), info.fMask = CMIC_MASK_UNICODE, info.nShow = SW_SHOWNORMAL, info.lpVerbW = verb;
    std::atomic<bool> invoked(false);
    std::thread boxes([&] {
      while (!invoked) {  // the text as shown, wide, printed in UTF-8
        HWND shown = e2e::FindWindowOf(::GetCurrentProcessId(), "#32770", "Larkspan", 0xFFFF, 200);
        wchar_t wide[4096] = {};
        char text[3 * 4096] = {};
        if (shown) ::GetDlgItemTextW(shown, 0xFFFF, wide, 4096);
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
        const e2e::Box box = e2e::AnswerBox(::GetCurrentProcessId(), IDOK, 200);
        if (box.shown) std::printf("box %s %s\n", box.icon.c_str(), text);
      }
    });
    invoke = menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
    invoked = true;
    boxes.join();
    menu->Release();
  }
  if (extInit) extInit->Release();
  const HRESULT unload = canUnloadNow ? canUnloadNow() : E_UNEXPECTED;
  std::printf("CreateInstance %08lX Initialize %08lX QueryContextMenu %08lX InvokeCommand %08lX "
              "DllCanUnloadNow %08lX\n", create, init, query, invoke, unload);
  if (module) ::FreeLibrary(module);
  ::CoUninitialize();
  return SUCCEEDED(create) && SUCCEEDED(init) && SUCCEEDED(query) && invoke == S_OK && unload == S_OK ? 0 : 1;
}

int Fail(const char* what) { return std::fprintf(stderr, "larkspan_explorer: %s\n", what), 1; }

}  // namespace

int main() {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;  // in the ANSI code page, from the wide line (a 0x5C second byte is no escape)
  for (char arg[4096]; args.size() < size_t(count); args.push_back(arg)) {
    ::WideCharToMultiByte(CP_ACP, 0, wide[args.size()], -1, arg, sizeof(arg), nullptr, nullptr);
  }
  const std::vector<std::wstring> wideArgs(wide, wide + count);  // the paths as Explorer has them
  ::LocalFree(wide);
  _setmode(_fileno(stdout), _O_BINARY);
  if (args.size() > 3 && args[1] == "try") return Try(wideArgs[2], {wideArgs.begin() + 3, wideArgs.end()});
  if (args.size() == 4 && args[1] == "hold") {
    HMODULE held = ::LoadLibraryW(wideArgs[2].c_str());
    if (!held) return Fail("cannot load the library");
    std::printf("held\n");
    std::fflush(stdout);
    e2e::Poll([&] { return ::GetFileAttributesW(wideArgs[3].c_str()) != INVALID_FILE_ATTRIBUTES; }, 10 * kWaitMs);
    ::FreeLibrary(held);
    return 0;
  }
  if (args.size() > 3 && args[1] == "verb") return Try(wideArgs[2], {wideArgs.begin() + 3, wideArgs.end()}, L"open");
  if (args.size() > 2 && args[1] == "call") {
    // As Explorer finds it, in the registry view of this program's architecture:
    // the folders' handler names the class, the class names its library.
    char handler[64] = {}, library[MAX_PATH] = {};
    LONG size = sizeof(handler);
    if (::RegQueryValueA(HKEY_CURRENT_USER, kHandlerKey, handler, &size) != ERROR_SUCCESS) return Fail("no handler");
    const std::string server = std::string("Software\\Classes\\CLSID\\") + handler + "\\InprocServer32";
    size = sizeof(library);
    if (::RegQueryValueA(HKEY_CURRENT_USER, server.c_str(), library, &size) != ERROR_SUCCESS) return Fail("no class");
    std::printf("InprocServer32 %s\n", library);
    wchar_t wideLibrary[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, library, -1, wideLibrary, MAX_PATH);
    if (Try(wideLibrary, {wideArgs.begin() + 2, wideArgs.end()}) != 0) return Fail("call failed");
  } else if (args.size() != 2 || (args[1] != "start" && args[1] != "ok")) {
    return 2;
  }
  HWND main = e2e::FindWindowOf(0, "#32770", "Larkspan", kTotalFiles, kWaitMs);
  DWORD pid = 0;
  if (!main || !::GetWindowThreadProcessId(main, &pid)) return Fail("no main window");
  if (args[1] == "call") {
    auto shown = [](const std::string& t) { return t != "算出中"; };
    if (!e2e::WaitText(main, kTotalFiles, shown, kWaitMs)) return Fail("no totals");
    RECT r = {};
    ::GetWindowRect(main, &r);
    std::printf("window %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    for (int id : {1002, 1006, 1008, 1014, 1009}) std::printf("%d\t%s\n", id, e2e::Text(main, id).c_str());
    return 0;
  }
  if (args[1] == "start") {
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
