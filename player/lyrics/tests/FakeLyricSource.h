#pragma once
// A lyric controller with tokens set by hand: exact texts, starts and
// durations (zero, negative, NUL-holding), for what the real controller
// never hands out. Breaks are "," (line) and "." (paragraph), as there.
#include <cantomere/Cantomere.h>

#include <string>
#include <vector>

class FakeLyricSource : public ICantomereLyrics {
 public:
  struct Token {
    std::string text;
    int start = 0, duration = 100, tick = 0;
  };
  std::vector<Token> tokens;
  int calls = 0;

  FakeLyricSource& Add(const std::string& text, int start, int duration, int tick = -1);

  void Release() override {}
  int Close() override { return 0; }
  void SetLyrics(const CantomereLyricData*) override {}
  void SetEngine(ISongEngine*) override {}
  void SeekTick(int) override {}
  void MarkLyric(int, int) override {}
  int OnTagEvent(uint32_t, int, int) override { return 0; }
  void AttachView(int, ILyricView*) override {}
  void DetachView(int, ILyricView*) override {}
  int GetTokenCount(int kind) override;
  std::string GetTokenText(int kind, int index) override;
  int IsLineBreak(const std::string& text) override;
  int IsParagraphBreak(const std::string& text) override;
  int QueryToken(int kind, int index) override;
  int GetTokenStart(int kind, int index) override;
  int GetTokenDuration(int kind, int index) override;
  int Rewind(int) override { return 0; }
  void OnCountIn(int, int) override {}

 private:
  const Token* At(int kind, int index);
};
