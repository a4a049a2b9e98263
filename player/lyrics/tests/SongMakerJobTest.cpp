// The song maker's Make without its window: the song-information file, the
// checks, the pack program's command line and run (a fake pack program),
// and the playback suspended around it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyrics/CSongMakerJob.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "ui/CProfileHelper.h"
#include "ui/IPlayerHost.h"

namespace {

using testsupport::Bytes;

struct FakeHost : IPlayerHost {
  std::vector<std::string> calls;
  HWND GetHostWindow() override { return nullptr; }
  bool SuspendPlayback(PlaybackState* state) override {
    calls.push_back("Suspend");
    state->path = "playing.mp3";
    state->seconds = 42;
    state->wasPlaying = true;
    return true;
  }
  bool ResumePlayback(const PlaybackState& state) override {
    calls.push_back("Resume " + state.path + " " + std::to_string(state.seconds));
    return true;
  }
};

std::string ReadAll(const std::string& path) {
  const Bytes b = testsupport::ReadBytes(path);
  return std::string(b.begin(), b.end());
}

Bytes Melody() {
  testsupport::TrackBuilder tempo, melody;
  tempo.Tempo(0, 500000).EndOfTrack();
  for (int i = 0; i < 4; ++i) melody.Event(i ? 20 : 0, {0x90, 60, 100}).Event(100, {0x80, 60, 0});
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), melody.Chunk()});
}

class SongMakerJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    GetAppFolder(folder, sizeof(folder));
    fakePack_ = std::string(folder) + "\\fake_pack.exe";
    log_ = std::string(folder) + "\\fake_pack.log";
    ::DeleteFileA(log_.c_str());
    ::SetEnvironmentVariableA("FAKE_PACK_EXIT", nullptr);
    job_.templatePath = dir_.File("Template.ini");
    job_.packProgram = fakePack_;
    ASSERT_TRUE(::CreateDirectoryA(dir_.File("out").c_str(), nullptr));
  }
  void TearDown() override { ::SetEnvironmentVariableA("FAKE_PACK_EXIT", nullptr); }
  // An audio file, a melody and an output folder, ready to Make.
  void Ready() {
    ASSERT_TRUE(testsupport::WriteBytes(dir_.File("song.mp3"), Bytes{1, 2, 3}));
    ASSERT_TRUE(testsupport::WriteBytes(dir_.File("melody.mid"), Melody()));
    job_.SelectAudio(dir_.File("song.mp3"));
    job_.sourceMidiPath = dir_.File("melody.mid");
    job_.outputFolder = dir_.File("out");
  }

  testsupport::TempDir dir_;
  CSongMakerJob job_;
  FakeHost host_;
  std::string fakePack_, log_;
};

TEST_F(SongMakerJobTest, TheSongInformationFileComesFromTheTemplate) {
  const std::string templ =
      "[SETTING]\nOffSetTime=250\nSongTitle=  \nSinger=Someone\nLyricer=L\nComposier=C\n";
  ASSERT_TRUE(testsupport::WriteBytes(job_.templatePath, Bytes(templ.begin(), templ.end())));
  job_.SelectAudio(dir_.File("my_song.mp3"));
  EXPECT_EQ(job_.songInfoPath, dir_.File("my_song.ini"));
  EXPECT_EQ(job_.outputMidiPath, dir_.File("my_song.mid"));
  EXPECT_EQ(ReadAll(job_.songInfoPath), templ) << "copied as it is";
  EXPECT_EQ(job_.delayMs, 250);
  EXPECT_EQ(job_.title, "my_song") << "an empty title is the file's name";
  EXPECT_EQ(job_.singer, "Someone");
  EXPECT_EQ(job_.composer, "C");
  EXPECT_EQ(job_.lyricist, "L");
  job_.album = "Album";
  EXPECT_EQ(job_.SongInfoText(),
            "[SETTING]\nOffSetTime = 250\nSongTitle = my_song\nSinger = Someone\nLyricer = L\nComposier = C\n"
            "AlbumTitle = Album");
  // An existing file is never overwritten, and garbage reads as defaults.
  const std::string mine = "[SETTING]\nOffSetTime=zz\n";
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("other.ini"), Bytes(mine.begin(), mine.end())));
  job_.SelectAudio(dir_.File("other.mp3"));
  EXPECT_EQ(ReadAll(dir_.File("other.ini")), mine);
  EXPECT_EQ(job_.delayMs, 0);
  // Without a template there is no file, and the fields are empty.
  ::DeleteFileA(job_.templatePath.c_str());
  job_.SelectAudio(dir_.File("third.mp3"));
  EXPECT_EQ(::GetFileAttributesA(dir_.File("third.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(job_.title, "third");
  EXPECT_EQ(job_.singer, "");
}

TEST_F(SongMakerJobTest, MakeRefusesBeforeWritingAnything) {
  Ready();
  struct Row {
    std::string audio, folder, source, startsWith;
  } rows[] = {
      {"", job_.outputFolder, job_.sourceMidiPath, "You should select an audio file first!"},
      {"C:\\my songs\\a.mp3", job_.outputFolder, job_.sourceMidiPath, "The full path for the audio file"},
      {job_.audioPath, "", job_.sourceMidiPath, "You should select an output file path first!"},
      {job_.audioPath, "C:\\out put", job_.sourceMidiPath, "The Output path should not have white space"},
      // The melody saved as song.mid beside song.mp3, named another way.
      {job_.audioPath, job_.outputFolder, dir_.File(".\\song.mid"),
       "The melody MIDI file would be overwritten"},
  };
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("song.mid"), Melody()));
  for (const Row& row : rows) {
    CSongMakerJob job = job_;
    job.audioPath = row.audio;
    job.outputFolder = row.folder;
    job.sourceMidiPath = row.source;
    std::string status, message;
    EXPECT_FALSE(job.Make("la", &host_, &status, &message));
    EXPECT_EQ(message.rfind(row.startsWith, 0), 0u) << message;
  }
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(::GetFileAttributesA(log_.c_str()), INVALID_FILE_ATTRIBUTES) << "the pack program never ran";
}

TEST_F(SongMakerJobTest, ThePackCommandIsQuotedAndBounded) {
  std::string command;
  ASSERT_TRUE(CSongMakerJob::BuildPackCommand("C:\\windows\\system32\\cmd.exe", "C:\\app\\pack\\pack.exe",
                                              "C:\\a&b\\song.mp3", "C:\\out", &command));
  EXPECT_EQ(command,
            "C:\\windows\\system32\\cmd.exe /c \"\"C:\\app\\pack\\pack.exe\" \"C:\\a&b\\song.mp3\" "
            "\"C:\\out\"\"");
  ASSERT_TRUE(CSongMakerJob::BuildPackCommand("", "p", "a", "b", &command));
  EXPECT_EQ(command.rfind("CMD.EXE /c ", 0), 0u);
  EXPECT_FALSE(CSongMakerJob::BuildPackCommand("cmd", std::string(5000, 'x'), "a", "b", &command));
}

TEST_F(SongMakerJobTest, MakeCompilesWritesRunsThePackerAndResumes) {
  Ready();
  std::string status, message;
  ASSERT_TRUE(job_.Make("Twin-kle twin-kle", &host_, &status, &message)) << status << " " << message;
  EXPECT_EQ(status, "Succeed!");
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"Suspend", "Resume playing.mp3 42"}));
  EXPECT_EQ(ReadAll(log_), job_.audioPath + "\n" + job_.outputFolder + "\n") << "each argument whole";
  EXPECT_NE(::GetFileAttributesA((job_.outputFolder + "\\song.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(::GetFileAttributesA(job_.outputMidiPath.c_str()), INVALID_FILE_ATTRIBUTES);
  // The song information as written.
  char delay[16] = {};
  ::GetPrivateProfileStringA("SETTING", "OffSetTime", "", delay, sizeof(delay), job_.songInfoPath.c_str());
  EXPECT_STREQ(delay, "0");
  char title[64] = {};
  ::GetPrivateProfileStringA("SETTING", "SongTitle", "", title, sizeof(title), job_.songInfoPath.c_str());
  EXPECT_STREQ(title, "song");
}

// The song information is replaced as a whole, never rewritten in place: a
// reader that holds the old file keeps reading all of it, and the file is
// the old one or the new one as the result says (Windows moves a file over
// one held open with delete sharing; Wine refuses to).
TEST_F(SongMakerJobTest, TheSongInformationIsReplacedWhole) {
  Ready();
  const std::string old = "[SETTING]\nOffSetTime = 7\nSongTitle = the old title, long enough to tell\n";
  ASSERT_TRUE(testsupport::WriteBytes(job_.songInfoPath, Bytes(old.begin(), old.end())));
  HANDLE held = ::CreateFileA(job_.songInfoPath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string status, message;
  const bool made = job_.Make("la", &host_, &status, &message);
  char bytes[256] = {};
  DWORD got = 0;
  EXPECT_TRUE(::ReadFile(held, bytes, sizeof(bytes), &got, nullptr));
  ::CloseHandle(held);
  EXPECT_EQ(std::string(bytes, got), old);
  char title[64] = {};
  ::GetPrivateProfileStringA("SETTING", "SongTitle", "", title, sizeof(title), job_.songInfoPath.c_str());
  if (made) {
    EXPECT_STREQ(title, "song");
  } else {
    EXPECT_EQ(status, "Failed to save INI file!");
    EXPECT_STREQ(title, "the old title, long enough to tell");
  }
  // Once nobody holds it, it is saved.
  EXPECT_TRUE(job_.Make("la", &host_, &status, &message)) << status;
  ::GetPrivateProfileStringA("SETTING", "SongTitle", "", title, sizeof(title), job_.songInfoPath.c_str());
  EXPECT_STREQ(title, "song");
}

TEST_F(SongMakerJobTest, FailuresAreReportedAndPlaybackStillResumes) {
  Ready();
  std::string status, message;
  ::SetEnvironmentVariableA("FAKE_PACK_EXIT", "3");
  EXPECT_FALSE(job_.Make("la", &host_, &status, &message));
  EXPECT_EQ(status, "Failed to pack the song! (exit code 3)");
  EXPECT_EQ(host_.calls.size(), 2u) << "resumed after a failed pack";
  ::SetEnvironmentVariableA("FAKE_PACK_EXIT", nullptr);

  host_.calls.clear();
  job_.packProgram = dir_.File("missing_pack.exe");
  EXPECT_FALSE(job_.Make("la", &host_, &status, &message));
  EXPECT_EQ(status.rfind("Failed to pack the song!", 0), 0u) << status;
  EXPECT_EQ(host_.calls.size(), 2u);

  // A compile that fails stops before the pack program and playback.
  host_.calls.clear();
  job_.packProgram = fakePack_;
  EXPECT_FALSE(job_.Make("a (never closed", &host_, &status, &message));
  EXPECT_EQ(status, "Failed to save lyrics file!");
  EXPECT_TRUE(host_.calls.empty());
  // Without the main window Make stops after starting.
  EXPECT_FALSE(job_.Make("la", nullptr, &status, &message));
  EXPECT_EQ(status, "Start...");
}

TEST(SongMakerEndMarksTest, EveryNonEmptyLineEndsInTheMark) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"la li\r\nlo\r\n", "la li^\r\nlo^\r\n"},
      {"la\r\n  \r\nlo", "la^\r\n  \r\nlo^"},  // a last line without LF is marked too
      {"", ""},
      {"x\n", "x^\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(CSongMakerJob::AddEndMarks(row.in), row.out) << row.in;
}

}  // namespace
