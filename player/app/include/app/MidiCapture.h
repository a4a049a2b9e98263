// A whole-program test hook: when the environment variable
// MELODARA_MIDI_CAPTURE names a file, everything the song engine plays goes
// through a muted stand-in port into Voxgate's recorder, and the recording is
// written to that file when the engine is let go. Without the variable it does
// nothing, so a user's run is untouched.
#pragma once

#include <windows.h>

#include <string>

#include "base/Library.h"

class IChannelManager;
class IMidiRecorder;

class CMidiCapture {
 public:
  static constexpr const char* kVariable = "MELODARA_MIDI_CAPTURE";

  CMidiCapture() = default;
  ~CMidiCapture();
  CMidiCapture(const CMidiCapture&) = delete;
  CMidiCapture& operator=(const CMidiCapture&) = delete;

  // Starts recording when asked for and Voxgate is there; called once the
  // engine is bound (it loaded Voxgate, which shares its one channel manager).
  void Start();
  // Stops, saves and lets go of the port; nothing when not started.
  void Finish();
  bool IsRecording() const { return m_recorder != nullptr; }

 private:
  std::string m_path;
  base::Library m_voxgate;
  IChannelManager* m_manager = nullptr;
  IMidiRecorder* m_recorder = nullptr;
};
