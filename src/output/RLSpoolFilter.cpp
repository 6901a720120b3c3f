#include "output/RLSpoolFilter.h"

#include "output/RLPrinters.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "pages/RLUtils.h"
#include "widgets/Forms.h"

#include <vector>

TRLSpoolFilter::TRLSpoolFilter(TComponent* owner) : TRLCustomPrintFilter(owner) {}

std::string TRLSpoolFilter::JobTitle() const {
  if (std::string title = Pages()->Title(); !title.empty()) return title;
  const TForm* dialog = Application() ? Application()->MainForm() : nullptr;
  return dialog ? dialog->Caption() : std::string();
}

void TRLSpoolFilter::BeginDoc() {
  doc_started_ = false;
  SetPaper(Pages()->Orientation(), Pages()->PaperHeight(), Pages()->PaperWidth());
}

void TRLSpoolFilter::EndDoc() {
  if (doc_started_) EndJob();
}

void TRLSpoolFilter::EndJob() {
  doc_started_ = false;
  // Pages our writer does not write exactly are written again by Qt's: a job of added pages is always handed over.
  if (!RLPrinter().EndDoc()) throw Exception(EngineMessages().msgPrinterDriverError);
}

// Each page is a page of the job of its own: there is nothing to feed.
void TRLSpoolFilter::NewPage() {}

void TRLSpoolFilter::DrawPage(TRLGraphicSurface& page) {
  SetPaper(page.Orientation(), page.PaperHeight(), page.PaperWidth());
  RLPrinter().AddPage(StandalonePageDrawing(page.StandaloneCopy(), *Pages(),
                                            [printerRect = printer_rect_](TCanvas& canvas, TRLGraphicSurface& drawn) {
                                              DrawOnPrinter(canvas, drawn, printerRect);
                                            }));
}

void TRLSpoolFilter::SetPaper(int orientation, double height, double width) {
  if (doc_started_ && width == paper_width_ && height == paper_height_ && orientation == orientation_) return;
  paper_width_ = width;
  paper_height_ = height;
  orientation_ = orientation;
  if (doc_started_) EndJob();
  TRLPrinterWrapper& printer = RLPrinter();
  printer.SetPaperSize(orientation == 2, false, height, width);
  TRLPrinterMetrics m;
  printer.LoadMetrics(m);
  if (orientation == 2) {
    printer_rect_ = {0, 0, RoundToInt(m.PPIX * height / 25.4), RoundToInt(m.PPIY * width / 25.4)};
    printer_rect_ = MoveRect(printer_rect_, -m.MarginBottom, -m.MarginLeft);
  } else {
    printer_rect_ = {0, 0, RoundToInt(m.PPIX * width / 25.4), RoundToInt(m.PPIY * height / 25.4)};
    printer_rect_ = MoveRect(printer_rect_, -m.MarginLeft, -m.MarginTop);
  }
  printer.BeginDoc(TPdfDocument::TWriter::Own, JobTitle());
  doc_started_ = true;
}

void TRLSpoolFilter::DrawOnPrinter(TCanvas& canvas, TRLGraphicSurface& page, const TRect& printerRect) {
  // The printer rectangle in the canvas's units.
  const double units = canvas.Scale();
  const TRect target{RoundToInt(printerRect.Left / units), RoundToInt(printerRect.Top / units),
                     RoundToInt(printerRect.Right / units), RoundToInt(printerRect.Bottom / units)};
  double scaleX = page.Width() ? RectWidth(target) / static_cast<double>(page.Width()) : 1.0;
  double scaleY = page.Height() ? RectHeight(target) / static_cast<double>(page.Height()) : 1.0;
  auto mapped = [&](const TRect& r) {
    TRect result{RoundToInt(r.Left * scaleX) + target.Left, RoundToInt(r.Top * scaleY) + target.Top,
                 RoundToInt(r.Right * scaleX) + target.Left, RoundToInt(r.Bottom * scaleY) + target.Top};
    if (result.Left >= result.Right) result.Right = result.Left + 1;
    if (result.Top >= result.Bottom) result.Bottom = result.Top + 1;
    return result;
  };
  // Clipping of this drawing only: the page's own clip stack belongs to whoever paints it on a screen.
  std::vector<TRect> stack;
  TRect clip = target;
  auto finish = [&] {
    CanvasResetClipRect(canvas);
    stack.clear();
  };
  try {
    CanvasSetClipRect(canvas, clip);
    for (int i = 0; i < page.ObjectCount(); ++i) {
      TRLGraphicObject* object = page.Objects(i);
      if (object->TypeCode() == TRLSetClipRectObject::kTypeCode) {
        stack.push_back(clip);
        clip = mapped(object->BoundsRect());
        CanvasSetClipRect(canvas, clip);
      } else if (object->TypeCode() == TRLResetClipRectObject::kTypeCode) {
        if (!stack.empty()) {
          clip = stack.back();
          stack.pop_back();
        }
        CanvasSetClipRect(canvas, clip);
      } else {
        object->PaintTo(canvas, target.Left, target.Top, scaleX, scaleY);
      }
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

TRLSpoolFilter& SpoolFilter() {
  static TRLSpoolFilter filter;
  return filter;
}
