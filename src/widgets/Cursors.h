#pragma once

// The screen cursor: the shape every window of the program shows while an operation runs.

enum TCursor : int {
  crDefault = 0,
  crArrow = -2,
  crHourGlass = -11,
  crSQLWait = -17,
};

// The cursor shown over every window; crDefault lets each window show its own.
TCursor ScreenCursor();
// Outside the main thread, or before the application exists, only the value is remembered.
void SetScreenCursor(TCursor cursor);

// Whether the caller runs on the thread of the message loop (the thread that started first, before the
// application exists).
bool IsMainThread();

// Shows `cursor` for its lifetime and puts the previous one back on every way out.
class TCursorScope {
public:
  explicit TCursorScope(TCursor cursor) : previous_(ScreenCursor()) { SetScreenCursor(cursor); }
  ~TCursorScope() { SetScreenCursor(previous_); }
  TCursorScope(const TCursorScope&) = delete;
  TCursorScope& operator=(const TCursorScope&) = delete;

private:
  TCursor previous_;
};
