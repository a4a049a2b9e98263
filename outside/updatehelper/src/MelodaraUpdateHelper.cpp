// MelodaraUpdateHelper.exe "<new updater>" "<installed updater>" [/wait:<ms>]
// Replaces the installed updater with the downloaded one once the updater that
// started it has ended. It never leaves a partly written target: the new file
// is copied beside the target first and then moved over it in one step.
// Exit codes: 0 replaced, 1 bad arguments, 2 bad source, 3 the target stayed
// in use, 4 the copy beside the target failed. It starts nothing afterwards.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum ExitCode { kReplaced = 0, kBadArguments = 1, kBadSource = 2, kTimedOut = 3, kCopyFailed = 4 };

constexpr DWORD kDefaultWaitMs = 30000;
constexpr DWORD kRetryMs = 200;

// A program: at least the two bytes of the DOS header.
bool IsProgram(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char magic[2] = {};
  DWORD got = 0;
  bool ok = ReadFile(file, magic, 2, &got, nullptr) && got == 2 && magic[0] == 'M' && magic[1] == 'Z';
  CloseHandle(file);
  return ok;
}

int Replace(const std::string& source, const std::string& target, DWORD waitMs) {
  if (!IsProgram(source)) return kBadSource;
  const std::string staged = target + ".new";
  DWORD start = GetTickCount();
  for (;;) {
    if (CopyFileA(source.c_str(), staged.c_str(), FALSE)) {
      if (MoveFileExA(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return kReplaced;
      DeleteFileA(staged.c_str());
    } else if (GetTickCount() - start >= waitMs) {
      return kCopyFailed;
    }
    if (GetTickCount() - start >= waitMs) return kTimedOut;
    Sleep(kRetryMs);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3 || __argc > 4) return kBadArguments;
  std::string source = __argv[1], target = __argv[2];
  if (source.empty() || target.empty() || _stricmp(source.c_str(), target.c_str()) == 0) return kBadArguments;
  DWORD waitMs = kDefaultWaitMs;
  if (__argc == 4) {
    if (strncmp(__argv[3], "/wait:", 6) != 0) return kBadArguments;
    waitMs = static_cast<DWORD>(strtoul(__argv[3] + 6, nullptr, 10));
  }
  return Replace(source, target, waitMs);
}
