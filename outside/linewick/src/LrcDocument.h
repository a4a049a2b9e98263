// The LRC reader: time-tagged lines and header tags from 8-bit text.
//
// Rules: time tags [mm:ss], [mm:ss.x], [mm:ss.xx], [mm:ss.xxx] and [mm:ss:xx];
// several on one line give one line each; [offset:+/-ms] moves every line
// (positive: lyrics earlier), a time never goes below 0; lines are sorted by
// time, equal times in file order. A line whose tags are no time tags is a
// header tag ([ti:...], and any other [name:value]) or is skipped; so is a line
// without tags. Minutes above 9999, seconds of 60 or more and digits beyond
// what an int holds refuse the tag instead of wrapping.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct LrcLine {
  int ms;
  std::string text;
};

class LrcDocument {
 public:
  // Replaces what was read before. The text is already in the system code page.
  void Parse(const char* text, size_t length);
  const std::vector<LrcLine>& Lines() const { return lines_; }
  int FindLineAt(int ms) const;
  const char* Tag(const char* name) const;

  // One time tag's content (between the brackets): ms, or -1 when it is none.
  static int ParseTimeTag(const std::string& tag);

 private:
  std::vector<LrcLine> lines_;
  std::vector<std::pair<std::string, std::string>> tags_;  // names in lower case
};

// The file's bytes as system code page text: a UTF-8 BOM, valid UTF-8 holding
// non-ASCII bytes and UTF-16 with a BOM are converted; anything else is taken
// as it stands. Defined in LrcEncoding.cpp.
std::string LrcToCodePage(const char* bytes, size_t length);
