#pragma once

#include "core/Classes.h"

#include <string>

// The platform's dialog that asks for the name of a file to write.
class TSaveDialog : public TComponent {
public:
  explicit TSaveDialog(TComponent* owner = nullptr) : TComponent(owner) {}

  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name) { file_name_ = name; }
  // Pairs of a description and a pattern, all separated by "|": "Texts (*.txt)|*.txt|All files|*".
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter) { filter_ = filter; }
  // Added to a chosen name that has no extension, with or without its leading ".".
  const std::string& DefaultExt() const { return default_ext_; }
  void SetDefaultExt(const std::string& ext) { default_ext_ = ext; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Shows the dialog modally, starting on FileName; true when the user confirmed, FileName then holds the choice.
  bool Execute();

private:
  std::string file_name_;
  std::string filter_;
  std::string default_ext_;
  std::string title_;
};
