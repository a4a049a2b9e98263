// CSmfParser2: the read side. Song lists get their default entry when a query
// finds them empty; event copies handed out share their bytes with the song.
#include <algorithm>
#include <cstring>

#include "CSmfParser2.h"
#include "base/Guarded.h"
#include "SmfEventClass.h"

namespace {

const uint8_t kDefaultTimeSignature[7] = {0xFF, 0x58, 0x04, 0x04, 0x02, 0x00, 0x00};  // 4/4
const uint8_t kDefaultKeySignature[5] = {0xFF, 0x59, 0x02, 0x00, 0x00};               // C major
const uint8_t kDefaultTempo[6] = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};                // 500,000 us, 120 BPM

uint32_t TempoOf(const SmfEvent& e) {
  return static_cast<uint32_t>(e.data[3]) << 16 | static_cast<uint32_t>(e.data[4]) << 8 | e.data[5];
}

// Counts handed out as 16 bits: fill no more entries than the caller was told.
uint16_t Count16(size_t n) { return static_cast<uint16_t>(std::min<size_t>(n, 0xFFFF)); }

}  // namespace

const MeasureMap& CSmfParser2::Measures() {
  lists_.timeSignatures.EnsureDefault(kDefaultTimeSignature, sizeof kDefaultTimeSignature);
  if (measuresVersion_ != lists_.timeSignatures.Version()) {
    measures_.Build(lists_.timeSignatures.Entries());
    measuresVersion_ = lists_.timeSignatures.Version();
  }
  return measures_;
}

// @name Time signatures and measures

int CSmfParser2::GetFirstTimeSignature(uint8_t* out) {
  return base::Guarded(
      [&] {
        lists_.timeSignatures.EnsureDefault(kDefaultTimeSignature, sizeof kDefaultTimeSignature);
        if (!out) return 6;
        const SmfEvent& first = lists_.timeSignatures.Entries().front();
        out[0] = first.data[3];
        out[1] = first.data[4];
        return 0;
      },
      6);
}

uint32_t CSmfParser2::GetTimeSignatures(SmfTimeSigEntry* out) {
  return base::Guarded(
      [&] {
        const MeasureMap& measures = Measures();
        const std::vector<SmfEvent>& list = lists_.timeSignatures.Entries();
        if (out) {
          for (size_t i = 0; i < list.size(); ++i) {
            out[i] = SmfTimeSigEntry{static_cast<uint16_t>(measures.StartMeasure(i)), list[i].data[3],
                                     list[i].data[4]};
          }
        }
        return static_cast<uint32_t>(list.size());
      },
      static_cast<uint32_t>(0));
}

uint16_t CSmfParser2::TickToMeasure(uint32_t tick) {
  return base::Guarded([&] { return static_cast<uint16_t>(Measures().TickToMeasure(tick)); },
                       static_cast<uint16_t>(0));
}

uint32_t CSmfParser2::MeasureToTick(uint16_t measure) {
  return base::Guarded([&] { return Measures().MeasureToTick(measure); }, static_cast<uint32_t>(0));
}

// @name Tempos and key signatures

long double CSmfParser2::GetInitialBpm() {
  return base::Guarded(
      [&] {
        lists_.tempos.EnsureDefault(kDefaultTempo, sizeof kDefaultTempo);
        return 60000000.0L / TempoOf(lists_.tempos.Entries().front());  // tempo 0 never joins the list
      },
      120.0L);
}

uint16_t CSmfParser2::GetTempos(SmfTempoEntry* out) {
  return base::Guarded(
      [&] {
        lists_.tempos.EnsureDefault(kDefaultTempo, sizeof kDefaultTempo);
        const std::vector<SmfEvent>& list = lists_.tempos.Entries();
        const uint16_t n = Count16(list.size());
        if (out) {
          for (uint16_t i = 0; i < n; ++i)
            out[i] = SmfTempoEntry{60000000.0f / TempoOf(list[i]), list[i].tick};
        }
        return n;
      },
      static_cast<uint16_t>(0));
}

uint16_t CSmfParser2::GetFirstKeySignature() {
  return base::Guarded(
      [&] {
        lists_.keySignatures.EnsureDefault(kDefaultKeySignature, sizeof kDefaultKeySignature);
        return static_cast<uint16_t>(lists_.keySignatures.Entries().front().data[3]);
      },
      static_cast<uint16_t>(0));
}

uint16_t CSmfParser2::GetKeySignatures(SmfKeySigEntry* out) {
  return base::Guarded(
      [&] {
        lists_.keySignatures.EnsureDefault(kDefaultKeySignature, sizeof kDefaultKeySignature);
        const std::vector<SmfEvent>& list = lists_.keySignatures.Entries();
        const uint16_t n = Count16(list.size());
        if (out) {
          for (uint16_t i = 0; i < n; ++i)
            out[i] = SmfKeySigEntry{static_cast<int8_t>(list[i].data[3]), list[i].tick};
        }
        return n;
      },
      static_cast<uint16_t>(0));
}

// @name Events

uint32_t CSmfParser2::CountEvents(int track, uint32_t from, uint32_t to, uint32_t kindMask, uint32_t typeMask,
                                  uint32_t subTypeMask) {
  const SmfTrack* t = FindTrack(track);
  if (!t) return 0;
  uint32_t n = 0;
  for (const SmfEvent& e : t->events) {
    if (e.tick >= from && e.tick <= to && SmfEventClass::Of(e).Matches(kindMask, typeMask, subTypeMask)) ++n;
  }
  return n;
}

int CSmfParser2::GetEvents(int track, uint32_t from, uint32_t to, SmfEvent* out, uint32_t kindMask,
                           uint32_t typeMask, uint32_t subTypeMask) {
  const SmfTrack* t = FindTrack(track);
  if (!t || !out) return 0;
  for (const SmfEvent& e : t->events) {
    if (e.tick >= from && e.tick <= to && SmfEventClass::Of(e).Matches(kindMask, typeMask, subTypeMask))
      *out++ = e;
  }
  return 0;
}

// @name Tracks

uint16_t CSmfParser2::GetTrackMeasureCount(int track) {
  const SmfTrack* t = FindTrack(track);
  if (!t || t->events.empty() || t->events.back().tick == 0) return 0;
  return static_cast<uint16_t>(TickToMeasure(t->events.back().tick - 1) + 1);
}

uint32_t CSmfParser2::GetTrackName(int track, char* out) {
  const SmfTrack* t = FindTrack(track);
  if (!t) return 0;
  if (out) {
    std::memcpy(out, t->name.data(), t->name.size());
    out[t->name.size()] = '\0';
  }
  return static_cast<uint32_t>(t->name.size() + 1);
}

uint16_t CSmfParser2::GetTrackProgram(int track) {
  SmfTrack* t = FindTrack(track);
  if (!t) return 0;
  return base::Guarded(
      [&] {
        std::vector<SmfProgramChange>& programs = t->programChanges;
        if (programs.empty()) {
          // Tracks made by splitting or editing have no records yet.
          for (const SmfEvent& e : t->events) {
            if (e.kind == kSmfKindChannel && e.length == 2 && e.data && (e.data[0] & 0xF0) == 0xC0)
              programs.push_back(SmfProgramChange{e.tick, e.data[0], e.data[1]});
          }
          if (programs.empty()) programs.push_back(SmfProgramChange{0, 0xC0, 0});
        }
        return static_cast<uint16_t>(programs.front().program);
      },
      static_cast<uint16_t>(0));
}

uint32_t CSmfParser2::GetProgramChanges(int track, SmfProgramChange* out) {
  const SmfTrack* t = FindTrack(track);
  if (!t) return 0;
  if (out && !t->programChanges.empty())
    std::memcpy(out, t->programChanges.data(), t->programChanges.size() * sizeof(SmfProgramChange));
  return static_cast<uint32_t>(t->programChanges.size());
}

int CSmfParser2::GetNoteRange(int track, int16_t* low, int16_t* high) {
  SmfTrack* t = FindTrack(track);
  if (!t) return 1;
  if (t->highNote < t->lowNote) {
    t->lowNote = 255;
    t->highNote = 0;
    for (const SmfEvent& e : t->events) {
      if (e.kind != kSmfKindChannel || e.length <= 2 || !e.data) continue;
      const uint8_t type = e.data[0] & 0xF0;
      if (type != 0x80 && type != 0x90) continue;
      t->lowNote = std::min<uint32_t>(t->lowNote, e.data[1]);
      t->highNote = std::max<uint32_t>(t->highNote, e.data[1]);
    }
  }
  if (low) *low = static_cast<int16_t>(t->lowNote);
  if (high) *high = static_cast<int16_t>(t->highNote);
  return 1;
}

uint32_t CSmfParser2::GetTrackChunkId(int track) {
  const SmfTrack* t = FindTrack(track);
  return t ? t->chunkId : 0;
}
