#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// `relclientes --export FILE [--city TEXT]`: the dialog's report generated without any window and written to FILE
// by its extension. Returns the process exit code; messages go to `out` and `err`.
int RunBatchExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether the command line asks for the batch mode (or its help) rather than the dialog.
bool IsBatchCommandLine(const std::vector<std::string>& args);
