// The report's side of its expression parser: what formulas of data-bound texts and groups see of the report.

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/DB.h"
#include "graphics/Graphics.h"
#include "report/RLLabel.h"
#include "report/RLParser.h"
#include "report/RLReport.h"

namespace {

TDataSource* DataSourceOf(const TControl* control) {
  if (auto* text = dynamic_cast<const TRLCustomDBText*>(control)) return text->DataSource();
  if (auto* skipper = ComponentCast<TRLCustomSkipper>(control)) return skipper->DataSource();
  return nullptr;
}

TField* FieldOf(TDataSet* dataset, const std::string& name) {
  return dataset && !name.empty() ? dataset->SearchField(name) : nullptr;
}

}  // namespace

void TRLCustomReport::SetExpressionParser(TRLExpressionParser* value) {
  if (value == expression_parser_) return;
  if (expression_parser_) {
    expression_parser_->Unbind(this);
    RemoveFreeNotification(expression_parser_);
  }
  expression_parser_ = value;
  if (expression_parser_) {
    FreeNotification(expression_parser_);
    BindParser();
  }
}

void TRLCustomReport::BindParser() {
  TRLParserBinding binding;
  binding.Binder = this;
  // A field of the dataset of the element in context, or of the nearest element above it that has one.
  binding.Identifier = [this](const std::string& identifier, const Variant&) -> Variant {
    for (const TControl* c = expression_context_; c; c = c->Parent()) {
      TDataSource* source = DataSourceOf(c);
      if (TField* field = FieldOf(source ? source->DataSet() : nullptr, identifier)) return field->AsVariant();
    }
    return {};
  };
  // Report elements also answer to their friendly names.
  binding.FindComponent = [](TPersistent* current, const std::string& name) -> TPersistent* {
    auto* owner = dynamic_cast<TComponent*>(current);
    if (!owner) return nullptr;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* c = owner->Components(i);
      if (SameText(c->Name(), name)) return c;
      auto* element = ComponentCast<TRLCustomControl>(c);
      if (element && !element->FriendlyName().empty() && SameText(element->FriendlyName(), name)) return c;
    }
    return nullptr;
  };
  binding.GetValue = [](TPersistent* object, const std::string& name) -> Variant {
    if (auto* source = dynamic_cast<TDataSource*>(object)) {
      if (TField* field = FieldOf(source->DataSet(), name)) return field->AsVariant();
    } else if (auto* dataset = dynamic_cast<TDataSet*>(object)) {
      if (TField* field = FieldOf(dataset, name)) return field->AsVariant();
    } else if (name.empty()) {
      if (auto* element = dynamic_cast<TRLCustomControl*>(object)) return Variant(element->Caption());
      if (auto* font = dynamic_cast<TFont*>(object)) return Variant(font->Name() + " " + std::to_string(font->Size()));
    }
    return {};
  };
  expression_parser_->Bind(std::move(binding));
}

Variant TRLCustomReport::EvaluateFormula(const std::string& formula, TRLCustomControl* context) {
  if (!expression_parser_) return Variant::Null();
  // A parser shared by several reports answers for the one that evaluates now.
  if (expression_parser_->Binding().Binder != this) BindParser();
  TScopedValueRollback restore(expression_context_, context);
  return expression_parser_->Evaluate(formula);
}
