#include "CSongEngine.h"

#include <mmsystem.h>

#include <climits>
#include <cstdint>
#include <vector>

#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>
#include <scrivel/Scrivel.h>
#include <voxgate/Voxgate.h>

#include "CModuleLoader.h"
#include "CScoreHost.h"
#include "CSongData.h"
#include "MidiOutApi.h"
#include "base/Guarded.h"
#include "ScoreFacets.h"
#include "SongFacets.h"

MidiOutApi& MidiOut() {
  static MidiOutApi api = {&midiOutOpen, &midiOutClose};
  return api;
}

CSongEngine::CSongEngine() : songData_(std::make_unique<CSongData>()) { ModuleLoader().AddEngine(); }

CSongEngine::~CSongEngine() {
  CModuleLoader& loader = ModuleLoader();
  const bool last = loader.RemoveEngine();
  // An engine the shared libraries do not know leaves another engine's
  // playback and lyrics alone.
  const bool bound = last || loader.BoundEngine() == this;
  if (bound) loader.SetBoundEngine(nullptr);
  // The last engine's controller is released with the libraries below.
  ICantomereLyrics* lyrics = loader.CachedCantomere();
  if (lyrics && bound && !last) lyrics->SetEngine(nullptr);
  if (IBrevantPlayer* player = loader.CachedBrevant()) {
    // The sequencer may still be playing: once these return it calls nothing
    // of ours again, so the rest can go in peace.
    if (bound) {
      player->Stop();
      player->SetEventCallback(nullptr, nullptr);
    }
    // Its voices go before the port they are bound to. While another engine
    // plays on, the channel manager unbinds the voices of the removed port.
    if (last) player->SetOutput(nullptr);
    if (IBrevantClock* clock = player->GetClock()) clock->RemoveTimer(&countIn_);
  }
  CloseMidiPort();
  // Every part holds objects of the outside libraries, so all go before the
  // libraries are unloaded; the score host reads the song data, so it goes first.
  trackMixer_.reset();
  scoreFacet_.reset();
  scoreHost_.reset();
  // The song information outlives the song data; a song it shares stays its own.
  if (songInfo_) songInfo_->ForgetLoadedSongs();
  songData_.reset();
  if (msgWnd_) {
    DrainQueued(WM_SONG_EVENT);
    DrainQueued(WM_SONG_END);
    msgWnd_->Destroy();
    msgWnd_.reset();
  }
  songInfo_.reset();
  if (last) loader.Unload();
}

// @name Binding

int CSongEngine::Init(HWND owner) {
  return base::Guarded(
      [&] {
        CModuleLoader& loader = ModuleLoader();
        // The window first, on this thread: the sequencer's first event may come
        // the moment the callback is registered.
        if (!msgWnd_) {
          msgWnd_ = std::make_unique<CMsgWnd>();
          msgWnd_->SetSink(this);
          msgWnd_->Create(nullptr);
          eventWindow_ = msgWnd_->GetHwnd();
          countIn_.SetTarget(msgWnd_->GetHwnd());
        }
        IBrevantPlayer* player = loader.GetBrevant();
        loader.SetBoundEngine(this);
        if (player) player->SetEventCallback(&CSongEngine::OnPlayEvent, this);
        if (ICantomereLyrics* lyrics = loader.GetCantomere()) lyrics->SetEngine(this);
        OpenMidiOut();
        IBrevantClock* clock = player ? player->GetClock() : nullptr;
        return clock ? clock->AddTimer(&countIn_) : 1;
      },
      1);
}

void CSongEngine::Release() { delete this; }

int CSongEngine::SetListener(ISongEngineListener* listener) {
  listener_ = listener;
  return 0;
}

int CSongEngine::OpenMidiOut() {
  if (midiOut_) return 1;
  HMIDIOUT handle = nullptr;
  if (MidiOut().open(&handle, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return 0;
  midiOut_ = handle;
  if (IChannelManager* manager = ModuleLoader().GetVoxgate()) manager->AddPort(handle);
  return 1;
}

int CSongEngine::CloseMidiPort() {
  if (!midiOut_) return 0;
  if (IChannelManager* manager = ModuleLoader().GetVoxgate()) manager->RemovePort(midiOut_);
  MidiOut().close(midiOut_);
  midiOut_ = nullptr;
  return 1;
}

int CSongEngine::CloseMidiOut(bool close) {
  CModuleLoader& loader = ModuleLoader();
  IBrevantPlayer* player = loader.GetBrevant();
  if (close) {
    // The sequencer lets go of its voices before their port disappears.
    const int result = player ? player->SetOutput(nullptr) : 1;
    CloseMidiPort();
    return result;
  }
  OpenMidiOut();
  return player ? player->SetOutput(loader.GetVoxgate()) : 1;
}

// @name Song

int CSongEngine::Open(const char* path) {
  IBrevantPlayer* player = ModuleLoader().GetBrevant();
  if (player) player->Stop();
  // Highlights still queued belong to the old song.
  DrainQueued(WM_SONG_EVENT);
  if (!path) return 1;
  return base::Guarded(
      [&] {
        if (songData_->Load(path) != 0) return 1;
        songData_->Feed(player, ModuleLoader().GetCantomere());
        return 0;
      },
      1);
}

int CSongEngine::Close() {
  return base::Guarded(
      [&] {
        if (scoreHost_) scoreHost_->ClearScore();
        songData_->ReleaseParser();
        if (IBrevantSongBuffer* buffer = songData_->GetSongBuffer()) buffer->Clear();
        if (IBrevantPlayer* player = ModuleLoader().GetBrevant()) player->CloseSong();
        ICantomereLyrics* lyrics = ModuleLoader().GetCantomere();
        return lyrics ? lyrics->Close() : 1;
      },
      1);
}

int CSongEngine::SetTracks(const int* tracks, int count) {
  return base::Guarded(
      [&] {
        const int result = songData_->SetTrackList(tracks, count);
        songData_->MarkSelectedTracks(ModuleLoader().GetBrevant(), true);
        const std::vector<int> selected = songData_->SelectedTrackNumbers();
        Host()->Fill(selected.data(), static_cast<int>(selected.size()));
        return result;
      },
      1);
}

int CSongEngine::GetTracks(int* out, unsigned* count) {
  return base::Guarded([&] { return songData_->GetTracks(out, count); }, 1);
}

int CSongEngine::Play(int) {
  countIn_.Clear();
  const int index = songData_->GetFirstLyricIndex();
  // A song without lyrics, or whose first lyric would come before time 0
  // under a negative delay, gets no count-in.
  const int time = index == -1 ? -1 : GetEventTime(index);
  if (time < 0) {
    countIn_.Set(0, 0, 0);
  } else {
    countIn_.Set(4, 1000, static_cast<uint32_t>(time));
  }
  if (IBrevantPlayer* player = ModuleLoader().GetBrevant()) player->Play();
  return 0;
}

int CSongEngine::Stop(int) {
  if (IBrevantPlayer* player = ModuleLoader().GetBrevant()) player->Stop();
  DrainQueued(WM_SONG_EVENT);
  return 0;
}

int CSongEngine::Seek(int position) {
  if (IBrevantPlayer* player = ModuleLoader().GetBrevant()) player->Seek(position);
  return 0;
}

int CSongEngine::SetDelayTime(int delay) {
  if (IBrevantPlayer* player = ModuleLoader().GetBrevant()) player->SetDelayTime(delay);
  return 0;
}

int CSongEngine::SyncTime(int time) {
  // The audio thread must not load libraries behind the UI thread's back.
  IBrevantPlayer* player = ModuleLoader().CachedBrevant();
  return player ? player->SyncTime(time) : 1;
}

int CSongEngine::GetTagTime(uint32_t tag) {
  IBrevantSongBuffer* buffer = songData_->GetSongBuffer();
  const int index = buffer ? buffer->FindTag(tag) : -1;
  return index == -1 ? -1 : GetEventTime(index);
}

int CSongEngine::GetPlayerState(int) {
  IBrevantPlayer* player = ModuleLoader().GetBrevant();
  return player ? player->GetState() : 1;
}

int CSongEngine::GetEventTime(int index) {
  IBrevantPlayer* player = ModuleLoader().GetBrevant();
  IBrevantSongBuffer* buffer = songData_->GetSongBuffer();
  if (!buffer) return -1;
  const int time = buffer->GetEventTime(index);
  if (time < 0) return -1;
  // The sequencer caps a time at the largest int; a delay on top of such a
  // time must not wrap it round to before the song.
  const int64_t sum = int64_t{player ? player->GetTimeOffset() : 0} + time;
  return sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
}

int CSongEngine::GetBeatsPerBar() {
  ISmfParser2* parser = songData_->GetParser();
  if (!parser) return 0;
  uint8_t signature[2] = {};
  parser->GetFirstTimeSignature(signature);
  return signature[0];
}

int CSongEngine::Rewind() {
  return base::Guarded(
      [&] {
        if (scoreHost_) scoreHost_->Rewind();
        ICantomereLyrics* lyrics = ModuleLoader().GetCantomere();
        return lyrics ? lyrics->Rewind(1) : 1;
      },
      1);
}

// @name Score

// Throws when the host cannot be made: callers are inside a guard.
CScoreHost* CSongEngine::Host() {
  if (!scoreHost_) scoreHost_ = std::make_unique<CScoreHost>(songData_.get());
  return scoreHost_.get();
}

int CSongEngine::CreateScore(HWND views) {
  return base::Guarded([&] { return Host()->CreateScore(views); }, 1);
}

int CSongEngine::DestroyScore() {
  if (scoreHost_) scoreHost_->ReleaseAll();
  scoreHost_.reset();
  return 0;
}

HWND CSongEngine::SetScoreWindow(HWND window) {
  return base::Guarded([&] { return Host()->SetScoreWindow(window); }, static_cast<HWND>(nullptr));
}

int CSongEngine::DrawScore(HDC dc) {
  return base::Guarded([&] { return Host()->DrawScore(dc); }, 1);
}

int CSongEngine::SetScoreRect(const RECT* rect) {
  return base::Guarded([&] { return Host()->SetScoreRect(rect); }, 1);
}

CScoreViewPair* CSongEngine::CreateScoreViewPair() {
  return base::Guarded(
      [&]() -> CScoreViewPair* {
        CScoreHost* host = Host();
        return new CScoreViewPairImpl(host->GetViewOptions(1), host->GetViewOptions(2));
      },
      static_cast<CScoreViewPair*>(nullptr));
}

// @name Facets

CScoreFacet* CSongEngine::GetScoreFacet() {
  return base::Guarded(
      [&]() -> CScoreFacet* {
        if (!scoreFacet_) scoreFacet_ = std::make_unique<CScoreFacetImpl>(&scoreHost_);
        return scoreFacet_.get();
      },
      static_cast<CScoreFacet*>(nullptr));
}

CSongInfo* CSongEngine::GetSongInfo() {
  return base::Guarded(
      [&]() -> CSongInfo* {
        if (!songInfo_) {
          // The parser is the facet's from the moment it is made.
          base::ReleasePtr<ISmfParser2> parser(CreateScrivel2(1));
          songInfo_.reset(new CSongInfoImpl(parser.get(), songData_.get()));
          parser.release();
        }
        return songInfo_.get();
      },
      static_cast<CSongInfo*>(nullptr));
}

CTrackMixer* CSongEngine::GetTrackMixer() {
  return base::Guarded(
      [&]() -> CTrackMixer* {
        if (!trackMixer_) trackMixer_.reset(new CTrackMixerImpl(ModuleLoader().GetBrevant()));
        return trackMixer_.get();
      },
      static_cast<CTrackMixer*>(nullptr));
}

ICantomereLyrics* CSongEngine::GetLyrics() { return ModuleLoader().GetCantomere(); }
