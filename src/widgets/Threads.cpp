#include "widgets/Threads.h"

#include "widgets/Cursors.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <exception>

namespace {

// One call handed to the main thread. The blocking call orders the worker's filling it in, the action, and the
// worker's reading the outcome through a semaphore inside Qt; `stage` states the same order where tools that watch
// only our own code, such as ThreadSanitizer, can see it.
struct TMainThreadCall {
  const std::function<void()>* action = nullptr;
  std::exception_ptr error;
  std::atomic<int> stage{0};
};

// Runs calls on the main thread. A call's address travels through Qt's queue as a number that Qt copies: no object
// of ours is shared through the queue but the call itself.
class TMainThreadCalls : public QObject {
  Q_OBJECT
public:
  Q_INVOKABLE void Run(quintptr address) {
    auto* call = reinterpret_cast<TMainThreadCall*>(address);
    (void)call->stage.load(std::memory_order_acquire);
    try {
      (*call->action)();
    } catch (...) {
      call->error = std::current_exception();
    }
    call->stage.store(2, std::memory_order_release);
  }
};

TMainThreadCalls& MainThreadCalls() {
  static TMainThreadCalls* calls = [] {
    auto* made = new TMainThreadCalls;
    made->moveToThread(QCoreApplication::instance()->thread());
    return made;
  }();
  return *calls;
}

}  // namespace

void Synchronize(const std::function<void()>& action) {
  if (IsMainThread() || !QCoreApplication::instance()) return action();
  TMainThreadCall call;
  call.action = &action;
  call.stage.store(1, std::memory_order_release);
  QMetaObject::invokeMethod(&MainThreadCalls(), "Run", Qt::BlockingQueuedConnection,
                            Q_ARG(quintptr, reinterpret_cast<quintptr>(&call)));
  (void)call.stage.load(std::memory_order_acquire);
  if (call.error) std::rethrow_exception(call.error);
}

void ProcessMessagesUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (QCoreApplication::instance() && IsMainThread()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QThread::msleep(2);
  }
}

#include "Threads.moc"
