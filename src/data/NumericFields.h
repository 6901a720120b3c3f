#pragma once

#include "data/Fields.h"

#include <cstdint>
#include <limits>

// Native formats read from the dataset: ftSmallint int16, ftWord uint16, ftInteger and ftAutoInc int32,
// ftLargeint int64, ftFloat, ftCurrency and ftBCD a double, ftDate, ftTime and ftDateTime a double holding days
// since 30 December 1899 with the time of day as the fraction.

class TNumericField : public TField {
public:
  explicit TNumericField(TComponent* owner);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& value) { displayFormat_ = value; }
  const std::string& EditFormat() const { return editFormat_; }
  void SetEditFormat(const std::string& value) { editFormat_ = value; }

private:
  std::string displayFormat_, editFormat_;
};

class TIntegerField : public TNumericField {
public:
  explicit TIntegerField(TComponent* owner);
  long long MaxValue() const { return maxValue_; }
  void SetMaxValue(long long value) { maxValue_ = value; }
  long long MinValue() const { return minValue_; }
  void SetMinValue(long long value) { minValue_ = value; }
  int DataSize() const override { return 4; }

protected:
  // The value, false when null.
  virtual bool GetValue(long long& value);
  long long GetAsInteger() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  std::string GetAsString() override;
  int GetDefaultWidth() const override { return 11; }

private:
  long long maxValue_ = 0, minValue_ = 0;
};

class TSmallintField : public TIntegerField {
public:
  explicit TSmallintField(TComponent* owner);
  int DataSize() const override { return 2; }

protected:
  bool GetValue(long long& value) override;
  int GetDefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
public:
  explicit TWordField(TComponent* owner);
  int DataSize() const override { return 2; }

protected:
  bool GetValue(long long& value) override;
  int GetDefaultWidth() const override { return 5; }
};

class TAutoIncField : public TIntegerField {
public:
  explicit TAutoIncField(TComponent* owner);
};

// A 64-bit whole number. MinValue and MaxValue, when either is not 0, bound the values it accepts.
class TLargeintField : public TIntegerField {
public:
  explicit TLargeintField(TComponent* owner);
  int DataSize() const override { return 8; }

  // Writing converts and checks the range first; the write itself needs an editable record.
  void SetAsInteger(long long value) override;
  // Rounded to the nearest whole number, halves to even.
  void SetAsFloat(double value) override;
  // A whole number in decimal digits; blanks around it are ignored and an empty text clears the value.
  void SetAsString(const std::string& value) override;
  void SetAsVariant(const Variant& value) override;

protected:
  bool GetValue(long long& value) override;
  int GetDefaultWidth() const override { return 20; }

private:
  static constexpr long long kLowest = std::numeric_limits<std::int64_t>::min();
  static constexpr long long kHighest = std::numeric_limits<std::int64_t>::max();
  [[noreturn]] void RangeError(const std::string& value, long long lowest, long long highest) const;
};

class TFloatField : public TNumericField {
public:
  explicit TFloatField(TComponent* owner);
  bool Currency() const { return currency_; }
  void SetCurrency(bool value) { currency_ = value; }
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double value) { maxValue_ = value; }
  double MinValue() const { return minValue_; }
  void SetMinValue(double value) { minValue_ = value; }
  int Precision() const { return precision_; }
  void SetPrecision(int value);
  int DataSize() const override { return 8; }

protected:
  bool GetValue(double& value);
  long long GetAsInteger() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  std::string GetAsString() override;

private:
  bool currency_ = false;
  double maxValue_ = 0, minValue_ = 0;
  int precision_ = 15;
};

class TCurrencyField : public TFloatField {
public:
  explicit TCurrencyField(TComponent* owner);
};

class TBCDField : public TNumericField {
public:
  explicit TBCDField(TComponent* owner);
  bool Currency() const { return currency_; }
  void SetCurrency(bool value) { currency_ = value; }
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double value) { maxValue_ = value; }
  double MinValue() const { return minValue_; }
  void SetMinValue(double value) { minValue_ = value; }
  int Precision() const { return precision_; }
  void SetPrecision(int value) { precision_ = value; }
  int DataSize() const override { return 8; }

protected:
  void CheckTypeSize(int size) override;
  bool GetValue(double& value);
  long long GetAsInteger() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  std::string GetAsString() override;

private:
  bool currency_ = false;
  double maxValue_ = 0, minValue_ = 0;
  int precision_ = 0;
};

class TDateTimeField : public TField {
public:
  explicit TDateTimeField(TComponent* owner);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& value) { displayFormat_ = value; }
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& value) { editMask_ = value; }
  int DataSize() const override { return 8; }

protected:
  bool GetValue(double& value);
  double GetAsDateTime() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  std::string GetAsString() override;
  int GetDefaultWidth() const override { return 18; }
  // "dd/mm/yyyy hh:nn:ss"; the time is left out when it is midnight.
  virtual std::string FormatValue(double value) const;

private:
  std::string displayFormat_, editMask_;
};

class TDateField : public TDateTimeField {
public:
  explicit TDateField(TComponent* owner);

protected:
  int GetDefaultWidth() const override { return 10; }
  std::string FormatValue(double value) const override;
};

class TTimeField : public TDateTimeField {
public:
  explicit TTimeField(TComponent* owner);

protected:
  int GetDefaultWidth() const override { return 8; }
  std::string FormatValue(double value) const override;
};

// "dd/mm/yyyy", "hh:nn:ss" and both of a date-time value (days since 30 December 1899).
std::string DateToText(double value);
std::string TimeToText(double value);
