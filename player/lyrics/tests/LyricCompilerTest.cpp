// The compiler on real files: lyric text set onto a generated song through
// Scrivel.dll, the result read back through Scrivel and shown by Cantomere.
#include <gtest/gtest.h>

#include <cantomere/Cantomere.h>
#include <scrivel/Scrivel.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LyricFixtures.h"
#include "lyrics/CLyricTextCompiler.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

namespace {

using testsupport::Bytes;
using testsupport::TrackBuilder;

// Track 0 the tempo, track 1 a melody of `notes` quarter notes from tick 0;
// extra lyric events on track 1 and an "MCtl" track when asked.
Bytes Song(int notes, bool withOldLyrics = false, int tracks = 2) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).EndOfTrack();
  TrackBuilder melody;
  if (withOldLyrics) melody.Text(0, 0x05, "old");
  for (int i = 0; i < notes; ++i) {
    const uint8_t key = static_cast<uint8_t>(60 + i % 12);
    melody.Event(i == 0 ? 0 : 20, {0x90, key, 100}).Event(100, {0x80, key, 0});
  }
  melody.EndOfTrack();
  if (tracks == 1) return testsupport::Cat({testsupport::Header(1, 1, 120), tempo.Chunk()});
  return testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), melody.Chunk()});
}

struct Track {
  uint32_t chunkId = 0;
  std::vector<SmfEvent> meta;
};

// The meta events of every track of a saved song, with the bytes kept alive.
class SavedSong {
 public:
  explicit SavedSong(const std::string& path) {
    parser_ = CreateScrivel2(1);
    loaded_ = parser_ && parser_->Load(path.c_str(), nullptr, 0) == 0;
    if (!loaded_) return;
    for (int t = 0; t < parser_->GetTrackCount(); ++t) {
      Track track;
      track.chunkId = parser_->GetTrackChunkId(t);
      const uint32_t n = parser_->CountEvents(t, 0, 0xFFFFFFFFu, kSmfKindMeta, kSmfAllBits, kSmfAllBits);
      track.meta.resize(n);
      if (n) parser_->GetEvents(t, 0, 0xFFFFFFFFu, track.meta.data(), kSmfKindMeta, kSmfAllBits, kSmfAllBits);
      // The end-of-track event is the writer's, not ours.
      track.meta.erase(std::remove_if(track.meta.begin(), track.meta.end(),
                                      [](const SmfEvent& e) { return e.length >= 2 && e.data[1] == 0x2F; }),
                       track.meta.end());
      tracks.push_back(track);
    }
  }
  ~SavedSong() {
    if (parser_) parser_->Release();
  }
  bool loaded() const { return loaded_; }
  // Lyric texts of a track, "text@tick".
  std::vector<std::string> Lyrics(int t) const {
    std::vector<std::string> out;
    for (const SmfEvent& e : tracks[t].meta) {
      if (e.length < 3 || e.data[1] != 0x05) continue;
      size_t at = 2;
      uint32_t len = 0;
      while (at < e.length && (e.data[at] & 0x80)) len = (len << 7) | (e.data[at++] & 0x7F);
      len = (len << 7) | (e.data[at++] & 0x7F);
      out.push_back(std::string(reinterpret_cast<const char*>(e.data) + at, len) + "@" +
                    std::to_string(e.tick));
    }
    return out;
  }
  std::vector<Track> tracks;

 private:
  ISmfParser2* parser_ = nullptr;
  bool loaded_ = false;
};

class LyricCompilerTest : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes, const char* name = "melody.mid") {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(testsupport::WriteBytes(path, bytes));
    return path;
  }
  int Compile(const std::string& text, const std::string& source, const std::string& output) {
    CLyricTextCompiler compiler;
    EXPECT_TRUE(compiler.IsBound());
    std::vector<LyricSyllable> syllables;
    std::vector<LyricMarker> markers;
    const int rc = compiler.ReadText(text.c_str(), source.c_str(), &syllables, &markers);
    if (rc != 0) return rc;
    return compiler.WriteSong(source.c_str(), output.c_str(), syllables, markers);
  }
  testsupport::TempDir dir_;
};

TEST_F(LyricCompilerTest, CompiledLyricsReadBackThroughTheSongSide) {
  const std::string source = Write(Song(12));
  const std::string out = dir_.File("out.mid");
  const std::string longSyllable(200, 'o');
  const std::string text = "Twin-kle twin-kle,\r\n[Climax Start]lit-tle star^\r\n\r\n(" + longSyllable + ")";
  ASSERT_EQ(Compile(text, source, out), 0);

  SavedSong saved(out);
  ASSERT_TRUE(saved.loaded());
  ASSERT_EQ(saved.tracks.size(), 3u);
  // Of one tick, the "," is stored before its syllable.
  EXPECT_EQ(saved.Lyrics(1),
            (std::vector<std::string>{"Twin-@0", "kle@120", "twin-@240", ",@360", "kle@360", "lit-@480",
                                      "tle@600", ".@720", "star@720", longSyllable + "@840"}));
  EXPECT_EQ(saved.tracks[2].chunkId, kSmfChunkMCtl);
  ASSERT_EQ(saved.tracks[2].meta.size(), 2u);
  EXPECT_EQ(saved.tracks[2].meta[0].tick, 360u) << "CLST where the syllable before it sits, sorted first";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.tracks[2].meta[0].data) + 3, 4), "CLST");
  EXPECT_EQ(saved.tracks[2].meta[1].tick, 820u) << "WDOF at the end of star's note";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.tracks[2].meta[1].data) + 3, 4), "WDOF");

  // The lyric controller shows them as the karaoke view's tokens.
  ICantomereLyrics* lyrics = CreateCantomereInstance(1);
  ICantomereLyricBuffer* buffer = CreateLyricBufferInstance(1);
  ASSERT_TRUE(lyrics && buffer);
  buffer->AddLyrics(1, saved.tracks[1].meta.data(), static_cast<int>(saved.tracks[1].meta.size()));
  buffer->AddMarkers(2, saved.tracks[2].meta.data(), static_cast<int>(saved.tracks[2].meta.size()));
  lyrics->SetLyrics(buffer->GetLyricData());
  std::vector<std::string> tokens;
  for (int i = 0; i < lyrics->GetTokenCount(1); ++i) tokens.push_back(lyrics->GetTokenText(1, i));
  EXPECT_EQ(tokens, (std::vector<std::string>{"Twin-", "kle", "twin-", "kle", ",", "lit-", "tle", "star", ".",
                                              longSyllable}));
  lyrics->Release();
  buffer->Release();
}

TEST_F(LyricCompilerTest, WhatTheSongHeldStaysAndNoMarkersMeansNoControlTrack) {
  const std::string source = Write(Song(4, true));
  const std::string out = dir_.File("out.mid");
  ASSERT_EQ(Compile("la li", source, out), 0);
  SavedSong saved(out);
  ASSERT_TRUE(saved.loaded());
  EXPECT_EQ(saved.tracks.size(), 2u) << "no markers, no MCtl track";
  EXPECT_EQ(saved.Lyrics(1), (std::vector<std::string>{"la@0", "old@0", "li@120"}));
}

TEST_F(LyricCompilerTest, ASongWithoutAMelodyTrackIsSavedAndReported) {
  const std::string source = Write(Song(0, false, 1));
  const std::string out = dir_.File("out.mid");
  EXPECT_EQ(Compile("la [Climax Start] li", source, out), 2);
  SavedSong saved(out);
  ASSERT_TRUE(saved.loaded());
  ASSERT_EQ(saved.tracks.size(), 2u) << "the markers still come";
  EXPECT_EQ(saved.tracks[1].chunkId, kSmfChunkMCtl);
}

TEST_F(LyricCompilerTest, BadSongsAndFilesFail) {
  const std::string out = dir_.File("out.mid");
  const std::string garbage = Write(Bytes{'n', 'o', 't', ' ', 'M', 'I', 'D', 'I'}, "garbage.mid");
  CLyricTextCompiler compiler;
  std::vector<LyricSyllable> syllables;
  std::vector<LyricMarker> markers;
  EXPECT_EQ(compiler.ReadText("la", dir_.File("missing.mid").c_str(), &syllables, &markers),
            kLyricReadFailed);
  EXPECT_EQ(compiler.ReadText("la", garbage.c_str(), &syllables, &markers), kLyricReadFailed);
  EXPECT_EQ(compiler.WriteSong(garbage.c_str(), out.c_str(), syllables, markers), -1);
  EXPECT_EQ(compiler.StripSong(garbage.c_str()), -1);
  EXPECT_EQ(::GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing written";
  EXPECT_EQ(compiler.ReadTextFile(dir_.File("missing.txt").c_str(), garbage.c_str(), &syllables, &markers),
            kLyricReadFailed);
  // A UTF-8 file with its byte-order mark: the mark is no syllable.
  const std::string source = Write(Song(4));
  const std::string text = dir_.File("lyrics.txt");
  ASSERT_TRUE(testsupport::WriteBytes(text, Bytes{0xEF, 0xBB, 0xBF, 'l', 'a', ' ', 'l', 'i'}));
  ASSERT_EQ(compiler.ReadTextFile(text.c_str(), source.c_str(), &syllables, &markers), 0);
  ASSERT_EQ(syllables.size(), 2u);
  EXPECT_EQ(syllables[0].text, L"la");
  EXPECT_EQ(compiler.StripSong(source.c_str()), 0);
}

// The syllables go into the song together, in the song the handler read; the
// file written is byte for byte what putting them in one at a time into a
// song read anew gives.
TEST_F(LyricCompilerTest, TheWrittenSongIsWhatInsertingOneSyllableAtATimeGives) {
  const std::string source = Write(Song(400, true));
  const std::string out = dir_.File("out.mid");
  std::string text;
  for (int line = 0; line < 40; ++line) {
    if (line % 10 == 0) text += "[Climax Start]";
    if (line % 10 == 5) text += "<b" + std::to_string(line * 2 + 1) + ">";
    text += "Twin-kle, twin-kle lit-tle star - how^.";
    text += line % 4 == 3 ? "\r\n\r\n" : "\r\n";
  }
  CLyricTextCompiler compiler;
  std::vector<LyricSyllable> syllables;
  std::vector<LyricMarker> markers;
  ASSERT_EQ(compiler.ReadText(text.c_str(), source.c_str(), &syllables, &markers), 0);
  ASSERT_EQ(compiler.WriteSong(source.c_str(), out.c_str(), syllables, markers), 0);

  // The reference, from the lists as the write left them (skips marked, markers sorted).
  ISmfParser2* song = CreateScrivel2(1);
  ASSERT_NE(song, nullptr);
  ASSERT_EQ(song->Load(source.c_str(), nullptr, 0), 0);
  size_t sameTick = 0;
  for (size_t i = 0; i < syllables.size(); ++i) {
    const LyricSyllable& syllable = syllables[i];
    if (syllable.skip) continue;
    if (i > 0 && syllables[i - 1].tick == syllable.tick) ++sameTick;
    std::string event = "\xFF\x05";
    event += static_cast<char>(syllable.text.size());
    for (wchar_t c : syllable.text) event += static_cast<char>(c);
    ASSERT_EQ(song->InsertEvent(1, kSmfKindMeta, static_cast<uint32_t>(event.size()),
                                reinterpret_cast<const uint8_t*>(event.data()), syllable.tick),
              0);
    // Asking about the track puts the event in place before the next one comes.
    song->CountEvents(1, 0, 0xFFFFFFFFu, kSmfKindMeta, kSmfAllBits, kSmfAllBits);
  }
  const uint16_t control = song->AddTrack(kSmfChunkMCtl);
  for (const LyricMarker& m : markers) {
    uint8_t event[7] = {0xFF, 0x80, 0x04};
    std::copy(m.code, m.code + 4, event + 3);
    song->AddEvent(control, kSmfKindMeta, sizeof event, event, static_cast<uint32_t>(m.tick));
  }
  const std::string reference = dir_.File("reference.mid");
  ASSERT_EQ(song->SaveAs(reference.c_str()), 0);
  song->Release();
  EXPECT_GT(sameTick, 40u) << "syllables sharing a tick, whose order counts";
  EXPECT_GT(markers.size(), 4u);
  EXPECT_TRUE(testsupport::ReadBytes(out) == testsupport::ReadBytes(reference));
}

// The song read for the syllables is written only when it is the file asked
// for, unchanged; otherwise the file is read again.
TEST_F(LyricCompilerTest, WriteSongReadsAgainWhatChangedSinceReadText) {
  struct Case {
    const char* what;
    bool rewrite;    // the source rewritten, holding an old lyric, after ReadText
    bool otherFile;  // WriteSong given another file, holding an old lyric
    bool oldLyric;   // the written song holds it
  };
  const Case cases[] = {
      {"the same file", false, false, false},
      {"the file rewritten", true, false, true},
      {"another file", false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string source = Write(Song(4));
    const std::string other = Write(Song(4, true), "other.mid");
    const std::string out = dir_.File("out.mid");
    CLyricTextCompiler compiler;
    std::vector<LyricSyllable> syllables;
    std::vector<LyricMarker> markers;
    ASSERT_EQ(compiler.ReadText("la li", source.c_str(), &syllables, &markers), 0);
    if (c.rewrite) {
      Write(Song(4, true));
      // Its time moved on for certain, whatever the file system's clock.
      HANDLE file = ::CreateFileA(source.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      FILETIME time;
      ::GetFileTime(file, nullptr, nullptr, &time);
      time.dwHighDateTime += 1;
      ::SetFileTime(file, nullptr, nullptr, &time);
      ::CloseHandle(file);
    }
    ASSERT_EQ(compiler.WriteSong((c.otherFile ? other : source).c_str(), out.c_str(), syllables, markers), 0);
    SavedSong saved(out);
    ASSERT_TRUE(saved.loaded());
    EXPECT_EQ(saved.Lyrics(1), c.oldLyric ? (std::vector<std::string>{"la@0", "old@0", "li@120"})
                                          : (std::vector<std::string>{"la@0", "li@120"}));
  }
}

}  // namespace
