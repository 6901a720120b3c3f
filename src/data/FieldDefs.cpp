#include "data/FieldDefs.h"

#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DataSet.h"

// ---- TFieldDef ----

TFieldDef::TFieldDef(TFieldDefs* collection, std::string name, TFieldType dataType, int size, bool required,
                     int fieldNo)
    : collection_(collection), name_(std::move(name)), dataType_(dataType), size_(size), fieldNo_(fieldNo) {
  if (required) attributes_.Include(faRequired);
}

TFieldDef::~TFieldDef() = default;

void TFieldDef::Changed() {
  for (TFieldDefs* c = collection_; c; c = c->parentDef_ ? c->parentDef_->collection_ : nullptr) c->Changed();
}

void TFieldDef::SetName(std::string name) {
  name_ = std::move(name);
  Changed();
}

void TFieldDef::SetDataType(TFieldType type) {
  dataType_ = type;
  Changed();
}

void TFieldDef::SetSize(int size) {
  size_ = size;
  Changed();
}

void TFieldDef::SetPrecision(int precision) {
  precision_ = precision;
  Changed();
}

void TFieldDef::SetAttributes(TFieldAttributes attributes) {
  attributes_ = attributes;
  Changed();
}

void TFieldDef::SetRequired(bool required) {
  attributes_.Set(faRequired, required);
  Changed();
}

void TFieldDef::SetInternalCalcField(bool on) {
  internalCalc_ = on;
  Changed();
}

int TFieldDef::Index() const {
  for (int i = 0; i < collection_->Count(); ++i) {
    if (collection_->items_[static_cast<std::size_t>(i)].get() == this) return i;
  }
  return -1;
}

TFieldDef* TFieldDef::ParentDef() const { return collection_->ParentDef(); }

bool TFieldDef::HasChildDefs() const { return children_ && children_->Count() > 0; }

TFieldDefs& TFieldDef::ChildDefs() {
  if (!children_) children_ = std::make_unique<TFieldDefs>(collection_->DataSet(), this);
  return *children_;
}

TField* TFieldDef::CreateField(TComponent* owner, const std::string& fieldName) {
  TDataSet* dataSet = collection_->DataSet();
  const std::string name = fieldName.empty() ? name_ : fieldName;
  TFieldClass make = dataSet ? dataSet->FieldClass(dataType_) : nullptr;
  if (!make) DatabaseErrorFmt(SUnsupportedFieldType, {name, FieldTypeName(dataType_)}, dataSet);
  TField* field = make(owner);
  try {
    field->SetSize(size_);
    field->SetFieldName(name);
    field->SetRequired(Required());
    field->SetFieldType(dataType_);
    if (attributes_.Contains(faReadonly)) field->SetReadOnly(true);
    if (internalCalc_) field->SetFieldKind(fkInternalCalc);
    field->SetDataSet(dataSet);
  } catch (...) {
    delete field;
    throw;
  }
  return field;
}

// ---- TFieldDefs ----

TFieldDefs::TFieldDefs(TDataSet* dataSet, TFieldDef* parentDef) : dataSet_(dataSet), parentDef_(parentDef) {}

TFieldDefs::~TFieldDefs() = default;

TFieldDef* TFieldDefs::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return items_[static_cast<std::size_t>(index)].get();
}

TFieldDef* TFieldDefs::AddFieldDef(const std::string& name, TFieldType dataType, int size, bool required, int fieldNo) {
  if (fieldNo == 0) fieldNo = Count() + 1;
  items_.push_back(std::make_unique<TFieldDef>(this, name, dataType, size, required, fieldNo));
  Changed();
  return items_.back().get();
}

void TFieldDefs::Add(const std::string& name, TFieldType dataType, int size, bool required) {
  AddFieldDef(name, dataType, size, required);
}

void TFieldDefs::Clear() {
  items_.clear();
  Changed();
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(items_[static_cast<std::size_t>(i)]->Name(), name)) return i;
  }
  return -1;
}

TFieldDef* TFieldDefs::Find(std::string_view name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : items_[static_cast<std::size_t>(index)].get();
}

void TFieldDefs::Changed() { updated_ = false; }

// ---- TFieldDefList ----

void TFieldDefList::Rebuild(const TFieldDefs& defs) {
  entries_.clear();
  AddDefs(defs, {});
}

void TFieldDefList::AddDefs(const TFieldDefs& defs, const std::string& prefix) {
  for (int i = 0; i < defs.Count(); ++i) {
    TFieldDef* def = defs.Items(i);
    std::string fullName = prefix.empty() ? def->Name() : prefix + "." + def->Name();
    entries_.push_back({fullName, def});
    if (def->HasChildDefs()) AddDefs(def->ChildDefs(), fullName);
  }
}

TFieldDef* TFieldDefList::FieldDefs(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return entries_[static_cast<std::size_t>(index)].def;
}

const std::string& TFieldDefList::Strings(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return entries_[static_cast<std::size_t>(index)].fullName;
}

int TFieldDefList::IndexOf(std::string_view fullName) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (SameText(entries_[i].fullName, fullName)) return static_cast<int>(i);
  }
  return -1;
}

TFieldDef* TFieldDefList::Find(std::string_view fullName) const {
  const int index = IndexOf(fullName);
  return index < 0 ? nullptr : entries_[static_cast<std::size_t>(index)].def;
}
