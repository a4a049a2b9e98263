// The play list as the main window drives it (IPlayListModel) and as it tells
// the main window which song to play (IPlayListSink), plus the record each
// row carries and the scroll hand-off to the window's skinned scroll bar.
// UI thread only.
#pragma once

#include <string>

// What a row carries; the row owns it.
struct PlayListItemData {
  std::string path;
  int length = 0;  // seconds
  int index = 0;   // kept equal to the row's position
};

class IPlayListSink {
 public:
  virtual void Play(const char* path) = 0;
  virtual void Open(const char* path) = 0;
  // The entry with this path was removed while it was the current one.
  virtual void ForgetPath(const char* path) = 0;

 protected:
  ~IPlayListSink() = default;
};

// A row is valid when 0 <= row < GetCount().
class IPlayListModel {
 public:
  enum PlayMode { kOrdinal = 0, kLoop = 1, kRandom = 2 };

  // Appends a row; the first row ever added becomes current and is opened
  // (never played).
  virtual void AddEntry(const char* path, int length) = 0;
  virtual void RemoveSelected() = 0;
  virtual int GetCount() = 0;
  // Null for an invalid row.
  virtual PlayListItemData* GetEntry(int row) = 0;
  // -1 for none.
  virtual int GetCurrentIndex() = 0;
  // The first selected row, also stored; the stored row when none is selected.
  virtual int GetSelectedIndex() = 0;
  // By play mode; -1 for none.
  virtual int GetNextIndex() = 0;
  virtual int GetPrevIndex() = 0;
  // The first row whose path equals path (case-sensitive), -1 for none.
  virtual int FindPath(const char* path) = 0;
  // The row to play once a song ends: the current row with the single loop
  // set, else GetNextIndex; -1 for none.
  virtual int GetIndexToPlay() = 0;
  // Makes row current and asks the sink to play it (play non-zero) or open
  // it; false for an invalid row.
  virtual bool SelectEntry(int row, int play) = 0;
  virtual void SetPlayMode(int mode) = 0;
  virtual int GetPlayMode() = 0;
  virtual void SetSingleLoop(int flag) = 0;
  virtual int GetSingleLoop() = 0;
  virtual void SetSink(IPlayListSink* sink) = 0;
  // Empty for an invalid row.
  virtual std::string GetEntryPath(int row) = 0;
  virtual void SetCurrentIndex(int row) = 0;

 protected:
  ~IPlayListModel() = default;
};

// Told by the list how far it can scroll (in rows) and where its top row is;
// the play-list window sets its skinned scroll bar from it.
class IScrollSink {
 public:
  virtual void SetScrollRange(int upper, int lower, bool apply) = 0;
  virtual void SetScrollPos(int pos, int unused, bool apply) = 0;

 protected:
  ~IScrollSink() = default;
};
