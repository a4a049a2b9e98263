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
  unsigned GetSeconds() const { return m_total; }
  // One second on. Nothing in the player calls it.
  void Tick();
  void AddListener(IPlayTimeListener* listener) { m_listeners.insert(listener); }
  void RemoveListener(IPlayTimeListener* listener) { m_listeners.erase(listener); }

  // h/m/s of a total, as SetSeconds splits it.
  static void Split(unsigned total, int* hours, int* minutes, int* seconds);

 private:
  void NotifyListeners();

  int m_seconds = 0;
  int m_minutes = 0;
  int m_hours = 0;
  unsigned m_total = 0;
  std::set<IPlayTimeListener*> m_listeners;
};
