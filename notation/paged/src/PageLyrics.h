// Syllables on pages, the same for staff and numbered pages: handing a
// part's lyrics out to its pages, and marking them sung as the karaoke wipe
// passes. Items offer Tick, IsPunctuation and SetSung; pages offer
// StartTick, EndTick and AttachLyric.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "score/ScoreRecords.h"

// Syllables sharing a tick (verses) stand on lyric lines below one another.
constexpr int kMaxLyricLines = 4;
constexpr int kLyricLineHeight = 14;

// "1." or "2. ": a song numbers its verses with a syllable of their own at
// the tick of the verse's first syllable.
inline bool IsVerseNumber(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  if (end < 2 || text[end - 1] != '.') return false;
  for (size_t i = 0; i + 1 < end; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// The lyric line of a syllable at `tick` on a page that holds `lyrics` so
// far: below every syllable already there (a second verse on the same
// notes). Verse numbers claim no line: each stands on the line of the
// syllable it numbers, in front of it.
template <class Item>
int LyricLineFor(const std::vector<std::unique_ptr<Item>>& lyrics, int tick) {
  int line = 0;
  for (const auto& item : lyrics)
    if (std::abs(item->Tick() - tick) < 10 && !item->IsPunctuation() && !IsVerseNumber(item->Text()))
      line = std::max(line, item->Line() + 1);
  return line < kMaxLyricLines ? line : kMaxLyricLines - 1;
}

// How many lyric lines a page's syllables take.
template <class Item>
int LyricLinesUsed(const std::vector<std::unique_ptr<Item>>& lyrics) {
  int lines = 0;
  for (const auto& item : lyrics)
    if (!item->IsPunctuation() && item->Line() + 1 > lines) lines = item->Line() + 1;
  return lines;
}

// Each syllable goes to the first page that takes it: a page refuses one
// that lies at its very end with nothing to sit under.
template <class Page>
void HandOutLyrics(const std::vector<ScoreLyric>& lyrics, const std::vector<std::unique_ptr<Page>>& pages) {
  size_t first = 0;
  for (const ScoreLyric& lyric : lyrics) {
    while (first > 0 && lyric.tick < pages[first]->StartTick() - 10) --first;
    for (size_t i = first; i < pages.size(); ++i) {
      if (lyric.tick >= pages[i]->EndTick()) continue;
      if (pages[i]->AttachLyric(lyric)) {
        first = i;
        break;
      }
    }
  }
}

// Marks the syllable at `tick` sung; false when the page has none there.
// `out` is set when the one lit before it was on this page and is now out
// (or the syllable is punctuation, which puts nothing out elsewhere).
template <class Item>
bool MarkSungLyric(const std::vector<std::unique_ptr<Item>>& lyrics, int tick, bool* out) {
  // A line's break stands at the tick of the syllable it ends, in front of
  // it: the syllable is the one sung there.
  size_t i = lyrics.size();
  for (size_t k = 0; k < lyrics.size(); ++k) {
    if (lyrics[k]->Tick() != tick) continue;
    if (i == lyrics.size() || !lyrics[k]->IsPunctuation()) i = k;
    if (!lyrics[k]->IsPunctuation()) break;
  }
  if (i == lyrics.size()) return false;
  lyrics[i]->SetSung(true);
  if (lyrics[i]->IsPunctuation()) {
    if (out) *out = true;
    return true;
  }
  // Only the syllable being sung stays lit.
  for (size_t k = i; k-- > 0;) {
    if (lyrics[k]->IsPunctuation()) continue;
    lyrics[k]->SetSung(false);
    if (out) *out = true;
    break;
  }
  return true;
}

// Puts out the page's last syllable; false when it has none.
template <class Item>
bool UnmarkLastLyric(const std::vector<std::unique_ptr<Item>>& lyrics) {
  for (size_t k = lyrics.size(); k-- > 0;) {
    if (lyrics[k]->IsPunctuation()) continue;
    lyrics[k]->SetSung(false);
    return true;
  }
  return false;
}

// Puts out the last syllable before `tick`; false when the page has none.
template <class Item>
bool UnmarkLyricBefore(const std::vector<std::unique_ptr<Item>>& lyrics, int tick) {
  for (size_t k = lyrics.size(); k-- > 0;) {
    if (lyrics[k]->IsPunctuation() || lyrics[k]->Tick() >= tick) continue;
    lyrics[k]->SetSung(false);
    return true;
  }
  return false;
}
