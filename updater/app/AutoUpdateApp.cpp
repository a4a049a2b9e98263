#include "AutoUpdateApp.h"

#include <commctrl.h>
#include <objidl.h>
// objidl.h first: the lean Windows headers leave out what GDI+ needs.
#include <gdiplus.h>

#include "AutoUpdateDlg.h"

CAutoUpdateApp theApp;

BOOL CAutoUpdateApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);
  CAutoUpdateDlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

int CAutoUpdateApp::ExitInstance() {
  if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
  return CWinApp::ExitInstance();
}
