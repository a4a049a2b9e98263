#include "lyrics/CLyricTextCompiler.h"

#include <scrivel/Scrivel.h>

#include "base/ReleasePtr.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Lyric files are a few kilobytes; anything past this is not one.
constexpr LONGLONG kMaxLyricFileBytes = 16 * 1024 * 1024;

std::string ToAcp(const std::wstring& text, bool* ok) {
  *ok = true;
  if (text.empty()) return std::string();
  const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n <= 0 || ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                                      nullptr, nullptr) != n)
    *ok = false;
  return out;
}

// The last write time and size of a file; false when it cannot be asked.
bool FileStamp(const char* path, FILETIME* written, ULONGLONG* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  *written = data.ftLastWriteTime;
  *size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return true;
}

void AppendVlq(std::string* out, uint32_t value) {
  char buffer[5];
  int n = 0;
  buffer[n++] = static_cast<char>(value & 0x7F);
  while (value >>= 7) buffer[n++] = static_cast<char>(0x80 | (value & 0x7F));
  while (n > 0) out->push_back(buffer[--n]);
}

}  // namespace

std::string LyricFileText(const std::string& bytes) {
  std::wstring wide;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), nullptr, 0);
    if (n <= 0) return bytes.substr(3);
    wide.resize(n);
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), &wide[0], n);
  } else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    wide.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  } else {
    return bytes;
  }
  bool ok = false;
  return ToAcp(wide, &ok);
}

CLyricTextCompiler::CLyricTextCompiler() : m_library("Scrivel.dll") {
  auto createParser = m_library.Find<CreateScrivel2Fn>("CreateScrivel2");
  auto createHandler = m_library.Find<CreateScrivelHandlerFn>("CreateScrivelHandler");
  if (createParser) m_parser = createParser(1);
  if (createHandler) m_handler = createHandler(1);
}

CLyricTextCompiler::~CLyricTextCompiler() {
  if (m_parser) m_parser->Release();
  if (m_handler) m_handler->Release();
  m_parser = nullptr;
  m_handler = nullptr;
  m_library.Free();
}

int CLyricTextCompiler::ReadText(const char* text, const char* midiPath,
                                 std::vector<LyricSyllable>* syllables, std::vector<LyricMarker>* markers) {
  if (!IsBound() || !text || !syllables || !markers) return kLyricReadFailed;
  std::string normal;
  std::wstring marked;
  if (!NormalizeText(text, &normal) || !ApplyLineMarks(normal, &marked)) return kLyricReadFailed;
  m_openedPath.clear();
  // Taken before the read: a file written meanwhile differs from it and is
  // read anew for writing.
  const bool stamped = midiPath && FileStamp(midiPath, &m_openedWritten, &m_openedSize);
  if (m_handler->Open(midiPath) != 1) return kLyricReadFailed;
  if (stamped) m_openedPath = midiPath;
  m_handler->SelectTrack(1);
  return ReadLyricTokens(marked, m_handler, syllables, markers);
}

int CLyricTextCompiler::ReadTextFile(const char* textPath, const char* midiPath,
                                     std::vector<LyricSyllable>* syllables,
                                     std::vector<LyricMarker>* markers) {
  HANDLE file = ::CreateFileA(textPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kLyricReadFailed;
  LARGE_INTEGER size = {};
  std::string bytes;
  bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart <= kMaxLyricFileBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() || (::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
  }
  ::CloseHandle(file);
  if (!ok) return kLyricReadFailed;
  const std::string text = LyricFileText(bytes);
  // The text ends at its first NUL, as a C string would.
  return ReadText(text.c_str(), midiPath, syllables, markers);
}

ISmfParser2* CLyricTextCompiler::SongToWrite(const char* midiPath, bool* taken) {
  *taken = false;
  FILETIME written;
  ULONGLONG size = 0;
  if (!m_openedPath.empty() && ::lstrcmpiA(m_openedPath.c_str(), midiPath) == 0 &&
      FileStamp(midiPath, &written, &size) && size == m_openedSize &&
      ::CompareFileTime(&written, &m_openedWritten) == 0) {
    m_openedPath.clear();
    if (ISmfParser2* song = m_handler->TakeSong()) {
      *taken = true;
      return song;
    }
  }
  return m_parser->Load(midiPath, nullptr, 0) == 0 ? m_parser : nullptr;
}

int CLyricTextCompiler::WriteSong(const char* midiPath, const char* outputPath,
                                  std::vector<LyricSyllable>& syllables, std::vector<LyricMarker>& markers) {
  if (!IsBound() || !midiPath || !outputPath) return -1;
  bool taken = false;
  ISmfParser2* song = SongToWrite(midiPath, &taken);
  if (!song) return -1;
  // The song read for the syllables is written into; it goes when the write ends.
  const base::ReleasePtr<ISmfParser2> owned(taken ? song : nullptr);
  CleanSyllables(&syllables);
  bool placed = true;
  for (const LyricSyllable& s : syllables) {
    if (s.skip) continue;
    bool ok = false;
    const std::string text = ToAcp(s.text, &ok);
    if (!ok || text.size() > 0x0FFFFFFF) return -1;
    // The length is a variable-length number: one byte only below 128.
    std::string event("\xFF\x05", 2);
    AppendVlq(&event, static_cast<uint32_t>(text.size()));
    event += text;
    if (song->InsertEvent(1, kSmfKindMeta, static_cast<uint32_t>(event.size()),
                          reinterpret_cast<const uint8_t*>(event.data()), static_cast<uint32_t>(s.tick)) != 0)
      placed = false;
  }
  if (!markers.empty()) {
    std::stable_sort(markers.begin(), markers.end(),
                     [](const LyricMarker& a, const LyricMarker& b) { return a.tick < b.tick; });
    const uint16_t track = song->AddTrack(kSmfChunkMCtl);
    if (track == 0xFFFF) return -1;
    for (const LyricMarker& m : markers) {
      uint8_t event[7] = {0xFF, 0x80, 0x04};
      std::memcpy(event + 3, m.code, 4);
      if (song->AddEvent(track, kSmfKindMeta, sizeof(event), event, static_cast<uint32_t>(m.tick)) != 0)
        return -1;
    }
  }
  const int saved = song->SaveAs(outputPath);
  if (!taken) m_parser->Reset();
  if (saved != 0) return saved;
  return placed ? 0 : 2;
}

int CLyricTextCompiler::StripSong(const char* midiPath) {
  // A load test: the stripped copy the song maker never stored is not made.
  if (!IsBound() || !midiPath || m_parser->Load(midiPath, nullptr, 0) != 0) return -1;
  m_parser->Reset();
  return 0;
}

void CLyricTextCompiler::RemoveSpaces(const std::wstring& text, std::wstring* out) {
  out->clear();
  for (wchar_t c : text)
    if (c != L' ') out->push_back(c);
}
