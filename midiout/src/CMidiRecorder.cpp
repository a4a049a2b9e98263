#include "CMidiRecorder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <scrivel/Scrivel.h>

#include "CMidiChannel.h"
#include "CMidiPort.h"
#include "CVoiceList.h"
#include "MidiMessage.h"
#include "base/Guarded.h"

using namespace voxgate;

namespace {

constexpr uint32_t kTicksPerQuarter = 120;
constexpr uint32_t kTicksPerWhole = 4 * kTicksPerQuarter;
constexpr uint32_t kRecordingStartTick = 960;
// The tempo meta event holds microseconds per quarter in three bytes.
constexpr uint32_t kLargestTempoValue = 0xFFFFFF;
// So fast that the ticks a SyncBeat skips take almost no playing time.
constexpr int kSkipBpm = 6000000;
constexpr size_t kLongestMarker = 255;
// Track numbers beyond this are dropped rather than written.
constexpr int32_t kLastTrackNumber = 1000;

// Ticks from `from` to `to`, 0 when `to` lies before `from`; the difference is
// taken modulo 2^32 so a grid origin moved below 0 still measures right.
uint32_t TicksBetween(uint32_t from, uint32_t to) {
  const uint32_t delta = to - from;
  return static_cast<int32_t>(delta) < 0 ? 0 : delta;
}

}  // namespace

CMidiRecorder::CMidiRecorder(CVoiceList& voices, SendFunction send, ClockFunction clock,
                             std::string songFileLibrary)
    : voices_(voices),
      send_(std::move(send)),
      now_(std::move(clock)),
      songFileName_(std::move(songFileLibrary)) {
  clockStart_ = now_();
  SetTimeSignature(4, 2);
  SetTempo(120);
}

CMidiRecorder::~CMidiRecorder() { Destroy(0); }

void CMidiRecorder::Destroy(unsigned /*flags*/) {
  // The recorder is static storage, so the free bit is never honoured.
  songFile_.Free();
  metaEvents_.clear();
  messages_.clear();
  tracks_.clear();
}

// ---- clock

uint32_t CMidiRecorder::Clock() const { return TickAt(now_()); }

uint32_t CMidiRecorder::TickAt(uint32_t now) const {
  // 64 bits: in 32 the product overflows after 298 s at 120 BPM and the
  // recorded ticks would jump back.
  const uint64_t elapsed = static_cast<uint32_t>(now - clockStart_);
  return tickBase_ + static_cast<uint32_t>(elapsed * static_cast<uint64_t>(bpm_) * kTicksPerQuarter / 60000);
}

int CMidiRecorder::SetTempo(int bpm) {
  if (bpm <= 0) return 0;  // no speed to divide by
  const uint32_t now = now_();
  tickBase_ = TickAt(now);
  clockStart_ = now;
  bpm_ = bpm;
  if (recording_) {
    const uint32_t micros = std::min<uint32_t>(60000000u / static_cast<uint32_t>(bpm), kLargestTempoValue);
    StoreMeta(bpm,
              {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
               static_cast<uint8_t>(micros)},
              tickBase_);
  }
  return 0;
}

int CMidiRecorder::SetTimeSignature(int numerator, int power) {
  numerator_ = numerator;
  power_ = power;
  // A bar length of 0 switches SyncBeat off rather than dividing by it; a
  // shift by 32 or more would be undefined.
  barLength_ = 0;
  if (numerator > 0 && power >= 0 && power < 32) {
    const int64_t length = static_cast<int64_t>(numerator) * kTicksPerWhole >> power;
    if (length <= INT32_MAX) barLength_ = static_cast<uint32_t>(length);
  }
  if (recording_) {
    StoreMeta(numerator,
              {0xFF, 0x58, 0x04, static_cast<uint8_t>(numerator), static_cast<uint8_t>(power), 0x18, 0x08},
              Clock());
  }
  return 1;
}

int CMidiRecorder::SetKeySignature(int key) {
  key_ = key;
  StoreMeta(key, {0xFF, 0x59, 0x02, static_cast<uint8_t>(key), 0x00}, Clock());
  return 0;
}

void CMidiRecorder::SyncBeat() {
  const uint32_t bar = barLength_;
  if (bar == 0) return;
  const uint32_t now = Clock();
  const uint32_t grid = lastGridTick_;
  // Distance of now from the grid, in [-bar/4, 3 bar/4).
  const int32_t offset = static_cast<int32_t>((now - grid + bar / 4) % bar - bar / 4);
  if (!firstSyncDone_) {
    gridOrigin_ += static_cast<uint32_t>(offset - static_cast<int32_t>(bar));
    firstSyncDone_ = true;
  } else if (now - grid > 2 * bar) {
    // Skip ahead to the next bar line at a tempo that plays the skipped ticks
    // in no time; the recording then shows the jump as two tempo events.
    const uint32_t jump = static_cast<uint32_t>(static_cast<int32_t>(bar) - offset);
    const int bpm = bpm_;
    SetTempo(kSkipBpm);
    tickBase_ = jump + Clock();
    clockStart_ = now_();
    SetTempo(bpm);
  }
  const uint32_t clock = Clock();
  lastGridTick_ = clock - (clock - gridOrigin_) % bar;
}

// ---- hook and recording

int CMidiRecorder::Output(HMIDIOUT port, uint32_t message) {
  if (!mute_) send_(port, message);
  if (!recording_) return 0;
  Store(port, message, Clock());
  return 1;
}

int CMidiRecorder::SetMute(int mute) {
  const int previous = mute_ ? 1 : 0;
  mute_ = mute != 0;
  return previous;
}

int CMidiRecorder::StartRecording() {
  metaEvents_.clear();
  messages_.clear();
  tracks_.clear();
  tickBase_ = kRecordingStartTick;
  clockStart_ = now_();
  recording_ = true;
  SetTempo(bpm_);
  gridOrigin_ = Clock();
  SetTimeSignature(numerator_, power_);
  SetKeySignature(key_);
  for (const CMidiChannel* voice : voices_.Voices()) {
    if (!voice->IsBound()) continue;  // a voice whose port was removed plays nowhere
    Store(voice->Port()->Handle(),
          PackMessage(static_cast<uint8_t>(0xC0 | voice->Channel()), static_cast<uint8_t>(voice->Program())),
          Clock());
  }
  firstSyncDone_ = false;
  lastGridTick_ = gridOrigin_;
  return 1;
}

int CMidiRecorder::StopRecording() {
  recording_ = false;
  // The recording ends with every held note released; the device keeps
  // sounding them, so these are kept but not sent.
  for (const CMidiChannel* voice : voices_.Voices()) {
    if (!voice->IsBound()) continue;
    for (int key = 0; key < CMidiChannel::kKeys; ++key) {
      if (voice->Velocity(key) == 0) continue;
      Store(voice->Port()->Handle(),
            PackMessage(static_cast<uint8_t>(0x80 | voice->Channel()), static_cast<uint8_t>(key), 0),
            Clock());
    }
  }
  return 1;
}

int CMidiRecorder::AddMarker(const char* text) {
  if (!recording_ || text == nullptr) return 1;
  const size_t length = std::min(std::strlen(text), kLongestMarker);
  std::vector<uint8_t> bytes{0xFF, 0x06};
  // The length is a variable-length quantity: one byte up to 127, two above.
  if (length >= 0x80) bytes.push_back(static_cast<uint8_t>(0x80 | length >> 7));
  bytes.push_back(static_cast<uint8_t>(length & 0x7F));
  bytes.insert(bytes.end(), text, text + length);
  StoreMeta(static_cast<int32_t>(length), std::move(bytes), Clock());
  return 1;
}

void CMidiRecorder::StoreMeta(int32_t parameter, std::vector<uint8_t> bytes, uint32_t tick) {
  // Out of memory: the event is lost, the recording goes on.
  base::Guarded([&] { metaEvents_.push_back(MetaEvent{parameter, std::move(bytes), tick}); });
}

void CMidiRecorder::Store(HMIDIOUT port, uint32_t message, uint32_t tick) {
  // Out of memory: the message is lost, the recording goes on.
  base::Guarded([&] { messages_.push_back(RecordedMessage{port, message, tick}); });
}

// ---- saving

void CMidiRecorder::Save(const char* path) { SaveRecording(path); }

bool CMidiRecorder::SaveRecording(const char* path) {
  if (path == nullptr || *path == '\0') return false;
  ISmfParser* song = CreateSongWriter();
  if (song == nullptr) return false;
  // A song that is missing events is not written at all: the song object
  // writes nothing to the path unless SaveAs is reached.
  const bool saved = base::Guarded(
      [&] { return WriteMetaTrack(*song) && WriteMessageTracks(*song) && song->SaveAs(path) == 0; }, false);
  song->Release();
  return saved;
}

ISmfParser* CMidiRecorder::CreateSongWriter() {
  if (!songFile_ && !songFile_.Load(songFileName_.c_str())) return nullptr;
  auto create = songFile_.Find<CreateScrivelFn>("CreateScrivel");
  if (create == nullptr) {
    songFile_.Free();
    return nullptr;
  }
  return create(1);
}

bool CMidiRecorder::WriteMetaTrack(ISmfParser& song) {
  if (song.AddTrack() != 0) return false;
  uint32_t previous = gridOrigin_;
  for (const MetaEvent& meta : metaEvents_) {
    if (song.AddEvent(0, kSmfKindMeta, static_cast<uint32_t>(meta.bytes.size()), meta.bytes.data(),
                      TicksBetween(previous, meta.tick)) != 0) {
      return false;
    }
    previous = meta.tick;
  }
  return true;
}

bool CMidiRecorder::WriteMessageTracks(ISmfParser& song) {
  tracks_.clear();
  int32_t lastNumber = 0;
  int32_t tracksMade = 1;  // the meta track
  for (const RecordedMessage& recorded : messages_) {
    const uint8_t status = StatusOf(recorded.message);
    // A file track holds channel messages only; anything else would be
    // written as three bytes the reader cannot make sense of.
    if (!IsChannelStatus(status)) continue;
    const int channel = status & 0x0F;
    auto entry = std::find_if(tracks_.begin(), tracks_.end(), [&](const TrackEntry& t) {
      return t.port == recorded.port && t.channel == channel;
    });
    if (entry == tracks_.end()) {
      tracks_.push_back(TrackEntry{recorded.port, channel, ++lastNumber, gridOrigin_});
      entry = tracks_.end() - 1;
    }
    if (entry->number < 0 || entry->number > kLastTrackNumber) continue;
    while (tracksMade <= entry->number) {
      if (song.AddTrack() != 0) return false;
      ++tracksMade;
    }
    const uint8_t bytes[3] = {status, Data1Of(recorded.message), Data2Of(recorded.message)};
    const uint8_t kind = status & 0xF0;
    const uint32_t length = (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    if (song.AddEvent(entry->number, kSmfKindChannel, length, bytes,
                      TicksBetween(entry->lastTick, recorded.tick)) != 0) {
      return false;
    }
    entry->lastTick = recorded.tick;
  }
  return true;
}
