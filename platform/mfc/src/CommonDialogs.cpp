#include <afxdlgs.h>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

HWND CCommonDialog::PreModal() {
  HWND hWndTop = nullptr;
  return AfxHwndOf(CWnd::GetSafeOwner(m_pParentWnd, &hWndTop));
}

namespace {

// The system dialogs run their own loop; the temporaries made meanwhile go
// when it returns, like after any modal loop.
INT_PTR ModalResult(BOOL bOk) {
  AfxDeleteTempMaps();
  return bOk ? IDOK : IDCANCEL;
}

}  // namespace

// ---- Colour

COLORREF* PASCAL CColorDialog::GetSavedCustomColors() {
  static COLORREF colors[16] = {
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
  return colors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_cc() {
  m_cc.lStructSize = sizeof(m_cc);
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags;
  m_cc.rgbResult = clrInit;
  if (clrInit != 0) m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
  m_cc.hwndOwner = PreModal();
  if (m_cc.lpCustColors == nullptr) m_cc.lpCustColors = GetSavedCustomColors();
  return ModalResult(::ChooseColorA(&m_cc));
}

// ---- Font

CFontDialog::CFontDialog(LPLOGFONTA lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_cf(), m_lf() {
  m_cf.lStructSize = sizeof(m_cf);
  m_cf.lpLogFont = &m_lf;
  m_cf.Flags = dwFlags;
  if (lplfInitial != nullptr) {
    m_lf = *lplfInitial;
    m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
  if (pdcPrinter != nullptr) {
    m_cf.hDC = pdcPrinter->m_hDC;
    m_cf.Flags |= CF_PRINTERFONTS;
  }
}

INT_PTR CFontDialog::DoModal() {
  m_cf.hwndOwner = PreModal();
  m_cf.lpLogFont = &m_lf;
  return ModalResult(::ChooseFontA(&m_cf));
}

// ---- File

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd),
      m_ofn(),
      m_bOpenFileDialog(bOpenFileDialog),
      m_szFileTitle(),
      m_szFileName() {
  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = _countof(m_szFileName);
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = _countof(m_szFileTitle);
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  m_ofn.hInstance = AfxGetResourceHandle();
  if (lpszDefExt != nullptr) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFileName != nullptr) lstrcpynA(m_szFileName, lpszFileName, _countof(m_szFileName));
  if (lpszFilter != nullptr) {
    // "text|pattern|...": the system wants the pieces separated by NULs.
    m_strFilter = lpszFilter;
    if (m_strFilter.Right(1) != "|") m_strFilter += '|';
    m_strFilter += '|';
    LPSTR p = m_strFilter.GetBuffer(0);
    for (int i = 0; p[i] != '\0'; ++i) {
      if (p[i] == '|') p[i] = '\0';
    }
    m_ofn.lpstrFilter = p;
  }
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = PreModal();
  BOOL bOk = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  return ModalResult(bOk);
}

CString CFileDialog::GetPathName() const {
  if (m_ofn.lpstrFile == nullptr) return CString();
  if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_ofn.nFileOffset > 0 &&
      m_ofn.lpstrFile[m_ofn.nFileOffset - 1] == '\0') {
    // Several files: the first part is the folder.
    return m_ofn.lpstrFile;
  }
  return m_ofn.lpstrFile;
}

CString CFileDialog::GetFileName() const {
  CString path = GetPathName();
  return path.Mid(path.ReverseFind('\\') + 1);
}

CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int nDot = name.ReverseFind('.');
  return nDot < 0 ? CString() : name.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const {
  CString name = GetFileName();
  int nDot = name.ReverseFind('.');
  return nDot < 0 ? name : name.Left(nDot);
}

POSITION CFileDialog::GetStartPosition() const {
  return m_ofn.lpstrFile != nullptr && m_ofn.lpstrFile[0] != '\0'
             ? reinterpret_cast<POSITION>(m_ofn.lpstrFile)
             : nullptr;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
  LPCSTR p = reinterpret_cast<LPCSTR>(pos);
  LPCSTR pFiles = m_ofn.lpstrFile;
  // One file: the whole string is its path.
  if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || pFiles[strlen(pFiles) + 1] == '\0') {
    pos = nullptr;
    return pFiles;
  }
  // Several: the folder, then NUL-separated names, then an empty string.
  if (p == pFiles) p += strlen(p) + 1;
  CString path = pFiles;
  if (path.Right(1) != "\\") path += '\\';
  path += p;
  p += strlen(p) + 1;
  pos = *p != '\0' ? reinterpret_cast<POSITION>(const_cast<LPSTR>(p)) : nullptr;
  return path;
}
