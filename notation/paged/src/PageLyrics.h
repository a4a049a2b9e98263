// Syllables on pages, the same for staff and numbered pages: handing a
// part's lyrics out to its pages, and marking them sung as the karaoke wipe
// passes. Items offer Tick, IsPunctuation and SetSung; pages offer
// StartTick, EndTick and AttachLyric.
#pragma once

#include <memory>
#include <vector>

#include "score/ScoreRecords.h"

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
