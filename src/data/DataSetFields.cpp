// The dataset's side of fields: the field class table, default fields, binding and finding fields by name.
#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DataSet.h"
#include "data/NumericFields.h"

#include <array>

namespace {

constexpr std::array<const char*, ftFMTBcd + 1> kFieldTypeNames = {
    "ftUnknown",     "ftString",    "ftSmallint",  "ftInteger",    "ftWord",     "ftBoolean",   "ftFloat",
    "ftCurrency",    "ftBCD",       "ftDate",      "ftTime",       "ftDateTime", "ftBytes",     "ftVarBytes",
    "ftAutoInc",     "ftBlob",      "ftMemo",      "ftGraphic",    "ftFmtMemo",  "ftTableOle",  "ftFileOle",
    "ftTypedBinary", "ftCursor",    "ftFixedChar", "ftWideString", "ftLargeint", "ftADT",       "ftArray",
    "ftReference",   "ftDataSet",   "ftOraBlob",   "ftOraClob",    "ftVariant",  "ftInterface", "ftIDispatch",
    "ftGuid",        "ftTimeStamp", "ftFMTBcd"};

// The type a field type is compared as when a field is bound to its column.
TFieldType BaseFieldType(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return ftInteger;
    case ftFloat:
    case ftCurrency: return ftFloat;
    case ftDate:
    case ftTime:
    case ftDateTime: return ftDateTime;
    case ftString:
    case ftFixedChar:
    case ftGuid: return ftString;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftTableOle:
    case ftFileOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob: return ftBlob;
    case ftCursor:
    case ftWideString: return ftUnknown;
    case ftIDispatch:
    case ftInterface: return ftInterface;
    default: return type;
  }
}

bool IsCalcFieldType(TFieldType type) {
  return (type >= ftString && type <= ftDateTime) || type == ftWideString || type == ftLargeint || type == ftVariant ||
         type == ftTimeStamp || type == ftFMTBcd;
}

template <typename T>
TField* Make(TComponent* owner) {
  return new T(owner);
}

// The name that opens the "not found" message: the dataset's name, or its class when it has none.
std::string DataSetLabel(const TDataSet* dataSet) {
  return dataSet->Name().empty() ? dataSet->ClassName() : dataSet->Name();
}

[[noreturn]] void FieldNotFound(const TDataSet* dataSet, std::string_view name) {
  throw EDatabaseError(Format(SFieldNotFound, {DataSetLabel(dataSet), name}));
}

}  // namespace

const char* FieldTypeName(TFieldType type) {
  const auto index = static_cast<std::size_t>(type);
  return index < kFieldTypeNames.size() ? kFieldTypeNames[index] : "ftUnknown";
}

TFieldClass TDataSet::FieldClass(TFieldType type) const {
  switch (type) {
    case ftString:
    case ftFixedChar: return &Make<TStringField>;
    case ftSmallint: return &Make<TSmallintField>;
    case ftInteger: return &Make<TIntegerField>;
    case ftWord: return &Make<TWordField>;
    case ftAutoInc: return &Make<TAutoIncField>;
    case ftLargeint: return &Make<TLargeintField>;
    case ftFloat: return &Make<TFloatField>;
    case ftCurrency: return &Make<TCurrencyField>;
    case ftBCD: return &Make<TBCDField>;
    case ftDate: return &Make<TDateField>;
    case ftTime: return &Make<TTimeField>;
    case ftDateTime: return &Make<TDateTimeField>;
    // The wide-string, boolean, byte, blob, object, variant, interface, GUID, time-stamp and FMT-BCD classes are
    // not built: a column of those types cannot get a default field.
    default: return nullptr;
  }
}

const TFieldDefList& TDataSet::FieldDefList() {
  fieldDefList_.Rebuild(*fieldDefs_);
  return fieldDefList_;
}

void TDataSet::CreateFields() {
  const TFieldDefList& defs = FieldDefList();
  for (int i = 0; i < defs.Count(); ++i) {
    TFieldDef* def = defs.FieldDefs(i);
    const TFieldType type = def->DataType();
    if (type == ftUnknown || type == ftADT || type == ftArray || type == ftReference || type == ftDataSet) continue;
    if (def->Attributes().Contains(faHiddenCol) && !objectView_) continue;
    def->CreateField(this, defs.Strings(i));
  }
}

void TDataSet::DestroyFields() {
  // Default fields belong to the dataset; a field that has another owner is only detached.
  for (TFields* list : {fields_.get(), aggFields_.get()}) {
    while (list->Count() > 0) {
      TField* field = list->Fields(list->Count() - 1);
      list->Remove(field);
      if (field->Owner() == this) delete field;
    }
  }
}

void TDataSet::BindFields(bool binding) {
  calcFieldsSize_ = 0;
  blobFieldCount_ = 0;
  const TFieldDefList& defs = FieldDefList();
  for (int i = 0; i < fields_->Count(); ++i) {
    TField* field = fields_->Fields(i);
    if (!binding) {
      field->Bind(false);
      field->fieldNo_ = 0;
      continue;
    }
    const TFieldKind kind = field->FieldKind();
    if (kind == fkCalculated || kind == fkLookup) {
      if (!IsCalcFieldType(field->DataType())) DatabaseErrorFmt(SInvalidCalcType, {field->DisplayName()}, this);
      field->fieldNo_ = -1;
      field->offset_ = calcFieldsSize_;
      calcFieldsSize_ += field->DataSize() + 1;
    } else if (kind == fkAggregate) {
      field->fieldNo_ = -1;
    } else {
      const int index = defs.IndexOf(field->FullName());
      if (index < 0) FieldNotFound(this, field->DisplayName());
      TFieldDef* def = defs.FieldDefs(index);
      field->fieldNo_ = kind == fkInternalCalc ? def->FieldNo() : index + fieldNoOffset_;
      CheckFieldCompatibility(field, def);
      if (field->IsBlob()) {
        field->size_ = def->Size();
        field->offset_ = blobFieldCount_++;
      }
    }
    field->Bind(true);
  }
}

void TDataSet::CheckFieldCompatibility(TField* field, TFieldDef* fieldDef) {
  if (BaseFieldType(field->DataType()) != BaseFieldType(fieldDef->DataType())) {
    DatabaseErrorFmt(SFieldTypeMismatch, {field->DisplayName()}, this);
  }
  const TFieldType type = field->DataType();
  if ((type == ftBCD || type == ftBytes || type == ftVarBytes || type == ftReference) &&
      field->Size() != fieldDef->Size()) {
    DatabaseErrorFmt(SFieldSizeMismatch, {field->DisplayName(), field->Size(), fieldDef->Size()}, this);
  }
}

TField* TDataSet::SearchField(std::string_view name) const {
  if (TField* field = fields_->FindField(name)) return field;
  return aggFields_->FindField(name);
}

TField* TDataSet::RequireField(std::string_view name) const {
  TField* field = SearchField(name);
  if (!field) FieldNotFound(this, name);
  return field;
}

void TDataSet::CollectFields(std::vector<TField*>& list, std::string_view names) const {
  for (const std::string& piece : SplitText(names, ';')) list.push_back(RequireField(Trim(piece)));
}

Variant TDataSet::FieldValues(std::string_view names) const {
  if (names.find(';') == std::string_view::npos) return RequireField(names)->AsVariant();
  std::vector<TField*> fields;
  CollectFields(fields, names);
  std::vector<Variant> values;
  values.reserve(fields.size());
  for (TField* field : fields) values.push_back(field->AsVariant());
  return Variant(std::move(values));
}
