// fmod_play <file>: plays a file to its end through the library's default
// output (the sound device unless MELODARA_AUDIO says otherwise). For the
// device smoke test and for listening by hand.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "fmod.h"

namespace {

std::atomic<bool> g_ended{false};
signed char OnEnd(FSOUND_STREAM*, void*, int, void*) {
  g_ended = true;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fmod_play <file>\n");
    return 1;
  }
  FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
  if (!FSOUND_Init(44100, 32, 0)) return 2;
  FSOUND_STREAM* stream = FSOUND_Stream_Open(argv[1], FSOUND_NORMAL, 0, 0);
  if (!stream) {
    std::fprintf(stderr, "fmod_play: cannot open %s\n", argv[1]);
    FSOUND_Close();
    return 3;
  }
  FSOUND_Stream_SetEndCallback(stream, OnEnd, nullptr);
  int length = FSOUND_Stream_GetLengthMs(stream);
  FSOUND_SetVolume(FSOUND_Stream_Play(FSOUND_FREE, stream), 255);
  for (int waited = 0; !g_ended && waited < length + 10000; waited += 20) Sleep(20);
  // Let the device play out what it holds; the sound server behind it can
  // hold more than the mixer's own buffers on a busy machine.
  Sleep(1500);
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
  return g_ended ? 0 : 4;
}
