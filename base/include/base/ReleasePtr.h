#pragma once
// Objects made by another library go back through their own Release, never
// delete: the library that allocated them frees them. Hold them in ReleasePtr<T>.
#include <memory>

namespace base {

struct ReleaseDeleter {
  template <class T>
  void operator()(T* object) const {
    if (object) object->Release();
  }
};

template <class T>
using ReleasePtr = std::unique_ptr<T, ReleaseDeleter>;

}  // namespace base
