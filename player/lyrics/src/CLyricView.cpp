#include "lyrics/CLyricView.h"

#include <cantomere/Cantomere.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace {

int ClampToInt(long long v) {
  return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, v)));
}

// Windows measures an empty text at the font's height, Wine at 0: the
// header must stand at the same place on both.
SIZE MeasureText(HDC dc, const char* text, int length) {
  SIZE size = {0, 0};
  if (length > 0) ::GetTextExtentPoint32A(dc, text, length, &size);
  if (length <= 0 || size.cy == 0) {
    TEXTMETRICA metrics = {};
    if (::GetTextMetricsA(dc, &metrics)) size.cy = metrics.tmHeight;
  }
  return size;
}

SIZE MeasureText(HDC dc, const std::string& text) {
  return MeasureText(dc, text.data(), static_cast<int>(text.size()));
}

// The window's DC, or the screen's when there is no window; released at the end.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
  ~ScopedWindowDC() {
    if (m_dc) ::ReleaseDC(m_window, m_dc);
  }
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HWND m_window;
  HDC m_dc;
};

}  // namespace

ILyricView* CreateLyricView() { return new (std::nothrow) CLyricView(); }

CLyricView::CLyricView() = default;

CLyricView::~CLyricView() {
  StopTimer();
  if (m_msgWnd) {
    m_msgWnd->SetSink(nullptr);
    m_msgWnd->Destroy();
  }
  if (m_backDC) {
    ::SelectObject(m_backDC, m_backOld);
    ::DeleteDC(m_backDC);
    base::GdiNoteDeleted();
  }
}

// --- geometry helpers

int CLyricView::HorizontalOffset(int v) const {
  switch (m_align) {
    case 0:
      return std::min(v, 0);
    case 2:
      return std::max(v, m_contentWidth - ViewWidth());
    default:
      return v;
  }
}

int CLyricView::LineOfToken(int index) const {
  if (!ValidIndex(index) || m_lines.empty()) return -1;
  auto it = std::upper_bound(m_lines.begin(), m_lines.end(), index,
                             [](int i, const LyricLine& line) { return i < line.firstToken; });
  if (it == m_lines.begin()) return -1;
  --it;
  if (index >= it->firstToken && index < it->firstToken + it->tokenCount)
    return static_cast<int>(it - m_lines.begin());
  return -1;
}

void CLyricView::Invalidate(const RECT& rect, bool erase) {
  if (!m_window) return;
  ::InvalidateRect(m_window, &rect, erase ? TRUE : FALSE);
  if (m_observer) m_observer(m_observerContext, rect, erase);
}

void CLyricView::InvalidateView(bool erase) { Invalidate(m_rect, erase); }

void CLyricView::NotifyScroll() {
  if (m_listener) m_listener->OnScrollPos(m_scrollX, m_scrollY);
}

// --- pane side

void CLyricView::SetRect(const RECT* rect) {
  if (!rect) return;
  const int oldWidth = ViewWidth(), oldHeight = ViewHeight();
  CLyricViewBase::SetRect(rect);
  if (m_tokens.empty() || (ViewWidth() == oldWidth && ViewHeight() == oldHeight)) {
    m_scrollX = HorizontalOffset((m_contentWidth - ViewWidth()) / 2);
    return;
  }
  // Rows are broken to the view's width, and a new height may hide the line
  // being sung: both need the layout again.
  Layout(true);
  KeepLineInSight();
}

void CLyricView::KeepLineInSight() {
  if (m_lines.empty() || !HasArea()) return;
  int index = LineOfToken(m_wipeToken);
  if (index < 0) index = 0;
  const LyricLine& line = m_lines[index];
  const int top = line.y - m_scrollY, bottom = top + line.height - m_lineSpacing;
  if (top >= 0 && bottom <= ViewHeight()) return;
  m_pendingScroll = 0;
  m_scrollY = ScrollTargetOfLine(index);
  InvalidateView(false);
  NotifyScroll();
}

void CLyricView::SetColor(int index, COLORREF color) {
  switch (index) {
    case 0:
      m_textColor = color;
      break;
    case 1:
      m_highlightColor = color;
      break;
    case 2:
      m_bkColor = color;
      m_bkBrush.Attach(::CreateSolidBrush(color));
      break;
    default:
      break;
  }
}

COLORREF CLyricView::GetColor(int index) {
  switch (index) {
    case 0:
      return m_textColor;
    case 1:
      return m_highlightColor;
    case 2:
      return m_bkColor;
    default:
      return 0;
  }
}

SIZE* CLyricView::GetContentSize(SIZE* size) {
  if (size) {
    size->cx = m_contentWidth;
    size->cy = m_contentHeight;
  }
  return size;
}

void CLyricView::SetAlign(int align) {
  // Only left, centre and right exist; anything else is the setting's
  // default, left.
  m_align = (align >= 0 && align <= 2) ? align : 0;
  for (LyricLine& line : m_lines) {
    if (m_align == 0)
      line.x = 0;
    else if (m_align == 1)
      line.x = (m_contentWidth - line.width) / 2;
    else
      line.x = m_contentWidth - line.width;
  }
  m_scrollX = HorizontalOffset((m_contentWidth - ViewWidth()) / 2);
  // A row wider than the view holds one syllable too wide to break: it starts
  // at the view's left edge, so it is read from its beginning and cut at the
  // right only.
  if (HasArea()) {
    for (LyricLine& line : m_lines) {
      if (line.width > ViewWidth()) line.x = m_scrollX;
    }
  }
}

int CLyricView::HitTest(int x, int y) {
  // Without a controller there is nothing to answer with.
  if (m_tokens.empty() || !m_source) return -1;
  const long long px = static_cast<long long>(m_scrollX) + x, py = static_cast<long long>(m_scrollY) + y;
  for (const LyricLine& line : m_lines) {
    if (py < line.y || py >= static_cast<long long>(line.y) + line.height) continue;
    for (int i = line.firstToken; i < line.firstToken + line.tokenCount; ++i) {
      const LyricToken& t = m_tokens[i];
      const long long left = static_cast<long long>(line.x) + t.x;
      if (px >= left && px < left + t.width) return m_source->QueryToken(1, i);
    }
    return -1;
  }
  return -1;
}

// --- layout

void CLyricView::MeasureHeader(HDC dc) {
  const SIZE title = MeasureText(dc, m_info.title);
  const SIZE singer = MeasureText(dc, m_info.singer);
  const SIZE lyricist = MeasureText(dc, m_info.lyricist);
  const SIZE composer = MeasureText(dc, m_info.composer);
  m_headerWidth = std::max({title.cx, singer.cx, lyricist.cx, composer.cx});
  m_titleHeight = title.cy;
  // The title always has its row; an information line has one only when it
  // is drawn, so a song without singer or writers leaves no blank rows
  // between its title and its lyrics.
  int height = title.cy;
  for (const std::string* text : {&m_info.singer, &m_info.composer, &m_info.lyricist}) {
    if (!text->empty()) height += title.cy + m_lineSpacing;
  }
  m_headerHeight = height + kHeaderGap;
}

int CLyricView::ScrollTargetOfLine(int index) {
  // A line is read where the first line stands under the header. A view too
  // short for that scrolls further, so that the line after it is in sight
  // before it is sung, but never so far that the line itself leaves the top.
  const LyricLine& line = m_lines[index];
  long long target = static_cast<long long>(line.y) - m_headerHeight;
  if (HasArea()) {
    const bool hasNext = index + 1 < static_cast<int>(m_lines.size());
    const LyricLine& lowest = hasNext ? m_lines[index + 1] : line;
    const long long bottom = static_cast<long long>(lowest.y) + lowest.height - m_lineSpacing;
    target = std::min(std::max(target, bottom - ViewHeight()), static_cast<long long>(line.y));
  }
  return ClampToInt(std::max<long long>(target, 0));
}

void CLyricView::Layout(bool keepPosition) {
  ScopedWindowDC windowDC(m_window);
  HDC dc = windowDC.Get();
  base::ScopedSelect font(dc, m_font.Get());
  MeasureHeader(dc);

  double ratio = 0;
  if (keepPosition && m_contentWidth != 0 && m_contentHeight != 0)
    ratio = static_cast<double>(m_scrollY) / m_contentHeight;

  m_contentWidth = m_headerWidth;
  long long y = m_headerHeight;
  m_lines.clear();
  LyricLine line;
  line.y = static_cast<int32_t>(y);
  long long x = 0;
  bool atLineStart = true;
  auto start = [this](int k) -> long long {
    return k >= 0 && k < static_cast<int>(m_starts.size()) ? m_starts[k] : 0;
  };
  auto closeLine = [&](int last, int height) {
    const int first = line.tokenCount > 0 ? line.firstToken : last;
    if (line.tokenCount == 0) line.firstToken = last;
    line.height = height + m_lineSpacing;
    line.duration = ClampToInt(start(last) - start(first) + m_tokens[last].duration);
    m_lines.push_back(line);
  };
  // A line wider than the view is broken between syllables into rows that
  // fit; each row is a line of its own, so the wipe, the scrolling and the
  // marks follow it. The blank after a row's last syllable may stand outside.
  const int wrapWidth = HasArea() ? ViewWidth() : 0;
  const int blankWidth = MeasureText(dc, " ", 1).cx;
  const int count = static_cast<int>(m_tokens.size());
  for (int i = 0; i < count; ++i) {
    LyricToken& t = m_tokens[i];
    const SIZE size = MeasureText(dc, m_text.data() + t.textOffset, t.length);
    t.width = size.cx;
    t.height = size.cy;
    const bool isBreak = (t.flags & (kTokenLineBreak | kTokenParagraphBreak)) != 0;
    const bool endsInBlank = t.length > 0 && m_text[t.textOffset + t.length - 1] == ' ';
    const int inkWidth = t.width - (endsInBlank ? blankWidth : 0);
    if (!isBreak && wrapWidth > 0 && line.tokenCount > 0 && x + inkWidth > wrapWidth) {
      y += m_tokens[i - 1].height + m_lineSpacing;
      closeLine(i - 1, m_tokens[i - 1].height);
      line = LyricLine();
      line.y = ClampToInt(y);
      x = 0;
    }
    if (isBreak) {
      y += static_cast<long long>(t.height + m_lineSpacing) * ((t.flags & kTokenLineBreak) ? 1 : 2);
      closeLine(i, t.height);
      line = LyricLine();
      line.y = ClampToInt(y);
      x = 0;
      atLineStart = true;
    } else {
      t.x = ClampToInt(x);
      t.y = ClampToInt(y);
      x += t.width;
      m_contentWidth = std::max(m_contentWidth, ClampToInt(x));
      line.width = ClampToInt(x);
      if (line.tokenCount == 0) line.firstToken = i;
      ++line.tokenCount;
      atLineStart = false;
    }
  }
  if (!atLineStart) closeLine(count - 1, m_tokens[count - 1].height);
  m_contentHeight = ClampToInt(y);
  SetAlign(m_align);

  if (keepPosition) {
    m_scrollY = static_cast<int>(m_contentHeight * ratio);
  } else {
    m_scrollX = HorizontalOffset((m_contentWidth - ViewWidth()) / 2);
    // A view too short for the header and the first line shows the line.
    m_scrollY = m_lines.empty() ? 0 : ScrollTargetOfLine(0);
  }
  InvalidateView(true);
  m_bufferStale = true;
  if (m_listener) {
    m_listener->OnContentChanged();
    NotifyScroll();
  }
}

// --- scrolling

void CLyricView::Scroll(int dx, int dy, int mode) {
  long long x = m_scrollX, y = m_scrollY;
  if (mode == 0) {
    x = dx;
    y = dy;
  } else if (mode == 1) {
    x += dx;
    y += dy;
  } else if (mode == 2) {
    x = static_cast<long long>(m_contentWidth) + dx;
    y = static_cast<long long>(m_contentHeight) + dy;
  }
  y = std::max<long long>(0, std::min<long long>(y, std::max(0, m_contentHeight)));
  // The horizontal offset stays as layout and alignment set it.
  m_scrollY = static_cast<int>(y);
  if (m_window) {
    ScopedWindowDC dc(m_window);
    if (dc.Get()) Draw(dc.Get());
  }
  NotifyScroll();
}

void CLyricView::JumpToToken(int index) {
  const int line = LineOfToken(index);
  if (line < 0) return;
  const int target = ScrollTargetOfLine(line);
  if (target == m_scrollY) return;
  m_scrollY = target;
  InvalidateView(false);
  NotifyScroll();
}

void CLyricView::SeekToToken(int index) {
  StopTimer();
  m_pendingScroll = 0;
  JumpToToken(index);
}

void CLyricView::OnTokenCurrent(int index) {
  const int lineIndex = LineOfToken(index);
  if (lineIndex < 0) return;
  const LyricLine& line = m_lines[lineIndex];
  const LyricToken& t = m_tokens[index];
  if (m_karaoke) {
    m_wipeToken = index;
    m_wipeWidth = t.width;
    m_wipeHeight = t.height;
    m_wipeX = t.x;
    m_wipeY = t.y;
    m_wipeDuration = t.duration;
    m_wipePos = t.x;
    m_wipeEnd = t.x + t.width;
    // A step every 150 ms ends the wipe after about the syllable's length;
    // a syllable with no length is sung at once.
    if (t.duration > 0) {
      m_wipeStep = std::max(1, static_cast<int>(std::ceil(t.width * 150.0 / t.duration)));
    } else {
      m_wipeStep = std::max(1, t.width);
      m_wipePos = m_wipeEnd;
    }
    StartTimer();
  }
  RECT lineRect = {m_rect.left, m_rect.top + line.y - m_scrollY, m_rect.right,
                   m_rect.top + line.y - m_scrollY + line.height};
  // Without the wipe nothing else would show the new mark.
  if (!m_karaoke || m_wipePos >= m_wipeEnd) Invalidate(lineRect, false);

  const int target = ScrollTargetOfLine(lineIndex);
  if (target == m_scrollY) return;
  // The first syllable of a row (after a break or where a long line was
  // broken) moves the view.
  if (index != line.firstToken) return;
  // A line not wholly in sight is shown at once: a smooth scroll would keep
  // part of it hidden while it is sung.
  const int top = line.y - m_scrollY, bottom = top + line.height - m_lineSpacing;
  if (HasArea() && (top < 0 || bottom > ViewHeight())) {
    m_pendingScroll = 0;
    m_scrollY = target;
    InvalidateView(false);
    NotifyScroll();
    return;
  }
  m_pendingScroll = target - m_scrollY;
  const long long duration = std::max(line.duration, 10);
  m_scrollSpeed = static_cast<int>(std::max<long long>(1, m_pendingScroll * 200LL / duration));
  StartTimer();
}

void CLyricView::InvalidateTokenLine(int index) {
  if (!ValidIndex(index)) return;
  const int top = m_rect.top + m_tokens[index].y - m_scrollY;
  Invalidate(RECT{m_rect.left, top, m_rect.left + ViewWidth(), top + GetLineHeight()}, true);
}

void CLyricView::SetCountIn(int count) {
  m_countIn = std::max(0, count);
  const int top = m_rect.top + m_headerHeight - kHeaderGap - m_scrollY;
  Invalidate(RECT{m_rect.left, top, m_rect.right, top + kHeaderGap}, false);
}

// --- timer

void CLyricView::StartTimer() {
  if (m_timerId != 0) return;
  m_tick = 0;
  if (!m_msgWnd) {
    m_msgWnd.reset(new (std::nothrow) CMsgWnd());
    if (!m_msgWnd) return;
    m_msgWnd->SetSink(this);
    if (!m_msgWnd->Create(nullptr)) {
      m_msgWnd.reset();
      return;
    }
  }
  m_timerId = static_cast<int>(::SetTimer(m_msgWnd->GetHwnd(), kTimerId, kTimerPeriodMs, nullptr));
}

void CLyricView::StopTimer() {
  if (m_timerId != 0 && m_msgWnd) ::KillTimer(m_msgWnd->GetHwnd(), m_timerId);
  m_timerId = 0;
  m_tick = 0;
}

int CLyricView::OnWndMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_TIMER) return 0;
  ++m_tick;
  if (m_timerId == 0 || wParam != static_cast<WPARAM>(m_timerId)) return 0;
  if (m_tick % 2 == 1 && m_pendingScroll != 0) {
    const int step = m_pendingScroll > 0 ? std::min(m_pendingScroll, m_scrollSpeed) : -1;
    m_pendingScroll -= step;
    m_scrollY += step;
    InvalidateView(false);
    NotifyScroll();
  }
  if (m_tick % 3 == 1 && m_wipePos < m_wipeEnd) {
    // A reload may have taken the syllable away: end its wipe.
    const int lineIndex = LineOfToken(m_wipeToken);
    if (lineIndex < 0) {
      m_wipePos = m_wipeEnd;
      return 0;
    }
    m_wipePos = std::min(m_wipePos + m_wipeStep, m_wipeEnd);
    if (m_wipeEnd - m_wipePos < m_wipeStep) m_wipePos = m_wipeEnd;
    const int left = m_rect.left + m_lines[lineIndex].x + m_wipeX - m_scrollX;
    const int top = m_rect.top + m_wipeY - m_scrollY;
    Invalidate(RECT{left, top, left + m_wipeWidth, top + m_wipeHeight}, false);
  }
  return 0;
}
