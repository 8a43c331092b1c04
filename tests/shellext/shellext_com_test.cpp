// LarkspanShell.dll as Explorer meets it: a copy of the built library is loaded
// from a fresh folder beside a stand-in Larkspan.exe and driven through its two
// exports only. Covers the object count, the class factory, the extension
// object's identity, the menu item and its flag rule, the verb and command
// string rules, and the hand-off: the parameter file's bytes, the program's
// start, and the two messages.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/launch.h"
#include "tests/shellext/com_support.h"
#include "tests/support/temp_tree.h"

namespace {

using shelltest::BoxCatcher;
using shelltest::DropDataObject;
using shelltest::Exports;
using shelltest::ExtensionObject;
using shelltest::Hex;
using shelltest::kClassId;
using shelltest::ReadBytes;

constexpr DWORD kStandInStartsMs = 15000;
// How long a start that must not happen is waited for: the system creates the
// process before ShellExecuteA returns, and the stand-in records itself at once.
constexpr DWORD kNotStartedMs = 1500;

const std::string kHyo = "表";  // 0x95 0x5C
const std::string kSo = "ソ";   // 0x83 0x5C
const std::string kMenuText = "Larkspan ...";
const std::string kStartFailed = "バックアップに失敗しました（バックアップ実行モジュール無し）　";

std::string CreateFailed(const std::string& path) {
  return "パラメータファイルの作成に失敗しました。　\n\n書き込み権限等を確認してください。　\n（ " + path + " ）";
}

std::string Entries(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& p : paths) text += "\"" + p + "\" ";
  return text;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// COM on the test's thread as on an Explorer window's thread (single-threaded apartment).
class ComApartment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { ::CoUninitialize(); }
};
const auto* const kApartment = ::testing::AddGlobalTestEnvironment(new ComApartment);

// Loads the library at path; false (and module null) if it or an export is missing.
bool LoadLibraryCopy(const std::string& path, HMODULE& module, Exports& exports) {
  module = ::LoadLibraryA(path.c_str());
  if (!module) return false;
  // Through void*: the exports' real types are not FARPROC's.
  exports.getClassObject = reinterpret_cast<decltype(exports.getClassObject)>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  exports.canUnloadNow = reinterpret_cast<decltype(exports.canUnloadNow)>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
  return exports.getClassObject && exports.canUnloadNow;
}

// A fresh folder holding a copy of the built library and the stand-in program
// as Larkspan.exe; the library is loaded from there for each test, so that
// every test starts with a just-loaded library. At the end every object must
// be gone (the library says it may be unloaded), and it is unloaded.
class ShellExtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tree_.root() + "\\";
    ASSERT_TRUE(::CopyFileA(shelltest::BuiltLibrary().c_str(), Library().c_str(), FALSE))
        << shelltest::BuiltLibrary() << " error " << ::GetLastError();
    ASSERT_TRUE(::CopyFileA(shelltest::BuiltStandIn().c_str(), Program().c_str(), FALSE))
        << shelltest::BuiltStandIn() << " error " << ::GetLastError();
    ASSERT_TRUE(LoadLibraryCopy(Library(), module_, dll_)) << "error " << ::GetLastError();
  }
  void TearDown() override {
    if (!module_) return;
    EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "an object outlived the test";
    ::FreeLibrary(module_);
  }

  std::string Library() const { return folder_ + "LarkspanShell.dll"; }
  std::string Program() const { return folder_ + "Larkspan.exe"; }
  std::string ParameterFile() const { return folder_ + "lkpara.dat"; }

  // Removes what a previous hand-off left in the folder.
  void ClearHandOff() {
    for (const char* name : {"lkpara.dat", "standin_call.txt", "standin_seen.dat"}) {
      ::DeleteFileA((folder_ + name).c_str());
    }
  }

  TempTree tree_;
  std::string folder_;
  HMODULE module_ = nullptr;
  Exports dll_;
};

// --- Object count and class factory ------------------------------------------------

TEST_F(ShellExtTest, ObjectCountBeforeWhileAndAfterObjectsLive) {
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "right after loading";

  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  ASSERT_NE(nullptr, factory);
  EXPECT_EQ(S_FALSE, dll_.canUnloadNow()) << "while a factory lives";
  EXPECT_EQ(2u, factory->AddRef()) << "the caller holds the only reference of a new factory";
  EXPECT_EQ(1u, factory->Release());

  IShellExtInit* init = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)));
  ASSERT_NE(nullptr, init);
  EXPECT_EQ(0u, factory->Release()) << "the factory dies at its last release";
  EXPECT_EQ(S_FALSE, dll_.canUnloadNow()) << "while an extension object lives";
  EXPECT_EQ(2u, init->AddRef()) << "the caller holds the only reference of a new object";
  EXPECT_EQ(1u, init->Release());
  EXPECT_EQ(0u, init->Release()) << "the object dies at its last release";
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "after the last release";
}

TEST_F(ShellExtTest, LockServerDoesNotKeepTheLibrary) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(0u, factory->Release());
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "two locks taken, none counted";
}

TEST_F(ShellExtTest, EveryRequestMakesANewFactory) {
  IClassFactory* first = nullptr;
  IClassFactory* second = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&first)));
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IUnknown, reinterpret_cast<void**>(&second)));
  EXPECT_NE(first, second);
  EXPECT_EQ(0u, first->Release());
  EXPECT_EQ(S_FALSE, dll_.canUnloadNow()) << "the second factory still lives";
  EXPECT_EQ(0u, second->Release());
}

TEST_F(ShellExtTest, UnknownClassIdIsNotAvailable) {
  CLSID lastByte = kClassId;
  lastByte.Data4[7] ^= 1;
  CLSID firstByte = kClassId;
  firstByte.Data1 ^= 0x01000000;
  const CLSID cases[] = {GUID_NULL, IID_IContextMenu, IID_IClassFactory, lastByte, firstByte};
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    void* out = reinterpret_cast<void*>(0xDEADBEEF);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, dll_.getClassObject(cases[i], IID_IClassFactory, &out)) << "case " << i;
    EXPECT_EQ(nullptr, out) << "case " << i;
    EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "case " << i << ": nothing created";
  }
}

TEST_F(ShellExtTest, FactoryInterfaces) {
  struct Case {
    const IID* iid;
    HRESULT expected;
  } const cases[] = {
      {&IID_IUnknown, S_OK},          {&IID_IClassFactory, S_OK}, {&IID_IContextMenu, E_NOINTERFACE},
      {&IID_IShellExtInit, E_NOINTERFACE}, {&IID_IDataObject, E_NOINTERFACE},
  };
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    void* out = reinterpret_cast<void*>(0xDEADBEEF);
    EXPECT_EQ(cases[i].expected, factory->QueryInterface(*cases[i].iid, &out)) << "case " << i;
    if (cases[i].expected == S_OK) {
      EXPECT_EQ(static_cast<void*>(factory), out) << "case " << i;
      EXPECT_EQ(3u, static_cast<IUnknown*>(out)->AddRef()) << "case " << i << ": the hit added one reference";
      static_cast<IUnknown*>(out)->Release();
      static_cast<IUnknown*>(out)->Release();
    } else {
      EXPECT_EQ(nullptr, out) << "case " << i;
    }
  }
  EXPECT_EQ(0u, factory->Release());
}

// An object whose first interface request fails is not left behind, alive
// with no reference and keeping the library loaded for ever.
TEST_F(ShellExtTest, UnofferedInterfaceLeavesNothingAlive) {
  void* out = reinterpret_cast<void*>(0xDEADBEEF);
  EXPECT_EQ(E_NOINTERFACE, dll_.getClassObject(kClassId, IID_IContextMenu, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "factory asked for an interface it lacks";

  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  out = reinterpret_cast<void*>(0xDEADBEEF);
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(0u, factory->Release());
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "object asked for an interface it lacks";
}

TEST_F(ShellExtTest, AggregationIsRefused) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  shelltest::OuterUnknown outer;
  const IID* iids[] = {&IID_IUnknown, &IID_IShellExtInit};
  for (size_t i = 0; i < sizeof(iids) / sizeof(iids[0]); ++i) {
    void* out = reinterpret_cast<void*>(0xDEADBEEF);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, *iids[i], &out)) << "case " << i;
    EXPECT_EQ(nullptr, out) << "case " << i;
  }
  EXPECT_EQ(0, outer.calls) << "the outer unknown was never used";
  EXPECT_EQ(0u, factory->Release());
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "no object was created";
}

// --- The extension object's interfaces ---------------------------------------------

TEST_F(ShellExtTest, TwoInterfacesOneIdentity) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  factory->Release();

  IShellExtInit* init = nullptr;
  IContextMenu* menu = nullptr;
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)));
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)));
  EXPECT_EQ(static_cast<void*>(object), static_cast<void*>(init)) << "IUnknown is the IShellExtInit interface";
  EXPECT_NE(static_cast<void*>(init), static_cast<void*>(menu)) << "two interfaces, two pointers";

  // IUnknown through the IContextMenu interface: the IShellExtInit pointer,
  // and the one shared count rises by one.
  IUnknown* fromMenu = nullptr;
  ASSERT_EQ(S_OK, menu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromMenu)));
  EXPECT_EQ(static_cast<void*>(init), static_cast<void*>(fromMenu));
  EXPECT_EQ(5u, menu->AddRef()) << "object, init, menu, fromMenu, and this one";
  EXPECT_EQ(6u, init->AddRef()) << "one count for both interfaces";
  EXPECT_EQ(5u, init->Release());
  EXPECT_EQ(4u, menu->Release());

  IContextMenu* menuAgain = nullptr;
  ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menuAgain)));
  EXPECT_EQ(menu, menuAgain);
  IShellExtInit* initAgain = nullptr;
  ASSERT_EQ(S_OK, menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&initAgain)));
  EXPECT_EQ(init, initAgain);

  const IID* offered[] = {&IID_IClassFactory, &IID_IDataObject, &IID_IContextMenu2, &IID_IContextMenu3,
                          &IID_IShellFolder};
  for (size_t i = 0; i < sizeof(offered) / sizeof(offered[0]); ++i) {
    void* out = reinterpret_cast<void*>(0xDEADBEEF);
    EXPECT_EQ(E_NOINTERFACE, menu->QueryInterface(*offered[i], &out)) << "case " << i;
    EXPECT_EQ(nullptr, out) << "case " << i;
  }
  // Released in mixed order through either interface: the object dies at the last.
  EXPECT_EQ(5u, initAgain->Release());
  EXPECT_EQ(4u, menuAgain->Release());
  EXPECT_EQ(3u, fromMenu->Release());
  EXPECT_EQ(2u, menu->Release());
  EXPECT_EQ(1u, init->Release());
  EXPECT_EQ(S_FALSE, dll_.canUnloadNow());
  EXPECT_EQ(0u, object->Release());
}

// --- The menu item ---------------------------------------------------------------

TEST_F(ShellExtTest, MenuFlagRule) {
  struct Case {
    UINT flags;
    bool added;
  } const cases[] = {
      {CMF_NORMAL, true},
      {CMF_DEFAULTONLY, false},
      {CMF_VERBSONLY, true},
      {CMF_EXPLORE, true},
      {CMF_NOVERBS, false},
      {CMF_DEFAULTONLY | CMF_EXPLORE, true},
      {CMF_DEFAULTONLY | CMF_VERBSONLY, true},
      {CMF_NOVERBS | CMF_EXPLORE, true},
      {CMF_DEFAULTONLY | CMF_NOVERBS, false},
      {CMF_CANRENAME, true},
      {CMF_EXTENDEDVERBS, true},
      {CMF_EXPLORE | CMF_EXTENDEDVERBS | CMF_CANRENAME, true},
      {CMF_DEFAULTONLY | CMF_EXTENDEDVERBS, false},
      {CMF_NOVERBS | CMF_CANRENAME, false},
  };
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, 1, "first");
    ::AppendMenuA(menu, MF_STRING, 2, "second");
    HRESULT result = object.menu()->QueryContextMenu(menu, 1, 100, 199, cases[i].flags);
    EXPECT_EQ(cases[i].added ? MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1) : MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0), result)
        << "case " << i << " flags 0x" << std::hex << cases[i].flags;
    EXPECT_EQ(cases[i].added ? 3 : 2, ::GetMenuItemCount(menu)) << "case " << i;
    if (cases[i].added) {
      EXPECT_EQ(100u, ::GetMenuItemID(menu, 1)) << "case " << i;
    }
    ::DestroyMenu(menu);
  }
}

TEST_F(ShellExtTest, MenuItemShape) {
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuA(menu, MF_STRING, 1, "first");
  ::AppendMenuA(menu, MF_STRING, 2, "second");
  ::AppendMenuA(menu, MF_STRING, 3, "third");
  ASSERT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), object.menu()->QueryContextMenu(menu, 2, 0x7123, 0x7FFF, 0));

  ASSERT_EQ(4, ::GetMenuItemCount(menu));
  EXPECT_EQ(1u, ::GetMenuItemID(menu, 0));
  EXPECT_EQ(2u, ::GetMenuItemID(menu, 1));
  EXPECT_EQ(0x7123u, ::GetMenuItemID(menu, 2)) << "inserted by position, with the first command id";
  EXPECT_EQ(3u, ::GetMenuItemID(menu, 3));

  char text[64];
  std::memset(text, '#', sizeof(text));
  int length = ::GetMenuStringA(menu, 2, text, sizeof(text), MF_BYPOSITION);
  EXPECT_EQ(kMenuText, std::string(text, length > 0 ? static_cast<size_t>(length) : 0));

  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_BITMAP | MIIM_CHECKMARKS;
  ASSERT_TRUE(::GetMenuItemInfoA(menu, 2, TRUE, &info));
  EXPECT_EQ(static_cast<UINT>(MFT_STRING), info.fType & ~MFT_RIGHTJUSTIFY);
  EXPECT_EQ(0u, info.fState & (MFS_DEFAULT | MFS_DISABLED | MFS_CHECKED));
  EXPECT_EQ(nullptr, info.hSubMenu);
  EXPECT_EQ(nullptr, info.hbmpItem);
  EXPECT_EQ(nullptr, info.hbmpChecked);
  EXPECT_EQ(static_cast<UINT>(-1), ::GetMenuDefaultItem(menu, TRUE, 0)) << "not made the default";
  ::DestroyMenu(menu);
}

// Nothing is claimed when nothing could be added: no command id left between
// first and last, or a menu that does not exist.
TEST_F(ShellExtTest, MenuWithoutRoomOrWithoutMenu) {
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  HMENU menu = ::CreatePopupMenu();
  EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), object.menu()->QueryContextMenu(menu, 0, 50, 50, 0))
      << "exactly one id left";
  EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0), object.menu()->QueryContextMenu(menu, 0, 51, 50, 0))
      << "no id left";
  EXPECT_EQ(1, ::GetMenuItemCount(menu));
  ::DestroyMenu(menu);
  EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0), object.menu()->QueryContextMenu(menu, 0, 50, 60, 0))
      << "a destroyed menu";
}

TEST_F(ShellExtTest, OnlyCommandOffsetZeroInvokes) {
  DropDataObject data({folder_ + "a.txt"});
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  ASSERT_EQ(S_OK, object.init()->Initialize(nullptr, &data, nullptr));
  BoxCatcher boxes;
  struct Case {
    LPCSTR verb;
  } const cases[] = {{"open"}, {"Larkspan"}, {""}, {MAKEINTRESOURCEA(1)}, {MAKEINTRESOURCEA(0xFFFF)}};
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = cases[i].verb;
    info.nShow = SW_SHOWNORMAL;
    EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(&info)) << "case " << i;
  }
  EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(nullptr)) << "no invocation information";
  EXPECT_EQ(0, data.handedOut()) << "the selection was never read";
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_FALSE(Exists(ParameterFile()));
  EXPECT_FALSE(shelltest::WaitForStandIn(folder_, kNotStartedMs).started);
}

TEST_F(ShellExtTest, CommandStringIsEmptyForEveryRequest) {
  struct Case {
    UINT type;
    bool wide;
    bool written;  // an empty text is written
  } const cases[] = {
      {GCS_VERBA, false, true},     {GCS_HELPTEXTA, false, true}, {GCS_VALIDATEA, false, false},
      {GCS_VERBW, true, true},      {GCS_HELPTEXTW, true, true},  {GCS_VALIDATEW, true, false},
  };
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    for (UINT command : {0u, 1u}) {
      char buffer[32];
      std::memset(buffer, '#', sizeof(buffer));
      EXPECT_EQ(S_OK, object.menu()->GetCommandString(command, cases[i].type, nullptr, buffer, 16))
          << "case " << i << " command " << command;
      // Written: one terminator of the request's width, nothing after it.
      const size_t terminator = !cases[i].written ? 0 : cases[i].wide ? sizeof(WCHAR) : 1;
      for (size_t b = 0; b < sizeof(buffer); ++b) {
        EXPECT_EQ(b < terminator ? '\0' : '#', buffer[b]) << "case " << i << " command " << command << " byte " << b;
      }
    }
    char untouched = '#';
    EXPECT_EQ(S_OK, object.menu()->GetCommandString(0, cases[i].type, nullptr, &untouched, 0)) << "case " << i;
    EXPECT_EQ('#', untouched) << "case " << i << ": size 0";
    EXPECT_EQ(S_OK, object.menu()->GetCommandString(0, cases[i].type, nullptr, nullptr, 16)) << "case " << i;
  }
}

// --- Initialize ----------------------------------------------------------------

TEST_F(ShellExtTest, InitializeHoldsOneReferenceAndGivesItUp) {
  DropDataObject first({"C:\\a"});
  DropDataObject second({"C:\\b"});
  {
    ExtensionObject object(dll_);
    ASSERT_TRUE(object.ok());
    EXPECT_EQ(S_OK, object.init()->Initialize(nullptr, &first, nullptr));
    EXPECT_EQ(1, first.refs());
    EXPECT_EQ(S_OK, object.init()->Initialize(nullptr, &first, nullptr)) << "the same object again";
    EXPECT_EQ(1, first.refs());
    EXPECT_EQ(S_OK, object.init()->Initialize(nullptr, &second, nullptr));
    EXPECT_EQ(0, first.refs()) << "the earlier data object is given up";
    EXPECT_EQ(1, second.refs());
    EXPECT_EQ(S_OK, object.init()->Initialize(nullptr, nullptr, nullptr));
    EXPECT_EQ(0, second.refs()) << "without a data object, none is held";
    EXPECT_EQ(S_OK, object.init()->Initialize(nullptr, &second, nullptr));
    EXPECT_EQ(1, second.refs());
    EXPECT_EQ(0, second.handedOut()) << "Initialize does not read the selection";
  }
  EXPECT_EQ(0, second.refs()) << "released when the object dies";
}

// --- The hand-off ---------------------------------------------------------------

// What the folder shows after one pick of the item.
struct HandOffSeen {
  HRESULT result = E_FAIL;
  std::string file;
  shelltest::StandInCall call;
  std::vector<shelltest::CaughtBox> boxes;
};

class HandOffTest : public ShellExtTest {
 protected:
  HandOffSeen Pick(IDataObject* data, DWORD startMs = kStandInStartsMs) {
    HandOffSeen seen;
    ExtensionObject object(dll_);
    if (!object.ok()) {
      ADD_FAILURE() << "no extension object";
      return seen;
    }
    BoxCatcher boxes;
    EXPECT_TRUE(boxes.installed());
    seen.result = shelltest::PickMenuItem(object, data);
    seen.boxes = boxes.boxes();
    seen.call = shelltest::WaitForStandIn(folder_, startMs);
    seen.file = ReadBytes(ParameterFile());
    return seen;
  }

  // Checks a completed hand-off of expected: file written, program started by
  // its full path with the token only, having found the whole file.
  void ExpectHandedOver(const HandOffSeen& seen, const std::string& expected, size_t index) {
    EXPECT_EQ(S_OK, seen.result) << "case " << index;
    EXPECT_EQ(Hex(expected), Hex(seen.file)) << "case " << index;
    ASSERT_TRUE(seen.call.started) << "case " << index << ": the program was not started";
    EXPECT_EQ(Hex(expected), Hex(seen.call.seen)) << "case " << index << ": what the program found";
    EXPECT_EQ(Program(), seen.call.self) << "case " << index;
    EXPECT_EQ("LarkspanCall", CommandLineTail(seen.call.commandLine.c_str()))
        << "case " << index << ": " << seen.call.commandLine;
    EXPECT_TRUE(seen.boxes.empty()) << "case " << index << ": " << seen.boxes.front().text;
  }
};

TEST_F(HandOffTest, ParameterFileBytes) {
  struct Case {
    std::vector<std::string> paths;
    DropDataObject::Kind kind;
  } const cases[] = {
      {{"C:\\Data"}, DropDataObject::Kind::kAnsi},
      {{"C:\\Data\\a.txt", "C:\\Data\\sub", "D:\\b.txt"}, DropDataObject::Kind::kAnsi},
      {{"C:\\My Documents\\a b.txt", "C:\\ lead and trail "}, DropDataObject::Kind::kAnsi},
      {{"C:\\" + kHyo + "\\" + kSo + ".txt", "C:\\" + kSo + kHyo, "D:\\"}, DropDataObject::Kind::kAnsi},
      // As today's Explorer hands it over: a wide list, turned into Shift_JIS.
      {{"C:\\" + kHyo + " " + kSo + "\\データ.txt", "C:\\Data\\x"}, DropDataObject::Kind::kWide},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    ClearHandOff();
    DropDataObject data(cases[i].paths, cases[i].kind);
    HandOffSeen seen = Pick(&data);
    ExpectHandedOver(seen, Entries(cases[i].paths), i);
    EXPECT_EQ(1, data.handedOut()) << "case " << i;
    EXPECT_EQ(1, data.givenBack()) << "case " << i << ": the medium is released";
    EXPECT_EQ(0, data.givenBackLocked()) << "case " << i << ": and unlocked before";
    EXPECT_EQ(0, data.refs()) << "case " << i;
  }
}

TEST_F(HandOffTest, OlderLongerFileIsReplaced) {
  const std::string older = Entries({"C:\\a very long older path\\that must not survive", "C:\\x", "C:\\y"});
  WriteBytes(ParameterFile(), older);
  DropDataObject data({"C:\\a"});
  HandOffSeen seen = Pick(&data);
  ExpectHandedOver(seen, "\"C:\\a\" ", 0);
  EXPECT_EQ(7u, seen.file.size());
}

TEST_F(HandOffTest, NoSelectionNoHandOff) {
  struct Case {
    std::vector<std::string> paths;
    DropDataObject::Kind kind;
    int handedOut;
  } const cases[] = {
      {{"C:\\a"}, DropDataObject::Kind::kNoDropList, 0},
      {{}, DropDataObject::Kind::kAnsi, 1},
      {{}, DropDataObject::Kind::kWide, 1},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    DropDataObject data(cases[i].paths, cases[i].kind);
    HandOffSeen seen = Pick(&data, kNotStartedMs);
    EXPECT_EQ(E_INVALIDARG, seen.result) << "case " << i;
    EXPECT_EQ("<missing>", seen.file) << "case " << i;
    EXPECT_FALSE(seen.call.started) << "case " << i;
    EXPECT_TRUE(seen.boxes.empty()) << "case " << i;
    EXPECT_EQ(cases[i].handedOut, data.handedOut()) << "case " << i;
    EXPECT_EQ(cases[i].handedOut, data.givenBack()) << "case " << i << ": the medium is released";
    EXPECT_EQ(0, data.givenBackLocked()) << "case " << i;
  }
}

TEST_F(HandOffTest, NotInitializedOrInitializedWithNothing) {
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  BoxCatcher boxes;
  CMINVOKECOMMANDINFO info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = MAKEINTRESOURCEA(0);
  EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(&info)) << "never initialised";
  DropDataObject data({"C:\\a"});
  ASSERT_EQ(S_OK, object.init()->Initialize(nullptr, &data, nullptr));
  ASSERT_EQ(S_OK, object.init()->Initialize(nullptr, nullptr, nullptr));
  EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(&info)) << "the data object was given up";
  EXPECT_EQ(0, data.handedOut());
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_FALSE(Exists(ParameterFile()));
  EXPECT_FALSE(shelltest::WaitForStandIn(folder_, kNotStartedMs).started);
}

TEST_F(HandOffTest, ProgramMissing) {
  ASSERT_TRUE(::DeleteFileA(Program().c_str()));
  DropDataObject data({"C:\\" + kHyo, "C:\\b c"});
  HandOffSeen seen = Pick(&data, kNotStartedMs);
  EXPECT_EQ(S_OK, seen.result);
  EXPECT_EQ(Hex(Entries({"C:\\" + kHyo, "C:\\b c"})), Hex(seen.file)) << "the file is written all the same";
  EXPECT_FALSE(seen.call.started);
  ASSERT_EQ(1u, seen.boxes.size());
  const shelltest::CaughtBox& box = seen.boxes[0];
  EXPECT_EQ("Larkspan", box.caption);
  EXPECT_EQ(Hex(kStartFailed), Hex(box.text));
  EXPECT_FALSE(box.hasIcon) << "no icon";
  EXPECT_FALSE(box.hasOwner) << "no owner window";
  EXPECT_EQ(1, box.buttons) << "OK only";
  EXPECT_TRUE(box.okButton);
}

TEST_F(HandOffTest, ParameterFileCannotBeCreated) {
  // A folder named like the file: it cannot be created or replaced.
  ASSERT_TRUE(::CreateDirectoryA(ParameterFile().c_str(), nullptr));
  DropDataObject data({"C:\\a"});
  HandOffSeen seen = Pick(&data, kNotStartedMs);
  EXPECT_EQ(S_OK, seen.result);
  EXPECT_FALSE(seen.call.started) << "the program is not started";
  ASSERT_EQ(1u, seen.boxes.size());
  const shelltest::CaughtBox& box = seen.boxes[0];
  EXPECT_EQ("Larkspan", box.caption);
  EXPECT_EQ(Hex(CreateFailed(ParameterFile())), Hex(box.text));
  EXPECT_FALSE(box.hasIcon);
  EXPECT_FALSE(box.hasOwner);
  EXPECT_EQ(1, box.buttons);
  EXPECT_TRUE(box.okButton);
  DWORD attributes = ::GetFileAttributesA(ParameterFile().c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << "left alone";
  ::RemoveDirectoryA(ParameterFile().c_str());
}

// The library finds its folder from its own module, character-wise: a copy
// under another name, in a folder whose name ends in "表" and holds a space,
// hands over beside itself.
TEST_F(HandOffTest, LibraryUnderAnotherNameInAJapaneseFolder) {
  const std::string other = tree_.Path("別 " + kSo + kHyo) + "\\";
  tree_.Folder("別 " + kSo + kHyo);
  const std::string library = other + kHyo + kSo + ".dll";
  ASSERT_TRUE(::CopyFileA(shelltest::BuiltLibrary().c_str(), library.c_str(), FALSE)) << ::GetLastError();
  ASSERT_TRUE(::CopyFileA(shelltest::BuiltStandIn().c_str(), (other + "Larkspan.exe").c_str(), FALSE));
  HMODULE module = nullptr;
  Exports exports;
  ASSERT_TRUE(LoadLibraryCopy(library, module, exports)) << ::GetLastError();
  {
    ExtensionObject object(exports);
    ASSERT_TRUE(object.ok());
    DropDataObject data({"C:\\" + kSo});
    BoxCatcher boxes;
    EXPECT_EQ(S_OK, shelltest::PickMenuItem(object, &data));
    EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes().front().text;
    shelltest::StandInCall call = shelltest::WaitForStandIn(other, kStandInStartsMs);
    ASSERT_TRUE(call.started);
    EXPECT_EQ(Hex(other + "Larkspan.exe"), Hex(call.self));
    EXPECT_EQ(Hex(Entries({"C:\\" + kSo})), Hex(ReadBytes(other + "lkpara.dat")));
  }
  EXPECT_EQ(S_OK, exports.canUnloadNow());
  ::FreeLibrary(module);
  EXPECT_FALSE(Exists(ParameterFile())) << "nothing beside the other copy";
}

}  // namespace
