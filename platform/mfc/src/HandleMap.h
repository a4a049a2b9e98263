// Temporary wrapper maps behind FromHandle. One map per wrapper class and
// thread: a wrapper borrows its handle, so freeing it only detaches the handle
// first. Every map of a thread is emptied together by AfxDeleteTempMaps, which
// the message loops call when they go idle.
#pragma once

#include <unordered_map>
#include <vector>

// A temporary wrapper only borrows its handle: it never enters a permanent
// map and never deletes what it wraps.
inline void AfxBindTemp(CGdiObject* p, HGDIOBJ h) { p->m_hObject = h; }
inline void AfxBindTemp(CDC* p, HDC h) { p->m_hDC = p->m_hAttribDC = h; }
inline void AfxBindTemp(CWnd* p, HWND h) { p->m_hWnd = h; }
inline void AfxBindTemp(CMenu* p, HMENU h) { p->m_hMenu = h; }
inline void AfxBindTemp(CImageList* p, HIMAGELIST h) { p->m_hImageList = h; }

class CTempMapBase {
 public:
  virtual ~CTempMapBase() = default;
  virtual void DeleteTemp() = 0;
  virtual size_t Count() const = 0;
};

// This thread's map for one wrapper kind (identified by key), made by make() the first time.
CTempMapBase* AfxLookupTempMap(const void* key, CTempMapBase* (*make)());

template <class TWrapper, class THandle>
class CTempMap : public CTempMapBase {
 public:
  ~CTempMap() override { DeleteTemp(); }

  // The wrapper already made for the handle, or a new one.
  TWrapper* FromHandle(THandle h) {
    if (h == nullptr) return nullptr;
    auto it = m_map.find(h);
    if (it != m_map.end()) return it->second;
    TWrapper* pObject = new TWrapper;
    AfxBindTemp(pObject, h);
    m_map.emplace(h, pObject);
    return pObject;
  }
  TWrapper* Lookup(THandle h) const {
    auto it = m_map.find(h);
    return it == m_map.end() ? nullptr : it->second;
  }
  // A handle that is gone: forget its wrapper without detaching.
  void Remove(THandle h) { m_map.erase(h); }

  void DeleteTemp() override {
    // Swap first: a wrapper's destructor may make new temporaries.
    std::unordered_map<THandle, TWrapper*> old;
    old.swap(m_map);
    for (auto& entry : old) {
      AfxBindTemp(entry.second, nullptr);
      delete entry.second;
    }
  }
  size_t Count() const override { return m_map.size(); }

  static CTempMap& ForThisThread() {
    static const char key = 0;
    return *static_cast<CTempMap*>(AfxLookupTempMap(&key, []() -> CTempMapBase* { return new CTempMap; }));
  }

 private:
  std::unordered_map<THandle, TWrapper*> m_map;
};
