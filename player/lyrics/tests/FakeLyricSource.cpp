#include "FakeLyricSource.h"

FakeLyricSource& FakeLyricSource::Add(const std::string& text, int start, int duration, int tick) {
  tokens.push_back({text, start, duration, tick < 0 ? static_cast<int>(tokens.size()) * 10 : tick});
  return *this;
}

const FakeLyricSource::Token* FakeLyricSource::At(int kind, int index) {
  ++calls;
  if (kind != 1 || index < 0 || index >= static_cast<int>(tokens.size())) return nullptr;
  return &tokens[index];
}

int FakeLyricSource::GetTokenCount(int kind) {
  ++calls;
  return kind == 1 ? static_cast<int>(tokens.size()) : 0;
}

std::string FakeLyricSource::GetTokenText(int kind, int index) {
  const Token* t = At(kind, index);
  return t ? t->text : std::string();
}

int FakeLyricSource::IsLineBreak(const std::string& text) {
  ++calls;
  return text == ",";
}

int FakeLyricSource::IsParagraphBreak(const std::string& text) {
  ++calls;
  return text == ".";
}

int FakeLyricSource::QueryToken(int kind, int index) {
  const Token* t = At(kind, index);
  return t ? t->tick : -1;
}

int FakeLyricSource::GetTokenStart(int kind, int index) {
  const Token* t = At(kind, index);
  return t ? t->start : 0;
}

int FakeLyricSource::GetTokenDuration(int kind, int index) {
  const Token* t = At(kind, index);
  return t ? t->duration : 0;
}
