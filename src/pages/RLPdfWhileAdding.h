#pragma once

// A PDF file written while a run adds the pages to a collection: the pages are drawn on a thread of their own as they
// come, so that making the report and writing its file share the processors.

#include "pages/RLGraphicStorage.h"

#include <functional>
#include <string>

// A PDF file of the pages that `run` adds to the collection on this thread; false, and no file, when `run` says it
// did not complete. Each page is drawn on the writing thread while the next ones are made, up to the first page that
// needs what the collection receives only when the run ends (see TRLGraphicSurface::SelfContained): from there on
// the pages are drawn when the run has ended. The file is the one SavePagesToPdf writes of the same pages. Raises
// what `run` raises, and EFileWriteError; no file then either.
bool SavePagesToPdfWhileAdding(TRLGraphicStorage& storage, const std::string& fileName,
                               const std::function<bool()>& run);
