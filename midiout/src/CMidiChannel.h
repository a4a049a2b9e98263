#pragma once
// One logical voice: the channel it holds on a port and what it has set and
// sounding there, so the manager can silence it, move it with its settings and
// scale its volume. Callers only ever see it as an opaque pointer.
#include <cstdint>

class CMidiPort;

class CMidiChannel {
 public:
  static constexpr int kKeys = 128;
  static constexpr int kControllers = 128;

  // The program and controllers a voice has set; a move to another channel
  // restores them, since the resets on both channels would otherwise lose them.
  struct Settings {
    int program = 0;
    uint8_t controllerValues[kControllers] = {};
    uint8_t controllerSet[kControllers] = {};
  };

  explicit CMidiChannel(int masterScale);
  CMidiChannel(const CMidiChannel&) = delete;
  CMidiChannel& operator=(const CMidiChannel&) = delete;

  // binding:
  int Channel() const { return channel_; }
  CMidiPort* Port() const { return port_; }
  bool IsBound() const { return port_ != nullptr && channel_ >= 0; }
  void BindTo(CMidiPort* port, int channel);
  void Unbind();
  // A voice with a reference count above 0 survives FreeChannel once per count.
  bool Unreference();

  // volume, all in controller-7 units or percent:
  int VolumeScale() const { return volumeScale_; }
  void SetVolumeScale(int percent) { volumeScale_ = percent; }
  void SetMasterScale(int percent) { masterScale_ = percent; }
  int Volume() const { return volume_; }
  void SetVolume(int volume) { volume_ = volume; }
  // volume x volume scale x master scale / 10000, kept inside a data byte:
  // scales above 100 % would otherwise spill into the next byte.
  int ScaledVolume() const;

  // what the channel has been told:
  void Track(uint32_t message);
  int Program() const { return settings_.program; }
  uint8_t Velocity(int key) const { return velocities_[key]; }
  bool HasPitchBend() const { return pitchBendSent_ != 0; }
  uint32_t PitchBend() const { return pitchBend_; }
  uint8_t ControllerValue(int controller) const { return settings_.controllerValues[controller]; }
  bool ControllerSet(int controller) const { return settings_.controllerSet[controller] != 0; }
  const Settings& CurrentSettings() const { return settings_; }
  // Used when the device behind the voice is gone: nothing sounds any more.
  void ForgetNotes();

 private:
  int channel_ = -1;
  int referenceCount_ = 0;
  CMidiPort* port_ = nullptr;
  int volumeScale_ = 100;
  int masterScale_;
  int volume_ = 127;
  // channel state:
  Settings settings_;
  uint32_t pitchBend_ = 0;
  int pitchBendSent_ = 0;
  uint8_t velocities_[kKeys] = {};
};
