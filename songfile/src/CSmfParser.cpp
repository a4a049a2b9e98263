#include "CSmfParser.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ByteWriter.h"
#include "base/Guarded.h"
#include "SongFileIo.h"
#include "base/SaveFile.h"

namespace {

bool IsEndOfTrack(const SmfEventNode& n) {
  return n.kind == kSmfKindMeta && n.length >= 2 && n.data[1] == 0x2F;
}

// Tables of {number, value} pairs handed out by capacity.
int CopyPairs(const std::map<uint16_t, uint16_t>& from, SmfNumberPair* out, uint32_t capacity) {
  if (!out || capacity < from.size()) return 0;
  for (const auto& [number, value] : from) *out++ = SmfNumberPair{number, value};
  return 1;
}

}  // namespace

CSmfParser::~CSmfParser() { FreeSong(); }

SmfEventNode* CSmfParser::NewNode(uint32_t delta, uint32_t kind, const uint8_t* bytes, uint32_t length) {
  std::unique_ptr<uint8_t[]> copy(length ? new uint8_t[length] : nullptr);
  if (length) std::memcpy(copy.get(), bytes, length);
  SmfEventNode* node = new SmfEventNode{delta, kind, length, copy.get(), nullptr};
  copy.release();
  return node;
}

void CSmfParser::Release() { Destroy(1); }

// The destructor slot: bit 0 also frees the memory.
void CSmfParser::Destroy(unsigned flags) {
  if (flags & 1) {
    delete this;
  } else {
    this->~CSmfParser();
  }
}

void CSmfParser::FreeSong() {
  for (SmfTrackNode* t = tracks_; t;) {
    for (SmfEventNode* n = t->first; n;) {
      SmfEventNode* next = n->next;
      delete[] n->data;
      delete n;
      n = next;
    }
    SmfTrackNode* next = t->next;
    delete t;
    t = next;
  }
  tracks_ = nullptr;
  names_.clear();
  programs_.clear();
  lowestNotes_.clear();
  highestNotes_.clear();
  drumTrack_ = -1;
  format_ = 1;
  trackCount_ = 0;
  division_ = 120;
  initialBpm_ = 0;
  channelCount_ = 0;
  chunkLengths_.clear();
  timeSignatures_.Clear();
  tempos_.clear();
  keys_.clear();
  timeSignatureList_.clear();
  haveTimeSignatureList_ = false;
  measureCounts_.clear();
  maxMeasureCount_ = 0;
  lastKey_ = 0;
}

SmfTrackNode* CSmfParser::GetTrack(int index) {
  if (index < 0 || index >= trackCount_) return nullptr;
  SmfTrackNode* t = tracks_;
  for (int i = 0; t && i < index; ++i) t = t->next;
  return t;
}

SmfTrackNode* CSmfParser::AppendTrack() {
  SmfTrackNode** tail = &tracks_;
  while (*tail) tail = &(*tail)->next;
  *tail = new SmfTrackNode{0, nullptr, nullptr};
  return *tail;
}

// @name Building and writing

int CSmfParser::AddTrack() {
  return base::Guarded(
      [&] {
        static const uint8_t kEndOfTrack[3] = {0xFF, 0x2F, 0x00};
        std::unique_ptr<SmfEventNode> end(NewNode(0, kSmfKindMeta, kEndOfTrack, 3));
        SmfTrackNode* track = AppendTrack();
        track->first = end.release();
        track->eventCount = 1;
        ++trackCount_;
        return 0;
      },
      1);
}

int CSmfParser::AddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) {
  SmfTrackNode* t = GetTrack(track);
  if (!t || (length && !bytes)) return 1;  // nothing changes for a track that is not there
  return base::Guarded(
      [&] {
        SmfEventNode* node = NewNode(delta, 0, bytes, length);
        SmfEventNode** at = &t->first;
        while (*at && !IsEndOfTrack(**at)) at = &(*at)->next;
        node->next = *at;
        *at = node;
        ++t->eventCount;
        return 0;
      },
      1);
}

int CSmfParser::SaveAs(const char* path) {
  return base::Guarded(
      [&] {
        uint16_t count = 0;
        for (SmfTrackNode* t = tracks_; t; t = t->next) ++count;
        ByteWriter out;
        out.Id(SmfChunkId('M', 'T', 'h', 'd'));
        out.Be32(6);
        out.Be16(format_);
        out.Be16(count);
        out.Be16(division_);
        for (SmfTrackNode* t = tracks_; t; t = t->next) {
          const size_t lengthAt = out.BeginChunk(kSmfChunkMTrk);
          uint32_t carried = 0;  // an empty node writes nothing but keeps its time
          for (SmfEventNode* n = t->first; n; n = n->next) {
            carried += n->delta;
            if (!n->length) continue;
            out.Vlq(carried);
            out.Append(n->data, n->length);
            carried = 0;
          }
          out.EndChunk(lengthAt);
        }
        return base::SaveFileReplacing(path, out.Bytes(), "scv") ? 0 : 1;
      },
      1);
}

// @name Per-track tables

uint16_t CSmfParser::GetTrackMeasureCount(int track) {
  if (track < 0 || static_cast<size_t>(track) >= measureCounts_.size()) return 0;
  return measureCounts_[track];
}

int CSmfParser::GetTimeSignatureAt(uint16_t measure, uint8_t* out) {
  if (!out) return 1;
  out[0] = 4;
  out[1] = 2;
  const std::vector<SmfTimeSigEntry>& table = timeSignatures_.Entries();
  if (table.empty()) return 1;
  for (const SmfTimeSigEntry& e : table) {
    if (e.measure > measure) break;
    out[0] = e.numerator;
    out[1] = e.power;
  }
  return 0;
}

const std::vector<SmfTimeSigEntry>* CSmfParser::GetTimeSignatureList() {
  if (!haveTimeSignatureList_) {
    if (!base::Guarded(
            [&] {
              timeSignatureList_ = timeSignatures_.Entries();
              return true;
            },
            false))
      return nullptr;
    haveTimeSignatureList_ = true;
  }
  return &timeSignatureList_;
}

int CSmfParser::GetTrackNames(SmfTrackNameEntry* out, uint32_t capacity) {
  if (!out || capacity < names_.size()) return 0;
  for (const auto& [track, name] : names_) {
    out->track = track;
    // The record holds 260 bytes; a longer name is cut, never overflowed.
    const size_t n = std::min<size_t>(name.size(), kSmfTrackNameSize - 1);
    std::memset(out->name, 0, kSmfTrackNameSize);
    std::memcpy(out->name, name.data(), n);
    ++out;
  }
  return 1;
}

int CSmfParser::GetChannelPrograms(SmfNumberPair* out, uint32_t capacity) {
  return CopyPairs(programs_, out, capacity);
}

int CSmfParser::GetLowestNotes(SmfNumberPair* out, uint32_t capacity) {
  return CopyPairs(lowestNotes_, out, capacity);
}

int CSmfParser::GetHighestNotes(SmfNumberPair* out, uint32_t capacity) {
  return CopyPairs(highestNotes_, out, capacity);
}
