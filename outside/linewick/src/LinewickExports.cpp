// The library's one export and the object behind it.
#include <windows.h>

#include <linewick/Linewick.h>

#include "LrcDocument.h"

#include <cstdio>
#include <new>

namespace {

class CLinewick final : public ILinewick {
 public:
  int LoadFile(const char* path) override {
    if (!path) return 1;
    FILE* f = fopen(path, "rb");
    if (!f) return 1;
    std::string bytes;
    char chunk[65536];
    size_t n;
    bool tooLarge = false;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) {
      if (bytes.size() + n > static_cast<size_t>(kLinewickMaxFile)) {
        tooLarge = true;
        break;
      }
      bytes.append(chunk, n);
    }
    bool failed = ferror(f) != 0;
    fclose(f);
    if (tooLarge || failed) return 1;
    return LoadText(bytes.data(), static_cast<int>(bytes.size()));
  }

  int LoadText(const char* text, int length) override {
    if (!text || length < 0 || length > kLinewickMaxFile) return 1;
    try {
      std::string converted = LrcToCodePage(text, static_cast<size_t>(length));
      document_.Parse(converted.data(), converted.size());
      return 0;
    } catch (...) {
      document_ = LrcDocument();
      return 1;
    }
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
    try {
      return document_.Tag(name);
    } catch (...) {
      return nullptr;
    }
  }

 private:
  LrcDocument document_;
};

}  // namespace

extern "C" __declspec(dllexport) ILinewick* GetLinewickInstance() { return new (std::nothrow) CLinewick(); }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
