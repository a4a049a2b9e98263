#include <listctrl/CHeaderMemDC.h>

CHeaderMemDC::CHeaderMemDC(CDC* pDC) : m_pDC(pDC), m_bMemDC(!pDC->IsPrinting()) {
  if (!m_bMemDC) {
    m_hDC = pDC->m_hDC;
    return;
  }
  pDC->GetClipBox(&m_rect);
  // Without memory for the bitmap the paint goes straight to the target.
  if (!CreateCompatibleDC(pDC) || !m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height())) {
    if (m_hDC) DeleteDC();
    m_bMemDC = FALSE;
    m_hDC = pDC->m_hDC;
    return;
  }
  m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
  SetWindowOrg(m_rect.left, m_rect.top);
}

CHeaderMemDC::~CHeaderMemDC() {
  if (m_bMemDC) {
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                  SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    DeleteDC();
  } else {
    m_hDC = nullptr;
  }
}
