#pragma once
// Builds Standard MIDI File bytes in tests, so fixtures are readable byte
// groups in the test itself rather than committed binaries.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

Bytes Vlq(uint32_t value);
Bytes Be16(uint16_t value);
Bytes Be32(uint32_t value);
Bytes Cat(std::initializer_list<Bytes> parts);

// "MThd", length 6, format, track count, division.
Bytes Header(uint16_t format, uint16_t trackCount, uint16_t division);
// A chunk whose length field is the body's size.
Bytes Chunk(const char (&id)[5], const Bytes& body);
// A chunk that declares a length other than its body's (lying or padded files).
Bytes ChunkDeclaring(const char (&id)[5], uint32_t declaredLength, const Bytes& body);

// Track bodies event by event: each call takes the delta before the event.
class TrackBuilder {
 public:
  TrackBuilder& Event(uint32_t delta, Bytes data);  // status and data as given
  TrackBuilder& Meta(uint32_t delta, uint8_t type, const Bytes& data);
  TrackBuilder& Text(uint32_t delta, uint8_t type, const std::string& text);
  TrackBuilder& Tempo(uint32_t delta, uint32_t microsPerQuarter);
  TrackBuilder& TimeSig(uint32_t delta, uint8_t num, uint8_t power);
  TrackBuilder& KeySig(uint32_t delta, int8_t sharps, uint8_t minor);
  TrackBuilder& EndOfTrack(uint32_t delta = 0);
  TrackBuilder& Raw(const Bytes& bytes);
  const Bytes& Body() const { return body_; }
  Bytes Chunk(const char (&id)[5] = "MTrk") const;

 private:
  Bytes body_;
};

// Whole files.
bool WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

}  // namespace testsupport
