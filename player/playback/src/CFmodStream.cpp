#include "playback/CFmodStream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/Guarded.h"

namespace {

// One counter for the whole program: every stream object's unit counts the
// same blocks, so a tick goes out about every eleventh block in all.
std::atomic<int> g_dspCalls{0};
constexpr int kTickEvery = 10;

constexpr unsigned kLocalMode = FSOUND_NORMAL | FSOUND_2D | FSOUND_MPEGACCURATE | FSOUND_NONBLOCKING;
constexpr unsigned kHttpMode = FSOUND_NORMAL | FSOUND_NONBLOCKING;

bool IsHttpPath(const char* path) {
  return std::strncmp(path, "http://", 7) == 0 || std::strncmp(path, "http:\\\\", 7) == 0;
}

}  // namespace

CFmodStream* CFmodStream::Create() { return new (std::nothrow) CFmodStream; }

CFmodStream::~CFmodStream() {
  Shutdown();
  // An open source is closed too: its end callback must not reach a deleted
  // object. No listener remains by now, so no event is seen.
  DropSource();
}

void CFmodStream::Release() { delete this; }

void CFmodStream::AddListener(IMediaListener* listener) {
  std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
  m_listeners.push_back(listener);
}

void CFmodStream::RemoveListener(IMediaListener* listener) {
  if (!listener) return;
  std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
  auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
  if (it != m_listeners.end()) m_listeners.erase(it);
}

void CFmodStream::SendEvent(int code) {
  std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
  // A copy: a listener may remove itself from inside the call.
  std::vector<IMediaListener*> listeners = m_listeners;
  for (IMediaListener* listener : listeners) listener->OnPlayerEvent(code);
}

void CFmodStream::SendTick(int ms) {
  std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
  std::vector<IMediaListener*> listeners = m_listeners;
  for (IMediaListener* listener : listeners) {
    listener->OnPlayTick(ms);
    listener->OnPlayTime(ms);
  }
}

int CFmodStream::Init() {
  m_module = nullptr;
  m_stream = nullptr;
  m_channel = -1;
  m_unit = FSOUND_DSP_Create(DspCallback, 300, this);
  FSOUND_DSP_SetActive(m_unit, 1);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  m_spectrumActive = true;
  return 0;
}

int CFmodStream::Shutdown() {
  m_spectrumActive = false;
  if (m_unit) FSOUND_DSP_Free(m_unit);  // returns once no callback of the unit runs
  m_unit = nullptr;
  return 0;
}

// Both callbacks run on the sound library's threads: no exception may go back
// into it.
void* CFmodStream::DspCallback(void* original, void*, int, void* user) {
  // Whatever happens, the block goes on unchanged.
  if (!user) return original;
  if (g_dspCalls.fetch_add(1) + 1 > kTickEvery) {
    g_dspCalls = 0;
    auto* self = static_cast<CFmodStream*>(user);
    base::Guarded([&] { self->SendTick(FSOUND_Stream_GetTime(self->m_stream)); });
  }
  return original;
}

signed char CFmodStream::EndCallback(FSOUND_STREAM*, void*, int, void* user) {
  base::Guarded([&] { static_cast<CFmodStream*>(user)->SendEvent(kMediaEventEnd); });
  return 0;
}

void CFmodStream::DropSource() {
  if (FMUSIC_MODULE* module = m_module.exchange(nullptr)) FMUSIC_FreeSong(module);
  if (FSOUND_STREAM* stream = m_stream.exchange(nullptr)) FSOUND_Stream_Close(stream);
  m_channel = -1;
  m_url.clear();
}

int CFmodStream::Open(const char* path) {
  if (!path) return 1;
  // A source still open is let go first, so it neither leaks nor keeps sounding.
  if (m_module || m_stream || IsHttp()) DropSource();
  if (IsHttpPath(path)) {
    m_url = path;
    m_fileName = path;
    return 0;
  }
  if (FMUSIC_MODULE* module = FMUSIC_LoadSong(path)) {
    int type = FMUSIC_GetType(module);
    if (type != FMUSIC_TYPE_IT) FMUSIC_SetMasterVolume(module, 192);
    if (type == FMUSIC_TYPE_MOD || type == FMUSIC_TYPE_S3M) FMUSIC_SetPanSeperation(module, 0.85f);
    m_module = module;
    m_fileName = path;
    return 0;
  }
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path, kLocalMode, 0, 0);
  if (!stream) return 1;
  int state;
  while ((state = FSOUND_Stream_GetOpenState(stream)) == FSOUND_OPEN_OPENING) Sleep(100);
  // A stream that failed to open is no source: report the failure instead
  // of "loaded" followed by a Play that silently does nothing.
  if (state != FSOUND_OPEN_READY) {
    FSOUND_Stream_Close(stream);
    return 1;
  }
  FSOUND_Stream_SetEndCallback(stream, EndCallback, this);
  m_stream = stream;
  m_fileName = path;
  SendEvent(kMediaEventLoaded);
  return 0;
}

int CFmodStream::Close() {
  if (FMUSIC_MODULE* module = m_module.exchange(nullptr)) {
    FMUSIC_FreeSong(module);
  } else if (FSOUND_STREAM* stream = m_stream.exchange(nullptr)) {
    FSOUND_Stream_Close(stream);
    m_url.clear();
    SendEvent(kMediaEventClosed);
  }
  m_channel = -1;
  m_fileName.clear();
  return 0;
}

int CFmodStream::StartLocal() {
  int channel = FSOUND_Stream_Play(FSOUND_FREE, m_stream);
  if (channel < 0) return 1;
  m_channel = channel;
  FSOUND_SetVolume(m_channel, m_volume);
  SendEvent(kMediaEventPlaying);
  return 0;
}

int CFmodStream::OpenHttp() {
  FSOUND_STREAM* stream = FSOUND_Stream_Open(m_url.c_str(), kHttpMode, 0, 0);
  if (!stream) return 1;
  m_stream = stream;
  // The library sounds a net stream once it is ready, so it starts like a
  // local one.
  return StartLocal();
}

int CFmodStream::Seek(int ms) {
  if (ms != 0 && m_stream && !IsHttp()) FSOUND_Stream_SetTime(m_stream, ms);
  if (FSOUND_GetPaused(m_channel)) return Resume();
  if (FMUSIC_MODULE* module = m_module.load()) return FMUSIC_PlaySong(module) ? 0 : 1;
  if (IsHttp()) {
    if (!m_stream) return OpenHttp();
    int state = FSOUND_Stream_GetOpenState(m_stream);
    bool reopen = state == FSOUND_OPEN_FAILED || state == FSOUND_OPEN_INVALID;
    if (state == FSOUND_OPEN_READY) {
      int t = FSOUND_Stream_GetTime(m_stream);
      int length = FSOUND_Stream_GetLengthMs(m_stream);
      int status = FSOUND_STREAM_NET_NOTCONNECTED;
      FSOUND_Stream_Net_GetStatus(m_stream, &status, nullptr, nullptr, nullptr);
      // A net stream has no length: only a known length can have been reached.
      reopen = status == FSOUND_STREAM_NET_ERROR || (length > 0 && t >= length);
    }
    if (!reopen) return 0;
    FSOUND_Stream_Close(m_stream.exchange(nullptr));
    return OpenHttp();
  }
  if (m_stream) return StartLocal();
  return 0;
}

int CFmodStream::Stop() {
  if (FMUSIC_MODULE* module = m_module.load()) {
    FMUSIC_StopSong(module);
  } else if (IsHttp()) {
    if (FSOUND_STREAM* stream = m_stream.exchange(nullptr)) FSOUND_Stream_Close(stream);
  } else if (m_stream) {
    FSOUND_Stream_Stop(m_stream);
    SendEvent(kMediaEventStopped);
  }
  m_channel = -1;
  return 0;
}

int CFmodStream::Pause() {
  if (m_stream && !m_module) {
    FSOUND_SetPaused(m_channel, 1);
    SendEvent(kMediaEventStopped);
  }
  return 0;
}

int CFmodStream::Resume() {
  if (!m_stream || m_module) return 0;
  // A pause of a stream that never started (or has ended since) leaves no
  // channel to resume: start it, so Play after Pause plays.
  if (!IsHttp() && !FSOUND_SetPaused(m_channel, 0)) return StartLocal();
  if (IsHttp()) FSOUND_SetPaused(m_channel, 0);
  SendEvent(kMediaEventPlaying);
  return 0;
}

int CFmodStream::GetDuration() { return m_stream && !m_module ? FSOUND_Stream_GetLengthMs(m_stream) : 0; }

int CFmodStream::IsSeekable() { return IsHttp() && m_stream ? 0 : 1; }

// FMOD gives no tags: no song information.
int CFmodStream::GetTitle(char**) { return 0; }
int CFmodStream::GetAuthor(char**) { return 0; }
int CFmodStream::GetComposer(char**) { return 0; }
int CFmodStream::GetLyrics(char**) { return 0; }
int CFmodStream::GetAlbumTitle(char**) { return 0; }
int CFmodStream::GetAlbumArtist(char**) { return 0; }

void CFmodStream::SetVolume(double volume) {
  m_volume = int(volume);
  FSOUND_SetVolume(m_channel, m_volume);
}

int CFmodStream::GetPosition() { return FSOUND_Stream_GetTime(m_stream); }

void CFmodStream::MoveToFraction(int factor) {
  if (FMUSIC_MODULE* module = m_module.load()) {
    for (int i = 0; i < FMUSIC_GetNumChannels(module); ++i)
      FSOUND_StopSound(FMUSIC_GetRealChannel(module, i));
    FMUSIC_SetOrder(module, FMUSIC_GetNumOrders(module) * factor);
  } else if (m_stream && !IsHttp()) {
    FSOUND_Stream_SetTime(m_stream, FSOUND_Stream_GetLengthMs(m_stream) * factor);
  }
}
