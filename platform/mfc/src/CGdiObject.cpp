#include <afxwin.h>
#include <afxcmn.h>

#include "HandleMap.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const { return this == nullptr ? nullptr : m_hObject; }

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) {
  return CTempMap<CGdiObject, HGDIOBJ>::ForThisThread().FromHandle(hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (hObject == nullptr) return FALSE;
  // An owner that is handed a new handle lets go of the old one.
  DeleteObject();
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ hObject = m_hObject;
  m_hObject = nullptr;
  return hObject;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  return ::DeleteObject(Detach());
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) {
  if (!CreatePen(nPenStyle, nWidth, crColor)) AfxThrowResourceException();
}

CPen* PASCAL CPen::FromHandle(HPEN hPen) { return CTempMap<CPen, HPEN>::ForThisThread().FromHandle(hPen); }

CBrush::CBrush(COLORREF crColor) {
  if (!CreateSolidBrush(crColor)) AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor) {
  if (!CreateHatchBrush(nIndex, crColor)) AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap) {
  if (!CreatePatternBrush(pBitmap)) AfxThrowResourceException();
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  return Attach(::CreatePatternBrush(static_cast<HBITMAP>(pBitmap->GetSafeHandle())));
}

CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush) {
  return CTempMap<CBrush, HBRUSH>::ForThisThread().FromHandle(hBrush);
}

CFont* PASCAL CFont::FromHandle(HFONT hFont) {
  return CTempMap<CFont, HFONT>::ForThisThread().FromHandle(hFont);
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  LOGFONTA logFont = {};
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfHeight = nPointSize;
  lstrcpynA(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
  return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC) {
  HDC hDC = pDC != nullptr ? pDC->m_hDC : ::GetDC(nullptr);
  // Tenths of a point to logical units: through device points, so that
  // mapping modes other than MM_TEXT come out right.
  LOGFONTA logFont = *lpLogFont;
  POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), logFont.lfHeight, 720)};
  ::DPtoLP(hDC, &pt, 1);
  POINT ptOrg = {0, 0};
  ::DPtoLP(hDC, &ptOrg, 1);
  logFont.lfHeight = -abs(pt.y - ptOrg.y);
  if (pDC == nullptr) ::ReleaseDC(nullptr, hDC);
  return CreateFontIndirect(&logFont);
}

CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap) {
  return CTempMap<CBitmap, HBITMAP>::ForThisThread().FromHandle(hBitmap);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}

CRgn* PASCAL CRgn::FromHandle(HRGN hRgn) { return CTempMap<CRgn, HRGN>::ForThisThread().FromHandle(hRgn); }
