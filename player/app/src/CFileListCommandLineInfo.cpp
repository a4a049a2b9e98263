#include "app/CFileListCommandLineInfo.h"

void CFileListCommandLineInfo::ParseParam(LPCTSTR param, BOOL flag, BOOL last) {
  if (flag) m_flagSeen = true;
  if (!m_flagSeen) {
    m_files.emplace_back(param ? param : "");
    return;
  }
  CCommandLineInfo::ParseParam(param, flag, last);
}

std::vector<std::wstring> CFileListCommandLineInfo::WideFiles(const wchar_t* commandLine) {
  std::vector<std::wstring> words;
  const wchar_t* p = commandLine ? commandLine : L"";
  while (*p) {
    while (*p == L' ' || *p == L'\t') ++p;
    if (!*p) break;
    std::wstring word;
    bool quoted = false;
    for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p) {
      if (*p == L'"')
        quoted = !quoted;
      else
        word += *p;
    }
    words.push_back(word);
  }
  std::vector<std::wstring> files;
  for (size_t i = 1; i < words.size(); ++i) {
    if (!words[i].empty() && (words[i][0] == L'/' || words[i][0] == L'-')) break;
    files.push_back(words[i]);
  }
  return files;
}
