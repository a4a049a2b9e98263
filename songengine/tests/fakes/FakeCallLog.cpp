// Test double: the shared call log of the fake outside libraries.
#define FAKECALLLOG_BUILD
#include "FakeCallLog.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {
std::vector<std::string>& Lines() {
  static std::vector<std::string> lines;
  return lines;
}
std::map<std::string, int>& Settings() {
  static std::map<std::string, int> settings;
  return settings;
}
}  // namespace

extern "C" {
void FakeLog(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Lines().push_back(text);
}
int FakeLogCount() { return static_cast<int>(Lines().size()); }
const char* FakeLogLine(int index) {
  return index >= 0 && index < FakeLogCount() ? Lines()[index].c_str() : "";
}
void FakeLogClear() { Lines().clear(); }
void FakeSet(const char* key, int value) { Settings()[key] = value; }
int FakeGet(const char* key, int fallback) {
  auto it = Settings().find(key);
  return it == Settings().end() ? fallback : it->second;
}
void FakeResetSettings() { Settings().clear(); }
}
