#pragma once
// Reads back a Standard MIDI File that a save wrote, independently of the
// library that wrote it: header fields and, per track, each event's absolute
// tick and its bytes in file form (meta and system exclusive lengths as
// variable-length quantities, running status expanded). Any malformed byte
// makes the whole read fail, which is what a test wants to hear about.
#include <cstdint>
#include <string>
#include <vector>

namespace smfcheck {

struct TimedEvent {
  uint32_t tick;
  std::vector<uint8_t> bytes;
  bool operator==(const TimedEvent& o) const { return tick == o.tick && bytes == o.bytes; }
};

struct SmfFile {
  bool ok = false;
  std::string error;
  uint16_t format = 0;
  uint16_t declaredTracks = 0;
  uint16_t division = 0;
  std::vector<std::vector<TimedEvent>> tracks;
};

class Cursor {
 public:
  Cursor(const std::vector<uint8_t>& bytes, size_t begin, size_t end)
      : bytes_(bytes), at_(begin), end_(end) {}
  bool AtEnd() const { return at_ >= end_; }
  bool Byte(uint8_t& out) {
    if (at_ >= end_) return false;
    out = bytes_[at_++];
    return true;
  }
  bool Be(int count, uint32_t& out) {
    out = 0;
    for (uint8_t b = 0; count-- > 0;) {
      if (!Byte(b)) return false;
      out = out << 8 | b;
    }
    return true;
  }
  // A variable-length quantity of at most four bytes, copied to `raw` as read.
  bool Vlq(uint32_t& out, std::vector<uint8_t>* raw = nullptr) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b = 0;
      if (!Byte(b)) return false;
      if (raw) raw->push_back(b);
      out = out << 7 | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  bool Copy(uint32_t count, std::vector<uint8_t>& out) {
    if (count > end_ - at_) return false;
    out.insert(out.end(), bytes_.begin() + at_, bytes_.begin() + at_ + count);
    at_ += count;
    return true;
  }
  size_t At() const { return at_; }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_;
  size_t end_;
};

inline bool ReadTrack(Cursor& in, std::vector<TimedEvent>& events, std::string& error) {
  uint32_t tick = 0;
  uint8_t running = 0;
  while (!in.AtEnd()) {
    uint32_t delta = 0;
    if (!in.Vlq(delta)) return error = "bad delta", false;
    tick += delta;
    TimedEvent event{tick, {}};
    uint8_t first = 0;
    if (!in.Byte(first)) return error = "event missing", false;
    uint8_t status = first;
    if (first < 0x80) {
      if (running == 0) return error = "running status without a status", false;
      status = running;
    }
    event.bytes.push_back(status);
    if (status == 0xFF || status == 0xF0 || status == 0xF7) {
      if (status == 0xFF) {
        uint8_t type = 0;
        if (!in.Byte(type)) return error = "meta type missing", false;
        event.bytes.push_back(type);
      }
      uint32_t length = 0;
      if (!in.Vlq(length, &event.bytes) || !in.Copy(length, event.bytes)) return error = "bad length", false;
      running = 0;
    } else {
      running = status;
      if (first >= 0x80 && !in.Byte(first)) return error = "data missing", false;
      event.bytes.push_back(first);
      const uint8_t kind = status & 0xF0;
      if (kind != 0xC0 && kind != 0xD0) {
        uint8_t data2 = 0;
        if (!in.Byte(data2)) return error = "data missing", false;
        event.bytes.push_back(data2);
      }
    }
    const bool endOfTrack = event.bytes.size() >= 2 && event.bytes[0] == 0xFF && event.bytes[1] == 0x2F;
    events.push_back(std::move(event));
    if (endOfTrack) return in.AtEnd() || (error = "events after the end of track", false);
  }
  return error = "no end-of-track event", false;
}

inline SmfFile ReadSmf(const std::vector<uint8_t>& bytes) {
  SmfFile file;
  Cursor in(bytes, 0, bytes.size());
  uint32_t id = 0, length = 0, format = 0, count = 0, division = 0;
  if (!in.Be(4, id) || id != 0x4D546864 /* MThd */ || !in.Be(4, length) || length != 6 || !in.Be(2, format) ||
      !in.Be(2, count) || !in.Be(2, division)) {
    file.error = "no header";
    return file;
  }
  file.format = static_cast<uint16_t>(format);
  file.declaredTracks = static_cast<uint16_t>(count);
  file.division = static_cast<uint16_t>(division);
  while (!in.AtEnd()) {
    if (!in.Be(4, id) || id != 0x4D54726B /* MTrk */ || !in.Be(4, length) ||
        length > bytes.size() - in.At()) {
      file.error = "bad track chunk";
      return file;
    }
    Cursor track(bytes, in.At(), in.At() + length);
    file.tracks.emplace_back();
    if (!ReadTrack(track, file.tracks.back(), file.error)) return file;
    std::vector<uint8_t> skipped;
    in.Copy(length, skipped);
  }
  file.ok = file.tracks.size() == file.declaredTracks;
  if (!file.ok) file.error = "track count differs from the header";
  return file;
}

}  // namespace smfcheck
