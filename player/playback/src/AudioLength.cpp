#include "playback/AudioLength.h"

#include <windows.h>

#include <cstring>

#include "fmod.h"

namespace {

// Far beyond the open of any sound file the library reads well, and short
// enough that a list of damaged files does not freeze the window for long.
constexpr ULONGLONG kMeasureBoundMs = 2000;
constexpr DWORD kPollMs = 5;

}  // namespace

int MeasureAudioLengthMs(const char* path) {
  if (!path || std::strncmp(path, "http://", 7) == 0 || std::strncmp(path, "http:\\\\", 7) == 0) return 0;
  // The bound counts from before the open, which may itself wait a little.
  const ULONGLONG deadline = GetTickCount64() + kMeasureBoundMs;
  FSOUND_STREAM* stream =
      FSOUND_Stream_Open(path, FSOUND_NORMAL | FSOUND_MPEGACCURATE | FSOUND_NONBLOCKING, 0, 0);
  if (!stream) return 0;
  int state;
  while ((state = FSOUND_Stream_GetOpenState(stream)) == FSOUND_OPEN_OPENING && GetTickCount64() < deadline)
    Sleep(kPollMs);
  int ms = state == FSOUND_OPEN_READY ? FSOUND_Stream_GetLengthMs(stream) : 0;
  // Closing a stream whose open still runs returns at once; the open ends on its own.
  FSOUND_Stream_Close(stream);
  return ms;
}
