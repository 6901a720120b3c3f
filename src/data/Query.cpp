#include "data/Query.h"
#include "data/Quietly.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DBEngineError.h"
#include "data/DBTablesConsts.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Sessions.h"
#include "engine/Dialect.h"

namespace {

bool IsSymbol(const engine::SqlToken& t, char c) {
  return t.kind == engine::SqlToken::Kind::Symbol && t.text.size() == 1 && t.text[0] == c;
}

bool IsQuoted(const engine::SqlToken& t) {
  using Kind = engine::SqlToken::Kind;
  return t.kind == Kind::DoubleQuoted || t.kind == Kind::SingleQuoted || t.kind == Kind::QuotedName;
}

}  // namespace

// ---- parameters ----

TParsedSql ParseSqlParams(std::string_view sql) {
  engine::SqlSyntaxProblem problem;
  const auto tokens = engine::TokenizeSql(sql, problem);
  // A text the tokenizer cannot split goes to the engine unchanged, which then says what is wrong with it.
  if (!tokens) return {std::string(sql), {}};
  TParsedSql parsed;
  parsed.text.reserve(sql.size());
  const std::size_t n = tokens->size();
  for (std::size_t i = 0; i < n; ++i) {
    const engine::SqlToken& t = (*tokens)[i];
    const engine::SqlToken* next =
        i + 1 < n && (*tokens)[i + 1].offset == t.offset + t.text.size() ? &(*tokens)[i + 1] : nullptr;
    if (IsSymbol(t, ':') && next) {
      if (IsSymbol(*next, ':')) {  // "::" stands for one colon
        parsed.text += ':';
        ++i;
        continue;
      }
      if (next->kind == engine::SqlToken::Kind::Parameter && next->text.front() == ':') {  // "::name" is no parameter
        parsed.text += next->text;
        ++i;
        continue;
      }
      if (IsQuoted(*next)) {  // a quoted parameter name
        parsed.text += '?';
        parsed.names.push_back(next->value);
        ++i;
        continue;
      }
    }
    if (t.kind == engine::SqlToken::Kind::Parameter && t.text.front() == ':') {
      parsed.text += '?';
      parsed.names.emplace_back(t.text.substr(1));
      continue;
    }
    parsed.text += t.text;
  }
  return parsed;
}

TParam* TParams::FindParam(std::string_view name) const {
  for (const auto& p : items_) {
    if (SameText(p->Name(), name)) return p.get();
  }
  return nullptr;
}

TParam& TParams::ParamByName(std::string_view name) const {
  TParam* p = FindParam(name);
  if (!p) DatabaseErrorFmt(SParameterNotFound, {name});
  return *p;
}

TParam& TParams::Add(std::string name) {
  items_.push_back(std::make_unique<TParam>(std::move(name)));
  return *items_.back();
}

void TParams::AssignValues(const TParams& other) {
  for (const auto& p : items_) {
    if (const TParam* source = other.FindParam(p->Name()); source && source->Bound()) p->SetValue(source->Value());
  }
}

// ---- TQuery ----

TQuery::TQuery(TComponent* owner) : TDBDataSet(owner) {
  sql_.OnChange = [this](TObject*) { QueryChanged(); };
}

TQuery::~TQuery() {
  sql_.OnChange = nullptr;
  CloseOnDestroy();
  Quietly([this] { UnPrepare(); });
  if (dataSource_) RemoveFreeNotification(dataSource_);
}

void TQuery::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == dataSource_) dataSource_ = nullptr;
  TDBDataSet::Notification(component, operation);
}

void TQuery::SetDataSource(TDataSource* value) {
  if (value == dataSource_) return;
  if (dataSource_) RemoveFreeNotification(dataSource_);
  dataSource_ = value;
  if (value) FreeNotification(value);
}

void TQuery::SetConstrained(bool value) {
  if (value == constrained_) return;
  CheckInactive();
  UnPrepare();
  constrained_ = value;
}

void TQuery::SetRequestLive(bool value) {
  if (value == requestLive_) return;
  CheckInactive();
  UnPrepare();
  requestLive_ = value;
}

void TQuery::SetUniDirectional(bool value) {
  if (value == uniDirectional_) return;
  CheckInactive();
  UnPrepare();
  uniDirectional_ = value;
}

void TQuery::Disconnect() {
  Close();
  UnPrepare();
}

void TQuery::QueryChanged() {
  if (!IsLoading()) Disconnect();
  if (paramCheck_) {
    TParsedSql parsed = ParseSqlParams(sql_.Text());
    TParams fresh;
    for (const std::string& name : parsed.names) {
      if (!fresh.FindParam(name)) fresh.Add(name);
    }
    fresh.AssignValues(params_);
    params_ = std::move(fresh);
    paramOrder_ = std::move(parsed.names);
    text_ = std::move(parsed.text);
  } else {
    params_.Clear();
    paramOrder_.clear();
    text_ = sql_.Text();
  }
  DispatchDataEvent(evPropertyChange, 0);
}

void TQuery::SetPrepared(bool value) {
  if (value) Prepare();
  else UnPrepare();
}

void TQuery::Prepare() {
  SetDBFlag(dbfPrepared, true);
  try {
    PrepareStatement();
  } catch (...) {
    Quietly([this] { SetDBFlag(dbfPrepared, false); });
    throw;
  }
}

void TQuery::UnPrepare() {
  if (Handle()) DatabaseError(SDataSetOpen, this);
  FreeStatement();
  SetDBFlag(dbfPrepared, false);
}

void TQuery::SetDBFlag(TDBFlag flag, bool value) {
  if (value) {
    const bool newConnection = DBFlags() == 0;
    TDBDataSet::SetDBFlag(flag, value);
    if (newConnection) local_ = !Database()->IsSQLBased();
    return;
  }
  // The statement goes before the database it was prepared on.
  if (DBFlag(flag) && (DBFlags() & ~(1u << flag)) == 0) Quietly([this] { FreeStatement(); });
  TDBDataSet::SetDBFlag(flag, value);
}

void TQuery::PrepareStatement() {
  if (Handle()) DatabaseError(SDataSetOpen, this);
  if (prepared_) return;
  if (text_.size() < 2) DatabaseError(SNoSQLStatement, this);
  TSession* session = DataSession();
  TSessionLock lock(session);
  engine::StatementHandle stmt;
  Check(engine::AllocStatement(Database()->Handle(), engine::QueryLanguage::Sql, stmt));
  try {
    Check(engine::SetProp(stmt, engine::prop::StatementResultMode, requestLive_ ? 1 : 2));
    if (local_) {
      Check(engine::SetProp(stmt, engine::prop::StatementFlag26, 0));
      if (requestLive_ && constrained_) Check(engine::SetProp(stmt, engine::prop::StatementConstrained, 1));
      Check(engine::SetProp(stmt, engine::prop::StatementFlag42, 1));
    }
    for (;;) {
      const engine::Status status = engine::PrepareStatement(stmt, text_);
      if (status == engine::status::PasswordNeeded) {
        EDBEngineError error(status);
        if (session->GetPassword()) continue;
        Sessions().HideWaitCursor();
        throw error;
      }
      Check(status);
      break;
    }
    if (!local_) Check(engine::SetProp(stmt, engine::prop::StatementUnidirectional, uniDirectional_ ? 1 : 0));
  } catch (...) {
    engine::FreeStatement(stmt);
    throw;
  }
  stmt_ = stmt;
  prepared_ = true;
  rowsAffected_ = -1;
}

void TQuery::FreeStatement() {
  if (!stmt_) {
    prepared_ = false;
    return;
  }
  TSessionLock lock(DataSession());
  engine::FreeStatement(stmt_);
  stmt_ = {};
  prepared_ = false;
}

void TQuery::BindParams() {
  for (std::size_t i = 0; i < paramOrder_.size(); ++i) {
    TParam& param = params_.ParamByName(paramOrder_[i]);
    if (!param.Bound()) DatabaseErrorFmt(SNoParameterValue, {param.Name()}, this);
    const Variant& v = param.Value();
    engine::Value value;
    switch (v.VarType()) {
      case Variant::Type::Empty:
      case Variant::Type::Null: break;
      case Variant::Type::Boolean: value = static_cast<std::int64_t>(v.AsBoolean() ? 1 : 0); break;
      case Variant::Type::Integer: value = v.AsInteger(); break;
      case Variant::Type::Float: value = v.AsFloat(); break;
      default: value = Translate(v.AsString(), true); break;
    }
    Check(engine::BindParam(stmt_, static_cast<int>(i + 1), value));
  }
}

engine::CursorHandle TQuery::Execute(bool wantCursor) {
  TSessionLock lock(DataSession());
  BindParams();
  engine::CursorHandle cursor;
  Check(engine::ExecuteStatement(stmt_, wantCursor ? &cursor : nullptr));
  return cursor;
}

engine::CursorHandle TQuery::CreateHandle() {
  if (sql_.Count() == 0) DatabaseError(SNoSQLStatement, this);
  PrepareStatement();
  return Execute(true);
}

void TQuery::ExecSQL() {
  CheckInactive();
  if (sql_.Count() == 0) DatabaseError(SNoSQLStatement, this);
  SetDBFlag(dbfExecSQL, true);
  TScopeExit clearFlag([this] { Quietly([this] { SetDBFlag(dbfExecSQL, false); }); });
  PrepareStatement();
  Execute(false);
  TSessionLock lock(DataSession());
  std::int64_t rows = -1;
  Check(engine::GetProp(stmt_, engine::prop::StatementRowsAffected, rows));
  rowsAffected_ = static_cast<int>(rows);
}
