#include "testsupport/Pack.h"

#include <windows.h>

#include "base/Handles.h"

namespace testsupport {

int RunPack(const std::string& arguments) {
  std::string line = "pack\\pack.exe " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  base::ScopedHandle processHandle(process.hProcess);
  base::ScopedHandle threadHandle(process.hThread);
  DWORD code = 255;
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  return int(code);
}

}  // namespace testsupport
