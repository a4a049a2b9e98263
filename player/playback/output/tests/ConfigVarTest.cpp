// The output chain's configuration variables: the defaults every run starts
// with, and the read/write mechanics.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "output/OutputGlobals.h"

namespace {

struct Recorder : IConfigVarListener {
  Recorder(std::vector<std::string>* log, std::string tag) : log(log), tag(std::move(tag)) {}
  void OnVarChanged(const char* name, CConfigVar*) override { log->push_back(tag + ":" + name); }
  std::vector<std::string>* log;
  std::string tag;
};

struct ByteCollector : IByteSink {
  void Write(const void* data, size_t length) override {
    auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + length);
  }
  std::vector<uint8_t> bytes;
};

TEST(ConfigVar, TheGlobalsHoldTheirDefaultsAndAreListedNewestFirst) {
  EXPECT_EQ(2000, g_dsoundBufferSize.Get());
  EXPECT_EQ(200, g_fadeLen.Get());
  EXPECT_EQ(1, g_allowHardwareMixing.Get());
  EXPECT_EQ(0, g_fadeWait.Get());
  EXPECT_TRUE(g_outputDevice.IsZero());

  // The globals were built in one unit, in order, before any test ran.
  std::vector<std::string> names;
  for (CConfigVar* var = CConfigVar::First(); var != nullptr; var = var->Next()) names.push_back(var->Name());
  std::vector<std::string> expected = {"fade_wait", "fade_len", "dsound_buffer_size", "allow hardware mixing",
                                       "output_device"};
  ASSERT_GE(names.size(), expected.size());
  EXPECT_EQ(expected, std::vector<std::string>(names.end() - expected.size(), names.end()));
  EXPECT_EQ(&g_fadeLen, CConfigVar::Find("fade_len"));
  EXPECT_EQ(nullptr, CConfigVar::Find("no such variable"));
}

TEST(ConfigVar, AnIntegerReadsExactlyFourBytesAndTellsEachListenerOnceNewestFirst) {
  CConfigVarInt var("test_int", 7);
  EXPECT_EQ(&var, CConfigVar::First());
  std::vector<std::string> log;
  Recorder older(&log, "older"), newer(&log, "newer");
  var.AddListener(&older);
  var.AddListener(&newer);

  const uint8_t bytes[5] = {0x2A, 0x01, 0x00, 0x00, 0x99};
  struct Case {
    size_t length;
    int32_t expected;
    size_t calls;
  } cases[] = {{3, 7, 0}, {5, 7, 0}, {0, 7, 0}, {4, 0x12A, 2}};
  for (const Case& c : cases) {
    log.clear();
    var.Read(bytes, c.length);
    EXPECT_EQ(c.expected, var.Get()) << c.length;
    EXPECT_EQ(c.calls, log.size()) << c.length;
  }
  EXPECT_EQ((std::vector<std::string>{"newer:test_int", "older:test_int"}), log);

  ByteCollector sink;
  EXPECT_TRUE(var.Write(sink));
  EXPECT_EQ((std::vector<uint8_t>{0x2A, 0x01, 0x00, 0x00}), sink.bytes);
}

TEST(ConfigVar, AnIdentifierNeedsSixteenBytesAndKeepsItsValueOnShortInput) {
  CConfigVarGuid var("test_guid");
  std::vector<std::string> log;
  Recorder listener(&log, "l");
  var.AddListener(&listener);
  uint8_t bytes[17];
  for (int i = 0; i < 17; ++i) bytes[i] = static_cast<uint8_t>(i + 1);

  EXPECT_FALSE(var.Read(bytes, 15));
  EXPECT_TRUE(var.IsZero());
  EXPECT_TRUE(var.Read(bytes, 17));
  EXPECT_EQ(0, std::memcmp(bytes, var.Get().bytes, 16));
  EXPECT_TRUE(log.empty());

  ByteCollector sink;
  EXPECT_TRUE(var.Write(sink));
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 16), sink.bytes);
}

TEST(ConfigVar, AVariableWithoutANameReportsAnEmptyOne) {
  CConfigVarInt var(nullptr, 1);
  std::vector<std::string> log;
  Recorder listener(&log, "l");
  var.AddListener(&listener);
  int32_t value = 5;
  var.Read(&value, 4);
  EXPECT_EQ((std::vector<std::string>{"l:"}), log);
}

TEST(ByteReader, TakesAllOrNothing) {
  const uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
  CByteReader reader(bytes, sizeof bytes);
  uint8_t out[8] = {};
  EXPECT_TRUE(reader.Read(out, 4));
  EXPECT_FALSE(reader.Read(out + 4, 3));
  EXPECT_EQ(0, out[4]);
  EXPECT_TRUE(reader.Read(out + 4, 2));
  EXPECT_EQ(6, out[5]);
  EXPECT_EQ(0u, reader.Remaining());
}

}  // namespace
