#include "data/DBRegistration.h"

#include "core/Properties.h"
#include "data/DB.h"
#include "data/DBTables.h"

#include <mutex>

namespace {

constexpr std::string_view kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::string_view kAutoRefreshNames[] = {"arNone", "arAutoInc", "arDefault"};
constexpr std::string_view kFieldKindNames[] = {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate"};
constexpr std::string_view kTransIsolationNames[] = {"tiDirtyRead", "tiReadCommitted", "tiRepeatableRead"};
constexpr std::string_view kFilterOptionNames[] = {"foCaseInsensitive", "foNoPartialCompare"};
constexpr std::string_view kUpdateModeNames[] = {"upWhereAll", "upWhereChanged", "upWhereKeyOnly"};
constexpr std::string_view kProviderFlagNames[] = {"pfInUpdate", "pfInWhere", "pfInKey", "pfHidden"};

void RegisterAll() {
  RegisterFrameworkClasses();

  RegisterClass<TDataSet>("TDataSet", "TComponent")
      .Boolean("Active", &TDataSet::Active, &TDataSet::SetActive, false)
      .Boolean("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields, true)
      .Event("BeforeOpen", &TDataSet::BeforeOpen)
      .Event("AfterOpen", &TDataSet::AfterOpen)
      .Event("BeforeClose", &TDataSet::BeforeClose)
      .Event("AfterClose", &TDataSet::AfterClose)
      .Event("BeforeInsert", &TDataSet::BeforeInsert)
      .Event("AfterInsert", &TDataSet::AfterInsert)
      .Event("BeforeEdit", &TDataSet::BeforeEdit)
      .Event("AfterEdit", &TDataSet::AfterEdit)
      .Event("BeforePost", &TDataSet::BeforePost)
      .Event("AfterPost", &TDataSet::AfterPost)
      .Event("BeforeCancel", &TDataSet::BeforeCancel)
      .Event("AfterCancel", &TDataSet::AfterCancel)
      .Event("BeforeDelete", &TDataSet::BeforeDelete)
      .Event("AfterDelete", &TDataSet::AfterDelete)
      .Event("BeforeScroll", &TDataSet::BeforeScroll)
      .Event("AfterScroll", &TDataSet::AfterScroll)
      .Event("BeforeRefresh", &TDataSet::BeforeRefresh)
      .Event("AfterRefresh", &TDataSet::AfterRefresh)
      .Event("OnCalcFields", &TDataSet::OnCalcFields)
      .Event("OnDeleteError", &TDataSet::OnDeleteError)
      .Event("OnEditError", &TDataSet::OnEditError)
      .Event("OnNewRecord", &TDataSet::OnNewRecord)
      .Event("OnPostError", &TDataSet::OnPostError);

  RegisterClass<TDataSource>("TDataSource", "TComponent")
      .Boolean("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit, true)
      .Reference("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet)
      .Boolean("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled, true)
      .Event("OnStateChange", &TDataSource::OnStateChange)
      .Event("OnDataChange", &TDataSource::OnDataChange)
      .Event("OnUpdateData", &TDataSource::OnUpdateData);

  RegisterClass<TField>("TField", "TComponent")
      .Enum("Alignment", &TField::Alignment, &TField::SetAlignment, kAlignmentNames, std::optional(taLeftJustify))
      .Enum("AutoGenerateValue", &TField::AutoGenerateValue, &TField::SetAutoGenerateValue, kAutoRefreshNames,
            std::optional(arNone))
      .String("CustomConstraint", &TField::CustomConstraint, &TField::SetCustomConstraint)
      .String("ConstraintErrorMessage", &TField::ConstraintErrorMessage, &TField::SetConstraintErrorMessage)
      .String("DefaultExpression", &TField::DefaultExpression, &TField::SetDefaultExpression)
      .String("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel, std::nullopt)
      .StoredWhen([](const TField& f) { return f.IsDisplayLabelStored(); })
      .Integer("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth, std::nullopt)
      .StoredWhen([](const TField& f) { return f.IsDisplayWidthStored(); })
      .Enum("FieldKind", &TField::FieldKind, &TField::SetFieldKind, kFieldKindNames, std::optional(fkData))
      .String("FieldName", &TField::FieldName, &TField::SetFieldName)
      .String("ImportedConstraint", &TField::ImportedConstraint, &TField::SetImportedConstraint)
      .Reference("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet)
      .String("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields)
      .String("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField)
      .String("KeyFields", &TField::KeyFields, &TField::SetKeyFields)
      .Boolean("LookupCache", &TField::LookupCache, &TField::SetLookupCache)
      .String("Origin", &TField::Origin, &TField::SetOrigin)
      .SetOf("ProviderFlags", &TField::ProviderFlags, &TField::SetProviderFlags, kProviderFlagNames,
             TProviderFlags{pfInUpdate, pfInWhere}.Mask())
      .Boolean("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly)
      .Boolean("Required", &TField::Required, &TField::SetRequired)
      .Boolean("Visible", &TField::Visible, &TField::SetVisible, true)
      .Event("OnChange", &TField::OnChange)
      .Event("OnGetText", &TField::OnGetText)
      .Event("OnSetText", &TField::OnSetText)
      .Event("OnValidate", &TField::OnValidate);

  RegisterClass<TStringField>("TStringField", "TField")
      .String("EditMask", &TStringField::EditMask, &TStringField::SetEditMask)
      .Boolean("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar)
      .Integer("Size", &TStringField::Size, &TStringField::SetSize, 20)
      .Boolean("Transliterate", &TStringField::Transliterate, &TStringField::SetTransliterate, true);

  RegisterClass<TNumericField>("TNumericField", "TField")
      .Enum("Alignment", &TField::Alignment, &TField::SetAlignment, kAlignmentNames, std::optional(taRightJustify))
      .String("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat)
      .String("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);

  RegisterClass<TIntegerField>("TIntegerField", "TNumericField")
      .Integer("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue)
      .Integer("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue);

  // Its bounds are 64-bit numbers.
  RegisterClass<TLargeintField>("TLargeintField", "TIntegerField")
      .Int64("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue)
      .Int64("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue);

  RegisterClass<TSession>("TSession", "TComponent")
      .Boolean("Active", &TSession::Active, &TSession::SetActive, false)
      .Boolean("AutoSessionName", &TSession::AutoSessionName, &TSession::SetAutoSessionName, false)
      .Boolean("KeepConnections", &TSession::KeepConnections, &TSession::SetKeepConnections, true)
      .String("NetFileDir", &TSession::NetFileDir, &TSession::SetNetFileDir)
      .String("PrivateDir", &TSession::PrivateDir, &TSession::SetPrivateDir)
      .String("SessionName", &TSession::SessionName, &TSession::SetSessionName)
      .Boolean("SQLHourGlass", &TSession::SQLHourGlass, &TSession::SetSQLHourGlass, true)
      .Event("OnPassword", &TSession::OnPassword)
      .Event("OnStartup", &TSession::OnStartup);

  RegisterClass<TCustomConnection>("TCustomConnection", "TComponent")
      .Boolean("Connected", &TCustomConnection::Connected, &TCustomConnection::SetConnected, false)
      .Event("AfterConnect", &TCustomConnection::AfterConnect)
      .Event("AfterDisconnect", &TCustomConnection::AfterDisconnect)
      .Event("BeforeConnect", &TCustomConnection::BeforeConnect)
      .Event("BeforeDisconnect", &TCustomConnection::BeforeDisconnect);

  RegisterClass<TDatabase>("TDatabase", "TCustomConnection")
      .String("AliasName", &TDatabase::AliasName, &TDatabase::SetAliasName)
      .String("DatabaseName", &TDatabase::DatabaseName, &TDatabase::SetDatabaseName)
      .String("DriverName", &TDatabase::DriverName, &TDatabase::SetDriverName)
      .Boolean("Exclusive", &TDatabase::Exclusive, &TDatabase::SetExclusive, false)
      .Boolean("HandleShared", &TDatabase::HandleShared, &TDatabase::SetHandleShared, false)
      .Boolean("KeepConnection", &TDatabase::KeepConnection, &TDatabase::SetKeepConnection, true)
      .Boolean("LoginPrompt", &TDatabase::LoginPrompt, &TDatabase::SetLoginPrompt, true)
      .Strings("Params", [](TDatabase& d) -> TStrings& { return d.Params(); })
      .Boolean("ReadOnly", &TDatabase::ReadOnly, &TDatabase::SetReadOnly, false)
      .String("SessionName", &TDatabase::SessionName, &TDatabase::SetSessionName)
      .Enum("TransIsolation", &TDatabase::TransIsolation, &TDatabase::SetTransIsolation, kTransIsolationNames,
            std::optional(tiReadCommitted))
      .Event("OnLogin", &TDatabase::OnLogin);

  RegisterClass<TEngineDataSet>("TEngineDataSet", "TDataSet")
      .Boolean("CachedUpdates", &TEngineDataSet::CachedUpdates, &TEngineDataSet::SetCachedUpdates, false)
      .Boolean("ObjectView", &TEngineDataSet::ObjectView, &TEngineDataSet::SetObjectView, false);

  RegisterClass<TDBDataSet>("TDBDataSet", "TEngineDataSet")
      .Boolean("AutoRefresh", &TDBDataSet::AutoRefresh, &TDBDataSet::SetAutoRefresh, false)
      .String("DatabaseName", &TDBDataSet::DatabaseName, &TDBDataSet::SetDatabaseName)
      .String("Filter", &TDBDataSet::Filter, &TDBDataSet::SetFilter)
      .Boolean("Filtered", &TDBDataSet::Filtered, &TDBDataSet::SetFiltered, false)
      .SetOf("FilterOptions", &TDBDataSet::FilterOptions, &TDBDataSet::SetFilterOptions, kFilterOptionNames, 0)
      .String("SessionName", &TDBDataSet::SessionName, &TDBDataSet::SetSessionName)
      .Event("OnFilterRecord", &TDBDataSet::OnFilterRecord);

  RegisterClass<TQuery>("TQuery", "TDBDataSet")
      .Boolean("Constrained", &TQuery::Constrained, &TQuery::SetConstrained, false)
      .Reference("DataSource", &TQuery::DataSource, &TQuery::SetDataSource)
      .Boolean("ParamCheck", &TQuery::ParamCheck, &TQuery::SetParamCheck, true)
      .Boolean("RequestLive", &TQuery::RequestLive, &TQuery::SetRequestLive, false)
      .Strings("SQL", [](TQuery& q) -> TStrings& { return q.SQL(); })
      .Boolean("UniDirectional", &TQuery::UniDirectional, &TQuery::SetUniDirectional, false)
      .Enum("UpdateMode", &TQuery::UpdateMode, &TQuery::SetUpdateMode, kUpdateModeNames, std::optional(upWhereAll));
}

}  // namespace

void RegisterDataClasses() {
  static std::once_flag once;
  std::call_once(once, RegisterAll);
}
