// Auto-reset events, waiting on several, worker threads and the settling the headless mixer uses.
#include "platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>

namespace plat {
namespace {

TEST(SyncTest, EventResetsWhenTaken) {
  AutoResetEvent e;
  EXPECT_FALSE(e.Wait(0));
  e.Signal();
  e.Signal();  // not counted
  EXPECT_TRUE(e.IsSet());
  EXPECT_TRUE(e.Wait(0));
  EXPECT_FALSE(e.Wait(5));
  e.Signal();
  e.Reset();
  EXPECT_FALSE(e.Wait(0));
}

TEST(SyncTest, WaitForAnyTakesTheLowestSetEvent) {
  AutoResetEvent a, b, c;
  c.Signal();
  b.Signal();
  EXPECT_EQ(WaitForAny({&a, &b, &c}, 0), 1);
  EXPECT_EQ(WaitForAny({&a, &b, &c}, 0), 2);
  EXPECT_EQ(WaitForAny({&a, &b, &c}, 5), -1);
  EXPECT_EQ(WaitForAny(std::span<AutoResetEvent* const>{}, 0), -1);
}

TEST(SyncTest, SuspendedWorkerRunsOnlyAfterResume) {
  std::atomic<bool> ran{false};
  {
    WorkerThread never;
    ASSERT_TRUE(never.Start([&] {
      ran = true;
      return 3;
    }));
    EXPECT_FALSE(never.Start([] { return 0; }));
    never.RaisePriority();  // best effort; must not matter
    EXPECT_EQ(never.Join(), -1);
  }
  EXPECT_FALSE(ran);

  WorkerThread worker;
  AutoResetEvent go;
  ASSERT_TRUE(worker.Start([&] { return go.Wait() ? 7 : 1; }));
  worker.RaisePriority();
  ASSERT_TRUE(worker.Resume());
  EXPECT_FALSE(worker.Resume());
  go.Signal();
  EXPECT_EQ(worker.Join(), 7);
  EXPECT_FALSE(worker.started());
  EXPECT_EQ(worker.Join(), -1);
}

// After a signal, settling returns only once the woken worker has done its work and waits again.
TEST(SyncTest, SettlingWaitsForTheWokenWorkerToWaitAgain) {
  AutoResetEvent work, quit;
  std::atomic<int> done{0};
  WorkerThread worker;
  ASSERT_TRUE(worker.Start([&] {
    while (WaitForAny({&work, &quit}) == 0) {
      volatile long spin = 0;
      for (long i = 0; i < 2000000; ++i) spin = spin + i;
      ++done;
    }
    return 0;
  }));
  ASSERT_TRUE(worker.Resume());
  for (int round = 1; round <= 3; ++round) {
    work.Signal();
    ASSERT_TRUE(sync_internal::WaitForWorkersToSettle(10000));
    EXPECT_EQ(done, round);
  }
  quit.Signal();
  EXPECT_EQ(worker.Join(), 0);
  EXPECT_TRUE(sync_internal::WaitForWorkersToSettle(0));
}

}  // namespace
}  // namespace plat
