#include "widgets/Cursors.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QThread>

#include <atomic>
#include <thread>

namespace {

std::atomic<TCursor> g_cursor{crDefault};
bool g_overridden = false;
const std::thread::id g_firstThread = std::this_thread::get_id();

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crHourGlass: return Qt::WaitCursor;
    case crSQLWait: return Qt::BusyCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

bool IsMainThread() {
  if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
  return std::this_thread::get_id() == g_firstThread;
}

TCursor ScreenCursor() { return g_cursor.load(); }

void SetScreenCursor(TCursor cursor) {
  if (!IsMainThread()) return;
  g_cursor = cursor;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    g_overridden = false;
    return;
  }
  if (cursor == crDefault) {
    if (g_overridden) QGuiApplication::restoreOverrideCursor();
    g_overridden = false;
  } else if (g_overridden) {
    QGuiApplication::changeOverrideCursor(QCursor(ShapeOf(cursor)));
  } else {
    QGuiApplication::setOverrideCursor(QCursor(ShapeOf(cursor)));
    g_overridden = true;
  }
}
