#include "playback/MediaKinds.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>

const MediaKindEntry kMediaKinds[] = {
    {".mp3", MediaKind::kAudio, "MP3"},   {".wma", MediaKind::kAudio, "WMA"},
    {".asf", MediaKind::kAudio, "ASF"},   {".wmv", MediaKind::kAudio, "WMV"},
    {".mid", MediaKind::kSong, "MIDI"},   {".wav", MediaKind::kAudio, nullptr},
    {nullptr, MediaKind::kNone, nullptr},
};

MediaKind MediaKindOf(const char* path) {
  if (!path) return MediaKind::kNone;
  const char* extension = ::PathFindExtensionA(path);
  for (const MediaKindEntry* entry = kMediaKinds; entry->extension; ++entry) {
    if (_stricmp(extension, entry->extension) == 0) return entry->kind;
  }
  return MediaKind::kNone;
}

std::string MediaOpenFilter() {
  std::string all, pairs;
  for (const MediaKindEntry* entry = kMediaKinds; entry->extension; ++entry) {
    if (!entry->dialogName) continue;
    const std::string pattern = std::string("*") + entry->extension;
    if (!all.empty()) all += ';';
    all += pattern;
    pairs += std::string(entry->dialogName) + "(" + pattern + ")" + '\0' + pattern + '\0';
  }
  return std::string("All Supported Media Type") + '\0' + all + '\0' + pairs + '\0';
}
