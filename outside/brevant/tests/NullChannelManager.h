#pragma once
// A channel manager that does nothing: test and benchmark doubles derive from
// it and override only what they watch.
#include <cstdint>

#include <voxgate/IChannelManager.h>

class NullChannelManager : public IChannelManager {
 public:
  int AddPort(HMIDIOUT) override { return 1; }
  int RemovePort(HMIDIOUT) override { return 0; }
  int RemoveAllPorts() override { return 1; }
  int CountUsedChannels(int) override { return 0; }
  int64_t GetChannelCapacity(int) override { return 0; }
  CMidiChannel* AllocChannel(int) override { return nullptr; }
  int FreeChannel(CMidiChannel*) override { return 1; }
  int AllNotesOff(CMidiChannel*) override { return 1; }
  int SendShortMessage(CMidiChannel*, uint32_t) override { return 0; }
  void SetProgram(CMidiChannel*, int) override {}
  int SetVolumeScale(CMidiChannel*, int, int*) override { return 1; }
  int SetMasterVolume(int) override { return 1; }
  void Destroy(unsigned) override {}
  int Reserved1() override { return 0; }
  int Reserved2() override { return 0; }
};
