// Generic readers and writers of profile (INI) files. A null file path means
// the settings file beside the program ("<program>.ini"); every call reads or
// writes the file anew, so a value one window writes is what the next reader
// sees.
#pragma once

#include <windows.h>

#include <string>

class CProfileHelper {
 public:
  virtual ~CProfileHelper() = default;

  // Readers
  // Always replaces out: the stored text, else the default, else empty.
  // Returns the number of characters copied (at most 259).
  static int ReadProfileString(const char* section, const char* key, std::string& out,
                               const char* defaultText = nullptr, const char* file = nullptr);
  // Fills buffer from the platform's structure form (hex bytes and a
  // checksum); false, with buffer untouched, when the key is missing or the
  // value is not exactly that long or does not add up.
  static bool ReadProfileStruct(const char* section, const char* key, void* buffer, UINT size,
                                const char* file = nullptr);
  // The stored integer (leading decimal digits, optional minus sign), or the
  // default when the key is missing.
  static int ReadProfileInt(const char* section, const char* key, int defaultValue,
                            const char* file = nullptr);

  // Writers: each answers the platform's success flag.
  // Writes the value as a signed decimal ("%d").
  static bool WriteProfileInt(const char* section, const char* key, UINT value, const char* file = nullptr);
  static bool WriteProfileString(const char* section, const char* key, const char* value,
                                 const char* file = nullptr);
  // Upper-case hex of each byte in memory order, then the low byte of their sum.
  static bool WriteProfileStruct(const char* section, const char* key, const void* buffer, UINT size,
                                 const char* file = nullptr);

  // The settings file: the program folder, a backslash and the program's
  // file name with ".ini" for its extension.
  static void GetIniFilePath(std::string& out);
};

// The program folder: the main module's path less its last component (no
// trailing backslash except at a drive root). Fills at most size characters.
void GetAppFolder(char* buffer, DWORD size);
