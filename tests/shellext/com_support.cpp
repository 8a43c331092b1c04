// Explorer's side for the extension's tests (see com_support.h).
#include "tests/shellext/com_support.h"

#include <cstdio>
#include <cstring>

namespace shelltest {

const CLSID kClassId = {0xD536B8B1, 0x51E1, 0x4287, {0xAB, 0xB7, 0xBA, 0x66, 0x5D, 0xF6, 0x31, 0xA3}};

namespace {

std::vector<CaughtBox> g_boxes;
std::vector<HWND> g_seen;

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMs = 20;
constexpr DWORD kStandInEndsMs = 5000;

std::string WindowText(HWND window) {
  int length = ::GetWindowTextLengthA(window);
  std::vector<char> buf(static_cast<size_t>(length) * 2 + 16, '#');
  int got = ::GetWindowTextA(window, buf.data(), static_cast<int>(buf.size()));
  return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

BOOL CALLBACK VisitBoxChild(HWND child, LPARAM param) {
  auto* box = reinterpret_cast<CaughtBox*>(param);
  char className[16] = {};
  ::GetClassNameA(child, className, sizeof(className));
  // The box itself is not shown yet when it is activated: its controls' own
  // visibility is in their style.
  const LONG style = ::GetWindowLongA(child, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  // Wine 8 keeps an empty icon control in a box without icon; Windows has none.
  if (::lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && visible &&
      ::SendMessageA(child, STM_GETICON, 0, 0) != 0) {
    box->hasIcon = true;
  }
  if (::lstrcmpiA(className, "Button") == 0 && visible) {
    ++box->buttons;
    if (::GetDlgCtrlID(child) == IDOK) box->okButton = true;
  }
  return TRUE;
}

LRESULT CALLBACK CatchBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    bool seen = false;
    for (HWND w : g_seen) seen = seen || w == window;
    if (std::strcmp(className, "#32770") == 0 && !seen) {
      g_seen.push_back(window);
      CaughtBox box;
      box.caption = WindowText(window);
      if (HWND text = ::GetDlgItem(window, kMessageTextId)) box.text = WindowText(text);
      box.hasOwner = ::GetWindow(window, GW_OWNER) != nullptr;
      ::EnumChildWindows(window, VisitBoxChild, reinterpret_cast<LPARAM>(&box));
      g_boxes.push_back(box);
      ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The text up to the next line break, taken off the front of rest.
std::string TakeLine(std::string& rest) {
  size_t end = rest.find('\n');
  std::string line = rest.substr(0, end);
  rest.erase(0, end == std::string::npos ? rest.size() : end + 1);
  return line;
}

}  // namespace

DropDataObject::DropDataObject(std::vector<std::string> paths, Kind kind)
    : paths_(std::move(paths)), kind_(kind), owner_(this) {}

STDMETHODIMP DropDataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject)) return E_NOINTERFACE;
  *out = static_cast<IDataObject*>(this);
  AddRef();
  return S_OK;
}

bool DropDataObject::HasDropList(const FORMATETC* format) const {
  return kind_ != Kind::kNoDropList && format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) &&
         format->dwAspect == DVASPECT_CONTENT;
}

STDMETHODIMP DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HGLOBAL DropDataObject::MakeDropList() const {
  std::string list;
  if (kind_ == Kind::kWide) {
    for (const std::string& path : paths_) {
      int n = ::MultiByteToWideChar(932, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
      std::wstring wide(static_cast<size_t>(n), L'\0');
      ::MultiByteToWideChar(932, 0, path.data(), static_cast<int>(path.size()), &wide[0], n);
      wide.push_back(L'\0');
      list.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(WCHAR));
    }
    list.append(sizeof(WCHAR), '\0');
  } else {
    for (const std::string& path : paths_) list.append(path.c_str(), path.size() + 1);
    list.push_back('\0');
  }
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() + 2);
  if (!memory) return nullptr;
  auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = kind_ == Kind::kWide;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
  ::GlobalUnlock(memory);
  return memory;
}

STDMETHODIMP DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!medium) return E_POINTER;
  if (!HasDropList(format) || format->lindex != -1) return DV_E_FORMATETC;
  if (owner_.pending) return E_UNEXPECTED;  // the previous medium never came back
  HGLOBAL memory = MakeDropList();
  if (!memory) return E_OUTOFMEMORY;
  owner_.pending = memory;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = &owner_;  // ReleaseStgMedium then calls its Release, not GlobalFree
  ++handedOut_;
  return S_OK;
}

STDMETHODIMP DropDataObject::MediumOwner::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
  return *out ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DropDataObject::MediumOwner::Release() {
  if (pending) {
    ++parent_->givenBack_;
    if ((::GlobalFlags(pending) & GMEM_LOCKCOUNT) != 0) ++parent_->givenBackLocked_;
    ::GlobalFree(pending);
    pending = nullptr;
  }
  return 1;
}

BoxCatcher::BoxCatcher() {
  g_boxes.clear();
  g_seen.clear();
  hook_ = ::SetWindowsHookExA(WH_CBT, CatchBox, nullptr, ::GetCurrentThreadId());
}

BoxCatcher::~BoxCatcher() {
  if (hook_) ::UnhookWindowsHookEx(hook_);
}

const std::vector<CaughtBox>& BoxCatcher::boxes() const { return g_boxes; }

std::string HostPathOnZ(const char* hostPath) {
  std::string path = std::string("Z:") + hostPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string BuiltLibrary() { return HostPathOnZ(LARKSPAN_SHELL_HOST_PATH); }
std::string BuiltStandIn() { return HostPathOnZ(LARKSPAN_STANDIN_HOST_PATH); }

StandInCall WaitForStandIn(const std::string& folder, DWORD timeoutMs) {
  StandInCall call;
  const std::string record = folder + "standin_call.txt";
  const DWORD start = ::GetTickCount();
  while (::GetFileAttributesA(record.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (::GetTickCount() - start >= timeoutMs) return call;
    ::Sleep(kPollMs);
  }
  std::string rest = ReadBytes(record);
  call.started = true;
  call.pid = static_cast<DWORD>(std::strtoul(TakeLine(rest).c_str(), nullptr, 10));
  call.self = TakeLine(rest);
  call.commandLine = TakeLine(rest);
  call.seen = ReadBytes(folder + "standin_seen.dat");
  if (HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, call.pid)) {
    ::WaitForSingleObject(process, kStandInEndsMs);
    ::CloseHandle(process);
  }
  return call;
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buf[65536];
  DWORD got = 0;
  while (::ReadFile(file, buf, sizeof(buf), &got, nullptr) && got > 0) bytes.append(buf, got);
  ::CloseHandle(file);
  return bytes;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == bytes.size();
}

std::string HexResult(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

std::string CreateFailedText(const std::string& path) {
  return "パラメータファイルの作成に失敗しました。　\n\n書き込み権限等を確認してください。　\n（ " + path + " ）";
}

std::string InstallDir() {
  char local[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local))) return std::string();
  return std::string(local) + "\\Programs\\Larkspan";
}

ExtensionObject::ExtensionObject(const Exports& exports) {
  IClassFactory* factory = nullptr;
  if (!exports.getClassObject ||
      FAILED(exports.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return;
  }
  factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init_));
  factory->Release();
  if (init_) init_->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu_));
}

ExtensionObject::~ExtensionObject() {
  if (menu_) menu_->Release();
  if (init_) init_->Release();
}

HRESULT PickMenuItem(const ExtensionObject& object, IDataObject* data) {
  constexpr UINT kFirstCommand = 0x7000;
  HRESULT initialized = object.init()->Initialize(nullptr, data, nullptr);
  if (FAILED(initialized)) return initialized;
  HMENU menu = ::CreatePopupMenu();
  HRESULT built = object.menu()->QueryContextMenu(menu, 0, kFirstCommand, kFirstCommand + 0x0FFF, CMF_NORMAL);
  ::DestroyMenu(menu);
  if (FAILED(built) || HRESULT_CODE(built) != 1) return E_FAIL;
  CMINVOKECOMMANDINFO info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = MAKEINTRESOURCEA(0);
  info.nShow = SW_SHOWNORMAL;
  return object.menu()->InvokeCommand(&info);
}

}  // namespace shelltest
