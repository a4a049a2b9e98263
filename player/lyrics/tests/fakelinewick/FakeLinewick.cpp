// A stand-in for Linewick.dll in the LRC source's tests: every parser it hands
// out counts its destruction, which the test reads through a second export.
#include <windows.h>

#include <linewick/Linewick.h>

namespace {

LONG g_released = 0;
LONG g_made = 0;

class CFakeParser final : public ILinewick {
 public:
  int LoadFile(const char*) override { return 1; }
  int LoadText(const char*, int) override { return 1; }
  void Release() override {
    ::InterlockedIncrement(&g_released);
    delete this;
  }
  int GetLineCount() override { return 0; }
  int GetLineTime(int) override { return -1; }
  const char* GetLineText(int) override { return nullptr; }
  int FindLineAt(int) override { return -1; }
  const char* GetTag(const char*) override { return nullptr; }
};

}  // namespace

extern "C" __declspec(dllexport) ILinewick* GetLinewickInstance() {
  ::InterlockedIncrement(&g_made);
  return new CFakeParser();
}

extern "C" __declspec(dllexport) void FakeLinewickCounts(LONG* made, LONG* released) {
  *made = g_made;
  *released = g_released;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
