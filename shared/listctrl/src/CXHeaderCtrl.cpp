#include <listctrl/CXHeaderCtrl.h>

#include <listctrl/CHeaderMemDC.h>

#include "PenScope.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CXHeaderCtrl, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CXHeaderCtrl, CHeaderCtrl)
  ON_MESSAGE(HDM_INSERTITEMA, OnDefault)
  ON_MESSAGE(HDM_INSERTITEMW, OnDefault)
  ON_MESSAGE(HDM_DELETEITEM, OnDefault)
  ON_MESSAGE(HDM_SETIMAGELIST, OnSetImageList)
  ON_MESSAGE(HDM_LAYOUT, OnLayout)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CXHeaderCtrl::CXHeaderCtrl() { ReadColors(); }

void CXHeaderCtrl::ReadColors() {
  m_cr3DHighLight = ::GetSysColor(COLOR_3DHIGHLIGHT);
  m_cr3DShadow = ::GetSysColor(COLOR_3DSHADOW);
  m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
  m_crBtnText = ::GetSysColor(COLOR_BTNTEXT);
}

BOOL CXHeaderCtrl::SetDrawParam(UINT index, DWORD value) {
  switch (index) {
    case 1:
      m_nSpace = static_cast<int>(value);
      break;
    case 2:
      m_sizeArrow = CSize(LOWORD(value), HIWORD(value));
      break;
    case 3:
      m_bStaticBorder = value != 0;
      break;
    case 4:
      m_nDontDropCursor = value;
      break;
    default:
      return FALSE;
  }
  if (m_hWnd) Invalidate();
  return TRUE;
}

LRESULT CXHeaderCtrl::OnDefault(WPARAM, LPARAM) { return Default(); }

LRESULT CXHeaderCtrl::OnSetImageList(WPARAM, LPARAM lParam) {
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(lParam);
  IMAGEINFO info = {};
  if (list && ImageList_GetImageInfo(list, 0, &info)) {
    m_sizeImage = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
  }
  return Default();
}

LRESULT CXHeaderCtrl::OnLayout(WPARAM wParam, LPARAM lParam) {
  HDLAYOUT* layout = reinterpret_cast<HDLAYOUT*>(lParam);
  if (m_bStaticBorder && layout && layout->prc) layout->prc->right += ::GetSystemMetrics(SM_CXBORDER) * 2;
  return CWnd::DefWindowProc(HDM_LAYOUT, wParam, lParam);
}

void CXHeaderCtrl::OnPaint() {
  CPaintDC dc(this);
  if (m_bDoubleBuffer) {
    CHeaderMemDC memDC(&dc);
    DrawCtrl(&memDC);
  } else {
    DrawCtrl(&dc);
  }
}

BOOL CXHeaderCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CXHeaderCtrl::OnSysColorChange() {
  Default();
  ReadColors();
}

void CXHeaderCtrl::DrawCtrl(CDC* pDC) {
  CRect clip;
  if (pDC->GetClipBox(&clip) == ERROR) return;
  CRect client;
  GetClientRect(&client);
  pDC->FillSolidRect(&client, m_cr3DFace);
  int saved = pDC->SaveDC();
  CFont* font = GetFont();
  if (font && font->GetSafeHandle()) pDC->SelectObject(font->GetSafeHandle());
  pDC->SetBkColor(m_cr3DFace);
  pDC->SetTextColor(m_crBtnText);

  int total = 0;
  const int count = GetItemCount();
  for (int order = 0; order < count; ++order) {
    int index = OrderToIndex(order);
    char text[80] = {};
    HDITEMA item = {};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    GetItem(index, &item);
    CRect rect;
    GetItemRect(index, &rect);
    if (item.fmt & HDF_OWNERDRAW) {
      DRAWITEMSTRUCT dis = {};
      dis.CtlType = ODT_BUTTON;
      dis.CtlID = GetDlgCtrlID();
      dis.itemID = static_cast<UINT>(index);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.hwndItem = m_hWnd;
      dis.hDC = pDC->m_hDC;
      dis.rcItem = rect;
      DrawItem(&dis);
    } else {
      CRect inner = rect;
      inner.DeflateRect(m_nSpace, 0);
      DrawItem(pDC, inner, item);
    }
    if (order < count - 1) {
      {
        PenScope shadow(pDC->m_hDC, m_cr3DShadow);
        pDC->MoveTo(rect.right - 1, rect.top + 2);
        pDC->LineTo(rect.right - 1, rect.bottom - 2);
      }
      PenScope light(pDC->m_hDC, m_cr3DHighLight);
      pDC->MoveTo(rect.right, rect.top + 2);
      pDC->LineTo(rect.right, rect.bottom - 2);
    }
    total += item.cxy;
  }
  if (total > 0) {
    CRect frame(client.left, client.top, client.left + total, client.bottom);
    pDC->Draw3dRect(&frame, m_cr3DHighLight, m_cr3DShadow);
  }
  pDC->RestoreDC(saved);
}

void CXHeaderCtrl::DrawItem(CDC* pDC, CRect rect, const HDITEMA& item) {
  int imageWidth = DrawItemImage(pDC, rect, item);
  if (imageWidth > 0) rect.left += imageWidth + m_nSpace;
  int bitmapWidth = DrawItemBitmap(pDC, rect, item);
  if (bitmapWidth > 0) rect.right -= bitmapWidth + m_nSpace;
  DrawItemText(pDC, rect, item);
}

int CXHeaderCtrl::DrawItemImage(CDC* pDC, const CRect& rect, const HDITEMA& item) {
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST));
  if (item.iImage == 0 || !list || rect.Width() < 1) return 0;
  // The image list's size, unless no image list was ever set through us.
  CSize size = m_sizeImage;
  if (size.cx == 0 || size.cy == 0) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    size = CSize(cx, cy);
  }
  int top = rect.top + rect.Height() / 2 - size.cy / 2;
  COLORREF oldBk = ImageList_SetBkColor(list, pDC->GetBkColor());
  ImageList_DrawEx(list, item.iImage, pDC->m_hDC, rect.left, top, std::min<int>(rect.Width(), size.cx),
                   size.cy, CLR_DEFAULT, CLR_DEFAULT, ILD_NORMAL);
  ImageList_SetBkColor(list, oldBk);
  return size.cx;
}

int CXHeaderCtrl::DrawItemBitmap(CDC* pDC, const CRect& rect, const HDITEMA& item) {
  if (!(item.fmt & HDF_BITMAP) || !item.hbm || rect.Width() < 1) return 0;
  BITMAP info = {};
  if (!::GetObjectA(item.hbm, sizeof(info), &info) || info.bmWidth > rect.Width()) return 0;
  HDC memory = ::CreateCompatibleDC(pDC->m_hDC);
  if (!memory) return 0;
  HGDIOBJ old = ::SelectObject(memory, item.hbm);
  int top = rect.top + (rect.Height() - info.bmHeight) / 2;
  BOOL copied = ::BitBlt(pDC->m_hDC, rect.right - info.bmWidth, top, info.bmWidth, info.bmHeight, memory, 0,
                         0, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  return copied ? info.bmWidth : 0;
}

void CXHeaderCtrl::DrawItemText(CDC* pDC, const CRect& rect, const HDITEMA& item) {
  pDC->SetTextColor(RGB(0, 0, 255));
  if (rect.Width() <= 0 || !item.pszText || !*item.pszText || !(item.fmt & HDF_STRING)) return;
  CRect r = rect;
  // Centred whatever alignment the column names: the header reads as a title row.
  pDC->DrawText(item.pszText, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}
