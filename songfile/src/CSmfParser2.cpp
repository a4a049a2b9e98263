#include "CSmfParser2.h"

#include "scrivel/Scrivel.h"

CSmfParser2::CSmfParser2() : legacy_(CreateScrivel(1)) {}

CSmfParser2::~CSmfParser2() {
  Reset();
  if (legacy_) legacy_->Release();
}

void CSmfParser2::Release() { Destroy(1); }

// The destructor slot: bit 0 also frees the memory.
void CSmfParser2::Destroy(unsigned flags) {
  if (flags & 1) {
    delete this;
  } else {
    this->~CSmfParser2();
  }
}

void CSmfParser2::Reset() {
  format_ = 1;
  trackCount_ = 0;
  division_ = kSmfTicksPerQuarter;
  drumTrack_ = -1;
  lists_.timeSignatures.Clear();
  lists_.keySignatures.Clear();
  lists_.tempos.Clear();
  tracks_.clear();
  tracks_.shrink_to_fit();
  insertsWaiting_ = 0;
  bytes_.Clear();
}

SmfTrack* CSmfParser2::FindTrack(int track) {
  SettleInserts();
  return LookUpTrack(track);
}

SmfTrack* CSmfParser2::LookUpTrack(int track) {
  const int16_t index = static_cast<int16_t>(track);
  // After a full load a track's index is its place in the list; callers walk
  // every track, and a song may hold thousands of them.
  if (index >= 0 && static_cast<size_t>(index) < tracks_.size() && tracks_[index].index == index)
    return &tracks_[index];
  for (SmfTrack& t : tracks_) {
    if (t.index == index) return &t;
  }
  return nullptr;
}

// @name The legacy operations hand work to the owned legacy parser.

int CSmfParser2::LegacyAddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) {
  return legacy_ ? legacy_->AddEvent(track, kind, length, bytes, delta) : 1;
}

int CSmfParser2::LegacyAddTrack() { return legacy_ ? legacy_->AddTrack() : 1; }

int CSmfParser2::LegacySaveAs(const char* path) {
  // A failed save is passed on: reporting it as written would lose a recording.
  return legacy_ ? legacy_->SaveAs(path) : 1;
}
