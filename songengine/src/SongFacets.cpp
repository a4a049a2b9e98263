#include "SongFacets.h"

#include <cstring>
#include <vector>

#include <brevant/Brevant.h>
#include <scrivel/ISmfParser2.h>

#include "CModuleLoader.h"
#include "CSongData.h"
#include "base/Guarded.h"

// @name Song information

CSongInfoImpl::CSongInfoImpl(ISmfParser2* parser, CSongData* loaded) : parser_(parser), loaded_(loaded) {}

CSongInfoImpl::~CSongInfoImpl() = default;

void CSongInfoImpl::Release() { delete this; }

void CSongInfoImpl::Destroy(unsigned flags) {
  this->~CSongInfoImpl();
  if (flags & 1) ::operator delete(this);
}

int CSongInfoImpl::Open(const char* path) {
  if (!parser_ || !path) return 1;
  parser_->Reset();
  shared_.reset();
  lengthMs_ = -1;
  loadedTracks_ = 0;
  if (loaded_) shared_ = loaded_->ShareLoadedSong(path);
  if (!shared_ && parser_->Load(path, nullptr, 0) != 0) {
    parser_->Reset();
    return 1;
  }
  // The header's count is only what the file claims; a whole load numbers the
  // tracks it read from 0 without gaps.
  ISmfParser2* song = Song();
  const int claimed = song->GetTrackCount();
  while (loadedTracks_ < claimed && song->GetTrackChunkId(loadedTracks_) != 0) ++loadedTracks_;
  if (loadedTracks_ < 1) {
    shared_.reset();
    parser_->Reset();
    return 1;
  }
  return 0;
}

int CSongInfoImpl::GetTrackCount() {
  if (!parser_) return 0;
  // The tempo track is not counted; a reset parser has no track at all.
  return loadedTracks_ > 1 ? loadedTracks_ - 1 : 0;
}

const char* CSongInfoImpl::GetTrackName(int track) {
  if (!parser_) return nullptr;
  trackName_[0] = '\0';
  // Names come from the file and may be of any length: fetch the whole name,
  // then keep what fits.
  const uint32_t size = Song()->GetTrackName(track, nullptr);
  if (size == 0) return trackName_;
  // Without memory for the whole name the answer is an empty one.
  return base::Guarded(
      [&] {
        std::vector<char> name(size + 1, '\0');
        Song()->GetTrackName(track, name.data());
        std::strncpy(trackName_, name.data(), sizeof trackName_ - 1);
        trackName_[sizeof trackName_ - 1] = '\0';
        return trackName_;
      },
      static_cast<const char*>(trackName_));
}

const char* CSongInfoImpl::GetInstrumentName(int track) {
  // An empty parser answers program 0 for any track: that is no instrument.
  if (!parser_ || Song()->GetTrackCount() < 1) return nullptr;
  const uint16_t program = Song()->GetTrackProgram(track);
  return program < kInstrumentNameCount ? kGmInstrumentNames[program] : nullptr;
}

int CSongInfoImpl::GetHighestNote(int track) {
  if (!parser_) return 0;
  int16_t low = 0, high = 0;
  Song()->GetNoteRange(track, &low, &high);
  return static_cast<uint16_t>(high);
}

int CSongInfoImpl::GetLowestNote(int track) {
  if (!parser_) return 0;
  int16_t low = 0, high = 0;
  Song()->GetNoteRange(track, &low, &high);
  return static_cast<uint16_t>(low);
}

int CSongInfoImpl::GetSongLength() {
  if (shared_) {
    if (lengthMs_ < 0 && loaded_) lengthMs_ = loaded_->LoadedSongLength(shared_.get());
    if (lengthMs_ >= 0) return lengthMs_;
  }
  base::ReleasePtr<IBrevantSongBuffer> buffer(ModuleLoader().NewSongBuffer());
  if (!buffer) return 0;
  return base::Guarded(
      [&] {
        if (!FillSongBuffer(Song(), buffer.get())) return 0;
        const int length = buffer->Finish();
        if (shared_) lengthMs_ = length;
        return length;
      },
      0);
}

// @name Track mixer

void CTrackMixerImpl::Release() { delete this; }

void CTrackMixerImpl::Destroy(unsigned flags) {
  this->~CTrackMixerImpl();
  if (flags & 1) ::operator delete(this);
}

int CTrackMixerImpl::SetTrackEnabled(int track, bool enabled) {
  if (!player_) return 1;
  int flags = 0;
  player_->GetTrackFlags(track, &flags);
  flags = enabled ? flags & ~kBrevantTrackMuted : flags | kBrevantTrackMuted;
  return player_->SetTrackFlags(track, flags);
}
