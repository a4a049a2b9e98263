#pragma once
// The song engine behind ISongEngine. CSongEngine.cpp holds binding, song and
// score operations; CSongEngineRelay.cpp the playback-event relay (the
// sequencer's callback and the message window's handler).
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <memory>

#include <brevant/PlayEvent.h>
#include <base/CMsgWnd.h>
#include <tunewell/ISongEngine.h>

#include "CCountInTimer.h"
#include "base/ReleasePtr.h"

class CScoreHost;
class CSongData;
class CScoreFacetImpl;
class CSongInfoImpl;
class CTrackMixerImpl;

class CSongEngine : public ISongEngine, public IMsgWndSink {
 public:
  CSongEngine();
  virtual ~CSongEngine();
  CSongEngine(const CSongEngine&) = delete;
  CSongEngine& operator=(const CSongEngine&) = delete;

  // @name ISongEngine
  int Init(HWND owner) override;
  void Release() override;
  int SetListener(ISongEngineListener* listener) override;
  int CreateScore(HWND views) override;
  int DestroyScore() override;
  int Close() override;
  HWND SetScoreWindow(HWND window) override;
  int DrawScore(HDC dc) override;
  int SetScoreRect(const RECT* rect) override;
  int SetTracks(const int* tracks, int count) override;
  int GetTracks(int* out, unsigned* count) override;
  int Open(const char* path) override;
  int Play(int unused) override;
  int Stop(int unused) override;
  int Seek(int position) override;
  int SetDelayTime(int delay) override;
  int SyncTime(int time) override;
  int GetTagTime(uint32_t tag) override;
  int GetPlayerState(int unused) override;
  int GetEventTime(int index) override;
  int GetBeatsPerBar() override;
  int Rewind() override;
  int CloseMidiOut(bool close) override;
  int Reserved() override { return 0; }
  CScoreViewPair* CreateScoreViewPair() override;
  CScoreFacet* GetScoreFacet() override;
  CSongInfo* GetSongInfo() override;
  CTrackMixer* GetTrackMixer() override;
  ICantomereLyrics* GetLyrics() override;

  // @name Relay
  // Registered with the sequencer; runs on any thread and only posts (or,
  // when synchronous, sends) a heap copy of the event to the message window.
  static int OnPlayEvent(const PlayEvent* event, void* engine, int synchronous);
  int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // For tests: the window the relay posts to, and the count-in state.
  HWND MessageWindow() const { return eventWindow_; }
  const CCountInTimer& CountIn() const { return countIn_; }

 private:
  CScoreHost* Host();
  void HandleSongEvent(const PlayEvent& event);
  // Removes the queued records of message (WM_SONG_EVENT or WM_SONG_END)
  // and frees them unhandled.
  void DrainQueued(UINT message);
  int OpenMidiOut();
  int CloseMidiPort();

  // The parts, made on first need. The destructor takes them down in the
  // order the outside libraries require; see there.
  std::unique_ptr<CScoreHost> scoreHost_;
  std::unique_ptr<CSongData> songData_;
  std::unique_ptr<CMsgWnd> msgWnd_;
  std::unique_ptr<CScoreFacetImpl> scoreFacet_;
  base::ReleasePtr<CSongInfoImpl> songInfo_;
  base::ReleasePtr<CTrackMixerImpl> trackMixer_;
  ISongEngineListener* listener_ = nullptr;
  CCountInTimer countIn_;
  HMIDIOUT midiOut_ = nullptr;
  // Read by the sequencer's thread.
  std::atomic<HWND> eventWindow_{nullptr};
};
