#pragma once
// Shared helpers of the engine's tests: the fakes' call log, their hooks,
// generated songs and a recording listener.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <brevant/PlayEvent.h>
#include <tunewell/ISongEngine.h>

#include "FakeCallLog.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

// Every call the fakes logged since the last ClearCalls.
std::vector<std::string> Calls();
// The calls that start with prefix, in order.
std::vector<std::string> CallsStartingWith(const std::string& prefix);
// Position of the first call equal to text, -1 when absent.
int CallIndex(const std::string& text);
int CountCalls(const std::string& text);

// Moves fake libraries aside ("Brevant" means Brevant.dll) for the life of
// the object, so that loading them by name fails.
class LibrariesAside {
 public:
  explicit LibrariesAside(std::initializer_list<const char*> names);
  ~LibrariesAside();
  LibrariesAside(const LibrariesAside&) = delete;
  LibrariesAside& operator=(const LibrariesAside&) = delete;
  bool AllMoved() const { return moved_.size() == count_; }

 private:
  std::vector<std::string> moved_;
  size_t count_;
};

// @name Hooks of the fake sequencer
int FireEvent(const PlayEvent& event, int synchronous = 0);
void TickClock(uint32_t now);
void RepositionClock(uint32_t now);
int AttachedTimers();

struct RecordingListener : ISongEngineListener {
  void OnPosition(int seconds) override { heard.push_back("Position(" + std::to_string(seconds) + ")"); }
  void OnBeat(int beat, int beatsPerBar, int extra) override {
    heard.push_back("Beat(" + std::to_string(beat) + "," + std::to_string(beatsPerBar) + "," +
                    std::to_string(extra) + ")");
  }
  void OnSongEnd(int code) override { heard.push_back("End(" + std::to_string(code) + ")"); }
  std::vector<std::string> heard;
};

// @name Songs
// A format-1 song: a tempo track (120 BPM, 4/4 unless numerator/power say
// otherwise, key of two sharps), a melody on track 1 with lyrics "la" at 0,
// "li" at 480 and a closing "lo", and a bass line on track 2.
testsupport::Bytes MelodySong(uint8_t numerator = 4, uint8_t power = 2);
// Adds an "MCtl" track with a "CLST" marker at tick 960.
testsupport::Bytes MelodySongWithMarkers();
// A song whose track 1 holds no note, only a lyric-free program change.
testsupport::Bytes SongWithoutNotes();

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes bytes into the test's folder and returns the path.
  std::string WriteSong(const std::string& name, const testsupport::Bytes& bytes);

  testsupport::TempDir dir_;
};
