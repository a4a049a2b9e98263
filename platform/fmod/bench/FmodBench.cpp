// Speed figures of the audio library (run by tools/bench): MP3 decoding
// speed, opening a 10-minute MP3, seek exactness, the cost of playing and
// how long Stream_Stop takes; resampling speed, the cost of playing a
// resampled file, and opening coded WAV files of different lengths.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "MappedFile.h"
#include "Mp3Decoder.h"
#include "Resampler.h"
#include "fmod.h"
#include "testsupport/WavBuilder.h"
#include "testsupport/Clock.h"

namespace {

const char* kLong = "fmod_media\\long192.mp3";

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) { return (uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
  return seconds(kernel) + seconds(user);
}

void DecodeSpeed() {
  auto decoder = soundlib::Mp3Decoder::Open(kLong);
  if (!decoder) {
    std::printf("decode: cannot open %s\n", kLong);
    return;
  }
  std::vector<float> buffer(4096 * 2);
  int64_t frames = 0;
  double start = testsupport::NowSeconds();
  int got;
  while ((got = decoder->Read(buffer.data(), 4096)) > 0) frames += got;
  double took = testsupport::NowSeconds() - start;
  double audio = double(frames) / decoder->SampleRate();
  std::printf("MP3 decoding: %.0f s of 192 kbit/s stereo in %.2f s = %.0fx real time (target >= 200x)\n",
              audio, took, audio / took);
}

void SeekExactness() {
  auto whole = soundlib::Mp3Decoder::Open(kLong);
  auto seeker = soundlib::Mp3Decoder::Open(kLong);
  if (!whole || !seeker) return;
  const int rate = whole->SampleRate();
  std::vector<int64_t> places = {1,
                                 1153,
                                 int64_t(rate) * 7 + 13,
                                 int64_t(rate) * 61 + 500,
                                 int64_t(rate) * 299,
                                 int64_t(rate) * 540 + 99};
  std::vector<float> reference, block(2 * 1024);
  int64_t at = 0;
  int worst = 0;
  for (int64_t place : places) {
    // Decode from the start up to the place (continuing from the last one).
    std::vector<float> skip(2 * 4096);
    while (at < place) {
      int want = int(std::min<int64_t>(4096, place - at));
      at += whole->Read(skip.data(), want);
    }
    std::vector<float> a(2 * 1024), b(2 * 1024);
    int n = whole->Read(a.data(), 1024);
    at += n;
    seeker->Seek(place);
    seeker->Read(b.data(), 1024);
    for (int i = 0; i < n * 2; ++i) worst = std::max(worst, int(std::abs(a[i] - b[i]) * 32768.0f + 0.5f));
  }
  std::printf(
      "Seek exactness: worst difference after a seek, at %zu places: %d steps of 16 bits "
      "(the same sample; a one-sample shift differs by thousands)\n",
      places.size(), worst);
}

// The same run's floor for an open: mapping the file, and reading all of it.
void FileBaselines(double* mapMs, double* readMs) {
  std::vector<double> maps, reads;
  std::vector<char> buffer(1 << 20);
  for (int i = 0; i < 5; ++i) {
    double start = testsupport::NowSeconds();
    {
      soundlib::MappedFile file;
      file.Open(kLong);
    }
    maps.push_back((testsupport::NowSeconds() - start) * 1000);
    start = testsupport::NowSeconds();
    HANDLE file = CreateFileA(kLong, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), DWORD(buffer.size()), &got, nullptr) && got > 0) {}
    CloseHandle(file);
    reads.push_back((testsupport::NowSeconds() - start) * 1000);
  }
  std::sort(maps.begin(), maps.end());
  std::sort(reads.begin(), reads.end());
  *mapMs = maps[2];
  *readMs = reads[2];
}

void OpenTime() {
  MelFmod_SetManualClock(1);
  FSOUND_Init(44100, 32, 0);
  std::vector<double> times, withLength;
  int length = 0;
  for (int i = 0; i < 6; ++i) {
    double start = testsupport::NowSeconds();
    FSOUND_STREAM* stream =
        FSOUND_Stream_Open(kLong, FSOUND_NORMAL | FSOUND_MPEGACCURATE | FSOUND_NONBLOCKING, 0, 0);
    int state = FSOUND_Stream_GetOpenState(stream);
    times.push_back((testsupport::NowSeconds() - start) * 1000);
    // This file has no Info frame: its length waits for the whole index.
    length = FSOUND_Stream_GetLengthMs(stream);
    withLength.push_back((testsupport::NowSeconds() - start) * 1000);
    if (state != FSOUND_OPEN_READY) std::printf("open: state %d\n", state);
    FSOUND_Stream_Close(stream);
  }
  FSOUND_Close();
  double mapMs = 0, readMs = 0;
  FileBaselines(&mapMs, &readMs);
  std::sort(times.begin() + 1, times.end());
  std::sort(withLength.begin() + 1, withLength.end());
  std::printf(
      "Open a %.1f-minute 192 kbit/s MP3 (state 0): first %.1f ms, median of the rest %.1f ms (target < 30 "
      "ms); "
      "with its length (the whole frame index, no Info frame) first %.1f ms, median %.1f ms; same run: "
      "mapping "
      "the file %.1f ms, reading all of it %.1f ms\n",
      length / 60000.0, times[0], times[3], withLength[0], withLength[3], mapMs, readMs);
}

void PlayingCostAndStop() {
  SetEnvironmentVariableA("MELODARA_AUDIO", "silent");
  MelFmod_SetManualClock(0);
  FSOUND_Init(44100, 32, 0);
  FSOUND_DSPUNIT* fft = FSOUND_DSP_GetFFTUnit();
  FSOUND_DSP_SetActive(fft, 1);
  FSOUND_STREAM* stream = FSOUND_Stream_Open(kLong, FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0, 0);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  Sleep(1000);
  double cpu = CpuSeconds(), wall = testsupport::NowSeconds();
  Sleep(30000);
  double used = CpuSeconds() - cpu, elapsed = testsupport::NowSeconds() - wall;
  std::printf(
      "Playing a stereo 44.1 kHz MP3 with the spectrum unit on: %.2f %% of one core over %.0f s, whole "
      "process (target < 3 %%)\n",
      100 * used / elapsed, elapsed);
  double worst = 0, total = 0;
  const int rounds = 100;
  for (int i = 0; i < rounds; ++i) {
    FSOUND_Stream_SetTime(stream, 1000 * (i % 500));
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    Sleep(15 + i % 7);
    double start = testsupport::NowSeconds();
    FSOUND_Stream_Stop(stream);
    double took = (testsupport::NowSeconds() - start) * 1000;
    worst = std::max(worst, took);
    total += took;
  }
  std::printf("FSOUND_Stream_Stop on a playing stream: worst %.2f ms, mean %.2f ms of %d (target < 20 ms)\n",
              worst, total / rounds, rounds);
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
}

std::string TempFile(const char* name, const std::vector<uint8_t>& bytes) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

void ResampleSpeed() {
  for (int rate : {22050, 48000}) {
    soundlib::Resampler resampler;
    resampler.Reset(rate, 44100, 0);
    std::vector<float> in(4096 * 2), out(8192 * 2);
    for (size_t i = 0; i < in.size(); ++i) in[i] = float(std::sin(double(i) * 0.01));
    const int64_t total = int64_t(rate) * 120;
    double start = testsupport::NowSeconds();
    for (int64_t fed = 0; fed < total; fed += 4096) {
      resampler.Push(in.data(), 4096, 2);
      while (resampler.Produce(out.data(), 8192) > 0) {}
    }
    double took = testsupport::NowSeconds() - start;
    std::printf("Resampling %d Hz stereo to 44.1 kHz: 120 s in %.2f s = %.0fx real time\n", rate, took,
                120 / took);
  }
}

void PlayingResampledCost() {
  testsupport::WavSpec spec{1, 2, 48000, 16};
  std::vector<float> tone = testsupport::Sine(1000, 0.5, 48000, 48000 * 30, 2);
  std::string path =
      TempFile("fmod_bench_48k.wav", testsupport::WavFile(spec, testsupport::WavSamples(spec, tone)));
  SetEnvironmentVariableA("MELODARA_AUDIO", "silent");
  MelFmod_SetManualClock(0);
  FSOUND_Init(44100, 32, 0);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  Sleep(1000);
  double cpu = CpuSeconds(), wall = testsupport::NowSeconds();
  Sleep(20000);
  double used = CpuSeconds() - cpu, elapsed = testsupport::NowSeconds() - wall;
  std::printf(
      "Playing a stereo 48 kHz WAV (resampled) with the spectrum unit on: %.2f %% of one core over %.0f s, "
      "whole process (target < 3 %%)\n",
      100 * used / elapsed, elapsed);
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
  DeleteFileA(path.c_str());
}

// IMA ADPCM blocks of silence (a zero header and zero steps), stereo 44.1 kHz.
std::vector<uint8_t> ImaAdpcmWav(int minutes) {
  std::vector<uint8_t> fmt;
  testsupport::PutLe(fmt, 0x11, 2);
  testsupport::PutLe(fmt, 2, 2);
  testsupport::PutLe(fmt, 44100, 4);
  testsupport::PutLe(fmt, 44100 * 512 / 505, 4);
  testsupport::PutLe(fmt, 512, 2);
  testsupport::PutLe(fmt, 4, 2);
  testsupport::PutLe(fmt, 2, 2);
  testsupport::PutLe(fmt, 505, 2);
  const size_t data = size_t(minutes) * 60 * 44100 / 505 * 512;
  std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
  testsupport::PutLe(file, 4 + 8 + fmt.size() + 8 + data, 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  testsupport::PutLe(file, fmt.size(), 4);
  file.insert(file.end(), fmt.begin(), fmt.end());
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  testsupport::PutLe(file, data, 4);
  file.resize(file.size() + data, 0);
  return file;
}

void CodedOpenTime() {
  MelFmod_SetManualClock(1);
  FSOUND_Init(44100, 32, 0);
  for (int minutes : {1, 10}) {
    std::string path = TempFile("fmod_bench_ima.wav", ImaAdpcmWav(minutes));
    std::vector<double> times;
    int length = 0;
    for (int i = 0; i < 5; ++i) {
      double start = testsupport::NowSeconds();
      FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
      times.push_back((testsupport::NowSeconds() - start) * 1000);
      length = FSOUND_Stream_GetLengthMs(stream);
      FSOUND_Stream_Close(stream);
    }
    std::sort(times.begin(), times.end());
    std::printf("Open a %.1f-minute IMA ADPCM WAV: median %.1f ms of 5\n", length / 60000.0, times[2]);
    DeleteFileA(path.c_str());
  }
  FSOUND_Close();
}

}  // namespace

int main() {
  DecodeSpeed();
  SeekExactness();
  OpenTime();
  PlayingCostAndStop();
  ResampleSpeed();
  PlayingResampledCost();
  CodedOpenTime();
  return 0;
}
