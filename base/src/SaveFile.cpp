#include "base/SaveFile.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "base/Handles.h"

namespace base {

namespace {

bool WriteAll(HANDLE h, const void* bytes, size_t size) {
  const auto* data = static_cast<const uint8_t*>(bytes);
  size_t done = 0;
  while (done < size) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(h, data + done, chunk, &written, nullptr) || written == 0) return false;
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

bool WriteDevice(const char* path, const void* bytes, size_t size) {
  ScopedHandle h(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr));
  if (!h.Valid()) return false;
  bool ok = WriteAll(h.Get(), bytes, size);
  return h.Close() && ok;
}

}  // namespace

bool SaveFileReplacing(const char* path, const void* bytes, size_t size, const char* tempPrefix) {
  if (!path || !*path || (!bytes && size != 0)) return false;
  if (IsDevice(path)) return WriteDevice(path, bytes, size);

  char temp[MAX_PATH];
  if (!GetTempFileNameA(FolderOf(path).c_str(), tempPrefix ? tempPrefix : "mel", 0, temp)) return false;
  bool ok;
  {
    ScopedHandle h(
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ok = h.Valid() && WriteAll(h.Get(), bytes, size) && FlushFileBuffers(h.Get());
    ok = h.Close() && ok;
  }
  // Once the move has happened the old file is gone; until then it is intact.
  ok = ok && MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp);
  return ok;
}

}  // namespace base
