#pragma once
// The multimedia calls that open and close the engine's MIDI output. Tests
// put their own in place: a machine without a MIDI device cannot open the
// mapper, and the order in which a port goes matters.
#include <windows.h>
#include <mmsystem.h>

struct MidiOutApi {
  MMRESULT(WINAPI* open)(LPHMIDIOUT handle, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
  MMRESULT(WINAPI* close)(HMIDIOUT handle);
};

// The process's calls; midiOutOpen and midiOutClose unless replaced.
MidiOutApi& MidiOut();
