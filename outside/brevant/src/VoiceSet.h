#pragma once
// The song's sixteen channels as voices of a MIDI channel manager. Voices are
// taken when a song or an output arrives (never while the timing thread
// plays), the drum channel first so that it gets channel 9, and given back
// when either goes. Without a manager, or when the manager has no free
// channel, messages go nowhere and playback goes on regardless.
#include <array>
#include <cstdint>

#include "CompiledSong.h"

class CMidiChannel;
class IChannelManager;

class VoiceSet {
 public:
  // Gives the voices back to the old manager.
  void SetManager(IChannelManager* manager);
  IChannelManager* Manager() const { return manager_; }
  // Takes a voice for every channel the song uses, with its first program.
  void Allocate(const CompiledSong& song);
  void Free();

  // A channel message of the song, by its channel; track is remembered for
  // sounding notes so a track can be silenced alone.
  void Send(uint32_t message, int track);
  // Every note off and the sustain pedal up, on every voice.
  void Silence();
  // Note-offs for the notes this track has sounding.
  void SilenceTrack(int track);
  // Program, controllers 0-119 and pitch bend of every channel as the song
  // has set them before event index end.
  void Chase(const CompiledSong& song, size_t end);

 private:
  void SetProgram(int channel, int program);

  IChannelManager* manager_ = nullptr;
  std::array<CMidiChannel*, 16> voices_{};
  std::array<int, 16> initialProgram_{};
  // Track that started each sounding key, -1 for a silent one.
  std::array<std::array<int, 128>, 16> sounding_{};
  bool anySounding_ = false;
};
