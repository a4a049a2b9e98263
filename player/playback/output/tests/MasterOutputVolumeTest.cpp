// The master volume against a scripted mixer, and one construction on Wine's
// real mixer.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "output/CMasterOutputVolume.h"

namespace {

struct FakeControl {
  DWORD id, type, flags, items;
  const char* name;
};

struct FakeMixer {
  UINT devices = 1;
  MMRESULT waveOpen = MMSYSERR_NOERROR, getId = MMSYSERR_NOERROR, open = MMSYSERR_NOERROR;
  MMRESULT lineInfo = MMSYSERR_NOERROR, volumeControl = MMSYSERR_NOERROR, details = MMSYSERR_NOERROR;
  DWORD channels = 2;
  std::vector<FakeControl> controls = {
      {7, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 0, "Master Volume"},
      {8, MIXERCONTROL_CONTROLTYPE_MUTE, MIXERCONTROL_CONTROLF_UNIFORM, 0, "Master Mute"},
      {9, MIXERCONTROL_CONTROLTYPE_MUX, MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE, 3,
       "Mux"},
      {10, MIXERCONTROL_CONTROLTYPE_BASS, 0, 0, "Bass"},
  };
  std::map<DWORD, std::vector<DWORD>> values = {{7, {0x1111, 0x2222}}};
  std::map<DWORD, DWORD> setChannels;  // control -> cChannels of the last set
  int opens = 0, closes = 0;
} g_mixer;

const FakeControl* Find(DWORD id) {
  for (const FakeControl& c : g_mixer.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

void FillControl(const FakeControl& c, MIXERCONTROLA* out) {
  out->dwControlID = c.id;
  out->dwControlType = c.type;
  out->fdwControl = c.flags;
  out->cMultipleItems = c.items;
  std::strcpy(out->szName, c.name);
  out->Bounds.dwMinimum = 0;
  out->Bounds.dwMaximum = 65535;
  out->Metrics.cSteps = 192;
}

UINT WINAPI NumDevs() { return g_mixer.devices; }
MMRESULT WINAPI GetId(HMIXEROBJ, UINT* id, DWORD) { return *id = 0, g_mixer.getId; }
MMRESULT WINAPI Open(LPHMIXER out, UINT, DWORD_PTR, DWORD_PTR, DWORD) {
  ++g_mixer.opens;
  *out = reinterpret_cast<HMIXER>(0x77);
  return g_mixer.open;
}
MMRESULT WINAPI Close(HMIXER) { return ++g_mixer.closes, MMSYSERR_NOERROR; }
MMRESULT WINAPI LineInfo(HMIXEROBJ, LPMIXERLINEA line, DWORD) {
  line->dwLineID = 0xFFFF0000;
  line->cChannels = g_mixer.channels;
  line->cControls = static_cast<DWORD>(g_mixer.controls.size());
  return g_mixer.lineInfo;
}
MMRESULT WINAPI LineControls(HMIXEROBJ, LPMIXERLINECONTROLSA request, DWORD flags) {
  if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
    if (g_mixer.volumeControl != MMSYSERR_NOERROR) return g_mixer.volumeControl;
    for (const FakeControl& c : g_mixer.controls) {
      if (c.type == request->dwControlType) return FillControl(c, request->pamxctrl), MMSYSERR_NOERROR;
    }
    return MIXERR_INVALCONTROL;
  }
  for (size_t i = 0; i < g_mixer.controls.size() && i < request->cControls; ++i) {
    FillControl(g_mixer.controls[i], &request->pamxctrl[i]);
  }
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI GetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
  if (g_mixer.details != MMSYSERR_NOERROR) return g_mixer.details;
  auto* out = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
  const std::vector<DWORD>& stored = g_mixer.values[details->dwControlID];
  for (DWORD i = 0; i < details->cChannels; ++i) out[i].dwValue = i < stored.size() ? stored[i] : 0;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI SetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
  const FakeControl* control = Find(details->dwControlID);
  if (control == nullptr) return MIXERR_INVALCONTROL;
  auto* in = static_cast<const DWORD*>(details->paDetails);
  DWORD count = details->cChannels * (details->cMultipleItems > 0 ? details->cMultipleItems : 1);
  g_mixer.values[details->dwControlID].assign(in, in + count);
  g_mixer.setChannels[details->dwControlID] = details->cChannels;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI WaveOpen(LPHWAVEOUT out, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) {
  *out = reinterpret_cast<HWAVEOUT>(0x55);
  return g_mixer.waveOpen;
}
MMRESULT WINAPI WaveClose(HWAVEOUT) { return MMSYSERR_NOERROR; }

const MixerApi kFake = {&NumDevs,      &GetId,      &Open,       &Close,    &LineInfo,
                        &LineControls, &GetDetails, &SetDetails, &WaveOpen, &WaveClose};

class MasterVolumeTest : public testing::Test {
 protected:
  void SetUp() override { g_mixer = FakeMixer(); }
};

TEST_F(MasterVolumeTest, EveryFailedStepLeavesItUnavailable) {
  struct Case {
    const char* what;
    void (*spoil)();
    int closes;  // a mixer that opened is closed again
  } cases[] = {
      {"no mixer", [] { g_mixer.devices = 0; }, 0},
      {"no wave mapper", [] { g_mixer.waveOpen = MMSYSERR_NODRIVER; }, 0},
      {"mapper without mixer", [] { g_mixer.getId = MMSYSERR_INVALHANDLE; }, 0},
      {"mixer will not open", [] { g_mixer.open = MMSYSERR_NOMEM; }, 0},
      {"no speakers line", [] { g_mixer.lineInfo = MIXERR_INVALLINE; }, 1},
  };
  for (const Case& c : cases) {
    g_mixer = FakeMixer();
    c.spoil();
    CMasterOutputVolume volume(nullptr, kFake);
    EXPECT_FALSE(volume.IsOpened()) << c.what;
    EXPECT_FALSE(volume.IsAvailable()) << c.what;
    EXPECT_EQ(CMasterOutputVolume::kNone, volume.GetVolume()) << c.what;
    EXPECT_EQ(CMasterOutputVolume::kNone, volume.GetMaximum()) << c.what;
    EXPECT_EQ(nullptr, CMasterOutputVolume::Instance()) << c.what;
    volume.SetVolume(5);
    volume.DisableLine();
    EXPECT_EQ(c.closes, g_mixer.closes) << c.what;
  }
  // Found no volume control: opened, the line usable, the volume not.
  g_mixer = FakeMixer();
  g_mixer.volumeControl = MIXERR_INVALCONTROL;
  CMasterOutputVolume volume(nullptr, kFake);
  EXPECT_TRUE(volume.IsOpened());
  EXPECT_FALSE(volume.IsAvailable());
  volume.DisableLine();
  EXPECT_EQ(1u, g_mixer.values[8][0]);
}

TEST_F(MasterVolumeTest, AStereoLineReadsRightHighLeftLowAndSetsStayInRange) {
  CMasterOutputVolume volume(nullptr, kFake);
  ASSERT_TRUE(volume.IsAvailable());
  EXPECT_EQ(2u, volume.GetChannelCount());
  EXPECT_EQ(192u, volume.GetSteps());
  EXPECT_EQ(0u, volume.GetMinimum());
  EXPECT_EQ(65535u, volume.GetMaximum());
  EXPECT_EQ(0x22221111u, volume.GetVolume());
  volume.SetVolume(0x8000);
  EXPECT_EQ((std::vector<DWORD>{0x8000, 0x8000}), g_mixer.values[7]);
  volume.SetVolume(65536);  // above the maximum: nothing changes
  EXPECT_EQ((std::vector<DWORD>{0x8000, 0x8000}), g_mixer.values[7]);
  g_mixer.details = MMSYSERR_ERROR;
  EXPECT_EQ(CMasterOutputVolume::kNone, volume.GetVolume());
}

TEST_F(MasterVolumeTest, AUniformControlIsReadAsOneValueForBothChannels) {
  g_mixer.controls[0].flags = MIXERCONTROL_CONTROLF_UNIFORM;
  g_mixer.values[7] = {0x4000};
  CMasterOutputVolume volume(nullptr, kFake);
  EXPECT_EQ(0x40004000u, volume.GetVolume());
  volume.SetVolume(0x1234);
  EXPECT_EQ(1u, g_mixer.setChannels[7]);
  EXPECT_EQ((std::vector<DWORD>{0x1234}), g_mixer.values[7]);
}

TEST_F(MasterVolumeTest, DisableMutesAndDeselectsEnableReverses) {
  CMasterOutputVolume volume(nullptr, kFake);
  volume.DisableLine();
  EXPECT_EQ((std::vector<DWORD>{1}), g_mixer.values[8]);        // mute on, one uniform value
  EXPECT_EQ((std::vector<DWORD>{0, 0, 0}), g_mixer.values[9]);  // every item of the mux
  EXPECT_EQ(0u, g_mixer.values.count(10));                      // other controls are left alone
  volume.EnableLine();
  EXPECT_EQ((std::vector<DWORD>{0}), g_mixer.values[8]);
  EXPECT_EQ((std::vector<DWORD>{1, 1, 1}), g_mixer.values[9]);
}

TEST_F(MasterVolumeTest, OnlyAVolumeChangeReachesTheCallbackAndOnlyTheCurrentInstanceIsCleared) {
  CMasterOutputVolume first(nullptr, kFake);
  std::vector<unsigned> heard;
  first.SetCallback([](unsigned v, void* user) { static_cast<std::vector<unsigned>*>(user)->push_back(v); },
                    &heard);
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CMasterOutputVolume::WindowProc(window, MM_MIXM_CONTROL_CHANGE, 0, 7);
  CMasterOutputVolume::WindowProc(window, MM_MIXM_CONTROL_CHANGE, 0, 8);  // the mute: not reported
  CMasterOutputVolume::WindowProc(window, MM_MIXM_LINE_CHANGE, 0, 7);
  EXPECT_EQ((std::vector<unsigned>{0x22221111}), heard);
  {
    CMasterOutputVolume second(nullptr, kFake);
    EXPECT_EQ(&second, CMasterOutputVolume::Instance());
  }
  EXPECT_EQ(nullptr, CMasterOutputVolume::Instance());
  CMasterOutputVolume third(nullptr, kFake);
  {
    // An older instance going away leaves the current one reachable.
    CMasterOutputVolume* older = new CMasterOutputVolume(nullptr, kFake);
    CMasterOutputVolume newest(nullptr, kFake);
    delete older;
    EXPECT_EQ(&newest, CMasterOutputVolume::Instance());
  }
  DestroyWindow(window);
}

TEST(MasterVolumeOnWine, ConstructingOnTheRealMixerDoesNotCrash) {
  CMasterOutputVolume volume(nullptr);
  // Wine gives no mixer for the wave mapper's handle: unopened, no volume.
  // On a system that has one the volume reads as a value.
  if (!volume.IsOpened()) {
    EXPECT_EQ(CMasterOutputVolume::kNone, volume.GetVolume());
    EXPECT_EQ(nullptr, CMasterOutputVolume::Instance());
  } else if (volume.IsAvailable()) {
    EXPECT_NE(CMasterOutputVolume::kNone, volume.GetVolume());
  }
}

}  // namespace
