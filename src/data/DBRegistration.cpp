#include "data/DBRegistration.h"

#include "data/DB.h"
#include "data/DBTables.h"
#include "framework/Properties.h"

#include <mutex>

namespace {

constexpr std::string_view kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::string_view kAutoRefreshNames[] = {"arNone", "arAutoInc", "arDefault"};
constexpr std::string_view kFieldKindNames[] = {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate"};
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

  RegisterClass<TQuery>("TQuery", "TDataSet")
      .String("DatabaseName", &TQuery::DatabaseName, &TQuery::SetDatabaseName)
      .Strings("SQL", [](TQuery& q) -> TStrings& { return q.SQL(); });
}

}  // namespace

void RegisterDataClasses() {
  static std::once_flag once;
  std::call_once(once, RegisterAll);
}
