#pragma once
// Owns a module handle from LoadLibraryA and frees it once.
#include <windows.h>

class CLibrary {
 public:
  CLibrary() = default;
  ~CLibrary() { Free(); }
  CLibrary(const CLibrary&) = delete;
  CLibrary& operator=(const CLibrary&) = delete;

  bool Load(const char* name);
  void Free();
  bool IsLoaded() const { return module_ != nullptr; }
  FARPROC Find(const char* name) const;

 private:
  HMODULE module_ = nullptr;
};
