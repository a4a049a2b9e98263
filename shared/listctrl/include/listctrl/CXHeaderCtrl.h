// The column header of CXListCtrl: paints every item itself (flat 3D
// separators, an image at the left, a bitmap at the right, the caption centred
// in blue between them). A column's image doubles as its check-all box for the
// list: 0 none, 1 not all checked, 2 all checked.
#pragma once

#include <afxcmn.h>

class CXHeaderCtrl : public CHeaderCtrl {
  DECLARE_DYNCREATE(CXHeaderCtrl)

 public:
  CXHeaderCtrl();

  int GetSpacing() const { return m_nSpace; }
  // 1 spacing, 2 two 16-bit values (low and high word), 3 static-border flag,
  // 4 a fourth value; any other index changes nothing and answers FALSE.
  BOOL SetDrawParam(UINT index, DWORD value);

  // Paints the whole control into pDC (the paint handler's DC, or a memory DC in tests).
  void DrawCtrl(CDC* pDC);
  virtual void DrawItem(CDC* pDC, CRect rect, const HDITEMA& item);
  // Owner-drawn items: the owner paints them; the header draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

 protected:
  // Each answers the width it used.
  int DrawItemImage(CDC* pDC, const CRect& rect, const HDITEMA& item);
  int DrawItemBitmap(CDC* pDC, const CRect& rect, const HDITEMA& item);
  void DrawItemText(CDC* pDC, const CRect& rect, const HDITEMA& item);
  void ReadColors();

  afx_msg LRESULT OnDefault(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetImageList(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnLayout(WPARAM wParam, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSysColorChange();
  DECLARE_MESSAGE_MAP()

  BOOL m_bDoubleBuffer = TRUE;
  int m_nSpace = 6;
  CSize m_sizeImage{0, 0};
  CSize m_sizeArrow{8, 8};  // kept for SetDrawParam; nothing paints it
  BOOL m_bStaticBorder = FALSE;
  UINT m_nDontDropCursor = 0;  // kept for SetDrawParam; nothing reads it
  COLORREF m_cr3DHighLight;
  COLORREF m_cr3DShadow;
  COLORREF m_cr3DFace;
  COLORREF m_crBtnText;
};
