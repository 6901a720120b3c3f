#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// The one variant type of the program: empty, null, boolean, integer, float, string or an array of variants.
// Every conversion and comparison rule lives in Variant.cpp.
class Variant {
public:
  enum class Type { Empty, Null, Boolean, Integer, Float, String, Array };

  Variant() = default;
  Variant(bool v) : value_(v) {}
  Variant(int v) : value_(static_cast<std::int64_t>(v)) {}
  Variant(long v) : value_(static_cast<std::int64_t>(v)) {}
  Variant(long long v) : value_(static_cast<std::int64_t>(v)) {}
  Variant(double v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(std::vector<Variant> items) : value_(std::move(items)) {}

  static Variant Null();

  Type VarType() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return VarType() == Type::Empty; }
  bool IsNull() const { return VarType() == Type::Null; }
  bool IsArray() const { return VarType() == Type::Array; }
  bool IsNumeric() const { return VarType() == Type::Integer || VarType() == Type::Float; }
  // Empty or null: no value at all.
  bool IsClear() const { return IsEmpty() || IsNull(); }

  // Conversions raise EVariantError for a null or an array, EConvertError for a text that is no number.
  std::string AsString() const;
  std::int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  const std::vector<Variant>& AsArray() const;

  // The text of a value, with empty and null giving "" instead of failing.
  std::string ToText() const;
  // The name of the type as the system's messages print it ("String", "Integer", ...).
  static const char* TypeName(Type type);

  // Compares two values: numbers numerically, texts by their bytes, a number with a text by the text's number,
  // booleans as numbers. Null and empty sort before everything else and equal only themselves.
  int Compare(const Variant& other) const;
  bool operator==(const Variant& other) const;
  bool operator!=(const Variant& other) const { return !(*this == other); }

private:
  struct NullValue {
    bool operator==(const NullValue&) const = default;
  };
  std::variant<std::monostate, NullValue, bool, std::int64_t, double, std::string, std::vector<Variant>> value_;
};

// Arithmetic and logic on variants. A null operand gives null; an empty one counts as 0 (or as "" beside a text);
// booleans count as -1 and 0. VarAdd joins two texts; otherwise a text is read as a number (EConvertError when it is
// none). Whole numbers stay whole while the result fits, else the result is a float. Division and powers always
// give floats. A float result that is no finite number raises EMathError.
Variant VarAdd(const Variant& a, const Variant& b);
Variant VarSub(const Variant& a, const Variant& b);
Variant VarMul(const Variant& a, const Variant& b);
Variant VarDiv(const Variant& a, const Variant& b);
Variant VarPower(const Variant& base, const Variant& exponent);
Variant VarNeg(const Variant& a);
// Logical on booleans (and on the texts "True" and "False"), bitwise on whole numbers; floats are rounded first.
Variant VarNot(const Variant& a);
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);

// Parses a whole number or a floating point number written with "." as the decimal separator.
bool TryStrToInt64(const std::string& text, std::int64_t& value);
bool TryStrToFloat(const std::string& text, double& value);
// Prints a float with up to 15 significant digits and no trailing zeros ("0.1", "12", "1E20").
std::string FloatToStr(double value);
