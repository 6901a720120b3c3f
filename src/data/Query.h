#pragma once

#include "core/Strings.h"
#include "core/Variant.h"
#include "data/EngineDataSet.h"

#include <memory>
#include <string>
#include <vector>

class TDataSource;

// One parameter of a statement; a parameter whose value was never set has none.
class TParam {
public:
  explicit TParam(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& value) {
    value_ = value;
    bound_ = true;
  }
  void SetAsString(const std::string& value) { SetValue(Variant(value)); }
  void Clear() { SetValue(Variant::Null()); }
  // Whether a value (possibly null) was given.
  bool Bound() const { return bound_; }

private:
  friend class TParams;
  std::string name_;
  Variant value_;
  bool bound_ = false;
};

// The parameters of a statement, in the order they appear in it; a name may appear more than once.
class TParams {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TParam& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  TParam& operator[](int index) const { return Items(index); }
  TParam* FindParam(std::string_view name) const;
  // Raises "Parâmetro '%s' não encontrado" when absent.
  TParam& ParamByName(std::string_view name) const;
  TParam& Add(std::string name);
  void Clear() { items_.clear(); }
  // Takes the values of `other`'s parameters of the same name.
  void AssignValues(const TParams& other);

private:
  std::vector<std::unique_ptr<TParam>> items_;
};

enum TUpdateMode { upWhereAll, upWhereChanged, upWhereKeyOnly };

// The statement text with each parameter replaced by "?", and the parameter names in order. Text inside quotes
// of any kind is never changed; "::" outside quotes stands for one colon.
struct TParsedSql {
  std::string text;
  std::vector<std::string> names;
};
TParsedSql ParseSqlParams(std::string_view sql);

// A dataset over the rows of an SQL statement.
class TQuery : public TDBDataSet {
public:
  explicit TQuery(TComponent* owner);
  ~TQuery() override;

  bool Constrained() const { return constrained_; }
  void SetConstrained(bool value);
  TDataSource* DataSource() const override { return dataSource_; }
  void SetDataSource(TDataSource* value);
  bool ParamCheck() const { return paramCheck_; }
  void SetParamCheck(bool value) { paramCheck_ = value; }
  bool RequestLive() const { return requestLive_; }
  void SetRequestLive(bool value);
  // Each change closes and unprepares the query.
  TStrings& SQL() { return sql_; }
  TParams& Params() { return params_; }
  TParam& ParamByName(std::string_view name) { return params_.ParamByName(name); }
  int ParamCount() const { return params_.Count(); }
  bool UniDirectional() const { return uniDirectional_; }
  void SetUniDirectional(bool value);
  TUpdateMode UpdateMode() const { return updateMode_; }
  void SetUpdateMode(TUpdateMode value) { updateMode_ = value; }

  bool Prepared() const { return prepared_; }
  void SetPrepared(bool value);
  // Prepares the statement and keeps it (and its database) until UnPrepare, across Close and Open.
  void Prepare();
  void UnPrepare();
  // Frees the statement; the query must be closed.
  void DiscardStatement() { UnPrepare(); }
  // Runs a statement that gives no rows.
  void ExecSQL();
  // Rows changed by the last ExecSQL; -1 when unknown.
  int RowsAffected() const { return rowsAffected_; }
  void Disconnect() override;
  // The statement as handed to the engine.
  const std::string& Text() const { return text_; }
  engine::StatementHandle StmtHandle() const { return stmt_; }
  bool Local() const { return local_; }

protected:
  engine::CursorHandle CreateHandle() override;
  void SetDBFlag(TDBFlag flag, bool value) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void QueryChanged();
  void PrepareStatement();
  void FreeStatement();
  void BindParams();
  engine::CursorHandle Execute(bool wantCursor);

  bool constrained_ = false;
  bool paramCheck_ = true;
  bool requestLive_ = false;
  bool uniDirectional_ = false;
  TUpdateMode updateMode_ = upWhereAll;
  TDataSource* dataSource_ = nullptr;
  TStrings sql_;
  TParams params_;
  std::vector<std::string> paramOrder_;  // the parameter of each "?" of the text
  std::string text_;
  engine::StatementHandle stmt_;
  bool prepared_ = false;
  bool local_ = false;
  int rowsAffected_ = -1;
};
