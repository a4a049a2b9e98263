// Benchmark of the spectrum view and the audio outputs:
//   output_bench [seconds]   (default 60)
// - a spectrum repaint (DrawSpectrum onto the view's DC at 100 x 60): median
//   and worst over many; target under 2 ms;
// - the DirectSound output and the waveOut stream each playing `seconds` of
//   audio fed as free space allows: underruns (target 0) and the process's CPU
//   use (target under 2 % of one core);
// - beside each, the same time of a bare device kept playing with nothing of
//   ours in between (a looping DirectSound buffer; waveOut blocks queued as
//   they come back), so that the host's own share of that CPU use shows.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "output/CDSoundOutput.h"
#include "output/CDSoundStream.h"
#include "output/CWaveOutStream.h"
#include "playback/CSpectrumWnd.h"
#include "testsupport/Clock.h"

namespace {

std::vector<float> g_bins(CSpectrumWnd::kBins);
float* Bins() { return g_bins.data(); }

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

HWND g_window = nullptr;

void BenchSpectrum() {
  for (int i = 0; i < CSpectrumWnd::kBins; ++i) g_bins[i] = 1.0f / (1 + i) * (1 + std::sin(i * 0.3f));
  HWND parent =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 120, nullptr, nullptr, nullptr, nullptr);
  CSpectrumWnd view;
  view.SetSource(&Bins);
  view.Create(parent, 0, WS_CHILD);
  view.StopTimer();
  view.MoveWindow(20, 30, 100, 60);
  HDC dc = GetDC(view.GetSafeHwnd());
  std::vector<double> times;
  for (int i = 0; i < 3000; ++i) {
    double begin = testsupport::NowSeconds();
    view.DrawSpectrum(dc, 0, 0, true);
    GdiFlush();
    times.push_back((testsupport::NowSeconds() - begin) * 1000.0);
  }
  ReleaseDC(view.GetSafeHwnd(), dc);
  DestroyWindow(parent);
  std::sort(times.begin(), times.end());
  std::printf("spectrum repaint: median %.3f ms, worst %.3f ms over %zu (target < 2 ms)\n",
              times[times.size() / 2], times.back(), times.size());
}

std::vector<short> Tone(int frames) {
  std::vector<short> samples(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    samples[2 * i] = samples[2 * i + 1] =
        static_cast<short>(8000 * std::sin(2 * 3.14159265 * 440.0 * i / 44100));
  }
  return samples;
}

// Feeds `seconds` of tone through write(free space) calls every 10 ms.
template <class FreeSpace, class Write>
void Feed(double seconds, FreeSpace freeSpace, Write write) {
  std::vector<short> tone = Tone(44100);
  auto* bytes = reinterpret_cast<const char*>(tone.data());
  const int toneBytes = static_cast<int>(tone.size() * sizeof(short));
  long long left = static_cast<long long>(seconds * 176400);
  int offset = 0;
  // An output that stops taking data must not hold the benchmark forever.
  const double deadline = testsupport::NowSeconds() + 2 * seconds + 10;
  while (left > 0 && testsupport::NowSeconds() < deadline) {
    int n = static_cast<int>(std::min<long long>({freeSpace(), left, toneBytes - offset}));
    n -= n % 4;
    if (n > 0 && write(bytes + offset, n)) {
      offset = (offset + n) % toneBytes;
      left -= n;
    } else {
      Sleep(10);
    }
  }
}

// A looping secondary buffer of silence played for `seconds`, polled every
// 10 ms as a writer would: what the host's DirectSound costs by itself.
void BenchBareDirectSound(double seconds) {
  IDirectSound* sound = nullptr;
  if (FAILED(DirectSoundCreate(nullptr, &sound, nullptr))) {
    std::printf("bare DirectSound: no device\n");
    return;
  }
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  sound->SetCooperativeLevel(window, DSSCL_PRIORITY);
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
  desc.dwBufferBytes = 176400;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(sound->CreateSoundBuffer(&desc, &buffer, nullptr))) {
    std::printf("bare DirectSound: no buffer\n");
    sound->Release();
    DestroyWindow(window);
    return;
  }
  double wall = testsupport::NowSeconds(), cpu = CpuSeconds();
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  DWORD play = 0, write = 0;
  while (testsupport::NowSeconds() - wall < seconds) {
    buffer->GetCurrentPosition(&play, &write);
    Sleep(10);
  }
  buffer->Stop();
  double used = CpuSeconds() - cpu, elapsed = testsupport::NowSeconds() - wall;
  std::printf("bare DirectSound (the host alone): CPU %.2f %% of one core over %.1f s\n",
              100.0 * used / elapsed, elapsed);
  buffer->Release();
  sound->Release();
  DestroyWindow(window);
}

// Four 100 ms blocks of silence kept queued on the wave mapper for `seconds`.
void BenchBareWaveOut(double seconds) {
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    std::printf("bare waveOut: no device\n");
    return;
  }
  std::vector<char> silence(4 * 17640);
  WAVEHDR headers[4] = {};
  for (int i = 0; i < 4; ++i) {
    headers[i].lpData = silence.data() + i * 17640;
    headers[i].dwBufferLength = 17640;
    waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR));
    headers[i].dwFlags |= WHDR_DONE;
  }
  double wall = testsupport::NowSeconds(), cpu = CpuSeconds();
  while (testsupport::NowSeconds() - wall < seconds) {
    for (WAVEHDR& h : headers) {
      if (h.dwFlags & WHDR_DONE) waveOutWrite(device, &h, sizeof(WAVEHDR));
    }
    Sleep(10);
  }
  waveOutReset(device);
  double used = CpuSeconds() - cpu, elapsed = testsupport::NowSeconds() - wall;
  for (WAVEHDR& h : headers) waveOutUnprepareHeader(device, &h, sizeof(WAVEHDR));
  waveOutClose(device);
  std::printf("bare waveOut (the host alone): CPU %.2f %% of one core over %.1f s\n", 100.0 * used / elapsed,
              elapsed);
}

void BenchDirectSound(double seconds) {
  g_window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  MainWindowProvider() = [] { return g_window; };
  CDSoundOutput output;
  if (!output.Open(44100, 16, 2, 0, 0)) {
    std::printf("DirectSound: no device\n");
    return;
  }
  double wall = testsupport::NowSeconds(), cpu = CpuSeconds();
  Feed(
      seconds, [&] { return output.GetFreeSpace(); },
      [&](const char* p, int n) { return output.Write(p, n); });
  output.Drain();
  while (output.GetBufferedBytes() > 0 && testsupport::NowSeconds() - wall < seconds + 10) Sleep(10);
  double used = CpuSeconds() - cpu, elapsed = testsupport::NowSeconds() - wall;
  bool failed = output.Stream()->Failed();
  int underruns = output.Stream()->Underruns();
  std::printf("DirectSound: %.1f s played in %.1f s, %d underruns, CPU %.2f %% of one core%s\n",
              output.GetPlayedSeconds(), elapsed, underruns, 100.0 * used / elapsed,
              failed ? " (FAILED)" : "");
  output.ReleaseStream();
}

void BenchWaveOut(double seconds) {
  CWaveOutOutput output;
  if (!output.Open(44100, 16, 2)) {
    std::printf("waveOut: no device\n");
    return;
  }
  double wall = testsupport::NowSeconds(), cpu = CpuSeconds();
  Feed(
      seconds, [&] { return output.GetFreeSpace(); },
      [&](const char* p, int n) { return output.Write(p, n); });
  while (output.IsPlaying() && testsupport::NowSeconds() - wall < seconds + 10) {
    output.Drain();
    Sleep(10);
  }
  double used = CpuSeconds() - cpu, elapsed = testsupport::NowSeconds() - wall;
  std::printf("waveOut: %.1f s of audio in %.1f s, %d underruns, CPU %.2f %% of one core\n", seconds, elapsed,
              output.Stream()->Underruns(), 100.0 * used / elapsed);
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
  BenchSpectrum();
  BenchDirectSound(seconds);
  BenchBareDirectSound(seconds);
  BenchWaveOut(seconds);
  BenchBareWaveOut(seconds);
  return 0;
}
