#pragma once
// Tunewell.dll: the song engine the player drives. One engine per player,
// made by CreateTunewellInstance(1) and ended with ISongEngine::Release.
// Every call comes from the owner's UI thread except SyncTime, which the
// synchronised player makes from the audio library's callback thread.
//
// The slot order of every interface here is a contract with the player and
// with Cantomere.dll, which calls GetEventTime: append, never reorder.
// Results are 0 for success and 1 for failure unless a line says otherwise.
#include <windows.h>

#include <cstdint>

class ICantomereLyrics;
class IScoreViewOptions;

// Called on the owner's UI thread while a song plays.
class ISongEngineListener {
 public:
  virtual void OnPosition(int seconds) = 0;
  // beat counts from 0 within the bar; the third value is the bar index.
  virtual void OnBeat(int beat, int beatsPerBar, int extra) = 0;
  // 0 for the natural end of the song.
  virtual void OnSongEnd(int code) = 0;

 protected:
  ~ISongEngineListener() = default;
};

// The notation as the player's score frame and settings see it. Owned by
// the engine; it has no release operation of its own.
class CScoreFacet {
 public:
  // 0 staff notation, 1 numbered notation; the old view leaves the window.
  virtual int SetScoreType(int type) = 0;
  virtual int GetScoreType() = 0;
  // kind 0, 1 or 2; track -1 = every selected track.
  virtual int SetTrackStaffKind(int kind, int track) = 0;
  // *out 0, 1 or 2.
  virtual int GetTrackStaffKind(int* out, int track) = 0;
  virtual int Layout(RECT* rect) = 0;
  virtual int ScrollTo(int measure) = 0;
  virtual int ScrollBy(int count) = 0;
  virtual int GetPageMeasureCount(char* out) = 0;
  virtual int GetLastMeasure() = 0;             // -1 without a view
  virtual int PrevPage() = 0;                   // -1 without a view
  virtual int TickFromPoint(int x, int y) = 0;  // -1 outside or without a view
  virtual int GetMeasureCount(int track) = 0;
  // Destructor slot: the engine deletes the facet.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~CScoreFacet() = default;
};

// Sets a display option on the staff and the numbered view at once; getters
// answer from the staff view. Made by CreateScoreViewPair; the caller ends
// it with Release while the engine's score still exists. Setters take a
// track, -1 for every track.
class CScoreViewPair {
 public:
  virtual void Release() = 0;
  virtual void SetLineColor(COLORREF color, int track) = 0;
  virtual COLORREF GetLineColor(int track) = 0;
  virtual void SetNoteColor(COLORREF color, int track) = 0;
  virtual COLORREF GetNoteColor(int track) = 0;
  virtual void SetHighlightNoteColor(COLORREF color, int track) = 0;
  virtual COLORREF GetHighlightNoteColor(int track) = 0;
  virtual void SetClefColor(COLORREF color, int track) = 0;
  virtual COLORREF GetClefColor(int track) = 0;
  virtual void SetSignatureColor(COLORREF color, int track) = 0;
  virtual COLORREF GetSignatureColor(int track) = 0;
  virtual void SetBarIndexColor(COLORREF color, int track) = 0;
  virtual COLORREF GetBarIndexColor(int track) = 0;
  virtual void SetShowBarIndex(bool on, int track) = 0;
  virtual bool GetShowBarIndex(int track) = 0;
  virtual void SetShowTrackNumber(bool on, int track) = 0;
  virtual bool GetShowTrackNumber(int track) = 0;
  virtual void SetHeavyEndBar(bool on, int track) = 0;
  virtual bool GetHeavyEndBar(int track) = 0;
  // Accepted and ignored: the views draw lyrics in their own font.
  virtual void SetLyricFont(HFONT font, int track) = 0;
  virtual HFONT GetLyricFont(int track) = 0;
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~CScoreViewPair() = default;
};

// Answers questions about any song file with a parser of its own, whatever
// is playing. Tracks are numbered as GetTrackNumber gives them (index + 1).
class CSongInfo {
 public:
  virtual void Release() = 0;
  // 0 loaded with at least one track, else 1.
  virtual int Open(const char* path) = 0;
  // Tracks after the tempo track; 0 when nothing is loaded.
  virtual int GetTrackCount() = 0;
  virtual int GetTrackNumber(int index) = 0;
  // Valid until the next call; names longer than 255 bytes are cut.
  virtual const char* GetTrackName(int track) = 0;
  // Null when nothing is loaded.
  virtual const char* GetInstrumentName(int track) = 0;
  virtual int GetHighestNote(int track) = 0;
  virtual int GetLowestNote(int track) = 0;
  // Milliseconds; 0 when the song cannot be measured.
  virtual int GetSongLength() = 0;
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~CSongInfo() = default;
};

// Mutes and unmutes tracks of the playing song.
class CTrackMixer {
 public:
  virtual void Release() = 0;
  // enabled clears the track's mute bit, disabled sets it.
  virtual int SetTrackEnabled(int track, bool enabled) = 0;
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~CTrackMixer() = default;
};

class ISongEngine {
 public:
  // Binds the engine to Brevant, Cantomere, the MIDI output and its message
  // window; the owner's thread is the thread that calls it.
  virtual int Init(HWND owner) = 0;
  virtual void Release() = 0;
  virtual int SetListener(ISongEngineListener* listener) = 0;
  virtual int CreateScore(HWND views) = 0;
  virtual int DestroyScore() = 0;
  virtual int Close() = 0;
  // The active view's previous window, 0 without a view.
  virtual HWND SetScoreWindow(HWND window) = 0;
  virtual int DrawScore(HDC dc) = 0;
  virtual int SetScoreRect(const RECT* rect) = 0;
  virtual int SetTracks(const int* tracks, int count) = 0;
  // Null out: *count = number of selected tracks.
  virtual int GetTracks(int* out, unsigned* count) = 0;
  virtual int Open(const char* path) = 0;
  virtual int Play(int unused) = 0;
  virtual int Stop(int unused) = 0;
  virtual int Seek(int position) = 0;
  virtual int SetDelayTime(int delay) = 0;
  // May be called from any thread; only forwards to the sequencer.
  virtual int SyncTime(int time) = 0;
  // Time of the first marker with that four-character tag, -1 for none.
  virtual int GetTagTime(uint32_t tag) = 0;
  // 0 while a song plays.
  virtual int GetPlayerState(int unused) = 0;
  // Player time (ms) of the song event with that index (its tick).
  virtual int GetEventTime(int index) = 0;
  virtual int GetBeatsPerBar() = 0;
  virtual int Rewind() = 0;
  virtual int CloseMidiOut(bool close) = 0;
  virtual int Reserved() = 0;
  virtual CScoreViewPair* CreateScoreViewPair() = 0;
  virtual CScoreFacet* GetScoreFacet() = 0;
  virtual CSongInfo* GetSongInfo() = 0;
  virtual CTrackMixer* GetTrackMixer() = 0;
  // The engine's lyric controller; never released by callers. Null when
  // Cantomere.dll is missing.
  virtual ICantomereLyrics* GetLyrics() = 0;

 protected:
  ~ISongEngine() = default;
};

// Window messages of the engine's hidden window.
constexpr UINT WM_SONG_EVENT = WM_USER + 1;  // wParam: heap PlayEvent, freed by the handler
constexpr UINT WM_SONG_END = WM_USER + 2;    // wParam: heap PlayEvent of type 10
constexpr UINT WM_COUNT_IN = WM_USER + 3;    // wParam 1, lParam: steps still to come

// The four-character tag of the climax section's start marker.
constexpr uint32_t kTagClimaxStart = 0x54534C43;  // "CLST"

extern "C" {
typedef ISongEngine* (*CreateTunewellInstanceFn)(int version);
ISongEngine* CreateTunewellInstance(int version);
}

constexpr const char kTunewellLibrary[] = "Tunewell.dll";
constexpr const char kCreateTunewellInstanceName[] = "CreateTunewellInstance";
