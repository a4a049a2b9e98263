#pragma once
// The owner of a loaded module. Every LoadLibrary reference is given back by
// exactly one FreeLibrary, from the owner, so a failed lookup or an early
// return cannot leave a library loaded; and because the function pointers
// found in a module are only good while it stays loaded, whatever calls them
// must hold the owner (or the module's objects) no longer than it lives.
#include <windows.h>

#include <type_traits>

namespace base {

// An export of a module the caller does not own (one from GetModuleHandle),
// as the function pointer type Fn; null when the module or the export is
// missing. The name may also be an ordinal, MAKEINTRESOURCEA(n).
template <class Fn>
Fn FindExport(HMODULE module, const char* name) {
  static_assert(std::is_pointer<Fn>::value && std::is_function<std::remove_pointer_t<Fn>>::value,
                "Fn is a pointer to a function");
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(::GetProcAddress(module, name));
}

class Library {
 public:
  Library() = default;
  explicit Library(const char* path) : module_(::LoadLibraryA(path)) {}
  explicit Library(const wchar_t* path) : module_(::LoadLibraryW(path)) {}
  ~Library() { Free(); }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  Library(Library&& other) noexcept : module_(other.Detach()) {}
  Library& operator=(Library&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }

  HMODULE Get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }

  // @name Loading and letting go
  // Each frees the module held before, then loads; false when the load failed
  // (GetLastError tells why).
  bool Load(const char* path) {
    Free();
    module_ = ::LoadLibraryA(path);
    return module_ != nullptr;
  }
  bool Load(const wchar_t* path) {
    Free();
    module_ = ::LoadLibraryW(path);
    return module_ != nullptr;
  }
  // Takes over a reference the caller loaded (LoadLibraryEx); frees the one
  // held before.
  void Attach(HMODULE module) {
    Free();
    module_ = module;
  }
  // Hands the reference on: the caller frees it, or keeps the module loaded
  // for the rest of the process.
  HMODULE Detach() {
    HMODULE module = module_;
    module_ = nullptr;
    return module;
  }
  void Free() {
    if (module_ != nullptr) ::FreeLibrary(module_);
    module_ = nullptr;
  }

  // The export as the function pointer type Fn; null when nothing is loaded
  // or the module has no such export.
  template <class Fn>
  Fn Find(const char* name) const {
    return FindExport<Fn>(module_, name);
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace base
