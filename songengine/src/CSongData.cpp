#include "CSongData.h"

#include <cmath>

#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>
#include <scrivel/ISmfParser2.h>

#include "CModuleLoader.h"
#include "SongQueries.h"

namespace {

constexpr int kDrumKitPrograms[] = {0, 8, 16, 24, 25, 32, 40, 48, 56};

// A file may say 0 microseconds per quarter (an infinite tempo) or hold a
// tempo no player could follow; the sequencer gets a tempo it can count in.
int SaneBpm(float bpm) {
  if (!std::isfinite(bpm) || bpm <= 0) return 120;
  if (bpm > 1000) return 1000;
  return bpm < 1 ? 1 : static_cast<int>(bpm);
}

int Count(const std::vector<SmfEvent>& events) { return static_cast<int>(events.size()); }

// The sequencer's and the lyric controller's buffers take the same markers
// and lyrics: each query's answer goes to every buffer given (a null one
// takes nothing), so that a song asked once fills both. False when a query
// failed.
template <class... Buffers>
bool AddMarkersAndLyrics(ISmfParser2* parser, Buffers*... buffers) {
  return ForEachTrackEvents(parser, kSmfKindMeta, kSmfMetaControl, true,
                            [&](int track, const std::vector<SmfEvent>& e) {
                              ((buffers ? buffers->AddMarkers(track, e.data(), Count(e)) : void()), ...);
                            }) &&
         ForEachTrackEvents(parser, kSmfKindMeta, kSmfMetaLyric, false,
                            [&](int track, const std::vector<SmfEvent>& e) {
                              ((buffers ? buffers->AddLyrics(track, e.data(), Count(e)) : void()), ...);
                            });
}

}  // namespace

int DrumKitProgram(int program) {
  for (int i = 0; i < static_cast<int>(sizeof kDrumKitPrograms / sizeof kDrumKitPrograms[0]); ++i)
    if (kDrumKitPrograms[i] == program) return 128 + i;
  return 128;
}

int FillSongBuffer(ISmfParser2* parser, IBrevantSongBuffer* buffer, ICantomereLyricBuffer* lyrics) {
  if (!parser || !buffer) return 0;
  buffer->Clear();
  if (lyrics) lyrics->Clear();

  std::vector<SmfTimeSigEntry> sigs(parser->GetTimeSignatures(nullptr));
  if (!sigs.empty()) parser->GetTimeSignatures(sigs.data());
  buffer->SetTimeSignatures(sigs.data(), static_cast<int>(sigs.size()));

  std::vector<SmfTempoEntry> tempos(parser->GetTempos(nullptr));
  if (!tempos.empty()) parser->GetTempos(tempos.data());
  buffer->SetTempos(tempos.data(), static_cast<int>(tempos.size()));

  if (!ForEachTrackEvents(parser, kSmfKindChannel, kSmfAllBits, false,
                          [&](int track, const std::vector<SmfEvent>& e) {
                            buffer->AddTrackEvents(track, e.data(), Count(e));
                          }))
    return 0;
  if (!AddMarkersAndLyrics(parser, buffer, lyrics)) return 0;
  return 1;
}

bool SongFileStamp::Read(const char* file) {
  path.clear();
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(file, sizeof full, full, nullptr);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (length == 0 || length >= sizeof full || !GetFileAttributesExA(full, GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  path = full;
  written = data.ftLastWriteTime;
  size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
  return true;
}

bool SongFileStamp::SameAs(const SongFileStamp& other) const {
  return !path.empty() && lstrcmpiA(path.c_str(), other.path.c_str()) == 0 && size == other.size &&
         CompareFileTime(&written, &other.written) == 0;
}

CSongData::CSongData() = default;

CSongData::~CSongData() {
  selected_.clear();
  songBuffer_.reset();
  lyricBuffer_.reset();
  ReleaseParser();
}

int CSongData::Load(const std::string& path) {
  ReleaseParser();
  ISmfParser2* made = ModuleLoader().NewSongParser();
  if (!made) return 1;
  parser_ = std::shared_ptr<ISmfParser2>(made, base::ReleaseDeleter());
  // Taken before the read: a file written meanwhile then differs from its
  // stamp and is read anew by whoever asks for it, never mistaken for this.
  if (!stamp_.Read(path.c_str())) stamp_.path.clear();
  if (parser_->Load(path.c_str(), nullptr, 0) != 0) {
    ReleaseParser();
    return 1;
  }
  AssignInstruments();
  tempo_ = static_cast<float>(parser_->GetInitialBpm());
  return 0;
}

void CSongData::ReleaseParser() {
  parser_.reset();
  stamp_.path.clear();
  fedParser_ = nullptr;
}

std::shared_ptr<ISmfParser2> CSongData::ShareLoadedSong(const char* path) const {
  if (!parser_ || stamp_.path.empty() || !path) return nullptr;
  SongFileStamp now;
  return now.Read(path) && now.SameAs(stamp_) ? parser_ : nullptr;
}

int CSongData::LoadedSongLength(const ISmfParser2* parser) {
  if (!parser || parser != fedParser_ || parser != parser_.get() || !songBuffer_) return -1;
  // The buffer compiles once for the sequencer and its own questions alike.
  return songBuffer_->Finish();
}

int CSongData::SetTrackList(const int* tracks, int count) {
  selected_.clear();
  if (!tracks) return 1;
  for (int i = 0; i < count; ++i) selected_.push_back({tracks[i], 0});
  if (parser_) AssignInstruments();
  return 0;
}

int CSongData::GetTracks(int* out, unsigned* count) const {
  if (!count) return 0;
  if (!out) {
    *count = static_cast<unsigned>(selected_.size());
    return 0;
  }
  for (unsigned i = 0; i < *count && i < selected_.size(); ++i) out[i] = selected_[i].track;
  return 0;
}

std::vector<int> CSongData::SelectedTrackNumbers() const {
  std::vector<int> tracks;
  for (const SelectedTrack& entry : selected_) tracks.push_back(entry.track);
  return tracks;
}

void CSongData::AssignInstruments() {
  const int drumTrack = parser_->GetDrumTrack();
  for (SelectedTrack& entry : selected_) {
    const int program = parser_->GetTrackProgram(entry.track);
    entry.instrument = entry.track == drumTrack ? DrumKitProgram(program) : program;
  }
}

void CSongData::MarkSelectedTracks(IBrevantPlayer* player, bool on) {
  if (!player) return;
  for (const SelectedTrack& entry : selected_) {
    int flags = 0;
    player->GetTrackFlags(entry.track, &flags);
    flags = on ? flags | kBrevantTrackSelected : flags & ~kBrevantTrackSelected;
    player->SetTrackFlags(entry.track, flags);
  }
}

IBrevantSongBuffer* CSongData::GetSongBuffer() {
  if (!songBuffer_) songBuffer_.reset(ModuleLoader().NewSongBuffer());
  return songBuffer_.get();
}

ICantomereLyricBuffer* CSongData::GetLyricBuffer() {
  if (!lyricBuffer_) lyricBuffer_.reset(ModuleLoader().NewLyricBuffer());
  return lyricBuffer_.get();
}

void CSongData::FeedPlayer(IBrevantPlayer* player) { FillAndHand(player, nullptr); }

bool CSongData::FillAndHand(IBrevantPlayer* player, ICantomereLyricBuffer* lyrics) {
  if (!player) return false;
  IBrevantSongBuffer* buffer = GetSongBuffer();
  fedParser_ = nullptr;
  if (!FillSongBuffer(parser_.get(), buffer, lyrics)) return false;
  fedParser_ = parser_.get();
  player->SetTempo(SaneBpm(tempo_));
  player->SetSongBuffer(buffer);
  return true;
}

void CSongData::Feed(IBrevantPlayer* player, ICantomereLyrics* controller) {
  ICantomereLyricBuffer* lyrics = controller && parser_ ? GetLyricBuffer() : nullptr;
  // The lyric buffer fills beside the song buffer; a fill that stopped short
  // (or never ran, without a sequencer) leaves the lyrics to be asked alone.
  if (!FillAndHand(player, lyrics) || !lyrics) {
    FeedLyrics(controller);
    return;
  }
  controller->Close();
  controller->SetLyrics(lyrics->GetLyricData());
}

void CSongData::FeedLyrics(ICantomereLyrics* controller) {
  ICantomereLyricBuffer* buffer = GetLyricBuffer();
  if (!controller || !buffer || !parser_) return;
  buffer->Clear();
  // A failed query leaves the controller with the lyrics it has.
  if (!AddMarkersAndLyrics(parser_.get(), buffer)) return;
  controller->Close();
  controller->SetLyrics(buffer->GetLyricData());
}

int CSongData::GetFirstLyricIndex() {
  ICantomereLyricBuffer* buffer = GetLyricBuffer();
  return buffer ? buffer->GetFirstLyric(1) : -1;
}

int CSongData::GetTrackNotes(int* measures, const NotePair** notes, unsigned* count, int track) {
  notes_.clear();
  *notes = nullptr;
  std::vector<SmfEvent> events;
  if (parser_ &&
      QueryTrackEvents(parser_.get(), track, kSmfKindChannel, kSmfTypeNoteOff | kSmfTypeNoteOn, events) &&
      !events.empty()) {
    notes_.reserve(events.size() + 1);
    for (const SmfEvent& event : events)
      notes_.push_back({PackShortMessage(event), static_cast<int32_t>(event.tick)});
    notes_.push_back({-1, -1});
    noteCount_ = static_cast<uint32_t>(events.size());
    *notes = notes_.data();
  }
  *measures = parser_ ? parser_->GetTrackMeasureCount(track) : 0;
  *count = noteCount_;
  return 0;
}
