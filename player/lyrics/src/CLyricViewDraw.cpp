// CLyricView: drawing into the back buffer and out to the target DC.
#include <algorithm>

#include "lyrics/CLyricView.h"
#include "ui/GdiplusInclude.h"

namespace {

// Keeps a DC's state (clip, colours, alignment) for the life of the object.
class ScopedSaveDC {
 public:
  explicit ScopedSaveDC(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
  ~ScopedSaveDC() {
    if (m_saved) ::RestoreDC(m_dc, m_saved);
  }
  ScopedSaveDC(const ScopedSaveDC&) = delete;
  ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

 private:
  HDC m_dc;
  int m_saved;
};

}  // namespace

void CLyricView::EnsureBackBuffer(HDC target) {
  if (!m_bufferStale && m_backDC) return;
  if (m_backDC) {
    ::SelectObject(m_backDC, m_backOld);
    ::DeleteDC(m_backDC);
    base::GdiNoteDeleted();
    m_backDC = nullptr;
    m_backBitmap.Reset();
  }
  m_bufferStale = false;
  HDC windowDC = m_window ? ::GetDC(m_window) : nullptr;
  HDC like = windowDC ? windowDC : target;
  m_backDC = ::CreateCompatibleDC(like);
  if (m_backDC) {
    base::GdiNoteCreated();
    m_backBitmap.Attach(::CreateCompatibleBitmap(like, ViewWidth(), ViewHeight()));
    if (m_backBitmap) {
      m_backOld = ::SelectObject(m_backDC, m_backBitmap.Get());
    } else {
      ::DeleteDC(m_backDC);
      base::GdiNoteDeleted();
      m_backDC = nullptr;
    }
  }
  if (windowDC) ::ReleaseDC(m_window, windowDC);
}

void CLyricView::Draw(HDC dc) {
  // An empty or inverted rectangle has nothing to show and gets no buffer.
  if (!dc || !HasArea()) return;
  EnsureBackBuffer(dc);
  if (!m_backDC) return;

  // Only what the target will show is drawn: the target's clip box, in view
  // coordinates. The rest of the buffer holds what the screen already has.
  RECT clip = {};
  if (::GetClipBox(dc, &clip) == NULLREGION) return;
  ::OffsetRect(&clip, -m_rect.left, -m_rect.top);
  const RECT view = {0, 0, ViewWidth(), ViewHeight()};
  if (!::IntersectRect(&clip, &clip, &view)) return;

  ::FillRect(m_backDC, &clip, m_bkBrush.Get());
  {
    ScopedSaveDC saved(m_backDC);
    if (m_font) ::SelectObject(m_backDC, m_font.Get());
    ::SetBkMode(m_backDC, TRANSPARENT);
    ::SetTextColor(m_backDC, m_textColor);
    if (clip.top < m_headerHeight - m_scrollY) DrawHeader(m_backDC);
    DrawLines(m_backDC, clip);
  }
  if (m_countIn > 0) DrawCountIn(m_backDC);
  // Only the part redrawn goes out: a wipe step copies one syllable's box.
  ::BitBlt(dc, m_rect.left + clip.left, m_rect.top + clip.top, clip.right - clip.left, clip.bottom - clip.top,
           m_backDC, clip.left, clip.top, SRCCOPY);
}

int CLyricView::HeaderX(int width) const {
  // Each text stands where the alignment puts a line of its width, but never
  // past the view's left edge and, when it fits, not past its right one.
  int x = m_contentWidth - width;
  if (m_align == 0)
    x = 0;
  else if (m_align == 1)
    x /= 2;
  x -= m_scrollX;
  x = std::min(x, ViewWidth() - width);
  return std::max(x, 0);
}

void CLyricView::DrawHeader(HDC dc) {
  int y = -m_scrollY;
  ::SetTextAlign(dc, TA_LEFT);
  for (const std::string* text : {&m_info.title, &m_info.singer, &m_info.composer, &m_info.lyricist}) {
    // The title always has its row; an empty information line has none.
    if (text != &m_info.title && text->empty()) continue;
    const int length = static_cast<int>(text->size());
    SIZE size = {0, 0};
    if (length > 0) ::GetTextExtentPoint32A(dc, text->data(), length, &size);
    ::TextOutA(dc, HeaderX(size.cx), y, text->data(), length);
    y += m_titleHeight + m_lineSpacing;
  }
}

void CLyricView::DrawCountIn(HDC dc) {
  const int y = m_headerHeight - kHeaderGap - m_scrollY;
  int x = -m_scrollX;
  if (!m_lines.empty()) x += m_lines[0].x;
  x = std::max(x, 0);
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  // However many steps the controller counts, only the dots in view are drawn.
  for (int i = 0; i < m_countIn && x < ViewWidth(); ++i, x += kDotPitch) {
    Gdiplus::GraphicsPath path;
    path.AddEllipse(x, y, kDotSize, kDotSize);
    Gdiplus::PathGradientBrush brush(&path);
    brush.SetCenterColor(Gdiplus::Color(255, 200, 0, 0));
    Gdiplus::Color surround(255, 255, 0, 0);
    int one = 1;
    brush.SetSurroundColors(&surround, &one);
    graphics.FillPath(&brush, &path);
  }
}

bool CLyricView::SungOnLaterRow(int index) const {
  // Rows broken from one line follow one another with no break token
  // between; the controller keeps a single mark per line, on its latest row.
  for (size_t i = static_cast<size_t>(index) + 1; i < m_lines.size(); ++i) {
    const LyricLine& before = m_lines[i - 1];
    const LyricLine& row = m_lines[i];
    if (row.tokenCount == 0 || row.firstToken != before.firstToken + before.tokenCount) return false;
    for (int t = row.firstToken; t < row.firstToken + row.tokenCount; ++t)
      if (m_tokens[t].flags & kTokenMarked) return true;
  }
  return false;
}

void CLyricView::DrawLines(HDC dc, const RECT& clip) {
  ::SetTextAlign(dc, TA_LEFT);
  for (size_t index = 0; index < m_lines.size(); ++index) {
    const LyricLine& line = m_lines[index];
    const int top = line.y - m_scrollY;
    if (line.tokenCount == 0 || top >= clip.bottom || top + line.height <= clip.top) continue;
    // A row is shown whole or not at all at the bottom edge: half a row of
    // text cannot be read. One at the top always shows.
    if (top > 0 && top + line.height - m_lineSpacing > ViewHeight()) continue;
    const int last = line.firstToken + line.tokenCount - 1;
    if (SungOnLaterRow(static_cast<int>(index))) {
      DrawRun(dc, line, line.firstToken, last, top, true);
      continue;
    }
    int runStart = line.firstToken;
    for (int i = line.firstToken; i <= last; ++i) {
      if (m_tokens[i].flags & kTokenMarked) {
        DrawRun(dc, line, runStart, i, top, true);
        runStart = i + 1;
      }
    }
    if (runStart <= last) DrawRun(dc, line, runStart, last, top, false);
  }
}

void CLyricView::DrawRun(HDC dc, const LyricLine& line, int first, int last, int y, bool marked) {
  const LyricToken& a = m_tokens[first];
  const LyricToken& b = m_tokens[last];
  const char* text = m_text.data() + a.textOffset;
  const int length = b.textOffset + b.length - a.textOffset;
  const int lineLeft = line.x - m_scrollX;
  const int x = lineLeft + a.x;
  if (!marked) {
    ::TextOutA(dc, x, y, text, length);
    return;
  }
  // Only the run that ends with the syllable being wiped goes through the
  // wipe; lines already sung keep their last mark and are wholly lit.
  const bool wiping = m_karaoke && last == m_wipeToken && m_wipePos < m_wipeEnd;
  ::SetTextColor(dc, m_highlightColor);
  if (!wiping) {
    ::TextOutA(dc, x, y, text, length);
  } else {
    const int split = lineLeft + m_wipePos;
    const int bottom = y + std::max(b.height, line.height);
    {
      ScopedSaveDC saved(dc);
      ::IntersectClipRect(dc, x, y, split, bottom);
      ::TextOutA(dc, x, y, text, length);
    }
    ::SetTextColor(dc, m_textColor);
    {
      ScopedSaveDC saved(dc);
      ::IntersectClipRect(dc, split, y, lineLeft + m_wipeEnd, bottom);
      ::TextOutA(dc, x, y, text, length);
    }
  }
  ::SetTextColor(dc, m_textColor);
}
