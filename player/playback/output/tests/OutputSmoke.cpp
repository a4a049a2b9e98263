// Plays a 440 Hz tone through the real DirectSound or waveOut output, for the
// null-sink smoke test that records what reaches the sound server.
//   output_smoke dsound|waveout <seconds>
// Exit code 0 when every call succeeded and the tone was played out in time.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "output/CDSoundOutput.h"
#include "output/CDSoundStream.h"
#include "output/CWaveOutStream.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

std::vector<short> Tone(double seconds) {
  std::vector<short> samples(static_cast<size_t>(seconds * kRate) * 2);
  for (size_t i = 0; i < samples.size() / 2; ++i) {
    short value = static_cast<short>(12000 * std::sin(2 * kPi * 440.0 * i / kRate));
    samples[2 * i] = samples[2 * i + 1] = value;
  }
  return samples;
}

HWND g_window = nullptr;

int PlayDirectSound(const std::vector<short>& tone, double seconds) {
  g_window =
      CreateWindowExA(0, "STATIC", "output smoke", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  MainWindowProvider() = [] { return g_window; };
  CDSoundOutput output;
  if (!output.Open(kRate, 16, 2, 0, 0)) return std::fprintf(stderr, "Open failed\n"), 2;
  auto* bytes = reinterpret_cast<const char*>(tone.data());
  int left = static_cast<int>(tone.size() * sizeof(short));
  DWORD begin = GetTickCount();
  while (left > 0) {
    if (GetTickCount() - begin > 30000) {
      CDSoundStream* stream = output.Stream();
      return std::fprintf(stderr, "writes stalled: stream %s, %d bytes buffered\n",
                          stream->Failed() ? "failed" : "not failed", output.GetBufferedBytes()),
             3;
    }
    int n = (std::min)(output.GetFreeSpace(), left);
    n -= n % 4;
    if (n > 0 && output.Write(bytes, n)) {
      bytes += n;
      left -= n;
    } else {
      Sleep(10);
    }
  }
  output.Drain();
  while (output.GetPlayedSeconds() < seconds - 0.05) {
    if (GetTickCount() - begin > 30000) {
      return std::fprintf(stderr, "played only %.2f s\n", output.GetPlayedSeconds()), 4;
    }
    Sleep(10);
  }
  std::printf("DirectSound played %.2f s\n", output.GetPlayedSeconds());
  // The sound server plays with its own latency behind the device position.
  Sleep(2000);
  output.ReleaseStream();
  return 0;
}

int PlayWaveOut(const std::vector<short>& tone) {
  CWaveOutOutput output;
  if (!output.Open(kRate, 16, 2)) return std::fprintf(stderr, "Open failed\n"), 2;
  auto* bytes = reinterpret_cast<const char*>(tone.data());
  int left = static_cast<int>(tone.size() * sizeof(short));
  DWORD begin = GetTickCount();
  while (left > 0) {
    if (GetTickCount() - begin > 30000) return std::fprintf(stderr, "writes stalled\n"), 3;
    int n = (std::min)(output.GetFreeSpace(), left);
    n -= n % 4;
    if (n > 0 && output.Write(bytes, n)) {
      bytes += n;
      left -= n;
    } else {
      output.Drain();
      Sleep(10);
    }
  }
  output.Drain();
  while (output.IsPlaying()) {
    if (GetTickCount() - begin > 30000) return std::fprintf(stderr, "never finished\n"), 4;
    output.Drain();
    Sleep(10);
  }
  std::printf("waveOut played\n");
  Sleep(2000);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return std::fprintf(stderr, "usage: output_smoke dsound|waveout <seconds>\n"), 1;
  double seconds = std::atof(argv[2]);
  std::vector<short> tone = Tone(seconds);
  if (std::strcmp(argv[1], "dsound") == 0) return PlayDirectSound(tone, seconds);
  if (std::strcmp(argv[1], "waveout") == 0) return PlayWaveOut(tone);
  return 1;
}
