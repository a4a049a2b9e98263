// The player's command line: plain arguments before the first flag are media
// files; from the first flag on, the arguments are the framework's.
#pragma once

#include <afxwin.h>

#include <string>
#include <vector>

class CFileListCommandLineInfo : public CCommandLineInfo {
 public:
  void ParseParam(LPCTSTR param, BOOL flag, BOOL last) override;

  // Every file argument in order, empty ones included (the sender skips them).
  const std::vector<std::string>& GetFiles() const { return m_files; }

  // The same file arguments read from the wide command line (the program's
  // own name, its first word, left out), split as the framework splits:
  // blanks separate, quotes group and are removed. A name the system code
  // page cannot spell keeps its characters here.
  static std::vector<std::wstring> WideFiles(const wchar_t* commandLine);

 private:
  std::vector<std::string> m_files;
  bool m_flagSeen = false;
};
