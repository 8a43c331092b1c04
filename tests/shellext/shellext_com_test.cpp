// LarkspanShell.dll as Explorer meets it: a copy of the built library is loaded
// from a fresh folder beside a stand-in Larkspan.exe and driven through its two
// exports only: object count, class factory, the object's identity, the menu
// item, verbs and command strings, and the hand-off with its two messages.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/launch.h"
#include "tests/shellext/com_support.h"
#include "tests/support/temp_tree.h"

namespace {

using namespace shelltest;

const std::string kHyo = "表";  // 0x95 0x5C
const std::string kSo = "ソ";   // 0x83 0x5C
const std::string kStartFailed = "バックアップに失敗しました（バックアップ実行モジュール無し）　";
constexpr HRESULT kOneItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
constexpr HRESULT kNoItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
void* const kJunk = reinterpret_cast<void*>(0xDEADBEEF);

std::string Entries(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& p : paths) text += "\"" + p + "\" ";
  return text;
}

// COM on the test's thread as on an Explorer window's thread (single-threaded apartment).
class ComApartment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { ::CoUninitialize(); }
};
const auto* const kApartment = ::testing::AddGlobalTestEnvironment(new ComApartment);

// Loads the library at path; false if it or an export is missing.
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

// Each test loads its own copy of the library from a fresh folder beside the
// stand-in as Larkspan.exe; at the end every object must be gone.
class ShellExtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tree_.root() + "\\";
    ASSERT_TRUE(::CopyFileA(BuiltLibrary().c_str(), Library().c_str(), FALSE)) << BuiltLibrary() << ::GetLastError();
    ASSERT_TRUE(::CopyFileA(BuiltStandIn().c_str(), Program().c_str(), FALSE)) << BuiltStandIn() << ::GetLastError();
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
  IClassFactory* Factory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    return factory;
  }
  // Nothing was read, shown, written or started.
  void ExpectNothingHappened(const DropDataObject& data, const BoxCatcher& boxes) {
    EXPECT_EQ(0, data.handedOut()) << "the selection was read";
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_FALSE(Exists(ParameterFile()));
    EXPECT_FALSE(WaitForStandIn(folder_, kNotStartedMs).started);
  }

  TempTree tree_;
  std::string folder_;
  HMODULE module_ = nullptr;
  Exports dll_;
};

TEST_F(ShellExtTest, ObjectCountAndFactoryLifetime) {
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "right after loading";
  IClassFactory* factory = Factory();
  ASSERT_NE(nullptr, factory);
  EXPECT_EQ(S_FALSE, dll_.canUnloadNow()) << "while a factory lives";
  EXPECT_EQ(2u, factory->AddRef()) << "the caller holds the only reference of a new factory";
  EXPECT_EQ(1u, factory->Release());
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));

  IClassFactory* second = nullptr;
  ASSERT_EQ(S_OK, dll_.getClassObject(kClassId, IID_IUnknown, reinterpret_cast<void**>(&second)));
  EXPECT_NE(factory, second) << "every request makes a new factory";
  EXPECT_EQ(0u, second->Release());

  IShellExtInit* init = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)));
  ASSERT_NE(nullptr, init);
  EXPECT_EQ(0u, factory->Release()) << "the factory dies at its last release";
  EXPECT_EQ(S_FALSE, dll_.canUnloadNow()) << "while an extension object lives";
  EXPECT_EQ(2u, init->AddRef()) << "the caller holds the only reference of a new object";
  EXPECT_EQ(1u, init->Release());
  EXPECT_EQ(0u, init->Release()) << "the object dies at its last release";
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "after the last release; two locks taken, none counted";
}

// A refused request leaves nothing behind: no object alive with no reference,
// keeping the library loaded for ever.
TEST_F(ShellExtTest, RefusedClassObjectRequests) {
  CLSID lastByte = kClassId;
  lastByte.Data4[7] ^= 1;
  CLSID firstByte = kClassId;
  firstByte.Data1 ^= 0x01000000;
  struct Case {
    CLSID clsid;
    const IID* iid;
    HRESULT expected;
  } const cases[] = {
      {GUID_NULL, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {IID_IContextMenu, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {IID_IClassFactory, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {lastByte, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {firstByte, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {kClassId, &IID_IContextMenu, E_NOINTERFACE},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    void* out = kJunk;
    EXPECT_EQ(cases[i].expected, dll_.getClassObject(cases[i].clsid, *cases[i].iid, &out)) << "case " << i;
    EXPECT_EQ(nullptr, out) << "case " << i;
    EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "case " << i << ": something was left alive";
  }
}

TEST_F(ShellExtTest, FactoryInterfacesAndRefusedInstances) {
  IClassFactory* factory = Factory();
  ASSERT_NE(nullptr, factory);
  struct Case {
    const IID* iid;
    HRESULT expected;
  } const cases[] = {{&IID_IUnknown, S_OK},           {&IID_IClassFactory, S_OK},  {&IID_IContextMenu, E_NOINTERFACE},
                     {&IID_IShellExtInit, E_NOINTERFACE}, {&IID_IDataObject, E_NOINTERFACE}};
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    void* out = kJunk;
    EXPECT_EQ(cases[i].expected, factory->QueryInterface(*cases[i].iid, &out)) << "case " << i;
    if (cases[i].expected != S_OK) {
      EXPECT_EQ(nullptr, out) << "case " << i;
      continue;
    }
    EXPECT_EQ(static_cast<void*>(factory), out) << "case " << i;
    EXPECT_EQ(3u, factory->AddRef()) << "case " << i << ": the hit added one reference";
    factory->Release();
    factory->Release();
  }
  // CreateInstance: aggregation is refused without touching the outer unknown;
  // an interface the object lacks leaves no object alive.
  OuterUnknown outer;
  struct Instance {
    IUnknown* outer;
    const IID* iid;
    HRESULT expected;
  } const instances[] = {{&outer, &IID_IUnknown, CLASS_E_NOAGGREGATION},
                         {&outer, &IID_IShellExtInit, CLASS_E_NOAGGREGATION},
                         {nullptr, &IID_IClassFactory, E_NOINTERFACE}};
  for (size_t i = 0; i < sizeof(instances) / sizeof(instances[0]); ++i) {
    void* out = kJunk;
    const Instance& c = instances[i];
    EXPECT_EQ(c.expected, factory->CreateInstance(c.outer, *c.iid, &out)) << "case " << i;
    EXPECT_EQ(nullptr, out) << "case " << i;
  }
  EXPECT_EQ(0, outer.calls) << "the outer unknown was used";
  EXPECT_EQ(0u, factory->Release());
  EXPECT_EQ(S_OK, dll_.canUnloadNow()) << "an object was left alive";
}

TEST_F(ShellExtTest, TwoInterfacesOneIdentity) {
  IClassFactory* factory = Factory();
  ASSERT_NE(nullptr, factory);
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  factory->Release();

  IShellExtInit* init = nullptr;
  IContextMenu* menu = nullptr;
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)));
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)));
  EXPECT_EQ(static_cast<void*>(object), static_cast<void*>(init)) << "IUnknown is the IShellExtInit interface";
  EXPECT_NE(static_cast<void*>(init), static_cast<void*>(menu)) << "two interfaces, two pointers";

  // IUnknown through IContextMenu is the IShellExtInit pointer; one count for both.
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

  const IID* refused[] = {&IID_IClassFactory, &IID_IDataObject, &IID_IContextMenu2, &IID_IContextMenu3,
                          &IID_IShellFolder};
  for (size_t i = 0; i < sizeof(refused) / sizeof(refused[0]); ++i) {
    void* out = kJunk;
    EXPECT_EQ(E_NOINTERFACE, menu->QueryInterface(*refused[i], &out)) << "case " << i;
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

// The item goes in by position with the first command id, as a plain string
// item, unless the flags ask for the default verb only or for no verbs.
TEST_F(ShellExtTest, MenuItemAndFlagRule) {
  struct Case {
    UINT flags;
    bool added;
  } const cases[] = {
      {CMF_NORMAL, true},         {CMF_DEFAULTONLY, false},   {CMF_VERBSONLY, true},
      {CMF_EXPLORE, true},        {CMF_NOVERBS, false},       {CMF_DEFAULTONLY | CMF_EXPLORE, true},
      {CMF_DEFAULTONLY | CMF_VERBSONLY, true},                {CMF_NOVERBS | CMF_EXPLORE, true},
      {CMF_DEFAULTONLY | CMF_NOVERBS, false},                 {CMF_CANRENAME, true},
      {CMF_EXTENDEDVERBS, true},  {CMF_EXPLORE | CMF_EXTENDEDVERBS | CMF_CANRENAME, true},
      {CMF_DEFAULTONLY | CMF_EXTENDEDVERBS, false},           {CMF_NOVERBS | CMF_CANRENAME, false},
  };
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + " flags " + std::to_string(cases[i].flags));
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, 1, "first");
    ::AppendMenuA(menu, MF_STRING, 2, "second");
    ::AppendMenuA(menu, MF_STRING, 3, "third");
    const HRESULT expected = cases[i].added ? kOneItem : kNoItem;
    EXPECT_EQ(expected, object.menu()->QueryContextMenu(menu, 2, 0x7123, 0x7FFF, cases[i].flags));
    const std::vector<UINT> ids = cases[i].added ? std::vector<UINT>{1, 2, 0x7123, 3} : std::vector<UINT>{1, 2, 3};
    EXPECT_EQ(static_cast<int>(ids.size()), ::GetMenuItemCount(menu));
    for (size_t n = 0; n < ids.size(); ++n) EXPECT_EQ(ids[n], ::GetMenuItemID(menu, static_cast<int>(n))) << n;
    if (cases[i].added) {
      char text[64];
      std::memset(text, '#', sizeof(text));
      int length = ::GetMenuStringA(menu, 2, text, sizeof(text), MF_BYPOSITION);
      EXPECT_EQ("Larkspan ...", std::string(text, length > 0 ? static_cast<size_t>(length) : 0));
      MENUITEMINFOA info = {};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_BITMAP | MIIM_CHECKMARKS;
      EXPECT_TRUE(::GetMenuItemInfoA(menu, 2, TRUE, &info));
      EXPECT_EQ(static_cast<UINT>(MFT_STRING), info.fType & ~MFT_RIGHTJUSTIFY);
      EXPECT_EQ(0u, info.fState & (MFS_DEFAULT | MFS_DISABLED | MFS_CHECKED));
      EXPECT_TRUE(!info.hSubMenu && !info.hbmpItem && !info.hbmpChecked) << "no submenu, no bitmaps";
      EXPECT_EQ(static_cast<UINT>(-1), ::GetMenuDefaultItem(menu, TRUE, 0)) << "not made the default";
    }
    ::DestroyMenu(menu);
  }
}

// Nothing is claimed when nothing could be added: no command id left between
// first and last, or a menu that does not exist.
TEST_F(ShellExtTest, MenuWithoutRoomOrWithoutMenu) {
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  HMENU menu = ::CreatePopupMenu();
  EXPECT_EQ(kOneItem, object.menu()->QueryContextMenu(menu, 0, 50, 50, 0)) << "exactly one id left";
  EXPECT_EQ(kNoItem, object.menu()->QueryContextMenu(menu, 0, 51, 50, 0)) << "no id left";
  EXPECT_EQ(1, ::GetMenuItemCount(menu));
  ::DestroyMenu(menu);
  EXPECT_EQ(kNoItem, object.menu()->QueryContextMenu(menu, 0, 50, 60, 0)) << "a destroyed menu";
}

// Only command offset 0 of an object holding a selection hands over.
TEST_F(ShellExtTest, InvokeWithoutSelectionOrOtherVerb) {
  DropDataObject data({folder_ + "a.txt"});
  ExtensionObject object(dll_);
  ASSERT_TRUE(object.ok());
  BoxCatcher boxes;
  CMINVOKECOMMANDINFO info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = MAKEINTRESOURCEA(0);
  info.nShow = SW_SHOWNORMAL;
  EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(&info)) << "never initialised";
  ASSERT_EQ(S_OK, object.init()->Initialize(nullptr, &data, nullptr));
  ASSERT_EQ(S_OK, object.init()->Initialize(nullptr, nullptr, nullptr));
  EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(&info)) << "the data object was given up";

  ASSERT_EQ(S_OK, object.init()->Initialize(nullptr, &data, nullptr));
  const LPCSTR verbs[] = {"open", "Larkspan", "", MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(0xFFFF)};
  for (size_t i = 0; i < sizeof(verbs) / sizeof(verbs[0]); ++i) {
    info.lpVerb = verbs[i];
    EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(&info)) << "case " << i;
  }
  EXPECT_EQ(E_INVALIDARG, object.menu()->InvokeCommand(nullptr)) << "no invocation information";
  ExpectNothingHappened(data, boxes);
}

TEST_F(ShellExtTest, CommandStringIsEmptyForEveryRequest) {
  struct Case {
    UINT type;
    bool wide;
    bool written;  // an empty text is written
  } const cases[] = {
      {GCS_VERBA, false, true}, {GCS_HELPTEXTA, false, true}, {GCS_VALIDATEA, false, false},
      {GCS_VERBW, true, true},  {GCS_HELPTEXTW, true, true},  {GCS_VALIDATEW, true, false},
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

// What the folder shows after one pick of the item.
struct HandOffSeen {
  HRESULT result = E_FAIL;
  std::string file;
  StandInCall call;
  std::vector<CaughtBox> boxes;
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
    seen.result = PickMenuItem(object, data);
    seen.boxes = boxes.boxes();
    seen.call = WaitForStandIn(folder_, startMs);
    seen.file = ReadBytes(ParameterFile());
    return seen;
  }
};

// A completed hand-off: the file holds exactly the selection (any older,
// longer file replaced), the program was started by its full path with the
// token only, having found the whole file; the medium came back unlocked.
TEST_F(HandOffTest, ParameterFileBytes) {
  using K = DropDataObject::Kind;
  struct Case {
    std::vector<std::string> paths;
    K kind;
    std::string before;  // the file's bytes before ("" for none)
  } const cases[] = {
      {{"C:\\Data"}, K::kAnsi, ""},
      {{"C:\\Data\\a.txt", "C:\\Data\\sub", "D:\\b.txt"}, K::kAnsi, ""},
      {{"C:\\My Documents\\a b.txt", "C:\\ lead and trail "}, K::kAnsi, ""},
      {{"C:\\" + kHyo + "\\" + kSo + ".txt", "C:\\" + kSo + kHyo, "D:\\"}, K::kAnsi, ""},
      // As today's Explorer hands it over: a wide list, turned into Shift_JIS.
      {{"C:\\" + kHyo + " " + kSo + "\\データ.txt", "C:\\Data\\x"}, K::kWide, ""},
      {{"C:\\a"}, K::kAnsi, Entries({"C:\\a very long older path\\that must not survive", "C:\\x", "C:\\y"})},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    for (const char* name : {"lkpara.dat", "standin_call.txt", "standin_seen.dat"}) {
      ::DeleteFileA((folder_ + name).c_str());
    }
    if (!cases[i].before.empty()) WriteBytes(ParameterFile(), cases[i].before);
    SCOPED_TRACE("case " + std::to_string(i));
    DropDataObject data(cases[i].paths, cases[i].kind);
    HandOffSeen seen = Pick(&data);
    const std::string expected = Entries(cases[i].paths);
    EXPECT_EQ(S_OK, seen.result);
    EXPECT_EQ(Hex(expected), Hex(seen.file));
    EXPECT_TRUE(seen.boxes.empty()) << (seen.boxes.empty() ? "" : seen.boxes[0].text);
    EXPECT_EQ(1, data.handedOut());
    EXPECT_EQ(1, data.givenBack()) << "the medium is released";
    EXPECT_EQ(0, data.givenBackLocked()) << "and unlocked before";
    EXPECT_EQ(0, data.refs());
    ASSERT_TRUE(seen.call.started) << "the program was not started";
    EXPECT_EQ(Hex(expected), Hex(seen.call.seen)) << "what the program found";
    EXPECT_EQ(Program(), seen.call.self);
    EXPECT_EQ("LarkspanCall", CommandLineTail(seen.call.commandLine.c_str())) << seen.call.commandLine;
  }
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

// A step that fails shows its one message (caption "Larkspan", no icon, no
// owner, OK only) and starts nothing: the parameter file blocked by a folder
// of its name (left alone), or the program missing (the file written all the same).
TEST_F(HandOffTest, FailedStepShowsItsMessage) {
  const std::vector<std::string> paths = {"C:\\" + kHyo, "C:\\b c"};
  for (int i = 0; i < 2; ++i) {
    const bool blocked = i == 0;
    if (blocked) {
      ASSERT_TRUE(::CreateDirectoryA(ParameterFile().c_str(), nullptr));
    } else {
      ASSERT_TRUE(::DeleteFileA(Program().c_str()));
    }
    DropDataObject data(paths);
    HandOffSeen seen = Pick(&data, kNotStartedMs);
    EXPECT_EQ(S_OK, seen.result) << "case " << i;
    EXPECT_FALSE(seen.call.started) << "case " << i;
    ASSERT_EQ(1u, seen.boxes.size()) << "case " << i;
    const CaughtBox& box = seen.boxes[0];
    EXPECT_EQ("Larkspan", box.caption) << "case " << i;
    EXPECT_EQ(Hex(blocked ? CreateFailedText(ParameterFile()) : kStartFailed), Hex(box.text)) << "case " << i;
    EXPECT_FALSE(box.hasIcon) << "case " << i;
    EXPECT_FALSE(box.hasOwner) << "case " << i;
    EXPECT_EQ(1, box.buttons) << "case " << i << ": OK only";
    EXPECT_TRUE(box.okButton) << "case " << i;
    if (!blocked) {
      EXPECT_EQ(Hex(Entries(paths)), Hex(seen.file)) << "the file is written all the same";
      continue;
    }
    const DWORD attributes = ::GetFileAttributesA(ParameterFile().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << "left alone";
    ::RemoveDirectoryA(ParameterFile().c_str());
  }
}

// The library finds its folder from its own module, character-wise: a copy
// under another name, in a folder whose name ends in "表" and holds a space,
// hands over beside itself.
TEST_F(HandOffTest, LibraryUnderAnotherNameInAJapaneseFolder) {
  tree_.Folder("別 " + kSo + kHyo);
  const std::string other = tree_.Path("別 " + kSo + kHyo) + "\\";
  const std::string library = other + kHyo + kSo + ".dll";
  ASSERT_TRUE(::CopyFileA(BuiltLibrary().c_str(), library.c_str(), FALSE)) << ::GetLastError();
  ASSERT_TRUE(::CopyFileA(BuiltStandIn().c_str(), (other + "Larkspan.exe").c_str(), FALSE));
  HMODULE module = nullptr;
  Exports exports;
  ASSERT_TRUE(LoadLibraryCopy(library, module, exports)) << ::GetLastError();
  {
    ExtensionObject object(exports);
    ASSERT_TRUE(object.ok());
    DropDataObject data({"C:\\" + kSo});
    BoxCatcher boxes;
    EXPECT_EQ(S_OK, PickMenuItem(object, &data));
    EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes().front().text;
    StandInCall call = WaitForStandIn(other, kStandInStartsMs);
    ASSERT_TRUE(call.started);
    EXPECT_EQ(Hex(other + "Larkspan.exe"), Hex(call.self));
    EXPECT_EQ(Hex(Entries({"C:\\" + kSo})), Hex(ReadBytes(other + "lkpara.dat")));
  }
  EXPECT_EQ(S_OK, exports.canUnloadNow());
  ::FreeLibrary(module);
  EXPECT_FALSE(Exists(ParameterFile())) << "nothing beside the other copy";
}

}  // namespace
