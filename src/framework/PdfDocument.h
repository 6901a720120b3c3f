#pragma once

#include "framework/Canvas.h"

#include <memory>
#include <string>

class QFile;
class QPdfWriter;

// A PDF file drawn page by page through a canvas whose units are pixels at 96 per inch. Text is written as text.
class TPdfDocument {
public:
  // Creates (or truncates) the file; raises EInvalidOperation when it cannot be opened.
  explicit TPdfDocument(const std::string& fileName);
  ~TPdfDocument();
  TPdfDocument(const TPdfDocument&) = delete;
  TPdfDocument& operator=(const TPdfDocument&) = delete;

  // Starts the next page with the given size in millimetres and returns the canvas to draw it on.
  TCanvas& NewPage(double widthMM, double heightMM);
  // Finishes the file; raises EInvalidOperation when it could not be written completely.
  void Close();

private:
  std::string file_name_;
  std::unique_ptr<QFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<TCanvas> canvas_;
  int pages_ = 0;
};
