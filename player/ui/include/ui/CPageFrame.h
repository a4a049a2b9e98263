// The area of the tree property sheet in which the pages appear: an optional
// caption bar (gradient, page icon, page name) across the top and, when the
// chosen tree node has no page, a centred message below it. CPageFrame holds
// the state and the layout; CPageFrameWnd is the child window that paints it.
#pragma once

#include <afxcmn.h>

class CPageFrame {
 public:
  CPageFrame() = default;
  virtual ~CPageFrame() = default;
  CPageFrame(const CPageFrame&) = delete;
  CPageFrame& operator=(const CPageFrame&) = delete;

  virtual CWnd* GetWnd() = 0;
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) = 0;
  virtual void EnableCaption(BOOL on);
  virtual void SetCaptionHeight(int height);
  // The icon is not owned.
  virtual void SetCaption(LPCTSTR text, HICON icon);
  virtual void SetMessageText(LPCTSTR text);
  // DrawText flags of the message.
  virtual void SetMessageFormat(DWORD flags);
  virtual void PaintFrame(CDC* dc);
  virtual CRect MessageRect();
  virtual void PaintMessage(CDC* dc, CRect rect, LPCTSTR text, DWORD flags);
  virtual CRect CaptionRect();
  virtual void PaintCaption(CDC* dc, CRect rect, LPCTSTR text, HICON icon);

  BOOL IsCaptionEnabled() const { return m_captionOn; }
  void GetCaption(CString& text, HICON* icon = nullptr) const;
  int GetCaptionHeight() const { return m_captionHeight; }
  const CString& GetMessageText() const { return m_messageText; }
  DWORD GetMessageFormat() const { return m_messageFormat; }

  static constexpr DWORD kDefaultMessageFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

 protected:
  // Nothing happens before the window exists.
  void InvalidateArea(const CRect& rect);
  CRect ClientRect();

  BOOL m_captionOn = FALSE;
  int m_captionHeight = 0;
  CString m_caption;
  HICON m_captionIcon = nullptr;
  CString m_messageText;
  DWORD m_messageFormat = kDefaultMessageFormat;
};

class CPageFrameWnd : public CWnd, public CPageFrame {
 public:
  CPageFrameWnd() = default;
  ~CPageFrameWnd() override = default;

  CWnd* GetWnd() override { return this; }
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;
  // Keeps a copy of the icon in an image list of its own size.
  void SetCaption(LPCTSTR text, HICON icon) override;
  CRect MessageRect() override;
  CRect CaptionRect() override;
  void PaintCaption(CDC* dc, CRect rect, LPCTSTR text, HICON icon) override;

  int GetCaptionImageCount() const;

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  CImageList m_captionImages;
};

// Fills rect column by column from one colour to the other; the column at
// rect.right (just outside) gets exactly the second colour.
void FillHorizontalGradient(CDC* dc, const CRect& rect, COLORREF from, COLORREF to);
