// Measuring files for the play list, with the sound library running in real
// time as in the player: opens finish on the library's threads.
#include <windows.h>

#include "PlaybackTestUtil.h"
#include "playback/AudioLength.h"
#include "playback/CMediaHelper.h"
#include "testsupport/SilentPipe.h"

namespace playbacktest {
namespace {

class AudioLength : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableA("MELODARA_AUDIO", "silent");
    MelFmod_SetManualClock(0);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  }
  void TearDown() override { FSOUND_Close(); }
  testsupport::TempDir files_;
};

TEST_F(AudioLength, AFileIsMeasuredExactly) {
  EXPECT_EQ(MeasureAudioLengthMs(ToneWav(files_, "tone.wav", 1500).c_str()), 1500);
  WriteBytes(files_.File("bad.mp3"), std::vector<uint8_t>(3000, 0x33));
  EXPECT_EQ(MeasureAudioLengthMs(files_.File("bad.mp3").c_str()), 0);
  EXPECT_EQ(MeasureAudioLengthMs(files_.File("missing.wav").c_str()), 0);
  EXPECT_EQ(MeasureAudioLengthMs("http://127.0.0.1:1/x.mp3"), 0) << "a stream has no length";
}

TEST_F(AudioLength, AFileWhoseReaderNeverAnswersHoldsTheWindowThreadBriefly) {
  testsupport::SilentPipe pipe(".wma");
  ASSERT_TRUE(pipe.Made());
  // The helper measures every file added to the play list this way.
  CMediaHelper helper;
  ASSERT_EQ(MediaKind::kAudio, CMediaHelper::GetMediaType(pipe.Path().c_str()));
  for (int round = 0; round < 2; ++round) {
    DWORD start = GetTickCount();
    EXPECT_EQ(round == 0 ? MeasureAudioLengthMs(pipe.Path().c_str())
                         : helper.GetDurationSeconds(pipe.Path().c_str()),
              0);
    // The library itself waits far longer before it gives a reader up.
    EXPECT_LT(GetTickCount() - start, 5000u) << round;
  }
}

}  // namespace
}  // namespace playbacktest
