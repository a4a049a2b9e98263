// What the karaoke view tells the window that shows it (the lyrics frame):
// after every layout, and whenever its scroll offsets change.
#pragma once

class ILyricViewListener {
 public:
  virtual void OnContentChanged() = 0;
  virtual void OnScrollPos(int x, int y) = 0;

 protected:
  ~ILyricViewListener() = default;
};
