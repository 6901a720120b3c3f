#include "core/FloatFormat.h"

#include "core/Variant.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The sections of a picture, split at ";" outside quotes.
std::vector<std::string_view> Sections(std::string_view format) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';' && sections.size() < 2) {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

// What one section asks for. The number goes where its placeholders are; the literal text before the first
// placeholder and after the last one stays around it.
struct TPicture {
  std::string prefix, suffix;
  int min_int = 0;  // zeros before the point
  int min_frac = 0, max_frac = 0;
  bool grouped = false;
  bool scientific = false;
  bool exp_sign_always = false;
  int exp_digits = 0;
  bool has_digits = false;
};

TPicture Read(std::string_view section) {
  TPicture p;
  bool after_point = false, in_number = false, done = false;
  std::string pending;  // literal text met after a placeholder: a suffix unless more placeholders follow
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '\'' || c == '"') {
      const std::size_t end = section.find(c, i + 1);
      const std::string_view text =
          section.substr(i + 1, (end == std::string_view::npos ? section.size() : end) - i - 1);
      (in_number ? pending : p.prefix) += text;
      i = end == std::string_view::npos ? section.size() : end;
      continue;
    }
    const bool placeholder = !done && (c == '0' || c == '#' || ((c == '.' || c == ',') && in_number));
    if (!done && (c == 'E' || c == 'e') && in_number && i + 1 < section.size() &&
        (section[i + 1] == '+' || section[i + 1] == '-')) {
      p.scientific = true;
      p.exp_sign_always = section[i + 1] == '+';
      i += 2;
      while (i < section.size() && section[i] == '0') {
        ++p.exp_digits;
        ++i;
      }
      --i;
      pending.clear();
      done = true;
      continue;
    }
    if (placeholder || (!done && !in_number && (c == '.' || c == ','))) {
      in_number = true;
      pending.clear();
      if (c == '.') {
        after_point = true;
      } else if (c == ',') {
        if (!after_point) p.grouped = true;
      } else {
        p.has_digits = true;
        if (after_point) {
          ++p.max_frac;
          if (c == '0') p.min_frac = p.max_frac;
        } else if (c == '0') {
          ++p.min_int;
        }
      }
      continue;
    }
    (in_number ? pending : p.prefix) += c;
    if (in_number) done = true;
  }
  p.suffix = pending;
  return p;
}

std::string Group(const std::string& digits) {
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[static_cast<std::size_t>(i)];
  }
  return out;
}

std::string Fixed(double value, int precision) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  return std::string(buffer, result.ptr);
}

// The digits of |value|; false when they are all zero.
bool Body(const TPicture& p, double value, std::string& body) {
  std::string int_part, frac_part, exponent;
  if (p.scientific) {
    char buffer[64];
    const int digits = std::max(0, p.min_int + p.max_frac - 1);
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                std::max(digits, p.max_frac));
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    const std::string mantissa = text.substr(0, e);
    const int exp = std::atoi(text.c_str() + e + 1);
    const std::size_t point = mantissa.find('.');
    int_part = mantissa.substr(0, point);
    frac_part = point == std::string::npos ? std::string() : mantissa.substr(point + 1);
    frac_part.resize(static_cast<std::size_t>(p.max_frac), '0');
    std::string exp_text = std::to_string(std::abs(exp));
    if (static_cast<int>(exp_text.size()) < p.exp_digits) exp_text.insert(0, p.exp_digits - exp_text.size(), '0');
    exponent = std::string("E") + (exp < 0 ? "-" : p.exp_sign_always ? "+" : "") + exp_text;
  } else {
    const std::string text = Fixed(value, p.max_frac);
    const std::size_t point = text.find('.');
    int_part = text.substr(0, point);
    frac_part = point == std::string::npos ? std::string() : text.substr(point + 1);
  }
  const bool nonzero =
      int_part.find_first_not_of('0') != std::string::npos || frac_part.find_first_not_of('0') != std::string::npos;
  while (static_cast<int>(frac_part.size()) > p.min_frac && !frac_part.empty() && frac_part.back() == '0') {
    frac_part.pop_back();
  }
  const std::size_t first = int_part.find_first_not_of('0');
  int_part = first == std::string::npos ? std::string() : int_part.substr(first);
  if (static_cast<int>(int_part.size()) < p.min_int) int_part.insert(0, p.min_int - int_part.size(), '0');
  body = p.grouped ? Group(int_part) : int_part;
  if (!frac_part.empty()) body += "." + frac_part;
  body += exponent;
  return nonzero;
}

}  // namespace

std::string FormatFloat(std::string_view format, double value) {
  if (format.empty() || !std::isfinite(value)) return FloatToStr(value);
  const std::vector<std::string_view> sections = Sections(format);
  std::string_view section = sections[0];
  bool sign = value < 0;
  if (value < 0 && sections.size() > 1 && !sections[1].empty()) {
    section = sections[1];
    sign = false;
  } else if (value == 0 && sections.size() > 2 && !sections[2].empty()) {
    section = sections[2];
  }
  const TPicture picture = Read(section);
  if (!picture.has_digits) return picture.prefix + picture.suffix;
  std::string body;
  const bool nonzero = Body(picture, std::fabs(value), body);
  return (sign && nonzero ? "-" : "") + picture.prefix + body + picture.suffix;
}

std::string LocaleDecimalSeparator() { return QLocale::system().decimalPoint().toStdString(); }
