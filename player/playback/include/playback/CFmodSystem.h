#pragma once
// Sets the sound library up once for the whole program, before main, and
// closes it at exit. Linked only into programs that want that (the player
// and the tests that play through the players); its static object lives in
// CFmodSystem.cpp.
class CFmodSystem {
 public:
  CFmodSystem();
  virtual ~CFmodSystem() = default;

  static CFmodSystem& Instance();
  // Bytes of one mixed frame for the library's mixer kind.
  static int GetMixFrameSize();
  bool Ready() const { return m_ready; }
  int MixRate() const { return m_mixRate; }

 private:
  int m_mixRate = 44100;
  bool m_ready = false;
};
