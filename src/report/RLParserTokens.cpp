// Reading a formula: tokens and the tree built from them.

#include "core/Text.h"
#include "report/RLParser.h"

#include <charconv>

namespace {

struct TToken {
  std::string text;
  TRLParserTokenKind kind = tkNull;
  int position = 0;  // of the first character, counting from 1
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Bytes of multi-byte characters count as letters, so that names may carry accents.
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

[[noreturn]] void Fail(const char* what, int position) {
  throw ERLParserError(std::string(what) + " at " + std::to_string(position) + "!");
}

struct TOperatorInfo {
  TRLParserNodeKind kind;
  int priority;
};

constexpr int kLeafPriority = 255;

bool BinaryOperator(const std::string& op, TOperatorInfo& info) {
  static const struct {
    const char* text;
    TOperatorInfo info;
  } table[] = {
      {"+", {nkAdd, 9}},        {"-", {nkSubtract, 10}}, {"*", {nkMultiply, 11}},  {"/", {nkDivide, 12}},
      {"^", {nkPower, 13}},     {"\\", {nkRoot, 14}},    {">", {nkGreater, 3}},    {"<", {nkLess, 4}},
      {"=", {nkEqual, 1}},      {"#", {nkDifferent, 2}}, {"<>", {nkDifferent, 2}}, {">=", {nkGreaterEqual, 5}},
      {"<=", {nkLessEqual, 6}}, {"|", {nkOr, 7}},        {"&", {nkAnd, 8}},        {":=", {nkAssign, 0}},
  };
  for (const auto& entry : table) {
    if (op == entry.text) {
      info = entry.info;
      return true;
    }
  }
  return false;
}

bool UnaryOperator(const std::string& op, TOperatorInfo& info) {
  if (op == "+") info = {nkPlus, 15};
  else if (op == "-") info = {nkMinus, 16};
  else if (op == "!") info = {nkNot, 17};
  else return false;
  return true;
}

// Powers and assignments group to the right; every other binary operator to the left.
bool GroupsRight(TRLParserNodeKind kind) { return kind == nkPower || kind == nkAssign; }

}  // namespace

// Splits a formula into tokens, offering each to the parser's token hooks.
class TRLParserReader {
public:
  TRLParserReader(TRLExpressionParser& parser, const std::string& text) : parser_(parser), text_(text) {}

  TToken Next() {
    if (pushed_) {
      pushed_ = false;
      return back_;
    }
    TToken token = Read();
    if (token.kind == tkIdentifier || token.kind == tkValue || token.kind == tkLiteral || token.kind == tkOperator ||
        token.kind == tkUnknown) {
      parser_.OfferToken(token.text, token.kind);
    }
    return token;
  }
  void PushBack(TToken token) {
    back_ = std::move(token);
    pushed_ = true;
  }
  int Position() const { return static_cast<int>(pos_) + 1; }

private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }

  TToken Read() {
    SkipBlanks();
    TToken token;
    token.position = Position();
    if (AtEnd()) return token;
    const char c = text_[pos_];
    if (IsLetter(c) || c == '_') return Identifier(token);
    if (IsDigit(c)) return Number(token);
    if (c == '"' || c == '\'') return Literal(token, c);
    ++pos_;
    token.text = std::string(1, c);
    switch (c) {
      case '(': token.kind = tkEnterBrackets; return token;
      case ')': token.kind = tkExitBrackets; return token;
      case ',': token.kind = tkBracketsBreak; return token;
      case '{': token.kind = tkCodeEnter; return token;
      case ';': token.kind = tkCodeBreak; return token;
      case '}': token.kind = tkCodeExit; return token;
      case '<':
      case '>': {
        token.kind = tkOperator;
        const std::size_t after = pos_;
        SkipBlanks();
        if (Peek() == '=' || (c == '<' && Peek() == '>')) token.text += text_[pos_++];
        else pos_ = after;
        return token;
      }
      case ':':
        if (Peek() == '=') {
          ++pos_;
          token.text = ":=";
          token.kind = tkOperator;
        } else {
          token.kind = tkUnknown;
        }
        return token;
      case '!':
      case '#':
      case '&':
      case '*':
      case '+':
      case '-':
      case '/':
      case '=':
      case '\\':
      case '^':
      case '|': token.kind = tkOperator; return token;
      default: token.kind = tkUnknown; return token;
    }
  }

  TToken Identifier(TToken& token) {
    const std::size_t start = pos_;
    while (!AtEnd() && (IsLetter(text_[pos_]) || IsDigit(text_[pos_]) || text_[pos_] == '_' || text_[pos_] == '.')) {
      ++pos_;
    }
    token.text = text_.substr(start, pos_ - start);
    token.kind = tkIdentifier;
    static const struct {
      const char* word;
      const char* text;
      TRLParserTokenKind kind;
    } words[] = {{"not", "!", tkOperator}, {"and", "&", tkOperator},    {"or", "|", tkOperator},
                 {"div", "/", tkOperator}, {"begin", "{", tkCodeEnter}, {"end", "}", tkCodeExit}};
    for (const auto& w : words) {
      if (SameText(token.text, w.word)) {
        token.text = w.text;
        token.kind = w.kind;
        break;
      }
    }
    return token;
  }

  TToken Number(TToken& token) {
    const std::size_t start = pos_;
    bool point = false, exponent = false, sign = false, exponent_digits = false;
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (IsDigit(c)) {
        if (exponent) exponent_digits = true;
      } else if (c == '.') {
        if (point || exponent) Fail("Incorrect number format", Position());
        point = true;
      } else if (c == 'E' || c == 'e') {
        if (exponent) Fail("Incorrect number format", Position());
        exponent = true;
      } else if ((c == '+' || c == '-') && exponent && !exponent_digits) {
        if (sign) Fail("Incorrect number format", Position());
        sign = true;
      } else {
        break;
      }
      ++pos_;
    }
    token.text = text_.substr(start, pos_ - start);
    token.kind = tkValue;
    // An exponent letter without digits after it ("1e", "2e+") is no number either.
    double value = 0;
    auto [end, error] = std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
    if (error != std::errc() || end != token.text.data() + token.text.size())
      Fail("Incorrect number format", Position());
    return token;
  }

  TToken Literal(TToken& token, char quote) {
    ++pos_;
    for (;;) {
      while (!AtEnd() && text_[pos_] != quote) token.text += text_[pos_++];
      if (AtEnd()) break;
      ++pos_;
      const std::size_t after = pos_;
      SkipBlanks();
      if (Peek() != quote) {
        pos_ = after;
        break;
      }
      token.text += quote;
      ++pos_;
    }
    token.kind = tkLiteral;
    return token;
  }

  TRLExpressionParser& parser_;
  const std::string& text_;
  std::size_t pos_ = 0;
  TToken back_;
  bool pushed_ = false;
};

namespace {

// Builds the tree of one expression and of the brackets and blocks inside it.
class TTreeBuilder {
public:
  explicit TTreeBuilder(TRLParserReader& reader) : reader_(reader) {}

  // The whole text: statements separated by ";" form a block.
  std::unique_ptr<TRLParserNode> Build() {
    TToken end;
    auto first = Expression(0, end);
    if (end.kind != tkCodeBreak) {
      CheckEnd(end);
      return first;
    }
    auto block = std::make_unique<TRLParserNode>(nkBlock, Variant(), kLeafPriority, 1);
    if (first) block->Add(std::move(first));
    while (end.kind == tkCodeBreak) {
      if (auto next = Expression(0, end)) block->Add(std::move(next));
    }
    CheckEnd(end);
    block->Seal();
    return block;
  }

private:
  // What may close the whole text: only its end.
  static void CheckEnd(const TToken& end) {
    switch (end.kind) {
      case tkExitBrackets: Fail("Brackets expected", end.position);
      case tkBracketsBreak: Fail("Parameter list not suported", end.position);
      case tkCodeExit: Fail("Inline expected", end.position);
      default: break;
    }
  }

  // One expression, up to ")", ",", ";", "}" or the end of the text, which is handed back in `end`.
  std::unique_ptr<TRLParserNode> Expression(int depth, TToken& end) {
    if (depth > TRLExpressionParser::MaxDepth) Fail("Expression nested too deeply", reader_.Position());
    std::unique_ptr<TRLParserNode> root;
    TRLParserNode* current = nullptr;
    bool operand_expected = true;

    // An operand or a prefix operator goes below the current operator (or becomes the root).
    auto attach = [&](std::unique_ptr<TRLParserNode> node) {
      TRLParserNode* added = node.get();
      if (current) current->Add(std::move(node));
      else root = std::move(node);
      return added;
    };
    auto is_call = [&] { return current && current->Kind() == nkIdentifier && !operand_expected; };

    for (;;) {
      TToken token = reader_.Next();
      switch (token.kind) {
        case tkNull:
        case tkExitBrackets:
        case tkBracketsBreak:
        case tkCodeBreak:
        case tkCodeExit:
          if (operand_expected && root) Fail("Operand expected", token.position);
          if (root) {
            root->SetPriority(kLeafPriority);
            root->Seal();
          }
          end = std::move(token);
          return root;

        case tkUnknown: break;

        case tkIdentifier:
        case tkValue:
        case tkLiteral: {
          if (!operand_expected) Fail("Operator expected", token.position);
          std::unique_ptr<TRLParserNode> leaf;
          if (token.kind == tkIdentifier) {
            leaf = std::make_unique<TRLParserNode>(nkIdentifier, Variant(token.text), kLeafPriority, token.position);
          } else if (token.kind == tkValue) {
            double value = 0;
            std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
            leaf = std::make_unique<TRLParserNode>(nkNumber, Variant(value), kLeafPriority, token.position);
          } else {
            leaf = std::make_unique<TRLParserNode>(nkString, Variant(token.text), kLeafPriority, token.position);
          }
          current = attach(std::move(leaf));
          operand_expected = false;
          break;
        }

        case tkOperator: {
          TOperatorInfo info{};
          if (operand_expected) {
            if (!UnaryOperator(token.text, info)) Fail("Operand expected", token.position);
            current = attach(std::make_unique<TRLParserNode>(info.kind, Variant(), info.priority, token.position));
            break;
          }
          if (!BinaryOperator(token.text, info)) Fail("Operand expected", token.position);
          auto node = std::make_unique<TRLParserNode>(info.kind, Variant(), info.priority, token.position);
          current = Place(root, current, std::move(node));
          operand_expected = true;
          break;
        }

        case tkEnterBrackets: {
          const bool call = is_call();
          if (!operand_expected && !call) Fail("Operator expected", token.position);
          for (;;) {
            TToken close;
            auto inner = Expression(depth + 1, close);
            if (close.kind == tkBracketsBreak) {
              if (!call) Fail("Parameter list not suported", close.position);
            } else if (close.kind != tkExitBrackets) {
              Fail("Brackets expected", close.position);
            }
            if (inner) {
              if (call) {
                current->Add(std::move(inner));
              } else {
                current = attach(std::move(inner));
                operand_expected = false;
              }
            }
            if (close.kind == tkExitBrackets) break;
          }
          break;
        }

        case tkCodeEnter: {
          const bool call = is_call();
          if (!operand_expected && !call) Fail("Operator expected", token.position);
          if (depth + 1 > TRLExpressionParser::MaxDepth) Fail("Expression nested too deeply", token.position);
          auto block = std::make_unique<TRLParserNode>(nkBlock, Variant(), kLeafPriority, token.position);
          TRLParserNode* added = block.get();
          for (;;) {
            TToken close;
            if (auto statement = Expression(depth + 1, close)) added->Add(std::move(statement));
            if (close.kind == tkCodeExit) break;
            if (close.kind != tkCodeBreak) Fail("Inline expected", close.position);
          }
          added->Seal();
          if (call) {
            current->Add(std::move(block));
          } else {
            current = attach(std::move(block));
            operand_expected = false;
          }
          break;
        }
      }
    }
  }

  // Places a binary operator after the operand `current`: it climbs while the nodes above bind at least as tightly
  // (more tightly, for the operators that group to the right) and takes the operand of the node it stops below.
  static TRLParserNode* Place(std::unique_ptr<TRLParserNode>& root, TRLParserNode* current,
                              std::unique_ptr<TRLParserNode> node) {
    const int p = node->Priority();
    const bool right = GroupsRight(node->Kind());
    auto yields = [&](const TRLParserNode* n) { return right ? n->Priority() > p : n->Priority() >= p; };
    TRLParserNode* reached = current;
    TRLParserNode* below = nullptr;
    while (yields(reached) && reached->Parent()) {
      below = reached;
      reached = reached->Parent();
    }
    TRLParserNode* placed = node.get();
    if (yields(reached)) {
      if (TRLParserNode* parent = reached->Parent()) {
        placed->Add(parent->Replace(reached, std::move(node)));
      } else {
        std::unique_ptr<TRLParserNode> old = std::move(root);
        root = std::move(node);
        placed->Add(std::move(old));
      }
    } else if (below) {
      placed->Add(reached->Replace(below, std::move(node)));
    } else {
      reached->Add(std::move(node));
    }
    return placed;
  }

  TRLParserReader& reader_;
};

}  // namespace

std::unique_ptr<TRLParserNode> TRLExpressionParser::Parse(const std::string& text) {
  TRLParserReader reader(*this, text);
  auto tree = TTreeBuilder(reader).Build();
  // Nesting is what brackets, argument lists, blocks and prefix operators make; a chain of operators, however long,
  // is evaluated without recursion and does not count.
  auto nests = [](const TRLParserNode* node) {
    const TRLParserNodeKind kind = node->Kind();
    return node->Sealed() || kind == nkBlock || kind == nkPlus || kind == nkMinus || kind == nkNot;
  };
  std::vector<std::pair<const TRLParserNode*, int>> pending;
  if (tree) pending.emplace_back(tree.get(), 0);
  while (!pending.empty()) {
    auto [node, depth] = pending.back();
    pending.pop_back();
    if (nests(node) && ++depth > MaxDepth) Fail("Expression nested too deeply", node->Position());
    for (int i = 0; i < node->ChildCount(); ++i) pending.emplace_back(node->Children(i), depth);
  }
  return tree;
}
