// Melodara.exe: the application object. A start with a player already
// running hands its files over and ends; otherwise it loads the skin and
// makes the main window, which does the rest.
#include <afxwin.h>

#include <string>
#include <vector>

#include "app/CFileListCommandLineInfo.h"
#include "app/CMainPlayerWnd.h"
#include "app/CSongValueMap.h"
#include "app/FileHandOver.h"
#include "app/MediaFileCheck.h"
#include "app/StartupProbe.h"
#include "base/Guarded.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

class CPlayerApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  std::unique_ptr<GdiplusSession> m_gdiplus;
  CWnd m_mainWndWrapper;
};

CPlayerApp theApp;

namespace {

// The command line's files as the ANSI calls can open them: read wide, so a
// name the system code page cannot spell arrives by its short name instead
// of as question marks. One without a short name is named to the user here,
// by the start that got it, and left out.
std::vector<std::string> SpellableFiles() {
  std::vector<std::string> files;
  for (const std::wstring& wide : CFileListCommandLineInfo::WideFiles(::GetCommandLineW())) {
    std::string path;
    if (SpellablePath(wide, &path)) {
      files.push_back(path);
      continue;
    }
    ::MessageBoxA(nullptr, RejectionText(path, FileRejection::kUnspellable).c_str(), kMainWndTitle,
                  MB_OK | MB_ICONWARNING);
  }
  return files;
}

}  // namespace

BOOL CPlayerApp::InitInstance() {
  return base::Guarded(
      [this]() -> BOOL {
        MarkStartup(kStartupEntered);
        CFileListCommandLineInfo commandLine;
        ParseCommandLine(commandLine);
        const std::vector<std::string> files = SpellableFiles();
        if (HWND running = ::FindWindowA(kMainWndClass, kMainWndTitle)) {
          SendFilesToPlayer(running, files);
          ::ShowWindow(running, SW_RESTORE);
          ::SetForegroundWindow(running);
          return FALSE;
        }
        BeginWaitCursor();
        m_gdiplus = std::make_unique<GdiplusSession>();
        AfxEnableControlContainer();
        Enable3dControls();
        CSkinManager* skins = GetSkinManager();
        skins->SetSchemeFolder(GetSkinSchemeFolder());
        // A scheme with missing images still shows; the missing parts stay blank.
        skins->LoadSkinScheme();
        skins->DecodeAhead(CMainPlayerWnd::FirstPaintImages());
        MarkStartup(kStartupSkinLoaded);
        CMainPlayerWnd& main = GetMainPlayerWnd();
        main.SetCommandLineFiles(files);
        const int created = main.CreateMainWindow();
        EndWaitCursor();
        if (created != 0) return FALSE;
        m_mainWndWrapper.Attach(main.m_hWnd);
        m_pMainWnd = &m_mainWndWrapper;
        ::ShowWindow(main.m_hWnd, SW_SHOW);
        MarkStartup(kStartupWindowShown);
        ::UpdateWindow(main.m_hWnd);
        return TRUE;
      },
      FALSE);
}

int CPlayerApp::ExitInstance() {
  base::Guarded([this] {
    if (m_mainWndWrapper.GetSafeHwnd()) m_mainWndWrapper.Detach();
    m_pMainWnd = nullptr;
    CSongValueMap::Release(CSongValueMap::GetInstance());
    DeleteMainPlayerWnd();
    ReleaseSkinManager();
    m_gdiplus.reset();
  });
  return CWinApp::ExitInstance();
}
