// The collection templates CArray and CList, and the typed-pointer wrappers.
// Out-of-range indexes are our own mistakes: they assert and, in release,
// read as a default value instead of touching memory that is not ours.
#pragma once

#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return m_items.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    if (nNewSize < 0) nNewSize = 0;
    m_items.resize(static_cast<size_t>(nNewSize));
    if (nGrowBy > 0) m_items.reserve(m_items.size() + static_cast<size_t>(nGrowBy));
  }

  void FreeExtra() { m_items.shrink_to_fit(); }
  void RemoveAll() { m_items.clear(); }

  TYPE GetAt(INT_PTR nIndex) const {
    ASSERT(IsValidIndex(nIndex));
    return IsValidIndex(nIndex) ? m_items[static_cast<size_t>(nIndex)] : TYPE();
  }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) {
    ASSERT(IsValidIndex(nIndex));
    if (IsValidIndex(nIndex)) m_items[static_cast<size_t>(nIndex)] = newElement;
  }
  TYPE& ElementAt(INT_PTR nIndex) {
    ASSERT(IsValidIndex(nIndex));
    return m_items.at(static_cast<size_t>(nIndex));
  }
  const TYPE* GetData() const { return m_items.empty() ? nullptr : m_items.data(); }
  TYPE* GetData() { return m_items.empty() ? nullptr : m_items.data(); }

  // Grows the array when the index lies beyond its end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    if (nIndex < 0) return;
    if (nIndex >= GetSize()) m_items.resize(static_cast<size_t>(nIndex) + 1);
    m_items[static_cast<size_t>(nIndex)] = newElement;
  }
  INT_PTR Add(ARG_TYPE newElement) {
    m_items.push_back(newElement);
    return GetSize() - 1;
  }
  INT_PTR Append(const CArray& src) {
    INT_PTR nOldSize = GetSize();
    m_items.insert(m_items.end(), src.m_items.begin(), src.m_items.end());
    return nOldSize;
  }
  void Copy(const CArray& src) {
    if (this != &src) m_items = src.m_items;
  }

  TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount <= 0) return;
    if (nIndex > GetSize()) m_items.resize(static_cast<size_t>(nIndex));
    TYPE copy(newElement);  // newElement may live inside this array
    m_items.insert(m_items.begin() + nIndex, static_cast<size_t>(nCount), copy);
  }
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount <= 0 || nIndex >= GetSize()) return;
    if (nCount > GetSize() - nIndex) nCount = GetSize() - nIndex;
    m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
  }

 private:
  bool IsValidIndex(INT_PTR nIndex) const { return nIndex >= 0 && nIndex < GetSize(); }

  std::vector<TYPE> m_items;
};

// A doubly linked list addressed by POSITION cookies (pointers to its nodes).
template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
  };

 public:
  CList() = default;
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() { return m_pNodeHead->data; }
  const TYPE& GetHead() const { return m_pNodeHead->data; }
  TYPE& GetTail() { return m_pNodeTail->data; }
  const TYPE& GetTail() const { return m_pNodeTail->data; }

  TYPE RemoveHead() {
    CNode* pOld = m_pNodeHead;
    TYPE value = pOld->data;
    RemoveAt(reinterpret_cast<POSITION>(pOld));
    return value;
  }
  TYPE RemoveTail() {
    CNode* pOld = m_pNodeTail;
    TYPE value = pOld->data;
    RemoveAt(reinterpret_cast<POSITION>(pOld));
    return value;
  }

  POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(GetHeadPosition(), newElement); }
  POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(GetTailPosition(), newElement); }
  void AddTail(CList* pNewList) {
    for (POSITION pos = pNewList->GetHeadPosition(); pos != nullptr;) AddTail(pNewList->GetNext(pos));
  }
  void RemoveAll() {
    while (m_pNodeHead != nullptr) {
      CNode* pNext = m_pNodeHead->pNext;
      delete m_pNodeHead;
      m_pNodeHead = pNext;
    }
    m_pNodeTail = nullptr;
    m_nCount = 0;
  }

  POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
  POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
  TYPE& GetNext(POSITION& rPosition) {
    CNode* pNode = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(pNode->pNext);
    return pNode->data;
  }
  const TYPE& GetNext(POSITION& rPosition) const {
    CNode* pNode = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(pNode->pNext);
    return pNode->data;
  }
  TYPE& GetPrev(POSITION& rPosition) {
    CNode* pNode = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
    return pNode->data;
  }
  TYPE& GetAt(POSITION position) { return Node(position)->data; }
  const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
  void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }

  void RemoveAt(POSITION position) {
    CNode* pOld = Node(position);
    (pOld->pPrev ? pOld->pPrev->pNext : m_pNodeHead) = pOld->pNext;
    (pOld->pNext ? pOld->pNext->pPrev : m_pNodeTail) = pOld->pPrev;
    delete pOld;
    --m_nCount;
  }
  POSITION InsertBefore(POSITION position, ARG_TYPE newElement) {
    CNode* pNext = Node(position);
    CNode* pNew = new CNode{pNext, pNext ? pNext->pPrev : m_pNodeTail, newElement};
    (pNew->pPrev ? pNew->pPrev->pNext : m_pNodeHead) = pNew;
    (pNext ? pNext->pPrev : m_pNodeTail) = pNew;
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNew);
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement) {
    CNode* pPrev = Node(position);
    CNode* pNew = new CNode{pPrev ? pPrev->pNext : m_pNodeHead, pPrev, newElement};
    (pNew->pNext ? pNew->pNext->pPrev : m_pNodeTail) = pNew;
    (pPrev ? pPrev->pNext : m_pNodeHead) = pNew;
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNew);
  }

  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const {
    CNode* pNode = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
    for (; pNode != nullptr; pNode = pNode->pNext) {
      if (pNode->data == searchValue) return reinterpret_cast<POSITION>(pNode);
    }
    return nullptr;
  }
  POSITION FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
    CNode* pNode = m_pNodeHead;
    while (nIndex-- > 0) pNode = pNode->pNext;
    return reinterpret_cast<POSITION>(pNode);
  }

 private:
  static CNode* Node(POSITION pos) { return reinterpret_cast<CNode*>(pos); }

  CNode* m_pNodeHead = nullptr;
  CNode* m_pNodeTail = nullptr;
  INT_PTR m_nCount = 0;
};

// Arrays and lists of pointers that hand out the element type, not void*.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
 public:
  TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
  TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
  void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
  void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
  INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
  void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1) {
    BASE_CLASS::InsertAt(nIndex, newElement, nCount);
  }
  TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
 public:
  TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
  TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
  TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
  TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
  TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
  TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
  TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
  POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
  POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
};
