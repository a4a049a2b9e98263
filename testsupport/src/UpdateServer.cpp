#include "testsupport/UpdateServer.h"

#include <cstdio>
#include <cstdlib>

namespace testsupport {

namespace {

std::string Variable(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

}  // namespace

std::string UpdateServerUrl() { return Variable("UPDATE_SERVER_URL"); }

std::string UpdateServerRoot() { return Variable("UPDATE_SERVER_ROOT"); }

void PutServerFile(const std::string& name, const std::string& bytes) {
  WriteWholeFile(UpdateServerRoot() + "\\" + name, bytes);
}

std::vector<std::string> ServerRequests() {
  std::string log = ReadWholeFile(Variable("UPDATE_SERVER_LOG"));
  std::vector<std::string> requests;
  size_t start = 0;
  for (;;) {
    size_t end = log.find("\n\n", start);
    if (end == std::string::npos) break;
    requests.push_back(log.substr(start, end - start + 1));
    start = end + 2;
  }
  return requests;
}

size_t RequestsFor(const std::string& path) {
  size_t count = 0;
  for (const std::string& request : ServerRequests())
    if (request.compare(0, 5 + path.size(), "GET " + path + " ") == 0) ++count;
  return count;
}

std::string PatternBytes(size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i % 256);
  return bytes;
}

std::string ReadWholeFile(const std::string& path) {
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return "";
  std::string bytes;
  char buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  fclose(file);
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && ok;
}

}  // namespace testsupport
