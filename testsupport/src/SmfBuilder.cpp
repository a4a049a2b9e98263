#include "testsupport/SmfBuilder.h"

#include <cstdio>

namespace testsupport {

Bytes Vlq(uint32_t value) {
  Bytes out{static_cast<uint8_t>(value & 0x7F)};
  while (value >>= 7) out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
  return out;
}

Bytes Be16(uint16_t v) { return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }

Bytes Be32(uint32_t v) {
  return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
          static_cast<uint8_t>(v)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Header(uint16_t format, uint16_t trackCount, uint16_t division) {
  return Cat({{'M', 'T', 'h', 'd'}, Be32(6), Be16(format), Be16(trackCount), Be16(division)});
}

Bytes ChunkDeclaring(const char (&id)[5], uint32_t declaredLength, const Bytes& body) {
  Bytes head{static_cast<uint8_t>(id[0]), static_cast<uint8_t>(id[1]), static_cast<uint8_t>(id[2]),
             static_cast<uint8_t>(id[3])};
  return Cat({head, Be32(declaredLength), body});
}

Bytes Chunk(const char (&id)[5], const Bytes& body) {
  return ChunkDeclaring(id, static_cast<uint32_t>(body.size()), body);
}

TrackBuilder& TrackBuilder::Raw(const Bytes& bytes) {
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return *this;
}

TrackBuilder& TrackBuilder::Event(uint32_t delta, Bytes data) { return Raw(Vlq(delta)).Raw(data); }

TrackBuilder& TrackBuilder::Meta(uint32_t delta, uint8_t type, const Bytes& data) {
  return Raw(Vlq(delta)).Raw({0xFF, type}).Raw(Vlq(static_cast<uint32_t>(data.size()))).Raw(data);
}

TrackBuilder& TrackBuilder::Text(uint32_t delta, uint8_t type, const std::string& text) {
  return Meta(delta, type, Bytes(text.begin(), text.end()));
}

TrackBuilder& TrackBuilder::Tempo(uint32_t delta, uint32_t us) {
  return Meta(delta, 0x51,
              {static_cast<uint8_t>(us >> 16), static_cast<uint8_t>(us >> 8), static_cast<uint8_t>(us)});
}

TrackBuilder& TrackBuilder::TimeSig(uint32_t delta, uint8_t num, uint8_t power) {
  return Meta(delta, 0x58, {num, power, 24, 8});
}

TrackBuilder& TrackBuilder::KeySig(uint32_t delta, int8_t sharps, uint8_t minor) {
  return Meta(delta, 0x59, {static_cast<uint8_t>(sharps), minor});
}

TrackBuilder& TrackBuilder::EndOfTrack(uint32_t delta) { return Meta(delta, 0x2F, {}); }

Bytes TrackBuilder::Chunk(const char (&id)[5]) const { return testsupport::Chunk(id, body_); }

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

Bytes ReadBytes(const std::string& path) {
  Bytes out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  uint8_t buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

}  // namespace testsupport
