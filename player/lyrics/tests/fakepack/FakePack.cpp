// Stands in for the pack program in tests: appends its arguments, one per
// line, to "fake_pack.log" beside itself, writes the output file (the audio
// file's name in the output folder) unless told to fail, and exits with the
// code in FAKE_PACK_EXIT (0 when unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  char self[MAX_PATH];
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string log = self;
  log.erase(log.find_last_of('\\') + 1);
  log += "fake_pack.log";
  if (FILE* f = std::fopen(log.c_str(), "ab")) {
    for (int i = 1; i < argc; ++i) std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
  }
  const char* code = std::getenv("FAKE_PACK_EXIT");
  const int exitCode = code ? std::atoi(code) : 0;
  if (exitCode == 0 && argc > 2) {
    std::string audio = argv[1];
    const std::string name = audio.substr(audio.find_last_of("\\/") + 1);
    if (FILE* f = std::fopen((std::string(argv[2]) + "\\" + name).c_str(), "wb")) {
      std::fputs("packed", f);
      std::fclose(f);
    }
  }
  return exitCode;
}
