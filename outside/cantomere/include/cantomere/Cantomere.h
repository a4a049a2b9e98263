#pragma once
// Cantomere.dll: the lyric controller and its lyric buffers. The song engine
// copies a song's lyric and marker events into a buffer, hands the buffer's
// contents to the one controller, and relays playback events (lyric sung, seek,
// tag, count-in) to it; the controller times the lyrics and drives every
// attached karaoke view.
//
// Kinds: the operations that take a kind know only kind 1 (the karaoke view's
// syllable tokens); any other kind has no tokens.
// Ticks are 120 per quarter note. A token's "event index" (QueryToken, and
// GetFirstLyric) is its tick, which the engine turns into a time with
// ISongEngine::GetEventTime. Times are milliseconds.
#include <cstdint>
#include <string>

#include <scrivel/SmfRecords.h>
#include <cantomere/ILyricView.h>

class ISongEngine;

// What a lyric buffer holds, as one opaque value: GetLyricData hands it out and
// SetLyrics copies it, so the buffer may be cleared and refilled afterwards.
struct CantomereLyricData;

class ICantomereLyrics {
 public:
  virtual void Release() = 0;
  // Drops the lyrics; every view shows an empty song. 0.
  virtual int Close() = 0;
  // Copies the buffer's contents (null = no lyrics), builds the tokens and
  // their times, and reloads every view.
  virtual void SetLyrics(const CantomereLyricData* data) = 0;
  // Kept, not owned; asked for event times when lyrics are set.
  virtual void SetEngine(ISongEngine* engine) = 0;
  // The song jumped to this tick: all marks go, the views move to the first
  // syllable at or after it.
  virtual void SeekTick(int tick) = 0;
  // The syllable at this tick of this track is being sung.
  virtual void MarkLyric(int tick, int track) = 0;
  // A marker of the song was reached. 0.
  virtual int OnTagEvent(uint32_t tag, int tick, int track) = 0;
  // The view stays registered until DetachView; it is never called after that.
  virtual void AttachView(int kind, ILyricView* view) = 0;
  virtual void DetachView(int kind, ILyricView* view) = 0;

  // Tokens, pulled by the views. Break tokens ("," line, "." paragraph) are
  // counted. Out-of-range indexes give "", -1 (QueryToken) or 0.
  virtual int GetTokenCount(int kind) = 0;
  virtual std::string GetTokenText(int kind, int index) = 0;
  virtual int IsLineBreak(const std::string& text) = 0;
  virtual int IsParagraphBreak(const std::string& text) = 0;
  virtual int QueryToken(int kind, int index) = 0;        // the token's tick
  virtual int GetTokenStart(int kind, int index) = 0;     // ms
  virtual int GetTokenDuration(int kind, int index) = 0;  // ms, never 0 for a syllable

  // Back to the first token with no marks and no count-in. 0, or 1 for an
  // unknown kind.
  virtual int Rewind(int kind) = 0;
  // steps still to come before the first lyric; 0 clears the dots.
  virtual void OnCountIn(int kind, int steps) = 0;

 protected:
  ~ICantomereLyrics() = default;
};

class ICantomereLyricBuffer {
 public:
  virtual void Release() = 0;
  virtual void Clear() = 0;
  // Meta 0x80 events (FF 80 len tag...) of the song's "MCtl" tracks; the
  // bytes are copied, the array may be freed after the call.
  virtual void AddMarkers(int track, const SmfEvent* events, int count) = 0;
  // Lyric meta events (FF 05 len text); copied likewise.
  virtual void AddLyrics(int track, const SmfEvent* events, int count) = 0;
  // kind 1: the tick of the first syllable of the lyric track the controller
  // will show, or -1 when there is none.
  virtual int GetFirstLyric(int kind) = 0;
  // Valid until the buffer changes or is released.
  virtual const CantomereLyricData* GetLyricData() = 0;

 protected:
  ~ICantomereLyricBuffer() = default;
};

// Exports of Cantomere.dll, looked up by name. Version 1 gives a new object
// that the caller ends with its Release; any other version gives null.
extern "C" {
typedef ICantomereLyrics* (*CreateCantomereInstanceFn)(int version);
typedef ICantomereLyricBuffer* (*CreateLyricBufferInstanceFn)(int version);
ICantomereLyrics* CreateCantomereInstance(int version);
ICantomereLyricBuffer* CreateLyricBufferInstance(int version);
}

constexpr const char kCantomereLibrary[] = "Cantomere.dll";
constexpr const char kCreateCantomereInstanceName[] = "CreateCantomereInstance";
constexpr const char kCreateLyricBufferInstanceName[] = "CreateLyricBufferInstance";
