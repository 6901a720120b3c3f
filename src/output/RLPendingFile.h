#pragma once

#include <string>

// A file written beside its target under a temporary name, which becomes the target only when Commit is called:
// a write that fails or is given up leaves no half-written file, and an existing target stays as it was.
class TPendingFile {
public:
  explicit TPendingFile(std::string target);
  // Removes the temporary file unless it was committed.
  ~TPendingFile();
  TPendingFile(const TPendingFile&) = delete;
  TPendingFile& operator=(const TPendingFile&) = delete;

  const std::string& Target() const { return target_; }
  const std::string& Temp() const { return temp_; }
  // Renames the temporary file to the target; raises an Exception when it cannot.
  void Commit();

private:
  std::string target_, temp_;
  bool committed_ = false;
};
