// The note-ons of a recording (what Voxgate's recorder or the player's MIDI
// capture saved), read through Scrivel.dll, in time order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <scrivel/Scrivel.h>

struct RecordedNote {
  uint32_t tick;
  int channel;
  int key;
};

inline std::vector<RecordedNote> ReadRecordedNotes(const std::string& path) {
  std::vector<RecordedNote> notes;
  ISmfParser2* parser = CreateScrivel2(1);
  if (!parser) return notes;
  if (parser->Load(path.c_str(), nullptr, 0) == 0) {
    for (int track = 0; track < parser->GetTrackCount(); ++track) {
      const uint32_t count =
          parser->CountEvents(track, 0, 0xFFFFFFFFu, kSmfKindChannel, kSmfAllBits, kSmfAllBits);
      std::vector<SmfEvent> events(count);
      if (count == 0 || parser->GetEvents(track, 0, 0xFFFFFFFFu, events.data(), kSmfKindChannel, kSmfAllBits,
                                          kSmfAllBits) != 0)
        continue;
      for (const SmfEvent& e : events) {
        if ((e.data[0] & 0xF0) == 0x90 && e.length > 2 && e.data[2] > 0)
          notes.push_back({e.tick, e.data[0] & 0x0F, e.data[1]});
      }
    }
  }
  parser->Release();
  std::stable_sort(notes.begin(), notes.end(),
                   [](const RecordedNote& a, const RecordedNote& b) { return a.tick < b.tick; });
  return notes;
}
