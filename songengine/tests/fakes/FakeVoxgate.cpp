// Test double for Voxgate.dll: a channel manager that logs its ports.
#include <windows.h>

#include <voxgate/Voxgate.h>

#include "FakeCallLog.h"

namespace {

class FakeChannelManager : public IChannelManager {
 public:
  int AddPort(HMIDIOUT handle) override {
    FakeLog("Voxgate.AddPort");
    return 1;
  }
  int RemovePort(HMIDIOUT handle) override {
    FakeLog("Voxgate.RemovePort");
    return 1;
  }
  int RemoveAllPorts() override { return 1; }
  int CountUsedChannels(int kind) override { return 0; }
  int64_t GetChannelCapacity(int kind) override { return 0; }
  CMidiChannel* AllocChannel(int channel) override { return nullptr; }
  int FreeChannel(CMidiChannel* voice) override { return 1; }
  int AllNotesOff(CMidiChannel* voice) override { return 1; }
  int SendShortMessage(CMidiChannel* voice, uint32_t message) override { return 0; }
  void SetProgram(CMidiChannel* voice, int program) override {}
  int SetVolumeScale(CMidiChannel* voice, int percent, int* old) override { return 1; }
  int SetMasterVolume(int percent) override { return 1; }
  void Destroy(unsigned flags) override {}
  int Reserved1() override { return 0; }
  int Reserved2() override { return 0; }
};

FakeChannelManager g_manager;

}  // namespace

extern "C" __declspec(dllexport) IChannelManager* CreateVoxgate(int version) {
  FakeLog("CreateVoxgate(%d)", version);
  return version == 1 ? &g_manager : nullptr;
}
