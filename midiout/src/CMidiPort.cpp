#include "CMidiPort.h"

#include <voxgate/IChannelManager.h>

using namespace voxgate;

int CMidiPort::LowestFree(int except) const {
  for (int c = 0; c < kChannelsPerPort; ++c) {
    if (c != except && !inUse_[c]) return c;
  }
  return -1;
}

int CMidiPort::CountUsed(int kind) const {
  int count = 0;
  for (int c = 0; c < kChannelsPerPort; ++c) {
    if (!inUse_[c]) continue;
    if (kind == kChannelsAll || (kind == kChannelsMelodic && c != kDrumChannel) ||
        (kind == kChannelsDrum && c == kDrumChannel)) {
      ++count;
    }
  }
  return count;
}
