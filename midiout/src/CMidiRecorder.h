#pragma once
// The output hook every message of the channel manager passes, and the
// recorder behind it: a clock in ticks (120 per quarter) driven by the tempo,
// the recorded short messages, the meta events, and the MIDI file writer that
// goes through Scrivel.dll's legacy song object.
//
// The device send and the millisecond clock come in from outside so tests can
// capture what would reach the device; the library wires them to
// midiOutShortMsg and GetTickCount.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <voxgate/IMidiRecorder.h>

#include "base/Library.h"

class CVoiceList;
class ISmfParser;

class CMidiRecorder : public IMidiRecorder {
 public:
  using SendFunction = std::function<void(HMIDIOUT, uint32_t)>;
  using ClockFunction = std::function<uint32_t()>;

  struct RecordedMessage {
    HMIDIOUT port;
    uint32_t message;  // status | data1 << 8 | data2 << 16
    uint32_t tick;
  };
  struct MetaEvent {
    int32_t parameter;           // the value it was made from
    std::vector<uint8_t> bytes;  // FF, type, length as a variable-length quantity, data
    uint32_t tick;
  };

  // songFileLibrary is the file loaded by name at the first Save.
  CMidiRecorder(CVoiceList& voices, SendFunction send, ClockFunction clock,
                std::string songFileLibrary = "Scrivel.dll");
  ~CMidiRecorder();
  CMidiRecorder(const CMidiRecorder&) = delete;
  CMidiRecorder& operator=(const CMidiRecorder&) = delete;

  // The output hook: 1 when the message was recorded, else 0.
  int Output(HMIDIOUT port, uint32_t message);

  int StartRecording() override;
  int StopRecording() override;
  int SetTimeSignature(int numerator, int power) override;
  int SetTempo(int bpm) override;
  int SetKeySignature(int key) override;
  void SyncBeat() override;
  void Save(const char* path) override;
  int SetMute(int mute) override;
  int AddMarker(const char* text) override;
  void Destroy(unsigned flags) override;

  // What has been kept, for inspection.
  const std::vector<MetaEvent>& MetaEvents() const { return metaEvents_; }
  const std::vector<RecordedMessage>& Messages() const { return messages_; }
  uint32_t Clock() const;
  uint32_t GridOrigin() const { return gridOrigin_; }

  // Save with its outcome: false when Scrivel.dll, its factory or the write
  // failed. The interface's Save has no result to report it through.
  bool SaveRecording(const char* path);

 protected:
  // A new legacy song object from Scrivel.dll, loaded on first need; null
  // when the library, its export or the object is missing.
  virtual ISmfParser* CreateSongWriter();

 private:
  struct TrackEntry {
    HMIDIOUT port;
    int channel;
    int32_t number;
    uint32_t lastTick;
  };

  uint32_t TickAt(uint32_t now) const;
  void StoreMeta(int32_t parameter, std::vector<uint8_t> bytes, uint32_t tick);
  void Store(HMIDIOUT port, uint32_t message, uint32_t tick);
  bool WriteMetaTrack(ISmfParser& song);
  bool WriteMessageTracks(ISmfParser& song);

  std::vector<MetaEvent> metaEvents_;
  std::vector<RecordedMessage> messages_;
  std::vector<TrackEntry> tracks_;
  bool recording_ = false;
  uint32_t tickBase_ = 0;
  uint32_t clockStart_;
  int numerator_ = 4;
  int power_ = 2;
  int bpm_ = 120;
  int key_ = 0;
  uint32_t lastGridTick_ = 0;
  uint32_t barLength_ = 480;
  bool firstSyncDone_ = false;
  uint32_t gridOrigin_ = 0;
  bool mute_ = false;
  base::Library songFile_;

  CVoiceList& voices_;
  SendFunction send_;
  ClockFunction now_;
  std::string songFileName_;
};
