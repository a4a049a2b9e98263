#include <gtest/gtest.h>

#include <vector>

#include "ScoreBuffer.h"

namespace {

ScoreNoteEvent On(int tick, int note, int velocity = 100) {
  return ScoreNoteEvent{tick, 0x90, uint8_t(note), uint8_t(velocity), 0};
}
ScoreNoteEvent Off(int tick, int note) { return ScoreNoteEvent{tick, 0x80, uint8_t(note), 0, 0}; }

struct BufferDeleter {
  void operator()(IScoreBuffer* b) const { b->Release(); }
};
using BufferPtr = std::unique_ptr<IScoreBuffer, BufferDeleter>;

BufferPtr NewBuffer(std::vector<ScoreTimeSig> sigs) {
  BufferPtr b(new CScoreBuffer());
  b->SetTimeSignatures(sigs.data(), int(sigs.size()));
  return b;
}

std::vector<const ScoreNoteNode*> NotesOf(const ScoreBar& bar) {
  std::vector<const ScoreNoteNode*> out;
  for (const ScoreNoteNode* n = bar.firstNote; n; n = n->next) out.push_back(n);
  return out;
}

TEST(ScoreBuffer, SnapsTheLastTicksOfABarToTheNextBarLine) {
  BufferPtr b = NewBuffer({{0, 4, 120}});
  std::vector<ScoreNoteEvent> ev = {On(465, 60), Off(474, 60), On(474, 62), Off(600, 62)};
  b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 3, 0);
  const ScoreTrackEntry& t = b->GetData()->tracks.at(0);
  auto bar0 = NotesOf(t.bars[0]);
  auto bar1 = NotesOf(t.bars[1]);
  ASSERT_EQ(bar0.size(), 1u);
  EXPECT_EQ(bar0[0]->offset, 470);
  EXPECT_EQ(bar0[0]->tick, 465);
  ASSERT_EQ(bar1.size(), 1u);
  EXPECT_EQ(bar1[0]->offset, 0);
  EXPECT_EQ(bar1[0]->tick, 480);
  EXPECT_EQ(bar1[0]->length, 120);
}

}  // namespace
