#include "core/Text.h"

#include "core/Exceptions.h"

#include <QString>

#include <cmath>

namespace {

QString ToQ(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromQ(const QString& text) { return text.toStdString(); }

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string AnsiUpperCase(std::string_view text) {
  if (IsAscii(text)) {
    std::string out(text);
    for (auto& c : out) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
  }
  return FromQ(ToQ(text).toUpper());
}

std::string AnsiLowerCase(std::string_view text) {
  if (IsAscii(text)) {
    std::string out(text);
    for (auto& c : out) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
  }
  return FromQ(ToQ(text).toLower());
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      int ca = (a[i] >= 'A' && a[i] <= 'Z') ? a[i] - 'A' + 'a' : a[i];
      int cb = (b[i] >= 'A' && b[i] <= 'Z') ? b[i] - 'A' + 'a' : b[i];
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
  }
  int c = QString::compare(ToQ(a), ToQ(b), Qt::CaseInsensitive);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a == b) return true;
  if (IsAscii(a) && IsAscii(b) && a.size() != b.size()) return false;
  return AnsiCompareText(a, b) == 0;
}

int CharCount(std::string_view text) {
  int count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

std::string TrimLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= ' ') --n;
  return std::string(text.substr(0, n));
}

std::vector<std::string> SplitText(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
}

bool FitsInt64(double value) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  return value >= -kLimit && value < kLimit;
}

long long RoundHalfEven(double value) {
  if (!FitsInt64(value)) {
    throw EConvertError("Cannot round " + std::to_string(value) + " to a 64-bit integer");
  }
  double whole = std::floor(value);
  double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<long long>(whole);
}
