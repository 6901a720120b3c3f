#include "core/Strings.h"

#include "core/Exceptions.h"
#include "core/Text.h"

void TStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format("List index out of bounds (%d)", {index}));
}

const std::string& TStrings::Strings(int index) const {
  CheckIndex(index, Count() - 1);
  return lines_[static_cast<std::size_t>(index)];
}

void TStrings::SetStrings(int index, std::string line) {
  CheckIndex(index, Count() - 1);
  Changing();
  lines_[static_cast<std::size_t>(index)] = std::move(line);
  Changed();
}

int TStrings::Add(std::string line) {
  Changing();
  lines_.push_back(std::move(line));
  Changed();
  return Count() - 1;
}

void TStrings::Insert(int index, std::string line) {
  CheckIndex(index, Count());
  Changing();
  lines_.insert(lines_.begin() + index, std::move(line));
  Changed();
}

void TStrings::Delete(int index) {
  CheckIndex(index, Count() - 1);
  Changing();
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TStrings::Clear() {
  if (lines_.empty()) return;
  Changing();
  lines_.clear();
  Changed();
}

int TStrings::IndexOf(std::string_view line) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(lines_[static_cast<std::size_t>(i)], line)) return i;
  }
  return -1;
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  for (const auto& line : other.lines_) Add(line);
  EndUpdate();
}

std::string TStrings::Text() const {
  std::string text;
  for (const auto& line : lines_) {
    text += line;
    text += '\n';
  }
  return text;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      Add(std::string(text.substr(start)));
      break;
    }
    Add(std::string(text.substr(start, end - start)));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  EndUpdate();
}

std::string TStrings::Join(std::string_view separator) const {
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i) text += separator;
    text += lines_[i];
  }
  return text;
}

std::string TStrings::Names(int index) const {
  const std::string& line = Strings(index);
  auto eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  const std::string& line = Strings(index);
  auto eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& line = lines_[static_cast<std::size_t>(i)];
    auto eq = line.find('=');
    if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStrings::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string line = std::string(name) + "=" + std::string(value);
  if (i < 0) Add(std::move(line));
  else SetStrings(i, std::move(line));
}

void TStrings::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TStrings*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  Changing();
  lines_ = other->lines_;
  Changed();
}

void TStrings::BeginUpdate() {
  if (update_count_++ == 0 && OnChanging) OnChanging(this);
}

void TStrings::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0 && OnChange) OnChange(this);
}

void TStrings::Changing() {
  if (update_count_ == 0 && OnChanging) OnChanging(this);
}

void TStrings::Changed() {
  if (update_count_ == 0 && OnChange) OnChange(this);
}
