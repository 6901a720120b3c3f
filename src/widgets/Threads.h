#pragma once

// Work on threads other than the main one, which alone may touch windows.

#include <functional>

// Runs `action` on the main thread and waits until it has run: at once when called there, otherwise through the
// main thread's message queue. An exception that `action` raises is raised again in the caller.
void Synchronize(const std::function<void()>& action);

// Processes the main thread's messages until `done` answers true, so that workers waiting in Synchronize are served.
void ProcessMessagesUntil(const std::function<bool()>& done);
