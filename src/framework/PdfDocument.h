#pragma once

#include "framework/Canvas.h"
#include "framework/SafeFile.h"

#include <memory>
#include <string>

class QFile;
class QPdfWriter;

// A PDF file drawn page by page through a canvas whose units are pixels at 96 per inch. Text is written as text.
class TPdfDocument {
public:
  // Starts the file as a safe file: it takes its name only when Close succeeds, and an earlier file of that name
  // stays until then. Raises EFileWriteError when the file cannot be created.
  explicit TPdfDocument(const std::string& fileName);
  ~TPdfDocument();
  TPdfDocument(const TPdfDocument&) = delete;
  TPdfDocument& operator=(const TPdfDocument&) = delete;

  // Starts the next page with the given size in millimetres and returns the canvas to draw it on.
  TCanvas& NewPage(double widthMM, double heightMM);
  // Finishes the file and puts it in place; raises EFileWriteError when it could not be written completely.
  // A document destroyed without Close leaves no file.
  void Close();

private:
  TSafeFile safe_file_;
  std::unique_ptr<QFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<TCanvas> canvas_;
  int pages_ = 0;
};
