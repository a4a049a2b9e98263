#include "Modules.h"

#include <cstdio>
#include <cstring>

#include "fmod.h"

namespace soundlib {
namespace {

int Le16(const unsigned char* p) { return p[0] | p[1] << 8; }

// A MOD's signature at 1080 names its channel count.
int ModChannels(const unsigned char* sig) {
  static const char* const fourChannel[] = {"M.K.", "M!K!", "FLT4", "4CHN"};
  for (const char* s : fourChannel)
    if (std::memcmp(sig, s, 4) == 0) return 4;
  if (std::memcmp(sig, "FLT8", 4) == 0) return 8;
  if (sig[0] >= '1' && sig[0] <= '9' && std::memcmp(sig + 1, "CHN", 3) == 0) return sig[0] - '0';
  if (sig[0] >= '1' && sig[0] <= '3' && sig[1] >= '0' && sig[1] <= '9' && std::memcmp(sig + 2, "CH", 2) == 0)
    return (sig[0] - '0') * 10 + sig[1] - '0';
  return 0;
}

}  // namespace

bool DetectModule(const char* path, int* type, int* channels, int* orders) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  unsigned char head[1084];
  size_t size = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  if (size >= 80 && std::memcmp(head, "Extended Module: ", 17) == 0) {
    *type = FMUSIC_TYPE_XM;
    *orders = Le16(head + 64);
    *channels = Le16(head + 68);
  } else if (size >= 192 && std::memcmp(head, "IMPM", 4) == 0) {
    *type = FMUSIC_TYPE_IT;
    *orders = Le16(head + 32);
    *channels = 64;
  } else if (size >= 96 && std::memcmp(head + 44, "SCRM", 4) == 0) {
    *type = FMUSIC_TYPE_S3M;
    *orders = Le16(head + 32);
    // Channel settings: 64..95, 255 (or the top bit) for an unused channel.
    *channels = 0;
    for (int i = 64; i < 96; ++i)
      if (head[i] < 16) ++*channels;
  } else if (size == sizeof head && ModChannels(head + 1080) > 0) {
    *type = FMUSIC_TYPE_MOD;
    *channels = ModChannels(head + 1080);
    *orders = head[950];
  } else {
    return false;
  }
  return *orders >= 1 && *orders <= 256 && *channels >= 1 && *channels <= 64;
}

}  // namespace soundlib
