#include "widgets/Threads.h"

#include "widgets/Cursors.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <exception>

void Synchronize(const std::function<void()>& action) {
  if (IsMainThread() || !QCoreApplication::instance()) return action();
  std::exception_ptr error;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [&] {
        try {
          action();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
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
