// Tracker modules are told from other files by their signatures.
#include <string>
#include <vector>

#include "FmodTestUtil.h"

namespace fmodtest {
namespace {

using Modules = ManualClock;

std::vector<uint8_t> At(size_t size, size_t at, const std::string& text) {
  std::vector<uint8_t> bytes(size, 0);
  std::copy(text.begin(), text.end(), bytes.begin() + at);
  return bytes;
}

TEST_F(Modules, SignaturesGiveTheTypeAndEverythingElseIsRejected) {
  std::vector<uint8_t> mod = At(1084 + 1024, 1080, "M.K.");
  mod[950] = 12;  // song length
  std::vector<uint8_t> s3m = At(200, 44, "SCRM");
  s3m[32] = 20;
  for (int i = 64; i < 96; ++i) s3m[i] = i < 72 ? uint8_t(i - 64) : 255;
  std::vector<uint8_t> xm = At(400, 0, "Extended Module: ");
  xm[64] = 30, xm[68] = 8;
  std::vector<uint8_t> it = At(400, 0, "IMPM");
  it[32] = 7;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int type, channels, orders;
  } cases[] = {
      {"MOD", mod, FMUSIC_TYPE_MOD, 4, 12},
      {"S3M", s3m, FMUSIC_TYPE_S3M, 8, 20},
      {"XM", xm, FMUSIC_TYPE_XM, 8, 30},
      {"IT", it, FMUSIC_TYPE_IT, 64, 7},
      {"MOD cut before its signature", std::vector<uint8_t>(mod.begin(), mod.begin() + 1082), 0, 0, 0},
      {"S3M with no orders", At(200, 44, "SCRM"), 0, 0, 0},
      {"XM header alone", std::vector<uint8_t>(xm.begin(), xm.begin() + 40), 0, 0, 0},
      {"WAV", ReadAll(Media("tone.wav")), 0, 0, 0},
      {"MP3", ReadAll(Media("tone.mp3")), 0, 0, 0},
      {"WMA", ReadAll(Media("tone.wma")), 0, 0, 0},
      {"empty", {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    FMUSIC_MODULE* module = FMUSIC_LoadSong(WriteTemp("module.bin", c.bytes).c_str());
    if (!c.type) {
      EXPECT_EQ(module, nullptr) << c.what;
      continue;
    }
    ASSERT_NE(module, nullptr) << c.what;
    EXPECT_EQ(FMUSIC_GetType(module), c.type) << c.what;
    EXPECT_EQ(FMUSIC_GetNumChannels(module), c.channels) << c.what;
    EXPECT_EQ(FMUSIC_GetNumOrders(module), c.orders) << c.what;
    EXPECT_TRUE(FMUSIC_SetMasterVolume(module, 192));
    EXPECT_TRUE(FMUSIC_SetPanSeperation(module, 0.85f));
    EXPECT_TRUE(FMUSIC_PlaySong(module));
    EXPECT_TRUE(FMUSIC_SetOrder(module, c.orders - 1));
    EXPECT_FALSE(FMUSIC_SetOrder(module, c.orders));
    EXPECT_TRUE(FMUSIC_StopSong(module));
    EXPECT_TRUE(FMUSIC_FreeSong(module));
    EXPECT_FALSE(FMUSIC_PlaySong(module)) << "freed";
  }
}

TEST_F(Modules, APlayingModuleIsSilent) {
  std::vector<uint8_t> it = At(400, 0, "IMPM");
  it[32] = 1;
  FMUSIC_MODULE* module = FMUSIC_LoadSong(WriteTemp("silent.it", it).c_str());
  ASSERT_TRUE(FMUSIC_PlaySong(module));
  MelFmod_MixBlocks(10);
  for (int16_t s : Captured()) ASSERT_EQ(s, 0);
  EXPECT_EQ(MelFmod_CaptureLength(), 10 * kBlock);
}

}  // namespace
}  // namespace fmodtest
