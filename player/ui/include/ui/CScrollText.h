// The text engine of the link label: one line at a time, rotated on a timer
// through a fixed text (line 0), a plain prefix with an underlined link
// (line 1) and a list of news lines (2 and up). The link and the news lines
// turn yellow under the mouse and open the vendor's page when clicked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/CSkinToolTip.h"

class CScrollText {
 public:
  CScrollText();
  ~CScrollText();
  CScrollText(const CScrollText&) = delete;
  CScrollText& operator=(const CScrollText&) = delete;

  // Binds the label window and gives it a tool in the shared tooltip.
  void Attach(HWND hwnd);
  void SetRect(const RECT& rect);
  void SetText(const std::string& text);
  void SetPrefix(const std::string& prefix);
  void SetLink(const std::string& link);
  void AddLine(const std::string& line);
  void ClearLines();
  void SetEnabled(BYTE enabled) { m_enabled = enabled; }
  // A new period restarts the rotation timer.
  void SetPeriod(UINT ms);
  void StartScroll();
  void StopScroll();

  void SetHover(bool on);
  bool IsHover() const { return m_hover; }
  // Strictly inside the current line's link (edges excluded).
  bool HitLink(int x, int y);
  // The link part of the current line in client coordinates; line 1's is
  // measured once per prefix/link change. Empty for line 0.
  RECT GetLinkRect();
  void Draw(HDC dc);
  // One rotation step (the timer's work); nothing while the mouse rests on
  // a link.
  void OnTimer();

  int GetCurrent() const { return m_current; }
  int GetToolId() const { return m_toolId; }
  UINT GetPeriod() const { return m_periodMs; }
  bool IsScrolling() const { return m_timerId != 0; }
  // The tooltip text of the current line.
  std::string GetCurrentTip() const;

  static constexpr COLORREF kPlainColour = RGB(0, 200, 0);
  static constexpr COLORREF kHoverColour = RGB(200, 200, 0);

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  void Invalidate(BOOL erase);
  SIZE Measure(const std::string& text, HFONT font) const;

  HWND m_ownerWnd = nullptr;
  UINT m_periodMs = 5000;
  BYTE m_enabled = 1;
  RECT m_textRect = {};
  RECT m_linkRect = {};
  HFONT m_font = nullptr;
  HFONT m_linkFont = nullptr;
  HCURSOR m_handCursor = nullptr;
  bool m_hover = false;
  int m_lineX = 0;
  std::string m_text;
  std::string m_prefix;
  std::string m_linkText;
  std::vector<std::string> m_lines;
  UINT_PTR m_timerId = 0;
  int m_current = 0;
  int m_toolId = 0;
  CSkinToolTip m_toolTip;
};
