#pragma once
// Helpers for the song file library's tests: songs held by a Release deleter,
// fixture files in a temporary folder, and events as comparable values.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ReleasePtr.h"
#include "scrivel/Scrivel.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

namespace songtest {

using testsupport::Bytes;

using Song = base::ReleasePtr<ISmfParser2>;
using Legacy = base::ReleasePtr<ISmfParser>;
using Handler = base::ReleasePtr<ISmfParserHandler>;

inline Song NewSong() { return Song(CreateScrivel2(1)); }

// An event as a value: tick, kind and its bytes.
struct Ev {
  uint32_t tick;
  uint32_t kind;
  Bytes bytes;
  bool operator==(const Ev& o) const { return tick == o.tick && kind == o.kind && bytes == o.bytes; }
};
std::ostream& operator<<(std::ostream& os, const Ev& e);

// Every event of a track that passes the masks, via CountEvents and GetEvents.
std::vector<Ev> Events(ISmfParser2& song, int track, uint32_t kindMask = kSmfAllBits,
                       uint32_t typeMask = kSmfAllBits, uint32_t subTypeMask = kSmfAllBits);
// The same without end-of-track events.
std::vector<Ev> EventsWithoutEnd(ISmfParser2& song, int track);

std::string TrackName(ISmfParser2& song, int track);
std::vector<SmfTimeSigEntry> TimeSignatures(ISmfParser2& song);

// A file holding bytes in a temporary folder.
class SongFile {
 public:
  explicit SongFile(const Bytes& bytes, const std::string& name = "song.mid");
  const char* Path() const { return path_.c_str(); }
  const testsupport::TempDir& Dir() const { return dir_; }

 private:
  testsupport::TempDir dir_;
  std::string path_;
};

// Loads bytes into a new song; result receives the code of Load.
Song LoadBytes(const Bytes& bytes, int* result = nullptr);

// Songs that touch most of what the reader handles: a format-0 song with song
// lists, a name, running status across a meta event, drums and system
// exclusive; and a format-1 song at division 480 with a long meta event and a
// control track.
std::vector<Bytes> SampleSongs();

// The body of the index-th chunk of a file (after its 8-byte head).
Bytes ChunkBody(const Bytes& file, size_t index);

}  // namespace songtest
