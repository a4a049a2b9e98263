#include "app/CFileListCommandLineInfo.h"

void CFileListCommandLineInfo::ParseParam(LPCTSTR param, BOOL flag, BOOL last) {
  if (flag) m_flagSeen = true;
  if (!m_flagSeen) {
    m_files.emplace_back(param ? param : "");
    return;
  }
  CCommandLineInfo::ParseParam(param, flag, last);
}
