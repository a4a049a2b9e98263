#include "VoiceSet.h"
#include "base/MidiShort.h"

#include <algorithm>

#include <voxgate/IChannelManager.h>

namespace {

constexpr int kSustainPedal = 64;
constexpr int kChasedControllers = 120;  // 120-127 are channel mode messages, not state
constexpr int kDrumKitBase = 128;        // program 128 + kit puts a voice on the drum channel
constexpr int kBendCentre = 0x2000;

uint32_t Message(int status, int data1, int data2) {
  return uint32_t(status) | uint32_t(data1) << 8 | uint32_t(data2) << 16;
}

}  // namespace

void VoiceSet::SetManager(IChannelManager* manager) {
  Free();
  manager_ = manager;
}

void VoiceSet::Allocate(const CompiledSong& song) {
  Free();
  if (manager_ == nullptr) return;
  // The drum channel first: channel 9 of the port is free only before the
  // melodic voices take the lowest free channels.
  if (song.channelUsed[kDrumChannel]) {
    voices_[kDrumChannel] = manager_->AllocChannel(kDrumChannel);
    SetProgram(kDrumChannel, std::max(song.firstProgram[kDrumChannel], 0));
  }
  for (int channel = 0; channel < 16; ++channel) {
    if (channel == kDrumChannel || !song.channelUsed[channel]) continue;
    voices_[channel] = manager_->AllocChannel(-1);
    SetProgram(channel, std::max(song.firstProgram[channel], 0));
  }
  for (int channel = 0; channel < 16; ++channel)
    initialProgram_[channel] = std::max(song.firstProgram[channel], 0);
}

void VoiceSet::Free() {
  for (CMidiChannel*& voice : voices_) {
    if (voice == nullptr) continue;
    manager_->AllNotesOff(voice);
    manager_->FreeChannel(voice);
    voice = nullptr;
  }
  for (auto& keys : sounding_) keys.fill(-1);
  anySounding_ = false;
}

void VoiceSet::SetProgram(int channel, int program) {
  if (voices_[channel] == nullptr) return;
  manager_->SetProgram(voices_[channel], channel == kDrumChannel ? kDrumKitBase + program : program);
}

void VoiceSet::Send(uint32_t message, int track) {
  int channel = base::ChannelOf(message);
  if (base::IsNoteOn(message)) {
    sounding_[channel][base::Data1Of(message)] = track;
    anySounding_ = true;
  } else if (base::IsNoteOff(message)) {
    sounding_[channel][base::Data1Of(message)] = -1;
  }
  if (voices_[channel] == nullptr) return;
  if (base::KindOf(message) == base::kProgramChange) {
    SetProgram(channel, base::Data1Of(message));  // through the manager, which keeps the drum rule
  } else {
    manager_->SendShortMessage(voices_[channel], message);
  }
}

void VoiceSet::Silence() {
  for (CMidiChannel* voice : voices_) {
    if (voice == nullptr) continue;
    manager_->AllNotesOff(voice);
    manager_->SendShortMessage(voice, Message(0xB0, kSustainPedal, 0));
  }
  for (auto& keys : sounding_) keys.fill(-1);
  anySounding_ = false;
}

void VoiceSet::SilenceTrack(int track) {
  if (!anySounding_) return;
  for (int channel = 0; channel < 16; ++channel) {
    for (int key = 0; key < 128; ++key) {
      if (sounding_[channel][key] == track) Send(Message(0x80 | channel, key, 0), track);
    }
  }
}

void VoiceSet::Chase(const CompiledSong& song, size_t end) {
  std::array<int, 16> program = initialProgram_;
  std::array<std::array<int16_t, kChasedControllers>, 16> controllers;
  for (auto& values : controllers) values.fill(-1);
  std::array<int, 16> bend;
  bend.fill(kBendCentre);
  for (size_t i = 0; i < end && i < song.events.size(); ++i) {
    const SongEvent& e = song.events[i];
    if (e.kind != SongEventKind::kChannel) continue;
    int channel = base::ChannelOf(e.value);
    switch (base::KindOf(e.value)) {
      case base::kProgramChange:
        program[channel] = base::Data1Of(e.value);
        break;
      case base::kControlChange:
        if (base::Data1Of(e.value) < kChasedControllers)
          controllers[channel][base::Data1Of(e.value)] = int16_t(base::Data2Of(e.value));
        break;
      case base::kPitchBend:
        bend[channel] = base::Data1Of(e.value) | base::Data2Of(e.value) << 7;
        break;
      default:
        break;
    }
  }
  for (int channel = 0; channel < 16; ++channel) {
    if (voices_[channel] == nullptr) continue;
    SetProgram(channel, program[channel]);
    for (int cc = 0; cc < kChasedControllers; ++cc) {
      if (controllers[channel][cc] >= 0) {
        manager_->SendShortMessage(voices_[channel], Message(0xB0 | channel, cc, controllers[channel][cc]));
      }
    }
    manager_->SendShortMessage(voices_[channel],
                               Message(0xE0 | channel, bend[channel] & 0x7F, bend[channel] >> 7));
  }
}
