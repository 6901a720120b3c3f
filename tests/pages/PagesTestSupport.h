#pragma once

// Helpers shared by the page store tests: a byte builder for hand-written fixtures.

#include <cstdint>
#include <string>
#include <string_view>

// Bytes written field by field in the documented little-endian layout.
class Bytes {
public:
  Bytes& Raw(std::string_view bytes) {
    data_.append(bytes);
    return *this;
  }
  Bytes& Raw(const Bytes& other) { return Raw(std::string_view(other.data_)); }
  Bytes& U8(std::uint8_t v) {
    data_.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& I32(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    return U8(u & 0xFF).U8((u >> 8) & 0xFF).U8((u >> 16) & 0xFF).U8(u >> 24);
  }
  Bytes& Str(std::string_view text) { return I32(static_cast<std::int32_t>(text.size())).Raw(text); }
  Bytes& Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return U8(r).U8(g).U8(b); }
  const std::string& str() const { return data_; }
  operator const std::string&() const { return data_; }

private:
  std::string data_;
};

inline const std::string kSurfaceSignature = std::string("RLGraphicSurface3") + '\x1A';
inline const std::string kStorageSignature = std::string("RLGraphicStorage3") + '\x1A';
