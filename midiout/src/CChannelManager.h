#pragma once
// Shares the channels of the open MIDI output ports among voices, keeps what
// each voice has set, and sends every message through the recorder's output
// hook. The library has one static instance; tests make their own over their
// own voice list and recorder.
#include <memory>
#include <vector>

#include <voxgate/IChannelManager.h>

#include "CMidiChannel.h"
#include "CMidiPort.h"

class CMidiRecorder;
class CVoiceList;

class CChannelManager : public IChannelManager {
 public:
  CChannelManager(CVoiceList& voices, CMidiRecorder& hook);
  ~CChannelManager();
  CChannelManager(const CChannelManager&) = delete;
  CChannelManager& operator=(const CChannelManager&) = delete;

  int AddPort(HMIDIOUT handle) override;
  int RemovePort(HMIDIOUT handle) override;
  int RemoveAllPorts() override;
  int CountUsedChannels(int kind) override;
  int64_t GetChannelCapacity(int kind) override;
  CMidiChannel* AllocChannel(int channel) override;
  int FreeChannel(CMidiChannel* voice) override;
  int AllNotesOff(CMidiChannel* voice) override;
  int SendShortMessage(CMidiChannel* voice, uint32_t message) override;
  void SetProgram(CMidiChannel* voice, int program) override;
  int SetVolumeScale(CMidiChannel* voice, int percent, int* old) override;
  int SetMasterVolume(int percent) override;
  void Destroy(unsigned flags) override;
  int Reserved1() override { return 1; }
  int Reserved2() override { return 1; }

  // Voices handed out and not yet freed.
  int VoiceCount() const { return voiceCount_; }

 private:
  // What a move carries from the old channel to the new one.
  struct MoveState {
    CMidiChannel::Settings settings;
    int volume;
  };

  // sending:
  void Send(CMidiChannel* voice, uint32_t message);
  void Emit(CMidiChannel* voice, uint32_t message);
  void SendController(CMidiChannel* voice, uint8_t controller, uint8_t value = 0);
  void SendScaledVolume(CMidiChannel* voice);

  // binding:
  bool Bind(CMidiChannel* voice, CMidiPort* port, int channel);
  void ReleaseChannel(CMidiChannel* voice);
  void Restore(CMidiChannel* voice, const MoveState& state);
  bool ApplyProgram(CMidiChannel* voice, int program);
  void DetachVoices(const CMidiPort* port);

  // voice lifetime:
  CMidiChannel* MakeVoice(CMidiPort* port, int channel);
  void DestroyVoice(CMidiChannel* voice);

  std::vector<std::unique_ptr<CMidiPort>> ports_;
  int masterVolume_ = 100;
  int portCount_ = 0;
  int voiceCount_ = 0;
  CVoiceList& voices_;
  CMidiRecorder& hook_;
};
