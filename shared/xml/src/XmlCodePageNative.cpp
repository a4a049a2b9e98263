// The code page seam for native builds (the fuzz target): single-byte text
// folds like code page 1252; with XML_NATIVE_DBCS set, bytes 0x81..0xFE lead
// double-byte characters as in code page 936.
#include "XmlCodePage.h"

#include <cstdio>
#include <cstdlib>

namespace xmlcp {

namespace {

bool DoubleByte() {
  static const bool dbcs = getenv("XML_NATIVE_DBCS") != nullptr;
  return dbcs;
}

Tables MakeTables() {
  Tables t;
  for (int b = 0; b < 256; ++b) {
    t.lead[b] = DoubleByte() && b >= 0x81 && b <= 0xFE;
    int lower = b;
    if (!t.lead[b]) {
      if (b >= 'A' && b <= 'Z') lower = b + 32;
      if (b >= 0xC0 && b <= 0xDE && b != 0xD7) lower = b + 32;
    }
    t.lower[b] = static_cast<unsigned char>(lower);
  }
  return t;
}

}  // namespace

const Tables& Current() {
  static const Tables tables = MakeTables();
  return tables;
}

bool Utf16Statistics(const unsigned char* bytes, size_t count) {
  // Stand-in for the statistics: zero high bytes in the first units.
  return count >= 4 && bytes[1] == 0 && bytes[3] == 0;
}

char* Utf16ToAnsi(const uint16_t* units, size_t count, size_t* length) {
  *length = 0;
  char* out = static_cast<char*>(malloc(count * 2 + 1));
  if (!out) return nullptr;
  size_t n = 0;
  for (size_t i = 0; i < count; ++i) {
    uint16_t u = units[i];
    if (u < 0x80) {
      out[n++] = static_cast<char>(u);
    } else if (DoubleByte()) {
      out[n++] = static_cast<char>(0x81 + (u >> 8) % 0x7E);
      out[n++] = static_cast<char>(0x40 + (u & 0xFF) % 0xBF);
    } else {
      out[n++] = u < 0x100 ? static_cast<char>(u) : '?';
    }
  }
  out[n] = 0;
  *length = n;
  return out;
}

ReadStatus ReadWholeFile(const char* path, unsigned char** data, size_t* size) {
  *data = nullptr;
  *size = 0;
  FILE* f = fopen(path, "rb");
  if (!f) return ReadStatus::kCannotOpen;
  ReadStatus status = ReadStatus::kCannotOpen;
  if (fseeko(f, 0, SEEK_END) == 0) {
    off_t fileSize = ftello(f);
    if (fileSize >= 0 && fseeko(f, 0, SEEK_SET) == 0) {
      size_t n = static_cast<size_t>(fileSize);
      unsigned char* buffer = static_cast<unsigned char*>(malloc(n + 1));
      if (!buffer) {
        status = ReadStatus::kTooLarge;
      } else if (fread(buffer, 1, n, f) != n) {
        free(buffer);
      } else {
        buffer[n] = 0;
        *data = buffer;
        *size = n;
        status = ReadStatus::kOk;
      }
    }
  }
  fclose(f);
  return status;
}

}  // namespace xmlcp
