#include "output/CMasterOutputVolume.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "base/Guarded.h"

namespace {

CMasterOutputVolume* g_instance = nullptr;

// The debug trace: nothing reaches the user.
void Trace(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  OutputDebugStringA(text);
}

}  // namespace

CMasterOutputVolume* CMasterOutputVolume::Instance() { return g_instance; }

CMasterOutputVolume::CMasterOutputVolume(HWND callbackWindow, const MixerApi& api)
    : m_api(api), m_callbackWindow(callbackWindow) {
  if (!Open()) return;
  g_instance = this;
  if (!Initialise()) {
    Close();
    g_instance = nullptr;
  }
}

CMasterOutputVolume::~CMasterOutputVolume() {
  Close();
  // Another instance may have taken the pointer since; it stays reachable.
  if (g_instance == this) g_instance = nullptr;
}

bool CMasterOutputVolume::Open() {
  if (m_api.getNumDevs() == 0) return false;
  WAVEFORMATEX probe = {};
  probe.wFormatTag = WAVE_FORMAT_PCM;
  probe.nChannels = 1;
  probe.nSamplesPerSec = 22050;
  probe.wBitsPerSample = 16;
  probe.nBlockAlign = 2;
  probe.nAvgBytesPerSec = 44100;
  HWAVEOUT wave = nullptr;
  MMRESULT result = m_api.waveOutOpen(&wave, WAVE_MAPPER, &probe, 0, 0, CALLBACK_NULL);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: Could not open WaveOut Mapper. mmResult=%d\n", result);
    return false;
  }
  UINT mixerId = 0;
  result = m_api.getId(reinterpret_cast<HMIXEROBJ>(wave), &mixerId, MIXER_OBJECTF_HWAVEOUT);
  m_api.waveOutClose(wave);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: WaveOut Mapper in Mixer is not available. mmResult=%d\n", result);
    return false;
  }
  m_mixerId = mixerId;
  result = m_api.open(&m_mixer, mixerId, reinterpret_cast<DWORD_PTR>(m_callbackWindow), 0, CALLBACK_WINDOW);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: Could not open Mixer. mmResult=%d\n", result);
    m_mixer = nullptr;
    return false;
  }
  m_opened = true;
  return true;
}

void CMasterOutputVolume::Close() {
  if (!m_opened) return;
  if (m_api.close(m_mixer) != MMSYSERR_NOERROR)
    Trace(".MasterOutputVolume: WARNING: Could not close Mixer.\n");
  m_mixer = nullptr;
  m_opened = m_initialised = m_volumeAvailable = false;
}

bool CMasterOutputVolume::Initialise() {
  Trace(".MasterOutputVolume: Initializing for Source MasterOut Line ..\n");
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  MMRESULT result = m_api.getLineInfo(reinterpret_cast<HMIXEROBJ>(m_mixer), &line,
                                      MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE);
  if (result != MMSYSERR_NOERROR) {
    Trace(
        ".MasterOutputVolume: FAILURE: Could not get Speakers Destionation Line for the MasterOut Source "
        "Line "
        "while initilaizing. mmResult=%d\n",
        result);
    return false;
  }
  MIXERCONTROLA control = {};
  control.cbStruct = sizeof control;
  MIXERLINECONTROLSA controls = {};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  result = m_api.getLineControls(reinterpret_cast<HMIXEROBJ>(m_mixer), &controls,
                                 MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
  if (result == MMSYSERR_NOERROR) {
    if ((control.fdwControl & MIXERCONTROL_CONTROLF_DISABLED) == 0) {
      m_volumeAvailable = true;
      Trace(".MasterOutputVolume: \"%s\" Volume control for the Speakers Source Line adopted.\n",
            control.szName);
    } else {
      Trace(".MasterOutputVolume: WARNING: The Volume Control is disabled.\n");
    }
  } else {
    Trace(
        ".MasterOutputVolume: WARNING: Could not get the Speakers Source line Volume Control while "
        "initilaizing. "
        "mmResult=%d\n",
        result);
  }
  m_channels = line.cChannels;
  m_lineId = line.dwLineID;
  m_volumeControlId = control.dwControlID;
  m_volumeControlFlags = control.fdwControl;
  m_minimum = control.Bounds.dwMinimum;
  m_maximum = control.Bounds.dwMaximum;
  m_steps = control.Metrics.cSteps;
  m_initialised = true;
  return true;
}

unsigned CMasterOutputVolume::ValueChannels(DWORD controlFlags) const {
  if ((controlFlags & MIXERCONTROL_CONTROLF_UNIFORM) != 0 || m_channels == 0) return 1;
  return m_channels;
}

unsigned CMasterOutputVolume::GetVolume() {
  if (!m_volumeAvailable) return kNone;
  // A uniform control has one value for every channel: asking for one per
  // channel leaves the others unfilled (Wine reads them as 0).
  unsigned channels = ValueChannels(m_volumeControlFlags);
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels);
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = m_volumeControlId;
  details.cChannels = channels;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values.data();
  MMRESULT result = m_api.getControlDetails(reinterpret_cast<HMIXEROBJ>(m_mixer), &details,
                                            MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: Could not get volume. mmResult=%d\n", result);
    return kNone;
  }
  unsigned left = values[0].dwValue & 0xFFFF;
  if (m_channels == 2) {
    unsigned right = (channels == 2 ? values[1].dwValue : values[0].dwValue) & 0xFFFF;
    return right << 16 | left;
  }
  return values[0].dwValue;
}

void CMasterOutputVolume::SetVolume(unsigned value) {
  if (!m_volumeAvailable || value < m_minimum || value > m_maximum) return;
  unsigned channels = ValueChannels(m_volumeControlFlags);
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels);
  for (auto& entry : values) entry.dwValue = value;
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = m_volumeControlId;
  details.cChannels = channels;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values.data();
  MMRESULT result = m_api.setControlDetails(reinterpret_cast<HMIXEROBJ>(m_mixer), &details,
                                            MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: Could not set volume(%d) mmResult=%d\n", value, result);
  }
}

void CMasterOutputVolume::SetLineEnabled(bool enable) {
  if (!m_initialised) return;
  const char* verb = enable ? "enabling" : "disabling";
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwLineID = m_lineId;
  MMRESULT result = m_api.getLineInfo(reinterpret_cast<HMIXEROBJ>(m_mixer), &line,
                                      MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_LINEID);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: Could not get the Speakers Destination Line while %s. mmResult=%d\n",
          verb, result);
    return;
  }
  std::vector<MIXERCONTROLA> controls(line.cControls);
  for (auto& control : controls) control.cbStruct = sizeof control;
  MIXERLINECONTROLSA request = {};
  request.cbStruct = sizeof request;
  request.dwLineID = m_lineId;
  request.cControls = line.cControls;
  request.cbmxctrl = sizeof(MIXERCONTROLA);
  request.pamxctrl = controls.data();
  result = controls.empty() ? MMSYSERR_NOERROR
                            : m_api.getLineControls(reinterpret_cast<HMIXEROBJ>(m_mixer), &request,
                                                    MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL);
  if (result != MMSYSERR_NOERROR) {
    Trace(".MasterOutputVolume: FAILURE: Could not get the line controls while %s. mmResult=%d\n", verb,
          result);
    return;
  }
  bool done = false;
  for (const MIXERCONTROLA& control : controls) {
    LONG value;
    switch (control.dwControlType) {
      case MIXERCONTROL_CONTROLTYPE_MUTE:
        value = enable ? 0 : 1;
        break;
      case MIXERCONTROL_CONTROLTYPE_SINGLESELECT:
      case MIXERCONTROL_CONTROLTYPE_MUX:
      case MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT:
      case MIXERCONTROL_CONTROLTYPE_MIXER:
        value = enable ? 1 : 0;
        break;
      default:
        continue;
    }
    unsigned channels = ValueChannels(control.fdwControl);
    unsigned items = (control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) != 0 ? control.cMultipleItems : 0;
    std::vector<MIXERCONTROLDETAILS_BOOLEAN> values(static_cast<size_t>(items > 0 ? items : 1) * channels);
    for (auto& entry : values) entry.fValue = value;
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = channels;
    details.cMultipleItems = items;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
    details.paDetails = values.data();
    if (m_api.setControlDetails(reinterpret_cast<HMIXEROBJ>(m_mixer), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR) {
      done = true;
      Trace(".MasterOutputVolume: %s Line: Speakers Line control \"%s\"(0x%X) has been set to %d.\n",
            enable ? "Enabling" : "Disabling", control.szName, static_cast<unsigned>(control.dwControlID),
            static_cast<int>(value));
    }
  }
  if (!done) Trace(".MasterOutputVolume: WARNING: No controls were found for %s the line.\n", verb);
}

LRESULT CALLBACK CMasterOutputVolume::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  base::Guarded([&] {
    CMasterOutputVolume* self = g_instance;
    if (message != MM_MIXM_CONTROL_CHANGE || self == nullptr) return;
    if (static_cast<DWORD>(lParam) != self->m_volumeControlId) return;
    unsigned volume = self->GetVolume();
    if (volume != kNone && self->m_callback != nullptr) self->m_callback(volume, self->m_user);
  });
  return DefWindowProcA(window, message, wParam, lParam);
}
