#include "app/PlayListSearch.h"

#include <windows.h>
#include <shlwapi.h>

bool IsPlayablePath(const char* path) { return path && *path && PathFileExistsA(path); }

int FindPlayableEntry(IPlayListModel* model, int first, SearchDirection direction, PlayableTest playable) {
  if (!model || first < 0 || !playable) return -1;
  const int count = model->GetCount();
  int candidate = first;
  for (int tried = 0; tried < count; ++tried) {
    if (candidate < 0) return -1;
    if (playable(model->GetEntryPath(candidate).c_str())) return candidate;
    model->SetCurrentIndex(candidate);
    candidate = direction == SearchDirection::kToPlay ? model->GetIndexToPlay() : model->GetPrevIndex();
    if (candidate == first) return -1;
  }
  return -1;
}
