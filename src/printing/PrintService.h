#pragma once

// Hands a PDF file to the printing service as a job on a printer's queue.

#include <string>

class QPrinter;

// Submits `pdfFile` to the queue of `settings`' printer, titled with its document name, with the options Qt's own
// print jobs carry: the paper, the copies (collated or not) when more than one, the sides and landscape. Returns
// the job's number, or 0 with `error` set when the service did not take it.
int SubmitPdfJob(const QPrinter& settings, const std::string& pdfFile, std::string& error);
