#pragma once

// Jobs run on worker threads, one a processor, with a bounded number of them waiting: whoever adds jobs faster
// than the workers take them waits, so that what the jobs hold (a page's image, say) stays a few at a time.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TJobQueue {
public:
  // `workers` 0 means one a processor.
  explicit TJobQueue(unsigned workers = 0);
  // Waits for the jobs added; an error of theirs not yet rethrown is dropped.
  ~TJobQueue();
  TJobQueue(const TJobQueue&) = delete;
  TJobQueue& operator=(const TJobQueue&) = delete;

  // Adds a job, waiting while the queue is full. After a job failed, adds nothing and rethrows its error.
  void Add(std::function<void()> job);
  // Waits until every job added has run, then rethrows the first error of one, if any.
  void Wait();

private:
  void Work();
  void RethrowFailure();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> waiting_;
  std::size_t capacity_;
  int running_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> workers_;
};
