// The output chain's lock, memory block, ring buffer and pointer array.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "output/CCriticalSection.h"
#include "output/CMemBlock.h"
#include "output/CPointerArray.h"
#include "output/CRingBuffer.h"

namespace {

TEST(CriticalSection, CountsNestedEntries) {
  CCriticalSection lock;
  EXPECT_EQ(1, lock.Enter());
  EXPECT_EQ(2, lock.Enter());
  {
    CScopedLock scoped(&lock);
    EXPECT_EQ(3, lock.Count());
  }
  EXPECT_EQ(1, lock.Leave());
  EXPECT_EQ(0, lock.Leave());
}

TEST(MemBlock, CapacityFollowsTheGrowthMode) {
  struct Case {
    CMemBlock::GrowMode mode;
    size_t first, then, capacity;
  } cases[] = {
      {CMemBlock::kDoubling, 8, 3, 4},   {CMemBlock::kDoubling, 8, 9, 16}, {CMemBlock::kDoubling, 8, 4, 8},
      {CMemBlock::kGrowOnly, 16, 3, 16}, {CMemBlock::kExact, 8, 3, 3},     {CMemBlock::kDoubling, 8, 0, 0},
  };
  for (const Case& c : cases) {
    CMemBlock block(c.mode);
    ASSERT_NE(nullptr, block.Init(c.first));
    block.ResizeMemBlock(c.then);
    EXPECT_EQ(c.capacity, block.Capacity()) << c.mode << " " << c.first << "->" << c.then;
    EXPECT_EQ(c.then, block.Size());
  }
}

TEST(MemBlock, GrowOnlyKeepsItsMemoryAtSizeZeroAndKeepsContents) {
  CMemBlock block(CMemBlock::kGrowOnly);
  auto* data = static_cast<char*>(block.Init(16));
  data[0] = 'x';
  EXPECT_EQ(data, block.ResizeMemBlock(0));
  EXPECT_EQ(16u, block.Capacity());
  EXPECT_EQ(0u, block.Size());

  CMemBlock grown(CMemBlock::kDoubling);
  auto* bytes = static_cast<char*>(grown.Init(3));
  bytes[0] = 'a', bytes[1] = 'b', bytes[2] = 'c';
  bytes = static_cast<char*>(grown.ResizeMemBlock(1000));
  EXPECT_EQ('c', bytes[2]);
}

TEST(MemBlock, AFailedResizeLeavesAnEmptyBlockAndNoSize) {
  CMemBlock block(CMemBlock::kExact);
  ASSERT_NE(nullptr, block.Init(16));
  EXPECT_EQ(nullptr, block.ResizeMemBlock(SIZE_MAX / 2));
  EXPECT_EQ(0u, block.Size());
  EXPECT_EQ(0u, block.Capacity());
  EXPECT_EQ(nullptr, block.Data());

  CRingBuffer ring;
  EXPECT_FALSE(ring.Init(SIZE_MAX / 2));
  EXPECT_EQ(0u, ring.FreeSpace());
  const char byte = 1;
  EXPECT_FALSE(ring.Write(&byte, 1));
}

TEST(RingBuffer, RefusesWhatDoesNotFitAndWrapsAtItsEnd) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Init(8));
  const unsigned char in[] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(ring.Write(in, 4));
  EXPECT_FALSE(ring.Write(in, 5));
  EXPECT_EQ(4u, ring.Fill());

  unsigned char out[8] = {};
  EXPECT_EQ(3u, ring.Read(out, 3));    // read offset 3
  ASSERT_TRUE(ring.Write(in + 4, 4));  // write offset 4 -> wraps to 0
  EXPECT_EQ(5u, ring.Fill());
  EXPECT_EQ(3u, ring.FreeSpace());
  EXPECT_EQ(5u, ring.Read(out, 8));
  EXPECT_EQ((std::vector<unsigned char>{4, 5, 6, 7, 8}), std::vector<unsigned char>(out, out + 5));
  EXPECT_EQ(0u, ring.Read(out, 8));
  ASSERT_TRUE(ring.Write(in, 8));
  EXPECT_EQ(0u, ring.FreeSpace());
  ring.Reset();
  EXPECT_EQ(8u, ring.FreeSpace());
}

struct Counted {
  explicit Counted(int* deletes) : deletes(deletes) {}
  virtual ~Counted() { ++*deletes; }
  int* deletes;
};

std::vector<void*> Contents(const CPointerArray& array) {
  std::vector<void*> items;
  for (int i = 0; i < array.Count(); ++i) items.push_back(array.Get(i));
  return items;
}

TEST(PointerArray, InsertsRemovesAndRetainsInOrder) {
  int values[5];
  void* p[5];
  for (int i = 0; i < 5; ++i) p[i] = &values[i];
  CPointerArray array;
  for (int i : {0, 1, 3, 4}) ASSERT_TRUE(array.Append(p[i]));
  ASSERT_TRUE(array.InsertAt(p[2], 2));
  EXPECT_FALSE(array.InsertAt(p[2], 9));
  EXPECT_EQ((std::vector<void*>{p[0], p[1], p[2], p[3], p[4]}), Contents(array));

  array.RetainIf(CMatchMask({0, 1, 0, 1, 0}));
  EXPECT_EQ((std::vector<void*>{p[1], p[3]}), Contents(array));
  EXPECT_EQ(p[1], array.RemoveAt(0));
  EXPECT_EQ((std::vector<void*>{p[3]}), Contents(array));

  // Removing a pointer from the plain array drops every equal entry.
  for (int i : {0, 3, 1, 3}) array.Append(p[i]);
  array.Remove(p[3]);
  EXPECT_EQ((std::vector<void*>{p[0], p[1]}), Contents(array));
  array.Clear();
  EXPECT_EQ(0, array.Count());
}

TEST(PointerArray, MatchersFindTheFirstWantedIndexBothWays) {
  CMatchMask mask({0, 1, 1, 0, 1});
  EXPECT_EQ(1, mask.FindFirst(true, 0, 5));
  EXPECT_EQ(3, mask.FindFirst(false, 1, 4));
  EXPECT_EQ(5, mask.FindFirst(false, 4, 1));
  EXPECT_EQ(2, mask.FindFirst(true, 3, -3));  // downwards from 3
  EXPECT_EQ(0, mask.FindFirst(false, 2, -3));
  EXPECT_EQ(-1, mask.FindFirst(true, 0, -1));
  CMatchAll all;
  CMatchNot none(all);
  EXPECT_EQ(2, all.FindFirst(true, 2, 3));
  EXPECT_EQ(5, all.FindFirst(false, 2, 3));
  EXPECT_EQ(5, none.FindFirst(true, 2, 3));
  EXPECT_FALSE(none.Match(0));
}

TEST(PointerArray, TheOwningArrayDeletesEachItemOnce) {
  int deletes = 0;
  {
    COwningPointerArray<Counted> array;
    for (int i = 0; i < 3; ++i) array.Append(new Counted(&deletes));
    array.RemoveAndDelete(1);
    EXPECT_EQ(1, deletes);
    EXPECT_EQ(2, array.Count());
    array.DeleteAll();
    EXPECT_EQ(3, deletes);
    EXPECT_EQ(0, array.Count());
    array.Append(new Counted(&deletes));
  }
  EXPECT_EQ(4, deletes);  // the destructor deletes what is left
}

}  // namespace
