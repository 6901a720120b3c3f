#include "data/Fields.h"

#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DataSet.h"

#include <algorithm>
#include <cstring>

// ---- TField ----

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
  Destroying();
  if (dataSet_) {
    // A dataset cannot stay open with one of its fields gone.
    try {
      dataSet_->Close();
    } catch (...) {}
    if (fields_) fields_->Remove(this);
  }
  if (lookupDataSet_) RemoveFreeNotification(lookupDataSet_);
}

void TField::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) {
    if (component == dataSet_) {
      dataSet_ = nullptr;
      fields_ = nullptr;
    }
    if (component == lookupDataSet_) lookupDataSet_ = nullptr;
  }
  TComponent::Notification(component, operation);
}

void TField::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  if (dataSet_) dataSet_->DispatchDataEvent(evLayoutChange, 0);
}

std::string TField::DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }

void TField::SetDisplayLabel(const std::string& value) {
  // A label equal to the field name is no label of its own.
  std::string label = value == fieldName_ ? std::string() : value;
  if (label == displayLabel_) return;
  displayLabel_ = std::move(label);
  if (dataSet_) dataSet_->DispatchDataEvent(evLayoutChange, 0);
}

std::string TField::DisplayName() const { return DisplayLabel(); }

int TField::DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : GetDefaultWidth(); }

void TField::SetDisplayWidth(int value) {
  if (displayWidth_ == value) return;
  displayWidth_ = value;
  if (dataSet_) dataSet_->DispatchDataEvent(evLayoutChange, 0);
}

void TField::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  if (dataSet_) dataSet_->DispatchDataEvent(evLayoutChange, 0);
}

void TField::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  if (dataSet_) dataSet_->DispatchDataEvent(evLayoutChange, 0);
}

void TField::SetFieldKind(TFieldKind value) {
  if (fieldKind_ == value) return;
  if (dataSet_) {
    dataSet_->CheckInactive();
    // Changing between the data and the aggregate list is a move between lists.
    TFields& target = value == fkAggregate ? dataSet_->AggFields() : dataSet_->Fields();
    target.CheckFieldKind(value, this);
    if (&target != fields_) {
      fields_->Remove(this);
      fieldKind_ = value;
      target.Add(this);
      return;
    }
  }
  fieldKind_ = value;
}

void TField::SetFieldName(const std::string& value) {
  if (value == fieldName_) return;
  if (dataSet_) {
    dataSet_->CheckInactive();
    if (!SameText(value, fieldName_)) fields_->CheckFieldName(value);
    if (value.empty()) DatabaseError(SFieldNameMissing, dataSet_);
  }
  fieldName_ = value;
  if (dataSet_) dataSet_->DispatchDataEvent(evFieldListChange, 0);
}

bool TField::HasConstraints() const {
  return !customConstraint_.empty() || !importedConstraint_.empty() || !defaultExpression_.empty();
}

int TField::Index() const { return fields_ ? fields_->IndexOf(this) : -1; }

void TField::SetIndex(int value) {
  if (fields_) fields_->SetFieldIndex(this, value);
}

void TField::SetLookupDataSet(TDataSet* value) {
  if (value == lookupDataSet_) return;
  if (dataSet_) dataSet_->CheckInactive();
  if (lookupDataSet_) RemoveFreeNotification(lookupDataSet_);
  lookupDataSet_ = value;
  if (value) FreeNotification(value);
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->CheckInactive();
  TFields* target = nullptr;
  if (dataSet) {
    dataSet->CheckInactive();
    target = fieldKind_ == fkAggregate ? &dataSet->AggFields() : &dataSet->Fields();
    target->CheckFieldKind(fieldKind_, this);
    target->CheckFieldName(fieldName_);
  }
  if (fields_) fields_->Remove(this);
  if (target) target->Add(this);
}

void TField::SetSize(int value) {
  if (dataSet_) dataSet_->CheckInactive();
  CheckTypeSize(value);
  size_ = value;
}

void TField::CheckTypeSize(int size) {
  if (size != 0) DatabaseError(SInvalidFieldSize, dataSet_);
}

void TField::SetFieldType(TFieldType) {}

void TField::Bind(bool) {}

bool TField::GetData(void* buffer, std::size_t size, bool nativeFormat) {
  if (!dataSet_) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  if (!buffer) size = 0;
  return dataSet_->GetFieldData(this, buffer, size, nativeFormat);
}

void TField::SetData(const void*, std::size_t) {
  if (!dataSet_) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  DatabaseError(SNotEditing, dataSet_);
}

bool TField::GetIsNull() { return !GetData(nullptr, 0); }

bool TField::IsNull() { return GetIsNull(); }

void TField::AccessError(const char* typeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), typeName}, dataSet_);
}

std::string TField::GetAsString() { return GetClassDesc(); }
Variant TField::GetAsVariant() { AccessError("Variant"); }
bool TField::GetAsBoolean() { AccessError("Boolean"); }
long long TField::GetAsInteger() { AccessError("Integer"); }
double TField::GetAsFloat() { AccessError("Float"); }
double TField::GetAsDateTime() { AccessError("DateTime"); }
void TField::SetAsString(const std::string&) { AccessError("String"); }
void TField::SetAsVariant(const Variant&) { AccessError("Variant"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
void TField::SetAsInteger(long long) { AccessError("Integer"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
void TField::SetAsDateTime(double) { AccessError("DateTime"); }

std::string TField::GetClassDesc() {
  std::string name = ClassName();
  if (!name.empty() && name[0] == 'T') name.erase(0, 1);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, "Field") == 0) name.resize(name.size() - 5);
  if (!IsNull()) name = AnsiUpperCase(name);
  return "(" + name + ")";
}

void TField::GetText(std::string& text, bool) { text = GetAsString(); }

std::string TField::DisplayText() {
  std::string text;
  if (OnGetText) {
    OnGetText(this, text, true);
  } else {
    GetText(text, true);
  }
  return text;
}

std::string TField::Text() {
  std::string text;
  if (OnGetText) {
    OnGetText(this, text, false);
  } else {
    GetText(text, false);
  }
  return text;
}

// ---- TStringField ----

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataType(ftString);
  SetSize(20);
}

void TStringField::CheckTypeSize(int size) {
  if (size < 0) DatabaseError(SInvalidFieldSize, DataSet());
}

void TStringField::SetFieldType(TFieldType type) {
  if (type == ftString || type == ftFixedChar) {
    SetDataType(type);
    fixedChar_ = type == ftFixedChar;
  }
}

void TStringField::SetFixedChar(bool value) {
  fixedChar_ = value;
  SetDataType(value ? ftFixedChar : ftString);
}

void TStringField::SetEditMask(const std::string& value) {
  editMask_ = value;
  if (DataSet()) DataSet()->DispatchDataEvent(evLayoutChange, 0);
}

namespace {

// Length of `text` without an incomplete UTF-8 sequence at its end (left behind by a cut).
std::size_t WholeCodePoints(const char* text, std::size_t length) {
  std::size_t start = length;
  int continuation = 0;
  while (start > 0 && continuation < 4 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
    --start;
    ++continuation;
  }
  if (start == 0) return length;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  int needed = 0;
  if ((lead & 0xE0) == 0xC0) {
    needed = 1;
  } else if ((lead & 0xF0) == 0xE0) {
    needed = 2;
  } else if ((lead & 0xF8) == 0xF0) {
    needed = 3;
  } else {
    return length;
  }
  return continuation < needed ? start - 1 : length;
}

void ReadText(const char* buffer, std::size_t size, std::string& value) {
  const std::size_t length = strnlen(buffer, size);
  // A value that filled the whole buffer was cut by the dataset; never keep half a character.
  value.assign(buffer, length + 1 >= size ? WholeCodePoints(buffer, length) : length);
}

}  // namespace

bool TStringField::GetValue(std::string& value) {
  value.clear();
  // Size counts characters; the buffer has room for each of them at its widest, and the terminating zero.
  const std::size_t valueSize = static_cast<std::size_t>(Size()) * dsMaxCharBytes + 1;
  bool present;
  if (valueSize <= static_cast<std::size_t>(dsMaxStringSize) + 1) {
    char buffer[dsMaxStringSize + 1];
    present = GetData(buffer, sizeof buffer);
    if (present) ReadText(buffer, sizeof buffer, value);
  } else {
    std::vector<char> buffer(valueSize);
    present = GetData(buffer.data(), buffer.size());
    if (present) ReadText(buffer.data(), buffer.size(), value);
  }
  if (!present) return false;
  if (transliterate_ && !value.empty()) value = DataSet()->Translate(value, false);
  return true;
}

std::string TStringField::GetAsString() {
  std::string value;
  GetValue(value);
  return value;
}

Variant TStringField::GetAsVariant() {
  std::string value;
  if (!GetValue(value)) return Variant::Null();
  return Variant(std::move(value));
}

bool TStringField::GetAsBoolean() {
  const std::string text = GetAsString();
  const char c = text.empty() ? '\0' : text[0];
  if (c == 'T' || c == 't' || c == 'Y' || c == 'y') return true;
  if (c == 'F' || c == 'f' || c == 'N' || c == 'n' || c == '\0') return false;
  throw EConvertError(Format("'%s' is not a valid boolean value", {text}));
}

long long TStringField::GetAsInteger() {
  const std::string text = Trim(GetAsString());
  return text.empty() ? 0 : Variant(text).AsInteger();
}

double TStringField::GetAsFloat() {
  const std::string text = Trim(GetAsString());
  return text.empty() ? 0.0 : Variant(text).AsFloat();
}

void TStringField::GetText(std::string& text, bool displayText) {
  text = GetAsString();
  if (displayText && !editMask_.empty()) text = FormatMaskText(editMask_, text);
}

void TStringField::SetAsString(const std::string& value) { SetData(value.c_str(), value.size() + 1); }

void TStringField::SetAsVariant(const Variant& value) { SetAsString(value.ToText()); }
void TStringField::SetAsBoolean(bool value) { SetAsString(value ? "True" : "False"); }
void TStringField::SetAsInteger(long long value) { SetAsString(std::to_string(value)); }
void TStringField::SetAsFloat(double value) { SetAsString(FloatToStr(value)); }

// ---- edit masks ----

std::string FormatMaskText(std::string_view editMask, std::string_view text) {
  // "mask;keep-literals;blank": the second part "0" means the text holds no literals.
  std::string_view mask = editMask;
  bool keepLiterals = true;
  char blank = '_';
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    std::size_t semicolon = std::string_view::npos;
    for (std::size_t i = start; i < editMask.size(); ++i) {
      if (editMask[i] == '\\') {
        ++i;
      } else if (editMask[i] == ';') {
        semicolon = i;
        break;
      }
    }
    parts.push_back(
        editMask.substr(start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  mask = parts[0];
  if (parts.size() > 1 && !parts[1].empty()) keepLiterals = parts[1][0] != '0';
  if (parts.size() > 2 && !parts[2].empty()) blank = parts[2][0];

  auto isMaskChar = [](char c) { return std::strchr("LlAaCc09#", c) != nullptr && c != '\0'; };
  std::string out;
  std::size_t pos = 0;
  int caseMode = 0;  // 1 upper, -1 lower
  for (std::size_t i = 0; i < mask.size(); ++i) {
    char m = mask[i];
    if (m == '>') {
      if (i + 1 < mask.size() && mask[i + 1] == '<') {
        caseMode = 0;
        ++i;
      } else {
        caseMode = 1;
      }
      continue;
    }
    if (m == '<') {
      caseMode = -1;
      continue;
    }
    if (m == '!') continue;
    if (m == '\\' && i + 1 < mask.size()) {
      out += mask[++i];
      if (keepLiterals && pos < text.size()) ++pos;
      continue;
    }
    if (isMaskChar(m)) {
      char c = pos < text.size() ? text[pos++] : blank;
      if (caseMode > 0 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (caseMode < 0 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      out += c;
      continue;
    }
    out += m;
    if (keepLiterals && pos < text.size()) ++pos;
  }
  return out;
}

// ---- TFields ----

TFields::TFields(TDataSet* dataSet, TFieldKinds validKinds) : dataSet_(dataSet), validKinds_(validKinds) {}

TFields::~TFields() { Clear(); }

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return list_[static_cast<std::size_t>(index)];
}

void TFields::CheckFieldKind(TFieldKind kind, const TField* field) const {
  if (!validKinds_.Contains(kind)) DatabaseErrorFmt(SInvalidFieldKind, {field ? field->DisplayName() : ""}, dataSet_);
}

void TFields::CheckFieldName(std::string_view name) const {
  if (name.empty()) DatabaseError(SFieldNameMissing, dataSet_);
  if (dataSet_ ? dataSet_->SearchField(name) : FindField(name)) DatabaseErrorFmt(SDuplicateFieldName, {name}, dataSet_);
}

void TFields::Add(TField* field) {
  if (!field || IndexOf(field) >= 0) return;
  CheckFieldKind(field->FieldKind(), field);
  CheckFieldName(field->FieldName());
  list_.push_back(field);
  field->fields_ = this;
  field->dataSet_ = dataSet_;
  if (dataSet_) field->FreeNotification(dataSet_);
  Changed();
}

void TFields::Remove(TField* field) {
  auto it = std::find(list_.begin(), list_.end(), field);
  if (it == list_.end()) return;
  list_.erase(it);
  field->fields_ = nullptr;
  if (field->dataSet_) field->RemoveFreeNotification(field->dataSet_);
  field->dataSet_ = nullptr;
  field->fieldNo_ = 0;
  Changed();
}

void TFields::Clear() {
  while (!list_.empty()) Remove(list_.back());
}

int TFields::IndexOf(const TField* field) const {
  auto it = std::find(list_.begin(), list_.end(), field);
  return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

TField* TFields::FindField(std::string_view name) const {
  for (TField* field : list_) {
    if (SameText(field->FieldName(), name)) return field;
  }
  return nullptr;
}

TField* TFields::FieldByNumber(int fieldNo) const {
  for (TField* field : list_) {
    if (field->FieldNo() == fieldNo) return field;
  }
  return nullptr;
}

void TFields::SetFieldIndex(TField* field, int index) {
  const int current = IndexOf(field);
  if (current < 0) return;
  index = std::clamp(index, 0, Count() - 1);
  if (index == current) return;
  list_.erase(list_.begin() + current);
  list_.insert(list_.begin() + index, field);
  Changed();
}

void TFields::Changed() {
  if (dataSet_ && !dataSet_->IsDestroying()) dataSet_->DispatchDataEvent(evFieldListChange, 0);
}

TComponent* TField::GetParentComponent() const { return dataSet_; }

void TField::SetParentComponent(TComponent* parent) {
  auto* dataSet = dynamic_cast<TDataSet*>(parent);
  if (parent && !dataSet) throw EComponentError(Format("%s cannot hold the field %s", {parent->Name(), Name()}));
  SetDataSet(dataSet);
}
