#include "core/TerminalText.h"

#include <cstdint>
#include <cstdio>

namespace {

std::string HexEscape(const char* prefix, unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%s%0*X", prefix, digits, value);
  return buffer;
}

// Length of the valid UTF-8 sequence at the start of `text`, or 0 when its first byte starts none.
std::size_t Utf8SequenceLength(std::string_view text, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, codePoint = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
  return length;
}

std::string Escape(std::string_view text, bool keepLineBreaks) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++i;
    } else if (c == '\n') {
      out += keepLineBreaks ? "\n" : "\\n";
      ++i;
    } else if (c == '\t' || c == '\r') {
      out += c == '\t' ? "\\t" : "\\r";
      ++i;
    } else if (c < 0x80) {
      out += HexEscape("\\x", c, 2);
      ++i;
    } else {
      char32_t codePoint = 0;
      const std::size_t length = Utf8SequenceLength(text.substr(i), codePoint);
      if (length == 0) {
        out += HexEscape("\\x", c, 2);
        ++i;
      } else {
        if (codePoint <= 0x9F) out += HexEscape("\\u", static_cast<unsigned>(codePoint), 4);
        else out.append(text.substr(i, length));
        i += length;
      }
    }
  }
  return out;
}

}  // namespace

std::string EscapeForTerminal(std::string_view text) { return Escape(text, false); }

std::string EscapeMessageForTerminal(std::string_view message) { return Escape(message, true); }
