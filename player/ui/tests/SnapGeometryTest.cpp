#include <gtest/gtest.h>

#include "ServicesFixture.h"
#include "ui/SnapObjects.h"

namespace {

// Snap objects without windows: a rectangle that moves when told.
class FakeClient : public CSnapWnd {
 public:
  explicit FakeClient(RECT r) : rect(r) {}
  void SetSnapSides(int mask) override { sides = mask; }
  int GetSnapSides() override { return sides; }
  RECT rect;
  int sides = kSnapAllSides;
  bool busyWhileMoved = false;

 protected:
  void DoMoveBy(int dx, int dy) override {
    busyWhileMoved = IsBusy();
    ::OffsetRect(&rect, dx, dy);
  }
  void DoGetRect(RECT* r) override { *r = rect; }
};

class FakeHost : public CSnapHost {
 public:
  explicit FakeHost(RECT r) : rect(r) {}
  void SetSnapSides(int mask) override { sides = mask; }
  int GetSnapSides() override { return sides; }
  RECT rect;
  int sides = kSnapAllSides;

 protected:
  void DoMoveBy(int dx, int dy) override { ::OffsetRect(&rect, dx, dy); }
  void DoGetRect(RECT* r) override { *r = rect; }
};

// Far from every screen edge of any plausible work area.
const RECT kHost = {300, 300, 560, 450};

struct ClientCase {
  const char* what;
  RECT proposed;
  int result;
  RECT landed;
  bool docked;
};

class ClientSnapTest : public ::testing::TestWithParam<ClientCase> {};

TEST_P(ClientSnapTest, LandsFlushAndDocksWithinTenPixels) {
  const ClientCase& c = GetParam();
  FakeHost host(kHost);
  FakeClient client(RECT{0, 0, 1, 1});
  client.SetHost(&host);
  host.Dock(&client);  // a miss must undock a docked client
  RECT r = c.proposed;
  EXPECT_EQ(c.result, client.Snap(&r)) << c.what;
  EXPECT_EQ(c.landed, r) << c.what;
  EXPECT_EQ(c.docked, client.IsDocked()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClientSnapTest,
    ::testing::Values(
        ClientCase{
            "10 px right of the right edge", {570, 320, 670, 420}, kSnapRightOf, {560, 320, 660, 420}, true},
        ClientCase{"11 px right is out of reach", {571, 320, 671, 420}, 0, {571, 320, 671, 420}, false},
        ClientCase{"overlapping the right edge by 10",
                   {550, 320, 650, 420},
                   kSnapRightOf,
                   {560, 320, 660, 420},
                   true},
        ClientCase{
            "10 px left of the left edge", {190, 320, 290, 420}, kSnapLeftOf, {200, 320, 300, 420}, true},
        ClientCase{"above, 7 px gap", {320, 193, 420, 293}, kSnapAbove, {320, 200, 420, 300}, true},
        ClientCase{"below, 10 px gap", {320, 460, 420, 560}, kSnapBelow, {320, 450, 420, 550}, true},
        ClientCase{"below, 11 px gap", {320, 461, 420, 561}, 0, {320, 461, 420, 561}, false},
        ClientCase{"flush right but 5 px below: corner contact",
                   {560, 455, 660, 555},
                   kSnapRightOf,
                   {560, 450, 660, 550},
                   true},
        // Side contact is tried before top and bottom contact.
        ClientCase{"touching the bottom-right corner from below",
                   {565, 450, 665, 550},
                   kSnapRightOf,
                   {560, 450, 660, 550},
                   true},
        ClientCase{"below, shifted 5 px past the left edge",
                   {295, 455, 395, 555},
                   kSnapBelow,
                   {295, 450, 395, 550},
                   true},
        ClientCase{"far away", {700, 600, 800, 700}, 0, {700, 600, 800, 700}, false}));

TEST(SnapGeometryTest, ScreenEdgesAgainstTheWorkArea) {
  const RECT work = {0, 0, 1024, 700};  // a taskbar below 700
  struct {
    const char* what;
    RECT in;
    int mask;
    int result;
    RECT out;
  } cases[] = {
      {"top within 10", {100, 10, 200, 60}, kSnapAllSides, kSnapScreenTop, {100, 0, 200, 50}},
      {"top above the screen", {100, -10, 200, 40}, kSnapAllSides, kSnapScreenTop, {100, 0, 200, 50}},
      {"top at 11", {100, 11, 200, 61}, kSnapAllSides, 0, {100, 11, 200, 61}},
      {"top-left corner combines",
       {5, 5, 105, 55},
       kSnapAllSides,
       kSnapScreenTop | kSnapScreenLeft,
       {0, 0, 100, 50}},
      {"bottom near the taskbar",
       {100, 600, 200, 695},
       kSnapAllSides,
       kSnapScreenBottom,
       {100, 605, 200, 700}},
      {"bottom near the screen but not the work area",
       {100, 650, 200, 760},
       kSnapAllSides,
       0,
       {100, 650, 200, 760}},
      {"right of the work area",
       {930, 100, 1030, 200},
       kSnapAllSides,
       kSnapScreenRight,
       {924, 100, 1024, 200}},
      {"masked top does not snap", {100, 5, 200, 55}, kSnapAllSides & ~kSnapScreenTop, 0, {100, 5, 200, 55}},
      {"bottom-right corner",
       {920, 600, 1020, 696},
       kSnapAllSides,
       kSnapScreenBottom | kSnapScreenRight,
       {924, 604, 1024, 700}},
  };
  for (auto& c : cases) {
    RECT r = c.in;
    EXPECT_EQ(c.result, SnapToScreenIn(&r, c.mask, work)) << c.what;
    EXPECT_EQ(c.out, r) << c.what;
  }
}

TEST(SnapGeometryTest, TheRealWorkAreaIsUsedForTheRightAndBottomEdges) {
  RECT work;
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  RECT r = {work.right - 108, work.bottom - 58, work.right - 8, work.bottom + 2};
  EXPECT_EQ(kSnapScreenRight | kSnapScreenBottom, SnapToScreen(&r, kSnapAllSides));
  EXPECT_EQ(work.right, r.right);
  EXPECT_EQ(work.bottom, r.bottom);
}

TEST(SnapGeometryTest, ABusyClientIsNotUndockedByAMiss) {
  FakeHost host(kHost);
  FakeClient client(RECT{});
  client.SetHost(&host);
  host.Dock(&client);
  client.SetBusy(true);
  RECT r = {800, 800, 900, 900};
  RECT screen = r;
  EXPECT_EQ(0, SnapToWindow(&r, &screen, &kHost, &host, &client, kSnapAllSides));
  EXPECT_TRUE(client.IsDocked());
}

TEST(SnapGeometryTest, OnlyTheHostsSidesMayCatch) {
  FakeHost host(kHost);
  host.SetSnapSides(kSnapAbove | kSnapBelow);
  FakeClient client(RECT{});
  client.SetHost(&host);
  RECT r = {565, 320, 665, 420};
  EXPECT_EQ(0, client.Snap(&r));
  EXPECT_FALSE(client.IsDocked());
}

TEST(SnapGeometryTest, TheHostCatchesTargetsNotYetDockedAndSkipsDockedOnes) {
  FakeHost host(kHost);
  FakeClient docked(RECT{560, 300, 660, 400});
  FakeClient target(RECT{700, 300, 800, 400});
  docked.SetHost(&host);
  target.SetHost(&host);
  host.Dock(&docked);
  host.AddTarget(&docked);
  host.AddTarget(&target);
  host.AddTarget(&target);  // no duplicates
  EXPECT_EQ(2u, host.GetTargets().size());

  // The host moves so its right edge comes 6 px short of the target.
  RECT r = {434, 300, 694, 450};
  RECT group;
  ASSERT_TRUE(host.GetGroupRect(&r, &group));
  EXPECT_EQ((RECT{434, 300, 694, 450}), group);  // the docked frame is elsewhere yet
  EXPECT_EQ(kSnapLeftOf, host.Snap(&r, &group));
  EXPECT_EQ((RECT{440, 300, 700, 450}), r);
  EXPECT_TRUE(target.IsDocked());
  ASSERT_EQ(2u, host.GetDocked().size());
  EXPECT_EQ(&target, host.GetDocked().back());
}

TEST(SnapGeometryTest, AHostWithoutTargetsSnapsItsGroupToTheScreen) {
  FakeHost host(RECT{20, 300, 280, 450});
  RECT r = {6, 300, 266, 450};
  RECT group = {4, 300, 266, 450};
  EXPECT_EQ(kSnapScreenLeft, host.Snap(&r, &group));
  EXPECT_EQ(0, group.left);
  EXPECT_EQ(6, r.left);  // the host's own rectangle is the caller's business
}

TEST(SnapGeometryTest, DockedObjectsMoveBusyAndTheLastCaughtCanBeLeftOut) {
  FakeHost host(kHost);
  FakeClient a(RECT{0, 0, 10, 10}), b(RECT{20, 0, 30, 10});
  host.Dock(&a);
  host.Dock(&b);
  EXPECT_FALSE(host.Dock(&a));
  host.MoveBy(5, 7);
  EXPECT_EQ((RECT{305, 307, 565, 457}), host.rect);
  EXPECT_EQ((RECT{5, 7, 15, 17}), a.rect);
  EXPECT_EQ((RECT{25, 7, 35, 17}), b.rect);
  EXPECT_TRUE(a.busyWhileMoved);
  EXPECT_FALSE(a.IsBusy());
  host.MoveDockedExceptLast(1, 1);
  EXPECT_EQ((RECT{6, 8, 16, 18}), a.rect);
  EXPECT_EQ((RECT{25, 7, 35, 17}), b.rect);

  RECT group;
  host.GetGroupRect(&host.rect, &group);
  EXPECT_EQ((RECT{6, 7, 565, 457}), group);
}

TEST(SnapGeometryTest, SetHostMovesBetweenHostsAndIgnoresNonHosts) {
  FakeHost first(kHost), second(kHost);
  FakeClient client(RECT{}), other(RECT{});
  client.SetHost(&first);
  first.Dock(&client);
  client.SetHost(&other);  // no host: nothing changes
  EXPECT_EQ(&first, client.GetHost());
  EXPECT_TRUE(client.IsDocked());
  client.SetHost(&second);
  EXPECT_EQ(&second, client.GetHost());
  EXPECT_FALSE(first.IsDocked(&client));
  client.SetHost(nullptr);  // detaching does not undock
  EXPECT_EQ(nullptr, client.GetHost());
  EXPECT_FALSE(first.IsDocked(nullptr));
}

TEST(SnapGeometryTest, ADestroyedClientLeavesTheHostsListsAndADestroyedHostReleasesItsClients) {
  FakeHost host(kHost);
  auto* gone = new FakeClient(RECT{560, 300, 660, 400});
  gone->SetHost(&host);
  host.AddTarget(gone);
  host.Dock(gone);
  delete gone;
  EXPECT_TRUE(host.GetDocked().empty());
  EXPECT_TRUE(host.GetTargets().empty());
  // A later host snap must not reach the freed object.
  RECT r = kHost, group = kHost;
  EXPECT_EQ(0, host.Snap(&r, &group));

  FakeClient client(RECT{});
  {
    FakeHost shortLived(kHost);
    client.SetHost(&shortLived);
    shortLived.Dock(&client);
  }
  EXPECT_EQ(nullptr, client.GetHost());
  EXPECT_FALSE(client.IsDocked());
}

}  // namespace
