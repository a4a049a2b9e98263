#pragma once
// fmod.dll: our own sound library with the FMOD 3 calls the player makes.
// It decodes MP3 and WAV files (and Windows Media files), plays HTTP MP3
// streams, mixes every playing stream into 10 ms blocks on one mixer thread,
// runs the DSP units on every block and sends the result to the sound device.
//
// Threads: the mixer thread calls DSP callbacks; each stream's thread decodes
// and calls its end callback. Callbacks are made with no lock of the library
// held, so they may call any function here. DSP_Free and Stream_Close return
// only when no callback of that unit or stream runs or can start (unless
// called from that callback itself).
//
// Every function fails cleanly (null, FALSE, -1 or 0) before FSOUND_Init,
// after FSOUND_Close and for a null or stale handle or channel.
#include <stdint.h>

#ifdef FMOD_BUILDING
#define FMOD_API __declspec(dllexport)
#else
#define FMOD_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FSOUND_STREAM FSOUND_STREAM;
typedef struct FSOUND_DSPUNIT FSOUND_DSPUNIT;
typedef struct FMUSIC_MODULE FMUSIC_MODULE;

// A DSP unit's callback, once per mixed block. The block is interleaved
// stereo float (-1..1 nominal), length counted in frames (sample pairs).
// newbuffer is the block as the units before this one left it (the same as
// originalbuffer today); the returned pointer is what the next unit gets.
typedef void* (*FSOUND_DSPCALLBACK)(void* originalbuffer, void* newbuffer, int length, void* userdata);
// A stream's end: called once on the stream's own thread when a stream
// finishes (not on Stop or Close); buff is null and len 0. The result is ignored.
typedef signed char (*FSOUND_STREAMCALLBACK)(FSOUND_STREAM* stream, void* buff, int len, void* userdata);

// Outputs: every kind plays through the wave mapper (or silently when no
// device opens). MELODARA_AUDIO=device|silent|wav:<path>, read by
// FSOUND_Init, overrides the choice for a whole run.
enum {
  FSOUND_OUTPUT_NOSOUND = 0,
  FSOUND_OUTPUT_WINMM = 1,
  FSOUND_OUTPUT_DSOUND = 2,
};
enum { FSOUND_MIXER_QUALITY_AUTODETECT = 4, FSOUND_MIXER_QUALITY_FPU = 5 };
enum { FSOUND_INIT_GLOBALFOCUS = 0x2 };
#define FSOUND_FREE (-1)

// Stream_Open modes.
#define FSOUND_16BITS 0x10
#define FSOUND_MONO 0x20
#define FSOUND_SIGNED 0x100
#define FSOUND_NORMAL (FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO)
#define FSOUND_2D 0x2000
#define FSOUND_MPEGACCURATE 0x20000
#define FSOUND_NONBLOCKING 0x1000000

// Stream_GetOpenState.
enum {
  FSOUND_OPEN_READY = 0,
  FSOUND_OPEN_INVALID = -1,
  FSOUND_OPEN_OPENING = -2,
  FSOUND_OPEN_FAILED = -3,
  FSOUND_OPEN_CONNECTING = -4,  // an HTTP stream
  FSOUND_OPEN_BUFFERING = -5,   // an HTTP stream
};
// Stream_Net_GetStatus.
enum {
  FSOUND_STREAM_NET_NOTCONNECTED = 0,
  FSOUND_STREAM_NET_CONNECTING = 1,
  FSOUND_STREAM_NET_BUFFERING = 2,
  FSOUND_STREAM_NET_READY = 3,
  FSOUND_STREAM_NET_ERROR = 4,
};
// FMUSIC_GetType.
enum {
  FMUSIC_TYPE_NONE = 0,
  FMUSIC_TYPE_MOD = 1,
  FMUSIC_TYPE_S3M = 2,
  FMUSIC_TYPE_XM = 3,
  FMUSIC_TYPE_IT = 4,
};

// Set-up, before FSOUND_Init.
FMOD_API signed char FSOUND_SetBufferSize(int ms);
FMOD_API signed char FSOUND_SetOutput(int outputtype);
FMOD_API signed char FSOUND_SetDriver(int driver);
FMOD_API signed char FSOUND_SetMixer(int mixer);
FMOD_API signed char FSOUND_SetHWND(void* hwnd);
FMOD_API signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
FMOD_API signed char FSOUND_Stream_SetBufferSize(int ms);
FMOD_API void FSOUND_Close(void);
FMOD_API int FSOUND_GetMixer(void);

// Channels.
FMOD_API signed char FSOUND_SetPaused(int channel, signed char paused);
FMOD_API signed char FSOUND_GetPaused(int channel);
// Linear gain volume/255, clamped to 0..255.
FMOD_API signed char FSOUND_SetVolume(int channel, int volume);
FMOD_API signed char FSOUND_StopSound(int channel);

// DSP units, run in rising priority order on every block. The FFT unit runs last.
FMOD_API FSOUND_DSPUNIT* FSOUND_DSP_Create(FSOUND_DSPCALLBACK callback, int priority, void* userdata);
FMOD_API void FSOUND_DSP_Free(FSOUND_DSPUNIT* unit);
FMOD_API void FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active);
FMOD_API FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit(void);
// 512 magnitudes 0..1 of the latest mixed audio (bin i at i * rate / 1024 Hz);
// null before Init or while the FFT unit is off. The array stays where it is.
FMOD_API float* FSOUND_DSP_GetSpectrum(void);

// Streams: a file path, or an "http://" URL of an MP3 stream.
// A file opens on a thread of its own: with FSOUND_NONBLOCKING the call
// waits for the open 100 ms at most and returns (state -2 until the open
// ends), without it the call waits for the open. An open that has not ended after 10 s (a system reader that
// never answers on a damaged file) is given up: the stream fails (state -3),
// a blocking open gives null. On the manual clock files open in the call.
// An HTTP stream always connects on its own thread; a connect or a read that
// lasts over 10 s fails it (net status 4), and Close never waits for the server.
FMOD_API FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
FMOD_API int FSOUND_Stream_GetOpenState(FSOUND_STREAM* stream);
FMOD_API signed char FSOUND_Stream_SetEndCallback(FSOUND_STREAM* stream, FSOUND_STREAMCALLBACK callback,
                                                  void* userdata);
// A channel >= 0, or -1. A stream already playing keeps playing and gives its
// channel. A net stream still connecting or buffering is accepted and sounds
// once ready.
FMOD_API int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Stops, frees the channel and rewinds to 0. The end of a stream does the same.
FMOD_API signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream);
FMOD_API signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
FMOD_API signed char FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms);
// Milliseconds of the stream the mixer has consumed, to the nearest one: right
// after Stream_SetTime(t), t.
FMOD_API int FSOUND_Stream_GetTime(FSOUND_STREAM* stream);
// Exact for files; 0 while opening and for net streams.
FMOD_API int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream);
// Any of the out pointers may be null.
FMOD_API signed char FSOUND_Stream_Net_GetStatus(FSOUND_STREAM* stream, int* status, int* bufferpercent,
                                                 int* bitrate, unsigned int* flags);

// Tracker modules are recognised by their signature and play silence.
FMOD_API FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
FMOD_API signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod);
FMOD_API signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod);
FMOD_API signed char FMUSIC_StopSong(FMUSIC_MODULE* mod);
FMOD_API int FMUSIC_GetType(FMUSIC_MODULE* mod);
FMOD_API signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume);
FMOD_API signed char FMUSIC_SetPanSeperation(FMUSIC_MODULE* mod, float pansep);
FMOD_API int FMUSIC_GetNumChannels(FMUSIC_MODULE* mod);
FMOD_API int FMUSIC_GetRealChannel(FMUSIC_MODULE* mod, int modchannel);
FMOD_API int FMUSIC_GetNumOrders(FMUSIC_MODULE* mod);
FMOD_API signed char FMUSIC_SetOrder(FMUSIC_MODULE* mod, int order);

// For tests only (our own names, not FMOD's).
// Before FSOUND_Init: no mixer thread, no stream threads and no device;
// MelFmod_MixBlocks mixes on the caller's thread, decoding and making the
// callbacks inside the call.
FMOD_API void MelFmod_SetManualClock(int on);
// Mixes count blocks of 10 ms on the manual clock; the number mixed.
FMOD_API int MelFmod_MixBlocks(int count);
// Keeps every mixed block (16-bit stereo) from now on, or stops and forgets.
FMOD_API void MelFmod_SetCapture(int on);
// Copies up to maxFrames of the kept frames from frame `first` on; the number copied.
FMOD_API int MelFmod_ReadCapture(int first, int16_t* frames, int maxFrames);
FMOD_API int MelFmod_CaptureLength(void);
// The next FSOUND_Stream_Open fails (state -3, or null when blocking).
FMOD_API void MelFmod_FailNextOpen(void);

#ifdef __cplusplus
}
#endif
