#include "lyrics/CLyricViewBase.h"

#include <cantomere/Cantomere.h>

namespace {

// A syllable is a few bytes; a text longer than this is cut rather than
// measured and drawn as one enormous run.
constexpr size_t kMaxTokenBytes = 1024;

}  // namespace

CLyricViewBase::CLyricViewBase() { m_bkBrush.Attach(::CreateSolidBrush(RGB(0, 0, 0))); }

CLyricViewBase::~CLyricViewBase() = default;

void CLyricViewBase::LoadFromSong() {
  if (!m_source) return;
  m_text.clear();
  m_tokens.clear();
  m_starts.clear();
  const int count = m_source->GetTokenCount(1);
  for (int i = 0; i < count; ++i) {
    std::string text = m_source->GetTokenText(1, i);
    if (text.size() > kMaxTokenBytes) text.resize(kMaxTokenBytes);
    LyricToken token;
    if (m_source->IsLineBreak(text))
      token.flags = kTokenLineBreak;
    else if (m_source->IsParagraphBreak(text))
      token.flags = kTokenParagraphBreak;
    // Words of single-byte scripts are followed by a blank; characters of
    // double-byte scripts follow one another without one.
    if (text.empty() || !::IsDBCSLeadByte(static_cast<BYTE>(text[0]))) text += ' ';
    token.textOffset = static_cast<int32_t>(m_text.size());
    token.length = static_cast<int32_t>(text.size());
    token.duration = m_source->GetTokenDuration(1, i);
    m_text += text;
    m_tokens.push_back(token);
    m_starts.push_back(m_source->GetTokenStart(1, i));
  }
  Layout(false);
}

void CLyricViewBase::SetLyricSource(ICantomereLyrics* source) { m_source = source; }

void CLyricViewBase::MarkToken(unsigned index) {
  if (index >= m_tokens.size()) return;
  m_tokens[index].flags |= kTokenMarked;
  OnTokenCurrent(static_cast<int>(index));
}

void CLyricViewBase::UnmarkToken(unsigned index) {
  if (index >= m_tokens.size()) return;
  m_tokens[index].flags &= ~kTokenMarked;
  InvalidateTokenLine(static_cast<int>(index));
}

void CLyricViewBase::Release() { Destroy(1); }

void CLyricViewBase::Destroy(unsigned flags) {
  // Every view is made by CreateLyricView, on the heap.
  if (flags & 1) delete this;
}

void CLyricViewBase::SetWindow(HWND window) {
  m_window = window;
  m_bufferStale = true;
}

void CLyricViewBase::SetListener(ILyricViewListener* listener) { m_listener = listener; }

void CLyricViewBase::SetRect(const RECT* rect) {
  if (!rect) return;
  m_rect = *rect;
  if (m_window) ::InvalidateRect(m_window, &m_rect, TRUE);
  m_bufferStale = true;
}

void CLyricViewBase::SetFont(HFONT font) {
  // The same handle again is already ours: deleting it would leave the view
  // drawing with a dead font.
  if (font != m_font.Get()) m_font.Attach(font);
  Layout(true);
}

void CLyricViewBase::SetSongInfo(const SongInfoText& info) {
  m_info = info;
  Layout(true);
}

int CLyricViewBase::GetLineHeight() {
  if (m_tokens.empty()) return 0;
  return m_tokens[0].height + m_lineSpacing;
}

std::string CLyricViewBase::GetTokenText(int index) const {
  if (!ValidIndex(index)) return std::string();
  const LyricToken& t = m_tokens[index];
  return m_text.substr(t.textOffset, t.length);
}
