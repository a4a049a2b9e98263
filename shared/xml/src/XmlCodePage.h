// The few platform services the XML module needs, behind one seam so that the
// module also builds natively (for the fuzz target) with a stand-in code page.
// XmlCodePageWin32.cpp asks Windows; XmlCodePageNative.cpp behaves like code
// page 1252, or like double-byte code page 936 when XML_NATIVE_DBCS is set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xmlcp {

// Case folding and lead bytes of the system code page, read once.
struct Tables {
  unsigned char lower[256];
  bool lead[256];
};
const Tables& Current();

// The platform's statistics on whether raw bytes are UTF-16 (little-endian) text.
bool Utf16Statistics(const unsigned char* bytes, size_t count);

// UTF-16 units to the system code page, NUL-terminated, from malloc; null when
// it does not fit in memory. *length gets the byte count without the NUL.
char* Utf16ToAnsi(const uint16_t* units, size_t count, size_t* length);

enum class ReadStatus { kOk, kCannotOpen, kTooLarge };
// The whole file into a malloc'd buffer one byte longer than the file, NUL-terminated.
ReadStatus ReadWholeFile(const char* path, unsigned char** data, size_t* size);

}  // namespace xmlcp
