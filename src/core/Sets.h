#pragma once

#include <bitset>
#include <cstddef>
#include <initializer_list>

// A set over an enumeration whose values are numbered from 0, as small as a bit mask.
template <typename E, std::size_t N = 64>
class TSet {
public:
  constexpr TSet() = default;
  TSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }

  bool Contains(E v) const { return bits_.test(Index(v)); }
  TSet& Include(E v) {
    bits_.set(Index(v));
    return *this;
  }
  TSet& Exclude(E v) {
    bits_.reset(Index(v));
    return *this;
  }
  TSet& Set(E v, bool on) {
    bits_.set(Index(v), on);
    return *this;
  }
  bool Empty() const { return bits_.none(); }
  void Clear() { bits_.reset(); }
  unsigned long long Mask() const { return bits_.to_ullong(); }
  static TSet FromMask(unsigned long long mask) {
    TSet s;
    s.bits_ = std::bitset<N>(mask);
    return s;
  }

  TSet& operator<<(E v) { return Include(v); }
  TSet& operator>>(E v) { return Exclude(v); }
  TSet operator+(const TSet& o) const {
    TSet s;
    s.bits_ = bits_ | o.bits_;
    return s;
  }
  TSet operator-(const TSet& o) const {
    TSet s;
    s.bits_ = bits_ & ~o.bits_;
    return s;
  }
  TSet operator*(const TSet& o) const {
    TSet s;
    s.bits_ = bits_ & o.bits_;
    return s;
  }
  bool operator==(const TSet&) const = default;

private:
  static std::size_t Index(E v) { return static_cast<std::size_t>(v); }
  std::bitset<N> bits_;
};
