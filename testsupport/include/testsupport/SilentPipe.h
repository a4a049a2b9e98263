#pragma once
// A file whose reads never answer: a named pipe whose server never writes.
// Every reader that opens it gets an instance of its own and waits until
// the pipe is destroyed.
#include <windows.h>

#include <string>

namespace testsupport {

class SilentPipe {
 public:
  // extension ends the pipe's name (".wma": taken for a media file).
  explicit SilentPipe(const char* extension = "") {
    char name[80];
    static LONG made = 0;
    wsprintfA(name, "\\\\.\\pipe\\melodara_silent_%lu_%ld%s", GetCurrentProcessId(),
              InterlockedIncrement(&made), extension);
    path_ = name;
    for (HANDLE& instance : instances_)
      instance = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                  PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
  }
  // Closing the server ends the reads still waiting on it.
  ~SilentPipe() {
    for (HANDLE instance : instances_)
      if (instance != INVALID_HANDLE_VALUE) CloseHandle(instance);
  }
  SilentPipe(const SilentPipe&) = delete;
  SilentPipe& operator=(const SilentPipe&) = delete;

  bool Made() const { return instances_[0] != INVALID_HANDLE_VALUE; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  HANDLE instances_[8];
};

}  // namespace testsupport
