// CImageList: owns its image list (destroyed with it) unless detached;
// FromHandle gives a temporary wrapper.
#pragma once

class CImageList : public CObject {
  DECLARE_DYNCREATE(CImageList)
 public:
  CImageList() = default;
  ~CImageList() override;

  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const;

  static CImageList* PASCAL FromHandle(HIMAGELIST hImageList);
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
  }
  // From a bitmap resource of images cx wide, crMask the transparent colour.
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
    return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
  }
  BOOL Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask) {
    return Attach(ImageList_LoadImageA(AfxGetResourceHandle(), lpszBitmapID, cx, nGrow, crMask, IMAGE_BITMAP,
                                       LR_CREATEDIBSECTION));
  }
  // A copy of another list.
  BOOL Create(CImageList* pImageList) {
    return Attach(ImageList_Duplicate(pImageList ? pImageList->m_hImageList : NULL));
  }

  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const {
    return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
  }
  COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
  COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
  int Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Add(m_hImageList, *pbmImage, static_cast<HBITMAP>(AfxGdiOf(pbmMask)));
  }
  int Add(CBitmap* pbmImage, COLORREF crMask) { return ImageList_AddMasked(m_hImageList, *pbmImage, crMask); }
  int Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
  int Replace(int nImage, HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
  // -1 removes every image.
  BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
  HICON ExtractIcon(int nImage) { return ImageList_ExtractIcon(NULL, m_hImageList, nImage); }
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
    return ImageList_Draw(m_hImageList, nImage, AfxHdcOf(pDC), pt.x, pt.y, nStyle);
  }
  BOOL DrawIndirect(IMAGELISTDRAWPARAMS* pimldp) {
    pimldp->cbSize = sizeof(IMAGELISTDRAWPARAMS);
    pimldp->himl = m_hImageList;
    return ImageList_DrawIndirect(pimldp);
  }
  BOOL SetOverlayImage(int nImage, int nOverlay) {
    return ImageList_SetOverlayImage(m_hImageList, nImage, nOverlay);
  }
};
