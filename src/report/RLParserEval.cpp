// Evaluating a parsed formula: operators, identifiers, user functions, component paths and assignments.

#include "core/Properties.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "report/RLParser.h"

#include <numbers>

namespace {

[[noreturn]] void Fail(const char* what, int position) {
  throw ERLParserError(std::string(what) + " at " + std::to_string(position) + "!");
}

// Each nested evaluation costs stack: function calls and handlers that evaluate again add up beyond the tree's own
// depth, so they get some room before the parser refuses.
constexpr int kMaxEvalDepth = 2 * TRLExpressionParser::MaxDepth;

// ---- Component paths ----

struct TStep {
  bool found = false;
  TPersistent* object = nullptr;  // null for an object-valued property that holds nothing
};

// What one part of a path names inside `current`: a component, the current component itself, an owned component
// or an object-valued published property.
TStep StepInto(TPersistent* current, const std::string& part, const TRLParserBinding& binding) {
  if (auto* component = dynamic_cast<TComponent*>(current)) {
    if (binding.FindComponent) {
      if (TPersistent* found = binding.FindComponent(current, part)) return {true, found};
    }
    if (SameText(component->Name(), part)) return {true, component};
    if (TComponent* owned = component->FindComponent(part)) return {true, owned};
  }
  const TClassInfo* info = TPropertyRegistry::Instance().ClassOf(*current);
  const TPropertyInfo* property = info ? info->FindProperty(part) : nullptr;
  if (!property) return {};
  switch (property->Kind) {
    case TPropertyKind::Object:
    case TPropertyKind::StringList:
    case TPropertyKind::Collection: return {true, property->GetObject(*current)};
    case TPropertyKind::Reference: return {true, property->GetReference(*current)};
    default: return {};
  }
}

const TPropertyInfo* FindPublished(const TPersistent& object, const std::string& name) {
  const TClassInfo* info = TPropertyRegistry::Instance().ClassOf(object);
  return info ? info->FindProperty(name) : nullptr;
}

Variant PublishedValue(const TPersistent& object, const TPropertyInfo& property) {
  const Variant value = property.Get(object);
  switch (property.Kind) {
    case TPropertyKind::Ordinal: return Variant(static_cast<long long>(value.AsInteger()));
    case TPropertyKind::Enumeration:
    case TPropertyKind::Set: return Variant(property.EnumText(value.AsInteger()));
    case TPropertyKind::Int64: return Variant(static_cast<double>(value.AsInteger()));
    default: return value;
  }
}

[[noreturn]] void InvalidValue(const TPropertyInfo& property, const std::string& text) {
  throw ERLParserError(Format("Invalid value \"%s\" for property %s", {text, property.Name}));
}

long long EnumerationValue(const TPropertyInfo& property, const Variant& value) {
  if (value.VarType() == Variant::Type::String) {
    const int index = property.EnumValue(Trim(value.AsString()));
    if (index < 0) InvalidValue(property, value.AsString());
    return index;
  }
  const long long index = value.AsInteger();
  if (index < 0 || static_cast<std::size_t>(index) >= property.EnumNames.size())
    InvalidValue(property, value.AsString());
  return index;
}

// "[fsBold, fsItalic]" or "fsBold,fsItalic" to a bit mask.
long long SetValue(const TPropertyInfo& property, const std::string& text) {
  std::string inner = Trim(text);
  if (!inner.empty() && inner.front() == '[') inner.erase(0, 1);
  if (!inner.empty() && inner.back() == ']') inner.pop_back();
  unsigned long long mask = 0;
  if (Trim(inner).empty()) return 0;
  for (const std::string& piece : SplitText(inner, ',')) {
    const int index = property.EnumValue(Trim(piece));
    if (index < 0 || index >= 64) InvalidValue(property, text);
    mask |= 1ull << index;
  }
  return static_cast<long long>(mask);
}

void SetPublished(TPersistent& object, const TPropertyInfo& property, const Variant& value) {
  switch (property.Kind) {
    case TPropertyKind::Ordinal: {
      if (value.VarType() == Variant::Type::String) {
        for (const auto& [number, name] : property.ValueNames) {
          if (SameText(name, Trim(value.AsString()))) return property.Set(object, Variant(number));
        }
      }
      return property.Set(object, Variant(static_cast<long long>(value.AsInteger())));
    }
    case TPropertyKind::Enumeration: return property.Set(object, Variant(EnumerationValue(property, value)));
    case TPropertyKind::Set: return property.Set(object, Variant(SetValue(property, value.AsString())));
    case TPropertyKind::Float: return property.Set(object, Variant(value.AsFloat()));
    case TPropertyKind::String:
    case TPropertyKind::Symbol: return property.Set(object, Variant(value.AsString()));
    case TPropertyKind::Boolean: return property.Set(object, Variant(value.AsBoolean()));
    case TPropertyKind::Variant: return property.Set(object, value);
    case TPropertyKind::Int64: return property.Set(object, Variant(static_cast<long long>(value.AsInteger())));
    default: throw ERLParserError(Format("Property %s cannot be assigned", {property.Name}));
  }
}

}  // namespace

// Counts nested evaluations for as long as one runs.
class TRLExpressionParser::TEvalGuard {
public:
  TEvalGuard(TRLExpressionParser& parser, int position) : parser_(parser) {
    if (parser_.eval_depth_ >= kMaxEvalDepth) Fail("Expression nested too deeply", position);
    ++parser_.eval_depth_;
  }
  ~TEvalGuard() { --parser_.eval_depth_; }
  TEvalGuard(const TEvalGuard&) = delete;
  TEvalGuard& operator=(const TEvalGuard&) = delete;

private:
  TRLExpressionParser& parser_;
};

Variant TRLExpressionParser::EvaluateNode(const TRLParserNode* node) {
  TEvalGuard guard(*this, node->Position());
  switch (node->Kind()) {
    case nkNumber:
    case nkString: return node->Value();
    case nkIdentifier: return Resolve(node);
    case nkAssign: return Assign(node);
    case nkBlock: {
      Variant result;
      for (int i = 0; i < node->ChildCount(); ++i) result = EvaluateNode(node->Children(i));
      return result;
    }
    default: return EvaluateOperator(node);
  }
}

namespace {

bool IsOperator(TRLParserNodeKind kind) { return kind >= nkAdd && kind <= nkAnd; }
bool IsUnary(TRLParserNodeKind kind) { return kind == nkPlus || kind == nkMinus || kind == nkNot; }

Variant ApplyUnary(TRLParserNodeKind kind, Variant operand) {
  if (kind == nkMinus) return VarNeg(operand);
  if (kind == nkNot) return VarNot(operand);
  return operand;
}

Variant ApplyBinary(const TRLParserNode* node, const Variant& left, const Variant& right) {
  switch (node->Kind()) {
    case nkAdd: return VarAdd(left, right);
    case nkSubtract: return VarSub(left, right);
    case nkMultiply: return VarMul(left, right);
    case nkDivide: return VarDiv(left, right);
    case nkPower: return VarPower(left, right);
    case nkRoot: return VarPower(left, VarDiv(Variant(1.0), right));
    case nkGreater: return Variant(left.Compare(right) > 0);
    case nkLess: return Variant(left.Compare(right) < 0);
    case nkEqual: return Variant(left == right);
    case nkDifferent: return Variant(left != right);
    case nkGreaterEqual: return Variant(left.Compare(right) >= 0);
    case nkLessEqual: return Variant(left.Compare(right) <= 0);
    case nkOr: return VarOr(left, right);
    case nkAnd: return VarAnd(left, right);
    default: Fail("Operand expected", node->Position());
  }
}

}  // namespace

// The operators below `top` are walked with a stack of their own, so that a long chain costs no recursion; every
// operand, left one first, is evaluated before its operator applies.
Variant TRLExpressionParser::EvaluateOperator(const TRLParserNode* top) {
  struct TFrame {
    const TRLParserNode* node;
    int next;  // the operand to evaluate next
  };
  std::vector<TFrame> frames{{top, 0}};
  std::vector<Variant> values;
  while (!frames.empty()) {
    const TRLParserNode* node = frames.back().node;
    const bool unary = IsUnary(node->Kind());
    const int arity = unary ? 1 : 2;
    const int next = frames.back().next;
    if (next == 0 && node->ChildCount() != arity) Fail("Operand expected", node->Position());
    if (next < arity) {
      ++frames.back().next;
      const TRLParserNode* operand = node->Children(next);
      if (IsOperator(operand->Kind())) {
        frames.push_back({operand, 0});
      } else {
        values.push_back(EvaluateNode(operand));
      }
      continue;
    }
    frames.pop_back();
    if (unary) {
      values.back() = ApplyUnary(node->Kind(), std::move(values.back()));
    } else {
      Variant right = std::move(values.back());
      values.pop_back();
      values.back() = ApplyBinary(node, values.back(), right);
    }
  }
  return std::move(values.back());
}

Variant TRLExpressionParser::Assign(const TRLParserNode* node) {
  if (node->ChildCount() != 2 || node->Children(0)->Kind() != nkIdentifier) {
    throw ERLParserError("Left side cannot be Assigned");
  }
  const std::string name = node->Children(0)->Value().AsString();
  Variant value = EvaluateNode(node->Children(1));
  if (options_.Contains(poScanComponents) && WritePath(name, value)) return value;
  variables_.Assign(name, value);
  return value;
}

Variant TRLExpressionParser::Resolve(const TRLParserNode* node) {
  const std::string name = node->Value().AsString();
  if (SameText(name, "if")) {
    if (node->ChildCount() != 3) throw ERLParserError("Wrong number of arguments");
    const bool condition = EvaluateNode(node->Children(0)).AsBoolean();
    return EvaluateNode(node->Children(condition ? 1 : 2));
  }

  Variant params;
  if (node->ChildCount() > 0) {
    std::vector<Variant> args;
    args.reserve(static_cast<std::size_t>(node->ChildCount()));
    for (int i = 0; i < node->ChildCount(); ++i) args.push_back(EvaluateNode(node->Children(i)));
    params = Variant(std::move(args));
  }

  Variant result;
  if (OnIdentifier) {
    OnIdentifier(this, name, params, result);
    if (!result.IsEmpty()) return result;
  }
  if (params_) {
    for (const TParam& param : *params_) {
      if (SameText(param.name, name) && !param.value.IsEmpty()) return param.value;
    }
  }
  if (TRLParserFunction* function = functions_.Find(name)) {
    result = CallFunction(*function, params);
    if (!result.IsEmpty()) return result;
  }
  if (const TRLParserValue* variable = variables_.Find(name); variable && !variable->Value().IsEmpty()) {
    return variable->Value();
  }
  result = Builtin(name, params);
  if (!result.IsEmpty()) return result;
  if (binding_.Identifier) {
    result = binding_.Identifier(name, params);
    if (!result.IsEmpty()) return result;
  }
  if (options_.Contains(poScanComponents)) {
    result = ReadPath(name);
    if (!result.IsEmpty()) return result;
  }
  if (OnUnknown) {
    result = Variant();
    OnUnknown(this, name, params, result);
    if (!result.IsEmpty()) return result;
  }
  throw ERLParserError("Undefined identifier \"" + name + "\"");
}

Variant TRLExpressionParser::Builtin(const std::string& name, const Variant& params) const {
  if (SameText(name, "pi")) return Variant(std::numbers::pi);
  if (SameText(name, "true")) return Variant(true);
  if (SameText(name, "false")) return Variant(false);
  if (SameText(name, "null")) return Variant::Null();
  const bool minor = SameText(name, "minor");
  if (minor || SameText(name, "major")) {
    if (!params.IsArray()) return params;
    Variant best;
    for (const Variant& value : params.AsArray()) {
      if (best.IsEmpty() || (minor ? value.Compare(best) < 0 : value.Compare(best) > 0)) best = value;
    }
    return best;
  }
  return {};
}

Variant TRLExpressionParser::CallFunction(TRLParserFunction& function, const Variant& params) {
  if (!function.Tree) function.Tree = Parse(function.Body);
  // Held here: a handler may replace the function while its body runs.
  std::shared_ptr<const TRLParserNode> tree = function.Tree;
  std::vector<TParam> values;
  for (std::size_t i = 0; i < function.Params.size(); ++i) {
    Variant value;
    if (params.IsArray()) {
      if (i < params.AsArray().size()) value = params.AsArray()[i];
    } else if (i == 0) {
      value = params;
    }
    values.push_back({function.Params[i], std::move(value)});
  }
  if (!tree) return {};
  TScopedValueRollback<const std::vector<TParam>*> restore(params_, &values);
  return EvaluateNode(tree.get());
}

Variant TRLExpressionParser::ReadPath(const std::string& path) {
  TPersistent* current = Owner();
  if (!current) return {};
  const std::vector<std::string> parts = SplitText(path, '.');
  std::string property;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    if (parts[i].empty()) return {};
    const TStep step = StepInto(current, parts[i], binding_);
    if (step.found) {
      if (!step.object) return last ? Variant("nil") : Variant();
      current = step.object;
    } else if (last) {
      property = parts[i];
    } else {
      return {};
    }
  }
  if (binding_.GetValue) {
    Variant value = binding_.GetValue(current, property);
    if (!value.IsEmpty()) return value;
  }
  if (property.empty()) return Variant("[" + current->ClassName() + "]");
  const TPropertyInfo* info = FindPublished(*current, property);
  return info && info->IsScalar() ? PublishedValue(*current, *info) : Variant();
}

bool TRLExpressionParser::WritePath(const std::string& path, const Variant& value) {
  TPersistent* current = Owner();
  if (!current) return false;
  const std::vector<std::string> parts = SplitText(path, '.');
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i].empty()) return false;
    const TStep step = StepInto(current, parts[i], binding_);
    if (!step.found || !step.object) return false;
    current = step.object;
  }
  const std::string& name = parts.back();
  if (name.empty()) return false;
  if (binding_.SetValue && binding_.SetValue(current, name, value)) return true;
  const TPropertyInfo* info = FindPublished(*current, name);
  if (!info) return false;
  SetPublished(*current, *info, value);
  return true;
}
