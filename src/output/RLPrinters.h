#pragma once

// The report engine's one way to the platform's printer: the installed printers, the selected one, copies, the
// paper of the next job, device metrics, the printer's properties dialog and the jobs themselves.

#include "pdf/PdfDocument.h"
#include "report/RLReport.h"

#include <functional>
#include <string>
#include <vector>

class TCanvas;

// The metrics used whenever a printer's cannot be read: a letter-size sheet at 300 pixels per inch.
TRLPrinterMetrics FallbackPrinterMetrics();

class TRLPrinterWrapper {
public:
  // "name|port" per installed printer, read on first use and kept until Refresh. Safe to use from any thread.
  std::vector<std::string> Printers();
  std::string PrinterNames(int index);
  std::string PrinterPorts(int index);
  int PrinterIndex();
  // Selects printer `index` (when inside the list), with its settings back at the printer's defaults.
  void SetPrinterIndex(int index);
  // The selected printer's name; empty without one.
  std::string PrinterName();
  // Selects the first printer when none is selected; true when a printer is selected.
  bool ValidatePrinter();
  // Reads the printer list again, keeping the selection where it can.
  void Refresh();

  int Copies();
  void SetCopies(int copies);
  // The paper (millimetres as defined, not rotated) and orientation of the next job. Force emulation has no effect.
  void SetPaperSize(bool landscape, bool forceEmulation, double height, double width);
  // The selected printer's metrics, or the fallback metrics when they cannot be read.
  void LoadMetrics(TRLPrinterMetrics& metrics);

  // Starts a job; raises an Exception with the engine's message when there is no printer. Its canvas counts in
  // 96 units per inch (Canvas().Scale() device pixels each). Its pages are written by Qt's PDF writer or by ours.
  // `title` names the print job in the printer's queue.
  void BeginDoc(TPdfDocument::TWriter writer = TPdfDocument::TWriter::Qt, const std::string& title = {});
  // Pages drawn on Canvas with NewPage between them, or each added with AddPage (see TPrinter).
  void NewPage();
  void AddPage(std::function<void(TCanvas&)> draw);
  // Ends the job and keeps the printer that was selected before it. False when a job of our writer drawn on Canvas
  // met something it does not write exactly and handed nothing over; a job of added pages is always handed over.
  bool EndDoc();
  TCanvas& Canvas();

  bool CanSetup() const { return true; }
  void ExecuteSetup();
};

// The process-wide wrapper, created on first use.
TRLPrinterWrapper& RLPrinter();
