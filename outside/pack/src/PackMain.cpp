// pack.exe <audio path> <output folder>: appends the song beside an audio
// file (<audio>.mid) and its song information (<audio>.ini, section
// SETTING) to a copy of the audio, written as <output folder>\<audio name>.
// An old song block in the audio is replaced, never stacked. The output is
// written to a temporary file in the output folder and moved into place, so
// an output folder equal to the audio's own folder never damages the input.
// Exit code 0 on success; otherwise a message on the error stream and:
// 1 wrong arguments, 2 unreadable audio, 3 missing song, 4 missing song
// information, 5 output not written, 6 song information that cannot be stored
// as written (an OffSetTime that is no whole number of milliseconds in 32
// bits, a value too long to read). Nothing is ever stored changed.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/SaveFile.h"
#include "quillix/SongBlock.h"

namespace {

// Song files and audio files beyond this are not what a song maker makes.
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 31;

bool ReadWhole(const std::string& path, std::vector<uint8_t>* bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes->clear();
  uint8_t piece[65536];
  size_t got;
  bool ok = true;
  while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) {
    bytes->insert(bytes->end(), piece, piece + got);
    if (bytes->size() > kMaxFileBytes) {
      ok = false;
      break;
    }
  }
  ok = ok && !std::ferror(file);
  std::fclose(file);
  return ok;
}

std::string WithExtension(const std::string& path, const char* extension) {
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
  return path.substr(0, dot) + extension;
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 2];
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full) : path;
}

// Values beyond this are not what a song maker writes.
constexpr DWORD kMaxValueBytes = 1u << 24;

// The whole value, trimmed (the song maker writes "Key = value"); false when
// it is longer than kMaxValueBytes. The profile functions cut a value to the
// buffer in silence, so the buffer grows until the value fits with room over.
bool Setting(const std::string& ini, const char* key, std::string* out) {
  std::vector<char> value(4096);
  for (;;) {
    DWORD got = GetPrivateProfileStringA("SETTING", key, "", value.data(), DWORD(value.size()), ini.c_str());
    if (got + 1 < value.size()) {
      value.resize(got);
      break;
    }
    if (value.size() > kMaxValueBytes) return false;
    value.assign(value.size() * 2, 0);
  }
  std::string text(value.begin(), value.end());
  size_t first = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t\r");
  *out = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  return true;
}

// OffSetTime: a whole number of milliseconds that fits the 32-bit chunk, or
// nothing (0). Anything else would be stored as another number.
bool OffsetSetting(const std::string& ini, int32_t* offset) {
  std::string text;
  if (!Setting(ini, "OffSetTime", &text)) return false;
  *offset = 0;
  if (text.empty()) return true;
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != 0 || value < INT32_MIN || value > INT32_MAX) return false;
  *offset = int32_t(value);
  return true;
}

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "pack: %s\n", message.c_str());
  return code;
}

int Pack(int argc, char** argv) {
  if (argc != 3) return Fail(1, "usage: pack.exe <audio path> <output folder>");
  std::string audioPath = FullPath(argv[1]);
  std::string folder = argv[2];
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  DWORD attributes = GetFileAttributesA(folder.c_str());
  if (folder.empty() || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Fail(5, "the output folder does not exist: " + folder);

  std::vector<uint8_t> audio, song;
  if (!ReadWhole(audioPath, &audio) || audio.empty())
    return Fail(2, "cannot read the audio file " + audioPath);
  std::string songPath = WithExtension(audioPath, ".mid");
  if (!ReadWhole(songPath, &song) || song.empty()) return Fail(3, "cannot read the song " + songPath);
  std::string iniPath = WithExtension(audioPath, ".ini");
  if (GetFileAttributesA(iniPath.c_str()) == INVALID_FILE_ATTRIBUTES)
    return Fail(4, "no song information file " + iniPath);

  // Re-packing replaces the old block.
  quillix::SongBlockLayout old;
  if (quillix::ReadSongBlockLayout(audio.data(), audio.size(), &old)) audio.resize(size_t(old.audioEnd));

  int32_t offset = 0;
  if (!OffsetSetting(iniPath, &offset))
    return Fail(6, "OffSetTime in " + iniPath + " is no whole number from -2147483648 to 2147483647");
  std::vector<quillix::SongChunkData> chunks;
  chunks.push_back({quillix::kTagSong, song});
  std::vector<uint8_t> offsetBytes(4);
  for (int i = 0; i < 4; ++i) offsetBytes[i] = uint8_t(uint32_t(offset) >> (8 * i));
  chunks.push_back({quillix::kTagOffset, offsetBytes});
  const std::pair<uint32_t, const char*> texts[] = {{quillix::kTagTitle, "SongTitle"},
                                                    {quillix::kTagSinger, "Singer"},
                                                    {quillix::kTagLyricist, "Lyricer"},
                                                    {quillix::kTagComposer, "Composier"},
                                                    {quillix::kTagAlbum, "AlbumTitle"}};
  for (const auto& text : texts) {
    std::string value;
    if (!Setting(iniPath, text.second, &value))
      return Fail(6, std::string(text.second) + " in " + iniPath + " is too long to store");
    if (!value.empty()) chunks.push_back({text.first, std::vector<uint8_t>(value.begin(), value.end())});
  }
  std::vector<uint8_t> block = quillix::BuildSongBlock(chunks);
  audio.insert(audio.end(), block.begin(), block.end());

  size_t slash = audioPath.find_last_of("\\/");
  std::string outPath = folder + "\\" + audioPath.substr(slash == std::string::npos ? 0 : slash + 1);
  if (!base::SaveFileReplacing(outPath.c_str(), audio, "pak")) return Fail(5, "cannot write " + outPath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Pack(argc, argv);
  } catch (...) {
    return Fail(5, "out of memory");
  }
}
