#include "SongFileIo.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "ScopedHandle.h"

namespace {

bool WriteAll(HANDLE h, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 0 || path[slash - 1] == ':') return path.substr(0, slash + 1);  // a root keeps its slash
  return path.substr(0, slash);
}

// A target that exists but is no disk file (a console, NUL, a device): there
// is nothing to replace atomically, and a temporary file beside a device would
// end up renamed over the device itself.
bool IsDevice(const char* path) {
  ScopedHandle h(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
  return h.Valid() && GetFileType(h.Get()) != FILE_TYPE_DISK;
}

bool WriteDevice(const char* path, const std::vector<uint8_t>& bytes) {
  ScopedHandle h(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr));
  if (!h.Valid()) return false;
  bool ok = WriteAll(h.Get(), bytes);
  return h.Close() && ok;
}

}  // namespace

bool ReadSongFile(const char* path, std::vector<uint8_t>& out) {
  out.clear();
  if (!path) return false;
  // Shared as fopen shares: a song still open in another program loads.
  ScopedHandle h(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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

bool SaveFileReplacing(const char* path, const std::vector<uint8_t>& bytes) {
  if (!path || !*path) return false;
  if (IsDevice(path)) return WriteDevice(path, bytes);

  char temp[MAX_PATH];
  if (!GetTempFileNameA(FolderOf(path).c_str(), "scv", 0, temp)) return false;
  bool ok;
  {
    ScopedHandle h(
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ok = h.Valid() && WriteAll(h.Get(), bytes) && FlushFileBuffers(h.Get());
    ok = h.Close() && ok;
  }
  // Once the move has happened the old file is gone; until then it is intact.
  ok = ok && MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp);
  return ok;
}
