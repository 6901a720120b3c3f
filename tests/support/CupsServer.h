#pragma once

// A private CUPS scheduler for tests that print: its own configuration, spool and logs in a temporary folder,
// listening on a socket of its own that CUPS_SERVER names for this process, with queues whose device copies every
// job into the folder, where the test reads it back. Stopped and removed when the object goes.

#include <filesystem>
#include <string>
#include <vector>

namespace outputtest {

struct TCapturedJob {
  int Id = 0;
  std::filesystem::path File;  // the document as the printer got it
  int Copies = 0;
  std::string Title;
  std::string Options;  // the job's options as the scheduler hands them to the printer's backend
};

class TCupsServer {
public:
  // Starts the scheduler and points this process at it; raises std::runtime_error when it does not answer.
  TCupsServer();
  ~TCupsServer();
  TCupsServer(const TCupsServer&) = delete;
  TCupsServer& operator=(const TCupsServer&) = delete;

  // A raw queue whose jobs land in the capture folder; `makeDefault` makes it the scheduler's default printer.
  void AddQueue(const std::string& name, bool makeDefault = false, const std::string& location = {});
  // Removes the queues added and the jobs captured, for the next test of the process.
  void Reset();
  // The jobs captured so far, oldest first, waiting up to `seconds` until there are at least `count`.
  std::vector<TCapturedJob> WaitForJobs(std::size_t count, double seconds = 30);
  const std::filesystem::path& Dir() const { return dir_; }

private:
  void Command(const std::string& command);

  std::filesystem::path dir_;
  int pid_ = -1;
  std::vector<std::string> queues_;
};

// The process's scheduler, started on first use (the printing library reads CUPS_SERVER once per process) and
// stopped when the process ends; each test starts from Reset.
TCupsServer& SharedCupsServer();

// What the poppler tools read in a PDF file: its page count, the text of page n (from 1), a page's size in points.
int PdfPageCount(const std::filesystem::path& pdf);
// What pdfinfo tells of the file: its producer, pages, sizes...
std::string PdfInfo(const std::filesystem::path& pdf);
std::string PdfText(const std::filesystem::path& pdf, int firstPage = 0, int lastPage = 0);
std::string PdfPageSize(const std::filesystem::path& pdf, int page);
// Page n (from 1) as poppler draws it at `dpi`, a PPM image; empty when it cannot be drawn.
std::string PdfPageImage(const std::filesystem::path& pdf, int page, int dpi);

}  // namespace outputtest
