#pragma once
// The library's one state: set-up values, open streams, channels, DSP units,
// modules, the mixer and its output. Every exported function lands here.
//
// Locking: apiLock_ (recursive) guards every map and the streams' play
// state. The mixer holds it only while pulling the channels' audio; DSP and
// end callbacks run with no lock of ours held, so they may call back in.
// Handles are numbers from a counter, never addresses, so a stale or made-up
// handle finds nothing and the call fails harmlessly.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AudioOutput.h"
#include "CallbackGate.h"
#include "Spectrum.h"
#include "Stream.h"
#include "fmod.h"

namespace soundlib {

class SoundSystem {
 public:
  // The process's one system; never destroyed, so nothing waits on threads
  // while the DLL is unloaded at exit.
  static SoundSystem& Get();

  // Set-up.
  bool SetBufferSize(int ms);
  bool SetOutput(int type);
  bool SetStreamBufferSize(int ms);
  bool Init(int mixRate, int channels);
  void Close();
  bool Ready();

  // Channels.
  bool SetPaused(int channel, bool paused);
  bool GetPaused(int channel);
  bool SetVolume(int channel, int volume);
  bool StopSound(int channel);

  // DSP units.
  FSOUND_DSPUNIT* CreateUnit(FSOUND_DSPCALLBACK callback, int priority, void* user);
  void FreeUnit(FSOUND_DSPUNIT* unit);
  void SetUnitActive(FSOUND_DSPUNIT* unit, bool active);
  FSOUND_DSPUNIT* FftUnit();
  float* GetSpectrum();

  // Streams.
  FSOUND_STREAM* OpenStream(const char* name, unsigned mode);
  int OpenState(FSOUND_STREAM* stream);
  bool SetEndCallback(FSOUND_STREAM* stream, FSOUND_STREAMCALLBACK callback, void* user);
  int Play(FSOUND_STREAM* stream);
  bool Stop(FSOUND_STREAM* stream);
  bool CloseStream(FSOUND_STREAM* stream);
  bool SetTime(FSOUND_STREAM* stream, int ms);
  int GetTime(FSOUND_STREAM* stream);
  int LengthMs(FSOUND_STREAM* stream);
  bool NetStatus(FSOUND_STREAM* stream, int* status);

  // Modules.
  FMUSIC_MODULE* LoadModule(const char* name);
  bool ReleaseModule(FMUSIC_MODULE* module);
  bool SetModulePlaying(FMUSIC_MODULE* module, bool playing);
  int ModuleType(FMUSIC_MODULE* module);
  int ModuleChannels(FMUSIC_MODULE* module);
  int ModuleOrders(FMUSIC_MODULE* module);
  bool ModuleKnown(FMUSIC_MODULE* module);

  // Test hooks.
  void SetManualClock(bool on);
  int MixBlocks(int count);
  void SetCapture(bool on);
  int ReadCapture(int first, int16_t* frames, int maxFrames);
  int CaptureLength();
  void FailNextOpen();

 private:
  struct Unit {
    FSOUND_DSPCALLBACK callback = nullptr;
    int priority = 0;
    void* user = nullptr;
    bool active = false;
    uint64_t order = 0;  // creation order, for units of equal priority
    std::shared_ptr<CallbackGate> gate = std::make_shared<CallbackGate>();
  };
  struct Module {
    int type = 0;
    int channels = 0;
    int orders = 0;
    bool playing = false;
  };

  // A file's open on its own thread. Under lock: the decoder made, once
  // finished; abandoned once the waiting caller has stopped waiting.
  struct Opening {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    std::unique_ptr<Decoder> decoder;
  };

  SoundSystem() = default;
  // Opens path on a thread of its own; with key, hands the result to that
  // stream (FinishOpening), else leaves it in opening for a waiting caller.
  void StartOpening(const std::string& path, std::shared_ptr<Opening> opening, uintptr_t key);
  void FinishOpening(uintptr_t key, const std::shared_ptr<Opening>& opening,
                     std::unique_ptr<Decoder> decoder);
  uintptr_t NextHandle();
  std::shared_ptr<Stream> FindStream(FSOUND_STREAM* stream);
  std::shared_ptr<Stream> FindChannel(int channel);
  // Frees the stream's channel, rewinds it; under apiLock_.
  void StopLocked(Stream& stream);
  void MixBlock(std::vector<float>& mix, std::vector<int16_t>& pcm);
  void MixerMain();
  void StopMixer();

  std::recursive_mutex apiLock_;
  bool ready_ = false;
  bool manual_ = false;
  int outputType_ = FSOUND_OUTPUT_DSOUND;
  int bufferMs_ = 200;
  int streamBufferMs_ = 1000;
  int mixRate_ = 44100;
  int maxChannels_ = 32;
  int channelGeneration_ = 0;
  uintptr_t nextHandle_ = 0;
  bool failNextOpen_ = false;

  std::map<uintptr_t, std::shared_ptr<Stream>> streams_;
  std::map<int, std::shared_ptr<Stream>> channels_;
  std::map<uintptr_t, std::shared_ptr<Unit>> units_;
  std::map<uintptr_t, Module> modules_;
  uintptr_t fftUnit_ = 0;
  uint64_t unitOrder_ = 0;

  Spectrum spectrum_;
  float spectrumBins_[Spectrum::kBins] = {};

  // Set by Init, or by the mixer thread when wantDevice_ asks it to open the
  // device; read only by the mixer and by Close once the mixer has ended.
  std::unique_ptr<AudioOutput> output_;
  bool wantDevice_ = false;
  std::thread mixer_;
  std::atomic<bool> mixerQuit_{false};

  std::mutex captureLock_;
  bool capture_ = false;
  std::vector<int16_t> captured_;
};

}  // namespace soundlib
