#pragma once
#include <vector>

#include <cantomere/Cantomere.h>

#include "LyricTokens.h"

// Times one song's lyrics and drives the attached karaoke views while it
// plays. Everything runs on the UI thread, so there is no lock.
//
// Marks: a view draws a line's sung part up to its one marked token, so
// before the next syllable of a line is marked the previous one is unmarked;
// the last mark of a finished line stays and the line stays lit.
class CLyricController final : public ICantomereLyrics {
 public:
  void Release() override;
  int Close() override;
  void SetLyrics(const CantomereLyricData* data) override;
  void SetEngine(ISongEngine* engine) override;
  void SeekTick(int tick) override;
  void MarkLyric(int tick, int track) override;
  int OnTagEvent(uint32_t tag, int tick, int track) override;
  void AttachView(int kind, ILyricView* view) override;
  void DetachView(int kind, ILyricView* view) override;
  int GetTokenCount(int kind) override;
  std::string GetTokenText(int kind, int index) override;
  int IsLineBreak(const std::string& text) override;
  int IsParagraphBreak(const std::string& text) override;
  int QueryToken(int kind, int index) override;
  int GetTokenStart(int kind, int index) override;
  int GetTokenDuration(int kind, int index) override;
  int Rewind(int kind) override;
  void OnCountIn(int kind, int steps) override;

 private:
  const LyricToken* TokenAt(int kind, int index) const;
  int TimeOf(uint32_t tick) const;
  bool SameLine(size_t first, size_t second) const;
  void Mark(size_t index);
  void UnmarkAll();
  // A copy, so that a view detaching itself from inside a call is harmless.
  std::vector<ILyricView*> Views() const { return views_; }

  ISongEngine* engine_ = nullptr;
  std::vector<ILyricView*> views_;
  LyricTokenList lyrics_;
  std::vector<bool> marked_;
  int lastMarked_ = -1;    // the token being sung, -1 after a jump
  size_t searchFrom_ = 0;  // where the next sung syllable is looked for
  int countIn_ = 0;        // count-in dots now shown
};
