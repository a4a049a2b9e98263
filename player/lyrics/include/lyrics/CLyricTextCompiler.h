// Sets marked-up lyric text onto the melody (track 1) of a MIDI song and
// writes the result as a new song: a lyric event per syllable on the melody
// track and an "MCtl" track of section markers. Binds the song file library
// "Scrivel.dll" by name; one compiler per action.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/Library.h"
#include "lyrics/LyricMarkup.h"

class ISmfParser2;
class ISmfParserHandler;

// A lyric file's bytes as text in the system code page: a UTF-8 or UTF-16 LE
// file with its byte-order mark is converted, anything else kept as it is.
std::string LyricFileText(const std::string& bytes);

class CLyricTextCompiler {
 public:
  CLyricTextCompiler();
  ~CLyricTextCompiler();
  CLyricTextCompiler(const CLyricTextCompiler&) = delete;
  CLyricTextCompiler& operator=(const CLyricTextCompiler&) = delete;

  bool IsBound() const { return m_parser && m_handler; }

  // 0, or a negative LyricReadResult.
  int ReadText(const char* text, const char* midiPath, std::vector<LyricSyllable>* syllables,
               std::vector<LyricMarker>* markers);
  // A text file (a UTF-8 or UTF-16 one with its byte-order mark is
  // converted to the system code page first).
  int ReadTextFile(const char* textPath, const char* midiPath, std::vector<LyricSyllable>* syllables,
                   std::vector<LyricMarker>* markers);
  // 0 on success; -1 when the song does not load or a syllable does not
  // convert; 2 when the song was saved but lyrics could not be placed (no
  // track 1); else the save's result. Nothing is written before the save.
  int WriteSong(const char* midiPath, const char* outputPath, std::vector<LyricSyllable>& syllables,
                std::vector<LyricMarker>& markers);
  // 0 when the song loads, -1 otherwise.
  int StripSong(const char* midiPath);
  int CheckSong(const char*) { return 0; }
  static void RemoveSpaces(const std::wstring& text, std::wstring* out);

 private:
  // The song to write into for midiPath: the one ReadText's handler opened,
  // when it is that file unchanged, or else m_parser loaded anew. Null when
  // the song does not load. *taken tells that the caller releases it.
  ISmfParser2* SongToWrite(const char* midiPath, bool* taken);

  base::Library m_library;
  ISmfParser2* m_parser = nullptr;
  ISmfParserHandler* m_handler = nullptr;
  // The file the handler opened last, as it was then.
  std::string m_openedPath;
  FILETIME m_openedWritten = {};
  ULONGLONG m_openedSize = 0;
};
