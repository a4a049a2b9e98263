#pragma once
// A channel manager and recorder over their own voice list, with a fake
// millisecond clock and a sink that captures what would go to
// midiOutShortMsg. Ports are fake handles: nothing here reaches a device.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>
#include <scrivel/Scrivel.h>

#include "CChannelManager.h"
#include "base/Library.h"
#include "CMidiRecorder.h"
#include "CVoiceList.h"

struct SentMessage {
  HMIDIOUT port;
  uint32_t message;
  bool operator==(const SentMessage& o) const { return port == o.port && message == o.message; }
};

inline void PrintTo(const SentMessage& m, std::ostream* os) {
  char text[64];
  snprintf(text, sizeof text, "port %d: %02X %02X %02X", static_cast<int>(reinterpret_cast<intptr_t>(m.port)),
           m.message & 0xFF, (m.message >> 8) & 0xFF, (m.message >> 16) & 0xFF);
  *os << text;
}

const HMIDIOUT kPort1 = reinterpret_cast<HMIDIOUT>(1);
const HMIDIOUT kPort2 = reinterpret_cast<HMIDIOUT>(2);

// status, data1, data2 as midiOutShortMsg takes them.
constexpr uint32_t Msg(uint8_t status, uint8_t data1, uint8_t data2 = 0) {
  return status | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

// Whether Scrivel.dll beside the tests makes legacy song objects, i.e.
// whether a save can reach the disk at all.
inline bool ScrivelCanWrite() {
  base::Library module("Scrivel.dll");
  auto create = module.Find<CreateScrivelFn>("CreateScrivel");
  ISmfParser* song = create != nullptr ? create(1) : nullptr;
  if (song != nullptr) song->Release();
  return song != nullptr;
}

// The recorder with its song writer swappable; without one it loads
// Scrivel.dll by name as the library does.
class TestRecorder : public CMidiRecorder {
 public:
  using CMidiRecorder::CMidiRecorder;
  ISmfParser* writer = nullptr;

 protected:
  ISmfParser* CreateSongWriter() override {
    return writer != nullptr ? writer : CMidiRecorder::CreateSongWriter();
  }
};

class VoxgateTest : public ::testing::Test {
 protected:
  VoxgateTest()
      : recorder(
            voices,
            [this](HMIDIOUT port, uint32_t message) {
              sent.push_back({port, message});
            },
            [this] { return milliseconds; }),
        manager(voices, recorder) {}

  // What went to the device since the last call.
  std::vector<SentMessage> TakeSent() {
    std::vector<SentMessage> out;
    out.swap(sent);
    return out;
  }
  // The last controller-7 value sent on port/channel, or -1.
  int LastVolume(HMIDIOUT port, int channel) const {
    int value = -1;
    for (const SentMessage& m : sent) {
      if (m.port == port && (m.message & 0xFFFF) == Msg(static_cast<uint8_t>(0xB0 | channel), 7)) {
        value = static_cast<int>(m.message >> 16);
      }
    }
    return value;
  }

  uint32_t milliseconds = 5000;
  std::vector<SentMessage> sent;
  CVoiceList voices;
  TestRecorder recorder;
  CChannelManager manager;
};
