// The settings face of a notation view: colours and three display flags, kept
// per track and applied at once to the part that draws the track. Made by
// IScoreView::GetOptions(1); the caller ends it with Release, and the view
// must outlive it. Track -1 means every track.
#pragma once

#include <windows.h>

class IScoreViewOptions {
 public:
  virtual void Release() = 0;
  virtual void SetLineColor(COLORREF color, int track) = 0;
  virtual COLORREF GetLineColor(int track) = 0;
  virtual void SetNoteColor(COLORREF color, int track) = 0;
  virtual COLORREF GetNoteColor(int track) = 0;
  virtual void SetHighlightNoteColor(COLORREF color, int track) = 0;
  virtual COLORREF GetHighlightNoteColor(int track) = 0;
  virtual void SetClefColor(COLORREF color, int track) = 0;
  virtual COLORREF GetClefColor(int track) = 0;
  virtual void SetSignatureColor(COLORREF color, int track) = 0;
  virtual COLORREF GetSignatureColor(int track) = 0;
  virtual void SetBarIndexColor(COLORREF color, int track) = 0;
  virtual COLORREF GetBarIndexColor(int track) = 0;
  virtual void SetShowBarIndex(bool on, int track) = 0;
  virtual bool GetShowBarIndex(int track) = 0;
  virtual void SetShowTrackNumber(bool on, int track) = 0;
  virtual bool GetShowTrackNumber(int track) = 0;
  virtual void SetHeavyEndBar(bool on, int track) = 0;
  virtual bool GetHeavyEndBar(int track) = 0;
  // Bit 0 of flags frees the object. Use Release.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~IScoreViewOptions() = default;
};
