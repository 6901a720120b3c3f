#pragma once
// How the drivers lay a row out in a record buffer (internal to the engine): each field has a blank-flag byte and
// then its value area, one field after another. Texts are zero-terminated UTF-8 of at most units1 characters.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/Engine.h"

namespace engine::detail {

inline constexpr std::int16_t kDefaultTextSize = 255;  // characters of a text without a declared size
inline constexpr std::int16_t kMaxTextSize = 8191;

// Sets the size of a field of `f.type` whose declared size is `declared` characters or bytes (0: none).
void SizeField(FieldDesc& f, long declared);

// Gives each field its blank flag and value offsets, in order; returns the record size (at least 1).
std::uint32_t PlaceFields(std::vector<FieldDesc>& fields);

// How many bytes of `text` make at most `maxChars` characters and at most `maxBytes` bytes, ending on a
// character boundary.
size_t CutText(const char* text, size_t bytes, size_t maxChars, size_t maxBytes);

inline void PutBlank(std::uint8_t* record, const FieldDesc& f) { record[f.nullOffset] = 1; }

inline void PutText(std::uint8_t* record, const FieldDesc& f, const char* text, size_t bytes) {
  const size_t keep = CutText(text, bytes, static_cast<size_t>(f.units1), f.length - 1);
  if (keep) std::memcpy(record + f.offset, text, keep);
}

inline void PutBytes(std::uint8_t* record, const FieldDesc& f, const void* data, size_t bytes) {
  const auto n =
      static_cast<std::uint16_t>(bytes < static_cast<size_t>(f.units1) ? bytes : static_cast<size_t>(f.units1));
  std::memcpy(record + f.offset, &n, sizeof n);
  if (n) std::memcpy(record + f.offset + 2, data, n);
}

template <typename T>
void PutNumber(std::uint8_t* record, const FieldDesc& f, T value) {
  std::memcpy(record + f.offset, &value, sizeof value);
}

}  // namespace engine::detail
