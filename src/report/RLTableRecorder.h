#pragma once

// Fills the page collection's data table while a report runs, so that the report can be saved as a spreadsheet.
//
// Why here: a spreadsheet wants the data with their types, one row per detail, and the pages hold only drawn text
// (cut to the controls' widths, numbers already formatted, titles and page furniture mixed in). Telling the rows
// apart again from the drawings would be guesswork; the report run knows, at the moment a detail band prints,
// exactly which texts make up the row and which fields they come from. So the run records each printed detail
// band as a row beside its pages, and the save filters write that table. It costs the run one small write per
// detail, into a temporary file, and changes nothing of the pages or the report file.
//
// The columns are worked out from the report's layout before the first record:
//   - first the data-bound texts of the enclosing groups' header bands (the city of a client list), outermost
//     group first, each titled by the label on the same line just left of it (else its field name), so that every
//     row stands alone;
//   - then, for each detail band in the order of the definition, its text controls by left edge. A column's
//     title is the label above it: going out from the band, pager by pager, the column-header bands and then the
//     header bands of each are searched for a static label that overlaps the control horizontally; of those in
//     the first band that has any, the lowest one wins (the nearest above), then the widest overlap. Without one
//     the title is the control's data field name, or its name.
// A row fills the columns of its own band and groups; the others stay empty (a report with two kinds of detail).
// Cells take the type of their field: numbers as numbers, dates and times as such, anything else as the text the
// control printed.

#include "pages/RLDataTable.h"

#include <memory>
#include <unordered_map>
#include <vector>

class TRLCustomBand;
class TRLCustomLabel;
class TRLCustomReport;

class TRLTableRecorder {
public:
  // Works out the columns of `report`'s own detail bands and adds them to `table`, where the rows will go.
  void Begin(TRLCustomReport& report, std::shared_ptr<TRLDataTable> table);
  // Records a printed detail band as the next row; bands that Begin did not see are ignored.
  void RecordRow(const TRLCustomBand& band, int pageIndex);

private:
  struct TSource {
    TRLCustomLabel* control;
    int column;
  };

  std::shared_ptr<TRLDataTable> table_;
  std::unordered_map<const TRLCustomBand*, std::vector<TSource>> sources_;
  TRLTableRow row_;
};
