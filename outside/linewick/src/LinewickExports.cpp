// The library's one export and the object behind it.
#include <windows.h>

#include <linewick/Linewick.h>

#include "LrcDocument.h"

#include <base/Guarded.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

class CLinewick final : public ILinewick {
 public:
  int LoadFile(const char* path) override {
    return base::Guarded([&] { return path ? Load(path) : 1; }, 1);
  }

  int LoadText(const char* text, int length) override {
    if (!text || length < 0 || length > kLinewickMaxFile) return 1;
    return base::Guarded(
        [&] {
          std::string converted = LrcToCodePage(text, static_cast<size_t>(length));
          document_.Parse(converted.data(), converted.size());
          return 0;
        },
        1);
  }

  void Release() override { delete this; }

  int GetLineCount() override { return static_cast<int>(document_.Lines().size()); }

  int GetLineTime(int index) override {
    if (index < 0 || index >= GetLineCount()) return -1;
    return document_.Lines()[static_cast<size_t>(index)].ms;
  }

  const char* GetLineText(int index) override {
    if (index < 0 || index >= GetLineCount()) return nullptr;
    return document_.Lines()[static_cast<size_t>(index)].text.c_str();
  }

  int FindLineAt(int ms) override { return document_.FindLineAt(ms); }

  const char* GetTag(const char* name) override {
    return base::Guarded([&] { return document_.Tag(name); }, static_cast<const char*>(nullptr));
  }

 private:
  int Load(const char* path) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(fopen(path, "rb"), &fclose);
    if (!f) return 1;
    std::string bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f.get())) > 0) {
      if (bytes.size() + n > static_cast<size_t>(kLinewickMaxFile)) return 1;
      bytes.append(chunk, n);
    }
    if (ferror(f.get())) return 1;
    return LoadText(bytes.data(), static_cast<int>(bytes.size()));
  }

  LrcDocument document_;
};

}  // namespace

extern "C" __declspec(dllexport) ILinewick* GetLinewickInstance() { return new (std::nothrow) CLinewick(); }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
