#pragma once

// The platform's printers: the installed queues, the selected one with its copies, paper and orientation for the
// next job, its device metrics, its properties dialog and print jobs drawn through a canvas.

#include "core/Exceptions.h"
#include "graphics/Canvas.h"
#include "pdf/PdfDocument.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QPrinter;

enum TPrinterOrientation { poPortrait, poLandscape };

// What a printer's device context reports, in device pixels.
struct TPrinterDeviceMetrics {
  int PixelsPerInchX = 0, PixelsPerInchY = 0;
  int PhysicalWidth = 0, PhysicalHeight = 0;
  // The printable area's offset from the sheet's corner, and its size.
  int PhysicalOffsetX = 0, PhysicalOffsetY = 0;
  int HorizontalResolution = 0, VerticalResolution = 0;
};

// One per process (Printer()). Settings are read and changed by any thread; a job belongs to the thread that began
// it, and a job in progress keeps the settings it began with.
class TPrinter {
public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // One entry per installed printer, "name|location", read from the printing service on first use.
  std::vector<std::string> Printers();
  // The selected printer's index in Printers; the default printer's while none was chosen; -1 when there is none.
  int PrinterIndex();
  // Selects printer `index` (-1: the default printer) with its settings back at the printer's defaults.
  void SetPrinterIndex(int index);
  // Forgets the printer list, so that the next use reads it again.
  void Refresh();
  // The selected printer's name; empty when there is none.
  std::string PrinterName();

  int Copies();
  void SetCopies(int copies);
  TPrinterOrientation Orientation();
  void SetOrientation(TPrinterOrientation orientation);
  // The paper of the next job: a paper code of the printing service (256: none, the size in millimetres counts),
  // or a size in millimetres that names a known paper when one fits.
  void SetPaper(int paperCode, double widthMM, double heightMM);

  // The selected printer's metrics with the current paper and orientation; false when there is no printer.
  bool DeviceMetrics(TPrinterDeviceMetrics& metrics);

  // Starts a job on the selected printer; raises EPrinter when there is none or it cannot start. With
  // `unitsPerInch`, the canvas counts in those units instead of device pixels. The job is a PDF document, written
  // by Qt's writer or by ours (see PdfDocument.h), with the printer's paper, resolution and printable area.
  void BeginDoc(const std::string& title = {}, int unitsPerInch = 0,
                TPdfDocument::TWriter writer = TPdfDocument::TWriter::Qt);
  // A job's pages are either drawn on Canvas, with NewPage between them, or each added with AddPage.
  void NewPage();
  // Adds the job's next page, drawn by `draw` on a canvas of its own. Our writer draws it on one of its threads and
  // keeps `draw` until EndDoc, to draw the page again on Qt's writer should the job need that writer (see
  // TPdfDocument::AddPage); Qt's writer draws it at once.
  void AddPage(std::function<void(TCanvas&)> draw);
  // Hands the job to the printing service with its copies, paper, orientation and sides. A job of added pages is
  // always handed over, written by Qt's writer when ours met what it does not write exactly. One drawn on Canvas
  // cannot be drawn again: then EndDoc returns false, having handed nothing over. Raises EPrinter when the service
  // does not take the job.
  bool EndDoc();
  bool Printing() const { return job_ != nullptr; }
  // The job's canvas, in device pixels (or the units BeginDoc was given); its font's PixelsPerInch is the
  // device's vertical resolution in those units.
  TCanvas& Canvas();

  // The printing service's dialog of the selected printer's properties; true when the user confirmed.
  bool ExecuteSetup();

private:
  struct TSettings;
  void LoadPrinters();
  std::unique_ptr<QPrinter> MakePrinter();
  void BeginOwnDoc(int unitsPerInch);
  bool EndOwnDoc();
  // Qt's writer: ends the page drawn and starts the next.
  void FeedQtPage();

  std::recursive_mutex mutex_;
  std::vector<std::string> printers_;
  bool printers_loaded_ = false;
  std::unique_ptr<TSettings> settings_;
  // The job's printer: its settings, and the device of Qt's writer when that writer draws the job.
  std::unique_ptr<QPrinter> job_;
  std::unique_ptr<TCanvas> canvas_;
  // Our writer's job: the document and its current page's canvas.
  std::unique_ptr<TPdfDocument> own_;
  std::string own_file_;
  TCanvas* own_canvas_ = nullptr;
  double own_width_mm_ = 0, own_height_mm_ = 0;
  // The pages of the job begun so far, on either writer.
  int pages_ = 0;
};

class EPrinter : public Exception {
public:
  using Exception::Exception;
};

// The process's printer object, created on first use.
TPrinter& Printer();
