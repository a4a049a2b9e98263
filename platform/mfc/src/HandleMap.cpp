#include <afxwin.h>
#include <afxcmn.h>

#include "HandleMap.h"
#include "ThreadState.h"

CTempMapBase* AfxLookupTempMap(const void* key, CTempMapBase* (*make)()) {
  AfxThreadState& state = AfxGetThreadState();
  auto it = state.tempMaps.find(key);
  if (it != state.tempMaps.end()) return it->second;
  CTempMapBase* pMap = make();
  state.tempMaps.emplace(key, pMap);
  state.tempMapOrder.push_back(pMap);
  return pMap;
}

void AFXAPI AfxDeleteTempMaps() {
  // By index: deleting a wrapper may create the first map of another kind.
  std::vector<CTempMapBase*>& maps = AfxGetThreadState().tempMapOrder;
  for (size_t i = 0; i < maps.size(); ++i) maps[i]->DeleteTemp();
}

size_t AFXAPI AfxGetTempObjectCount() {
  size_t total = 0;
  for (CTempMapBase* map : AfxGetThreadState().tempMapOrder) total += map->Count();
  return total;
}
