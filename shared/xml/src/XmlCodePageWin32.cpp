#include "XmlCodePage.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace xmlcp {

namespace {

Tables MakeTables() {
  Tables t;
  for (int b = 0; b < 256; ++b) {
    char c = static_cast<char>(b);
    t.lead[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
    // A lead byte alone is no character; it compares as it stands.
    if (b != 0 && !t.lead[b]) CharLowerBuffA(&c, 1);
    t.lower[b] = static_cast<unsigned char>(c);
  }
  return t;
}

// Files beyond this are not update descriptions; refusing them keeps every
// offset comfortably inside the int32 order entries.
constexpr unsigned long long kMaxFileSize = 0x3FFFFFFFull;

}  // namespace

const Tables& Current() {
  static const Tables tables = MakeTables();
  return tables;
}

bool Utf16Statistics(const unsigned char* bytes, size_t count) {
  return IsTextUnicode(bytes, static_cast<int>(count), nullptr) != FALSE;
}

char* Utf16ToAnsi(const uint16_t* units, size_t count, size_t* length) {
  *length = 0;
  if (count > 0x1FFFFFFF) return nullptr;
  const wchar_t* src = reinterpret_cast<const wchar_t*>(units);
  int n = static_cast<int>(count);
  // A double-byte code page needs up to two bytes a unit: ask first.
  int needed = n == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, src, n, nullptr, 0, nullptr, nullptr);
  if (n != 0 && needed <= 0) return nullptr;
  char* out = static_cast<char*>(malloc(static_cast<size_t>(needed) + 1));
  if (!out) return nullptr;
  int written = n == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, src, n, out, needed, nullptr, nullptr);
  if (written < 0) written = 0;
  out[written] = 0;
  *length = static_cast<size_t>(written);
  return out;
}

ReadStatus ReadWholeFile(const char* path, unsigned char** data, size_t* size) {
  *data = nullptr;
  *size = 0;
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return ReadStatus::kCannotOpen;
  FILE* f = fopen(path, "rb");
  if (!f) return ReadStatus::kCannotOpen;
  ReadStatus status = ReadStatus::kOk;
  long long fileSize = -1;
  if (_fseeki64(f, 0, SEEK_END) == 0) fileSize = _ftelli64(f);
  if (fileSize < 0 || _fseeki64(f, 0, SEEK_SET) != 0) {
    status = ReadStatus::kCannotOpen;
  } else if (static_cast<unsigned long long>(fileSize) > kMaxFileSize) {
    status = ReadStatus::kTooLarge;
  } else {
    size_t n = static_cast<size_t>(fileSize);
    unsigned char* buffer = static_cast<unsigned char*>(malloc(n + 1));
    if (!buffer) {
      status = ReadStatus::kTooLarge;
    } else if (fread(buffer, 1, n, f) != n) {
      free(buffer);
      status = ReadStatus::kCannotOpen;
    } else {
      buffer[n] = 0;
      *data = buffer;
      *size = n;
    }
  }
  fclose(f);
  return status;
}

}  // namespace xmlcp
