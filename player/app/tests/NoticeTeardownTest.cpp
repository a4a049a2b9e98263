// The main window's teardown of the update notices while the home server
// holds its answer: the worker's internet session is closed before the wait,
// and the worker ends by itself within the transfer time-outs instead of
// being terminated. Runs beside the local update server.
#include <gtest/gtest.h>

#include <string>

#include "app/CUpdateNotices.h"
#include "net/HttpExchange.h"
#include "testsupport/UpdateServer.h"

namespace {

size_t HeldRequests() {
  size_t count = 0;
  for (const std::string& request : testsupport::ServerRequests())
    if (request.compare(0, 20, "GET /__stallheaders/") == 0) ++count;
  return count;
}

TEST(NoticeTeardown, AHeldAnswerDoesNotHoldTheTeardown) {
  ASSERT_FALSE(testsupport::UpdateServerUrl().empty()) << "run beside the update server";
  HttpLimits limits;
  limits.connectTimeoutMs = 2000;
  limits.receiveTimeoutMs = 2000;
  SetHttpLimits(limits);
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CUpdateNotices notices;
  // The news request goes to a path the server reads and never answers.
  ASSERT_TRUE(notices.Start(window, testsupport::UpdateServerUrl() + "/__stallheaders", ""));
  for (int i = 0; i < 400 && HeldRequests() == 0; ++i) Sleep(50);
  ASSERT_EQ(1u, HeldRequests()) << "the worker's request is held";
  // A join far longer than the time-outs: the worker must end by itself.
  EXPECT_TRUE(notices.Stop(60000)) << "the worker was terminated";
  EXPECT_FALSE(notices.Running());
  EXPECT_EQ(1u, HeldRequests()) << "nothing is fetched after the stop";
  // Started again, it gets a cancel of its own and asks again.
  ASSERT_TRUE(notices.Start(window, testsupport::UpdateServerUrl() + "/__stallheaders", ""));
  for (int i = 0; i < 400 && HeldRequests() < 2; ++i) Sleep(50);
  EXPECT_EQ(2u, HeldRequests());
  EXPECT_TRUE(notices.Stop(60000));
  DestroyWindow(window);
  SetHttpLimits(HttpLimits());
}

}  // namespace
