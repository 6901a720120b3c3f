#pragma once

#include "core/Variant.h"
#include "data/DBCommon.h"
#include "widgets/Controls.h"

#include <string>
#include <string_view>
#include <vector>

using TFieldNotifyEvent = std::function<void(TField* sender)>;
using TFieldGetTextEvent = std::function<void(TField* sender, std::string& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const std::string& text)>;

// One column of a dataset as the program sees it. A persistent field is owned by the dataset's form and
// attached with SetDataSet; a default field is created and owned by the dataset at open.
class TField : public TComponent {
public:
  explicit TField(TComponent* owner);
  ~TField() override;

  // Published properties.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TAutoRefreshFlag AutoGenerateValue() const { return autoGenerateValue_; }
  void SetAutoGenerateValue(TAutoRefreshFlag value) { autoGenerateValue_ = value; }
  const std::string& CustomConstraint() const { return customConstraint_; }
  void SetCustomConstraint(const std::string& value) { customConstraint_ = value; }
  const std::string& ConstraintErrorMessage() const { return constraintErrorMessage_; }
  void SetConstraintErrorMessage(const std::string& value) { constraintErrorMessage_ = value; }
  const std::string& DefaultExpression() const { return defaultExpression_; }
  void SetDefaultExpression(const std::string& value) { defaultExpression_ = value; }
  // The stored label, or FieldName when none is stored.
  std::string DisplayLabel() const;
  void SetDisplayLabel(const std::string& value);
  bool IsDisplayLabelStored() const { return !displayLabel_.empty(); }
  // The stored width, or the type's default width when none is stored.
  int DisplayWidth() const;
  void SetDisplayWidth(int value);
  bool IsDisplayWidthStored() const { return displayWidth_ > 0; }
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind value);
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& value);
  bool HasConstraints() const;
  // Position in the dataset's field list; -1 without a dataset.
  int Index() const;
  void SetIndex(int value);
  const std::string& ImportedConstraint() const { return importedConstraint_; }
  void SetImportedConstraint(const std::string& value) { importedConstraint_ = value; }
  TDataSet* LookupDataSet() const { return lookupDataSet_; }
  void SetLookupDataSet(TDataSet* value);
  const std::string& LookupKeyFields() const { return lookupKeyFields_; }
  void SetLookupKeyFields(const std::string& value) { lookupKeyFields_ = value; }
  const std::string& LookupResultField() const { return lookupResultField_; }
  void SetLookupResultField(const std::string& value) { lookupResultField_ = value; }
  const std::string& KeyFields() const { return keyFields_; }
  void SetKeyFields(const std::string& value) { keyFields_ = value; }
  bool LookupCache() const { return lookupCache_; }
  void SetLookupCache(bool value) { lookupCache_ = value; }
  const std::string& Origin() const { return origin_; }
  void SetOrigin(const std::string& value) { origin_ = value; }
  TProviderFlags ProviderFlags() const { return providerFlags_; }
  void SetProviderFlags(TProviderFlags value) { providerFlags_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool Required() const { return required_; }
  void SetRequired(bool value) { required_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;
  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

  // The dataset the field belongs to; attaching or detaching needs a closed dataset.
  TDataSet* DataSet() const { return dataSet_; }
  virtual void SetDataSet(TDataSet* dataSet);
  // In a stored definition a persistent field sits inside its dataset.
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  void SetSize(int value);
  // 1-based position of the field's column in the flat definition list; -1 calculated/lookup; 0 unbound.
  int FieldNo() const { return fieldNo_; }
  // Bytes the field's value takes in native format.
  virtual int DataSize() const { return 0; }
  // DisplayLabel when one is stored, else FieldName.
  std::string DisplayName() const;
  std::string FullName() const { return fieldName_; }
  // Slot in the dataset's calculated area (calculated and lookup fields) or blob number (blob fields).
  int Offset() const { return offset_; }
  virtual bool IsBlob() const { return false; }
  bool Calculated() const { return fieldKind_ == fkCalculated; }
  bool Lookup() const { return fieldKind_ == fkLookup; }

  // Reading the value.
  bool IsNull();
  std::string AsString() { return GetAsString(); }
  Variant AsVariant() { return GetAsVariant(); }
  bool AsBoolean() { return GetAsBoolean(); }
  long long AsInteger() { return GetAsInteger(); }
  double AsFloat() { return GetAsFloat(); }
  // Days since 30 December 1899, the time of day as the fraction.
  double AsDateTime() { return GetAsDateTime(); }
  Variant Value() { return GetAsVariant(); }
  // OnGetText with the display flag when assigned, else the type's own display text.
  std::string DisplayText();
  // As DisplayText, for editing (display flag false).
  std::string Text();

  // Writing the value; the base class refuses every one of them.
  virtual void SetAsString(const std::string& value);
  virtual void SetAsVariant(const Variant& value);
  virtual void SetAsBoolean(bool value);
  virtual void SetAsInteger(long long value);
  virtual void SetAsFloat(double value);
  virtual void SetAsDateTime(double value);

  // Asks the dataset for the value. `buffer` (of `size` bytes) may be null to ask only whether a value is
  // present; the dataset never writes more than `size` bytes. False when the value is null.
  bool GetData(void* buffer, std::size_t size, bool nativeFormat = true);

protected:
  friend class TDataSet;
  friend class TFields;
  friend class TFieldDef;

  virtual void Bind(bool binding);
  virtual void CheckTypeSize(int size);
  virtual std::string GetAsString();
  virtual Variant GetAsVariant();
  virtual bool GetAsBoolean();
  virtual long long GetAsInteger();
  virtual double GetAsFloat();
  virtual double GetAsDateTime();
  // "(String)": the class name without "T" and "Field", upper-cased when the field holds a value.
  virtual std::string GetClassDesc();
  virtual int GetDefaultWidth() const { return 10; }
  virtual bool GetIsNull();
  virtual void GetText(std::string& text, bool displayText);
  virtual void SetFieldType(TFieldType type);
  void SetDataType(TFieldType type) { dataType_ = type; }
  // Writes the value in native format (a null buffer clears it). Writing needs an editable record, which this
  // layer does not provide yet: the write is refused.
  void SetData(const void* buffer, std::size_t size);
  [[noreturn]] void AccessError(const char* typeName) const;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TDataSet* dataSet_ = nullptr;
  TFields* fields_ = nullptr;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  int fieldNo_ = 0;
  int offset_ = 0;
  TFieldKind fieldKind_ = fkData;
  std::string fieldName_;
  TAlignment alignment_ = taLeftJustify;
  TAutoRefreshFlag autoGenerateValue_ = arNone;
  std::string customConstraint_, constraintErrorMessage_, defaultExpression_, importedConstraint_;
  std::string displayLabel_;
  int displayWidth_ = 0;
  TDataSet* lookupDataSet_ = nullptr;
  std::string lookupKeyFields_, lookupResultField_, keyFields_;
  bool lookupCache_ = false;
  std::string origin_;
  TProviderFlags providerFlags_{pfInUpdate, pfInWhere};
  bool readOnly_ = false;
  bool required_ = false;
  bool visible_ = true;
};

// A text column, read in native format as zero-terminated text in the engine's character set.
class TStringField : public TField {
public:
  explicit TStringField(TComponent* owner);

  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& value);
  bool FixedChar() const { return fixedChar_; }
  void SetFixedChar(bool value);
  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool value) { transliterate_ = value; }

  int DataSize() const override { return Size() + 1; }

  // The text of the value; false when the value is null. Trailing blanks are kept.
  bool GetValue(std::string& value);

  void SetAsString(const std::string& value) override;
  void SetAsVariant(const Variant& value) override;
  void SetAsBoolean(bool value) override;
  void SetAsInteger(long long value) override;
  void SetAsFloat(double value) override;

protected:
  void CheckTypeSize(int size) override;
  std::string GetAsString() override;
  Variant GetAsVariant() override;
  bool GetAsBoolean() override;
  long long GetAsInteger() override;
  double GetAsFloat() override;
  int GetDefaultWidth() const override { return Size(); }
  void GetText(std::string& text, bool displayText) override;
  void SetFieldType(TFieldType type) override;

private:
  std::string editMask_;
  bool fixedChar_ = false;
  bool transliterate_ = true;
};

// Formats `text` with an edit mask ("mask;keep-literals;blank"), as a masked editor would show it.
std::string FormatMaskText(std::string_view editMask, std::string_view text);

// The fields of one dataset in index order. The data-field list takes data, calculated, lookup and
// internal-calculated fields; the aggregate list only aggregates.
class TFields {
public:
  TFields(TDataSet* dataSet, TFieldKinds validKinds);
  ~TFields();
  TFields(const TFields&) = delete;
  TFields& operator=(const TFields&) = delete;

  int Count() const { return static_cast<int>(list_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..Count-1.
  TField* Fields(int index) const;
  TField* operator[](int index) const { return Fields(index); }
  TDataSet* DataSet() const { return dataSet_; }
  TFieldKinds ValidFieldKinds() const { return validKinds_; }

  // Appends the field and attaches it to the list's dataset (kind and name are checked first).
  void Add(TField* field);
  // Detaches the field; does nothing when it is not in the list.
  void Remove(TField* field);
  // Detaches every field, the last first.
  void Clear();
  int IndexOf(const TField* field) const;
  // Case-insensitive; nullptr when absent.
  TField* FindField(std::string_view name) const;
  TField* FieldByNumber(int fieldNo) const;
  void CheckFieldName(std::string_view name) const;
  void CheckFieldKind(TFieldKind kind, const TField* field) const;

private:
  friend class TField;
  void SetFieldIndex(TField* field, int index);
  void Changed();

  TDataSet* dataSet_;
  TFieldKinds validKinds_;
  std::vector<TField*> list_;
};
