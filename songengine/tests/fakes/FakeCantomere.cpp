// Test double for Cantomere.dll: logs every call. Built twice: once whole,
// once (FAKE_CANTOMERE_NO_BUFFER) without the lyric-buffer factory.
#include <windows.h>

#include <algorithm>
#include <string>

#include <cantomere/Cantomere.h>

#include "FakeCallLog.h"

struct CantomereLyricData {
  int lyricCount;
};

namespace {

class FakeLyrics final : public ICantomereLyrics {
 public:
  void Release() override {
    FakeLog("Cantomere.Release");
    delete this;
  }
  int Close() override {
    FakeLog("Cantomere.Close");
    return FakeGet("cantomere.closeResult", 0);
  }
  void SetLyrics(const CantomereLyricData* data) override {
    FakeLog("Cantomere.SetLyrics(%d)", data ? data->lyricCount : -1);
  }
  void SetEngine(ISongEngine* engine) override {
    FakeLog("Cantomere.SetEngine(%s)", engine ? "engine" : "null");
  }
  void SeekTick(int tick) override { FakeLog("Cantomere.SeekTick(%d)", tick); }
  void MarkLyric(int tick, int track) override { FakeLog("Cantomere.MarkLyric(%d,%d)", tick, track); }
  int OnTagEvent(uint32_t tag, int tick, int track) override {
    FakeLog("Cantomere.OnTagEvent(%.4s,%d,%d)", reinterpret_cast<const char*>(&tag), tick, track);
    return 0;
  }
  void AttachView(int kind, ILyricView* view) override { FakeLog("Cantomere.AttachView"); }
  void DetachView(int kind, ILyricView* view) override { FakeLog("Cantomere.DetachView"); }
  int GetTokenCount(int kind) override { return 0; }
  std::string GetTokenText(int kind, int index) override { return std::string(); }
  int IsLineBreak(const std::string& text) override { return text == ","; }
  int IsParagraphBreak(const std::string& text) override { return text == "."; }
  int QueryToken(int kind, int index) override { return -1; }
  int GetTokenStart(int kind, int index) override { return 0; }
  int GetTokenDuration(int kind, int index) override { return 0; }
  int Rewind(int kind) override {
    FakeLog("Cantomere.Rewind(%d)", kind);
    return 0;
  }
  void OnCountIn(int kind, int steps) override { FakeLog("Cantomere.OnCountIn(%d,%d)", kind, steps); }
};

class FakeLyricBuffer final : public ICantomereLyricBuffer {
 public:
  void Release() override {
    FakeLog("LyricBuffer.Release");
    delete this;
  }
  void Clear() override {
    FakeLog("LyricBuffer.Clear");
    data.lyricCount = 0;
    firstTick = -1;
  }
  void AddMarkers(int track, const SmfEvent* events, int count) override {
    FakeLog("LyricBuffer.AddMarkers(%d,%d)", track, count);
  }
  void AddLyrics(int track, const SmfEvent* events, int count) override {
    FakeLog("LyricBuffer.AddLyrics(%d,%d)", track, count);
    data.lyricCount += count;
    for (int i = 0; i < count; ++i) {
      const int tick = static_cast<int>(events[i].tick);
      if (firstTick < 0 || tick < firstTick) firstTick = tick;
    }
  }
  int GetFirstLyric(int kind) override { return kind == 1 ? firstTick : -1; }
  const CantomereLyricData* GetLyricData() override { return &data; }

  CantomereLyricData data{0};
  int firstTick = -1;
};

}  // namespace

extern "C" {
__declspec(dllexport) ICantomereLyrics* CreateCantomereInstance(int version) {
  FakeLog("CreateCantomereInstance(%d)", version);
  return version == 1 ? new FakeLyrics : nullptr;
}

#ifndef FAKE_CANTOMERE_NO_BUFFER
__declspec(dllexport) ICantomereLyricBuffer* CreateLyricBufferInstance(int version) {
  FakeLog("CreateLyricBufferInstance(%d)", version);
  return version == 1 ? new FakeLyricBuffer : nullptr;
}
#endif
}
