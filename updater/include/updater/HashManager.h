#pragma once
// Message digests of a text or a file as hexadecimal text. The updater checks
// each downloaded component with the MD5 of the file in upper case; the other
// algorithms come with the library.
#include <string>

class CHashManager {
 public:
  enum Algorithm { kCrc32 = 1, kGost = 2, kMd2 = 3, kMd4 = 4, kMd5 = 5, kSha1 = 6, kSha2 = 7 };
  enum Source { kSourceText = 1, kSourceFile = 2 };
  enum Format { kLower = 1, kLowerSpaced = 2, kUpper = 3, kUpperSpaced = 4 };

  void SetAlgorithm(int algorithm) { m_algorithm = algorithm; }
  // Unknown values fall back to the first format or source.
  void SetFormat(int format) { m_format = format >= 1 && format <= 4 ? format : kLower; }
  void SetSource(int source) { m_source = source == kSourceFile ? kSourceFile : kSourceText; }
  void SetFilePath(const std::string& path) { m_filePath = path; }
  void SetText(const std::string& text) { m_text = text; }
  // 256, 384 or 512; anything else is 256.
  void SetSha2Length(int bits) { m_sha2Bits = bits == 384 || bits == 512 ? bits : 256; }

  // The digest in the chosen format. A file source with an empty path, or a file
  // that cannot be opened, gives "" (CRC-32: the CRC of nothing); so does an
  // empty file for MD5 and an unknown algorithm.
  std::string GetHash();

 private:
  std::string ApplyFormat();

  std::string m_text;
  int m_algorithm = kSha1;
  std::string m_filePath;
  int m_format = kLower;
  int m_source = kSourceText;
  int m_sha2Bits = 256;
  std::string m_result;
};
