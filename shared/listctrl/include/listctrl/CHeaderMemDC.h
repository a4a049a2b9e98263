// An off-screen DC for one paint of the header: drawing goes into a bitmap of
// the painted rectangle, copied to the target when the object goes.
#pragma once

#include <afxwin.h>

class CHeaderMemDC : public CDC {
 public:
  explicit CHeaderMemDC(CDC* pDC);
  ~CHeaderMemDC() override;
  CHeaderMemDC(const CHeaderMemDC&) = delete;
  CHeaderMemDC& operator=(const CHeaderMemDC&) = delete;

 private:
  CDC* m_pDC;        // the target
  CRect m_rect;      // what is painted, in the target's coordinates
  CBitmap m_bitmap;  // off screen
  HGDIOBJ m_hOldBitmap = nullptr;
  BOOL m_bMemDC;  // FALSE on a printing DC: the target's handles are borrowed
};
