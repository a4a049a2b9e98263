#pragma once
// The channel manager shares the 16 channels of every open MIDI output port
// among the song's voices. Voices are opaque to callers: they get one from
// AllocChannel and hand it back with FreeChannel.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

class CMidiChannel;

// Kinds for CountUsedChannels and GetChannelCapacity. Channel 9 is kept for
// drum kits, so the melodic kind leaves it out.
enum ChannelKind {
  kChannelsAll = 0,
  kChannelsMelodic = 1,
  kChannelsDrum = 2,
};

// The static manager is never freed by its users. Operations that take a
// voice accept null and then do nothing (returning 0 where they have a result).
class IChannelManager {
 public:
  // Ports: open HMIDIOUT handles, 16 channels each. The caller opens and
  // closes the handles; removing a port leaves its voices unbound (they send
  // nothing until SetProgram finds them a channel again) but still valid for
  // FreeChannel.
  virtual int AddPort(HMIDIOUT handle) = 0;     // 1
  virtual int RemovePort(HMIDIOUT handle) = 0;  // 1 when the handle had a port, else 0
  virtual int RemoveAllPorts() = 0;             // 1
  virtual int CountUsedChannels(int kind) = 0;  // over all ports; 0 for an unknown kind
  virtual int64_t GetChannelCapacity(int kind) = 0;

  // Voices. channel 0-15, or -1 for the lowest free channel of the first port
  // that has one. Null when no port can take it.
  virtual CMidiChannel* AllocChannel(int channel) = 0;
  virtual int FreeChannel(CMidiChannel* voice) = 0;  // 1
  virtual int AllNotesOff(CMidiChannel* voice) = 0;  // 1

  // message is status | data1 << 8 | data2 << 16, as midiOutShortMsg takes it;
  // the voice's channel replaces the status's low nibble. Always 0.
  virtual int SendShortMessage(CMidiChannel* voice, uint32_t message) = 0;
  // 0-127 melodic; 128 and above the drum kit program - 128, which moves the
  // voice to channel 9 (on another port if its own has channel 9 taken).
  virtual void SetProgram(CMidiChannel* voice, int program) = 0;
  // Percent applied to the voice's controller-7 value; the previous percent
  // goes to *old when old is not null. 1.
  virtual int SetVolumeScale(CMidiChannel* voice, int percent, int* old) = 0;
  // Percent applied to every voice's controller-7 value. 1.
  virtual int SetMasterVolume(int percent) = 0;

  // Closes down the port list. Bit 0 of flags (free the object) is ignored:
  // the manager is a static object.
  virtual void Destroy(unsigned flags) = 0;
  virtual int Reserved1() = 0;
  virtual int Reserved2() = 0;

 protected:
  ~IChannelManager() = default;
};
