#include "LyricTokens.h"

#include <algorithm>
#include <climits>

namespace {

LyricTokenKind KindOf(const std::string& text) {
  if (text == ",") return LyricTokenKind::kLineBreak;
  if (text == ".") return LyricTokenKind::kParagraphBreak;
  return LyricTokenKind::kSyllable;
}

// Some files end their texts with NUL bytes; they are not part of the text.
std::string WithoutTrailingNuls(const std::string& text) {
  size_t end = text.find_last_not_of('\0');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// What KindOf(WithoutTrailingNuls(text)) == kSyllable says, without a copy.
bool IsSyllable(const std::string& text) {
  const size_t end = text.find_last_not_of('\0');
  if (end == std::string::npos) return false;
  return end > 0 || (text[0] != ',' && text[0] != '.');
}

int ChooseTrack(const CantomereLyricData& data) {
  int track = INT_MAX;
  for (const LyricEventRecord& e : data.lyrics) {
    if (IsSyllable(e.text)) track = std::min(track, e.track);
  }
  return track == INT_MAX ? -1 : track;
}

}  // namespace

LyricTokenList BuildLyricTokens(const CantomereLyricData& data) {
  LyricTokenList list;
  list.track = ChooseTrack(data);
  if (list.track < 0) {
    return list;
  }
  for (const LyricEventRecord& e : data.lyrics) {
    if (e.track != list.track) continue;
    std::string text = WithoutTrailingNuls(e.text);
    if (text.empty()) continue;
    list.tokens.push_back({KindOf(text), text, e.tick, 0, 0});
  }
  // The compiler inserts each event in front of those already at its tick,
  // so within one tick the track holds the events in the reverse of the
  // order they were sung: a line end before the syllable it closes, a range
  // mark's line end after the syllable that opens the next line, syllables
  // that found no note of their own backwards.
  auto byTick = [](const LyricToken& a, const LyricToken& b) { return a.tick < b.tick; };
  // A song's lyric track is in tick order already; the sort's buffer would
  // copy every text.
  if (!std::is_sorted(list.tokens.begin(), list.tokens.end(), byTick))
    std::stable_sort(list.tokens.begin(), list.tokens.end(), byTick);
  for (auto run = list.tokens.begin(); run != list.tokens.end();) {
    auto runEnd =
        std::find_if(run, list.tokens.end(), [&](const LyricToken& t) { return t.tick != run->tick; });
    std::reverse(run, runEnd);
    run = runEnd;
  }
  auto firstSyllable = std::find_if(list.tokens.begin(), list.tokens.end(),
                                    [](const LyricToken& t) { return t.kind == LyricTokenKind::kSyllable; });
  list.tokens.erase(list.tokens.begin(), firstSyllable);
  return list;
}

int FirstSyllableTick(const CantomereLyricData& data) {
  const int track = ChooseTrack(data);
  if (track < 0) return -1;
  uint32_t first = UINT32_MAX;
  for (const LyricEventRecord& e : data.lyrics) {
    if (e.track == track && IsSyllable(e.text)) first = std::min(first, e.tick);
  }
  return int(first);
}

void TimeLyricTokens(LyricTokenList* list, const std::vector<MarkerRecord>& markers,
                     const std::function<int(uint32_t tick)>& timeOf) {
  std::vector<uint32_t> phraseEnds;
  for (const MarkerRecord& m : markers) {
    if (m.tag == kTagPhraseEnd) phraseEnds.push_back(m.tick);
  }
  std::sort(phraseEnds.begin(), phraseEnds.end());

  std::vector<LyricToken>& tokens = list->tokens;
  for (LyricToken& t : tokens) {
    if (t.kind == LyricTokenKind::kSyllable) t.startMs = timeOf(t.tick);
  }
  // Each syllable ends where the next one starts: walk back to know it.
  long long nextStart = LLONG_MAX;
  for (size_t i = tokens.size(); i-- > 0;) {
    LyricToken& t = tokens[i];
    if (t.kind != LyricTokenKind::kSyllable) continue;
    long long end = nextStart;
    // A phrase end on the syllable's own tick belongs to the phrase before it.
    auto phraseEnd = std::upper_bound(phraseEnds.begin(), phraseEnds.end(), t.tick);
    if (phraseEnd != phraseEnds.end()) end = std::min<long long>(end, timeOf(*phraseEnd));
    long long duration = end == LLONG_MAX ? kMaxSyllableMs : end - t.startMs;
    t.durationMs = int(std::clamp<long long>(duration, kMinSyllableMs, kMaxSyllableMs));
    nextStart = t.startMs;
  }
  int previousEnd = 0;
  for (LyricToken& t : tokens) {
    if (t.kind == LyricTokenKind::kSyllable) {
      previousEnd = t.startMs + t.durationMs;
    } else {
      t.startMs = previousEnd;
      t.durationMs = 0;
    }
  }
}
