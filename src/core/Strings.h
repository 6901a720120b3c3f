#pragma once

#include "core/Classes.h"

#include <string>
#include <string_view>
#include <vector>

// An ordered list of text lines, with optional name=value lines.
class TStrings : public TPersistent {
public:
  int Count() const { return static_cast<int>(lines_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..Count-1.
  const std::string& Strings(int index) const;
  void SetStrings(int index, std::string line);
  const std::string& operator[](int index) const { return Strings(index); }

  int Add(std::string line);
  void Insert(int index, std::string line);
  void Delete(int index);
  void Clear();
  int IndexOf(std::string_view line) const;  // case-insensitive; -1 when absent
  void AddStrings(const TStrings& other);

  // The lines, each followed by a line break ("\n"). Setting splits at "\n", "\r\n" or "\r".
  std::string Text() const;
  void SetText(std::string_view text);
  // The lines joined by `separator`, without a trailing one.
  std::string Join(std::string_view separator) const;

  // name=value lines; names compare case-insensitively.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  std::string Values(std::string_view name) const;
  void SetValue(std::string_view name, std::string_view value);  // an empty value removes the line
  int IndexOfName(std::string_view name) const;

  const std::vector<std::string>& Lines() const { return lines_; }
  void Assign(const TPersistent& source) override;
  bool operator==(const TStrings& other) const { return lines_ == other.lines_; }

  // Groups several changes into one OnChange.
  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;

private:
  void Changing();
  void Changed();
  void CheckIndex(int index, int limit) const;

  std::vector<std::string> lines_;
  int update_count_ = 0;
};

using TStringList = TStrings;
