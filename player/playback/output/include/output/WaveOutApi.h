#pragma once
// The winmm functions the waveOut stream and the master volume call, in
// tables a test can replace with a scripted device or mixer.
#include <windows.h>
#include <mmsystem.h>

struct WaveOutApi {
  decltype(&::waveOutOpen) open;
  decltype(&::waveOutClose) close;
  decltype(&::waveOutPrepareHeader) prepareHeader;
  decltype(&::waveOutUnprepareHeader) unprepareHeader;
  decltype(&::waveOutWrite) write;
  decltype(&::waveOutReset) reset;
  decltype(&::waveOutPause) pause;
  decltype(&::waveOutRestart) restart;
  decltype(&::waveOutGetPosition) getPosition;
};

struct MixerApi {
  decltype(&::mixerGetNumDevs) getNumDevs;
  decltype(&::mixerGetID) getId;
  decltype(&::mixerOpen) open;
  decltype(&::mixerClose) close;
  decltype(&::mixerGetLineInfoA) getLineInfo;
  decltype(&::mixerGetLineControlsA) getLineControls;
  decltype(&::mixerGetControlDetailsA) getControlDetails;
  decltype(&::mixerSetControlDetails) setControlDetails;
  decltype(&::waveOutOpen) waveOutOpen;
  decltype(&::waveOutClose) waveOutClose;
};

// The system's functions.
const WaveOutApi& SystemWaveOut();
const MixerApi& SystemMixer();
