// Owners for Win32 handles: each non-copyable type closes, deletes or destroys
// what it holds exactly once. Every handle the program keeps has one of these.
#pragma once

#include <windows.h>

namespace plat {

// One owner type: Traits says which value is empty and how a handle is let go.
template <typename T, typename Traits>
class UniqueHandle {
 public:
  explicit UniqueHandle(T h = Traits::Empty()) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  explicit operator bool() const { return Traits::Valid(h_); }
  T get() const { return h_; }
  // Gives up ownership; the caller closes the handle.
  T release() {
    T h = h_;
    h_ = Traits::Empty();
    return h;
  }
  // Lets go of the held handle (if any) and takes h.
  void reset(T h = Traits::Empty()) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }

 private:
  T h_;
};

// A kernel handle (file, mutex, ...); INVALID_HANDLE_VALUE and null are empty.
struct KernelHandleTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FileHandle = KernelHandle;

// A search handle (FindFirstFileW, FindFirstStreamW), ended by FindClose.
struct FindHandleTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
using FindHandle = UniqueHandle<HANDLE, FindHandleTraits>;

// A GDI object (bitmap, brush) created or loaded by the program.
template <typename T>
struct GdiObjectTraits {
  static T Empty() { return nullptr; }
  static bool Valid(T h) { return h != nullptr; }
  static void Close(T h) { ::DeleteObject(h); }
};
using BitmapHandle = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using BrushHandle = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;

// A menu loaded or created by the program, destroyed with its submenus.
struct MenuTraits {
  static HMENU Empty() { return nullptr; }
  static bool Valid(HMENU h) { return h != nullptr; }
  static void Close(HMENU h) { ::DestroyMenu(h); }
};
using MenuHandle = UniqueHandle<HMENU, MenuTraits>;

// An icon loaded by the program at a size of its choosing (not shared).
struct IconTraits {
  static HICON Empty() { return nullptr; }
  static bool Valid(HICON h) { return h != nullptr; }
  static void Close(HICON h) { ::DestroyIcon(h); }
};
using IconHandle = UniqueHandle<HICON, IconTraits>;

}  // namespace plat
