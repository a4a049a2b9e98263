// The framework's sample: one of each control in a dialog, then a property
// sheet. With "/capture <folder>" each window saves a picture of itself there
// (a BMP) and closes, so the look can be checked without a person.
#include <afxdlgs.h>

#include "SampleResources.h"

namespace {

CString g_captureFolder;

// Writes the window as the screen shows it to a 24-bit BMP.
void CaptureWindow(CWnd* pWnd, LPCTSTR lpszName) {
  CRect rc;
  pWnd->GetWindowRect(&rc);
  CClientDC screen(nullptr);
  CDC memory;
  memory.CreateCompatibleDC(&screen);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&screen, rc.Width(), rc.Height());
  CBitmap* pOld = memory.SelectObject(&bitmap);
  memory.BitBlt(0, 0, rc.Width(), rc.Height(), &screen, rc.left, rc.top, SRCCOPY);
  memory.SelectObject(pOld);

  BITMAPINFOHEADER bih = {};
  bih.biSize = sizeof(bih);
  bih.biWidth = rc.Width();
  bih.biHeight = rc.Height();
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  int stride = ((rc.Width() * 3) + 3) & ~3;
  CByteArray pixels;
  pixels.SetSize(static_cast<INT_PTR>(stride) * rc.Height());
  ::GetDIBits(screen.m_hDC, bitmap, 0, rc.Height(), pixels.GetData(), reinterpret_cast<BITMAPINFO*>(&bih),
              DIB_RGB_COLORS);

  BITMAPFILEHEADER bfh = {};
  bfh.bfType = 0x4D42;
  bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
  bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.GetSize());
  CFile file;
  if (file.Open(g_captureFolder + "\\" + lpszName, CFile::modeCreate | CFile::modeWrite)) {
    file.Write(&bfh, sizeof(bfh));
    file.Write(&bih, sizeof(bih));
    file.Write(pixels.GetData(), static_cast<UINT>(pixels.GetSize()));
    file.Close();
  }
}

// A colour swatch: the button draws itself once bound.
class CSwatchButton : public CButton {
 protected:
  void PreSubclassWindow() override { ModifyStyle(0, BS_OWNERDRAW); }
  void DrawItem(LPDRAWITEMSTRUCT lpDis) override {
    CDC* pDC = CDC::FromHandle(lpDis->hDC);
    CRect rc(lpDis->rcItem);
    pDC->Draw3dRect(rc, ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
    rc.DeflateRect(3, 3);
    pDC->FillSolidRect(rc, RGB(220, 40, 90));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(255, 255, 255));
    pDC->DrawText(CString("Swatch"), rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};

class CSampleDialog : public CDialog {
 public:
  CSampleDialog() : CDialog(IDD_SAMPLE) {}

 protected:
  CString m_title = "Moon River";
  int m_lyrics = BST_CHECKED;
  int m_notation = 1;
  int m_style = 1;
  CSwatchButton m_swatch;
  CListCtrl m_songs;
  CTreeCtrl m_tree;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_S_BUTTON, m_swatch);
    DDX_Control(pDX, IDC_S_LISTCTRL, m_songs);
    DDX_Control(pDX, IDC_S_TREE, m_tree);
    DDX_Text(pDX, IDC_S_EDIT, m_title);
    DDX_Check(pDX, IDC_S_CHECK, m_lyrics);
    DDX_Radio(pDX, IDC_S_RADIO1, m_notation);
    DDX_CBIndex(pDX, IDC_S_COMBO, m_style);
  }
  BOOL OnInitDialog() override {
    CComboBox* pCombo = static_cast<CComboBox*>(GetDlgItem(IDC_S_COMBO));
    for (const char* item : {"Classic", "Night", "Neon"})
      ::SendMessageA(pCombo->m_hWnd, CB_ADDSTRING, 0, (LPARAM)item);
    CDialog::OnInitDialog();
    for (const char* item : {"Play list 1", "Favourites", "Duets"})
      SendDlgItemMessage(IDC_S_LIST, LB_ADDSTRING, 0, (LPARAM)item);
    SendDlgItemMessage(IDC_S_LIST, LB_SETCURSEL, 1);
    SendDlgItemMessage(IDC_S_PROGRESS, PBM_SETPOS, 60);
    SendDlgItemMessage(IDC_S_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendDlgItemMessage(IDC_S_SLIDER, TBM_SETPOS, TRUE, 4);
    m_songs.InsertColumn(0, "Title", LVCFMT_LEFT, 120);
    m_songs.InsertColumn(1, "Time", LVCFMT_RIGHT, 60);
    const char* songs[][2] = {{"Moon River", "2:43"}, {"Yesterday", "2:05"}, {"Fly Me to the Moon", "2:29"}};
    for (int i = 0; i < 3; ++i) {
      m_songs.InsertItem(i, songs[i][0]);
      m_songs.SetItemText(i, 1, songs[i][1]);
    }
    HTREEITEM hAudio = m_tree.InsertItem("Audio");
    m_tree.InsertItem("Output", hAudio);
    m_tree.InsertItem("Input", hAudio);
    m_tree.Expand(hAudio, TVE_EXPAND);
    m_tree.InsertItem("Skin");
    if (!g_captureFolder.IsEmpty()) SetTimer(1, 700);
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR) {
    KillTimer(1);
    CaptureWindow(this, "mfc_sample_dialog.bmp");
    EndDialog(IDOK);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSampleDialog, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CGeneralPage : public CPropertyPage {
 public:
  CGeneralPage() : CPropertyPage(IDD_SAMPLE_PAGE_A) {}

 protected:
  CString m_name = "Guest";
  int m_autoStart = BST_UNCHECKED;
  int m_volume = 7;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_S_EDIT, m_name);
    DDX_Check(pDX, IDC_S_CHECK, m_autoStart);
    DDX_Slider(pDX, IDC_S_SLIDER, m_volume);
  }
  BOOL OnInitDialog() override {
    SendDlgItemMessage(IDC_S_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    return CPropertyPage::OnInitDialog();
  }
};

class CLyricsPage : public CPropertyPage {
 public:
  CLyricsPage() : CPropertyPage(IDD_SAMPLE_PAGE_B) {}

 protected:
  CRichEditCtrl m_text;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_S_RICH, m_text); }
  BOOL OnInitDialog() override {
    CPropertyPage::OnInitDialog();
    m_text.SetWindowText("Moon river, wider than a mile");
    return TRUE;
  }
};

class CSampleSheet : public CPropertySheet {
 public:
  CSampleSheet() : CPropertySheet("Preferences") { m_psh.dwFlags &= ~PSH_HASHELP; }

 protected:
  BOOL OnInitDialog() override {
    BOOL bResult = CPropertySheet::OnInitDialog();
    if (!g_captureFolder.IsEmpty()) SetTimer(1, 700);
    return bResult;
  }
  afx_msg void OnTimer(UINT_PTR) {
    KillTimer(1);
    CaptureWindow(this, "mfc_sample_sheet.bmp");
    PressButton(PSBTN_OK);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSampleSheet, CPropertySheet)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CCaptureCommandLine : public CCommandLineInfo {
 public:
  bool m_bCaptureNext = false;
  void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast) override {
    if (bFlag && lstrcmpiA(pszParam, "capture") == 0) {
      m_bCaptureNext = true;
    } else if (m_bCaptureNext) {
      g_captureFolder = pszParam;
      m_bCaptureNext = false;
    } else {
      CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
  }
};

class CSampleApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    AfxInitRichEdit();
    CCaptureCommandLine info;
    ParseCommandLine(info);
    CSampleDialog dlg;
    dlg.DoModal();
    CGeneralPage general;
    CLyricsPage lyrics;
    general.m_psp.dwFlags &= ~PSP_HASHELP;
    lyrics.m_psp.dwFlags &= ~PSP_HASHELP;
    CSampleSheet sheet;
    sheet.AddPage(&general);
    sheet.AddPage(&lyrics);
    sheet.DoModal();
    return FALSE;  // no main window: the program ends here
  }
};

CSampleApp theApp;

}  // namespace
