#pragma once

#include "output/RLFilters.h"
#include "widgets/Controls.h"

#include <string>

// The print filter that draws pages on the platform's printer. A page whose paper or orientation differs from the
// job's ends that job and starts another. Jobs are written by our PDF writer, which hands a job it cannot write
// exactly to Qt's writer by itself.
class TRLSpoolFilter : public TRLCustomPrintFilter {
public:
  explicit TRLSpoolFilter(TComponent* owner = nullptr);

  // Where a page is drawn, in device pixels: the whole sheet, its corner at the unprintable margins' offsets.
  const TRect& PrinterRect() const { return printer_rect_; }
  bool DocStarted() const { return doc_started_; }
  double PaperWidth() const { return paper_width_; }
  double PaperHeight() const { return paper_height_; }
  int Orientation() const { return orientation_; }
  // The name of the print job in the printer's queue: the report's title, or where it has none the caption of the
  // program's dialog.
  std::string JobTitle() const;

protected:
  void BeginDoc() override;
  void EndDoc() override;
  void NewPage() override;
  void DrawPage(TRLGraphicSurface& page) override;

private:
  void SetPaper(int orientation, double height, double width);
  // Draws `page` over the printer rectangle: on whichever thread the job draws its pages.
  static void DrawOnPrinter(TCanvas& canvas, TRLGraphicSurface& page, const TRect& printerRect);
  void EndJob();

  TRect printer_rect_;
  bool doc_started_ = false;
  double paper_width_ = 0;
  double paper_height_ = 0;
  int orientation_ = 0;
};

// The process-wide spool filter, created on first use.
TRLSpoolFilter& SpoolFilter();
