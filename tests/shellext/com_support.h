// What the extension's tests play Explorer with: a data object carrying a
// drop-file list, an outer unknown, the built library and stand-in program,
// the stand-in's record, a catcher for message boxes, and small file helpers.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/hex.h"

namespace shelltest {

// The extension's class identifier.
extern const CLSID kClassId;

// How long the stand-in is waited for when it must start, and when it must not
// (the system creates the process before ShellExecuteA returns, and the
// stand-in records itself at once).
constexpr DWORD kStandInStartsMs = 15000;
constexpr DWORD kNotStartedMs = 1500;

// A data object as the shell hands it to Initialize: a CF_HDROP drop-file
// list (DROPFILES in movable global memory) of the given Shift_JIS paths, ANSI
// or wide. It lives on the stack: reference counts are counted, never freed.
class DropDataObject : public IDataObject {
 public:
  enum class Kind { kAnsi, kWide, kNoDropList };
  explicit DropDataObject(std::vector<std::string> paths, Kind kind = Kind::kAnsi);
  DropDataObject(const DropDataObject&) = delete;
  DropDataObject& operator=(const DropDataObject&) = delete;

  // References held by others (0 when only the test itself has it).
  LONG refs() const { return refs_; }
  // Successful GetData calls, the media given back (ReleaseStgMedium), and how
  // many of them were still locked when they came back.
  int handedOut() const { return handedOut_; }
  int givenBack() const { return givenBack_; }
  int givenBackLocked() const { return givenBackLocked_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_ + 1); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs_ + 1); }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override { return HasDropList(format) ? S_OK : DV_E_FORMATETC; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  // Gets each medium back through ReleaseStgMedium, notes whether it was still
  // locked, and frees its memory.
  class MediumOwner : public IUnknown {
   public:
    explicit MediumOwner(DropDataObject* parent) : parent_(parent) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override;
    HGLOBAL pending = nullptr;

   private:
    DropDataObject* parent_;
  };

  HGLOBAL MakeDropList() const;
  bool HasDropList(const FORMATETC* format) const;

  std::vector<std::string> paths_;
  Kind kind_;
  LONG refs_ = 0;
  int handedOut_ = 0;
  int givenBack_ = 0;
  int givenBackLocked_ = 0;
  MediumOwner owner_;
};

// An outer unknown for the aggregation test: counts what is asked of it.
class OuterUnknown : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    ++calls;
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { ++calls; return 2; }
  STDMETHODIMP_(ULONG) Release() override { ++calls; return 1; }
  int calls = 0;
};

// One message box seen on the test's thread, and what the catcher did.
struct CaughtBox {
  std::string caption;
  std::string text;  // exact Shift_JIS bytes
  bool hasOwner = false;
  bool hasIcon = false;
  int buttons = 0;        // push buttons in the box
  bool okButton = false;  // one of them is IDOK
};

// While it lives, every message box that opens on this thread is read and
// closed with OK at once (a WH_CBT hook on HCBT_ACTIVATE). One per thread.
class BoxCatcher {
 public:
  BoxCatcher();
  ~BoxCatcher();
  BoxCatcher(const BoxCatcher&) = delete;
  BoxCatcher& operator=(const BoxCatcher&) = delete;
  bool installed() const { return hook_ != nullptr; }
  const std::vector<CaughtBox>& boxes() const;

 private:
  HHOOK hook_ = nullptr;
};

// The exports of one loaded copy of the library.
struct Exports {
  HRESULT(WINAPI* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(WINAPI* canUnloadNow)() = nullptr;
};

// A host path as Windows programs under Wine see it (drive Z:).
std::string HostPathOnZ(const char* hostPath);
// The built library dist\LarkspanShell.dll, and the stand-in program, on drive Z:.
std::string BuiltLibrary();
std::string BuiltStandIn();
// The per-user install folder %LOCALAPPDATA%\Programs\Larkspan ("" if unknown).
std::string InstallDir();

// What the stand-in program recorded when it was started: its process id,
// its own file name, its command line and the parameter file's bytes as it
// found them.
struct StandInCall {
  bool started = false;
  DWORD pid = 0;
  std::string self;
  std::string commandLine;
  std::string seen;
};

// Waits up to timeoutMs for the stand-in's record in folder (ending with a
// backslash), then for the stand-in process to end.
StandInCall WaitForStandIn(const std::string& folder, DWORD timeoutMs);

bool Exists(const std::string& path);
// Whole content of a file, or "<missing>".
std::string ReadBytes(const std::string& path);
// Creates or replaces the file with exactly bytes; false on any failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// "0x%08X" of a result.
std::string HexResult(HRESULT result);

// The message shown when the parameter file at path cannot be written.
std::string CreateFailedText(const std::string& path);

// An extension object made through the loaded library's exports as Explorer
// makes it: class object, CreateInstance for IShellExtInit, then IContextMenu.
// Both pointers are released by the destructor. ok() false if any step failed.
class ExtensionObject {
 public:
  explicit ExtensionObject(const Exports& exports);
  ~ExtensionObject();
  ExtensionObject(const ExtensionObject&) = delete;
  ExtensionObject& operator=(const ExtensionObject&) = delete;
  bool ok() const { return init_ && menu_; }
  IShellExtInit* init() const { return init_; }
  IContextMenu* menu() const { return menu_; }

 private:
  IShellExtInit* init_ = nullptr;
  IContextMenu* menu_ = nullptr;
};

// Invokes the menu item as Explorer does after the user picked it: Initialize
// with data, QueryContextMenu on a fresh popup menu, InvokeCommand with the
// item's command offset 0. Returns InvokeCommand's result.
HRESULT PickMenuItem(const ExtensionObject& object, IDataObject* data);

}  // namespace shelltest
