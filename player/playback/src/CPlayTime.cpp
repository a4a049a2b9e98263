#include "playback/CPlayTime.h"

void CPlayTime::Reset() {
  seconds_ = minutes_ = hours_ = 0;
  total_ = 0;
}

void CPlayTime::Split(unsigned total, int* hours, int* minutes, int* seconds) {
  *seconds = int(total % 60);
  *minutes = int(total / 60 % 60);
  *hours = int(total / 60 / 60);
}

void CPlayTime::SetSeconds(unsigned total) {
  if (total == total_) return;
  total_ = total;
  Split(total, &hours_, &minutes_, &seconds_);
  NotifyListeners();
}

void CPlayTime::Tick() {
  ++total_;
  if (++seconds_ == 60) {
    seconds_ = 0;
    if (++minutes_ == 60) {
      minutes_ = 0;
      ++hours_;
    }
  }
  NotifyListeners();
}

void CPlayTime::NotifyListeners() {
  for (IPlayTimeListener* listener : listeners_) listener->OnTimeChanged(hours_, minutes_, seconds_);
}
