#include "core/JobQueue.h"

#include <algorithm>
#include <utility>

TJobQueue::TJobQueue(unsigned workers) {
  const unsigned count = workers ? workers : std::max(1u, std::thread::hardware_concurrency());
  capacity_ = 2 * static_cast<std::size_t>(count);
  workers_.reserve(count);
  for (unsigned i = 0; i < count; ++i) workers_.emplace_back([this] { Work(); });
}

TJobQueue::~TJobQueue() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && running_ == 0; });
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void TJobQueue::Add(std::function<void()> job) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < capacity_ || failure_; });
  if (failure_) RethrowFailure();
  waiting_.push_back(std::move(job));
  lock.unlock();
  changed_.notify_all();
}

void TJobQueue::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.empty() && running_ == 0; });
  if (failure_) RethrowFailure();
}

void TJobQueue::RethrowFailure() {
  // Rethrown once; the jobs left waiting behind a failure are dropped.
  std::exception_ptr failure = std::exchange(failure_, nullptr);
  waiting_.clear();
  std::rethrow_exception(failure);
}

void TJobQueue::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    if (waiting_.empty()) return;
    std::function<void()> job = std::move(waiting_.front());
    waiting_.pop_front();
    ++running_;
    lock.unlock();
    changed_.notify_all();  // room for an adder
    std::exception_ptr failure;
    try {
      job();
    } catch (...) {
      failure = std::current_exception();
    }
    job = nullptr;  // what the job held goes before the next one is taken
    lock.lock();
    --running_;
    if (failure && !failure_) {
      failure_ = failure;
      waiting_.clear();
    }
    changed_.notify_all();
  }
}
