#include "output/CPointerArray.h"

#include <cstring>

int IArrayMatcher::FindFirst(bool wanted, int start, int count) const {
  int step = count < 0 ? -1 : 1;
  for (int index = start; index != start + count; index += step) {
    if (Match(index) == wanted) return index;
  }
  return start + count;
}

void CPointerArray::SetCount(int count) {
  m_block.ResizeMemBlock(static_cast<size_t>(count) * sizeof(void*));
}

bool CPointerArray::InsertAt(void* item, int index) {
  int count = Count();
  if (index < 0 || index > count) return false;
  // Resizing may fail and empty the block, so grow a copy first.
  std::vector<void*> keep(Items(), Items() + count);
  if (m_block.ResizeMemBlock(static_cast<size_t>(count + 1) * sizeof(void*)) == nullptr) {
    if (m_block.ResizeMemBlock(keep.size() * sizeof(void*)) != nullptr && !keep.empty()) {
      std::memcpy(Items(), keep.data(), keep.size() * sizeof(void*));
    }
    return false;
  }
  void** items = Items();
  std::memmove(items + index + 1, items + index, static_cast<size_t>(count - index) * sizeof(void*));
  items[index] = item;
  return true;
}

void* CPointerArray::RemoveAt(int index) {
  int count = Count();
  void** items = Items();
  void* item = items[index];
  std::memmove(items + index, items + index + 1, static_cast<size_t>(count - index - 1) * sizeof(void*));
  SetCount(count - 1);
  return item;
}

void CPointerArray::RetainIf(const IArrayMatcher& matcher) {
  int n = Count();
  int first = matcher.FindFirst(false, 0, n);
  if (first == n) return;
  void** items = Items();
  int next = matcher.FindFirst(true, first + 1, n - first - 1);
  while (next < n) {
    items[first++] = items[next];
    next = matcher.FindFirst(true, next + 1, n - next - 1);
  }
  SetCount(first);
}

void CPointerArray::Remove(const void* item) {
  std::vector<uint8_t> mask(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) mask[i] = Get(i) == item ? 1 : 0;
  RemoveIf(CMatchMask(std::move(mask)));
}
