// The extension's unit tests: the hand-off's files beside the library (both builds); on Windows the COM objects
// as Explorer holds them through the library's two exports: one identity per object whichever interface it is
// asked through, no other interface, the counts, the item for each kind of menu, when the library may go.
#include "shellext/handoff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <shlobj.h>

#include "shellext/class_id.h"
#include "shellext/module.h"
#endif

namespace {

TEST(HandOff, PathsBesideTheLibrary) {
  const std::wstring dir = L"C:\\Łukasz\\表\\";  // a name with no Shift_JIS form
  for (const wchar_t* name : {L"C:/x/y.dll", L"y.dll"}) EXPECT_EQ(name, shellext::ModuleDirectory(name) + L"y.dll");
  EXPECT_EQ(dir + L"|" + dir + L"Larkspan.exe|" + dir + L"lkpara.dat",
            shellext::ModuleDirectory(dir + L"y.dll") + L"|" + shellext::ProgramPath(dir) + L"|" +
                shellext::ParameterFileIn(dir));
}

#ifdef _WIN32
// A new object asked for iid: a class factory, or an extension object (its factory released); nullptr if refused.
IUnknown* Create(bool extension, REFIID iid) {
  void* p = nullptr;
  if (FAILED(shellext::GetClassObject(shellext::kClassId, extension ? IID_IClassFactory : iid, &p))) return nullptr;
  if (!extension) return static_cast<IUnknown*>(p);
  auto* factory = static_cast<IClassFactory*>(p);
  if (FAILED(factory->CreateInstance(nullptr, iid, &p))) p = nullptr;
  factory->Release();
  return static_cast<IUnknown*>(p);
}

// The pointer p's object answers for iid, its reference given back at once (p holds the object); nullptr if
// refused (written over a pattern).
void* Ask(IUnknown* p, REFIID iid) {
  void* out = reinterpret_cast<void*>(0xDEADBEEF);
  if (SUCCEEDED(p->QueryInterface(iid, &out))) static_cast<IUnknown*>(out)->Release();
  return out;
}

TEST(Server, OneIdentityWhicheverInterfaceAnObjectIsAskedThrough) {
  const struct { const char* object; std::vector<const IID*> offered, refused; } objects[] = {
      {"factory", {&IID_IUnknown, &IID_IClassFactory}, {&IID_IShellExtInit, &IID_IClassFactory2, &IID_IMarshal}},
      {"extension", {&IID_IUnknown, &IID_IShellExtInit, &IID_IContextMenu},
       {&IID_IContextMenu2, &IID_IContextMenu3, &IID_IClassFactory, &IID_IDataObject, &IID_IPersistFile}},
  };
  for (const auto& o : objects) {
    for (const IID* entry : o.offered) {  // the object as created through each of its interfaces
      IUnknown* p = Create(&o == &objects[1], *entry);
      ASSERT_TRUE(p) << o.object;
      EXPECT_EQ(2u, p->AddRef()) << o.object;  // the creator holds the one reference
      EXPECT_EQ(1u, p->Release()) << o.object;
      void* const identity = Ask(p, IID_IUnknown);
      for (const IID* iid : o.offered) {  // each interface leads to the one identity, back, and to itself
        auto* q = static_cast<IUnknown*>(Ask(p, *iid));
        ASSERT_TRUE(q) << o.object;
        EXPECT_EQ(std::vector<void*>({identity, p, q}),
                  std::vector<void*>({Ask(q, IID_IUnknown), Ask(q, *entry), Ask(q, *iid)})) << o.object;
      }
      for (const IID* iid : o.refused) EXPECT_EQ(nullptr, Ask(p, *iid)) << o.object;
      EXPECT_EQ(E_POINTER, p->QueryInterface(IID_IUnknown, nullptr)) << o.object;
      EXPECT_EQ(0u, p->Release()) << o.object;  // every answer's reference given back
    }
  }
}

TEST(Server, TheItemForEachKindOfMenu) {
  // Flags, the command ids allowed, whether the item goes in (at the top, with the first id).
  const struct { UINT flags, first, last; bool item; } cases[] = {
      {CMF_NORMAL, 100, 200, true}, {CMF_DEFAULTONLY, 100, 200, false}, {CMF_VERBSONLY, 7, 7, true},
      {CMF_NOVERBS, 100, 200, false}, {CMF_DEFAULTONLY | CMF_EXPLORE, 100, 200, true},
      {CMF_NOVERBS | CMF_VERBSONLY, 100, 200, true}, {CMF_NORMAL, 100, 99, false},  // no command id left
      {CMF_CANRENAME | CMF_ITEMMENU | CMF_EXTENDEDVERBS | 0x80010000, 100, 200, true},
  };
  auto* menu = static_cast<IContextMenu*>(Create(true, IID_IContextMenu));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuW(popup, MF_STRING, 1, L"x");
    std::wstring items = std::to_wstring(menu->QueryContextMenu(popup, 0, c.first, c.last, c.flags));
    for (int k = 0; k < ::GetMenuItemCount(popup); ++k) {  // the result, then "|id text" from the top
      wchar_t text[64] = {};
      ::GetMenuStringW(popup, k, text, 64, MF_BYPOSITION);
      items += L"|" + std::to_wstring(::GetMenuItemID(popup, k)) + L" " + text;
    }
    EXPECT_EQ(c.item ? L"1|" + std::to_wstring(c.first) + L" Larkspan ...|1 x" : L"0|1 x", items) << i;
    ::DestroyMenu(popup);
  }
  menu->Release();
}

TEST(Server, ObjectsAndLocksKeepTheLibraryLoaded) {
  std::string seen;  // after each step: u unloadable, k kept
  auto step = [&](IUnknown* release) { release->Release(), seen += shellext::CanUnloadNow() == S_OK ? 'u' : 'k'; };
  auto factory = [] { return static_cast<IClassFactory*>(Create(false, IID_IClassFactory)); };
  IClassFactory* f = factory();
  f->LockServer(TRUE), f->LockServer(TRUE);
  step(f);  // two locks held, no object
  (f = factory())->LockServer(FALSE);
  step(f);  // one lock left
  EXPECT_EQ(S_OK, (f = factory())->LockServer(FALSE));
  step(f);
  IUnknown* extension = Create(true, IID_IContextMenu);
  extension->AddRef();
  step(extension);  // its factory gone, the extension object alive
  step(extension);
  EXPECT_EQ("kkuku", seen);
}
#endif

}  // namespace
