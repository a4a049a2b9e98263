#include "LyricController.h"
#include "base/Guarded.h"

#include <algorithm>
#include <climits>

#include <tunewell/ISongEngine.h>

namespace {

constexpr int kSyllableTokens = 1;

int TickAsIndex(uint32_t tick) { return tick > uint32_t(INT_MAX) ? INT_MAX : int(tick); }

}  // namespace

void CLyricController::Release() {
  // A view still registered would otherwise pull tokens from a dead source.
  base::Guarded([&] {
    for (ILyricView* view : Views()) view->SetLyricSource(nullptr);
  });
  delete this;
}

int CLyricController::Close() {
  return base::Guarded(
      [&] {
        lyrics_ = LyricTokenList();
        marked_.clear();
        lastMarked_ = -1;
        searchFrom_ = 0;
        countIn_ = 0;
        for (ILyricView* view : Views()) {
          view->SetCountIn(0);
          view->LoadFromSong();
        }
        return 0;
      },
      1);
}

void CLyricController::SetLyrics(const CantomereLyricData* data) {
  // Tokens and their marks are made aside and taken together, so that memory
  // running out leaves a song without lyrics, never marks that miss tokens.
  const bool made = base::Guarded(
      [&] {
        CantomereLyricData empty;
        const CantomereLyricData& source = data != nullptr ? *data : empty;
        LyricTokenList lyrics = BuildLyricTokens(source);
        TimeLyricTokens(&lyrics, source.markers, [this](uint32_t tick) { return TimeOf(tick); });
        std::vector<bool> marked(lyrics.tokens.size(), false);
        lyrics_ = std::move(lyrics);
        marked_ = std::move(marked);
        return true;
      },
      false);
  if (!made) {
    lyrics_ = LyricTokenList();
    marked_.clear();
  }
  lastMarked_ = -1;
  searchFrom_ = 0;
  base::Guarded([&] {
    for (ILyricView* view : Views()) {
      view->SetLyricSource(this);
      view->LoadFromSong();
      view->JumpToToken(0);
    }
  });
}

void CLyricController::SetEngine(ISongEngine* engine) { engine_ = engine; }

int CLyricController::TimeOf(uint32_t tick) const {
  int ms = engine_ != nullptr ? engine_->GetEventTime(TickAsIndex(tick)) : -1;
  if (ms < 0) {
    // Without an engine the song's tempo is unknown; 120 beats per minute is
    // what a MIDI file without tempo events plays at.
    ms = int(std::min<long long>(INT_MAX, (long long)tick * 500 / 120));
  }
  return ms;
}

void CLyricController::SeekTick(int tick) {
  base::Guarded([&] {
    UnmarkAll();
    std::vector<LyricToken>& tokens = lyrics_.tokens;
    size_t target = 0;
    size_t lastSyllable = 0;
    bool found = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
      if (tokens[i].kind != LyricTokenKind::kSyllable) continue;
      lastSyllable = i;
      if (!found && tick >= 0 && tokens[i].tick >= uint32_t(tick)) {
        target = i;
        found = true;
      }
    }
    // Past the last syllable the view stays on it rather than on nothing.
    if (!found) target = lastSyllable;
    if (tick < 0) target = 0;
    searchFrom_ = target;
    lastMarked_ = -1;
    for (ILyricView* view : Views()) view->SeekToToken(int(target));
  });
}

void CLyricController::MarkLyric(int tick, int track) {
  base::Guarded([&] {
    if (track != lyrics_.track || tick < 0) return;
    const std::vector<LyricToken>& tokens = lyrics_.tokens;
    for (size_t i = searchFrom_; i < tokens.size(); ++i) {
      if (tokens[i].tick > uint32_t(tick)) return;
      if (tokens[i].kind != LyricTokenKind::kSyllable || marked_[i] || tokens[i].tick != uint32_t(tick))
        continue;
      if (lastMarked_ >= 0 && marked_[lastMarked_] && SameLine(size_t(lastMarked_), i)) {
        marked_[lastMarked_] = false;
        for (ILyricView* view : Views()) view->UnmarkToken(unsigned(lastMarked_));
      }
      Mark(i);
      return;
    }
  });
}

bool CLyricController::SameLine(size_t first, size_t second) const {
  for (size_t i = first + 1; i < second; ++i) {
    if (lyrics_.tokens[i].kind != LyricTokenKind::kSyllable) return false;
  }
  return true;
}

void CLyricController::Mark(size_t index) {
  marked_[index] = true;
  lastMarked_ = int(index);
  searchFrom_ = index;
  for (ILyricView* view : Views()) view->MarkToken(unsigned(index));
}

void CLyricController::UnmarkAll() {
  for (size_t i = 0; i < marked_.size(); ++i) {
    if (!marked_[i]) continue;
    marked_[i] = false;
    for (ILyricView* view : Views()) view->UnmarkToken(unsigned(i));
  }
  lastMarked_ = -1;
}

int CLyricController::OnTagEvent(uint32_t tag, int tick, int track) {
  // Phrase ends ("WDOF") already shortened the syllables before them.
  return 0;
}

void CLyricController::AttachView(int kind, ILyricView* view) {
  base::Guarded([&] {
    if (kind != kSyllableTokens || view == nullptr) return;
    if (std::find(views_.begin(), views_.end(), view) != views_.end()) return;
    views_.push_back(view);
    view->SetLyricSource(this);
    view->LoadFromSong();
    // A view made while a song plays joins it where it stands: the lines sung
    // so far lit, the line being sung in sight, the count-in dots shown.
    if (lyrics_.tokens.empty()) return;
    view->JumpToToken(int(searchFrom_));
    for (size_t i = 0; i < marked_.size(); ++i) {
      if (marked_[i]) view->MarkToken(unsigned(i));
    }
    if (countIn_ > 0) view->SetCountIn(countIn_);
  });
}

void CLyricController::DetachView(int kind, ILyricView* view) {
  base::Guarded([&] {
    if (kind != kSyllableTokens) return;
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
  });
}

const LyricToken* CLyricController::TokenAt(int kind, int index) const {
  if (kind != kSyllableTokens || index < 0 || size_t(index) >= lyrics_.tokens.size()) return nullptr;
  return &lyrics_.tokens[index];
}

int CLyricController::GetTokenCount(int kind) {
  return kind == kSyllableTokens ? int(lyrics_.tokens.size()) : 0;
}

std::string CLyricController::GetTokenText(int kind, int index) {
  return base::Guarded(
      [&] {
        const LyricToken* token = TokenAt(kind, index);
        return token != nullptr ? token->text : std::string();
      },
      std::string());
}

int CLyricController::IsLineBreak(const std::string& text) { return text == "," ? 1 : 0; }

int CLyricController::IsParagraphBreak(const std::string& text) { return text == "." ? 1 : 0; }

int CLyricController::QueryToken(int kind, int index) {
  const LyricToken* token = TokenAt(kind, index);
  return token != nullptr ? TickAsIndex(token->tick) : -1;
}

int CLyricController::GetTokenStart(int kind, int index) {
  const LyricToken* token = TokenAt(kind, index);
  return token != nullptr ? token->startMs : 0;
}

int CLyricController::GetTokenDuration(int kind, int index) {
  const LyricToken* token = TokenAt(kind, index);
  return token != nullptr ? token->durationMs : 0;
}

int CLyricController::Rewind(int kind) {
  return base::Guarded(
      [&] {
        if (kind != kSyllableTokens) return 1;
        UnmarkAll();
        searchFrom_ = 0;
        countIn_ = 0;
        for (ILyricView* view : Views()) {
          view->SetCountIn(0);
          view->SeekToToken(0);
        }
        return 0;
      },
      1);
}

void CLyricController::OnCountIn(int kind, int steps) {
  base::Guarded([&] {
    if (kind != kSyllableTokens) return;
    countIn_ = std::max(steps, 0);
    for (ILyricView* view : Views()) view->SetCountIn(countIn_);
  });
}
