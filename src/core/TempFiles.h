#pragma once

// Temporary files that neither a signal nor a killed process leaves behind for good.
//
// Each file is named <folder>/<prefix><process id>-<number>.tmp, created exclusively and locked (flock) for as
// long as its descriptor is open. SIGTERM, SIGINT and SIGHUP remove the files still armed before the process ends
// with the signal's status. A process killed outright (SIGKILL) leaves them; the next creation with the same folder
// and prefix removes those whose process is gone and whose lock nobody holds, never a live process's.

#include <sys/types.h>
#include <string>

// Creates the file, locks it and arms its removal on a signal; `name` receives its path. Returns the open
// descriptor; -1 with errno set when no file could be made.
int CreateOwnedTempFile(const std::string& folder, const std::string& prefix, mode_t mode, std::string& name);

// Disarms the removal of the file on a signal: it was renamed into place or removed.
void ReleaseOwnedTempFile(const std::string& name);

// Removes <folder>/<prefix><pid>-<number>.tmp files of processes that no longer run and whose lock is free.
void RemoveStaleTempFiles(const std::string& folder, const std::string& prefix);
