#include "app/CAboutDlg.h"

#include <vector>

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {
  std::string credits = "\tMelodara " + ModuleVersionText();
  credits +=
      "\n\n\rSoftware\nThe Melodara team\n\n\rInterface design\nThe Melodara team\nui@melodara.example"
      "\n\n\rCopyright\nThe Melodara project\nAll rights reserved.\n\n\rWeb site\nhttp://www.melodara.example"
      "\ninfo@melodara.example";
  m_credits.SetText(credits);
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, 1039, m_credits);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CenterWindow(CWnd::FromHandle(::GetDesktopWindow()));
  return TRUE;
}

std::string CAboutDlg::ModuleVersionText(HMODULE module) {
  char path[MAX_PATH] = {};
  if (!::GetModuleFileNameA(module, path, MAX_PATH)) return std::string();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return std::string();
  std::vector<char> block(size);
  if (!::GetFileVersionInfoA(path, 0, size, block.data())) return std::string();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO))
    return std::string();
  char text[64];
  wsprintfA(text, "%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
            HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
  return text;
}
