#include "SongFileIo.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "base/Handles.h"

bool ReadSongFile(const char* path, std::vector<uint8_t>& out) {
  out.clear();
  if (!path) return false;
  // Shared as fopen shares: a song still open in another program loads.
  base::ScopedHandle h(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!h.Valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h.Get(), &size) || size.QuadPart < 0) return false;
  size_t want = static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, kMaxSongFileBytes));
  out.resize(want);
  size_t done = 0;
  while (done < want) {
    DWORD got = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(want - done, 1u << 30));
    if (!ReadFile(h.Get(), out.data() + done, chunk, &got, nullptr)) return false;
    if (got == 0) break;  // the file shrank while we read it
    done += got;
  }
  out.resize(done);
  return true;
}
