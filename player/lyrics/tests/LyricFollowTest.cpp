// The karaoke view following a song that the real lyric controller sings: a
// generated song of three paragraphs in the shipped lyric font, in views as
// small as the lyrics window's pane and larger. Timer messages stand in for
// the time between syllables, so nothing waits on the clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControllerFixture.h"

namespace {

constexpr int kQuarter = 120;  // ticks; FakeSongEngine plays one in 600 ms

struct Syllable {
  const char* text;
  int beats;
};

// Lines of a nursery rhyme, two to a paragraph, as the demo song sings them.
const std::vector<std::vector<Syllable>> kVerse = {
    {{"Twin", 1}, {"kle", 1}, {"twin", 1}, {"kle", 1}, {"lit", 1}, {"tle", 1}, {"star", 2}},
    {{"how", 1}, {"I", 1}, {"won", 1}, {"der", 1}, {"what", 1}, {"you", 1}, {"are", 2}},
};
const std::vector<std::vector<Syllable>> kChorus = {
    {{"Up", 1}, {"a", 1}, {"bove", 1}, {"the", 1}, {"world", 1}, {"so", 1}, {"high", 2}},
    {{"like", 1}, {"a", 1}, {"dia", 1}, {"mond", 1}, {"in", 1}, {"the", 1}, {"sky", 2}},
};

// The player's shipped lyric font (LYRIC_NORM_FONT): 24 pixels, bold.
HFONT ShippedLyricFont() {
  return ::CreateFontA(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
}

class LyricFollowTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    if (HasFatalFailure()) return;
    view_->SetFont(ShippedLyricFont());
    // The compiler writes a line's break at the tick of its last syllable,
    // just before it.
    MetaEvents e;
    int tick = 4 * kQuarter;
    for (const auto* paragraph : {&kVerse, &kChorus, &kVerse}) {
      for (size_t l = 0; l < paragraph->size(); ++l) {
        const std::vector<Syllable>& line = (*paragraph)[l];
        for (size_t s = 0; s < line.size(); ++s) {
          if (s + 1 == line.size()) e.Lyric(tick, l + 1 == paragraph->size() ? "." : ",");
          e.Lyric(tick, line[s].text);
          ticks_.push_back(tick);
          tick += line[s].beats * kQuarter;
        }
      }
    }
    end_ = tick;
    Attach(e);
  }
  // The timer messages that arrive while the song moves from one tick to
  // another.
  void Play(int from, int to) { Tick((FakeSongEngine::TimeOf(to) - FakeSongEngine::TimeOf(from)) / 50); }

  std::vector<int> ticks_;  // of every syllable, in singing order
  int end_ = 0;
};

// Where a line's text stands in the view, top and bottom.
struct Span {
  int top, bottom;
};

TEST_F(LyricFollowTest, TheLineBeingSungStaysInSightAsTheViewScrollsToEachNewLine) {
  SongInfoText titleOnly;
  titleOnly.title = "Twinkle Demo";
  SongInfoText full = titleOnly;
  full.singer = "Singer: Anon";
  full.lyricist = "Words: Jane Taylor";
  full.composer = "Music: Traditional";
  struct Case {
    const char* name;
    int height;
    const SongInfoText* info;
  } cases[] = {
      {"lyrics pane, title only", 112, &titleOnly},
      {"lyrics pane, full header", 112, &full},
      {"tall view, full header", 400, &full},
      {"two lines high", 70, &full},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECT rect = {0, 0, 520, c.height};
    view_->SetRect(&rect);
    view_->SetSongInfo(*c.info);
    lyrics_->Rewind(1);
    ASSERT_EQ(view_->GetTokenCount(), 42 + 6);
    const auto& lines = view_->GetLines();
    const int lineHeight = view_->GetLineHeight();
    const int textHeight = lineHeight - view_->GetLineSpacing();
    auto spanOf = [&](int line) {
      const int top = lines[line].y - view_->GetScrollY();
      return Span{top, top + textHeight};
    };
    // Before the song starts the first line is already in sight.
    EXPECT_GE(spanOf(0).top, 0);
    EXPECT_LE(spanOf(0).bottom, c.height);
    // Room to show a line and the one after it, across a paragraph's gap.
    const bool roomForNext = c.height >= 3 * lineHeight;

    int lastLine = -1;
    for (size_t s = 0; s < ticks_.size(); ++s) {
      lyrics_->MarkLyric(ticks_[s], 1);
      const int sung = view_->LineOfToken(view_->GetWipeToken());
      ASSERT_GE(sung, lastLine) << "syllable " << s;
      if (sung == 0 && c.info == &titleOnly) {
        EXPECT_EQ(view_->GetScrollY(), 0) << "the title and the first line fit together";
      }
      // While the syllable is sung, the line is wholly in sight at every
      // timer step, the smooth scroll at a line's start too: a line the
      // scroll would bring in too late is shown at once.
      const int next = s + 1 < ticks_.size() ? ticks_[s + 1] : end_;
      const int steps = (FakeSongEngine::TimeOf(next) - FakeSongEngine::TimeOf(ticks_[s])) / 50;
      for (int i = 0; i <= steps; ++i) {
        const Span span = spanOf(sung);
        ASSERT_GE(span.top, 0) << "line " << sung << ", syllable " << s << ", step " << i;
        ASSERT_LE(span.bottom, c.height) << "line " << sung << ", syllable " << s << ", step " << i;
        if (i < steps) Tick();
      }
      lastLine = sung;
      const bool lastOfLine = view_->LineOfToken(view_->GetWipeToken() + 1) < 0;
      if (!lastOfLine) continue;
      EXPECT_EQ(view_->GetPendingScroll(), 0) << "line " << sung << " scrolled in within its time";
      if (c.height >= view_->GetHeaderHeight() + 3 * lineHeight) {
        EXPECT_EQ(spanOf(sung).top, view_->GetHeaderHeight()) << "line " << sung << " where the first stood";
      }
      if (roomForNext && sung + 1 < static_cast<int>(lines.size())) {
        EXPECT_LE(spanOf(sung + 1).bottom, c.height)
            << "the line after " << sung << " shows before it is sung";
      }
    }
    EXPECT_EQ(lastLine, 5);
  }
}

}  // namespace
