#include <afxwin.h>
#include <afxcmn.h>

#include <algorithm>

#include "HandleMap.h"

namespace {
std::vector<CTempMapBase*>& ThreadTempMaps()
{
    static thread_local std::vector<CTempMapBase*> maps;
    return maps;
}
}  // namespace

CTempMapBase::CTempMapBase() { ThreadTempMaps().push_back(this); }

CTempMapBase::~CTempMapBase()
{
    auto& maps = ThreadTempMaps();
    maps.erase(std::remove(maps.begin(), maps.end(), this), maps.end());
}

void AFXAPI AfxDeleteTempMaps()
{
    // Copy: deleting a wrapper may create the first map of another kind.
    std::vector<CTempMapBase*> maps = ThreadTempMaps();
    for (CTempMapBase* map : maps)
        map->DeleteTemp();
}

size_t AFXAPI AfxGetTempObjectCount()
{
    size_t total = 0;
    for (CTempMapBase* map : ThreadTempMaps())
        total += map->Count();
    return total;
}
