#include "CSmfParserHandler.h"

#include <algorithm>
#include <cmath>

#include "base/Guarded.h"
#include "SmfEventClass.h"
#include "scrivel/Scrivel.h"

namespace {

// Ticks of one beat under a denominator power: 480 / 2^power, truncated.
int32_t BeatLength(uint32_t power) {
  return static_cast<int16_t>(static_cast<int32_t>(std::ldexp(480.0, -static_cast<int>(power))));
}

}  // namespace

CSmfParserHandler::~CSmfParserHandler() {
  if (parser_) parser_->Release();
}

void CSmfParserHandler::Release() { Destroy(1); }

// The destructor slot: bit 0 also frees the memory.
void CSmfParserHandler::Destroy(unsigned flags) {
  if (flags & 1) {
    delete this;
  } else {
    this->~CSmfParserHandler();
  }
}

int CSmfParserHandler::Open(const char* path) {
  if (!path) return 0;
  if (!parser_) parser_ = CreateScrivel2(1);
  if (!parser_) return 0;
  parser_->Reset();
  open_ = false;
  // Whatever happens next, the events of the old song are gone with it.
  events_.clear();
  if (parser_->Load(path, nullptr, 0) != kSmfLoadOk) return 0;
  open_ = true;
  const bool ok = base::Guarded(
      [&] {
        std::vector<SmfTimeSigEntry> signatures(parser_->GetTimeSignatures(nullptr));
        parser_->GetTimeSignatures(signatures.data());
        timeSignatures_.swap(signatures);
        return true;
      },
      false);
  if (!ok) return 0;
  ReloadEvents();
  return 1;
}

void CSmfParserHandler::SelectTrack(int track) {
  track_ = track;
  ReloadEvents();
}

ISmfParser2* CSmfParserHandler::TakeSong() {
  if (!open_) return nullptr;
  ISmfParser2* song = parser_;
  parser_ = nullptr;
  open_ = false;
  // The events point into the song that went with the parser.
  events_.clear();
  return song;
}

void CSmfParserHandler::ReloadEvents() {
  events_.clear();
  inTickOrder_ = true;
  if (!parser_ || track_ < 0 || track_ >= parser_->GetTrackCount()) return;
  const uint32_t count =
      parser_->CountEvents(track_, 0, UINT32_MAX, kSmfKindChannel, kSmfAllBits, kSmfAllBits);
  if (count == 0) return;
  base::Guarded(
      [&] {
        events_.resize(count);
        parser_->GetEvents(track_, 0, UINT32_MAX, events_.data(), kSmfKindChannel, kSmfAllBits, kSmfAllBits);
        inTickOrder_ = std::is_sorted(events_.begin(), events_.end(),
                                      [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
        return true;
      },
      false);
}

uint32_t CSmfParserHandler::MeasureBeatToTick(int measure, int beat) {
  if (timeSignatures_.empty()) return 0;
  // Signed 64-bit throughout: a measure before the song (m = -1 from the
  // lyric text "<b0>") gives a negative tick, which becomes 0, not a huge one.
  int64_t sum = 0;
  int64_t previousMeasure = 0;
  int64_t numerator = 2;
  uint32_t power = 2;
  for (const SmfTimeSigEntry& e : timeSignatures_) {
    if (e.measure > measure) continue;
    sum += static_cast<int64_t>(BeatLength(power)) * (e.measure - previousMeasure) * numerator;
    previousMeasure = e.measure;
    numerator = e.numerator;
    power = e.power;
  }
  const int64_t beats = beat + (measure - previousMeasure) * numerator;
  int64_t tick = sum + static_cast<int64_t>(BeatLength(power)) * beats;
  // Beat 0 is placed a little before the bar line, so a syllable sung on the
  // downbeat is already up when the bar starts.
  if (beat == 0) tick = tick < 10 ? 0 : tick - 10;
  return static_cast<uint32_t>(std::clamp<int64_t>(tick, 0, UINT32_MAX));
}

std::vector<SmfEvent>::const_iterator CSmfParserHandler::FirstAfter(uint32_t tick) const {
  if (inTickOrder_)
    return std::upper_bound(events_.begin(), events_.end(), tick,
                            [](uint32_t t, const SmfEvent& e) { return t < e.tick; });
  return std::find_if(events_.begin(), events_.end(), [tick](const SmfEvent& e) { return e.tick > tick; });
}

uint32_t CSmfParserHandler::FindNthNoteOnAfter(uint32_t tick, int n) {
  if (n <= 0) return 0;
  auto it = FirstAfter(tick);
  int seen = 0;
  for (; it != events_.end(); ++it) {
    if (IsSoundingNoteOn(*it) && ++seen == n) return it->tick;
  }
  return 0;
}

uint32_t CSmfParserHandler::FindNoteEnd(uint32_t tick) {
  // In tick order the events of tick lie together, just before the first one after it.
  auto from = events_.cbegin(), to = events_.cend();
  if (inTickOrder_) {
    if (tick > 0) from = FirstAfter(tick - 1);
    to = FirstAfter(tick);
  }
  auto start =
      std::find_if(from, to, [tick](const SmfEvent& e) { return e.tick == tick && IsSoundingNoteOn(e); });
  if (start == to) return 0;
  const uint8_t key = start->data[1];
  auto end = std::find_if(start + 1, events_.cend(),
                          [key](const SmfEvent& e) { return IsNoteEnd(e) && e.data[1] == key; });
  return end == events_.cend() ? 0 : end->tick;
}

int CSmfParserHandler::GetTimeSignatureAt(int measure, SmfBeatInfo* out) {
  if (timeSignatures_.empty() || !out) return 0;
  int32_t numerator = 2;
  uint32_t power = 2;
  for (const SmfTimeSigEntry& e : timeSignatures_) {
    if (e.measure > measure) break;
    numerator = e.numerator;
    power = e.power;
  }
  *out = SmfBeatInfo{measure, numerator, BeatLength(power)};
  return 1;
}
