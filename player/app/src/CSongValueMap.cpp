#include "app/CSongValueMap.h"

#include <new>

namespace {
CSongValueMap* g_instance = nullptr;
}

CSongValueMap* CSongValueMap::GetInstance() {
  if (g_instance == nullptr) g_instance = new (std::nothrow) CSongValueMap();
  return g_instance;
}

void CSongValueMap::Release(CSongValueMap* instance) {
  if (g_instance == instance) g_instance = nullptr;
  delete instance;
}

CSongValueMap::~CSongValueMap() { m_songs.clear(); }
