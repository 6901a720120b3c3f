#include "widgets/Threads.h"

#include "widgets/Cursors.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <exception>

void Synchronize(const std::function<void()>& action) {
  if (IsMainThread() || !QCoreApplication::instance()) return action();
  std::exception_ptr error;
  // The blocking call already orders what the worker did before it, the action, and what the worker does after it,
  // through a semaphore inside Qt. The stages make that order plain to tools that watch only our own code, such as
  // ThreadSanitizer, which would otherwise take the action and the worker's next steps for concurrent.
  std::atomic<int> stage{0};
  stage.store(1, std::memory_order_release);
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [&] {
        (void)stage.load(std::memory_order_acquire);
        try {
          action();
        } catch (...) {
          error = std::current_exception();
        }
        stage.store(2, std::memory_order_release);
      },
      Qt::BlockingQueuedConnection);
  (void)stage.load(std::memory_order_acquire);
  if (error) std::rethrow_exception(error);
}

void ProcessMessagesUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (QCoreApplication::instance() && IsMainThread()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QThread::msleep(2);
  }
}
