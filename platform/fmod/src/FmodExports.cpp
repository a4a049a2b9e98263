// The exported functions: each one a guarded call into the sound system, so
// no exception ever reaches a caller.
#include "SoundSystem.h"
#include "base/Guarded.h"
#include "fmod.h"

using soundlib::SoundSystem;

namespace {

SoundSystem& S() { return SoundSystem::Get(); }
signed char Flag(bool ok) { return ok ? 1 : 0; }

template <typename F>
signed char Check(F&& call) {
  return base::Guarded([&] { return Flag(call()); }, static_cast<signed char>(0));
}

}  // namespace

extern "C" {

signed char FSOUND_SetBufferSize(int ms) {
  return Check([&] { return S().SetBufferSize(ms); });
}
signed char FSOUND_SetOutput(int type) {
  return Check([&] { return S().SetOutput(type); });
}
signed char FSOUND_SetDriver(int driver) {
  return Check([&] { return driver == 0 && !S().Ready(); });
}
signed char FSOUND_SetMixer(int mixer) {
  return Check([&] { return mixer >= 0 && !S().Ready(); });
}
signed char FSOUND_SetHWND(void*) {
  return Check([&] { return !S().Ready(); });
}
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int) {
  return Check([&] { return S().Init(mixrate, maxsoftwarechannels); });
}
signed char FSOUND_Stream_SetBufferSize(int ms) {
  return Check([&] { return S().SetStreamBufferSize(ms); });
}
void FSOUND_Close(void) {
  base::Guarded([] { S().Close(); });
}
int FSOUND_GetMixer(void) {
  // Our mixer is one floating-point mixer whatever was asked for.
  return base::Guarded([] { return S().Ready() ? int(FSOUND_MIXER_QUALITY_FPU) : 0; }, 0);
}

signed char FSOUND_SetPaused(int channel, signed char paused) {
  return Check([&] { return S().SetPaused(channel, paused != 0); });
}
signed char FSOUND_GetPaused(int channel) {
  return Check([&] { return S().GetPaused(channel); });
}
signed char FSOUND_SetVolume(int channel, int volume) {
  return Check([&] { return S().SetVolume(channel, volume); });
}
signed char FSOUND_StopSound(int channel) {
  return Check([&] { return S().StopSound(channel); });
}

FSOUND_DSPUNIT* FSOUND_DSP_Create(FSOUND_DSPCALLBACK callback, int priority, void* userdata) {
  return base::Guarded([&] { return S().CreateUnit(callback, priority, userdata); },
                       static_cast<FSOUND_DSPUNIT*>(nullptr));
}
void FSOUND_DSP_Free(FSOUND_DSPUNIT* unit) {
  base::Guarded([&] { S().FreeUnit(unit); });
}
void FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
  base::Guarded([&] { S().SetUnitActive(unit, active != 0); });
}
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit(void) {
  return base::Guarded([] { return S().FftUnit(); }, static_cast<FSOUND_DSPUNIT*>(nullptr));
}
float* FSOUND_DSP_GetSpectrum(void) {
  return base::Guarded([] { return S().GetSpectrum(); }, static_cast<float*>(nullptr));
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int, int) {
  return base::Guarded([&] { return S().OpenStream(name, mode); }, static_cast<FSOUND_STREAM*>(nullptr));
}
int FSOUND_Stream_GetOpenState(FSOUND_STREAM* stream) {
  return base::Guarded([&] { return S().OpenState(stream); }, int(FSOUND_OPEN_INVALID));
}
signed char FSOUND_Stream_SetEndCallback(FSOUND_STREAM* stream, FSOUND_STREAMCALLBACK callback,
                                         void* userdata) {
  return Check([&] { return S().SetEndCallback(stream, callback, userdata); });
}
int FSOUND_Stream_Play(int, FSOUND_STREAM* stream) {
  return base::Guarded([&] { return S().Play(stream); }, -1);
}
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  return Check([&] { return S().Stop(stream); });
}
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  return Check([&] { return S().CloseStream(stream); });
}
signed char FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms) {
  return Check([&] { return S().SetTime(stream, ms); });
}
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream) {
  return base::Guarded([&] { return S().GetTime(stream); }, 0);
}
int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream) {
  return base::Guarded([&] { return S().LengthMs(stream); }, 0);
}
signed char FSOUND_Stream_Net_GetStatus(FSOUND_STREAM* stream, int* status, int* bufferpercent, int* bitrate,
                                        unsigned int* flags) {
  return Check([&] {
    if (bufferpercent) *bufferpercent = 0;
    if (bitrate) *bitrate = 0;
    if (flags) *flags = 0;
    return S().NetStatus(stream, status);
  });
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
  return base::Guarded([&] { return S().LoadModule(name); }, static_cast<FMUSIC_MODULE*>(nullptr));
}
signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod) {
  return Check([&] { return S().ReleaseModule(mod); });
}
signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod) {
  return Check([&] { return S().SetModulePlaying(mod, true); });
}
signed char FMUSIC_StopSong(FMUSIC_MODULE* mod) {
  return Check([&] { return S().SetModulePlaying(mod, false); });
}
int FMUSIC_GetType(FMUSIC_MODULE* mod) {
  return base::Guarded([&] { return S().ModuleType(mod); }, 0);
}
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume) {
  return Check([&] { return volume >= 0 && volume <= 256 && S().ModuleKnown(mod); });
}
signed char FMUSIC_SetPanSeperation(FMUSIC_MODULE* mod, float pansep) {
  return Check([&] { return pansep >= 0.0f && pansep <= 1.0f && S().ModuleKnown(mod); });
}
int FMUSIC_GetNumChannels(FMUSIC_MODULE* mod) {
  return base::Guarded([&] { return S().ModuleChannels(mod); }, 0);
}
int FMUSIC_GetRealChannel(FMUSIC_MODULE* mod, int modchannel) {
  // A silent module holds no mixer channel.
  (void)mod;
  (void)modchannel;
  return -1;
}
int FMUSIC_GetNumOrders(FMUSIC_MODULE* mod) {
  return base::Guarded([&] { return S().ModuleOrders(mod); }, 0);
}
signed char FMUSIC_SetOrder(FMUSIC_MODULE* mod, int order) {
  return Check([&] { return order >= 0 && order < S().ModuleOrders(mod); });
}

void MelFmod_SetManualClock(int on) {
  base::Guarded([&] { S().SetManualClock(on != 0); });
}
int MelFmod_MixBlocks(int count) {
  return base::Guarded([&] { return S().MixBlocks(count); }, 0);
}
void MelFmod_SetCapture(int on) {
  base::Guarded([&] { S().SetCapture(on != 0); });
}
int MelFmod_ReadCapture(int first, int16_t* frames, int maxFrames) {
  return base::Guarded([&] { return S().ReadCapture(first, frames, maxFrames); }, 0);
}
int MelFmod_CaptureLength(void) {
  return base::Guarded([] { return S().CaptureLength(); }, 0);
}
void MelFmod_FailNextOpen(void) {
  base::Guarded([] { S().FailNextOpen(); });
}

}  // extern "C"
