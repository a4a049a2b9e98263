// The song maker's lyric-text markup, read in three stages: normalising the
// text (also offered alone to the editor), turning line ends into break
// marks, and reading tokens that attach syllables to the melody's notes and
// place section markers. Notes and times come from the song file library's
// handler; tests hand the reader a fake one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ISmfParserHandler;

struct LyricSyllable {
  std::wstring text;  // a syllable, or "," (line end) or "." (paragraph end)
  int32_t tick = 0;
  uint8_t skip = 0;  // set by cleaning: not written
};

struct LyricMarker {
  char code[4];  // "CLST", "WDOF", ...
  int32_t tick = 0;
};

// Results of the reading operations.
enum LyricReadResult {
  kLyricReadOk = 0,
  kLyricReadFailed = -1,  // conversion failure, unopenable song, unreadable file
  kLyricMarkupError =
      -2,  // an unclosed "(", "[" or "<" mark, or a range without "/" or ending before it starts
};

// Stage 1. Line ends become CR LF (bare LF and CR too), TAB a space, other
// control characters are dropped; then spaces, punctuation and blank lines
// are normalised. False when the text cannot be converted to or from the
// system code page.
bool NormalizeText(const std::string& text, std::string* out);

// Stage 2, on the UTF-16 form, so a double-byte character whose trail byte is
// "^" stays whole: "^" before a paragraph end becomes ".^", before a line end
// ",^"; paragraph ends become ".", line ends ","; double spaces go.
bool ApplyLineMarks(const std::string& text, std::wstring* out);

// Stage 3: the tokens, with notes and times from handler (its melody track
// already selected). Both lists are cleared first and hold what was read up
// to an error.
int ReadLyricTokens(const std::wstring& text, ISmfParserHandler* handler,
                    std::vector<LyricSyllable>* syllables, std::vector<LyricMarker>* markers);

// Cleaning before writing: leading and trailing breaks, breaks after a
// paragraph end and a line end before another break get the skip flag.
// False (nothing skipped) for an empty list.
bool CleanSyllables(std::vector<LyricSyllable>* syllables);
