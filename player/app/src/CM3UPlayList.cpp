#include "app/CM3UPlayList.h"

#include <windows.h>
#include <shlwapi.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/SaveFile.h"

namespace {

const char kHeader[] = "#EXTM3U";
const char kExtInf[] = "#EXTINF";

// Reads a file line by line in binary, so that a carriage return anywhere but
// before the line feed survives as it would not in text mode, and no line is
// ever split: one too long for kMaxLineLength is consumed and reported as
// overlong. The file is read in large blocks: a locked getc per character
// made reading a long play list cost more than showing it.
class CLineReader {
 public:
  enum Result { kLine, kOverlong, kEnd, kError };

  explicit CLineReader(FILE* file) : m_file(file), m_buffer(kBlock) {}

  Result Read(std::string& line) {
    line.clear();
    bool any = false;
    bool overlong = false;
    bool sawNul = false;
    for (;;) {
      const int c = Next();
      if (c == EOF) {
        if (m_failed) return kError;
        // A last line without a line feed is still a line.
        if (!any) return kEnd;
        break;
      }
      any = true;
      if (c == '\n') break;
      // A NUL ends the text of the line; the rest up to the line feed goes.
      if (c == '\0') sawNul = true;
      if (sawNul || overlong) continue;
      if (line.size() >= CM3UPlayList::kMaxLineLength) {
        overlong = true;
        line.clear();
        continue;
      }
      line.push_back(static_cast<char>(c));
    }
    if (overlong) return kOverlong;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return kLine;
  }

 private:
  static const size_t kBlock = 64 * 1024;

  int Next() {
    if (m_next == m_end) {
      if (m_failed || m_atEnd) return EOF;
      const size_t n = fread(m_buffer.data(), 1, m_buffer.size(), m_file);
      if (n < m_buffer.size()) {
        m_failed = ferror(m_file) != 0;
        m_atEnd = true;
      }
      m_next = 0;
      m_end = n;
      if (n == 0) return EOF;
    }
    return static_cast<unsigned char>(m_buffer[m_next++]);
  }

  FILE* m_file;
  std::vector<char> m_buffer;
  size_t m_next = 0;
  size_t m_end = 0;
  bool m_failed = false;
  bool m_atEnd = false;
};

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, strlen(prefix), prefix) == 0;
}

// Splits at ':' ',' CR LF, consecutive separators counting as one.
std::vector<std::string> SplitExtInf(const std::string& line) {
  std::vector<std::string> tokens;
  std::string token;
  for (char c : line) {
    if (c == ':' || c == ',' || c == '\r' || c == '\n') {
      if (!token.empty()) tokens.push_back(token);
      token.clear();
    } else {
      token.push_back(c);
    }
  }
  if (!token.empty()) tokens.push_back(token);
  return tokens;
}

// The decimal length, saturated at the ends of the 32-bit range instead of
// overflowing, 0 for no digits.
int ParseLength(const std::string& text) {
  errno = 0;
  const long long value = strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// UTF-8 text (a file that began with the UTF-8 mark) in the system code page;
// false when some character has no form there.
bool Utf8ToAnsi(std::string& text) {
  if (text.empty()) return true;
  const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
  if (wideLength <= 0) return false;
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &wide[0],
                      wideLength);
  BOOL lossy = FALSE;
  const int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &ansi[0], length, nullptr,
                      &lossy);
  if (lossy) return false;
  text.swap(ansi);
  return true;
}

// The entry's path from a path line, or false when the entry is skipped.
// Every text handed to the path functions is shorter than MAX_PATH, whose
// size their output buffers have.
bool ResolvePath(const std::string& folder, const std::string& line, std::string& path) {
  if (line.empty() || line.size() >= MAX_PATH) return false;
  if (PathIsRelativeA(line.c_str())) {
    char joined[MAX_PATH] = "";
    if (!PathCombineA(joined, folder.c_str(), line.c_str())) return false;
    char canonical[MAX_PATH] = "";
    if (!PathCanonicalizeA(canonical, joined)) return false;
    path = canonical;
    return true;
  }
  if (!PathFileExistsA(line.c_str())) return false;
  path = line;
  return true;
}

// A title or path holding a line break would end its line early and shift
// every following entry by a line.
std::string OneLine(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

bool CM3UPlayList::LoadM3U(const char* path) {
  if (!path || !*path) return false;
  std::unique_ptr<FILE, FileCloser> file(fopen(path, "rb"));
  if (!file) return false;
  m_entries.clear();

  std::string folder = path;
  if (folder.size() < MAX_PATH) {
    char buffer[MAX_PATH];
    lstrcpynA(buffer, path, MAX_PATH);
    PathRemoveFileSpecA(buffer);
    folder = buffer;
  } else {
    // Relative entries of such a list cannot be joined; they are skipped.
    folder.assign(MAX_PATH, 'x');
  }

  CLineReader reader(file.get());
  std::string line;
  CLineReader::Result result = reader.Read(line);
  if (result == CLineReader::kEnd) return true;
  if (result != CLineReader::kLine) return false;
  // UTF-16 text is not this format; its header would read as garbage anyway.
  if (line.size() >= 2 &&
      ((line[0] == '\xFF' && line[1] == '\xFE') || (line[0] == '\xFE' && line[1] == '\xFF'))) {
    return false;
  }
  bool utf8 = false;
  if (StartsWith(line, "\xEF\xBB\xBF")) {
    utf8 = true;
    line.erase(0, 3);
  }
  if (!StartsWith(line, kHeader)) return false;

  for (;;) {
    PlayListEntry entry;
    result = reader.Read(line);
    if (result == CLineReader::kEnd) return true;
    if (result == CLineReader::kError) return false;
    if (result == CLineReader::kOverlong || line.empty()) continue;

    if (StartsWith(line, kExtInf)) {
      const std::vector<std::string> tokens = SplitExtInf(line);
      if (tokens.empty()) return false;
      if (tokens.size() > 1) entry.length = ParseLength(tokens[1]);
      if (tokens.size() > 2) entry.title = tokens[2];
      result = reader.Read(line);
      // A dangling "#EXTINF" at the end adds nothing.
      if (result == CLineReader::kEnd) return true;
      if (result == CLineReader::kError) return false;
      if (result == CLineReader::kOverlong) continue;
    }
    if (utf8 && (!Utf8ToAnsi(line) || !Utf8ToAnsi(entry.title))) continue;
    if (!ResolvePath(folder, line, entry.path)) continue;
    m_entries.push_back(entry);
  }
}

bool CM3UPlayList::SaveM3U(const char* path) {
  if (!path || !*path) return false;
  // Text-mode line ends, as every other reader of these files expects.
  std::string text = std::string(kHeader) + "\r\n";
  for (const PlayListEntry& entry : m_entries) {
    text += kExtInf;
    text += ':' + std::to_string(entry.length) + ',' + OneLine(entry.title) + "\r\n";
    char relative[MAX_PATH] = "";
    const bool fits = strlen(path) < MAX_PATH && entry.path.size() < MAX_PATH;
    if (fits && PathRelativePathToA(relative, path, FILE_ATTRIBUTE_NORMAL, entry.path.c_str(),
                                    FILE_ATTRIBUTE_NORMAL)) {
      text += OneLine(relative);
    } else {
      text += OneLine(entry.path);
    }
    text += "\r\n";
  }
  return base::SaveFileReplacing(path, text.data(), text.size(), "mpl");
}
