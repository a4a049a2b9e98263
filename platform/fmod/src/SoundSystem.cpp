#include "SoundSystem.h"

#include <objbase.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Mp3Decoder.h"
#include "Modules.h"
#include "NetSource.h"
#include "WavDecoder.h"
#include "WindowsMediaDecoder.h"
#include "base/Guarded.h"

namespace soundlib {
namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// The mixer makes blocks of 10 ms.
constexpr int kBlocksPerSecond = 100;
constexpr int kFftPriority = 0x7FFFFFFF;
// How long a file's open may take before it is given up: far beyond any
// sound file's open, even the Windows Media reader's first one.
constexpr int kOpenBoundMs = 10000;
// How long a non-blocking open waits for its reader before it returns with
// the stream still opening. A local file is mostly read well within it and
// comes back ready, so a caller polling the state (commonly every 100 ms)
// does not sleep through a whole period for an open of a few milliseconds;
// no caller polling that often waits longer than it would have.
constexpr int kOpenGraceMs = 100;

template <typename T>
uintptr_t Key(T* handle) {
  return reinterpret_cast<uintptr_t>(handle);
}

bool IsNetName(const char* name) {
  return std::strncmp(name, "http://", 7) == 0 || std::strncmp(name, "http:\\\\", 7) == 0;
}

std::unique_ptr<Decoder> OpenFileDecoder(const char* path) {
  // WAV first: its RIFF header is unambiguous; anything else is tried as MP3.
  if (auto wav = WavDecoder::Open(path)) return wav;
  if (auto mp3 = Mp3Decoder::Open(path)) return mp3;
  return OpenWindowsMediaDecoder(path);
}

}  // namespace

SoundSystem& SoundSystem::Get() {
  static SoundSystem* system = new SoundSystem;
  return *system;
}

uintptr_t SoundSystem::NextHandle() {
  // Never an address: low bits set so no pointer to our data could match.
  return (++nextHandle_ << 4) | 0x9;
}

bool SoundSystem::SetBufferSize(int ms) {
  Lock hold(apiLock_);
  if (ready_) return false;
  bufferMs_ = std::max(20, std::min(ms, 2000));
  return true;
}

bool SoundSystem::SetOutput(int type) {
  Lock hold(apiLock_);
  if (ready_ || type < FSOUND_OUTPUT_NOSOUND) return false;
  outputType_ = type;
  return true;
}

bool SoundSystem::SetStreamBufferSize(int ms) {
  Lock hold(apiLock_);
  if (ms <= 0) return false;
  streamBufferMs_ = std::max(100, std::min(ms, 10000));
  return true;
}

bool SoundSystem::Ready() {
  Lock hold(apiLock_);
  return ready_;
}

bool SoundSystem::Init(int mixRate, int channels) {
  Lock hold(apiLock_);
  if (ready_ || mixRate < 8000 || mixRate > 192000 || channels < 1) return false;
  mixRate_ = mixRate;
  maxChannels_ = std::min(channels, 4096);
  wantDevice_ = false;
  if (!manual_) {
    // The whole-program override: the player sets the library up before
    // main, so a variable is the only way to choose for a run.
    // The process's own variable (a copy of the runtime's would miss one set
    // by the program after it started).
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("MELODARA_AUDIO", value, sizeof value);
    std::string choice = length > 0 && length < sizeof value ? value : "";
    // The device is opened by the mixer thread as it starts (MixerMain): its
    // open loads and connects the system's audio stack, tens of milliseconds
    // that a program setting the library up before its first window would
    // otherwise wait for. Nothing reaches the output but the mixer.
    if (choice.compare(0, 4, "wav:") == 0)
      output_ = OpenWavFileOutput(choice.substr(4), mixRate_);
    else if (choice != "silent" && outputType_ != FSOUND_OUTPUT_NOSOUND)
      wantDevice_ = true;
    // No device (or none wanted): keep real time so positions still move.
    if (!output_ && !wantDevice_) output_ = OpenSilentOutput(mixRate_);
  }
  auto fft = std::make_shared<Unit>();
  fft->priority = kFftPriority;
  fftUnit_ = NextHandle();
  units_[fftUnit_] = fft;
  spectrum_.Clear();
  ready_ = true;
  if (!manual_) {
    mixerQuit_ = false;
    mixer_ = std::thread([this] { MixerMain(); });
  }
  return true;
}

void SoundSystem::StopMixer() {
  mixerQuit_ = true;
  if (mixer_.joinable()) mixer_.join();
}

void SoundSystem::Close() {
  std::map<uintptr_t, std::shared_ptr<Stream>> streams;
  std::map<uintptr_t, std::shared_ptr<Unit>> units;
  {
    Lock hold(apiLock_);
    if (!ready_) return;
    ready_ = false;
    streams.swap(streams_);
    units.swap(units_);
    channels_.clear();
    modules_.clear();
    fftUnit_ = 0;
  }
  // The mixer takes the lock on every block: stop it with the lock free.
  StopMixer();
  for (auto& entry : units) entry.second->gate->Close();
  for (auto& entry : streams) {
    entry.second->gate->Close();
    entry.second->StopThread();
    if (entry.second->net) entry.second->net->Stop();
  }
  CloseKeptMp3Codecs();
  Lock hold(apiLock_);
  output_.reset();
}

std::shared_ptr<Stream> SoundSystem::FindStream(FSOUND_STREAM* stream) {
  auto it = streams_.find(Key(stream));
  return ready_ && it != streams_.end() ? it->second : nullptr;
}

std::shared_ptr<Stream> SoundSystem::FindChannel(int channel) {
  auto it = channels_.find(channel);
  return ready_ && it != channels_.end() ? it->second : nullptr;
}

// Channels.

bool SoundSystem::SetPaused(int channel, bool paused) {
  Lock hold(apiLock_);
  auto stream = FindChannel(channel);
  if (!stream) return false;
  stream->paused = paused;
  return true;
}

bool SoundSystem::GetPaused(int channel) {
  Lock hold(apiLock_);
  auto stream = FindChannel(channel);
  return stream && stream->paused;
}

bool SoundSystem::SetVolume(int channel, int volume) {
  Lock hold(apiLock_);
  auto stream = FindChannel(channel);
  if (!stream) return false;
  stream->gain = float(std::max(0, std::min(volume, 255))) / 255.0f;
  return true;
}

bool SoundSystem::StopSound(int channel) {
  Lock hold(apiLock_);
  auto stream = FindChannel(channel);
  if (!stream) return false;
  StopLocked(*stream);
  return true;
}

// DSP units.

FSOUND_DSPUNIT* SoundSystem::CreateUnit(FSOUND_DSPCALLBACK callback, int priority, void* user) {
  Lock hold(apiLock_);
  if (!ready_ || !callback) return nullptr;
  auto unit = std::make_shared<Unit>();
  unit->callback = callback;
  unit->priority = std::min(priority, kFftPriority - 1);
  unit->user = user;
  unit->order = ++unitOrder_;
  uintptr_t key = NextHandle();
  units_[key] = unit;
  return reinterpret_cast<FSOUND_DSPUNIT*>(key);
}

void SoundSystem::FreeUnit(FSOUND_DSPUNIT* handle) {
  std::shared_ptr<Unit> unit;
  {
    Lock hold(apiLock_);
    auto it = units_.find(Key(handle));
    if (!ready_ || it == units_.end() || Key(handle) == fftUnit_) return;
    unit = it->second;
    units_.erase(it);
  }
  unit->gate->Close();
}

void SoundSystem::SetUnitActive(FSOUND_DSPUNIT* handle, bool active) {
  Lock hold(apiLock_);
  auto it = units_.find(Key(handle));
  if (!ready_ || it == units_.end()) return;
  if (Key(handle) == fftUnit_ && active && !it->second->active) spectrum_.Clear();
  it->second->active = active;
}

FSOUND_DSPUNIT* SoundSystem::FftUnit() {
  Lock hold(apiLock_);
  return ready_ ? reinterpret_cast<FSOUND_DSPUNIT*>(fftUnit_) : nullptr;
}

float* SoundSystem::GetSpectrum() {
  {
    Lock hold(apiLock_);
    if (!ready_ || !units_[fftUnit_]->active) return nullptr;
  }
  // One caller at a time draws the spectrum (the UI thread); the array stays put.
  static std::mutex computing;
  std::lock_guard<std::mutex> hold(computing);
  spectrum_.Compute(spectrumBins_);
  return spectrumBins_;
}

// Streams.

FSOUND_STREAM* SoundSystem::OpenStream(const char* name, unsigned mode) {
  Lock hold(apiLock_);
  if (!ready_ || !name) return nullptr;
  bool fail = failNextOpen_;
  failNextOpen_ = false;
  uintptr_t key = NextHandle();
  auto stream = std::make_shared<Stream>(key, mixRate_, streamBufferMs_);
  if (!fail && IsNetName(name)) {
    std::string url(name);
    std::replace(url.begin(), url.end(), '\\', '/');
    stream->net = std::make_shared<NetSource>(url);
    stream->openState = FSOUND_OPEN_CONNECTING;
    stream->netStatus = FSOUND_STREAM_NET_CONNECTING;
    stream->SetDecoder(MakeNetDecoder(stream->net));
    stream->net->Start(manual_, &stream->openState, &stream->netStatus);
  } else if (!fail && !manual_) {
    // The system's readers can take long or, on a damaged file, never
    // return: the open runs on a thread of its own, and a caller waits for
    // it no longer than the bound (a non-blocking caller not at all).
    auto opening = std::make_shared<Opening>();
    if (mode & FSOUND_NONBLOCKING) {
      stream->opening = opening;
      stream->openDeadline = GetTickCount64() + kOpenBoundMs;
      streams_[key] = stream;
      StartOpening(name, opening, key);
      // Other calls (and the opener's hand-over) go on while this one waits.
      apiLock_.unlock();
      {
        std::unique_lock<std::mutex> waiting(opening->lock);
        opening->done.wait_for(waiting, std::chrono::milliseconds(kOpenGraceMs),
                               [&] { return opening->finished; });
      }
      apiLock_.lock();
      return reinterpret_cast<FSOUND_STREAM*>(key);
    }
    StartOpening(name, opening, 0);
    std::unique_ptr<Decoder> decoder;
    {
      // Other calls go on while this one waits.
      apiLock_.unlock();
      std::unique_lock<std::mutex> waiting(opening->lock);
      opening->done.wait_for(waiting, std::chrono::milliseconds(kOpenBoundMs),
                             [&] { return opening->finished; });
      opening->abandoned = true;
      decoder = std::move(opening->decoder);
      waiting.unlock();
      apiLock_.lock();
    }
    if (!decoder || !ready_) return nullptr;
    stream->SetDecoder(std::move(decoder));
    stream->openState = FSOUND_OPEN_READY;
  } else {
    std::unique_ptr<Decoder> decoder = fail ? nullptr : OpenFileDecoder(name);
    if (!decoder) {
      // A non-blocking open reports its failure through the open state.
      if (!(mode & FSOUND_NONBLOCKING)) return nullptr;
      stream->openState = FSOUND_OPEN_FAILED;
    } else {
      stream->SetDecoder(std::move(decoder));
      stream->openState = FSOUND_OPEN_READY;
    }
  }
  streams_[key] = stream;
  if (!manual_ && stream->openState != FSOUND_OPEN_FAILED) stream->StartThread();
  return reinterpret_cast<FSOUND_STREAM*>(key);
}

void SoundSystem::StartOpening(const std::string& path, std::shared_ptr<Opening> opening, uintptr_t key) {
  std::thread([this, path, opening, key] {
    // The Windows Media reader is COM; the opener joins the free-threaded apartment.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // No exception leaves the thread: an open that throws is a file that
    // failed to open.
    std::unique_ptr<Decoder> decoder =
        base::Guarded([&] { return OpenFileDecoder(path.c_str()); }, std::unique_ptr<Decoder>());
    base::Guarded([&] {
      if (key) {
        // The stream has its result before a waiting open call is woken.
        FinishOpening(key, opening, std::move(decoder));
      } else {
        std::lock_guard<std::mutex> hold(opening->lock);
        if (!opening->abandoned) opening->decoder = std::move(decoder);
      }
    });
    {
      // Set even when the hand-over threw, so that no caller waits for more.
      std::lock_guard<std::mutex> hold(opening->lock);
      opening->finished = true;
      opening->done.notify_all();
    }
    // A decoder nobody took is closed here, off the caller's thread.
    decoder.reset();
    CoUninitialize();
  }).detach();
}

void SoundSystem::FinishOpening(uintptr_t key, const std::shared_ptr<Opening>& opening,
                                std::unique_ptr<Decoder> decoder) {
  Lock hold(apiLock_);
  auto it = streams_.find(key);
  // Closed, or given up meanwhile: the result is dropped.
  if (!ready_ || it == streams_.end() || it->second->opening != opening) return;
  Stream& stream = *it->second;
  stream.opening.reset();
  if (stream.openState != FSOUND_OPEN_OPENING) return;
  if (!decoder) {
    stream.openState = FSOUND_OPEN_FAILED;
    return;
  }
  stream.SetDecoder(std::move(decoder));
  stream.openState = FSOUND_OPEN_READY;
  stream.StartThread();
}

int SoundSystem::OpenState(FSOUND_STREAM* handle) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream) return FSOUND_OPEN_INVALID;
  if (stream->opening && stream->openState == FSOUND_OPEN_OPENING &&
      GetTickCount64() > stream->openDeadline) {
    // A reader that has not answered within the bound is given up; its
    // thread ends (or not) on its own.
    stream->opening.reset();
    stream->openState = FSOUND_OPEN_FAILED;
  }
  return stream->openState.load();
}

bool SoundSystem::SetEndCallback(FSOUND_STREAM* handle, FSOUND_STREAMCALLBACK callback, void* user) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream) return false;
  stream->endCallback = callback;
  stream->endUser = user;
  return true;
}

int SoundSystem::Play(FSOUND_STREAM* handle) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream) return -1;
  int state = stream->openState;
  // A net stream still on its way is accepted: it sounds once ready.
  if (state == FSOUND_OPEN_FAILED || (state != FSOUND_OPEN_READY && !stream->net)) return -1;
  if (stream->channel >= 0) return stream->channel;
  int slot = -1;
  for (int s = 0; s < maxChannels_ && slot < 0; ++s) {
    bool used = false;
    for (auto& entry : channels_) used = used || (entry.first & 0xFFF) == s;
    if (!used) slot = s;
  }
  if (slot < 0) return -1;
  // The generation in the upper bits makes an old channel number stale.
  channelGeneration_ = (channelGeneration_ + 1) & 0x7FFFF;
  int channel = channelGeneration_ << 12 | slot;
  stream->channel = channel;
  stream->paused = false;
  stream->gain = 1.0f;
  channels_[channel] = stream;
  stream->WakeThread();
  return channel;
}

void SoundSystem::StopLocked(Stream& stream) {
  if (stream.channel >= 0) channels_.erase(stream.channel);
  stream.channel = -1;
  stream.paused = false;
  stream.position = 0;
  if (!stream.net) stream.SeekTo(0);
}

bool SoundSystem::Stop(FSOUND_STREAM* handle) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream) return false;
  StopLocked(*stream);
  return true;
}

bool SoundSystem::CloseStream(FSOUND_STREAM* handle) {
  std::shared_ptr<Stream> stream;
  {
    Lock hold(apiLock_);
    stream = FindStream(handle);
    if (!stream) return false;
    if (stream->channel >= 0) channels_.erase(stream->channel);
    stream->channel = -1;
    streams_.erase(Key(handle));
  }
  // With the stream out of the maps no new callback can start; wait for a
  // running one, then for the thread.
  stream->gate->Close();
  stream->StopThread();
  if (stream->net) stream->net->Stop();
  return true;
}

bool SoundSystem::SetTime(FSOUND_STREAM* handle, int ms) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream || stream->net || stream->openState != FSOUND_OPEN_READY || ms < 0) return false;
  int64_t frame = int64_t(ms) * mixRate_ / 1000;
  int64_t length = stream->LengthMs() * mixRate_ / 1000;
  frame = std::min(frame, length);
  stream->SeekTo(frame);
  stream->position = frame;
  return true;
}

int SoundSystem::GetTime(FSOUND_STREAM* handle) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream) return 0;
  // To the nearest millisecond: SetTime starts at the frame at or just before
  // its time, which reads back as that time.
  return int((stream->position * 1000 + mixRate_ / 2) / mixRate_);
}

int SoundSystem::LengthMs(FSOUND_STREAM* handle) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream || stream->net || stream->openState != FSOUND_OPEN_READY) return 0;
  return int(stream->LengthMs());
}

bool SoundSystem::NetStatus(FSOUND_STREAM* handle, int* status) {
  Lock hold(apiLock_);
  auto stream = FindStream(handle);
  if (!stream || !stream->net) return false;
  if (status) *status = stream->netStatus;
  return true;
}

// The mixer.

void SoundSystem::MixBlock(std::vector<float>& mix, std::vector<int16_t>& pcm) {
  const int frames = mixRate_ / kBlocksPerSecond;
  pcm.clear();
  mix.assign(size_t(frames) * 2, 0.0f);
  std::vector<float> pulled(size_t(frames) * 2);
  struct Ended {
    std::shared_ptr<Stream> stream;
    FSOUND_STREAMCALLBACK callback;
    void* user;
  };
  std::vector<Ended> ended;
  std::vector<std::pair<std::shared_ptr<Unit>, uintptr_t>> units;
  bool fftActive = false;
  {
    Lock hold(apiLock_);
    if (!ready_) return;
    std::vector<std::shared_ptr<Stream>> playing;
    for (auto& entry : channels_) playing.push_back(entry.second);
    for (auto& stream : playing) {
      if (stream->paused) continue;
      // On the manual clock the caller's thread decodes what the block needs.
      if (manual_) stream->Fill(frames);
      int got = stream->Pull(pulled.data(), frames);
      for (int i = 0; i < got * 2; ++i) mix[i] += pulled[i] * stream->gain;
      stream->position += got;
      if (got < frames && stream->Drained()) {
        ended.push_back(Ended{stream, stream->endCallback, stream->endUser});
        // The end rewinds, as Stop does: a replay starts at 0.
        StopLocked(*stream);
      }
    }
    for (auto& entry : units_) {
      if (!entry.second->active) continue;
      if (entry.first == fftUnit_)
        fftActive = true;
      else
        units.emplace_back(entry.second, entry.first);
    }
  }
  std::sort(units.begin(), units.end(), [](const auto& a, const auto& b) {
    return a.first->priority != b.first->priority ? a.first->priority < b.first->priority
                                                  : a.first->order < b.first->order;
  });
  void* buffer = mix.data();
  for (auto& unit : units) {
    if (!unit.first->gate->Enter()) continue;
    void* result = unit.first->callback(buffer, buffer, frames, unit.first->user);
    unit.first->gate->Leave();
    if (result) buffer = result;
  }
  const float* out = static_cast<const float*>(buffer);
  if (fftActive) spectrum_.Push(out, frames);
  pcm.resize(size_t(frames) * 2);
  for (int i = 0; i < frames * 2; ++i) {
    float v = out[i] * 32768.0f;
    pcm[i] = int16_t(v >= 32767.0f ? 32767 : v <= -32768.0f ? -32768 : std::lrint(v));
  }
  {
    std::lock_guard<std::mutex> hold(captureLock_);
    if (capture_) captured_.insert(captured_.end(), pcm.begin(), pcm.end());
  }
  for (auto& end : ended) {
    if (manual_) {
      if (end.callback && end.stream->gate->Enter()) {
        end.callback(reinterpret_cast<FSOUND_STREAM*>(end.stream->handle), nullptr, 0, end.user);
        end.stream->gate->Leave();
      }
    } else {
      end.stream->SignalEnd(end.callback, end.user);
    }
  }
}

void SoundSystem::MixerMain() {
  // No exception leaves a thread: the mixer stops, the program lives on.
  base::Guarded([&] {
    // At normal priority: the device's open must not crowd out the thread
    // that set the library up. A device that does not open plays silently.
    if (wantDevice_) {
      output_ = OpenDeviceOutput(mixRate_, bufferMs_);
      if (!output_) output_ = OpenSilentOutput(mixRate_);
    }
    std::vector<float> mix;
    std::vector<int16_t> pcm;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    while (!mixerQuit_) {
      MixBlock(mix, pcm);
      if (!pcm.empty()) output_->Write(pcm.data(), int(pcm.size() / 2));
    }
  });
}

// Modules.

FMUSIC_MODULE* SoundSystem::LoadModule(const char* name) {
  {
    Lock hold(apiLock_);
    if (!ready_ || !name) return nullptr;
  }
  Module module;
  if (!DetectModule(name, &module.type, &module.channels, &module.orders)) return nullptr;
  Lock hold(apiLock_);
  if (!ready_) return nullptr;
  uintptr_t key = NextHandle();
  modules_[key] = module;
  return reinterpret_cast<FMUSIC_MODULE*>(key);
}

bool SoundSystem::ReleaseModule(FMUSIC_MODULE* module) {
  Lock hold(apiLock_);
  return ready_ && modules_.erase(Key(module)) > 0;
}

bool SoundSystem::SetModulePlaying(FMUSIC_MODULE* module, bool playing) {
  Lock hold(apiLock_);
  auto it = modules_.find(Key(module));
  if (!ready_ || it == modules_.end()) return false;
  it->second.playing = playing;
  return true;
}

bool SoundSystem::ModuleKnown(FMUSIC_MODULE* module) {
  Lock hold(apiLock_);
  return ready_ && modules_.count(Key(module)) > 0;
}

int SoundSystem::ModuleType(FMUSIC_MODULE* module) {
  Lock hold(apiLock_);
  auto it = modules_.find(Key(module));
  return ready_ && it != modules_.end() ? it->second.type : FMUSIC_TYPE_NONE;
}

int SoundSystem::ModuleChannels(FMUSIC_MODULE* module) {
  Lock hold(apiLock_);
  auto it = modules_.find(Key(module));
  return ready_ && it != modules_.end() ? it->second.channels : 0;
}

int SoundSystem::ModuleOrders(FMUSIC_MODULE* module) {
  Lock hold(apiLock_);
  auto it = modules_.find(Key(module));
  return ready_ && it != modules_.end() ? it->second.orders : 0;
}

// Test hooks.

void SoundSystem::SetManualClock(bool on) {
  Lock hold(apiLock_);
  if (!ready_) manual_ = on;
}

int SoundSystem::MixBlocks(int count) {
  {
    Lock hold(apiLock_);
    if (!ready_ || !manual_) return 0;
  }
  std::vector<float> mix;
  std::vector<int16_t> pcm;
  int done = 0;
  for (; done < count; ++done) {
    MixBlock(mix, pcm);
    if (pcm.empty()) break;
  }
  return done;
}

void SoundSystem::SetCapture(bool on) {
  std::lock_guard<std::mutex> hold(captureLock_);
  capture_ = on;
  captured_.clear();
}

int SoundSystem::ReadCapture(int first, int16_t* frames, int maxFrames) {
  std::lock_guard<std::mutex> hold(captureLock_);
  int total = int(captured_.size() / 2);
  if (first < 0 || first >= total || maxFrames <= 0 || !frames) return 0;
  int count = std::min(maxFrames, total - first);
  std::memcpy(frames, captured_.data() + size_t(first) * 2, size_t(count) * 4);
  return count;
}

int SoundSystem::CaptureLength() {
  std::lock_guard<std::mutex> hold(captureLock_);
  return int(captured_.size() / 2);
}

void SoundSystem::FailNextOpen() {
  Lock hold(apiLock_);
  failNextOpen_ = true;
}

}  // namespace soundlib
