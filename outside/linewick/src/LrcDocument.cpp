#include "LrcDocument.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace {

constexpr int kMaxMinutes = 9999;
// Offsets beyond a day mean nothing for a song; they are held to it.
constexpr long long kMaxOffset = 24LL * 3600 * 1000;

// Digits at p..end into *value without wrapping; false when none or too many.
bool ReadNumber(const std::string& s, size_t& p, size_t maxDigits, long long* value, size_t* digits) {
  size_t start = p;
  long long v = 0;
  while (p < s.size() && isdigit(static_cast<unsigned char>(s[p]))) {
    if (p - start >= maxDigits) return false;
    v = v * 10 + (s[p] - '0');
    ++p;
  }
  *digits = p - start;
  *value = v;
  return *digits > 0;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

long long ParseOffset(const std::string& value) {
  std::string v = Trim(value);
  size_t p = 0;
  bool negative = false;
  if (p < v.size() && (v[p] == '+' || v[p] == '-')) negative = v[p++] == '-';
  long long n = 0;
  for (; p < v.size() && isdigit(static_cast<unsigned char>(v[p])); ++p) {
    n = std::min(n * 10 + (v[p] - '0'), kMaxOffset);
  }
  return negative ? -n : n;
}

}  // namespace

int LrcDocument::ParseTimeTag(const std::string& tag) {
  size_t p = 0;
  long long minutes = 0, seconds = 0, fraction = 0;
  size_t digits = 0;
  if (!ReadNumber(tag, p, 6, &minutes, &digits) || minutes > kMaxMinutes) return -1;
  if (p >= tag.size() || tag[p] != ':') return -1;
  ++p;
  if (!ReadNumber(tag, p, 2, &seconds, &digits) || seconds >= 60) return -1;
  long long ms = (minutes * 60 + seconds) * 1000;
  if (p == tag.size()) return static_cast<int>(ms);
  if (tag[p] != '.' && tag[p] != ':') return -1;
  ++p;
  if (!ReadNumber(tag, p, 3, &fraction, &digits) || p != tag.size()) return -1;
  static const int kScale[] = {0, 100, 10, 1};
  return static_cast<int>(ms + fraction * kScale[digits]);
}

void LrcDocument::Parse(const char* text, size_t length) {
  lines_.clear();
  tags_.clear();
  std::string all(text, length);
  long long offset = 0;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();

    std::vector<int> times;
    size_t p = 0;
    std::string firstTag;
    bool onlyTags = true;
    while (p < line.size() && line[p] == '[') {
      size_t close = line.find(']', p);
      if (close == std::string::npos) break;
      std::string inner = line.substr(p + 1, close - p - 1);
      int ms = ParseTimeTag(inner);
      if (ms < 0) {
        if (times.empty() && firstTag.empty()) firstTag = inner;
        onlyTags = false;
        break;
      }
      times.push_back(ms);
      p = close + 1;
    }
    if (!times.empty()) {
      std::string lyric = line.substr(p);
      for (int ms : times) lines_.push_back(LrcLine{ms, lyric});
      continue;
    }
    // A header tag fills its line: [name:value].
    size_t colon = firstTag.find(':');
    if (onlyTags || colon == std::string::npos || colon == 0 || line.back() != ']' ||
        line.size() != firstTag.size() + 2) {
      continue;
    }
    std::string name = Lower(Trim(firstTag.substr(0, colon)));
    if (name.empty() || !isalpha(static_cast<unsigned char>(name[0]))) continue;  // a broken time tag
    std::string value = Trim(firstTag.substr(colon + 1));
    if (name == "offset") offset = ParseOffset(value);
    tags_.emplace_back(name, value);
  }
  for (LrcLine& l : lines_) {
    long long t = static_cast<long long>(l.ms) - offset;
    l.ms = static_cast<int>(std::min<long long>(std::max<long long>(t, 0), INT_MAX));
  }
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const LrcLine& a, const LrcLine& b) { return a.ms < b.ms; });
}

int LrcDocument::FindLineAt(int ms) const {
  auto it =
      std::upper_bound(lines_.begin(), lines_.end(), ms, [](int t, const LrcLine& l) { return t < l.ms; });
  return static_cast<int>(it - lines_.begin()) - 1;
}

const char* LrcDocument::Tag(const char* name) const {
  if (!name) return nullptr;
  std::string key = Lower(name);
  for (const auto& tag : tags_) {
    if (tag.first == key) return tag.second.c_str();
  }
  return nullptr;
}
