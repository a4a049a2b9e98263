#pragma once
// The local update server a SERVER test runs beside (testsupport/updateserver):
// its address, its root folder (filled by the test while it runs) and its
// request log.
#include <string>
#include <vector>

namespace testsupport {

// "http://127.0.0.1:<port>"; empty when the test was not started beside the server.
std::string UpdateServerUrl();
// The server's root folder as a Windows path, without a trailing backslash.
std::string UpdateServerRoot();
// Writes a file the server then serves as /<name>.
void PutServerFile(const std::string& name, const std::string& bytes);
// Every logged request, each its request line followed by its header lines.
std::vector<std::string> ServerRequests();
// How many logged requests asked for path (by their request lines). The server
// logs a request when it arrives, before it answers.
size_t RequestsFor(const std::string& path);

// Byte i is i % 256, as the server's generated bodies are.
std::string PatternBytes(size_t length);

// The whole file, or "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace testsupport
