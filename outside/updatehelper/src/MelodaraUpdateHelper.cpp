// MelodaraUpdateHelper.exe "<new updater>" "<installed updater>" [/wait:<ms>]
// Replaces the installed updater with the downloaded one once the updater that
// started it has ended. It never leaves a partly written target: the new file
// is copied beside the target first and then moved over it in one step.
// Exit codes: 0 replaced, 1 bad arguments, 2 bad source (no whole Windows
// program: a download cut short, an error page), 3 the target stayed in use,
// 4 the copy beside the target failed. It starts nothing afterwards.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum ExitCode { kReplaced = 0, kBadArguments = 1, kBadSource = 2, kTimedOut = 3, kCopyFailed = 4 };

constexpr DWORD kDefaultWaitMs = 30000;
constexpr DWORD kRetryMs = 200;

uint32_t Le16(const std::vector<uint8_t>& b, uint64_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t Le32(const std::vector<uint8_t>& b, uint64_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

// A whole program, not the start of one that a download cut short: the DOS
// header, the PE headers and the section table lie within the file, and so
// do the data of every section, the symbols and the signature.
bool IsWholeProgram(const std::vector<uint8_t>& b) {
  const uint64_t size = b.size();
  if (size < 64 || b[0] != 'M' || b[1] != 'Z') return false;
  const uint64_t pe = Le32(b, 0x3C);
  if (pe + 24 > size || b[pe] != 'P' || b[pe + 1] != 'E' || b[pe + 2] != 0 || b[pe + 3] != 0) return false;
  const uint32_t sections = Le16(b, pe + 6);
  const uint32_t optionalSize = Le16(b, pe + 20);
  if (sections == 0 || optionalSize < 2 || pe + 24 + optionalSize > size) return false;
  const uint32_t magic = Le16(b, pe + 24);
  if (magic != 0x10B && magic != 0x20B) return false;
  const uint64_t table = pe + 24 + optionalSize;
  if (table + uint64_t(sections) * 40 > size) return false;
  for (uint32_t i = 0; i < sections; ++i) {
    const uint64_t row = table + uint64_t(i) * 40;
    const uint64_t rawSize = Le32(b, row + 16), rawAt = Le32(b, row + 20);
    if (rawSize > 0 && rawAt + rawSize > size) return false;
  }
  // The symbols and their string table, which the linker puts last when it
  // keeps them, and the signature, kept after everything.
  const uint64_t symbols = Le32(b, pe + 12), symbolCount = Le32(b, pe + 16);
  if (symbols != 0) {
    const uint64_t strings = symbols + symbolCount * 18;
    if (strings + 4 > size || strings + Le32(b, strings) > size) return false;
  }
  const uint64_t directories = pe + 24 + (magic == 0x20B ? 112 : 96);
  const uint32_t directoryCount = optionalSize >= (directories - pe - 24) ? Le32(b, directories - 4) : 0;
  if (directoryCount > 4 && directories + 5 * 8 <= table) {
    const uint64_t signatureAt = Le32(b, directories + 4 * 8),
                   signatureSize = Le32(b, directories + 4 * 8 + 4);
    if (signatureSize > 0 && signatureAt + signatureSize > size) return false;
  }
  return true;
}

// No updater is this large; a larger file is not read into memory.
constexpr DWORD kMaxProgramBytes = 256u << 20;

bool IsProgram(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size = {};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxProgramBytes;
  std::vector<uint8_t> bytes;
  if (ok) {
    bytes.resize(size_t(size.QuadPart));
    DWORD got = 0;
    ok = bytes.empty() ||
         (ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size());
  }
  CloseHandle(file);
  return ok && IsWholeProgram(bytes);
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
