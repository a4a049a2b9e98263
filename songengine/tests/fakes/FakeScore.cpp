// Test double for Score.dll: views and a score buffer that log every call.
#include <windows.h>

#include <map>
#include <string>

#include <score/IScoreBuffer.h>
#include <score/IScoreView.h>

#include "FakeCallLog.h"

namespace {

class FakeOptions final : public IScoreViewOptions {
 public:
  explicit FakeOptions(const char* view) : view_(view) {}
  void Release() override {
    FakeLog("%s.Options.Release", view_);
    delete this;
  }
  void SetLineColor(COLORREF c, int t) override { Set("LineColor", c, t); }
  COLORREF GetLineColor(int t) override { return Get("LineColor"); }
  void SetNoteColor(COLORREF c, int t) override { Set("NoteColor", c, t); }
  COLORREF GetNoteColor(int t) override { return Get("NoteColor"); }
  void SetHighlightNoteColor(COLORREF c, int t) override { Set("HighlightNoteColor", c, t); }
  COLORREF GetHighlightNoteColor(int t) override { return Get("HighlightNoteColor"); }
  void SetClefColor(COLORREF c, int t) override { Set("ClefColor", c, t); }
  COLORREF GetClefColor(int t) override { return Get("ClefColor"); }
  void SetSignatureColor(COLORREF c, int t) override { Set("SignatureColor", c, t); }
  COLORREF GetSignatureColor(int t) override { return Get("SignatureColor"); }
  void SetBarIndexColor(COLORREF c, int t) override { Set("BarIndexColor", c, t); }
  COLORREF GetBarIndexColor(int t) override { return Get("BarIndexColor"); }
  void SetShowBarIndex(bool on, int t) override { Set("ShowBarIndex", on, t); }
  bool GetShowBarIndex(int t) override { return Get("ShowBarIndex"); }
  void SetShowTrackNumber(bool on, int t) override { Set("ShowTrackNumber", on, t); }
  bool GetShowTrackNumber(int t) override { return Get("ShowTrackNumber"); }
  void SetHeavyEndBar(bool on, int t) override { Set("HeavyEndBar", on, t); }
  bool GetHeavyEndBar(int t) override { return Get("HeavyEndBar"); }
  void Destroy(unsigned flags) override {}

 private:
  void Set(const char* what, unsigned value, int track) {
    FakeLog("%s.Options.Set%s(%u,%d)", view_, what, value, track);
  }
  // Each view answers with its own number, so a test sees which one answered.
  unsigned Get(const char* what) { return FakeGet(std::string(view_).append(".options").c_str(), 0); }
  const char* view_;
};

class FakeView final : public IScoreView {
 public:
  explicit FakeView(const char* name) : name_(name) {}
  void Release() override {
    FakeLog("%s.Release", name_);
    delete this;
  }
  IScoreBuffer* SetScoreBuffer(IScoreBuffer* buffer) override {
    FakeLog("%s.SetScoreBuffer(%s)", name_, buffer ? "buffer" : "null");
    return nullptr;
  }
  HWND SetWindow(HWND window) override {
    FakeLog("%s.SetWindow(%s)", name_, window ? "window" : "null");
    HWND old = window_;
    window_ = window;
    return old;
  }
  int SetRect(const RECT* rect) override {
    FakeLog("%s.SetRect(%ld)", name_, rect ? rect->right : -1L);
    return 0;
  }
  int SetFixedMeasureWidth(bool on, int width) override { return 0; }
  int Rebuild() override {
    FakeLog("%s.Rebuild", name_);
    return 0;
  }
  void SetSizeLevel(int level) override { FakeLog("%s.SetSizeLevel(%d)", name_, level); }
  int SetTrackStaffKind(int kind, int track) override {
    FakeLog("%s.SetTrackStaffKind(%d,%d)", name_, kind, track);
    kinds_[track] = kind;
    return 0;
  }
  void ShowTrack(int track, bool visible) override {}
  void SetLineWidth(int width) override {}
  int GetTrackStaffKind(int* out, int track) override {
    if (!kinds_.count(track)) return 1;
    *out = kinds_[track];
    return 0;
  }
  int ChooseClef(uint16_t lowest, uint16_t highest) override {
    FakeLog("%s.ChooseClef(%u,%u)", name_, lowest, highest);
    return FakeGet("score.clef", 0);
  }
  int Paint(HDC dc) override {
    FakeLog("%s.Paint", name_);
    return 0;
  }
  int NoteEvent(uint32_t message, int tick, int track) override {
    FakeLog("%s.NoteEvent(%06X,%d,%d)", name_, message, tick, track);
    return 0;
  }
  int MarkLyric(int tick, int track) override {
    FakeLog("%s.MarkLyric(%d,%d)", name_, tick, track);
    return 0;
  }
  int UnmarkLyrics(int tick, int track) override {
    FakeLog("%s.UnmarkLyrics(%d,%d)", name_, tick, track);
    return 0;
  }
  int StepCursor(int step) override {
    FakeLog("%s.StepCursor(%d)", name_, step);
    return 0;
  }
  void Rewind() override { FakeLog("%s.Rewind", name_); }
  void OnMidiMessage(uint32_t message, int a, int b) override {}
  void ClearNoteTracker() override {}
  IScoreViewOptions* GetOptions(int version) override {
    return version == 1 ? new FakeOptions(name_) : nullptr;
  }
  void Reserved(int) override {}
  int ScrollTo(int measure, int mode) override {
    FakeLog("%s.ScrollTo(%d,%d)", name_, measure, mode);
    return 0;
  }
  int Layout(const RECT* rect) override { return 0; }
  int GetPageMeasureCount(char* out) override { return 0; }
  int TickFromPoint(int x, int y) override { return x + y; }
  int GetMeasureCount(int track) override { return 0; }
  int SeekTick(int tick) override {
    FakeLog("%s.SeekTick(%d)", name_, tick);
    return 0;
  }
  int GetLastMeasure() override { return 0; }
  int PrevPage() override { return 0; }
  void Destroy(unsigned flags) override {}

 private:
  const char* name_;
  HWND window_ = nullptr;
  std::map<int, int> kinds_;
};

class FakeBuffer final : public IScoreBuffer {
 public:
  void Release() override {
    FakeLog("ScoreBuffer.Release");
    delete this;
  }
  int Clear() override {
    FakeLog("ScoreBuffer.Clear");
    return 0;
  }
  int SetTimeSignatures(const ScoreTimeSig* sigs, int count) override {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += " " + std::to_string(sigs[i].startTick) + "/" + std::to_string(sigs[i].beatsPerBar) + "/" +
              std::to_string(sigs[i].ticksPerBeat);
    FakeLog("ScoreBuffer.SetTimeSignatures(%d)%s", count, text.c_str());
    return 0;
  }
  int SetKeySignatures(const ScoreKeySig* sigs, int count) override {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += " " + std::to_string(sigs[i].tick) + "/" + std::to_string(sigs[i].key);
    FakeLog("ScoreBuffer.SetKeySignatures(%d)%s", count, text.c_str());
    return 0;
  }
  int SetTexts(const ScoreText* texts, int count, int track) override { return 0; }
  int SetLyrics(int track, const ScoreLyric* lyrics, int count) override {
    std::string text;
    for (int i = 0; i < count; ++i) text += " " + std::to_string(lyrics[i].tick) + ":" + lyrics[i].text;
    FakeLog("ScoreBuffer.SetLyrics(%d,%d)%s", track, count, text.c_str());
    return 0;
  }
  int AddTrackNotes(int track, ScoreNoteEvent* events, unsigned count, int barCount, int staffKind) override {
    FakeLog("ScoreBuffer.AddTrackNotes(%d,%u,%d,%d) first %d:%02X%02X%02X", track, count, barCount, staffKind,
            count ? events[0].tick : -1, count ? events[0].status : 0, count ? events[0].note : 0,
            count ? events[0].velocity : 0);
    return 0;
  }
  ScoreData* GetData() override { return &data_; }
  void Destroy(unsigned flags) override {}

 private:
  ScoreData data_;
};

}  // namespace

extern "C" {
__declspec(dllexport) IScoreView* CreateStaffInstance(HWND window, int version) {
  FakeLog("CreateStaffInstance(%d)", version);
  return version == 2 ? new FakeView("Staff") : nullptr;
}
__declspec(dllexport) IScoreView* CreateJianPuInstance(HWND window, int version) {
  FakeLog("CreateJianPuInstance(%d)", version);
  return version == 2 ? new FakeView("JianPu") : nullptr;
}
__declspec(dllexport) IScoreBuffer* CreateScoreBufferInstance(int version) {
  FakeLog("CreateScoreBufferInstance(%d)", version);
  return version == 2 ? new FakeBuffer : nullptr;
}
}
