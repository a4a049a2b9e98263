#include <lyrics/CLrcLyricSource.h>

#include <base/Library.h>

#include <linewick/Linewick.h>
#include <playback/CAudioFilePlayer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The stream under the wrapped audio-file player: records what reaches it.
class CRecordingStream final : public IWMAudioPlayer {
 public:
  static CRecordingStream* last;
  std::vector<std::string> calls;
  std::vector<IMediaListener*> listeners;

  CRecordingStream() { last = this; }
  void Release() override {
    if (last == this) last = nullptr;
    delete this;
  }
  void AddListener(IMediaListener* l) override { listeners.push_back(l); }
  void RemoveListener(IMediaListener* l) override {
    auto it = std::find(listeners.begin(), listeners.end(), l);
    if (it != listeners.end()) listeners.erase(it);
  }
  int Init() override { return 0; }
  int Shutdown() override { return 0; }
  int Open(const char* path) override {
    Note("Open");
    return std::string(path) == "bad.mp3" ? 1 : 0;
  }
  int Close() override { return Note("Close"); }
  int Seek(int) override { return Note("Seek"); }
  int Stop() override { return Note("Stop"); }
  int Pause() override { return Note("Pause"); }
  int Resume() override { return Note("Resume"); }
  int GetDuration() override { return 0; }
  int IsSeekable() override { return 1; }
  int GetTitle(char**) override { return 0; }
  int GetAuthor(char**) override { return 0; }
  int GetComposer(char**) override { return 0; }
  int GetLyrics(char**) override { return 0; }
  int GetAlbumTitle(char**) override { return 0; }
  int GetAlbumArtist(char**) override { return 0; }
  void SetVolume(double) override {}
  int GetPosition() override { return 0; }
  int Count(const char* name) const { return static_cast<int>(std::count(calls.begin(), calls.end(), name)); }

 private:
  int Note(const char* name) {
    calls.push_back(name);
    return 0;
  }
};
CRecordingStream* CRecordingStream::last = nullptr;

IWMAudioPlayer* MakeRecordingStream() { return new CRecordingStream(); }

struct Fixture {
  CAudioFilePlayer* inner = nullptr;
  Fixture() {
    CAudioFilePlayer::SetStreamFactory(&MakeRecordingStream);
    inner = CAudioFilePlayer::Create();
    CLrcLyricSource::SetLibraryName("FakeLinewick.dll");
  }
  ~Fixture() {
    if (inner) inner->Release();
    CAudioFilePlayer::SetStreamFactory(nullptr);
    CLrcLyricSource::SetLibraryName(nullptr);
  }
  CRecordingStream& Stream() { return *CRecordingStream::last; }
};

void FakeCounts(LONG* made, LONG* released) {
  auto counts =
      base::FindExport<void (*)(LONG*, LONG*)>(::GetModuleHandleA("FakeLinewick.dll"), "FakeLinewickCounts");
  *made = *released = -1;
  if (counts) counts(made, released);
}

TEST(LrcLyricSource, BindsTheLibraryOnceAndDestroysItsParserThroughTheThirdOperation) {
  Fixture f;
  ASSERT_NE(nullptr, f.inner);
  IMediaPlayer* source = CreateLrcLyricSource();
  ASSERT_NE(nullptr, source);
  SetInnerPlayer(source, f.inner);
  EXPECT_EQ(0, source->Open("song.mp3"));
  EXPECT_EQ(1, f.Stream().Count("Open"));
  // Its own listener part is registered on the wrapped player's stream, once.
  IMediaListener* self = static_cast<CLrcLyricSource*>(source);
  EXPECT_EQ(1, std::count(f.Stream().listeners.begin(), f.Stream().listeners.end(), self));
  EXPECT_EQ(1, source->Open("bad.mp3"));  // the wrapped player's result
  EXPECT_EQ(1, std::count(f.Stream().listeners.begin(), f.Stream().listeners.end(), self));
  LONG made = 0, released = 0;
  FakeCounts(&made, &released);
  ASSERT_EQ(1, made);  // bound on the first Open only
  EXPECT_EQ(0, released);
  source->Release();
  // The library is freed with the source; its counters were read before that.
  EXPECT_EQ(nullptr, ::GetModuleHandleA("FakeLinewick.dll"));
  EXPECT_EQ(0, std::count(f.Stream().listeners.begin(), f.Stream().listeners.end(), self));
}

TEST(LrcLyricSource, ReleasedParserIsCounted) {
  Fixture f;
  // Keep the fake loaded past the source, to read how its parser ended.
  base::Library keep("FakeLinewick.dll");
  ASSERT_NE(nullptr, keep.Get());
  LONG made0 = 0, released0 = 0;
  FakeCounts(&made0, &released0);
  IMediaPlayer* source = CreateLrcLyricSource();
  SetInnerPlayer(source, f.inner);
  source->Open("song.mp3");
  source->Release();
  LONG made = 0, released = 0;
  FakeCounts(&made, &released);
  EXPECT_EQ(made0 + 1, made);
  EXPECT_EQ(released0 + 1, released);
}

TEST(LrcLyricSource, OpensWithoutTheLibrary) {
  Fixture f;
  CLrcLyricSource::SetLibraryName("NoSuchLinewick.dll");
  CLrcLyricSource* source = static_cast<CLrcLyricSource*>(CreateLrcLyricSource());
  source->SetInnerPlayer(f.inner);
  EXPECT_EQ(0, source->Open("song.mp3"));
  EXPECT_EQ(nullptr, source->Parser());
  EXPECT_EQ(1, f.Stream().Count("Open"));
  source->Release();
}

TEST(LrcLyricSource, TimerAndForwarding) {
  Fixture f;
  CLrcLyricSource* source = static_cast<CLrcLyricSource*>(CreateLrcLyricSource());
  source->SetInnerPlayer(f.inner);
  source->Open("song.mp3");
  // Pause and Stop without a running timer do not reach the wrapped player.
  EXPECT_EQ(0, source->Pause());
  EXPECT_EQ(0, source->Stop());
  EXPECT_EQ(0, f.Stream().Count("Pause"));
  EXPECT_EQ(0, f.Stream().Count("Stop"));
  // Play twice: one timer runs, the second.
  EXPECT_EQ(0, source->Play());
  UINT_PTR first = source->TimerId();
  EXPECT_NE(0u, first);
  EXPECT_EQ(0, source->Play());
  EXPECT_NE(0u, source->TimerId());
  // The first timer is gone (unless the system gave the second the same id).
  if (first != source->TimerId()) {
    EXPECT_FALSE(::KillTimer(nullptr, first));
  }
  EXPECT_EQ(0, source->Pause());
  EXPECT_EQ(1, f.Stream().Count("Pause"));
  EXPECT_EQ(0u, source->TimerId());
  source->Play();
  EXPECT_EQ(0, source->Close());
  EXPECT_EQ(1, f.Stream().Count("Stop"));
  EXPECT_EQ(1, f.Stream().Count("Close"));
  EXPECT_EQ(0u, source->TimerId());
  source->Release();
}

TEST(LrcLyricSource, SongInformationStoresNothingAndNoInnerPlayerFailsOpen) {
  CLrcLyricSource* source = static_cast<CLrcLyricSource*>(CreateLrcLyricSource());
  char* text = nullptr;
  int (IMediaPlayer::*getters[])(char**) = {&IMediaPlayer::GetTitle,      &IMediaPlayer::GetAuthor,
                                            &IMediaPlayer::GetComposer,   &IMediaPlayer::GetLyrics,
                                            &IMediaPlayer::GetAlbumTitle, &IMediaPlayer::GetAlbumArtist};
  for (auto getter : getters) {
    EXPECT_EQ(0, (static_cast<IMediaPlayer*>(source)->*getter)(&text));
    EXPECT_EQ(nullptr, text);
  }
  EXPECT_EQ(1, source->IsSeekable());
  EXPECT_EQ(0, source->Seek(500));
  EXPECT_EQ(0, source->GetPosition());
  EXPECT_EQ(1, source->Open("song.mp3"));
  EXPECT_EQ(0, source->Play());
  EXPECT_EQ(0u, source->TimerId());
  EXPECT_EQ(0, source->Close());
  source->Release();
}

}  // namespace
