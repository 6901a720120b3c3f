#include "output/RLPendingFile.h"

#include "framework/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

TPendingFile::TPendingFile(std::string target) : target_(std::move(target)) {
  static std::atomic<unsigned> counter{0};
  fs::path path(target_);
  std::string name = "." + path.filename().string() + ".part-" + std::to_string(::getpid()) + "-" +
                     std::to_string(++counter);
  temp_ = (path.parent_path().empty() ? fs::path(name) : path.parent_path() / name).string();
}

TPendingFile::~TPendingFile() {
  if (!committed_) std::remove(temp_.c_str());
}

void TPendingFile::Commit() {
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    throw Exception("Cannot create file \"" + target_ + "\": " + std::strerror(errno));
  }
  committed_ = true;
}
