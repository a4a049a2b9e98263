#include "testsupport/PlayerCopy.h"

#include <windows.h>

namespace testsupport {

bool CopyTree(const std::string& from, const std::string& to) {
  if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ok = CopyTree(from + "\\" + name, to + "\\" + name) && ok;
    else
      ok = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && ok;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ok;
}

bool CopyPlayerProgram(const std::string& out, const std::string& to) {
  const char* files[] = {"Melodara.exe", "Tunewell.dll",  "Scrivel.dll", "Score.dll",      "Voxgate.dll",
                         "Brevant.dll",  "Cantomere.dll", "fmod.dll",    "QuillixLib.dll", "DEDOZI.rod"};
  for (const char* file : files) {
    if (!CopyFileA((out + "\\" + file).c_str(), (to + "\\" + file).c_str(), FALSE)) return false;
  }
  return CopyTree(out + "\\Skins", to + "\\Skins") && CopyTree(out + "\\res", to + "\\res");
}

}  // namespace testsupport
