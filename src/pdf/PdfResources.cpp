#include "pdf/PdfResources.h"

int TPdfResources::Reserve() {
  std::lock_guard lock(mutex_);
  return file_.Reserve();
}

void TPdfResources::WriteDeflatedStream(int number, const std::string& deflated) {
  std::lock_guard lock(mutex_);
  file_.WriteDeflatedStream(number, "", deflated);
}

void TPdfResources::WriteObject(int number, const std::string& body) {
  std::lock_guard lock(mutex_);
  file_.WriteObject(number, body);
}

std::string TPdfResources::Write() {
  std::lock_guard lock(mutex_);
  return "/Font << " + fonts_.Write(file_) + ">> /ProcSet [/PDF /Text]";
}
