// Owner of one COM interface reference: releases it exactly once.
#pragma once

#include <unknwn.h>

namespace shellext {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Holds p with a reference of its own (AddRef), giving up the one held
  // before. The new reference is taken first, so holding the same object again
  // never destroys it on the way.
  void Hold(T* p) {
    if (p) p->AddRef();
    T* old = p_;
    p_ = p;
    if (old) old->Release();
  }
  // Gives up the held reference, if any.
  void Reset() { Hold(nullptr); }

 private:
  T* p_ = nullptr;
};

}  // namespace shellext
