#pragma once
// Test doubles for the lyric controller: a karaoke view that writes down every
// call the controller makes, a song engine that answers event times, and
// lyric and marker events built the way the song file library hands them out.
#include <deque>
#include <string>
#include <vector>

#include <cantomere/Cantomere.h>
#include <testsupport/SmfBuilder.h>

#include <tunewell/ISongEngine.h>

// Meta events FF type len data, kept alive for as long as the object lives.
class MetaEvents {
 public:
  MetaEvents& Lyric(uint32_t tick, const std::string& text) {
    return Add(tick, 0x05, testsupport::Bytes(text.begin(), text.end()));
  }
  MetaEvents& Marker(uint32_t tick, const char (&tag)[5]) {
    return Add(tick, 0x80, testsupport::Bytes(tag, tag + 4));
  }
  // Any bytes at all, for malformed events.
  MetaEvents& Raw(uint32_t tick, testsupport::Bytes bytes) {
    storage_.push_back(std::move(bytes));
    const testsupport::Bytes& b = storage_.back();
    events_.push_back({tick, 4, uint32_t(b.size()), b.empty() ? nullptr : b.data()});
    return *this;
  }
  const SmfEvent* data() const { return events_.data(); }
  int size() const { return int(events_.size()); }

 private:
  MetaEvents& Add(uint32_t tick, uint8_t type, const testsupport::Bytes& payload) {
    return Raw(tick, testsupport::Cat({{0xFF, type}, testsupport::Vlq(uint32_t(payload.size())), payload}));
  }
  std::deque<testsupport::Bytes> storage_;
  std::vector<SmfEvent> events_;
};

// A song at 100 beats per minute (600 ms a quarter) that starts 1000 ms into
// the player's time, so every time is offset + 5 ms per tick.
class FakeSongEngine : public ISongEngine {
 public:
  static constexpr int kOffsetMs = 1000;
  static int TimeOf(int tick) { return kOffsetMs + tick * 5; }

  int GetEventTime(int index) override { return index < 0 ? -1 : TimeOf(index); }

  int Init(HWND) override { return 1; }
  void Release() override {}
  int SetListener(ISongEngineListener*) override { return 1; }
  int CreateScore(HWND) override { return 1; }
  int DestroyScore() override { return 1; }
  int Close() override { return 1; }
  HWND SetScoreWindow(HWND) override { return nullptr; }
  int DrawScore(HDC) override { return 1; }
  int SetScoreRect(const RECT*) override { return 1; }
  int SetTracks(const int*, int) override { return 1; }
  int GetTracks(int*, unsigned*) override { return 1; }
  int Open(const char*) override { return 1; }
  int Play(int) override { return 1; }
  int Stop(int) override { return 1; }
  int Seek(int) override { return 1; }
  int SetDelayTime(int) override { return 1; }
  int SyncTime(int) override { return 1; }
  int GetTagTime(uint32_t) override { return -1; }
  int GetPlayerState(int) override { return 2; }
  int GetBeatsPerBar() override { return 0; }
  int Rewind() override { return 0; }
  int CloseMidiOut(bool) override { return 0; }
  int Reserved() override { return 0; }
  CScoreViewPair* CreateScoreViewPair() override { return nullptr; }
  CScoreFacet* GetScoreFacet() override { return nullptr; }
  CSongInfo* GetSongInfo() override { return nullptr; }
  CTrackMixer* GetTrackMixer() override { return nullptr; }
  ICantomereLyrics* GetLyrics() override { return nullptr; }
};

// Writes each call of the controller as one line, e.g. "Mark 3". On
// LoadFromSong it pulls the token texts as the player's view does, so a load
// from a wrong source shows in the log.
class RecordingLyricView : public ILyricView {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> loadedTexts;
  ICantomereLyrics* source = nullptr;

  void LoadFromSong() override {
    loadedTexts.clear();
    if (source == nullptr) {
      calls.push_back("Load without source");
      return;
    }
    int n = source->GetTokenCount(1);
    for (int i = 0; i < n; ++i) loadedTexts.push_back(source->GetTokenText(1, i));
    calls.push_back("Load " + std::to_string(n));
  }
  void SetLyricSource(ICantomereLyrics* s) override {
    source = s;
    calls.push_back(s != nullptr ? "Source" : "Source null");
  }
  void SeekToToken(int index) override { calls.push_back("Seek " + std::to_string(index)); }
  void MarkToken(unsigned index) override { calls.push_back("Mark " + std::to_string(index)); }
  void UnmarkToken(unsigned index) override { calls.push_back("Unmark " + std::to_string(index)); }
  void SetCountIn(int count) override { calls.push_back("CountIn " + std::to_string(count)); }
  void JumpToToken(int index) override { calls.push_back("Jump " + std::to_string(index)); }

  // The pane's own operations; the controller must not call them.
  void Release() override { Unexpected("Release"); }
  void SetWindow(HWND) override { Unexpected("SetWindow"); }
  void SetListener(ILyricViewListener*) override { Unexpected("SetListener"); }
  void SetRect(const RECT*) override { Unexpected("SetRect"); }
  const RECT* GetRect() override {
    Unexpected("GetRect");
    return nullptr;
  }
  void Draw(HDC) override { Unexpected("Draw"); }
  int HitTest(int, int) override {
    Unexpected("HitTest");
    return -1;
  }
  void SetFont(HFONT) override { Unexpected("SetFont"); }
  HFONT GetFont() override {
    Unexpected("GetFont");
    return nullptr;
  }
  void SetColor(int, COLORREF) override { Unexpected("SetColor"); }
  COLORREF GetColor(int) override {
    Unexpected("GetColor");
    return 0;
  }
  void SetSongInfo(const SongInfoText&) override { Unexpected("SetSongInfo"); }
  SIZE* GetContentSize(SIZE* size) override {
    Unexpected("GetContentSize");
    return size;
  }
  void Scroll(int, int, int) override { Unexpected("Scroll"); }
  void SetAlign(int) override { Unexpected("SetAlign"); }
  int GetLineHeight() override {
    Unexpected("GetLineHeight");
    return 0;
  }
  void SetKaraoke(bool) override { Unexpected("SetKaraoke"); }
  bool IsKaraoke() override {
    Unexpected("IsKaraoke");
    return true;
  }
  void Destroy(unsigned) override { Unexpected("Destroy"); }
  void Layout(bool) override { Unexpected("Layout"); }
  void OnTokenCurrent(int) override { Unexpected("OnTokenCurrent"); }
  void InvalidateTokenLine(int) override { Unexpected("InvalidateTokenLine"); }

  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
  }

 private:
  void Unexpected(const char* name) { calls.push_back(std::string("unexpected ") + name); }
};
