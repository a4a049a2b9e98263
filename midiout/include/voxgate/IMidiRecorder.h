#pragma once
// The recorder owns the output hook that every message of the channel manager
// passes: the hook sends to the device unless muted, and while recording keeps
// each message with its port and a tick (120 per quarter note) of a clock
// driven by the tempo. Save writes the recording as a MIDI file, one track per
// (port, channel) after a track of meta events.

class IMidiRecorder {
 public:
  // Clears the previous recording and starts at tick 960 with the current
  // tempo, time signature, key and every voice's program. 1.
  virtual int StartRecording() = 0;
  // Ends the recording with a note-off for every key still sounding (kept,
  // not sent). 1.
  virtual int StopRecording() = 0;
  // numerator / 2^power; recorded as a meta event while recording. 1.
  virtual int SetTimeSignature(int numerator, int power) = 0;
  // Beats per minute; the clock continues from its current tick at the new
  // speed. A value of 0 or below is ignored. 0.
  virtual int SetTempo(int bpm) = 0;
  // Sharps (positive) or flats (negative). 0.
  virtual int SetKeySignature(int key) = 0;
  // Aligns the clock to the bar grid.
  virtual void SyncBeat() = 0;
  // Writes the recording through Scrivel.dll; the recording stays and can be
  // saved again. Nothing is written when Scrivel.dll or its factory is missing.
  virtual void Save(const char* path) = 0;
  // While set, the hook sends nothing (recording still keeps the messages).
  // Returns the previous flag.
  virtual int SetMute(int mute) = 0;
  // A marker meta event with the text cut to 255 bytes, while recording. 1.
  virtual int AddMarker(const char* text) = 0;
  // Frees the loaded Scrivel.dll and the recording. Bit 0 of flags (free the
  // object) is ignored: the recorder is a static object.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~IMidiRecorder() = default;
};
