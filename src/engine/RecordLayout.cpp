#include "engine/RecordLayout.h"

#include <algorithm>

namespace engine::detail {

void SizeField(FieldDesc& f, long declared) {
  const auto size = static_cast<std::int16_t>(declared > 0 ? std::min<long>(declared, kMaxTextSize) : kDefaultTextSize);
  switch (f.type) {
    case fld::Int64:
    case fld::Float: f.length = 8; break;
    case fld::VarBytes:
      f.units1 = size;
      f.length = 2 + static_cast<std::uint32_t>(size);
      break;
    default:  // text: up to 4 bytes a character, and the terminating zero
      f.units1 = size;
      f.length = static_cast<std::uint32_t>(size) * 4 + 1;
      break;
  }
}

std::uint32_t PlaceFields(std::vector<FieldDesc>& fields) {
  std::uint32_t offset = 0;
  for (auto& f : fields) {
    f.nullOffset = offset;
    f.offset = offset + 1;
    offset = f.offset + f.length;
  }
  return std::max<std::uint32_t>(offset, 1);
}

size_t CutText(const char* text, size_t bytes, size_t maxChars, size_t maxBytes) {
  size_t chars = 0, charStart = 0;
  for (size_t i = 0; i < bytes; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == maxChars) return i;
      ++chars;
      charStart = i;
    }
    if (i >= maxBytes) return charStart;
  }
  return bytes;
}

}  // namespace engine::detail
