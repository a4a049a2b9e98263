#pragma once
// The system's master (speakers) volume through the mixer of the wave-out
// mapper. All calls come from the thread that owns the callback window; one
// instance at a time is reachable through the process-wide pointer the window
// procedure uses. Failures leave the object unavailable (getters give
// 0xFFFFFFFF); they are traced, never shown.
#include <windows.h>
#include <mmsystem.h>

#include "output/WaveOutApi.h"

class CMasterOutputVolume {
 public:
  using Callback = void (*)(unsigned volume, void* user);
  static constexpr unsigned kNone = 0xFFFFFFFF;

  explicit CMasterOutputVolume(HWND callbackWindow, const MixerApi& api = SystemMixer());
  ~CMasterOutputVolume();
  CMasterOutputVolume(const CMasterOutputVolume&) = delete;
  CMasterOutputVolume& operator=(const CMasterOutputVolume&) = delete;

  bool IsAvailable() const { return m_volumeAvailable; }
  void EnableLine() { SetLineEnabled(true); }
  void DisableLine() { SetLineEnabled(false); }
  unsigned GetSteps() const { return m_volumeAvailable ? m_steps : kNone; }
  unsigned GetMinimum() const { return m_volumeAvailable ? m_minimum : kNone; }
  unsigned GetMaximum() const { return m_volumeAvailable ? m_maximum : kNone; }
  // Stereo: right channel in the high word, left in the low word.
  unsigned GetVolume();
  // Ignored outside minimum..maximum.
  void SetVolume(unsigned value);
  void SetCallback(Callback callback, void* user) {
    m_callback = callback;
    m_user = user;
  }
  // Stored only: the open mixer keeps notifying the constructor's window.
  void SetCallbackWindow(HWND window) { m_callbackWindow = window; }
  unsigned GetChannelCount() const { return m_channels; }

  bool IsOpened() const { return m_opened; }
  static CMasterOutputVolume* Instance();
  // For the callback window: reports volume changes to the callback.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  bool Open();
  bool Initialise();
  void Close();
  void SetLineEnabled(bool enable);
  // Channels a control's values are given for: one for a uniform control.
  unsigned ValueChannels(DWORD controlFlags) const;

  const MixerApi& m_api;
  bool m_opened = false;
  bool m_initialised = false;
  bool m_volumeAvailable = false;
  UINT m_mixerId = 0;
  HMIXER m_mixer = nullptr;
  DWORD m_lineId = 0;
  DWORD m_volumeControlId = 0;
  DWORD m_volumeControlFlags = 0;
  unsigned m_channels = 0;
  HWND m_callbackWindow;
  unsigned m_minimum = kNone;
  unsigned m_maximum = kNone;
  unsigned m_steps = kNone;
  Callback m_callback = nullptr;
  void* m_user = nullptr;
};
