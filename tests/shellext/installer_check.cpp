// Checks what LarkspanSetup.exe leaves behind, from inside the Wine prefix it
// ran in (run by installer_test.sh at each stage):
//   before STATE       nothing of Larkspan is there; the class keys that exist
//                      already are noted in STATE (a Windows path)
//   installed          files in %LOCALAPPDATA%\Programs\Larkspan equal the built
//                      ones; class, handlers and uninstall entry registered; the
//                      class loads through its registration as Explorer loads it.
//                      Then leaves settings and a parameter file behind as the
//                      program would, and prints "UNINSTALLER=<path>".
//   uninstalled STATE  only the settings file is left; every key the setup made
//                      is gone, the ones noted in STATE are still there.
// Prints one line per check (index, what, expected, actual); exit status = failures.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/shellext/com_support.h"

namespace {

using namespace shelltest;

const char kClassText[] = "{D536B8B1-51E1-4287-ABB7-BA665DF631A3}";
const char kClassKey[] = "Software\\Classes\\CLSID\\{D536B8B1-51E1-4287-ABB7-BA665DF631A3}";
const char kServerKey[] = "Software\\Classes\\CLSID\\{D536B8B1-51E1-4287-ABB7-BA665DF631A3}\\InprocServer32";
const char kFileHandlerKey[] = "Software\\Classes\\*\\shellex\\ContextMenuHandlers\\Larkspan";
const char kFolderHandlerKey[] = "Software\\Classes\\Directory\\shellex\\ContextMenuHandlers\\Larkspan";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Larkspan";
const char kSettings[] = "[Base]\r\nVL=1\r\n";

// Keys above ours that the setup may have had to create.
const char* const kParentKeys[] = {
    "Software\\Classes\\*\\shellex\\ContextMenuHandlers", "Software\\Classes\\*\\shellex", "Software\\Classes\\*",
    "Software\\Classes\\Directory\\shellex\\ContextMenuHandlers", "Software\\Classes\\Directory\\shellex",
    "Software\\Classes\\Directory", "Software\\Classes\\CLSID"};

int g_index = 0;
int g_failures = 0;

// Line breaks shown as \r and \n, so that every check stays on one line.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out;
}

void Check(bool ok, const std::string& what, const std::string& expected, const std::string& actual) {
  std::printf("%s case %d: %s: expected [%s], actual [%s]\n", ok ? "ok  " : "FAIL", g_index++, what.c_str(),
              OneLine(expected).c_str(), OneLine(actual).c_str());
  if (!ok) ++g_failures;
}

void CheckEqual(const std::string& what, const std::string& expected, const std::string& actual) {
  Check(expected == actual, what, expected, actual);
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  ::RegCloseKey(h);
  return true;
}

// A value as text ("<none>" if missing): strings as they are, DWORDs in decimal.
std::string Value(HKEY root, const std::string& key, const char* name) {
  HKEY h = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "<no key>";
  DWORD type = 0, size = 0;
  std::string text = "<none>";
  if (::RegQueryValueExA(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size + 2, 0);
    if (::RegQueryValueExA(h, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
      if (type == REG_SZ) text = reinterpret_cast<const char*>(data.data());
      if (type == REG_DWORD) text = std::to_string(*reinterpret_cast<const DWORD*>(data.data()));
    }
  }
  ::RegCloseKey(h);
  return text;
}

// The built files and their installed names.
struct Payload {
  std::string built;
  const char* name;
};

std::vector<Payload> Payloads() {
  std::vector<Payload> files = {{HostPathOnZ(LARKSPAN_EXE_HOST_PATH), "Larkspan.exe"},
                                {BuiltLibrary(), "LarkspanShell.dll"}};
  // The help file goes in when the build made one.
  const std::string help = HostPathOnZ(LARKSPAN_DIST_HOST_PATH) + "\\Larkspan.chm";
  if (Exists(help)) files.push_back({help, "Larkspan.chm"});
  return files;
}

const char* const kOwnKeys[] = {kClassKey, kFileHandlerKey, kFolderHandlerKey, kUninstallKey};

const char* Presence(bool present) { return present ? "present" : "absent"; }
void CheckOwnKeysAbsent() {
  for (const char* key : kOwnKeys) CheckEqual(key, "absent", Presence(KeyExists(HKEY_CURRENT_USER, key)));
}

int Before(const std::string& statePath) {
  const std::string dir = InstallDir();
  Check(!dir.empty(), "local application data folder", "a folder", dir);
  CheckEqual("no install folder yet", "absent", Presence(Exists(dir)));
  CheckOwnKeysAbsent();
  std::string state;
  for (const char* key : kParentKeys) {
    if (KeyExists(HKEY_CURRENT_USER, key)) state += std::string(key) + "\n";
  }
  Check(WriteFileBytes(statePath, state), "state noted", statePath, statePath);
  return g_failures;
}

// True under Wine (which exports wine_get_version from ntdll).
bool RunningOnWine() {
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Asks a new extension object (an IShellExtInit) for its menu item.
void CheckMenuItem(IShellExtInit* init, const std::string& how) {
  IContextMenu* menu = nullptr;
  init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
  Check(menu != nullptr, how + ": IContextMenu", "offered", menu ? "offered" : "missing");
  if (!menu) return;
  HMENU popup = ::CreatePopupMenu();
  HRESULT added = menu->QueryContextMenu(popup, 0, 1, 100, CMF_NORMAL);
  char text[64] = {};
  ::GetMenuStringA(popup, 0, text, sizeof(text), MF_BYPOSITION);
  CheckEqual(how + ": item added", "0x00000001", HexResult(added));
  CheckEqual(how + ": item text", "Larkspan ...", text);
  ::DestroyMenu(popup);
  menu->Release();
}

// The class as Explorer finds and loads it. Windows shows the per-user classes
// (HKCU\Software\Classes) inside HKEY_CLASSES_ROOT, where the shell and COM
// look: the handler key names the class, COM finds the server through the
// class key. Known Wine difference (Wine 8, WineHQ bug 14771): HKEY_CLASSES_ROOT
// holds the machine's classes only, so there the same path is walked by hand
// in the per-user keys: handler, class, library, DllGetClassObject.
void LoadThroughRegistration(const std::string& dir) {
  const std::string library = dir + "\\LarkspanShell.dll";
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    Check(false, "COM", "initialised", "failed");
    return;
  }
  if (!RunningOnWine()) {
    for (const char* item : {"*", "Directory"}) {
      CheckEqual(std::string("HKCR handler for ") + item, kClassText,
                 Value(HKEY_CLASSES_ROOT, std::string(item) + "\\shellex\\ContextMenuHandlers\\Larkspan", ""));
    }
    IShellExtInit* init = nullptr;
    HRESULT created = ::CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                         reinterpret_cast<void**>(&init));
    CheckEqual("CoCreateInstance through the registration", "0x00000000", HexResult(created));
    if (init) {
      CheckMenuItem(init, "CoCreateInstance");
      HMODULE loaded = ::GetModuleHandleA("LarkspanShell.dll");
      char name[MAX_PATH] = {};
      if (loaded) ::GetModuleFileNameA(loaded, name, MAX_PATH);
      Check(::lstrcmpiA(name, library.c_str()) == 0, "library loaded from", library, name);
      init->Release();
    }
    ::CoFreeUnusedLibraries();
  } else {
    std::printf("note: Wine: HKEY_CLASSES_ROOT does not show HKCU\\Software\\Classes; walking the per-user keys\n");
    const std::string clsid = Value(HKEY_CURRENT_USER, kFileHandlerKey, "");
    CheckEqual("class named by the files handler", kClassText, clsid);
    const std::string server = Value(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\" + clsid + "\\InprocServer32", "");
    CheckEqual("server of that class", library, server);
    HMODULE module = ::LoadLibraryA(server.c_str());
    Check(module != nullptr, "library loads", "loaded", module ? "loaded" : "error " + std::to_string(::GetLastError()));
    Exports exports;
    if (module) {
      exports.getClassObject = reinterpret_cast<decltype(exports.getClassObject)>(
          reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    }
    {
      // DllGetClassObject, CreateInstance for IShellExtInit, IContextMenu.
      ExtensionObject object(exports);
      Check(object.ok(), "extension object through DllGetClassObject", "made", object.ok() ? "made" : "none");
      if (object.ok()) CheckMenuItem(object.init(), "DllGetClassObject");
    }
    if (module) ::FreeLibrary(module);
  }
  ::CoUninitialize();
}

int Installed() {
  const std::string dir = InstallDir();
  for (const Payload& file : Payloads()) {
    const std::string installed = dir + "\\" + file.name;
    const std::string built = ReadBytes(file.built);
    const std::string got = ReadBytes(installed);
    Check(built != "<missing>" && got == built, installed, "the built file (" + std::to_string(built.size()) + " bytes)",
          got == "<missing>" ? got : std::to_string(got.size()) + " bytes" + (got == built ? "" : ", different"));
  }
  const std::string uninstaller = dir + "\\Uninstall.exe";
  Check(Exists(uninstaller), "uninstaller", uninstaller, Exists(uninstaller) ? "present" : "missing");

  struct Expected {
    const char* key;
    const char* name;
    std::string value;
  } const values[] = {
      {kServerKey, "", dir + "\\LarkspanShell.dll"},
      {kServerKey, "ThreadingModel", "Apartment"},
      {kFileHandlerKey, "", kClassText},
      {kFolderHandlerKey, "", kClassText},
      {kUninstallKey, "DisplayName", "Larkspan"},
      {kUninstallKey, "InstallLocation", dir},
      {kUninstallKey, "UninstallString", "\"" + uninstaller + "\""},
      {kUninstallKey, "QuietUninstallString", "\"" + uninstaller + "\" /S"},
      {kUninstallKey, "NoModify", "1"},
      {kUninstallKey, "NoRepair", "1"},
  };
  for (const Expected& v : values) {
    CheckEqual(std::string(v.key) + " [" + v.name + "]", v.value, Value(HKEY_CURRENT_USER, v.key, v.name));
  }
  LoadThroughRegistration(dir);

  // What the program and the extension write beside themselves.
  Check(WriteFileBytes(dir + "\\Larkspan.ini", kSettings), "settings written", "ok", "ok");
  Check(WriteFileBytes(dir + "\\lkpara.dat", "\"C:\\a\" "), "parameter file written", "ok", "ok");
  std::printf("UNINSTALLER=%s\n", uninstaller.c_str());
  return g_failures;
}

int Uninstalled(const std::string& statePath) {
  const std::string dir = InstallDir();
  const char* const gone[] = {"Larkspan.exe", "LarkspanShell.dll", "Larkspan.chm", "Uninstall.exe", "lkpara.dat"};
  for (const char* name : gone) CheckEqual(dir + "\\" + name, "absent", Presence(Exists(dir + "\\" + name)));
  CheckEqual("settings kept", kSettings, ReadBytes(dir + "\\Larkspan.ini"));
  // Nothing else in the folder.
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &found);
  std::string others;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != ".." && name != "Larkspan.ini") others += name + " ";
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  CheckEqual("nothing else left in " + dir, "", others);

  CheckOwnKeysAbsent();
  const std::string state = ReadBytes(statePath);
  for (const char* key : kParentKeys) {
    const bool before = state.find(std::string(key) + "\n") != std::string::npos;
    const bool now = KeyExists(HKEY_CURRENT_USER, key);
    Check(before == now, key, before ? "present (was before)" : "absent (made by the setup)", Presence(now));
  }
  return g_failures;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const std::string state = argc > 2 ? argv[2] : "";
  int failures = -1;
  if (mode == "before" && !state.empty()) failures = Before(state);
  if (mode == "installed") failures = Installed();
  if (mode == "uninstalled" && !state.empty()) failures = Uninstalled(state);
  if (failures < 0) {
    std::fprintf(stderr, "usage: installer_check before STATE | installed | uninstalled STATE\n");
    return 100;
  }
  std::printf("%s: %d checks, %d failed\n", mode.c_str(), g_index, failures);
  return failures;
}
