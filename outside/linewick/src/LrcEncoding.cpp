#include "LrcDocument.h"

#include <windows.h>

namespace {

std::string WideToCodePage(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// Strict: invalid UTF-8 answers false, so 8-bit text of the code page is kept as it is.
bool Utf8ToWide(const char* bytes, size_t length, std::wstring* wide) {
  if (length == 0) {
    wide->clear();
    return true;
  }
  int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), nullptr, 0);
  if (n <= 0) return false;
  wide->assign(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), &(*wide)[0], n);
  return true;
}

}  // namespace

std::string LrcToCodePage(const char* bytes, size_t length) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  if (length >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
    const bool bigEndian = b[0] == 0xFE;
    std::wstring wide;
    for (size_t i = 2; i + 1 < length; i += 2) {
      wide.push_back(static_cast<wchar_t>(bigEndian ? (b[i] << 8 | b[i + 1]) : (b[i + 1] << 8 | b[i])));
    }
    return WideToCodePage(wide);
  }
  std::wstring wide;
  if (length >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    if (Utf8ToWide(bytes + 3, length - 3, &wide)) return WideToCodePage(wide);
    return std::string(bytes + 3, length - 3);
  }
  bool ascii = true;
  for (size_t i = 0; i < length && ascii; ++i) ascii = b[i] < 0x80;
  if (!ascii && Utf8ToWide(bytes, length, &wide)) return WideToCodePage(wide);
  return std::string(bytes, length);
}
