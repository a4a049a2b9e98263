#pragma once
// Plays the audio of a Windows Media file (whatever the Windows Media reader
// opens) through a CDSoundOutput, reads the file's descriptive attributes and
// reports status, position and sample times to IMediaListener objects.
// Nothing in the player creates it: its files play through the audio library.
//
// Use: Init, Open, Seek(0) to play (Seek(ms) to play from ms), Pause/Resume,
// Stop or Close, Shutdown, Release. SetVolume takes a linear gain (1.0 full),
// not the 0..255 of the audio library's stream behind the same interface.
//
// Threads: the operations run on one thread (the UI's). OnStatus and OnSample
// run on the reader's threads. Open, Stop and Close wait for the reader's
// status while dispatching the calling thread's messages, at most
// StatusTimeout() ms each. The listener list is guarded by one lock held while
// listeners are called, so once RemoveListener returns no call to that
// listener is in progress or can start; listeners keep the work short and do
// not wait for the UI thread. The dropped-audio count and the last position
// are atomics. The output device serialises its own calls (global output lock).
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <wmsdkidl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "output/CDSoundOutput.h"
#include "output/CSampleAllocator.h"
#include "output/CWaveOutStream.h"
#include "playback/IMediaPlayer.h"

// IUnknown's Release and IWMAudioPlayer's Release have one name and one
// parameter list, so one class cannot override them separately: each base
// forwards its Release to a renamed operation.
class CReaderCallbackBase : public IWMReaderCallback {
 public:
  ULONG STDMETHODCALLTYPE Release() final { return ReleaseReference(); }

 protected:
  virtual ULONG ReleaseReference() = 0;
  virtual ~CReaderCallbackBase() = default;
};

class CWMAudioPlayerBase : public IWMAudioPlayer {
 public:
  void Release() final { ReleasePlayer(); }

 protected:
  virtual void ReleasePlayer() = 0;
  ~CWMAudioPlayerBase() = default;
};

class CWMAudioPlayer : public CReaderCallbackBase, public CWMAudioPlayerBase {
 public:
  // Count 1, owned by the caller's IWMAudioPlayer::Release. waveOut: the
  // functions of the unused waveOut side (tests give a scripted table).
  explicit CWMAudioPlayer(const WaveOutApi& waveOut = SystemWaveOut());
  CWMAudioPlayer(const CWMAudioPlayer&) = delete;
  CWMAudioPlayer& operator=(const CWMAudioPlayer&) = delete;

  // IUnknown (the reader's reference; Release through CReaderCallbackBase).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  // IWMReaderCallback, on the reader's threads.
  HRESULT STDMETHODCALLTYPE OnStatus(WMT_STATUS status, HRESULT hr, WMT_ATTR_DATATYPE type, BYTE* value,
                                     void* context) override;
  HRESULT STDMETHODCALLTYPE OnSample(DWORD output, QWORD sampleTime, QWORD sampleDuration, DWORD flags,
                                     INSSBuffer* sample, void* context) override;

  // IWMAudioPlayer. Results are HRESULTs: negative means failure.
  void AddListener(IMediaListener* listener) override;
  void RemoveListener(IMediaListener* listener) override;
  int Init() override;
  // Closes an open file first; may be called again. 0.
  int Shutdown() override;
  // path in the system code page.
  int Open(const char* path) override;
  int Close() override;
  // Starts playing at ms. E_FAIL when the output device cannot open (nothing
  // would sound), E_UNEXPECTED without an open file.
  int Seek(int ms) override;
  int Stop() override;
  int Pause() override;
  int Resume() override;
  int GetDuration() override;
  int IsSeekable() override;
  int GetTitle(char** text) override;
  int GetAuthor(char** text) override;
  int GetComposer(char** text) override;
  int GetLyrics(char** text) override;
  int GetAlbumTitle(char** text) override;
  int GetAlbumArtist(char** text) override;
  void SetVolume(double volume) override;
  // The last position reported to OnPlayTick (the start of the last Seek
  // before the first sample): dropped audio plus what the device played.
  int GetPosition() override;

  // The waveOut completion path, which no operation starts (the DirectSound
  // output plays everything). The thread procedure, given this player, takes
  // its thread as the completion thread: MM_WOM_DONE unprepares and frees
  // (LocalFree) the header and counts it off, MM_WOM_CLOSE ends the thread.
  // The device callback (instance: this player) reports a finished header's
  // user value as OnPlayTick and forwards every message to that thread.
  static DWORD WINAPI WaveOutThreadProc(void* player);
  static void CALLBACK WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                       DWORD_PTR param2);
  DWORD WaveOutThreadId() const { return m_waveOutThreadId; }
  // Headers handed to the device and not yet finished.
  std::atomic<int>& PendingHeaders() { return m_pendingHeaders; }

  // Longest wait for a status of the reader; 30 s unless set (tests).
  void SetStatusTimeout(DWORD ms) { m_statusTimeout = ms; }
  DWORD StatusTimeout() const { return m_statusTimeout; }
  // The members, for tests and diagnostics.
  CSampleAllocator& Allocator() { return m_allocator; }
  CDSoundOutput& Output() { return m_output; }
  bool Ended() const { return m_ended; }
  bool IsBroadcast() const { return m_broadcast; }
  const WAVEFORMATEX* AudioFormat() const;

 protected:
  virtual ~CWMAudioPlayer();

 private:
  ULONG ReleaseReference() override;
  // Stop, Shutdown, then the caller's reference.
  void ReleasePlayer() override;

  // Waits for the status that the callback stores; its result or a timeout.
  HRESULT WaitForStatus();
  // An attribute of the whole file, into a new buffer the caller owns.
  HRESULT FetchAttribute(const wchar_t* name, WMT_ATTR_DATATYPE* type, std::vector<BYTE>* value);
  int GetText(const wchar_t* name, char** text);
  // Steps of Open after the reader opened the file.
  HRESULT ReadHeader();
  HRESULT FindAudioOutput();
  void SendEvent(int code);

  std::atomic<LONG> m_refs{1};
  std::atomic<bool> m_ended{false};
  bool m_seekable = false;
  bool m_broadcast = false;
  // 100-ns units.
  QWORD m_duration = 0;
  HANDLE m_event = nullptr;
  std::atomic<HRESULT> m_status{S_OK};
  IWMReader* m_reader = nullptr;
  IWMHeaderInfo* m_headerInfo = nullptr;
  std::wstring m_fileName;
  bool m_fileOpen = false;
  std::atomic<DWORD> m_audioOutput{0};
  std::vector<BYTE> m_format;  // WAVEFORMATEX and its extra bytes
  std::recursive_mutex m_listenersLock;
  std::vector<IMediaListener*> m_listeners;
  std::atomic<long long> m_skippedMs{0};
  std::atomic<int> m_position{0};
  DWORD m_maxSampleSize = 0;
  const bool m_windowsXP;
  int m_comInits = 0;
  DWORD m_statusTimeout = 30000;

  const WaveOutApi& m_waveOutApi;
  std::atomic<DWORD> m_waveOutThreadId{0};
  std::atomic<int> m_pendingHeaders{0};

  CSampleAllocator m_allocator;
  CDSoundOutput m_output;
  // The player's waveOut output, which no operation uses.
  CWaveOutOutput m_waveOut;
};
