#include "output/RLPrinters.h"

#include "core/ScopeGuard.h"
#include "pages/RLConsts.h"
#include "pages/RLTypes.h"
#include "pages/RLUtils.h"
#include "printing/Printers.h"

#include <algorithm>

TRLPrinterMetrics FallbackPrinterMetrics() {
  TRLPrinterMetrics m;
  m.PPIX = 300;
  m.PPIY = 300;
  m.PhysicalWidth = 2550;
  m.PhysicalHeight = 3300;
  m.MarginLeft = 75;
  m.MarginTop = 75;
  m.MarginRight = 75;
  m.MarginBottom = 75;
  m.ClientWidth = 2400;
  m.ClientHeight = 3150;
  return m;
}

std::vector<std::string> TRLPrinterWrapper::Printers() { return Printer().Printers(); }

std::string TRLPrinterWrapper::PrinterNames(int index) {
  const auto list = Printers();
  if (index < 0 || index >= static_cast<int>(list.size())) return {};
  return Token(list[static_cast<std::size_t>(index)], 1, '|');
}

std::string TRLPrinterWrapper::PrinterPorts(int index) {
  const auto list = Printers();
  if (index < 0 || index >= static_cast<int>(list.size())) return {};
  return Token(list[static_cast<std::size_t>(index)], 2, '|');
}

int TRLPrinterWrapper::PrinterIndex() { return Printer().PrinterIndex(); }

void TRLPrinterWrapper::SetPrinterIndex(int index) {
  if (index >= 0 && index < static_cast<int>(Printers().size())) Printer().SetPrinterIndex(index);
}

std::string TRLPrinterWrapper::PrinterName() { return PrinterNames(PrinterIndex()); }

bool TRLPrinterWrapper::ValidatePrinter() {
  if (Printer().PrinterIndex() < 0 && !Printers().empty()) Printer().SetPrinterIndex(0);
  return Printer().PrinterIndex() >= 0;
}

void TRLPrinterWrapper::Refresh() {
  int remembered = Printer().PrinterIndex();
  try {
    Printer().Refresh();
    Printer().SetPrinterIndex(-1);
    int count = static_cast<int>(Printers().size());
    if (count > 0 && remembered >= 0) Printer().SetPrinterIndex(std::min(remembered, count - 1));
  } catch (const std::exception&) {
    // A printer list that cannot be read again keeps what the platform has.
  }
}

int TRLPrinterWrapper::Copies() { return std::max(1, Printer().Copies()); }

void TRLPrinterWrapper::SetCopies(int copies) { Printer().SetCopies(copies); }

void TRLPrinterWrapper::SetPaperSize(bool landscape, bool, double height, double width) {
  TRLPaperDeviceSettings settings = PaperDeviceSettings(landscape, width, height);
  if (ValidatePrinter()) Printer().SetPaper(settings.DeviceCode, settings.Width, settings.Height);
  Printer().SetOrientation(settings.Orientation != 1 ? poLandscape : poPortrait);
}

void TRLPrinterWrapper::LoadMetrics(TRLPrinterMetrics& metrics) {
  TPrinterDeviceMetrics device;
  if (!ValidatePrinter() || !Printer().DeviceMetrics(device)) {
    metrics = FallbackPrinterMetrics();
    return;
  }
  metrics.PPIX = device.PixelsPerInchX;
  metrics.PPIY = device.PixelsPerInchY;
  metrics.PhysicalWidth = device.PhysicalWidth;
  metrics.PhysicalHeight = device.PhysicalHeight;
  metrics.MarginLeft = device.PhysicalOffsetX;
  metrics.MarginTop = device.PhysicalOffsetY;
  metrics.ClientWidth = device.HorizontalResolution;
  metrics.ClientHeight = device.VerticalResolution;
  metrics.MarginRight = metrics.PhysicalWidth - metrics.MarginLeft - metrics.ClientWidth;
  metrics.MarginBottom = metrics.PhysicalHeight - metrics.MarginTop - metrics.ClientHeight;
}

void TRLPrinterWrapper::BeginDoc(TPdfDocument::TWriter writer, const std::string& title) {
  if (!ValidatePrinter()) throw Exception(EngineMessages().msgPrinterNotFound);
  try {
    // The canvas counts in the report's own 96 units per inch, as the PDF save does: dotted pens and hairlines
    // keep the size they have on the screen instead of shrinking to device dots, each a path of its own.
    Printer().BeginDoc(title, ScreenPixelsPerInch, writer);
  } catch (const EPrinter& error) {
    throw Exception(EngineMessages().msgPrinterDriverError + ": " + error.Message());
  }
}

void TRLPrinterWrapper::NewPage() { Printer().NewPage(); }

void TRLPrinterWrapper::AddPage(std::function<void(TCanvas&)> draw) { Printer().AddPage(std::move(draw)); }

bool TRLPrinterWrapper::EndDoc() {
  int selected = Printer().PrinterIndex();
  const TScopeExit keepSelection([&] {
    if (Printer().PrinterIndex() != selected) Printer().SetPrinterIndex(selected);
  });
  return Printer().EndDoc();
}

TCanvas& TRLPrinterWrapper::Canvas() { return Printer().Canvas(); }

void TRLPrinterWrapper::ExecuteSetup() {
  Refresh();
  Printer().ExecuteSetup();
}

TRLPrinterWrapper& RLPrinter() {
  static TRLPrinterWrapper wrapper;
  return wrapper;
}
