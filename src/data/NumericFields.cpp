#include "data/NumericFields.h"

#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DataSet.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

// ---- TNumericField ----

TNumericField::TNumericField(TComponent* owner) : TField(owner) { SetAlignment(taRightJustify); }

// ---- integers ----

namespace {

// Reads a whole number stored in native format as a `Raw`.
template <typename Raw>
bool ReadWhole(TField& field, long long& value) {
  Raw raw = 0;
  if (!field.GetData(&raw, sizeof raw)) return false;
  value = raw;
  return true;
}

}  // namespace

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) { SetDataType(ftInteger); }

bool TIntegerField::GetValue(long long& value) { return ReadWhole<std::int32_t>(*this, value); }

long long TIntegerField::GetAsInteger() {
  long long value = 0;
  return GetValue(value) ? value : 0;
}

double TIntegerField::GetAsFloat() { return static_cast<double>(GetAsInteger()); }

Variant TIntegerField::GetAsVariant() {
  long long value = 0;
  return GetValue(value) ? Variant(value) : Variant::Null();
}

std::string TIntegerField::GetAsString() {
  long long value = 0;
  return GetValue(value) ? std::to_string(value) : std::string();
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftSmallint); }

bool TSmallintField::GetValue(long long& value) { return ReadWhole<std::int16_t>(*this, value); }

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftWord); }

bool TWordField::GetValue(long long& value) { return ReadWhole<std::uint16_t>(*this, value); }

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftAutoInc); }

TLargeintField::TLargeintField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftLargeint); }

bool TLargeintField::GetValue(long long& value) { return ReadWhole<std::int64_t>(*this, value); }

void TLargeintField::RangeError(const std::string& value, long long lowest, long long highest) const {
  DatabaseErrorFmt(SFieldRangeError, {value, DisplayName(), std::to_string(lowest), std::to_string(highest)},
                   DataSet());
}

void TLargeintField::SetAsInteger(long long value) {
  const long long lowest = MinValue(), highest = MaxValue();
  if ((lowest != 0 || highest != 0) && (value < lowest || value > highest)) {
    RangeError(std::to_string(value), lowest, highest);
  }
  const std::int64_t raw = value;
  SetData(&raw, sizeof raw);
}

void TLargeintField::SetAsFloat(double value) {
  if (!FitsInt64(value)) RangeError(FloatToStr(value), kLowest, kHighest);
  SetAsInteger(RoundHalfEven(value));
}

void TLargeintField::SetAsString(const std::string& value) {
  const std::string text = Trim(value);
  if (text.empty()) {
    SetData(nullptr, 0);
    return;
  }
  std::int64_t whole = 0;
  if (TryStrToInt64(text, whole)) {
    SetAsInteger(whole);
    return;
  }
  // Only digits, yet refused: a whole number beyond 64 bits.
  const std::size_t digits = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos) {
    RangeError(text, kLowest, kHighest);
  }
  throw EConvertError(Format("'%s' is not a valid integer value", {value}));
}

void TLargeintField::SetAsVariant(const Variant& value) {
  switch (value.VarType()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: SetData(nullptr, 0); break;
    case Variant::Type::Float: SetAsFloat(value.AsFloat()); break;
    case Variant::Type::String: SetAsString(value.AsString()); break;
    default: SetAsInteger(value.AsInteger()); break;
  }
}

// ---- floats ----

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { SetDataType(ftFloat); }

void TFloatField::SetPrecision(int value) { precision_ = value < 2 ? 2 : value > 15 ? 15 : value; }

bool TFloatField::GetValue(double& value) {
  value = 0;
  return GetData(&value, sizeof value);
}

long long TFloatField::GetAsInteger() {
  double value = 0;
  return GetValue(value) ? RoundHalfEven(value) : 0;
}

double TFloatField::GetAsFloat() {
  double value = 0;
  return GetValue(value) ? value : 0.0;
}

Variant TFloatField::GetAsVariant() {
  double value = 0;
  return GetValue(value) ? Variant(value) : Variant::Null();
}

std::string TFloatField::GetAsString() {
  double value = 0;
  return GetValue(value) ? FloatToStr(value) : std::string();
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftBCD);
  SetSize(4);
}

void TBCDField::CheckTypeSize(int size) {
  if (size < 0 || size > 32) DatabaseError(SInvalidFieldSize, DataSet());
}

bool TBCDField::GetValue(double& value) {
  value = 0;
  return GetData(&value, sizeof value);
}

long long TBCDField::GetAsInteger() {
  double value = 0;
  return GetValue(value) ? RoundHalfEven(value) : 0;
}

double TBCDField::GetAsFloat() {
  double value = 0;
  return GetValue(value) ? value : 0.0;
}

Variant TBCDField::GetAsVariant() {
  double value = 0;
  return GetValue(value) ? Variant(value) : Variant::Null();
}

std::string TBCDField::GetAsString() {
  double value = 0;
  return GetValue(value) ? FloatToStr(value) : std::string();
}

// ---- dates and times ----

namespace {

// Civil date from days since 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

// Whole days and milliseconds of the day; the fraction of a negative value counts forward from its day.
void SplitDateTime(double value, long long& days, long long& millis) {
  long long total = std::llround(value * 86400000.0);
  days = total >= 0 ? total / 86400000 : -((-total + 86399999) / 86400000);
  millis = total - days * 86400000;
}

}  // namespace

std::string DateToText(double value) {
  long long days = 0, millis = 0;
  SplitDateTime(value, days, millis);
  long long y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(days - 25569, y, m, d);  // 25569: days from 1899-12-30 to 1970-01-01
  char text[40];
  std::snprintf(text, sizeof text, "%02u/%02u/%04lld", d, m, y);
  return text;
}

std::string TimeToText(double value) {
  long long days = 0, millis = 0;
  SplitDateTime(value, days, millis);
  const long long seconds = millis / 1000;
  char text[48];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) { SetDataType(ftDateTime); }

bool TDateTimeField::GetValue(double& value) {
  value = 0;
  return GetData(&value, sizeof value);
}

double TDateTimeField::GetAsDateTime() {
  double value = 0;
  return GetValue(value) ? value : 0.0;
}

double TDateTimeField::GetAsFloat() { return GetAsDateTime(); }

Variant TDateTimeField::GetAsVariant() {
  double value = 0;
  return GetValue(value) ? Variant(value) : Variant::Null();
}

std::string TDateTimeField::GetAsString() {
  double value = 0;
  return GetValue(value) ? FormatValue(value) : std::string();
}

std::string TDateTimeField::FormatValue(double value) const {
  long long days = 0, millis = 0;
  SplitDateTime(value, days, millis);
  return millis == 0 ? DateToText(value) : DateToText(value) + " " + TimeToText(value);
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { SetDataType(ftDate); }

std::string TDateField::FormatValue(double value) const { return DateToText(value); }

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { SetDataType(ftTime); }

std::string TTimeField::FormatValue(double value) const { return TimeToText(value); }
