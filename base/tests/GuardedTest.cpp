#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Guarded.h"

namespace {

// What a body throws at an edge, and that each becomes the failure value.
TEST(GuardedTest, EveryExceptionBecomesTheFailureValue) {
  struct Case {
    const char* what;
    void (*thrower)();
  };
  const Case cases[] = {
      {"memory running out", [] { throw std::bad_alloc(); }},
      {"a library error", [] { throw std::runtime_error("bad"); }},
      {"a vector growing past its limit", [] { std::vector<int>().at(1); }},
      {"something that is no std::exception", [] { throw 42; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(-1, base::Guarded(
                      [&] {
                        c.thrower();
                        return 7;
                      },
                      -1));
    bool reached = false;
    base::Guarded([&] {
      c.thrower();
      reached = true;
    });
    EXPECT_FALSE(reached);
  }
}

TEST(GuardedTest, ABodyThatSucceedsGivesItsOwnResult) {
  EXPECT_EQ(7, base::Guarded([] { return 7; }, -1));
  EXPECT_EQ(std::string("song"), base::Guarded([] { return std::string("song"); }, std::string()));
  int calls = 0;
  base::Guarded([&] { ++calls; });
  EXPECT_EQ(1, calls);
}

}  // namespace
