#include "report/RLParser.h"

#include "core/Properties.h"
#include "core/Text.h"

#include <algorithm>
#include <mutex>

// ---- Nodes ----

TRLParserNode::TRLParserNode(TRLParserNodeKind kind, Variant value, int priority, int position)
    : kind_(kind), value_(std::move(value)), priority_(priority), position_(position) {}

TRLParserNode::~TRLParserNode() {
  std::vector<std::unique_ptr<TRLParserNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TRLParserNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
}

void TRLParserNode::Add(std::unique_ptr<TRLParserNode> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
}

std::unique_ptr<TRLParserNode> TRLParserNode::Replace(TRLParserNode* child, std::unique_ptr<TRLParserNode> node) {
  auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == child; });
  if (it == children_.end()) throw EInvalidOperation("The node to replace is no child of this one");
  std::unique_ptr<TRLParserNode> old = std::move(*it);
  node->parent_ = this;
  *it = std::move(node);
  old->parent_ = nullptr;
  return old;
}

// ---- Variables and functions ----

TRLParserValue* TRLParserValueList::Find(std::string_view name) const {
  for (const auto& item : items_) {
    if (SameText(item->Name(), name)) return item.get();
  }
  return nullptr;
}

TRLParserValue* TRLParserValueList::Assign(const std::string& name, const Variant& value) {
  Remove(name);
  items_.push_back(std::make_unique<TRLParserValue>(owner_, name, value));
  return items_.back().get();
}

void TRLParserValueList::Remove(std::string_view name) {
  std::erase_if(items_, [&](const auto& item) { return SameText(item->Name(), name); });
}

TRLParserFunction* TRLParserFunctionList::Find(std::string_view name) const {
  for (const auto& item : items_) {
    if (SameText(item->Name, name)) return item.get();
  }
  return nullptr;
}

TRLParserFunction& TRLParserFunctionList::Add(const std::string& name, std::vector<std::string> params,
                                              const std::string& body) {
  std::erase_if(items_, [&](const auto& item) { return SameText(item->Name, name); });
  auto function = std::make_unique<TRLParserFunction>();
  function->Name = name;
  function->Params = std::move(params);
  function->Body = body;
  items_.push_back(std::move(function));
  return *items_.back();
}

// ---- The parser ----

TRLExpressionParser::TRLExpressionParser(TComponent* owner) : TComponent(owner), variables_(this) {}

TRLExpressionParser::~TRLExpressionParser() = default;

void TRLExpressionParser::SetExpression(const std::string& value) {
  if (value == expression_) return;
  expression_ = value;
  tree_.reset();
  tree_parsed_ = false;
}

void TRLExpressionParser::Unbind(const void* binder) {
  if (binding_.Binder == binder) binding_ = TRLParserBinding();
}

void TRLExpressionParser::OfferToken(std::string& token, TRLParserTokenKind& kind) {
  if (binding_.Token) binding_.Token(token, kind);
  if (OnToken) OnToken(this, token, kind);
}

Variant TRLExpressionParser::Guarded(const std::function<Variant()>& evaluate) {
  try {
    return evaluate();
  } catch (Exception& e) {
    if (!OnException) throw;
    Variant result;
    OnException(this, e, result);
    return result;
  }
}

Variant TRLExpressionParser::Evaluate(const std::string& text) {
  return Guarded([&] {
    std::unique_ptr<TRLParserNode> tree = Parse(text);
    return tree ? EvaluateNode(tree.get()) : Variant();
  });
}

Variant TRLExpressionParser::Value() {
  return Guarded([&] {
    if (!tree_parsed_) {
      tree_ = Parse(expression_);
      tree_parsed_ = true;
    }
    // The tree stays alive even when a handler changes Expression while it is evaluated.
    std::shared_ptr<const TRLParserNode> tree = tree_;
    return tree ? EvaluateNode(tree.get()) : Variant();
  });
}

void RegisterExpressionParserClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterFrameworkClasses();
    static constexpr std::string_view kOptionNames[] = {"poScanComponents"};
    RegisterClass<TRLExpressionParser>("TRLExpressionParser", "TComponent")
        .String("Expression", &TRLExpressionParser::Expression, &TRLExpressionParser::SetExpression)
        .SetOf("Options", &TRLExpressionParser::Options, &TRLExpressionParser::SetOptions, kOptionNames,
               TRLParserOptions{poScanComponents}.Mask())
        .Event("OnIdentifier", &TRLExpressionParser::OnIdentifier)
        .Event("OnUnknown", &TRLExpressionParser::OnUnknown)
        .Event("OnToken", &TRLExpressionParser::OnToken)
        .Event("OnException", &TRLExpressionParser::OnException);
  });
}
