// Jobs on worker threads: every job runs once, errors reach whoever adds or waits, the waiting line is bounded.
#include "core/JobQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <stdexcept>
#include <thread>

namespace {

TEST(JobQueue, EveryJobRunsOnceOnAWorkerAndIsDoneByWait) {
  std::atomic<long> sum{0};
  std::mutex mutex;
  std::set<std::thread::id> threads;
  TJobQueue jobs(3);
  for (int i = 1; i <= 500; ++i) {
    jobs.Add([&, i] {
      sum += i;
      std::lock_guard lock(mutex);
      threads.insert(std::this_thread::get_id());
    });
  }
  jobs.Wait();
  EXPECT_EQ(sum, 500 * 501 / 2);
  EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
  // The queue goes on after a wait.
  jobs.Add([&] { sum = -1; });
  jobs.Wait();
  EXPECT_EQ(sum, -1);
}

TEST(JobQueue, TheEndWaitsForTheJobsAdded) {
  std::atomic<int> done{0};
  {
    TJobQueue jobs(2);
    for (int i = 0; i < 20; ++i) {
      jobs.Add([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++done;
      });
    }
  }
  EXPECT_EQ(done, 20);
}

TEST(JobQueue, AFailedJobsErrorReachesTheWaitOrTheNextAddAndTheJobsBehindItAreDropped) {
  for (const bool throughAdd : {false, true}) {
    SCOPED_TRACE(throughAdd ? "Add" : "Wait");
    std::atomic<int> after{0};
    TJobQueue jobs(1);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    jobs.Add([released] {
      released.wait();
      throw std::runtime_error("disk full");
    });
    jobs.Add([&] { ++after; });
    release.set_value();
    if (throughAdd) {
      // Sooner or later an Add meets the error: the worker fails while the adder goes on adding.
      EXPECT_THROW(
          {
            for (;;) jobs.Add([&] { ++after; });
          },
          std::runtime_error);
    } else {
      EXPECT_THROW(jobs.Wait(), std::runtime_error);
      EXPECT_EQ(after, 0);
    }
    // Told once: the queue is usable again.
    jobs.Wait();
  }
}

TEST(JobQueue, AnAdderWaitsWhileTheLineIsFull) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  TJobQueue jobs(1);
  // One job running, blocked; two a worker may wait behind it.
  for (int i = 0; i < 3; ++i) jobs.Add([released] { released.wait(); });
  std::atomic<bool> added{false};
  std::thread adder([&] {
    jobs.Add([] {});
    added = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(added);
  release.set_value();
  adder.join();
  EXPECT_TRUE(added);
  jobs.Wait();
}

}  // namespace
