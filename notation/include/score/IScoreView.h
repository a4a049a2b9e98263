// A notation view bound to a window: lays out the tracks of a score buffer,
// paints them, lights the sounding notes, marks sung syllables and moves a
// play cursor through the bars. Made by CreateStaffInstance(window, 2) (or
// the numbered view's factory); the caller ends it with Release. Every call
// happens on the thread that owns the window; no exception leaves a call.
#pragma once

#include <windows.h>

#include <cstdint>

#include "score/IScoreBuffer.h"
#include "score/IScoreViewOptions.h"

class IScoreView {
 public:
  virtual void Release() = 0;
  // The view reads the buffer at Rebuild; it does not own it. Returns the previous one.
  virtual IScoreBuffer* SetScoreBuffer(IScoreBuffer* buffer) = 0;
  virtual HWND SetWindow(HWND window) = 0;
  virtual int SetRect(const RECT* rect) = 0;
  // Takes effect at the next Rebuild.
  virtual int SetFixedMeasureWidth(bool on, int width) = 0;
  // 1 when the buffer holds no track (the view is then empty), else 0.
  virtual int Rebuild() = 0;
  // Levels outside 0..3 are ignored.
  virtual void SetSizeLevel(int level) = 0;
  // 1 when nothing changed (no such track, the same kind, or no StaffKind).
  virtual int SetTrackStaffKind(int kind, int track) = 0;
  virtual void ShowTrack(int track, bool visible) = 0;
  // Stroke thickness of stems, ledger and staff lines: 0..2 (larger is 2).
  virtual void SetLineWidth(int width) = 0;
  // 0 and the kind written, or 1 when the track has no part.
  virtual int GetTrackStaffKind(int* kind, int track) = 0;
  virtual int ChooseClef(uint16_t lowest, uint16_t highest) = 0;
  virtual int Paint(HDC dc) = 0;

  // @name Playback
  // message: status | note << 8 | velocity << 16.
  virtual int NoteEvent(uint32_t message, int tick, int track) = 0;
  virtual int MarkLyric(int tick, int track) = 0;
  virtual int UnmarkLyrics(int tick, int track) = 0;
  // 0 at a bar line; a positive step places the cursor inside the measure in quarter beats.
  virtual int StepCursor(int step) = 0;
  virtual void Rewind() = 0;
  virtual void OnMidiMessage(uint32_t message, int a, int b) = 0;
  virtual void ClearNoteTracker() = 0;
  // Version 1 gives a new options object (the caller releases it); any other null.
  virtual IScoreViewOptions* GetOptions(int version) = 0;
  virtual void Reserved(int) = 0;

  // @name Paging and positions
  // mode 0 shows from the measure, 1 moves by it, 2 counts from the end;
  // returns the first measure shown, or -1 leaving the display as it was.
  virtual int ScrollTo(int measure, int mode) = 0;
  virtual int Layout(const RECT* rect) = 0;
  // Measures on the page; *fits is 1 when the last of them ends at or before the right edge.
  virtual int GetPageMeasureCount(char* fits) = 0;
  // Tick of the beat under the point (the cursor moves there), -1 outside.
  virtual int TickFromPoint(int x, int y) = 0;
  virtual int GetMeasureCount(int track) = 0;
  virtual int SeekTick(int tick) = 0;
  virtual int GetLastMeasure() = 0;
  virtual int PrevPage() = 0;

  // Bit 0 of flags frees the object. Use Release.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~IScoreView() = default;
};

extern "C" {
typedef IScoreView* (*CreateScoreViewFn)(HWND window, int version);
}
