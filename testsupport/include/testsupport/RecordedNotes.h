// What a recording holds (a song saved by Voxgate's recorder or the player's
// MIDI capture), read through Scrivel.dll: its channel messages in time
// order, and the note-ons among them. Header-only, for the test programs
// that have the song file library at hand.
#pragma once

#include <scrivel/Scrivel.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RecordedMessage {
  uint32_t tick;
  uint8_t status;
  uint8_t data1;
  uint8_t data2;  // 0 for messages of one data byte
};

inline std::vector<RecordedMessage> ReadRecordedMessages(const std::string& path) {
  std::vector<RecordedMessage> messages;
  ISmfParser2* parser = CreateScrivel2(1);
  if (!parser) return messages;
  if (parser->Load(path.c_str(), nullptr, 0) == 0) {
    for (int track = 0; track < parser->GetTrackCount(); ++track) {
      const uint32_t count =
          parser->CountEvents(track, 0, 0xFFFFFFFFu, kSmfKindChannel, kSmfAllBits, kSmfAllBits);
      std::vector<SmfEvent> events(count);
      if (count == 0 || parser->GetEvents(track, 0, 0xFFFFFFFFu, events.data(), kSmfKindChannel, kSmfAllBits,
                                          kSmfAllBits) != 0)
        continue;
      for (const SmfEvent& e : events) {
        if (e.length < 2) continue;
        messages.push_back({e.tick, e.data[0], e.data[1], e.length > 2 ? e.data[2] : uint8_t(0)});
      }
    }
  }
  parser->Release();
  std::stable_sort(messages.begin(), messages.end(),
                   [](const RecordedMessage& a, const RecordedMessage& b) { return a.tick < b.tick; });
  return messages;
}

struct RecordedNote {
  uint32_t tick;
  int channel;
  int key;
};

// The note-ons (velocity above 0) of a recording, in time order.
inline std::vector<RecordedNote> ReadRecordedNotes(const std::string& path) {
  std::vector<RecordedNote> notes;
  for (const RecordedMessage& m : ReadRecordedMessages(path))
    if ((m.status & 0xF0) == 0x90 && m.data2 > 0) notes.push_back({m.tick, m.status & 0x0F, m.data1});
  return notes;
}

}  // namespace testsupport
