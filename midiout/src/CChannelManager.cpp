#include "CChannelManager.h"

#include <algorithm>
#include <new>

#include "CMidiRecorder.h"
#include "CVoiceList.h"
#include "MidiMessage.h"
#include "base/Guarded.h"

using namespace voxgate;

CChannelManager::CChannelManager(CVoiceList& voices, CMidiRecorder& hook) : voices_(voices), hook_(hook) {}

CChannelManager::~CChannelManager() {
  Destroy(0);
  // Voices still held when the library unloads can never be used again.
  while (!voices_.Voices().empty()) {
    CMidiChannel* voice = voices_.Voices().back();
    voices_.Remove(voice);
    delete voice;
  }
}

// ---- ports

int CChannelManager::AddPort(HMIDIOUT handle) {
  // Out of memory: the caller plays without this port.
  if (!base::Guarded(
          [&] {
            ports_.push_back(std::make_unique<CMidiPort>(handle));
            return true;
          },
          false))
    return 0;
  ++portCount_;
  return 1;
}

int CChannelManager::RemovePort(HMIDIOUT handle) {
  --portCount_;
  auto it =
      std::find_if(ports_.begin(), ports_.end(), [handle](const auto& p) { return p->Handle() == handle; });
  if (it == ports_.end()) return 0;
  // The song engine removes the port before the sequencer lets go of its
  // voices, and the handle is closed right after: nothing may reach it again.
  DetachVoices(it->get());
  ports_.erase(it);
  return 1;
}

int CChannelManager::RemoveAllPorts() {
  Destroy(0);
  portCount_ = 0;
  return 1;
}

void CChannelManager::Destroy(unsigned /*flags*/) {
  // The manager is static storage, so the free bit is never honoured.
  for (const auto& port : ports_) DetachVoices(port.get());
  ports_.clear();
}

int CChannelManager::CountUsedChannels(int kind) {
  int count = 0;
  for (const auto& port : ports_) count += port->CountUsed(kind);
  return count;
}

int64_t CChannelManager::GetChannelCapacity(int kind) {
  const int64_t ports = static_cast<int64_t>(ports_.size());
  switch (kind) {
    case kChannelsAll:
      return ports * kChannelsPerPort;
    case kChannelsMelodic:
      return ports * (kChannelsPerPort - 1);
    case kChannelsDrum:
      return ports;
    default:
      return 0;
  }
}

void CChannelManager::DetachVoices(const CMidiPort* port) {
  for (CMidiChannel* voice : voices_.Voices()) {
    if (voice->Port() != port) continue;
    voice->Unbind();
    voice->ForgetNotes();
  }
}

// ---- voices

CMidiChannel* CChannelManager::AllocChannel(int channel) {
  if (channel < -1 || channel >= kChannelsPerPort) return nullptr;
  for (const auto& port : ports_) {
    int free = channel == -1 ? port->LowestFree() : (port->InUse(channel) ? -1 : channel);
    if (free >= 0) return MakeVoice(port.get(), free);
  }
  return nullptr;
}

CMidiChannel* CChannelManager::MakeVoice(CMidiPort* port, int channel) {
  // A voice made after SetMasterVolume obeys it like the older ones.
  std::unique_ptr<CMidiChannel> voice(new (std::nothrow) CMidiChannel(masterVolume_));
  if (voice == nullptr) return nullptr;
  if (!base::Guarded(
          [&] {
            voices_.Add(voice.get());
            return true;
          },
          false))
    return nullptr;
  ++voiceCount_;
  Bind(voice.get(), port, channel);
  return voice.release();
}

int CChannelManager::FreeChannel(CMidiChannel* voice) {
  if (voice == nullptr) return 0;
  AllNotesOff(voice);
  if (voice->Unreference()) return 1;
  DestroyVoice(voice);
  return 1;
}

void CChannelManager::DestroyVoice(CMidiChannel* voice) {
  if (voice->IsBound()) {
    ReleaseChannel(voice);
    voice->Unbind();
  }
  voices_.Remove(voice);
  delete voice;
  --voiceCount_;
}

int CChannelManager::AllNotesOff(CMidiChannel* voice) {
  if (voice == nullptr) return 0;
  for (int key = 0; key < CMidiChannel::kKeys; ++key) {
    if (voice->Velocity(key) != 0) Send(voice, PackMessage(0x80, static_cast<uint8_t>(key), 0));
  }
  return 1;
}

// ---- sending

int CChannelManager::SendShortMessage(CMidiChannel* voice, uint32_t message) {
  if (voice != nullptr) Send(voice, message);
  return 0;
}

void CChannelManager::Send(CMidiChannel* voice, uint32_t message) {
  // A voice whose port was removed has no device to talk to.
  if (!voice->IsBound()) return;
  const uint8_t status = StatusOf(message);
  if (!IsChannelStatus(status)) {
    Emit(voice, message);
    return;
  }
  // Data bytes above 127 would read as a status on the wire.
  const uint8_t data1 = Data1Of(message) & 0x7F;
  const uint8_t data2 = Data2Of(message) & 0x7F;
  message = PackMessage(static_cast<uint8_t>((status & 0xF0) | voice->Channel()), data1, data2);
  const bool controller = (status & 0xF0) == 0xB0;
  if (controller && data1 == kCtlVolume) {
    voice->SetVolume(data2);
    SendScaledVolume(voice);
    return;
  }
  Emit(voice, message);
  if (controller && data1 == kCtlResetAll) {
    voice->SetVolume(127);
    SendScaledVolume(voice);
  }
}

void CChannelManager::Emit(CMidiChannel* voice, uint32_t message) {
  if (!voice->IsBound()) return;
  voice->Track(message);
  hook_.Output(voice->Port()->Handle(), message);
}

void CChannelManager::SendController(CMidiChannel* voice, uint8_t controller, uint8_t value) {
  Send(voice, PackMessage(0xB0, controller, value));
}

void CChannelManager::SendScaledVolume(CMidiChannel* voice) {
  if (!voice->IsBound()) return;
  Emit(voice, PackMessage(static_cast<uint8_t>(0xB0 | voice->Channel()), kCtlVolume,
                          static_cast<uint8_t>(voice->ScaledVolume())));
}

// ---- binding and moves

bool CChannelManager::Bind(CMidiChannel* voice, CMidiPort* port, int channel) {
  if (voice->Port() == port && voice->Channel() == channel) return true;
  if (port->InUse(channel)) return false;
  const MoveState state{voice->CurrentSettings(), voice->Volume()};
  if (voice->IsBound()) ReleaseChannel(voice);
  port->SetInUse(channel, true);
  voice->BindTo(port, channel);
  SendController(voice, kCtlAllNotesOff);
  SendController(voice, kCtlResetAll);
  SendController(voice, kCtlResetAll);
  Restore(voice, state);
  return true;
}

void CChannelManager::ReleaseChannel(CMidiChannel* voice) {
  SendController(voice, kCtlAllNotesOff);
  SendController(voice, kCtlResetAll);
  voice->Port()->SetInUse(voice->Channel(), false);
}

void CChannelManager::Restore(CMidiChannel* voice, const MoveState& state) {
  Send(voice, PackMessage(0xC0, static_cast<uint8_t>(state.settings.program)));
  // Controller 7 is never re-sent from its tracked value: that value is
  // already scaled, and the send rule would scale it again on every move.
  for (int ctl = 0; ctl < kFirstModeController; ++ctl) {
    if (ctl == kCtlVolume || !state.settings.controllerSet[ctl]) continue;
    SendController(voice, static_cast<uint8_t>(ctl), state.settings.controllerValues[ctl]);
  }
  // The resets have just sent the scaled volume for 127.
  if (state.volume != voice->Volume()) {
    voice->SetVolume(state.volume);
    SendScaledVolume(voice);
  }
}

bool CChannelManager::ApplyProgram(CMidiChannel* voice, int program) {
  CMidiPort* port = voice->Port();
  if (program < 128) {
    if (voice->Channel() == kDrumChannel) {
      const int free = port->LowestFree(kDrumChannel);
      if (free < 0 || !Bind(voice, port, free)) return false;
    }
    Send(voice, PackMessage(0xC0, static_cast<uint8_t>(program)));
    return true;
  }
  if (!Bind(voice, port, kDrumChannel)) return false;
  Send(voice, PackMessage(0xC0, static_cast<uint8_t>(program - 128)));
  return true;
}

void CChannelManager::SetProgram(CMidiChannel* voice, int program) {
  if (voice == nullptr) return;
  // A program is one data byte; kits are 128 + that byte.
  program = std::clamp(program, 0, 255);
  CMidiPort* own = voice->Port();
  if (own != nullptr && ApplyProgram(voice, program)) return;
  for (const auto& port : ports_) {
    if (port.get() == own) continue;  // already refused the program
    const int probeChannel = port->LowestFree();
    if (probeChannel < 0) continue;
    CMidiChannel* probe = MakeVoice(port.get(), probeChannel);
    if (probe == nullptr) return;
    const bool accepted = ApplyProgram(probe, program);
    FreeChannel(probe);
    if (!accepted) continue;
    Bind(voice, port.get(), port->LowestFree());
    ApplyProgram(voice, program);
    return;
  }
}

int CChannelManager::SetVolumeScale(CMidiChannel* voice, int percent, int* old) {
  if (voice == nullptr) return 0;
  if (old != nullptr) *old = voice->VolumeScale();
  voice->SetVolumeScale(percent);
  SendScaledVolume(voice);
  return 1;
}

int CChannelManager::SetMasterVolume(int percent) {
  masterVolume_ = percent;
  for (CMidiChannel* voice : voices_.Voices()) {
    voice->SetMasterScale(percent);
    SendScaledVolume(voice);
  }
  return 1;
}
