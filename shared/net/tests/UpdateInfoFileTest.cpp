#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/HttpExchange.h"
#include "net/UpdateInfoFile.h"
#include "testsupport/UpdateServer.h"

namespace {

using testsupport::RequestsFor;
using testsupport::ServerRequests;
using testsupport::UpdateServerUrl;

class UpdateInfoFileTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(UpdateServerUrl().empty()) << "run beside the update server";
    HttpLimits limits;
    limits.connectTimeoutMs = 1500;
    limits.receiveTimeoutMs = 1500;
    limits.maxTextBytes = 64 * 1024;
    SetHttpLimits(limits);
  }
  void TearDown() override { SetHttpLimits(HttpLimits()); }
};

TEST_F(UpdateInfoFileTest, UnusableUrlsSendNothing) {
  size_t before = ServerRequests().size();
  for (const char* url : {"ftp://127.0.0.1/x", "127.0.0.1/x", "", "http://"}) {
    std::string out = "kept";
    EXPECT_EQ(GetUpdateInfoFile(url, out), 1) << url;
    EXPECT_EQ(out, "kept");
  }
  EXPECT_EQ(ServerRequests().size(), before);
}

TEST_F(UpdateInfoFileTest, WholeBodyWithTheRequestAsSent) {
  std::string body = testsupport::PatternBytes(2500);  // NULs included
  testsupport::PutServerFile("body.txt", body);
  std::string out;
  ASSERT_EQ(GetUpdateInfoFile((UpdateServerUrl() + "/body.txt?x=1").c_str(), out), 0);
  EXPECT_EQ(out, body);
  std::string request = ServerRequests().back();
  EXPECT_EQ(request.substr(0, request.find('\n')), "GET /body.txt?x=1 HTTP/1.1");
  EXPECT_NE(request.find("Accept: text/*\n"), std::string::npos) << request;
  EXPECT_NE(request.find("User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\n"), std::string::npos)
      << request;
}

struct FailureCase {
  const char* path;
  const char* what;
};

TEST_F(UpdateInfoFileTest, FailuresGiveTwo) {
  const FailureCase cases[] = {
      {"/missing.txt", "404 with a page"},
      {"/__status/500/x", "server error"},
      {"/__cut/5000/1000", "connection closed before the announced length"},
      {"/__stall/100", "stalled body"},
      {"/__stallheaders", "no answer at all"},
      {"/__gen/200000", "over the size cap"},
  };
  for (const FailureCase& c : cases) {
    std::string out;
    DWORD start = GetTickCount();
    EXPECT_EQ(GetUpdateInfoFile((UpdateServerUrl() + c.path).c_str(), out), 2) << c.what;
    EXPECT_LT(GetTickCount() - start, 10000u) << c.what;
    if (strncmp(c.path, "/__", 3) != 0 || strncmp(c.path, "/__status", 9) == 0) {
      EXPECT_EQ(out, "") << c.what;
    }
  }
  std::string out;
  EXPECT_EQ(GetUpdateInfoFile("http://127.0.0.1:1/refused", out), 2);
}

TEST_F(UpdateInfoFileTest, EmptyBodyIsASuccess) {
  testsupport::PutServerFile("empty.txt", "");
  std::string out;
  EXPECT_EQ(GetUpdateInfoFile((UpdateServerUrl() + "/empty.txt").c_str(), out), 0);
  EXPECT_EQ(out, "");
}

struct HeldFetch {
  std::string url;
  CHttpCancel* cancel;
  int result = -1;
};

TEST_F(UpdateInfoFileTest, ACancelFromAnotherThreadEndsAHeldFetch) {
  CHttpCancel cancel;
  HeldFetch fetch{UpdateServerUrl() + "/__stallheaders", &cancel};
  HANDLE worker = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* f = static_cast<HeldFetch*>(p);
        std::string out;
        f->result = GetUpdateInfoFile(f->url.c_str(), out, f->cancel);
        return 0;
      },
      &fetch, 0, nullptr);
  ASSERT_NE(nullptr, worker);
  // Cancel once the server holds the request.
  for (int i = 0; i < 200 && RequestsFor("/__stallheaders") == 0; ++i) Sleep(50);
  EXPECT_EQ(1u, RequestsFor("/__stallheaders"));
  cancel.Cancel();
  EXPECT_TRUE(cancel.Cancelled());
  // Windows ends the call at once, Wine at the receive time-out.
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 30000));
  CloseHandle(worker);
  EXPECT_EQ(2, fetch.result);
}

TEST_F(UpdateInfoFileTest, AfterACancelNothingIsSent) {
  testsupport::PutServerFile("after.txt", "text");
  CHttpCancel cancel;
  cancel.Cancel();
  std::string out;
  EXPECT_EQ(2, GetUpdateInfoFile((UpdateServerUrl() + "/after.txt").c_str(), out, &cancel));
  EXPECT_EQ(0u, RequestsFor("/after.txt"));
  // Other transfers are not touched.
  CHttpCancel other;
  EXPECT_EQ(0, GetUpdateInfoFile((UpdateServerUrl() + "/after.txt").c_str(), out, &other));
  EXPECT_EQ("text", out);
  EXPECT_EQ(0, GetUpdateInfoFile((UpdateServerUrl() + "/after.txt").c_str(), out, &other))
      << "a cancel object is used again by the next fetch";
}

TEST(StripHtmlTags, DropsTagsAcrossCalls) {
  bool insideTag = false;
  char text[] = "a<b>x</b>c";
  StripHtmlTags(text, insideTag);
  EXPECT_STREQ(text, "axc");
  char first[] = "one<i";
  char second[] = "tal>two";
  StripHtmlTags(first, insideTag);
  StripHtmlTags(second, insideTag);
  EXPECT_STREQ(first, "one");
  EXPECT_STREQ(second, "two");
}

TEST(StripHtmlTags, ATagLeftOpenByOneTextDoesNotReachAnother) {
  bool firstText = false;
  char open[] = "one<unfinished";
  StripHtmlTags(open, firstText);
  EXPECT_STREQ(open, "one");
  EXPECT_TRUE(firstText);
  bool secondText = false;
  char other[] = "plain>text";
  StripHtmlTags(other, secondText);
  EXPECT_STREQ(other, "plain>text");
  EXPECT_FALSE(secondText);
}

}  // namespace
