#include "core/Exceptions.h"

#include <charconv>

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
  std::string out;
  out.reserve(pattern.size() + 32);
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c != '%' || i + 1 == pattern.size()) {
      out += c;
      continue;
    }
    char spec = pattern[i + 1];
    if (spec == '%') {
      out += '%';
      ++i;
      continue;
    }
    if ((spec != 's' && spec != 'd' && spec != 'x') || next == args.end()) {
      out += c;
      continue;
    }
    const FormatArg& arg = *next++;
    if (const auto* text = std::get_if<std::string_view>(&arg)) {
      out += *text;
    } else {
      char buffer[32];
      long long value = std::get<long long>(arg);
      auto result = spec == 'x'
                        ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<unsigned long long>(value), 16)
                        : std::to_chars(buffer, buffer + sizeof buffer, value);
      out.append(buffer, result.ptr);
    }
    ++i;
  }
  return out;
}

void Abort() { throw EAbort(); }
