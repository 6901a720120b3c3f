#pragma once

// The object layer of a PDF file: numbered objects and streams written one after the other to a safe file, and the
// cross-reference table that finds them.

#include "core/SafeFile.h"

#include <string>
#include <string_view>
#include <vector>

// Appends a number as PDF writes it: plain decimals, no exponent, no more digits than the value needs.
void AppendPdfNumber(std::string& out, double value);
// The same written at `out`, which has room for kPdfNumberRoom characters; returns the end of what it wrote.
constexpr std::size_t kPdfNumberRoom = 64;
char* WritePdfNumber(char* out, double value);
// Appends a text as a PDF name (the solidus included), other than regular characters escaped.
void AppendPdfName(std::string& out, std::string_view name);

class TPdfFile {
public:
  // Writes the header. The file stays the caller's, which commits or drops it.
  explicit TPdfFile(TSafeFile& file);
  TPdfFile(const TPdfFile&) = delete;
  TPdfFile& operator=(const TPdfFile&) = delete;

  // A number for an object written later.
  int Reserve();
  // Writes object `number` with the body given (a dictionary, an array, a number...).
  void WriteObject(int number, std::string_view body);
  // Writes object `number` as a stream of `data`, deflated, its dictionary's other entries given (without << >>).
  void WriteStream(int number, std::string_view entries, std::string_view data);
  // Writes object `number` as a stream of data deflated already.
  void WriteDeflatedStream(int number, std::string_view entries, std::string_view deflated);
  // The data deflated as a stream holds it. Safe from any thread.
  static std::string Deflate(std::string_view data);
  // Writes the cross-reference table and the trailer, then everything still held.
  void Finish(int catalog, int info);

private:
  void Put(std::string_view bytes);
  void Flush();

  TSafeFile& file_;
  std::string pending_;
  std::size_t offset_ = 0;
  // By object number (the first is 1); 0 until written.
  std::vector<std::size_t> offsets_;
};
