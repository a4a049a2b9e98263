#pragma once
// Objects made by another library go back through their own Release, never
// delete: hold them in ReleasePtr<T>.
#include <memory>

struct ReleaseDeleter {
  template <class T>
  void operator()(T* object) const {
    if (object) object->Release();
  }
};

template <class T>
using ReleasePtr = std::unique_ptr<T, ReleaseDeleter>;
