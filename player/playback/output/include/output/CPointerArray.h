#pragma once
// A growable array of object pointers with removal driven by matchers, the
// container of the output list and of a DirectSound thread's streams. Not
// thread-safe; its owner locks around it.
#include <cstdint>
#include <vector>

#include "output/CMemBlock.h"

// Decides per index which items a RetainIf keeps.
class IArrayMatcher {
 public:
  virtual bool Match(int index) const = 0;
  // The first index in start .. start + count - 1 (downwards from start when
  // count is negative) whose Match equals wanted, or start + count for none.
  virtual int FindFirst(bool wanted, int start, int count) const;

 protected:
  ~IArrayMatcher() = default;
};

class CMatchAll : public IArrayMatcher {
 public:
  bool Match(int) const override { return true; }
  int FindFirst(bool wanted, int start, int count) const override { return wanted ? start : start + count; }
};

class CMatchNot : public IArrayMatcher {
 public:
  explicit CMatchNot(const IArrayMatcher& inner) : m_inner(inner) {}
  bool Match(int index) const override { return !m_inner.Match(index); }
  int FindFirst(bool wanted, int start, int count) const override {
    return m_inner.FindFirst(!wanted, start, count);
  }

 private:
  const IArrayMatcher& m_inner;
};

// One byte per index; indices outside the vector take the edge values.
class CMatchMask : public IArrayMatcher {
 public:
  explicit CMatchMask(std::vector<uint8_t> mask, bool below = false, bool past = false)
      : m_mask(std::move(mask)), m_below(below), m_past(past) {}
  bool Match(int index) const override {
    if (index < 0) return m_below;
    if (index >= static_cast<int>(m_mask.size())) return m_past;
    return m_mask[index] != 0;
  }

 private:
  std::vector<uint8_t> m_mask;
  bool m_below;
  bool m_past;
};

class IPointerArray {
 public:
  virtual int Count() const = 0;
  virtual void* Get(int index) const = 0;
  virtual void* RemoveAt(int index) = 0;
  virtual void RetainIf(const IArrayMatcher& matcher) = 0;
  // False (array unchanged) when memory runs out.
  virtual bool InsertAt(void* item, int index) = 0;

 protected:
  ~IPointerArray() = default;
};

// Holds the pointers without owning them.
class CPointerArray : public virtual IPointerArray {
 public:
  CPointerArray() : m_block(CMemBlock::kDoubling) {}
  virtual ~CPointerArray() = default;
  CPointerArray(const CPointerArray&) = delete;
  CPointerArray& operator=(const CPointerArray&) = delete;

  int Count() const override { return static_cast<int>(m_block.Size() / sizeof(void*)); }
  void* Get(int index) const override { return Items()[index]; }
  void* RemoveAt(int index) override;
  void RetainIf(const IArrayMatcher& matcher) override;
  bool InsertAt(void* item, int index) override;

  bool Append(void* item) { return InsertAt(item, Count()); }
  void RemoveIf(const IArrayMatcher& matcher) { RetainIf(CMatchNot(matcher)); }
  void Clear() { RemoveIf(CMatchAll()); }
  // Removes every entry equal to item.
  void Remove(const void* item);

 private:
  void** Items() const { return static_cast<void**>(m_block.Data()); }
  void SetCount(int count);

  CMemBlock m_block;
};

// Owns its items: T must have a virtual destructor if items are of derived types.
template <class T>
class COwningPointerArray : public CPointerArray {
 public:
  ~COwningPointerArray() override { DeleteAll(); }
  T* At(int index) const { return static_cast<T*>(Get(index)); }
  void DeleteAll() {
    for (int i = 0; i < Count(); ++i) delete At(i);
    Clear();
  }
  void RemoveAndDelete(int index) { delete static_cast<T*>(RemoveAt(index)); }
};
