#pragma once
#include <afxwin.h>

// MelodaraUpdate.exe: one modal dialog, then the program ends.
class CAutoUpdateApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  ULONG_PTR m_gdiplusToken = 0;
};
