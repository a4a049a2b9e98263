// The karaoke view's data: tokens pulled from the lyric controller, the text
// they index, the song-information header, the font and the background
// brush. Drawing and timing live in CLyricView.
#pragma once

#include <cantomere/ILyricView.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/ILyricViewListener.h"
#include "lyrics/SongInfoText.h"
#include "base/GdiHandles.h"

// One lyric item from the controller.
struct LyricToken {
  int32_t textOffset = 0;  // in the text buffer
  int32_t length = 0;      // bytes, with the appended blank
  int32_t flags = 0;       // kTokenMarked, kTokenLineBreak, kTokenParagraphBreak
  int32_t width = 0;       // measured by Layout
  int32_t height = 0;
  int32_t duration = 0;  // ms
  int32_t x = 0;         // relative to its line's left edge
  int32_t y = 0;         // content y
};

// One displayed line.
struct LyricLine {
  int32_t firstToken = 0;
  int32_t tokenCount = 0;  // breaks are not counted
  int32_t x = 0;           // content x, by alignment
  int32_t y = 0;           // content y of its top
  int32_t width = 0;
  int32_t height = 0;    // closing token's height plus the line spacing
  int32_t duration = 0;  // ms
};

constexpr int32_t kTokenMarked = 0x1;
constexpr int32_t kTokenLineBreak = 0x10000;
constexpr int32_t kTokenParagraphBreak = 0x20000;

class CLyricViewBase : public ILyricView {
 public:
  // Controller side
  void LoadFromSong() override;
  void SetLyricSource(ICantomereLyrics* source) override;
  void MarkToken(unsigned index) override;
  void UnmarkToken(unsigned index) override;

  // Pane side
  void Release() override;
  void SetWindow(HWND window) override;
  void SetListener(ILyricViewListener* listener) override;
  void SetRect(const RECT* rect) override;
  const RECT* GetRect() override { return &m_rect; }
  void SetFont(HFONT font) override;
  HFONT GetFont() override { return m_font.Get(); }
  void SetSongInfo(const SongInfoText& info) override;
  int GetLineHeight() override;
  void Destroy(unsigned flags) override;

  // For tests and the window
  int GetTokenCount() const { return static_cast<int>(m_tokens.size()); }
  const LyricToken& GetToken(int index) const { return m_tokens[index]; }
  std::string GetTokenText(int index) const;
  int GetLineSpacing() const { return m_lineSpacing; }

 protected:
  CLyricViewBase();
  virtual ~CLyricViewBase();
  bool ValidIndex(int index) const { return index >= 0 && index < static_cast<int>(m_tokens.size()); }

  ICantomereLyrics* m_source = nullptr;
  HWND m_window = nullptr;
  ILyricViewListener* m_listener = nullptr;
  std::string m_text;
  std::vector<LyricToken> m_tokens;
  // Token starts (ms) taken at load, so that layout never asks a controller
  // that may have gone since.
  std::vector<int> m_starts;
  RECT m_rect = {};
  base::GdiFont m_font;
  base::GdiBrush m_bkBrush;
  int m_lineSpacing = 5;
  SongInfoText m_info;
  bool m_bufferStale = true;
};
