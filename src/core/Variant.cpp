#include "core/Variant.h"

#include "core/Exceptions.h"
#include "core/Text.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void CannotConvert(Variant::Type from, const char* to) {
  throw EVariantError(Format("Could not convert variant of type (%s) into type (%s)", {Variant::TypeName(from), to}));
}

std::string Trimmed(const std::string& text) {
  auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

Variant Variant::Null() {
  Variant v;
  v.value_ = NullValue{};
  return v;
}

const char* Variant::TypeName(Type type) {
  switch (type) {
    case Type::Empty: return "Empty";
    case Type::Null: return "Null";
    case Type::Boolean: return "Boolean";
    case Type::Integer: return "Int64";
    case Type::Float: return "Double";
    case Type::String: return "String";
    case Type::Array: return "Array";
  }
  return "Unknown";
}

bool TryStrToInt64(const std::string& text, std::int64_t& value) {
  std::string t = Trimmed(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long parsed = std::strtoll(t.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  value = parsed;
  return true;
}

bool TryStrToFloat(const std::string& text, double& value) {
  std::string t = Trimmed(text);
  // Only digits, a point, signs and an exponent: "inf", "nan" and hexadecimal numbers are no numbers to a user.
  for (char c : t) {
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  }
  // The point is the decimal separator whatever the process's locale says, so no C library call that reads it.
  const char* begin = t.data();
  const char* end = t.data() + t.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end) return false;
  double parsed = 0;
  auto result = std::from_chars(begin, end, parsed);
  if (result.ec != std::errc() || result.ptr != end) return false;
  value = parsed;
  return true;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // The general format writes exponents as "e+20" or "e-05"; the system writes "E20" and "E-5".
  auto e = text.find('e');
  if (e != std::string::npos) {
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    text = text.substr(0, e) + "E" + std::to_string(exponent);
  }
  return text;
}

std::string Variant::AsString() const {
  switch (VarType()) {
    case Type::Empty: return {};
    case Type::Null: CannotConvert(Type::Null, "String");
    case Type::Boolean: return std::get<bool>(value_) ? "True" : "False";
    case Type::Integer: return std::to_string(std::get<std::int64_t>(value_));
    case Type::Float: return FloatToStr(std::get<double>(value_));
    case Type::String: return std::get<std::string>(value_);
    case Type::Array: CannotConvert(Type::Array, "String");
  }
  return {};
}

std::int64_t Variant::AsInteger() const {
  switch (VarType()) {
    case Type::Empty: return 0;
    case Type::Boolean: return std::get<bool>(value_) ? -1 : 0;
    case Type::Integer: return std::get<std::int64_t>(value_);
    case Type::Float: {
      double d = std::get<double>(value_);
      if (!FitsInt64(d)) CannotConvert(Type::Float, "Int64");
      return static_cast<std::int64_t>(std::nearbyint(d));
    }
    case Type::String: {
      const auto& s = std::get<std::string>(value_);
      std::int64_t i;
      if (TryStrToInt64(s, i)) return i;
      double d;
      if (TryStrToFloat(s, d) && std::isfinite(d) && std::fabs(d) < 9.2e18)
        return static_cast<std::int64_t>(std::nearbyint(d));
      throw EConvertError(Format("'%s' is not a valid integer value", {s}));
    }
    default: CannotConvert(VarType(), "Int64");
  }
}

double Variant::AsFloat() const {
  switch (VarType()) {
    case Type::Empty: return 0.0;
    case Type::Boolean: return std::get<bool>(value_) ? -1.0 : 0.0;
    case Type::Integer: return static_cast<double>(std::get<std::int64_t>(value_));
    case Type::Float: return std::get<double>(value_);
    case Type::String: {
      const auto& s = std::get<std::string>(value_);
      double d;
      if (TryStrToFloat(s, d)) return d;
      throw EConvertError(Format("'%s' is not a valid floating point value", {s}));
    }
    default: CannotConvert(VarType(), "Double");
  }
}

bool Variant::AsBoolean() const {
  switch (VarType()) {
    case Type::Empty: return false;
    case Type::Boolean: return std::get<bool>(value_);
    case Type::Integer: return std::get<std::int64_t>(value_) != 0;
    case Type::Float: return std::get<double>(value_) != 0.0;
    case Type::String: {
      const auto& s = std::get<std::string>(value_);
      std::string t = Trimmed(s);
      for (auto& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (t == "true") return true;
      if (t == "false") return false;
      double d;
      if (TryStrToFloat(t, d)) return d != 0.0;
      throw EConvertError(Format("'%s' is not a valid boolean value", {s}));
    }
    default: CannotConvert(VarType(), "Boolean");
  }
}

const std::vector<Variant>& Variant::AsArray() const {
  if (VarType() != Type::Array) CannotConvert(VarType(), "Array");
  return std::get<std::vector<Variant>>(value_);
}

std::string Variant::ToText() const {
  if (IsClear()) return {};
  if (IsArray()) {
    std::string text;
    for (const auto& item : AsArray()) {
      if (!text.empty()) text += ';';
      text += item.ToText();
    }
    return text;
  }
  return AsString();
}

int Variant::Compare(const Variant& other) const {
  auto rank = [](const Variant& v) { return v.IsEmpty() ? 0 : v.IsNull() ? 1 : 2; };
  if (rank(*this) < 2 || rank(other) < 2) return rank(*this) - rank(other);
  if (IsArray() || other.IsArray()) {
    if (!IsArray() || !other.IsArray()) CannotConvert(IsArray() ? VarType() : other.VarType(), "Double");
    const auto& a = AsArray();
    const auto& b = other.AsArray();
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
      if (int c = a[i].Compare(b[i])) return c;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
  }
  if (VarType() == Type::String && other.VarType() == Type::String) {
    int c = std::get<std::string>(value_).compare(std::get<std::string>(other.value_));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  if (VarType() == Type::Integer && other.VarType() == Type::Integer) {
    auto a = std::get<std::int64_t>(value_), b = std::get<std::int64_t>(other.value_);
    return a < b ? -1 : a > b ? 1 : 0;
  }
  double a = AsFloat(), b = other.AsFloat();
  return a < b ? -1 : a > b ? 1 : 0;
}

bool Variant::operator==(const Variant& other) const {
  if (IsClear() || other.IsClear()) return VarType() == other.VarType();
  return Compare(other) == 0;
}

// ---- Arithmetic and logic ----

namespace {

bool IsText(const Variant& v) { return v.VarType() == Variant::Type::String; }
bool IsWhole(const Variant& v) {
  return v.VarType() == Variant::Type::Integer || v.VarType() == Variant::Type::Boolean || v.IsEmpty();
}

Variant Finite(double value) {
  if (std::isnan(value)) throw EMathError("Invalid floating point operation");
  if (std::isinf(value)) throw EMathError("Floating point overflow");
  return Variant(value);
}

enum class Op { Add, Sub, Mul };

Variant Arithmetic(Op op, const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (IsWhole(a) && IsWhole(b)) {
    std::int64_t x = a.AsInteger(), y = b.AsInteger(), r = 0;
    bool overflow = op == Op::Add   ? __builtin_add_overflow(x, y, &r)
                    : op == Op::Sub ? __builtin_sub_overflow(x, y, &r)
                                    : __builtin_mul_overflow(x, y, &r);
    if (!overflow) return Variant(static_cast<long long>(r));
  }
  double x = a.AsFloat(), y = b.AsFloat();
  return Finite(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y);
}

// A text that names a truth value takes part in logic as a boolean.
bool IsTruthText(const Variant& v) {
  if (!IsText(v)) return false;
  std::string t = Trimmed(v.AsString());
  for (auto& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t == "true" || t == "false";
}
bool IsLogical(const Variant& v) { return v.VarType() == Variant::Type::Boolean || IsTruthText(v); }

}  // namespace

Variant VarAdd(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if ((IsText(a) || a.IsEmpty()) && (IsText(b) || b.IsEmpty()) && (IsText(a) || IsText(b))) {
    return Variant(a.AsString() + b.AsString());
  }
  return Arithmetic(Op::Add, a, b);
}

Variant VarSub(const Variant& a, const Variant& b) { return Arithmetic(Op::Sub, a, b); }
Variant VarMul(const Variant& a, const Variant& b) { return Arithmetic(Op::Mul, a, b); }

Variant VarDiv(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  double x = a.AsFloat(), y = b.AsFloat();
  if (y == 0.0) {
    if (x == 0.0) throw EMathError("Invalid floating point operation");
    throw EMathError("Floating point division by zero");
  }
  return Finite(x / y);
}

Variant VarPower(const Variant& base, const Variant& exponent) {
  if (base.IsNull() || exponent.IsNull()) return Variant::Null();
  double x = base.AsFloat(), y = exponent.AsFloat();
  if (x == 0.0 && y < 0.0) throw EMathError("Floating point division by zero");
  return Finite(std::pow(x, y));
}

Variant VarNeg(const Variant& a) {
  if (a.IsNull()) return Variant::Null();
  if (IsWhole(a)) {
    std::int64_t x = a.AsInteger(), r = 0;
    if (!__builtin_sub_overflow(std::int64_t{0}, x, &r)) return Variant(static_cast<long long>(r));
  }
  return Variant(-a.AsFloat());
}

Variant VarNot(const Variant& a) {
  if (a.IsNull()) return Variant::Null();
  if (IsLogical(a)) return Variant(!a.AsBoolean());
  return Variant(static_cast<long long>(~a.AsInteger()));
}

Variant VarAnd(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (IsLogical(a) || IsLogical(b)) {
    const bool x = a.AsBoolean(), y = b.AsBoolean();
    return Variant(x && y);
  }
  return Variant(static_cast<long long>(a.AsInteger() & b.AsInteger()));
}

Variant VarOr(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (IsLogical(a) || IsLogical(b)) {
    const bool x = a.AsBoolean(), y = b.AsBoolean();
    return Variant(x || y);
  }
  return Variant(static_cast<long long>(a.AsInteger() | b.AsInteger()));
}
