// A report-view list control that keeps one record per cell and paints every
// cell itself: text and background colours, bold, an image, a check box, a
// progress bar or a combo choice, and a tool tip per cell. Check-box clicks
// reach the parent as WM_XLISTCTRL_CHECKBOX_CLICKED (wParam item, lParam
// column); a check-box column's header image is its check-all box.
//
// Columns are inserted before items: each item gets one record per column
// present then. A column added later has no record in older items; such cells
// paint with defaults and their setters fail.
//
// Files: CXListCtrl.cpp (records, operations, messages), CXListCtrlDraw.cpp
// (custom draw of the cells and the empty-list text).
#pragma once

#include <afxcmn.h>

#include <base/GdiHandles.h>
#include <listctrl/CXHeaderCtrl.h>

#include <memory>
#include <utility>
#include <vector>

struct XListCellData {
  int bEnabled = 1;  // column 0 only: 0 disables the whole item
  int bBold = 0;
  int nImage = -1;
  CString strToolTip;
  int bCombo = 0;
  int bComboIsClicked = 0;      // set and cleared by the updater's combo editing
  CStringArray* psa = nullptr;  // not owned
  int nComboListHeight = 10;
  int nInitialComboSel = 0;
  COLORREF crText;
  COLORREF crBackground;
  int bShowProgress = 0;
  int nProgressPercent = 0;
  CString strProgressText;
  int bShowProgressMessage = 1;
  int nCheckedState = -1;    // -1 no box, 0 unchecked, 1 checked
  DWORD_PTR dwItemData = 0;  // column 0 only: the caller's per-item value
};

class CXListCtrl : public CListCtrl {
 public:
  CXListCtrl();
  ~CXListCtrl() override;

  // ---- Settings of the one class both programs build (defaults: the player's).
  // The text shown on an empty list.
  void SetEmptyListText(LPCTSTR text) { m_strEmptyText = text ? text : ""; }
  const CString& GetEmptyListText() const { return m_strEmptyText; }
  // Whether a right-button release is swallowed, and whether a left click ends
  // with WM_COMMAND (control id, list window) posted to the parent.
  void SetSwallowRightButtonUp(bool swallow) { m_bSwallowRButtonUp = swallow; }
  void SetPostCommandOnClick(bool post) { m_bPostCommandOnClick = post; }

  // ---- Items (failure values in brackets in each comment)
  int InsertItem(int nItem, LPCTSTR lpszItem);                                                 // [-1]
  int InsertItemColored(int nItem, LPCTSTR lpszItem, COLORREF crText, COLORREF crBackground);  // [-1]
  int InsertItemFromStruct(const LVITEMA* pItem);                                              // [-1]
  int SetItem(const LVITEMA* pItem);                               // 1 [0; -1 for a negative item]
  BOOL SetItemImage(int nItem, int nSubItem, int nImage);          // [FALSE]
  BOOL SetSubItemText(int nItem, int nSubItem, LPCTSTR lpszText);  // [FALSE]
  // Null text keeps the text; -1 stands for the window-text and window colours.
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText, COLORREF crText = static_cast<COLORREF>(-1),
                   COLORREF crBackground = static_cast<COLORREF>(-1));  // [FALSE]
  CString GetItemText(int nItem, int nSubItem);                         // [""]
  BOOL DeleteItem(int nItem);                                           // [FALSE]
  BOOL DeleteAllItems();

  BOOL SetProgress(int nItem, int nSubItem, BOOL bShowProgressText = TRUE,
                   LPCTSTR lpszProgressText = nullptr);
  void UpdateProgress(int nItem, int nSubItem, int nPercent);  // clamped to 0..100
  void DeleteProgress(int nItem, int nSubItem);

  BOOL SetCheckbox(int nItem, int nSubItem, int nCheckedState);  // -1, 0 or 1 [FALSE]
  int GetCheckbox(int nItem, int nSubItem);                      // [-1]
  BOOL SetEnabled(int nItem, BOOL bEnable);
  BOOL GetEnabled(int nItem);  // [FALSE]
  BOOL SetBold(int nItem, int nSubItem, BOOL bBold);
  BOOL GetBold(int nItem, int nSubItem);
  // Also FALSE for a null list, even to switch the combo off.
  BOOL SetComboList(int nItem, int nSubItem, BOOL bEnableCombo, CStringArray* psa, int nComboListHeight,
                    int nInitialComboSel);
  BOOL SetItemToolTipText(int nItem, int nSubItem, LPCTSTR lpszToolTipText);
  CString GetItemToolTipText(int nItem, int nSubItem);
  void DeleteAllToolTips();
  // The per-item value lives in column 0's record, not in the list item.
  DWORD_PTR GetItemData(int nItem);
  BOOL SetItemData(int nItem, DWORD_PTR dwData);

  int SetCurSel(int nItem);
  int GetCurSel();
  int GetColumns();
  BOOL GetCellRect(int nItem, int nSubItem, int nArea, CRect& rect);
  int GetHeaderCheckedState(int nSubItem);  // 0, 1, 2 [-1]
  BOOL SetHeaderCheckedState(int nSubItem, int nCheckedState);
  int CountCheckedItems(int nSubItem);  // [0]
  void UpdateSubItem(int nItem, int nSubItem);

  CXHeaderCtrl m_HeaderCtrl;

  // ---- Extension points for the updater's combo editing (a class derived from
  // this one adds its drop-down, timers and messages through them).
  // A combo cell's drawing, after progress cells and before check boxes; FALSE
  // (the default) paints it as any other cell.
  virtual BOOL DrawComboCell(int nItem, int nSubItem, CDC* pDC, CRect& rect, const XListCellData& cell,
                             COLORREF crText, COLORREF crBkgnd) {
    return FALSE;
  }
  // A left click on an enabled item that toggled no check box (nSubItem -1
  // beside the columns), or beside every item (nItem -1); before default handling.
  virtual void OnCellClicked(int nItem, int nSubItem, CPoint point) {}

  // ---- Framework virtuals
  void PreSubclassWindow() override;
  INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;

 protected:
  // The records of one item: one per column present when it was inserted.
  struct Records {
    std::vector<XListCellData> cells;
  };
  Records* GetRecords(int nItem);
  XListCellData* Cell(int nItem, int nSubItem);  // null for bad indices or a missing record
  Records* NewRecords();
  void FreeAllRecords();
  void SubclassHeaderControl();
  void ReadColors();
  void ChangeChecked(XListCellData& cell, int nSubItem, int nNewState);
  void UpdateHeaderFromCount(int nSubItem);
  BOOL ValidIndices(int nItem, int nSubItem);
  bool IsRowOnScreen(int nItem);
  // Invalidates and paints the cell now when its row is on screen.
  void RepaintCell(int nItem, int nSubItem);
  // The same for a column's cells on screen, as one paint.
  void RepaintColumn(int nSubItem);

  // Drawing (CXListCtrlDraw.cpp)
  void GetDrawColors(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBkgnd);
  void DrawCell(int nItem, int nSubItem, CDC* pDC, CRect rect, const Records* records);
  void DrawProgress(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect& rect,
                    const XListCellData* pCell);
  void DrawCheckbox(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect& rect,
                    const XListCellData* pCell);
  int DrawImage(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect rect,
                const XListCellData* pCell);
  void DrawCellText(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect& rect,
                    const XListCellData* pCell);
  void DrawEmptyListText(CDC* pDC);

  afx_msg BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg BOOL OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnPaint();
  afx_msg void OnSysColorChange();
  afx_msg BOOL OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

  BOOL m_bHeaderIsSubclassed = FALSE;
  CString m_strEmptyText;
  bool m_bSwallowRButtonUp = true;
  bool m_bPostCommandOnClick = true;
  // Checked cells per column, kept with every change so the check-all state
  // never needs a recount.
  std::vector<int> m_checkedCounts;

  // What every cell of one paint shares, read once at its start (and the
  // row's part once per row) instead of asked of the control cell by cell.
  struct PaintState {
    bool painting = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool focused = false;
    HIMAGELIST images = nullptr;
    int iconCx = 0;
    int iconCy = 0;
    int spacing = 0;
    std::vector<UINT> align;     // DT_ alignment of each column
    std::vector<CRect> columns;  // each column's cell, left and right, in the row
    int row = -1;
    CRect rowBounds;
    bool rowSelected = false;
    bool rowEnabled = true;
    // The small images drawn so far in this paint, each once on its
    // background in a strip, copied from there to every cell that shows it.
    std::unique_ptr<base::ScopedMemoryDC> imageDC;
    base::GdiBitmap imageStrip;
    HGDIOBJ oldStrip = nullptr;
    std::vector<std::pair<int, COLORREF>> imageSlots;
  };
  void BeginPaintState();
  void EndPaintState();
  // False when the image cannot be drawn from the strip (outside a paint, or
  // the strip full): the caller draws it from the list.
  bool DrawImageFromStrip(HDC dc, HIMAGELIST list, int image, COLORREF crBkgnd, int x, int y, int w, int h);
  void BeginRowState(int nItem);
  PaintState m_paint;

  COLORREF m_cr3DFace, m_cr3DHighLight, m_cr3DShadow, m_crBtnFace, m_crBtnShadow, m_crBtnText, m_crGrayText,
      m_crHighLight, m_crHighLightText, m_crWindow, m_crWindowText;
};
