// A static control that looks and acts like a web link: coloured, underlined
// text with a hand cursor and a tooltip with the address; a click opens the
// address (through OpenUrlInBrowser) and the link shows as visited.
#pragma once

#include <afxcmn.h>

#include <string>

class CHyperLink : public CStatic {
 public:
  CHyperLink() = default;
  ~CHyperLink() override;

  void SetURL(const std::string& url);
  std::string GetURL() const { return m_url; }
  // A hover colour of 0xFFFFFFFF means the system highlight colour.
  void SetColours(COLORREF link, COLORREF visited, COLORREF hover = 0xFFFFFFFF);
  COLORREF GetLinkColour() const { return m_linkColor; }
  COLORREF GetVisitedColour() const { return m_visitedColor; }
  COLORREF GetHoverColour() const { return m_hoverColor; }
  void SetVisited(BOOL visited = TRUE);
  BOOL GetVisited() const { return m_visited; }
  // Null loads the standard hand cursor.
  void SetLinkCursor(HCURSOR cursor);
  HCURSOR GetLinkCursor() const { return m_linkCursor; }
  void SetUnderline(BOOL underline = TRUE);
  BOOL GetUnderline() const { return m_underline; }
  void SetAutoSize(BOOL autoSize = TRUE);
  BOOL GetAutoSize() const { return m_autoSize; }
  BOOL IsOver() const { return m_over; }
  // The colour the text is drawn in now.
  COLORREF CurrentColour() const;

  BOOL PreTranslateMessage(MSG* msg) override;
  void PreSubclassWindow() override;

  static constexpr COLORREF kLinkColour = 0xFF0000;     // blue
  static constexpr COLORREF kVisitedColour = 0x8B1A55;  // purple
  static constexpr COLORREF kHoverColour = 0x0000FF;    // red

 protected:
  afx_msg BOOL OnClicked();
  afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnDestroy();
  // A link made in code (Create) has no text yet when it is subclassed;
  // what depends on the text is done again once the window exists.
  afx_msg int OnCreate(LPCREATESTRUCT cs);
  DECLARE_MESSAGE_MAP()

 private:
  // Shrinks the window to its text, keeping the alignment's anchor.
  void PositionWindow();
  // Our own font: the window's (or the GUI font) with our underline flag.
  void RebuildFont(BOOL redraw);
  // An empty address takes the text, an empty text shows the address.
  void MatchTextAndUrl();

  COLORREF m_linkColor = kLinkColour;
  COLORREF m_visitedColor = kVisitedColour;
  COLORREF m_hoverColor = kHoverColour;
  BOOL m_over = FALSE;
  BOOL m_visited = FALSE;
  BOOL m_underline = TRUE;
  BOOL m_autoSize = TRUE;
  std::string m_url;
  CFont m_font;
  HCURSOR m_linkCursor = nullptr;
  CToolTipCtrl m_toolTip;
};
