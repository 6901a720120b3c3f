#pragma once

#include "data/DBCommon.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The description of one column of an open cursor; ADT and array columns have child definitions.
class TFieldDef {
public:
  TFieldDef(TFieldDefs* collection, std::string name, TFieldType dataType, int size, bool required, int fieldNo);
  ~TFieldDef();
  TFieldDef(const TFieldDef&) = delete;
  TFieldDef& operator=(const TFieldDef&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name);
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType type);
  int Size() const { return size_; }
  void SetSize(int size);
  int Precision() const { return precision_; }
  void SetPrecision(int precision);
  TFieldAttributes Attributes() const { return attributes_; }
  void SetAttributes(TFieldAttributes attributes);
  bool Required() const { return attributes_.Contains(faRequired); }
  void SetRequired(bool required);
  int FieldNo() const { return fieldNo_; }
  void SetFieldNo(int fieldNo) { fieldNo_ = fieldNo; }
  // Marked by the engine for a column it computes itself.
  bool InternalCalcField() const { return internalCalc_; }
  void SetInternalCalcField(bool on);

  TFieldDefs* Collection() const { return collection_; }
  int Index() const;
  TFieldDef* ParentDef() const;
  bool HasChildDefs() const;
  TFieldDefs& ChildDefs();

  // Creates the field for this definition (the class follows DataType), attached to the collection's dataset.
  // `fieldName` empty means Name. Raises EDatabaseError for a type that has no field class.
  TField* CreateField(TComponent* owner, const std::string& fieldName = {});

private:
  void Changed();

  TFieldDefs* collection_;
  std::string name_;
  TFieldType dataType_;
  int size_;
  int precision_ = 0;
  TFieldAttributes attributes_;
  int fieldNo_;
  bool internalCalc_ = false;
  std::unique_ptr<TFieldDefs> children_;
};

// The column descriptions of a dataset (or the children of one description), in order.
class TFieldDefs {
public:
  explicit TFieldDefs(TDataSet* dataSet, TFieldDef* parentDef = nullptr);
  ~TFieldDefs();
  TFieldDefs(const TFieldDefs&) = delete;
  TFieldDefs& operator=(const TFieldDefs&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..Count-1.
  TFieldDef* Items(int index) const;
  TFieldDef* operator[](int index) const { return Items(index); }

  // Appends a definition; its field number is its 1-based position in this collection unless given.
  TFieldDef* AddFieldDef(const std::string& name = {}, TFieldType dataType = ftUnknown, int size = 0,
                         bool required = false, int fieldNo = 0);
  void Add(const std::string& name, TFieldType dataType, int size = 0, bool required = false);
  void Clear();
  // Case-insensitive; -1 when absent.
  int IndexOf(std::string_view name) const;
  TFieldDef* Find(std::string_view name) const;

  TDataSet* DataSet() const { return dataSet_; }
  TFieldDef* ParentDef() const { return parentDef_; }
  // False once a definition changed since the last SetUpdated(true).
  bool Updated() const { return updated_; }
  void SetUpdated(bool updated) { updated_ = updated; }

private:
  friend class TFieldDef;
  void Changed();

  TDataSet* dataSet_;
  TFieldDef* parentDef_;
  std::vector<std::unique_ptr<TFieldDef>> items_;
  bool updated_ = false;
};

// Every definition of a dataset in order, nested ones expanded after their parent, with full names
// ("parent.child").
class TFieldDefList {
public:
  void Rebuild(const TFieldDefs& defs);
  void Clear() { entries_.clear(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  TFieldDef* FieldDefs(int index) const;
  const std::string& Strings(int index) const;
  // Case-insensitive on full names; -1 / nullptr when absent.
  int IndexOf(std::string_view fullName) const;
  TFieldDef* Find(std::string_view fullName) const;

private:
  void AddDefs(const TFieldDefs& defs, const std::string& prefix);

  struct Entry {
    std::string fullName;
    TFieldDef* def;
  };
  std::vector<Entry> entries_;
};
