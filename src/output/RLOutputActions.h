#pragma once

// What the windows of the report engine do to print and save: the preview window's Print, Save and printer-setup
// buttons, and the report's own Print, which the report module reaches through InstallReportOutput.

#include <string>

class TRLCustomReport;
class TRLGraphicStorage;

// The preview window's Print button: the print dialog over the collection, then the chosen print filter (or the
// printer) over the chosen range, in the background when asked. False when the user cancelled.
bool PrintFromPreview(TRLGraphicStorage& pages);
// The preview window's Save button: the save dialog, proposing the report's title as the file name, then the
// chosen save filter over the chosen range (in the background when asked), or the report file with every page.
// False when the user cancelled.
bool SaveFromPreview(TRLGraphicStorage& pages);
// The preview window's printer-setup button: the page setup of the chosen printer, or a message that there is none.
void SetupPrinterFromPreview();

// The report's Print: printer paper, print dialog, generation when needed, output.
void PrintReport(TRLCustomReport& report);

// Gives the report engine its printing (TRLCustomReport::Print and the printer's metrics), the preview window its
// Print, Save and printer-setup buttons, puts the PDF, PNG, spreadsheet and semicolon-separated text save filters in
// the filter list and registers the output classes. Called once at start-up.
void InstallReportOutput();
