#pragma once
// The play position shown to the user, in whole seconds split into hours,
// minutes and seconds; listeners hear of every change.
#include <set>

class IPlayTimeListener {
 public:
  virtual void OnTimeChanged(int hours, int minutes, int seconds) = 0;

 protected:
  ~IPlayTimeListener() = default;
};

class CPlayTime {
 public:
  CPlayTime() { Reset(); }

  // Zero, without telling anyone.
  void Reset();
  // Notifies only when the total changes.
  void SetSeconds(unsigned total);
  unsigned GetSeconds() const { return total_; }
  // One second on. Nothing in the player calls it.
  void Tick();
  void AddListener(IPlayTimeListener* listener) { listeners_.insert(listener); }
  void RemoveListener(IPlayTimeListener* listener) { listeners_.erase(listener); }

  // h/m/s of a total, as SetSeconds splits it.
  static void Split(unsigned total, int* hours, int* minutes, int* seconds);

 private:
  void NotifyListeners();

  int seconds_ = 0;
  int minutes_ = 0;
  int hours_ = 0;
  unsigned total_ = 0;
  std::set<IPlayTimeListener*> listeners_;
};
