#pragma once

// The expression parser: formulas written as text (arithmetic, comparisons, logic, texts, variables, blocks, the
// conditional "if" and identifiers that name dataset fields, components and their published properties),
// evaluated over variants.

#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/Sets.h"
#include "core/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TRLParserTokenKind {
  tkNull,  // end of the text
  tkUnknown,
  tkIdentifier,
  tkValue,    // a number
  tkLiteral,  // a quoted text
  tkOperator,
  tkEnterBrackets,
  tkExitBrackets,
  tkBracketsBreak,
  tkCodeEnter,
  tkCodeBreak,
  tkCodeExit
};

enum TRLParserOption { poScanComponents };
using TRLParserOptions = TSet<TRLParserOption>;

enum TRLParserNodeKind {
  nkIdentifier,
  nkNumber,
  nkString,
  nkAdd,
  nkSubtract,
  nkMultiply,
  nkDivide,
  nkPower,
  nkRoot,
  nkPlus,
  nkMinus,
  nkNot,
  nkGreater,
  nkLess,
  nkEqual,
  nkDifferent,
  nkGreaterEqual,
  nkLessEqual,
  nkOr,
  nkAnd,
  nkAssign,
  nkBlock
};

class TRLExpressionParser;

// Syntax errors, undefined identifiers and the other faults of a formula.
class ERLParserError : public Exception {
  using Exception::Exception;
};

// One node of a parsed formula. Operands are leaves; operators hold their operands in order; an identifier holds
// its arguments; a block holds its statements.
class TRLParserNode {
public:
  TRLParserNode(TRLParserNodeKind kind, Variant value, int priority, int position);
  // Frees the subtree without recursion, however deep it is.
  ~TRLParserNode();
  TRLParserNode(const TRLParserNode&) = delete;
  TRLParserNode& operator=(const TRLParserNode&) = delete;

  TRLParserNodeKind Kind() const { return kind_; }
  // The identifier's name, the number or the text.
  const Variant& Value() const { return value_; }
  int Priority() const { return priority_; }
  void SetPriority(int value) { priority_ = value; }
  // A complete bracketed or top-level expression, which then behaves as an operand.
  bool Sealed() const { return sealed_; }
  void Seal() { sealed_ = true; }
  // Where the node's token starts in the text, counting from 1.
  int Position() const { return position_; }

  TRLParserNode* Parent() const { return parent_; }
  int ChildCount() const { return static_cast<int>(children_.size()); }
  TRLParserNode* Children(int index) const { return children_.at(static_cast<std::size_t>(index)).get(); }
  TRLParserNode* LastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
  void Add(std::unique_ptr<TRLParserNode> child);
  // Puts `node` where `child` stands and hands `child` back.
  std::unique_ptr<TRLParserNode> Replace(TRLParserNode* child, std::unique_ptr<TRLParserNode> node);

private:
  TRLParserNodeKind kind_;
  Variant value_;
  int priority_;
  bool sealed_ = false;
  int position_;
  TRLParserNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TRLParserNode>> children_;
};

// A variable of the parser. Names compare case-insensitively.
class TRLParserValue : public TPersistent {
public:
  TRLParserValue(TRLExpressionParser* owner, std::string name, Variant value)
      : owner_(owner), name_(std::move(name)), value_(std::move(value)) {}
  TRLExpressionParser* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& value) { value_ = value; }

private:
  TRLExpressionParser* owner_;
  std::string name_;
  Variant value_;
};

class TRLParserValueList {
public:
  explicit TRLParserValueList(TRLExpressionParser* owner) : owner_(owner) {}
  int Count() const { return static_cast<int>(items_.size()); }
  TRLParserValue* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
  TRLParserValue* Find(std::string_view name) const;
  // Replaces a variable of the same name.
  TRLParserValue* Assign(const std::string& name, const Variant& value);
  void Remove(std::string_view name);
  void Clear() { items_.clear(); }

private:
  TRLExpressionParser* owner_;
  std::vector<std::unique_ptr<TRLParserValue>> items_;
};

// A function written as a formula over named parameters; its body is parsed on its first call.
struct TRLParserFunction {
  std::string Name;
  std::vector<std::string> Params;
  std::string Body;
  std::shared_ptr<const TRLParserNode> Tree;
};

class TRLParserFunctionList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TRLParserFunction& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  TRLParserFunction* Find(std::string_view name) const;
  // Replaces a function of the same name.
  TRLParserFunction& Add(const std::string& name, std::vector<std::string> params, const std::string& body);
  void Clear() { items_.clear(); }

private:
  std::vector<std::unique_ptr<TRLParserFunction>> items_;
};

using TRLParserOnIdentifierEvent =
    std::function<void(TObject* sender, const std::string& identifier, const Variant& params, Variant& result)>;
using TRLParserOnTokenEvent = std::function<void(TObject* sender, std::string& token, TRLParserTokenKind& kind)>;
using TRLParserOnException = std::function<void(TObject* sender, Exception& e, Variant& result)>;

// What the component that adopts the parser (a report) lends it. Each hook is optional; an empty result (or
// false) leaves the question to the parser's own rules.
struct TRLParserBinding {
  // Who set the binding: only the same binder undoes it.
  const void* Binder = nullptr;
  // Values for plain identifiers, asked after the parser's variables and built-ins.
  std::function<Variant(const std::string& identifier, const Variant& params)> Identifier;
  // Sees every token before OnToken does.
  std::function<void(std::string& token, TRLParserTokenKind& kind)> Token;
  // One step of a component path: what `name` names inside `current`, or null.
  std::function<TPersistent*(TPersistent* current, const std::string& name)> FindComponent;
  // Sets what `name` names in `object`; true when done.
  std::function<bool(TPersistent* object, const std::string& name, const Variant& value)> SetValue;
  // The value of `name` in `object`, or of the object itself when `name` is empty.
  std::function<Variant(TPersistent* object, const std::string& name)> GetValue;
};

class TRLExpressionParser : public TComponent {
public:
  // Deeper brackets, blocks, operator chains or nested calls are refused with an error.
  static constexpr int MaxDepth = 256;

  explicit TRLExpressionParser(TComponent* owner);
  ~TRLExpressionParser() override;

  // ---- Published ----
  const std::string& Expression() const { return expression_; }
  // A different text drops the parsed tree of the previous one.
  void SetExpression(const std::string& value);
  TRLParserOptions Options() const { return options_; }
  void SetOptions(TRLParserOptions value) { options_ = value; }
  TRLParserOnIdentifierEvent OnIdentifier;
  TRLParserOnIdentifierEvent OnUnknown;
  TRLParserOnTokenEvent OnToken;
  TRLParserOnException OnException;

  // Parses and evaluates `text`. Faults raise ERLParserError (or the error of the operation that failed) unless
  // OnException takes them, in which case its result is the value.
  Variant Evaluate(const std::string& text);
  // The value of Expression, parsed once while it stays the same.
  Variant Value();

  // Variables live from one evaluation to the next until Clear.
  TRLParserValueList& Variables() { return variables_; }
  TRLParserFunctionList& Functions() { return functions_; }
  void Clear() { variables_.Clear(); }

  const TRLParserBinding& Binding() const { return binding_; }
  // Replaces any earlier binding.
  void Bind(TRLParserBinding binding) { binding_ = std::move(binding); }
  // Drops the binding when `binder` set it.
  void Unbind(const void* binder);

  // Parses `text` into a tree (null for a text without any expression).
  std::unique_ptr<TRLParserNode> Parse(const std::string& text);

private:
  struct TParam {
    std::string name;
    Variant value;
  };
  class TEvalGuard;

  Variant Guarded(const std::function<Variant()>& evaluate);
  Variant EvaluateNode(const TRLParserNode* node);
  Variant EvaluateOperator(const TRLParserNode* node);
  Variant Assign(const TRLParserNode* node);
  Variant Resolve(const TRLParserNode* node);
  Variant Builtin(const std::string& name, const Variant& params) const;
  Variant CallFunction(TRLParserFunction& function, const Variant& params);
  Variant ReadPath(const std::string& path);
  bool WritePath(const std::string& path, const Variant& value);
  void OfferToken(std::string& token, TRLParserTokenKind& kind);
  friend class TRLParserReader;

  TRLParserFunctionList functions_;
  TRLParserValueList variables_;
  std::shared_ptr<const TRLParserNode> tree_;
  bool tree_parsed_ = false;
  std::string expression_;
  TRLParserOptions options_{poScanComponents};
  // The parameters of the user function being evaluated; null outside one.
  const std::vector<TParam>* params_ = nullptr;
  int eval_depth_ = 0;
  TRLParserBinding binding_;
};

// Registers the parser's published properties for stored definitions; safe to call more than once.
void RegisterExpressionParserClass();
