#include "output/WaveOutApi.h"

const WaveOutApi& SystemWaveOut() {
  static const WaveOutApi api = {
      &::waveOutOpen,  &::waveOutClose, &::waveOutPrepareHeader, &::waveOutUnprepareHeader, &::waveOutWrite,
      &::waveOutReset, &::waveOutPause, &::waveOutRestart,       &::waveOutGetPosition};
  return api;
}

const MixerApi& SystemMixer() {
  static const MixerApi api = {&::mixerGetNumDevs,
                               &::mixerGetID,
                               &::mixerOpen,
                               &::mixerClose,
                               &::mixerGetLineInfoA,
                               &::mixerGetLineControlsA,
                               &::mixerGetControlDetailsA,
                               &::mixerSetControlDetails,
                               &::waveOutOpen,
                               &::waveOutClose};
  return api;
}
