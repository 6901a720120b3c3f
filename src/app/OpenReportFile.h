#pragma once

// Saved report files opened again: `relclientes FILE.rpf` shows one in the preview window, and the batch export
// writes one out as any other file (`--export OUT --from FILE.rpf`). Neither needs the database.

#include <iosfwd>
#include <string>
#include <vector>

class TRLGraphicStorage;

// Reads a saved report file into `pages`, in place of what they held. A file that cannot be read, or that is no
// sound report file, raises Exception with a message for the user, in the user's language, naming the file and
// what is wrong with it; `pages` are then left as they were.
void OpenReportFile(TRLGraphicStorage& pages, const std::string& fileName);

// Whether the command line names a report file to preview: one argument, which is no option.
bool IsReportFileCommandLine(const std::vector<std::string>& args);

// Shows the report file in the preview window until the window closes, and waits for output started from it that
// still runs. A file that cannot be opened is told in a message box and on `err`, and nothing is shown. Returns the
// process exit code.
int PreviewReportFile(const std::string& fileName, std::ostream& err);
