#include "playback/CFmodSystem.h"

#include <cstdlib>

#include "fmod.h"

namespace {

void CloseSound() { FSOUND_Close(); }

}  // namespace

// Built in static initialisation: the library is ready before the first window.
static CFmodSystem g_fmodSystem;

CFmodSystem::CFmodSystem() {
  FSOUND_SetBufferSize(200);
  FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
  FSOUND_SetDriver(0);
  FSOUND_SetMixer(FSOUND_MIXER_QUALITY_AUTODETECT);
  FSOUND_SetHWND(nullptr);
  if (!FSOUND_Init(m_mixRate, 128, FSOUND_INIT_GLOBALFOCUS)) return;
  FSOUND_Stream_SetBufferSize(1000);
  std::atexit(CloseSound);
  m_ready = true;
}

CFmodSystem& CFmodSystem::Instance() { return g_fmodSystem; }

int CFmodSystem::GetMixFrameSize() {
  switch (FSOUND_GetMixer()) {
    case 2:
    case 3:
    case 6:
    case 7:
      return 4;
    default:
      return 8;
  }
}
