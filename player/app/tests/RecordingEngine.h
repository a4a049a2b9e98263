// A song engine that records the calls made on it, for tests that must see
// single calls: the score frame's canvas and the main window's playback.
// Answers are fields the test sets.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tunewell/ISongEngine.h"

// Records the calls the canvas makes; answers are fields.
class RecordingFacet : public CScoreFacet {
 public:
  int SetScoreType(int type) override {
    calls.push_back("SetScoreType " + std::to_string(type));
    scoreType = type;
    return 0;
  }
  int GetScoreType() override { return scoreType; }
  int SetTrackStaffKind(int, int) override { return 0; }
  int GetTrackStaffKind(int*, int) override { return 0; }
  int Layout(RECT*) override { return 0; }
  int ScrollTo(int measure) override {
    calls.push_back("ScrollTo " + std::to_string(measure));
    return 0;
  }
  int ScrollBy(int count) override {
    calls.push_back("ScrollBy " + std::to_string(count));
    return 0;
  }
  int GetPageMeasureCount(char*) override { return 0; }
  int GetLastMeasure() override { return 6; }
  int PrevPage() override { return 2; }
  int TickFromPoint(int x, int y) override {
    calls.push_back("TickFromPoint " + std::to_string(x) + "," + std::to_string(y));
    return x * 10;
  }
  int GetMeasureCount(int) override { return 12; }
  void Destroy(unsigned) override {}

  std::vector<std::string> calls;
  int scoreType = 0;
};

// Keeps what the main window sets on the view pair when a song opens.
class RecordingViews : public CScoreViewPair {
 public:
  void Release() override { ++releases; }
  void SetLineColor(COLORREF, int) override {}
  COLORREF GetLineColor(int) override { return 0; }
  void SetNoteColor(COLORREF color, int) override { noteColor = color; }
  COLORREF GetNoteColor(int) override { return noteColor; }
  void SetHighlightNoteColor(COLORREF, int) override {}
  COLORREF GetHighlightNoteColor(int) override { return 0; }
  void SetClefColor(COLORREF, int) override {}
  COLORREF GetClefColor(int) override { return 0; }
  void SetSignatureColor(COLORREF, int) override {}
  COLORREF GetSignatureColor(int) override { return 0; }
  void SetBarIndexColor(COLORREF, int) override {}
  COLORREF GetBarIndexColor(int) override { return 0; }
  void SetShowBarIndex(bool, int) override {}
  bool GetShowBarIndex(int) override { return false; }
  void SetShowTrackNumber(bool, int) override {}
  bool GetShowTrackNumber(int) override { return false; }
  void SetHeavyEndBar(bool, int) override {}
  bool GetHeavyEndBar(int) override { return false; }
  // The face and height of the font as it was handed over (the handle is
  // the caller's and may be gone after the call).
  void SetLyricFont(HFONT font, int track) override {
    LOGFONTA logFont = {};
    if (font && ::GetObjectA(font, sizeof(logFont), &logFont)) {
      lyricFace = logFont.lfFaceName;
      lyricHeight = logFont.lfHeight;
      lyricTrack = track;
    }
  }
  HFONT GetLyricFont(int) override { return nullptr; }
  void Destroy(unsigned) override {}

  COLORREF noteColor = 0;
  std::string lyricFace;
  int lyricHeight = 0;
  int lyricTrack = 0;
  int releases = 0;
};

class RecordingEngine : public ISongEngine {
 public:
  int Init(HWND) override { return 0; }
  void Release() override {}
  int SetListener(ISongEngineListener*) override { return 0; }
  int CreateScore(HWND) override { return 0; }
  int DestroyScore() override { return 0; }
  int Close() override { return 0; }
  HWND SetScoreWindow(HWND window) override {
    scoreWindow = window;
    return nullptr;
  }
  int DrawScore(HDC) override {
    ++draws;
    return 0;
  }
  int SetScoreRect(const RECT* rect) override {
    if (rect) scoreRect = *rect;
    return 0;
  }
  int SetTracks(const int*, int) override { return 0; }
  int GetTracks(int*, unsigned*) override { return 0; }
  int Open(const char*) override { return 0; }
  int Play(int) override { return 0; }
  int Stop(int) override { return 0; }
  int Seek(int) override { return 0; }
  int SetDelayTime(int) override { return 0; }
  int SyncTime(int) override { return 0; }
  int GetTagTime(uint32_t) override { return -1; }
  int GetPlayerState(int) override { return playerState; }
  int GetEventTime(int) override { return 0; }
  int GetBeatsPerBar() override { return 4; }
  int Rewind() override {
    ++rewinds;
    return 0;
  }
  int CloseMidiOut(bool) override { return 0; }
  int Reserved() override { return 0; }
  CScoreViewPair* CreateScoreViewPair() override { return &views; }
  CScoreFacet* GetScoreFacet() override { return hasFacet ? &facet : nullptr; }
  CSongInfo* GetSongInfo() override { return nullptr; }
  CTrackMixer* GetTrackMixer() override { return nullptr; }
  ICantomereLyrics* GetLyrics() override { return nullptr; }

  RecordingFacet facet;
  RecordingViews views;
  bool hasFacet = true;
  int rewinds = 0;
  int playerState = 1;
  HWND scoreWindow = nullptr;
  RECT scoreRect = {};
  int draws = 0;
};
