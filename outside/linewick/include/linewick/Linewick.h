// Linewick: the outside LRC lyric library. "Linewick.dll" exports
// GetLinewickInstance, which takes no arguments and answers a new parser
// object (null when memory runs out) on every call. The object is destroyed
// through its third operation, Release; no virtual destructor, so the slots
// below are the whole table. Append operations, never reorder them.
//
// Times are milliseconds with the file's offset applied. Texts are 8-bit text
// in the system code page (UTF-8 and UTF-16 files are converted) and belong to
// the object until the next load or Release.
#pragma once

class ILinewick {
 public:
  // 0 when the file (or text) was read, 1 when it could not be (missing,
  // unreadable, larger than kLinewickMaxFile). Lines that are no LRC are skipped.
  virtual int LoadFile(const char* path) = 0;
  virtual int LoadText(const char* text, int length) = 0;
  virtual void Release() = 0;
  virtual int GetLineCount() = 0;
  virtual int GetLineTime(int index) = 0;          // -1 for a bad index
  virtual const char* GetLineText(int index) = 0;  // null for a bad index
  // The last line whose time is at or before ms; -1 before the first.
  virtual int FindLineAt(int ms) = 0;
  // A header tag by name ("ti", "ar", "al", "by", "offset", or any other), any
  // letter case; null when the file has none.
  virtual const char* GetTag(const char* name) = 0;

 protected:
  ~ILinewick() = default;
};

typedef ILinewick* (*GetLinewickInstanceProc)();

constexpr int kLinewickMaxFile = 16 * 1024 * 1024;
