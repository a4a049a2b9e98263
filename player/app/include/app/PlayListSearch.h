// The one search for the next song to play, shared by the end of a song, Next
// and Previous. A list whose entries are all missing (deleted files, an
// unplugged drive, relative entries that were never checked) must end the
// search instead of cycling through the list forever on the UI thread.
#pragma once

#include "app/IPlayListModel.h"

// Whether the entry at path can be played.
typedef bool (*PlayableTest)(const char* path);

// A non-empty path naming an existing file.
bool IsPlayablePath(const char* path);

enum class SearchDirection { kToPlay, kPrevious };

// Starting from first, each candidate that fails the test becomes current
// and the next candidate is taken (GetIndexToPlay or GetPrevIndex). Gives up
// with -1 after GetCount() candidates or when a candidate repeats the first
// one; -1 also when first is -1. In random order the bound may give up before
// a playable entry is drawn.
int FindPlayableEntry(IPlayListModel* model, int first, SearchDirection direction,
                      PlayableTest playable = IsPlayablePath);
