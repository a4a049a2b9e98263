#include "CLibrary.h"

bool CLibrary::Load(const char* name) {
  Free();
  module_ = LoadLibraryA(name);
  return module_ != nullptr;
}

void CLibrary::Free() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
}

FARPROC CLibrary::Find(const char* name) const {
  return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}
