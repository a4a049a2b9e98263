#pragma once
// Measures audio files' lengths for the play list on a thread of its own, so
// that a file whose reader never answers holds no window. Each result is
// posted to the window as WM_PLAYER_AUDIO_LENGTH (ui/PlayerMessages.h) with a
// heap AudioLengthResult that the receiver takes over (TakeAudioLength).
//
// The thread owns what it works on: destroying the worker returns at once and
// drops the files not begun; a measurement still running ends on its own
// within the measuring bound and then posts nothing.
#include <windows.h>

#include <memory>
#include <string>

struct AudioLengthResult {
  std::string path;
  unsigned token = 0;  // the caller's, handed back unchanged
  int seconds = 0;     // whole seconds rounded up; 0 when it cannot be measured
};

// The result a WM_PLAYER_AUDIO_LENGTH carries; null for none.
std::unique_ptr<AudioLengthResult> TakeAudioLength(LPARAM lParam);

class CAudioLengthWorker {
 public:
  explicit CAudioLengthWorker(HWND window);
  ~CAudioLengthWorker();
  CAudioLengthWorker(const CAudioLengthWorker&) = delete;
  CAudioLengthWorker& operator=(const CAudioLengthWorker&) = delete;

  // Queues path; false when no thread could be started for it.
  bool Measure(const std::string& path, unsigned token);

 private:
  struct Queue;
  std::shared_ptr<Queue> m_queue;
};
