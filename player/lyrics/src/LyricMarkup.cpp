#include "lyrics/LyricMarkup.h"

#include <windows.h>

#include <scrivel/ISmfParserHandler.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

bool ToWide(const std::string& text, std::wstring* out) {
  out->clear();
  if (text.empty()) return true;
  if (text.size() > INT_MAX / 2) return false;
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return false;
  out->resize(n);
  return ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &(*out)[0], n) == n;
}

bool ToAcp(const std::wstring& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  if (text.size() > INT_MAX / 4) return false;
  const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  if (n <= 0) return false;
  out->resize(n);
  return ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &(*out)[0], n, nullptr,
                               nullptr) == n;
}

bool IsCrLfAt(const std::string& s, size_t i) { return i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n'; }
bool IsCrLfAt(const std::wstring& s, size_t i) {
  return i + 1 < s.size() && s[i] == L'\r' && s[i + 1] == L'\n';
}
template <class S>
bool IsBlankLineAt(const S& s, size_t i) {
  return IsCrLfAt(s, i) && IsCrLfAt(s, i + 2);
}

// Line ends to CR LF, TAB to a space, other control characters out. Bytes
// below 0x20 are never trail bytes of a double-byte character.
std::string CleanControls(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else if (c == '\t') {
      out += ' ';
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      out += c;
    }
  }
  return out;
}

bool IsLineEnd(wchar_t c) { return c == L',' || c == 0xFF0C; }
bool IsParagraphEnd(wchar_t c) { return c == L'.' || c == 0x3002; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'\''; }
bool IsSeparator(wchar_t c) { return c == L':' || c == 0xFF1A; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The reading of stage 3: the position P and the song's answers.
class TokenReader {
 public:
  TokenReader(const std::wstring& text, ISmfParserHandler* handler, std::vector<LyricSyllable>* syllables,
              std::vector<LyricMarker>* markers)
      : m_text(text), m_handler(handler), m_syllables(syllables), m_markers(markers) {}

  int Read();

 private:
  // Fields of a mark, saturated so hostile numbers cannot wrap.
  struct Position {
    int measure = 1, beat = 1, quarters = 0;
    bool any = false;  // at least one field had a digit
  };
  static constexpr long long kMaxNumber = 1000000;

  // The k-th note after P: "before the song" (P < 0) counts a note at tick 0.
  // False past the last note, which is sticky until a position mark.
  bool NoteAfter(int k, long long* tick);
  long long CurrentTick() const { return (m_pastEnd || m_pos < 0) ? 0 : m_pos; }
  void Attach(const std::wstring& text);
  void Entry(const wchar_t* text, long long tick) { Push(text, tick); }
  void Push(const std::wstring& text, long long tick);
  void Marker(const char* code, long long tick);
  Position ParsePosition(size_t from, size_t to) const;
  long long PositionTick(const Position& p, bool exactBarLine);
  int ReadPositionMark(size_t* i);
  int ReadRangeMark(size_t* i);

  const std::wstring& m_text;
  ISmfParserHandler* m_handler;
  std::vector<LyricSyllable>* m_syllables;
  std::vector<LyricMarker>* m_markers;
  long long m_pos = -1;
  bool m_pastEnd = false;
};

long long Clamp32(long long v) { return std::max<long long>(0, std::min<long long>(v, INT_MAX)); }

bool TokenReader::NoteAfter(int k, long long* tick) {
  if (m_pastEnd || k < 1) return false;
  uint32_t found = 0;
  if (m_pos < 0) {
    // The handler searches strictly after its tick; a note at tick 0 shows
    // through its end.
    const bool atZero = m_handler->FindNoteEnd(0) != 0;
    if (atZero && k == 1) {
      *tick = 0;
      return true;
    }
    found = m_handler->FindNthNoteOnAfter(0, atZero ? k - 1 : k);
  } else {
    found = m_handler->FindNthNoteOnAfter(static_cast<uint32_t>(Clamp32(m_pos)), k);
  }
  if (found == 0) return false;
  *tick = found;
  return true;
}

void TokenReader::Push(const std::wstring& text, long long tick) {
  LyricSyllable s;
  s.text = text;
  s.tick = static_cast<int32_t>(Clamp32(tick));
  m_syllables->push_back(s);
}

void TokenReader::Attach(const std::wstring& text) {
  long long tick = 0;
  if (NoteAfter(1, &tick)) {
    m_pos = tick;
  } else {
    m_pastEnd = true;
    tick = 0;
  }
  Push(text, tick);
}

void TokenReader::Marker(const char* code, long long tick) {
  LyricMarker m;
  std::memcpy(m.code, code, 4);
  m.tick = static_cast<int32_t>(Clamp32(tick));
  m_markers->push_back(m);
}

TokenReader::Position TokenReader::ParsePosition(size_t from, size_t to) const {
  long long fields[3] = {0, 0, 0};
  bool has[3] = {false, false, false};
  int field = 0;
  for (size_t i = from; i < to; ++i) {
    const wchar_t c = m_text[i];
    if (IsSeparator(c)) {
      if (++field > 2) break;
    } else if (IsDigit(c)) {
      fields[field] = std::min(kMaxNumber, fields[field] * 10 + (c - L'0'));
      has[field] = true;
    }
  }
  Position p;
  p.any = has[0] || has[1] || has[2];
  // A measure or beat of 0 or garbage counts as the first.
  p.measure = static_cast<int>(std::max<long long>(1, fields[0]));
  p.beat = static_cast<int>(std::max<long long>(1, fields[1]));
  p.quarters = static_cast<int>(fields[2]);
  return p;
}

long long TokenReader::PositionTick(const Position& p, bool exactBarLine) {
  long long tick = m_handler->MeasureBeatToTick(p.measure - 1, p.beat - 1);
  if (exactBarLine && p.beat == 1) tick = p.measure == 1 ? 0 : tick + 10;
  if (p.quarters > 1) {
    SmfBeatInfo info = {};
    if (m_handler->GetTimeSignatureAt(p.measure - 1, &info))
      tick += static_cast<long long>(p.quarters) * (info.beatLength / 4);
  }
  return Clamp32(tick);
}

// "<b M:B:K>" — the reader stands on "<".
int TokenReader::ReadPositionMark(size_t* i) {
  const size_t close = m_text.find(L'>', *i);
  if (close == std::wstring::npos) return kLyricMarkupError;
  const Position p = ParsePosition(*i + 2, close);
  *i = close + 1;
  // "<b>" alone, which the editor inserts before the climax words, marks
  // nothing.
  if (!p.any) return kLyricReadOk;
  m_pastEnd = false;
  // Measure 1, beat 1 is before the song, so a note at tick 0 is the next one.
  m_pos = (p.measure == 1 && p.beat == 1 && p.quarters <= 1) ? -1 : PositionTick(p, false);
  return kLyricReadOk;
}

// "<rM:B:K words / M:B:K>" — the words spread evenly from start to end.
int TokenReader::ReadRangeMark(size_t* i) {
  const size_t close = m_text.find(L'>', *i);
  const size_t slash = m_text.find(L'/', *i);
  if (close == std::wstring::npos || slash == std::wstring::npos || slash > close) return kLyricMarkupError;
  size_t words = *i + 2;
  while (words < slash && (IsDigit(m_text[words]) || IsSeparator(m_text[words]))) ++words;
  const long long start = PositionTick(ParsePosition(*i + 2, words), true);
  const long long end = PositionTick(ParsePosition(slash + 1, close), true);
  if (end < start) return kLyricMarkupError;

  // The words, as free text splits them.
  std::vector<std::wstring> entries;
  for (size_t k = words; k < slash;) {
    const wchar_t c = m_text[k];
    if (c == L' ' || c == 0) {
      ++k;
    } else if (IsLetter(c)) {
      size_t e = k;
      while (e < slash && IsLetter(m_text[e])) ++e;
      if (e + 1 < slash && m_text[e] == L'-' && IsLetter(m_text[e + 1])) ++e;  // keeps its "-"
      entries.push_back(m_text.substr(k, e - k));
      k = e;
    } else if (IsLineEnd(c)) {
      entries.push_back(L",");
      ++k;
    } else if (IsParagraphEnd(c)) {
      entries.push_back(L".");
      ++k;
    } else {
      entries.push_back(std::wstring(1, c));
      ++k;
    }
  }
  *i = close + 1;
  long long steps = 0;
  for (const std::wstring& e : entries)
    if (e != L"," && e != L".") ++steps;
  if (steps == 0) return kLyricReadOk;  // only breaks: nothing to place
  const long long step = (end - start) / steps;
  long long tick = start;
  for (const std::wstring& e : entries) {
    if (e == L"," || e == L".") {
      Push(e, tick);
    } else {
      if (e != L"-") Push(e, tick);
      tick += step;
    }
  }
  Marker("WDOF", end);
  return kLyricReadOk;
}

int TokenReader::Read() {
  static const struct {
    const wchar_t* word;
    const char* code;
  } kSections[] = {
      {L"Climax Start", "CLST"},
      {L"Climax End", "CLSP"},
      {L"\x524D\x594F\x5F00\x59CB", "PRST"},
      {L"\x524D\x594F\x7ED3\x675F", "PRSP"},
      {L"\x5C3E\x594F\x5F00\x59CB", "EPST"},
      {L"\x5C3E\x594F\x7ED3\x675F", "EPSP"},
      {L"\x95F4\x594F\x5F00\x59CB", "BKST"},
      {L"\x95F4\x594F\x7ED3\x675F", "BKSP"},
  };
  const size_t n = m_text.size();
  for (size_t i = 0; i < n;) {
    const wchar_t c = m_text[i];
    if (c == L' ' || c == 0) {
      ++i;
    } else if (c == L'<' && i + 1 < n && (m_text[i + 1] == L'b' || m_text[i + 1] == L'B')) {
      const int rc = ReadPositionMark(&i);
      if (rc != kLyricReadOk) return rc;
    } else if (c == L'<' && i + 1 < n && (m_text[i + 1] == L'r' || m_text[i + 1] == L'R')) {
      const int rc = ReadRangeMark(&i);
      if (rc != kLyricReadOk) return rc;
    } else if (c == L'-') {
      size_t e = i;
      while (e < n && m_text[e] == L'-') ++e;
      long long tick = 0;
      if (NoteAfter(static_cast<int>(std::min<size_t>(e - i, INT_MAX)), &tick))
        m_pos = tick;
      else
        m_pastEnd = true;
      i = e;
    } else if (c == L'(') {
      const size_t close = m_text.find(L')', i);
      if (close == std::wstring::npos) return kLyricMarkupError;
      if (close > i + 1) Attach(m_text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (c == L'[') {
      const size_t close = m_text.find(L']', i);
      if (close == std::wstring::npos) return kLyricMarkupError;
      if (close == i + 1) {
        ++i;  // "[]": its "]" is read as a syllable
        continue;
      }
      const std::wstring word = m_text.substr(i + 1, close - i - 1);
      for (const auto& s : kSections)
        if (word == s.word) Marker(s.code, CurrentTick());
      i = close + 1;
    } else if (IsLineEnd(c)) {
      Entry(L",", CurrentTick());
      ++i;
    } else if (IsParagraphEnd(c)) {
      Entry(L".", CurrentTick());
      ++i;
    } else if (c == L'^') {
      long long end = 0;
      if (!m_pastEnd && m_pos >= 0) end = m_handler->FindNoteEnd(static_cast<uint32_t>(Clamp32(m_pos)));
      Marker("WDOF", end);
      ++i;
    } else if (IsLetter(c)) {
      size_t e = i;
      while (e < n && IsLetter(m_text[e])) ++e;
      // A "-" between two letters splits the word and stays with the first part.
      const bool split = e + 1 < n && m_text[e] == L'-' && IsLetter(m_text[e + 1]);
      if (split) ++e;
      Attach(m_text.substr(i, e - i));
      i = e;
    } else {
      Attach(std::wstring(1, c));
      ++i;
    }
  }
  return kLyricReadOk;
}

}  // namespace

bool NormalizeText(const std::string& text, std::string* out) {
  const std::string clean = CleanControls(text);
  // 1. Spaces.
  std::string spaced;
  spaced.reserve(clean.size());
  for (size_t i = 0; i < clean.size(); ++i) {
    if (clean[i] == ' ' && ((i + 1 < clean.size() && clean[i + 1] == ' ') || IsCrLfAt(clean, i + 1)))
      continue;
    spaced += clean[i];
  }
  // 2. Punctuation, on the UTF-16 form.
  std::wstring wide;
  if (!ToWide(spaced, &wide)) return false;
  for (wchar_t& c : wide)
    if (c == L';' || c == 0xFF1B || c == L'?' || c == 0xFF1F || c == L'!' || c == 0xFF01) c = L',';
  std::wstring punctuated;
  punctuated.reserve(wide.size() + 16);
  for (size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (IsLineEnd(c)) {
      const bool dropped = IsCrLfAt(wide, i + 1) ||
                           (i + 1 < wide.size() && (IsLineEnd(wide[i + 1]) || IsParagraphEnd(wide[i + 1])));
      if (!dropped) punctuated += L"\r\n";
    } else if (IsParagraphEnd(c)) {
      if (IsBlankLineAt(wide, i + 1)) continue;
      punctuated += IsCrLfAt(wide, i + 1) ? L"\r\n" : L"\r\n\r\n";
    } else {
      punctuated += c;
    }
  }
  std::string narrow;
  if (!ToAcp(punctuated, &narrow)) return false;
  // 3. Runs of blank lines become one.
  std::string lines;
  lines.reserve(narrow.size());
  for (size_t i = 0; i < narrow.size();) {
    const bool afterBlank = lines.size() >= 4 && lines.compare(lines.size() - 4, 4, "\r\n\r\n") == 0;
    if (afterBlank && IsCrLfAt(narrow, i)) {
      i += 2;
      continue;
    }
    lines += narrow[i++];
  }
  // 4. One leading and one trailing blank line go.
  if (lines.compare(0, 4, "\r\n\r\n") == 0) lines.erase(0, 4);
  if (lines.size() >= 4 && lines.compare(lines.size() - 4, 4, "\r\n\r\n") == 0) lines.erase(lines.size() - 4);
  *out = lines;
  return true;
}

bool ApplyLineMarks(const std::string& text, std::wstring* out) {
  std::wstring wide;
  if (!ToWide(text, &wide)) return false;
  std::wstring marked;
  marked.reserve(wide.size());
  for (size_t i = 0; i < wide.size();) {
    const wchar_t c = wide[i];
    if (c == L'^' && IsBlankLineAt(wide, i + 1)) {
      marked += L".^";
      i += 5;
    } else if (c == L'^' && IsCrLfAt(wide, i + 1)) {
      marked += L",^";
      i += 3;
    } else if (IsBlankLineAt(wide, i)) {
      marked += L'.';
      i += 4;
    } else if (IsCrLfAt(wide, i)) {
      marked += L',';
      i += 2;
    } else if (c == L' ' && i + 1 < wide.size() && wide[i + 1] == L' ') {
      ++i;
    } else {
      marked += c;
      ++i;
    }
  }
  *out = marked;
  return true;
}

int ReadLyricTokens(const std::wstring& text, ISmfParserHandler* handler,
                    std::vector<LyricSyllable>* syllables, std::vector<LyricMarker>* markers) {
  syllables->clear();
  markers->clear();
  if (!handler) return kLyricReadFailed;
  TokenReader reader(text, handler, syllables, markers);
  return reader.Read();
}

bool CleanSyllables(std::vector<LyricSyllable>* syllables) {
  if (syllables->empty()) return false;
  auto isBreak = [](const LyricSyllable& s) { return s.text == L"," || s.text == L"."; };
  std::vector<LyricSyllable>& list = *syllables;
  for (size_t i = 0; i < list.size() && isBreak(list[i]); ++i) list[i].skip = 1;
  for (size_t i = list.size(); i > 0 && isBreak(list[i - 1]); --i) list[i - 1].skip = 1;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].skip || !isBreak(list[i])) continue;
    if (list[i].text == L".")
      for (size_t k = i + 1; k < list.size() && isBreak(list[k]); ++k) list[k].skip = 1;
    else if (i + 1 < list.size() && isBreak(list[i + 1]))
      list[i].skip = 1;
  }
  return true;
}
