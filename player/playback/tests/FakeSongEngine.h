#pragma once
// A song engine that records what the players ask of it (and on which
// thread SyncTime arrives), with a track mixer and song information of its own.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "tunewell/ISongEngine.h"

class FakeSongEngine : public ISongEngine, public CTrackMixer, public CSongInfo {
 public:
  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
  }
  void ClearCalls() {
    std::lock_guard<std::mutex> hold(lock_);
    calls_.clear();
  }
  int Count(const std::string& call) {
    int n = 0;
    for (const std::string& c : Calls()) n += c == call;
    return n;
  }
  ISongEngineListener* listener = nullptr;
  int openResult = 0;
  int beatsPerBar = 3;
  int songLengthMs = 0;
  DWORD syncThread = 0;
  int lastSync = -1;

  // ISongEngine
  int Init(HWND) override { return 0; }
  void Release() override {}
  int SetListener(ISongEngineListener* l) override {
    listener = l;
    Note(l ? "SetListener" : "SetListener:null");
    return 0;
  }
  int CreateScore(HWND) override { return 0; }
  int DestroyScore() override { return 0; }
  int Close() override { return Note("Close"); }
  HWND SetScoreWindow(HWND) override { return nullptr; }
  int DrawScore(HDC) override { return 0; }
  int SetScoreRect(const RECT*) override { return 0; }
  int SetTracks(const int* tracks, int count) override {
    return Note("SetTracks:" + std::to_string(count == 1 ? tracks[0] : -count));
  }
  int GetTracks(int*, unsigned* count) override {
    if (count) *count = 0;
    return 0;
  }
  int Open(const char* path) override {
    // An empty song file is no song, as for the real engine.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    bool empty = !GetFileAttributesExA(path, GetFileExInfoStandard, &data) || data.nFileSizeLow == 0;
    Note("Open");
    return empty ? 1 : openResult;
  }
  int Play(int) override { return Note("Play"); }
  int Stop(int) override { return Note("Stop"); }
  int Seek(int position) override { return Note("Seek:" + std::to_string(position)); }
  int SetDelayTime(int delay) override { return Note("SetDelayTime:" + std::to_string(delay)); }
  int SyncTime(int time) override {
    std::lock_guard<std::mutex> hold(lock_);
    syncThread = GetCurrentThreadId();
    lastSync = time;
    ++syncs;
    return 0;
  }
  int syncs = 0;
  int GetTagTime(uint32_t) override { return -1; }
  int GetPlayerState(int) override { return 1; }
  int GetEventTime(int) override { return 0; }
  int GetBeatsPerBar() override { return beatsPerBar; }
  int Rewind() override { return 0; }
  int CloseMidiOut(bool close) override { return Note(close ? "CloseMidiOut:1" : "CloseMidiOut:0"); }
  int Reserved() override { return 0; }
  CScoreViewPair* CreateScoreViewPair() override { return nullptr; }
  CScoreFacet* GetScoreFacet() override { return nullptr; }
  CSongInfo* GetSongInfo() override { return this; }
  CTrackMixer* GetTrackMixer() override { return this; }
  ICantomereLyrics* GetLyrics() override { return nullptr; }

  // CTrackMixer
  int SetTrackEnabled(int track, bool enabled) override {
    return Note("SetTrackEnabled:" + std::to_string(track) + (enabled ? ":1" : ":0"));
  }
  void Destroy(unsigned) override {}

  // CSongInfo
  int GetTrackCount() override { return 1; }
  int GetTrackNumber(int index) override { return index + 1; }
  const char* GetTrackName(int) override { return ""; }
  const char* GetInstrumentName(int) override { return ""; }
  int GetHighestNote(int) override { return 0; }
  int GetLowestNote(int) override { return 0; }
  int GetSongLength() override { return songLengthMs; }

 private:
  int Note(const std::string& call) {
    std::lock_guard<std::mutex> hold(lock_);
    calls_.push_back(call);
    return 0;
  }
  std::mutex lock_;
  std::vector<std::string> calls_;
};
