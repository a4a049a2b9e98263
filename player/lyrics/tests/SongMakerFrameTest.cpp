// The song maker's frame and dialog under Xvfb, with a recording owner, a
// fake host, fake file prompts and the fake pack program.
#include <windows.h>

#include <gtest/gtest.h>
#include <richedit.h>

#include <deque>
#include <memory>
#include <string>

#include "FrameFixture.h"
#include "RecordingWnd.h"
#include "lyrics/CSongMakerFrame.h"
#include "testsupport/MessagePump.h"
#include "ui/PlayerMessages.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinFrame.h"
#include "ui/IPlayerHost.h"
#include "ui/PngSnapshot.h"
#include "ui/SkinImageIds.h"

namespace {

using testsupport::Bytes;

struct FakePrompts : ISongMakerPrompts {
  std::deque<std::string> files;  // answered in turn; empty: cancelled
  std::string folder;
  std::vector<std::string> messages;
  std::vector<std::string> offered;  // what each save dialog offered
  Result ChooseOpenFile(HWND, const char*, std::string* path) override { return Next(path); }
  Result ChooseSaveFile(HWND, const char*, const std::string& name, std::string* path) override {
    offered.push_back(name);
    return Next(path);
  }
  bool ChooseFolder(HWND, std::string* out) override {
    *out = folder;
    return !folder.empty();
  }
  void ShowMessage(HWND, const std::string& text) override { messages.push_back(text); }
  static constexpr const char* kTooLongAnswer = "<too long>";
  Result Next(std::string* path) {
    if (files.empty()) return kCancelled;
    *path = files.front();
    files.pop_front();
    return *path == kTooLongAnswer ? kTooLong : kChosen;
  }
};

struct FakeHost : IPlayerHost {
  std::vector<std::string> calls;
  HWND GetHostWindow() override { return nullptr; }
  bool SuspendPlayback(PlaybackState*) override {
    calls.push_back("Suspend");
    return true;
  }
  bool ResumePlayback(const PlaybackState&) override {
    calls.push_back("Resume");
    return true;
  }
  bool AddToPlayList(const char* path, int) override {
    calls.push_back(std::string("Add ") + path);
    return true;
  }
  void PlayLastEntry() override { calls.push_back("PlayLast"); }
};

void Pump(DWORD ms = 50) { testsupport::PumpFor(ms); }

Bytes Melody() {
  testsupport::TrackBuilder tempo, melody;
  tempo.Tempo(0, 500000).EndOfTrack();
  for (int i = 0; i < 8; ++i) melody.Event(i ? 20 : 0, {0x90, 60, 100}).Event(100, {0x80, 60, 0});
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), melody.Chunk()});
}

class SongMakerFrameTest : public FrameFixture<CSongMakerFrame> {
 protected:
  void SetUp() override { MakeFrame(nullptr); }
  void MakeFrame(IPlayerHost* host) {
    frame_.reset();
    frame_ = std::make_unique<CSongMakerFrame>(owner_.m_hWnd, host);
    ASSERT_TRUE(frame_->IsCreated());
    dialog_ = &frame_->GetDialog();
    ASSERT_NE(dialog_->GetSafeHwnd(), nullptr);
    dialog_->SetPrompts(&prompts_);
    Pump();
  }
  HWND Item(int id) { return ::GetDlgItem(dialog_->GetSafeHwnd(), id); }
  void Command(int id) { ::SendMessageA(dialog_->GetSafeHwnd(), WM_COMMAND, id, 0); }
  COLORREF ColourAt(long from, long to) {
    dialog_->GetEditor().SetSel(from, to);
    CHARFORMATA cf = {};
    cf.cbSize = sizeof(cf);
    ::SendMessageA(dialog_->GetEditor().GetSafeHwnd(), EM_GETCHARFORMAT, SCF_SELECTION,
                   reinterpret_cast<LPARAM>(&cf));
    return cf.crTextColor;
  }

  RecordingWnd owner_;
  FakePrompts prompts_;
  FakeHost host_;
  testsupport::TempDir dir_;
  CSongMakerDlg* dialog_ = nullptr;
};

TEST_F(SongMakerFrameTest, EveryCloseAsksTheOwnerToHideAndEnterKeepsTheDialog) {
  frame_->ShowFrame(true);
  EXPECT_TRUE(::IsWindowVisible(frame_->m_hWnd));
  ::SendMessageA(frame_->m_hWnd, WM_SKIN_CLOSE, 0, 0);
  ::SendMessageA(frame_->m_hWnd, WM_CLOSE, 0, 0);
  Command(kIdcCancelButton);
  ::SendMessageA(dialog_->GetSafeHwnd(), WM_CLOSE, 0, 0);
  Command(IDOK);
  const auto hides = owner_.Of(WM_SKIN_HIDE_CHILD);
  ASSERT_EQ(hides.size(), 4u);
  for (const RecordedMessage& m : hides) EXPECT_EQ(m.wParam, kSongMakerFrameId);
  EXPECT_TRUE(::IsWindowVisible(dialog_->GetSafeHwnd())) << "Enter does not end the dialog";
  EXPECT_FALSE(frame_->IsTopMost()) << "always starts in the normal mode";
  frame_->ShowFrame(false);
  EXPECT_FALSE(::IsWindowVisible(frame_->m_hWnd));
}

TEST_F(SongMakerFrameTest, EditorCommandsAndColours) {
  dialog_->SetEditorText("la li\r\nlo");
  dialog_->GetEditor().SetSel(0, -1);
  Command(kCmdEndMarks);
  EXPECT_EQ(dialog_->GetEditorText(), "la li^\r\nlo^");
  dialog_->SetEditorText("a,b.");
  Command(kCmdNormalize);
  EXPECT_EQ(dialog_->GetEditorText(), "a\r\nb");
  dialog_->GetEditor().SetSel(0, 0);
  Command(kCmdClimaxStart);
  EXPECT_EQ(dialog_->GetEditorText(), "<b>[Climax Start]a\r\nb");
  EXPECT_EQ(ColourAt(0, 17), static_cast<COLORREF>(0xFF0000)) << "the climax words are blue";
  EXPECT_EQ(ColourAt(17, 18), 0u) << "the rest is black";
}

TEST_F(SongMakerFrameTest, MakeFromTheDialogPacksAndLoadsTheSong) {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("song.mp3"), Bytes{1}));
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("melody.mid"), Melody()));
  const std::string lyrics = "Twin-kle\ntwin-kle\n";
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("lyrics.txt"), Bytes(lyrics.begin(), lyrics.end())));
  ASSERT_TRUE(::CreateDirectoryA(dir_.File("out").c_str(), nullptr));
  const auto chooseSources = [&] {
    dialog_->GetJob().packProgram = std::string(folder) + "\\fake_pack.exe";
    prompts_.files = {dir_.File("song.mp3"), dir_.File("melody.mid"), dir_.File("lyrics.txt")};
    prompts_.folder = dir_.File("out");
    Command(kIdcSelectAudio);
    Command(kIdcSelectFolder);
    Command(kIdcOpenSources);
  };
  chooseSources();
  EXPECT_EQ(dialog_->GetEditorText(), "Twin-kle\r\ntwin-kle\r\n") << "loaded with CR LF line ends";
  char title[64] = {};
  ::GetWindowTextA(Item(kIdcTitle), title, sizeof(title));
  EXPECT_STREQ(title, "song");

  Command(kIdcMake);
  EXPECT_EQ(dialog_->GetStatus(), "Start...") << "no main window: Make stops";
  // The same choices in a frame made with the main window.
  ASSERT_NO_FATAL_FAILURE(MakeFrame(&host_));
  chooseSources();
  Command(kIdcMake);
  EXPECT_EQ(dialog_->GetStatus(), "Succeed!") << (prompts_.messages.empty() ? "" : prompts_.messages.back());
  Command(kIdcLoadSong);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"Suspend", "Resume",
                                                   "Add " + dir_.File("out") + "\\song.mp3", "PlayLast"}));
}

// The save commands no control sends, only another window: choose the
// output MIDI file, compile into a chosen one, save the text under a name.
// A lyric file saved as UTF-8 or UTF-16 with its byte-order mark opens in
// the editor as the text the compiler would read, not as its raw bytes.
TEST_F(SongMakerFrameTest, LyricFilesWithAByteOrderMarkOpenAsText) {
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("melody.mid"), Melody()));
  const struct {
    const char* name;
    Bytes bytes;
  } kFiles[] = {
      {"plain", {'c', 'a', 'f', 0xE9, '\n', 'o', 'k'}},
      {"utf-8", {0xEF, 0xBB, 0xBF, 'c', 'a', 'f', 0xC3, 0xA9, '\n', 'o', 'k'}},
      {"utf-16", {0xFF, 0xFE, 'c', 0, 'a', 0, 'f', 0, 0xE9, 0, '\n', 0, 'o', 0, 'k', 0}},
  };
  for (const auto& file : kFiles) {
    SCOPED_TRACE(file.name);
    const std::string path = dir_.File(std::string(file.name) + ".txt");
    ASSERT_TRUE(testsupport::WriteBytes(path, file.bytes));
    prompts_.files = {dir_.File("melody.mid"), path};
    Command(kIdcOpenSources);
    EXPECT_EQ(dialog_->GetEditorText(), "caf\xE9\r\nok");
  }
}

TEST_F(SongMakerFrameTest, SaveCommandsWithoutControls) {
  Command(kCmdChooseOutputMidi);
  Command(kCmdSaveAsMidi);
  EXPECT_EQ(prompts_.messages, std::vector<std::string>{"Please select the source MIDI file first!"});
  EXPECT_TRUE(prompts_.offered.empty()) << "no save dialog without a source MIDI file";

  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("melody.mid"), Melody()));
  const std::string lyrics = "la\n";
  ASSERT_TRUE(testsupport::WriteBytes(dir_.File("lyrics.txt"), Bytes(lyrics.begin(), lyrics.end())));
  prompts_.files = {dir_.File("melody.mid"), dir_.File("lyrics.txt")};
  Command(kIdcOpenSources);
  dialog_->SetEditorText("Twin-kle twin-kle\r\n");

  prompts_.files = {FakePrompts::kTooLongAnswer, dir_.File("chosen.mid")};
  Command(kCmdChooseOutputMidi);
  EXPECT_EQ(prompts_.messages.back(), "Too long file name!");
  Command(kCmdChooseOutputMidi);
  char field[MAX_PATH] = {};
  ::GetWindowTextA(Item(kIdcOutputMidi), field, sizeof(field));
  EXPECT_EQ(field, dir_.File("chosen.mid"));
  EXPECT_EQ(::GetFileAttributesA(dir_.File("chosen.mid").c_str()), INVALID_FILE_ATTRIBUTES)
      << "choosing writes nothing";

  prompts_.files = {dir_.File("saved.mid")};
  Command(kCmdSaveAsMidi);
  const Bytes song = testsupport::ReadBytes(dir_.File("saved.mid"));
  ASSERT_GE(song.size(), 4u);
  EXPECT_EQ(std::string(song.begin(), song.begin() + 4), "MThd");
  ::GetWindowTextA(Item(kIdcOutputMidi), field, sizeof(field));
  EXPECT_EQ(field, dir_.File("saved.mid"));
  const Bytes text = testsupport::ReadBytes(dir_.File("lyrics.txt"));
  EXPECT_EQ(std::string(text.begin(), text.end()), "Twin-kle twin-kle\r\n")
      << "the lyric file keeps the text the song was made from";

  prompts_.files = {dir_.File("copy.txt")};
  Command(kCmdSaveLyricTextAs);
  const Bytes copy = testsupport::ReadBytes(dir_.File("copy.txt"));
  EXPECT_EQ(std::string(copy.begin(), copy.end()), "Twin-kle twin-kle\r\n");
  EXPECT_EQ(prompts_.offered,
            (std::vector<std::string>{"melody", "melody", "melody", dir_.File("lyrics.txt")}));
  prompts_.files = {dir_.File("no such folder\\x.txt")};
  Command(kCmdSaveLyricTextAs);
  EXPECT_EQ(prompts_.messages.back(), "Open lyric file failed!");
}

TEST_F(SongMakerFrameTest, TheDialogFillsTheFrameRightUnderItsCaption) {
  frame_->ShowFrame(true);
  Pump(100);
  RECT frame = {}, dialog = {};
  ::GetWindowRect(frame_->m_hWnd, &frame);
  ::GetWindowRect(dialog_->GetSafeHwnd(), &dialog);
  const CSkinFrameImages* images = frame_->GetFrameImages();
  const int top = frame.top + SkinImageHeight(images->GetTopBorder());
  const int bottom = frame.bottom - SkinImageHeight(images->GetBottomBorder());
  const int left = frame.left + SkinImageWidth(images->GetLeftBorder());
  const int right = frame.right - SkinImageWidth(images->GetRightBorder());
  // No bare band between the caption and the dialog, and the dialog inside
  // the borders on every side, leaving only thin margins.
  EXPECT_GE(dialog.top, top);
  EXPECT_LE(dialog.top - top, 4) << "a band between the caption and the dialog";
  EXPECT_GE(dialog.left, left);
  EXPECT_LE(dialog.left - left, 8);
  EXPECT_LE(dialog.right, right);
  EXPECT_LE(right - dialog.right, 8);
  EXPECT_LE(dialog.bottom, bottom);
  EXPECT_LE(bottom - dialog.bottom, 8);
  frame_->ShowFrame(false);
}

TEST_F(SongMakerFrameTest, Screenshot) {
  ::SetWindowPos(frame_->m_hWnd, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  dialog_->SetEditorText(
      "<b>[Climax Start]Twin-kle twin-kle lit-tle star^\r\nHow I won-der what you are^\r\n<b>[Climax "
      "End]\r\n");
  frame_->ShowFrame(true);
  Pump(300);
  ::RedrawWindow(frame_->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(100);
  RECT r;
  ::GetWindowRect(frame_->m_hWnd, &r);
  EXPECT_TRUE(SaveScreenAreaPng(r, "song_maker.png"));
  frame_->ShowFrame(false);
}

TEST_F(SongMakerFrameTest, WearsThePlayListImagesWithOnlyACloseButton) {
  CSkinCaptionButtons* caption = frame_->GetCaptionButtons();
  EXPECT_EQ(caption->GetStyle(), kCaptionClose);
  CSkinElement* close = caption->GetButton(kCaptionBtnClose);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->GetImage(), SchemeImage(kSkinPlayListCloseBtn));
  EXPECT_EQ(close->GetTipText(), "");
  EXPECT_TRUE(close->IsEnabled());
  EXPECT_EQ(caption->GetButton(kCaptionBtnMax), nullptr);
  EXPECT_EQ(caption->GetButton(kCaptionBtnMin), nullptr);
  const CSkinFrameImages* images = frame_->GetFrameImages();
  EXPECT_EQ(images->GetTitle(), SchemeImage(kSkinPlaylistTitleActive));
  EXPECT_EQ(images->GetLeftBorder(), SchemeImage(kSkinPlayListLeftBorder));
}

}  // namespace
