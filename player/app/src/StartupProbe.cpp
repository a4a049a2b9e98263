#include "app/StartupProbe.h"

#include <string>

#include "base/Handles.h"

namespace {

StartupMarks g_marks;

void TellProbe() {
  char name[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableA(kStartupProbeVariable, name, sizeof(name));
  if (n == 0 || n >= sizeof(name)) return;
  const std::string block = std::string(name) + kStartupProbeBlockSuffix;
  base::ScopedHandle mapping(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, block.c_str()));
  if (mapping) {
    if (void* view = ::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(StartupMarks))) {
      *static_cast<StartupMarks*>(view) = g_marks;
      ::UnmapViewOfFile(view);
    }
  }
  base::ScopedHandle event(::OpenEventA(EVENT_MODIFY_STATE, FALSE, name));
  if (event) ::SetEvent(event.Get());
}

}  // namespace

void MarkStartup(StartupMark mark) {
  if (mark < 0 || mark >= kStartupMarkCount || g_marks.counter[mark] != 0) return;
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  g_marks.counter[mark] = now.QuadPart;
  if (mark == kStartupPainted) TellProbe();
}
