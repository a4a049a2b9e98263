#include "output/CWMAudioPlayer.h"

// The reader's interface and media-type identifiers are defined here, once for
// the library (selectany: another library defining them too is fine).
#include <initguid.h>
#include <wmsdkidl.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/Guarded.h"
#include "output/WMReaderApi.h"

namespace {

constexpr HRESULT kAttributeNotFound = HRESULT(0xC00D07F0);  // ASF_E_NOTFOUND
// Hundreds of nanoseconds a millisecond: the reader's time unit.
constexpr QWORD kUnitsPerMs = 10000;

// Diagnostics for the developer, never shown to the user.
HRESULT Fail(const char* what, HRESULT hr) {
  char text[160];
  std::snprintf(text, sizeof text, "%s (hr=%#X)\n", what, static_cast<unsigned>(hr));
  OutputDebugStringA(text);
  return hr;
}

template <typename T>
struct ComRef {
  T* p = nullptr;
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p != nullptr) p->Release();
  }
  T* operator->() const { return p; }
};

}  // namespace

CWMAudioPlayer::CWMAudioPlayer(const WaveOutApi& waveOut)
    : m_windowsXP(WindowsXPHook()()), m_waveOutApi(waveOut), m_waveOut(waveOut) {}

CWMAudioPlayer::~CWMAudioPlayer() {
  Shutdown();
  while (m_comInits > 0) {
    CoUninitialize();
    --m_comInits;
  }
}

// ---- IUnknown and the two Release slots

HRESULT CWMAudioPlayer::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == __uuidof(IWMReaderCallback) || iid == __uuidof(IWMStatusCallback) || iid == __uuidof(IUnknown)) {
    *out = static_cast<IWMReaderCallback*>(this);
    AddRef();
    return S_OK;
  }
  if (iid == __uuidof(IWMReaderCallbackAdvanced)) return m_allocator.QueryInterface(iid, out);
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CWMAudioPlayer::AddRef() { return ++m_refs; }

ULONG CWMAudioPlayer::ReleaseReference() {
  LONG left = --m_refs;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

void CWMAudioPlayer::ReleasePlayer() {
  if (m_reader != nullptr && m_fileOpen) Stop();
  // The reader holds a reference to this callback: without letting it go the
  // object would never reach 0.
  Shutdown();
  ReleaseReference();
}

// ---- Listeners

void CWMAudioPlayer::AddListener(IMediaListener* listener) {
  std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
  m_listeners.push_back(listener);
}

void CWMAudioPlayer::RemoveListener(IMediaListener* listener) {
  if (listener == nullptr) return;
  std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
  auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
  if (it != m_listeners.end()) m_listeners.erase(it);
}

void CWMAudioPlayer::SendEvent(int code) {
  // Called on the reader's thread, which is not ours to unwind: a listener
  // that fails loses its own call, and the status still reaches the waiter.
  base::Guarded([&] {
    std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
    // A copy: a listener may remove itself from inside the call.
    std::vector<IMediaListener*> listeners = m_listeners;
    for (IMediaListener* listener : listeners) listener->OnPlayerEvent(code);
  });
}

// ---- Reader callback

HRESULT CWMAudioPlayer::OnStatus(WMT_STATUS status, HRESULT hr, WMT_ATTR_DATATYPE, BYTE*, void*) {
  // The listeners hear of a waited-for status before the waiting call returns.
  switch (status) {
    case WMT_ERROR:
      m_ended = true;
      break;
    case WMT_OPENED:
      // A file that failed to open was never loaded.
      if (SUCCEEDED(hr)) SendEvent(kMediaEventLoaded);
      m_status = hr;
      SetEvent(m_event);
      break;
    case WMT_EOF:
      m_ended = true;
      SendEvent(kMediaEventEnd);
      break;
    case WMT_MISSING_CODEC:
      m_ended = true;
      SendEvent(kMediaEventMissingCodec);
      break;
    case WMT_STARTED:
      m_ended = false;
      SendEvent(kMediaEventPlaying);
      break;
    case WMT_STOPPED:
      SendEvent(kMediaEventStopped);
      m_status = hr;
      SetEvent(m_event);
      break;
    case WMT_CLOSED:
      SendEvent(kMediaEventClosed);
      m_status = hr;
      SetEvent(m_event);
      break;
    default:
      break;
  }
  return S_OK;
}

HRESULT CWMAudioPlayer::OnSample(DWORD output, QWORD sampleTime, QWORD sampleDuration, DWORD,
                                 INSSBuffer* sample, void*) {
  if (output != m_audioOutput) return S_OK;
  if (sample == nullptr) return E_POINTER;
  BYTE* data = nullptr;
  DWORD length = 0;
  HRESULT hr = sample->GetBufferAndLength(&data, &length);
  if (FAILED(hr)) return hr;
  bool written = length <= static_cast<DWORD>(INT_MAX) &&
                 m_output.GetFreeSpace() >= static_cast<int>(length) &&
                 m_output.Write(data, static_cast<int>(length));
  // Audio the device had no room for still counts as played, so the position
  // keeps pace with the file.
  if (!written) m_skippedMs += static_cast<long long>(sampleDuration / kUnitsPerMs);
  long long position = m_skippedMs + static_cast<long long>(m_output.GetPlayedSeconds() * 1000.0);
  int tick = static_cast<int>(std::min<long long>(position, INT_MAX));
  m_position = tick;
  int time = static_cast<int>(std::min<QWORD>(sampleTime / kUnitsPerMs, INT_MAX));
  base::Guarded([&] {
    std::lock_guard<std::recursive_mutex> hold(m_listenersLock);
    std::vector<IMediaListener*> listeners = m_listeners;
    for (IMediaListener* listener : listeners) listener->OnPlayTick(tick);
    for (IMediaListener* listener : listeners) listener->OnPlayTime(time);
  });
  return S_OK;
}

// ---- Set-up

int CWMAudioPlayer::Init() {
  HRESULT hr = CoInitialize(nullptr);
  if (FAILED(hr)) return Fail("CoInitialize failed", hr);
  ++m_comInits;
  if (m_event == nullptr) m_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (m_event == nullptr) {
    Shutdown();
    return Fail("Could not create the event", E_FAIL);
  }
  if (m_reader == nullptr) {
    hr = WMCreateReaderHook()(nullptr, WMT_RIGHT_PLAYBACK, &m_reader);
    if (FAILED(hr) || m_reader == nullptr) {
      m_reader = nullptr;
      Shutdown();
      return Fail("Could not create Reader", FAILED(hr) ? hr : E_FAIL);
    }
  }
  return S_OK;
}

int CWMAudioPlayer::Shutdown() {
  if (m_reader != nullptr && m_fileOpen) Close();
  if (m_headerInfo != nullptr) m_headerInfo->Release();
  m_headerInfo = nullptr;
  if (m_reader != nullptr) m_reader->Release();
  m_reader = nullptr;
  if (m_event != nullptr) CloseHandle(m_event);
  m_event = nullptr;
  m_fileName.clear();
  m_fileName.shrink_to_fit();
  m_format.clear();
  m_format.shrink_to_fit();
  m_fileOpen = false;
  return 0;
}

HRESULT CWMAudioPlayer::WaitForStatus() {
  ULONGLONG start = GetTickCount64();
  for (;;) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (WaitForSingleObject(m_event, 10) == WAIT_OBJECT_0) return m_status;
    if (GetTickCount64() - start >= m_statusTimeout)
      return Fail("The reader did not answer", HRESULT_FROM_WIN32(ERROR_TIMEOUT));
  }
}

// ---- Open and the header

int CWMAudioPlayer::Open(const char* path) {
  if (path == nullptr || *path == '\0') return E_INVALIDARG;
  int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (wideLength <= 0) return E_INVALIDARG;
  std::wstring name(static_cast<size_t>(wideLength), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, &name[0], wideLength) != wideLength) return 1;
  name.resize(static_cast<size_t>(wideLength) - 1);
  if (m_reader == nullptr) return E_UNEXPECTED;

  if (m_fileOpen) Close();
  ResetEvent(m_event);
  try {
    m_fileName = name;
  } catch (const std::bad_alloc&) {
    return Fail("Insufficient memory", E_OUTOFMEMORY);
  }
  HRESULT hr = m_reader->Open(m_fileName.c_str(), static_cast<IWMReaderCallback*>(this), nullptr);
  if (SUCCEEDED(hr)) hr = WaitForStatus();
  if (FAILED(hr)) {
    // The reader may hold half a file: closing it is what lets it go.
    m_fileOpen = true;
    Close();
    return Fail("Could not open the specified file", hr);
  }
  m_fileOpen = true;
  if (m_headerInfo != nullptr) m_headerInfo->Release();
  m_headerInfo = nullptr;
  hr = m_reader->QueryInterface(__uuidof(IWMHeaderInfo), reinterpret_cast<void**>(&m_headerInfo));
  if (FAILED(hr) || m_headerInfo == nullptr) {
    m_headerInfo = nullptr;
    Close();
    return Fail("Could not QI for IWMHeaderInfo", FAILED(hr) ? hr : E_NOINTERFACE);
  }
  hr = ReadHeader();
  if (SUCCEEDED(hr)) hr = FindAudioOutput();
  if (SUCCEEDED(hr)) {
    ComRef<IWMReaderAdvanced> advanced;
    hr = m_reader->QueryInterface(__uuidof(IWMReaderAdvanced), reinterpret_cast<void**>(&advanced.p));
    if (SUCCEEDED(hr) && advanced.p != nullptr) {
      m_maxSampleSize = 0;
      hr = advanced->GetMaxOutputSampleSize(m_audioOutput, &m_maxSampleSize);
      if (hr == E_NOTIMPL) {
        // A reader that cannot tell (Wine's) still plays: a second of audio
        // is a generous guess, and a larger request gets a buffer of its own.
        m_maxSampleSize = std::max<DWORD>(AudioFormat()->nAvgBytesPerSec, 4096);
        hr = S_OK;
      }
      if (SUCCEEDED(hr)) {
        m_allocator.Setup(m_audioOutput, m_maxSampleSize);
        advanced->SetAllocateForOutput(m_audioOutput, TRUE);
      }
    } else if (SUCCEEDED(hr)) {
      hr = E_NOINTERFACE;
    }
  }
  if (FAILED(hr)) {
    Close();
    return hr;
  }
  return S_OK;
}

HRESULT CWMAudioPlayer::FetchAttribute(const wchar_t* name, WMT_ATTR_DATATYPE* type,
                                       std::vector<BYTE>* value) {
  value->clear();
  if (m_headerInfo == nullptr) return E_UNEXPECTED;
  WORD stream = 0;
  WORD length = 0;
  HRESULT hr = m_headerInfo->GetAttributeByName(&stream, name, type, nullptr, &length);
  if (FAILED(hr)) return hr;
  value->assign(length, 0);
  if (length == 0) return S_OK;
  stream = 0;
  WORD got = length;
  hr = m_headerInfo->GetAttributeByName(&stream, name, type, value->data(), &got);
  if (FAILED(hr)) return hr;
  // A reader that reports less the second time gave only that much.
  if (got < length) value->resize(got);
  return S_OK;
}

HRESULT CWMAudioPlayer::ReadHeader() {
  struct Attribute {
    const wchar_t* name;
    const char* failure;
  };
  // Fetched only so that a reader that cannot read its header fails here.
  static const Attribute kChecked[] = {{L"Title", "Could not get the Title attribute"},
                                       {L"Author", "Could not get the Author attribute"},
                                       {L"Copyright", "Could not get the Copyright attribute"}};
  WMT_ATTR_DATATYPE type = WMT_TYPE_DWORD;
  std::vector<BYTE> value;
  for (const Attribute& attribute : kChecked) {
    HRESULT hr = FetchAttribute(attribute.name, &type, &value);
    if (FAILED(hr) && hr != kAttributeNotFound) return Fail(attribute.failure, hr);
  }
  // A value of the wrong type or size counts as absent.
  HRESULT hr = FetchAttribute(L"Duration", &type, &value);
  if (FAILED(hr) && hr != kAttributeNotFound) return Fail("Could not get the Duration attribute", hr);
  m_duration = 0;
  if (SUCCEEDED(hr) && type == WMT_TYPE_QWORD && value.size() == sizeof(QWORD))
    std::memcpy(&m_duration, value.data(), sizeof(QWORD));

  auto readBool = [&](const wchar_t* name, const char* failure, bool* flag) {
    *flag = false;
    HRESULT got = FetchAttribute(name, &type, &value);
    if (FAILED(got) && got != kAttributeNotFound) return Fail(failure, got);
    if (SUCCEEDED(got) && type == WMT_TYPE_BOOL && value.size() == sizeof(BOOL)) {
      BOOL on = FALSE;
      std::memcpy(&on, value.data(), sizeof(BOOL));
      *flag = on != FALSE;
    }
    return S_OK;
  };
  hr = readBool(L"Seekable", "Could not get the Seekable attribute", &m_seekable);
  if (SUCCEEDED(hr)) hr = readBool(L"Broadcast", "Could not get the Broadcast attribute", &m_broadcast);
  return hr;
}

HRESULT CWMAudioPlayer::FindAudioOutput() {
  DWORD outputs = 0;
  HRESULT hr = m_reader->GetOutputCount(&outputs);
  if (FAILED(hr)) return Fail("Could not get output count", hr);
  for (DWORD output = 0; output < outputs; ++output) {
    ComRef<IWMOutputMediaProps> props;
    hr = m_reader->GetOutputProps(output, &props.p);
    if (FAILED(hr) || props.p == nullptr)
      return Fail("Could not get output props", FAILED(hr) ? hr : E_POINTER);
    DWORD size = 0;
    hr = props->GetMediaType(nullptr, &size);
    if (FAILED(hr)) return Fail("Could not query for the space needed for media type", hr);
    if (size < sizeof(WM_MEDIA_TYPE)) continue;
    // Kept as WM_MEDIA_TYPEs so the block is aligned for the record.
    std::vector<WM_MEDIA_TYPE> block((size + sizeof(WM_MEDIA_TYPE) - 1) / sizeof(WM_MEDIA_TYPE));
    WM_MEDIA_TYPE* type = block.data();
    DWORD got = size;
    hr = props->GetMediaType(type, &got);
    if (FAILED(hr)) return Fail("Could not get media type", hr);
    if (type->majortype != WMMEDIATYPE_Audio) continue;
    // An audio output without a wave format cannot be played: look further.
    if (type->pbFormat == nullptr || type->cbFormat < sizeof(PCMWAVEFORMAT)) continue;
    m_format.assign(std::max<size_t>(type->cbFormat, sizeof(WAVEFORMATEX)), 0);
    std::memcpy(m_format.data(), type->pbFormat, type->cbFormat);
    m_audioOutput = output;
    return S_OK;
  }
  return Fail("Could not find an audio stream in the specified file", E_FAIL);
}

const WAVEFORMATEX* CWMAudioPlayer::AudioFormat() const {
  return m_format.empty() ? nullptr : reinterpret_cast<const WAVEFORMATEX*>(m_format.data());
}

// ---- Transport

int CWMAudioPlayer::Close() {
  if (m_reader == nullptr) {
    m_output.ReleaseStream();
    return 0;
  }
  ResetEvent(m_event);
  HRESULT hr = m_reader->Close();
  if (SUCCEEDED(hr)) hr = WaitForStatus();
  m_output.ReleaseStream();
  m_fileOpen = false;
  m_format.clear();
  return hr;
}

int CWMAudioPlayer::Seek(int ms) {
  if (m_reader == nullptr || !m_fileOpen || AudioFormat() == nullptr) return E_UNEXPECTED;
  ms = std::max(ms, 0);
  m_skippedMs = ms;
  m_position = ms;
  const WAVEFORMATEX* format = AudioFormat();
  int ring = m_windowsXP ? static_cast<int>(std::min<DWORD>(m_maxSampleSize, INT_MAX)) : 0;
  if (!m_output.Open(static_cast<int>(format->nSamplesPerSec), format->wBitsPerSample, format->nChannels, 0,
                     ring))
    return Fail("Could not open the output device", E_FAIL);
  HRESULT hr = m_reader->Start(static_cast<QWORD>(ms) * kUnitsPerMs, 0, 1.0f, nullptr);
  if (FAILED(hr)) m_output.ReleaseStream();
  return hr;
}

int CWMAudioPlayer::Stop() {
  if (m_reader == nullptr) return E_UNEXPECTED;
  ResetEvent(m_event);
  HRESULT hr = m_reader->Stop();
  if (SUCCEEDED(hr)) hr = WaitForStatus();
  m_output.CloseWithFade();
  return hr;
}

int CWMAudioPlayer::Pause() {
  if (m_reader == nullptr) return E_UNEXPECTED;
  m_output.Pause(true);
  return m_reader->Pause();
}

int CWMAudioPlayer::Resume() {
  if (m_reader == nullptr) return E_UNEXPECTED;
  m_output.Pause(false);
  return m_reader->Resume();
}

// ---- Facts about the file

int CWMAudioPlayer::GetDuration() {
  return static_cast<int>(std::min<QWORD>(m_duration / kUnitsPerMs, INT_MAX));
}

int CWMAudioPlayer::IsSeekable() { return m_seekable ? 1 : 0; }

int CWMAudioPlayer::GetText(const wchar_t* name, char** text) {
  if (text == nullptr) return 0;
  WMT_ATTR_DATATYPE type = WMT_TYPE_DWORD;
  std::vector<BYTE> value;
  if (FAILED(FetchAttribute(name, &type, &value)) || type != WMT_TYPE_STRING) return 0;
  // An odd byte count loses its last byte; the text ends at its first NUL or
  // at the end of the value, whichever comes first.
  std::wstring wide(value.size() / sizeof(wchar_t), L'\0');
  if (!wide.empty()) std::memcpy(&wide[0], value.data(), wide.size() * sizeof(wchar_t));
  wide.resize(std::wcslen(wide.c_str()));
  int chars = static_cast<int>(std::min<size_t>(wide.size(), INT_MAX));
  // Sized by the conversion itself: in a double-byte code page a character
  // may need two bytes.
  int bytes =
      chars == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
  if (chars > 0 && bytes <= 0) return 0;
  char* out = new (std::nothrow) char[static_cast<size_t>(bytes) + 1];
  if (out == nullptr) return 0;
  if (chars > 0 &&
      WideCharToMultiByte(CP_ACP, 0, wide.data(), chars, out, bytes, nullptr, nullptr) != bytes) {
    delete[] out;
    return 0;
  }
  out[bytes] = '\0';
  *text = out;
  return 1;
}

int CWMAudioPlayer::GetTitle(char** text) { return GetText(L"Title", text); }
int CWMAudioPlayer::GetAuthor(char** text) { return GetText(L"Author", text); }
int CWMAudioPlayer::GetComposer(char** text) { return GetText(L"WM/Composer", text); }
int CWMAudioPlayer::GetLyrics(char** text) { return GetText(L"WM/Lyrics", text); }
int CWMAudioPlayer::GetAlbumTitle(char** text) { return GetText(L"WM/AlbumTitle", text); }
int CWMAudioPlayer::GetAlbumArtist(char** text) { return GetText(L"WM/AlbumArtist", text); }

void CWMAudioPlayer::SetVolume(double volume) { m_output.SetVolume(volume); }

int CWMAudioPlayer::GetPosition() { return m_position; }

// ---- The unused waveOut completion path

DWORD WINAPI CWMAudioPlayer::WaveOutThreadProc(void* player) {
  auto* self = static_cast<CWMAudioPlayer*>(player);
  DWORD exitCode = base::Guarded(
      [self] {
        MSG message;
        // Makes this thread's message queue before anyone posts to it.
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        self->m_waveOutThreadId = GetCurrentThreadId();
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
          if (message.message == MM_WOM_CLOSE) {
            PostQuitMessage(0);
          } else if (message.message == MM_WOM_DONE) {
            auto device = reinterpret_cast<HWAVEOUT>(message.wParam);
            auto* header = reinterpret_cast<WAVEHDR*>(message.lParam);
            MMRESULT result = self->m_waveOutApi.unprepareHeader(device, header, sizeof(WAVEHDR));
            if (result == MMSYSERR_NOERROR) {
              LocalFree(header);
              --self->m_pendingHeaders;
            } else if (result == MMSYSERR_NOTSUPPORTED) {
              SetEvent(self->m_event);
            } else {
              self->Stop();
            }
          }
        }
        return DWORD{0};
      },
      DWORD{1});
  // Also after a failure: the callback must stop posting to a thread that is gone.
  self->m_waveOutThreadId = 0;
  return exitCode;
}

void CALLBACK CWMAudioPlayer::WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR instance,
                                              DWORD_PTR param1, DWORD_PTR) {
  auto* self = reinterpret_cast<CWMAudioPlayer*>(instance);
  if (self == nullptr) return;
  if (message == WOM_DONE && param1 != 0) {
    auto* header = reinterpret_cast<const WAVEHDR*>(param1);
    int tick = static_cast<int>(std::min<DWORD_PTR>(header->dwUser, INT_MAX));
    // The system's waveOut thread calls this: no exception may go back into
    // it, and the block still reaches the completion thread.
    base::Guarded([&] {
      std::lock_guard<std::recursive_mutex> hold(self->m_listenersLock);
      std::vector<IMediaListener*> listeners = self->m_listeners;
      for (IMediaListener* listener : listeners) listener->OnPlayTick(tick);
    });
  }
  DWORD thread = self->m_waveOutThreadId;
  if (thread != 0)
    PostThreadMessageA(thread, message, reinterpret_cast<WPARAM>(device), static_cast<LPARAM>(param1));
}
