#include "core/Definitions.h"

#include "core/Properties.h"
#include "core/Text.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <vector>

EDefinitionError::EDefinitionError(int line, int column, const std::string& what)
    : Exception(Format("Line %d, column %d: %s", {line, column, what})), line_(line), column_(column) {}

const std::any* THandlerTable::Find(std::string_view name) const {
  for (const auto& [key, handler] : handlers_) {
    if (SameText(key, name)) return &handler;
  }
  return nullptr;
}

namespace {

// ---- Syntax -------------------------------------------------------------------------------------------------

struct Block;

struct Value {
  enum Kind { Ident, String, Integer, Float, List, Object } kind = Ident;
  std::string text;  // identifiers and strings
  long long integer = 0;
  double real = 0;
  std::vector<Value> items;
  std::shared_ptr<Block> block;
  int line = 0, column = 0;
};

struct Entry {
  enum Kind { Property, SubObject, Child } kind = Property;
  std::string name;
  std::string class_name;  // children
  Value value;             // properties
  std::shared_ptr<Block> block;
  int line = 0, column = 0;
};

struct Block {
  std::vector<Entry> entries;
};

struct Token {
  enum Kind { Ident, String, Integer, Float, LBrace, RBrace, LBracket, RBracket, Colon, Comma, End } kind = End;
  std::string text;
  long long integer = 0;
  double real = 0;
  int line = 1, column = 1;
};

const char* Describe(Token::Kind kind) {
  switch (kind) {
    case Token::Ident: return "a name";
    case Token::String: return "a text";
    case Token::Integer:
    case Token::Float: return "a number";
    case Token::LBrace: return "\"{\"";
    case Token::RBrace: return "\"}\"";
    case Token::LBracket: return "\"[\"";
    case Token::RBracket: return "\"]\"";
    case Token::Colon: return "\":\"";
    case Token::Comma: return "\",\"";
    case Token::End: return "the end of the text";
  }
  return "?";
}

class Lexer {
public:
  explicit Lexer(std::string_view text) : text_(text) {}

  Token Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    t.column = column_;
    if (pos_ >= text_.size()) return t;
    char c = text_[pos_];
    auto single = [&](Token::Kind kind) {
      Advance();
      t.kind = kind;
      return t;
    };
    switch (c) {
      case '{': return single(Token::LBrace);
      case '}': return single(Token::RBrace);
      case '[': return single(Token::LBracket);
      case ']': return single(Token::RBracket);
      case ':': return single(Token::Colon);
      case ',': return single(Token::Comma);
      case '"': return ReadString(t);
      default: break;
    }
    if (c == '-' || c == '+' || IsDigit(c)) return ReadNumber(t);
    if (IsIdentStart(c)) {
      t.kind = Token::Ident;
      while (pos_ < text_.size() && IsIdentPart(text_[pos_])) t.text += Advance();
      return t;
    }
    throw EDefinitionError(t.line, t.column, Format("unexpected character \"%s\"", {std::string(1, c)}));
  }

private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
  static bool IsIdentPart(char c) { return IsIdentStart(c) || IsDigit(c); }

  char Advance() {
    char c = text_[pos_++];
    if (c == '\n') {
      ++line_;
      column_ = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++column_;
    }
    return c;
  }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n') Advance();
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        Advance();
      } else {
        break;
      }
    }
  }

  Token ReadString(Token& t) {
    t.kind = Token::String;
    Advance();
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n')
        throw EDefinitionError(t.line, t.column, "text without its closing quote");
      char c = Advance();
      if (c == '"') return t;
      if (c != '\\') {
        t.text += c;
        continue;
      }
      if (pos_ >= text_.size()) throw EDefinitionError(line_, column_, "text without its closing quote");
      int line = line_, column = column_ - 1;
      char e = Advance();
      switch (e) {
        case '"': t.text += '"'; break;
        case '\\': t.text += '\\'; break;
        case 'n': t.text += '\n'; break;
        case 'r': t.text += '\r'; break;
        case 't': t.text += '\t'; break;
        case 'x': {
          int value = 0;
          for (int i = 0; i < 2; ++i) {
            char h = pos_ < text_.size() ? text_[pos_] : '\0';
            int digit = IsDigit(h)               ? h - '0'
                        : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                        : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                                 : -1;
            if (digit < 0) throw EDefinitionError(line, column, "\\x needs two hexadecimal digits");
            Advance();
            value = value * 16 + digit;
          }
          t.text += static_cast<char>(value);
          break;
        }
        default: throw EDefinitionError(line, column, Format("unknown escape \"\\%s\"", {std::string(1, e)}));
      }
    }
  }

  Token ReadNumber(Token& t) {
    std::string digits;
    if (text_[pos_] == '-' || text_[pos_] == '+') digits += Advance();
    bool real = false;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (IsDigit(c)) {
        digits += Advance();
      } else if (c == '.' || c == 'e' || c == 'E' ||
                 ((c == '-' || c == '+') && (digits.back() == 'e' || digits.back() == 'E'))) {
        real = true;
        digits += Advance();
      } else {
        break;
      }
    }
    const char* begin = digits.data() + (digits[0] == '+' ? 1 : 0);
    const char* end = digits.data() + digits.size();
    std::from_chars_result result{};
    if (real) {
      t.kind = Token::Float;
      result = std::from_chars(begin, end, t.real);
    } else {
      t.kind = Token::Integer;
      result = std::from_chars(begin, end, t.integer);
    }
    if (result.ec != std::errc() || result.ptr != end)
      throw EDefinitionError(t.line, t.column, Format("\"%s\" is not a number", {digits}));
    return t;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1, column_ = 1;
};

class Parser {
public:
  explicit Parser(std::string_view text) : lexer_(text) { Shift(); }

  Entry Document() {
    Entry root = ChildHeader();
    Expect(Token::End);
    return root;
  }

private:
  void Shift() {
    current_ = lookahead_valid_ ? lookahead_ : lexer_.Next();
    lookahead_valid_ = false;
  }
  const Token& Peek() {
    if (!lookahead_valid_) {
      lookahead_ = lexer_.Next();
      lookahead_valid_ = true;
    }
    return lookahead_;
  }
  Token Expect(Token::Kind kind) {
    if (current_.kind != kind) {
      throw EDefinitionError(current_.line, current_.column,
                             Format("%s expected, found %s", {Describe(kind), Describe(current_.kind)}));
    }
    Token t = current_;
    Shift();
    return t;
  }

  Entry ChildHeader() {
    Entry e;
    e.kind = Entry::Child;
    e.line = current_.line;
    e.column = current_.column;
    e.class_name = Expect(Token::Ident).text;
    e.name = Expect(Token::Ident).text;
    e.block = BlockBody();
    return e;
  }

  std::shared_ptr<Block> BlockBody() {
    Expect(Token::LBrace);
    auto block = std::make_shared<Block>();
    while (current_.kind != Token::RBrace) {
      if (current_.kind != Token::Ident) {
        throw EDefinitionError(current_.line, current_.column,
                               Format("a property or a component expected, found %s", {Describe(current_.kind)}));
      }
      Token::Kind next = Peek().kind;
      if (next == Token::Ident) {
        block->entries.push_back(ChildHeader());
        continue;
      }
      Entry e;
      e.line = current_.line;
      e.column = current_.column;
      e.name = current_.text;
      Shift();
      if (current_.kind == Token::LBrace) {
        e.kind = Entry::SubObject;
        e.block = BlockBody();
      } else {
        Expect(Token::Colon);
        e.kind = Entry::Property;
        e.value = ParseValue();
      }
      block->entries.push_back(std::move(e));
    }
    Expect(Token::RBrace);
    return block;
  }

  Value ParseValue() {
    Value v;
    v.line = current_.line;
    v.column = current_.column;
    switch (current_.kind) {
      case Token::Ident:
        v.kind = Value::Ident;
        v.text = current_.text;
        Shift();
        return v;
      case Token::String:
        v.kind = Value::String;
        v.text = current_.text;
        Shift();
        return v;
      case Token::Integer:
        v.kind = Value::Integer;
        v.integer = current_.integer;
        Shift();
        return v;
      case Token::Float:
        v.kind = Value::Float;
        v.real = current_.real;
        Shift();
        return v;
      case Token::LBrace:
        v.kind = Value::Object;
        v.block = BlockBody();
        return v;
      case Token::LBracket: {
        v.kind = Value::List;
        Shift();
        while (current_.kind != Token::RBracket) {
          v.items.push_back(ParseValue());
          if (current_.kind != Token::Comma) break;
          Shift();
        }
        Expect(Token::RBracket);
        return v;
      }
      default:
        throw EDefinitionError(current_.line, current_.column,
                               Format("a value expected, found %s", {Describe(current_.kind)}));
    }
  }

  Lexer lexer_;
  Token current_, lookahead_;
  bool lookahead_valid_ = false;
};

// ---- Reading ------------------------------------------------------------------------------------------------

[[noreturn]] void Fail(const Value& at, const std::string& what) { throw EDefinitionError(at.line, at.column, what); }

const char* Expected(TPropertyKind kind) {
  switch (kind) {
    case TPropertyKind::Ordinal:
    case TPropertyKind::Int64: return "a whole number";
    case TPropertyKind::Float: return "a number";
    case TPropertyKind::String: return "a text in double quotes";
    case TPropertyKind::Boolean: return "true or false";
    case TPropertyKind::Enumeration: return "one of its value names";
    case TPropertyKind::Set: return "a list of value names in brackets";
    case TPropertyKind::Variant: return "a text, a number, true, false or null";
    case TPropertyKind::Reference: return "the name of a component";
    case TPropertyKind::Event: return "the name of a handler";
    case TPropertyKind::StringList: return "a list of texts in brackets";
    case TPropertyKind::Collection: return "a list of blocks in brackets";
    case TPropertyKind::Object: return "a block";
    case TPropertyKind::Symbol: return "a name";
  }
  return "?";
}

class Reader {
public:
  Reader(TComponent& root, const THandlerTable& handlers) : root_(root), handlers_(handlers) {}

  void Read(std::string_view text) {
    Entry document = Parser(text).Document();
    const TClassInfo* info = TPropertyRegistry::Instance().ClassOf(root_);
    if (!info)
      throw EDefinitionError(document.line, document.column,
                             Format("class %s has no published properties", {root_.ClassName()}));
    if (!SameText(document.class_name, root_.ClassName())) {
      throw EDefinitionError(
          document.line, document.column,
          Format("the definition describes a %s, not a %s", {document.class_name, root_.ClassName()}));
    }
    root_.SetComponentStateFlag(csLoading, true);
    try {
      Guard(document.line, document.column, [&] { root_.SetName(document.name); });
      ApplyBlock(root_, *info, *document.block, &root_);
      ResolveReferences();
    } catch (...) {
      // Nothing half-built stays: the components made so far go, the last first.
      for (auto it = created_.rbegin(); it != created_.rend(); ++it) delete *it;
      root_.SetComponentStateFlag(csLoading, false);
      throw;
    }
    root_.Loaded();
    for (TComponent* c : created_) c->Loaded();
  }

private:
  template <class F>
  void Guard(int line, int column, F&& action) {
    try {
      action();
    } catch (const EDefinitionError&) {
      throw;
    } catch (const std::exception& e) {
      throw EDefinitionError(line, column, e.what());
    }
  }

  // `holder` is the component whose block this is (null inside sub-objects and collection items).
  void ApplyBlock(TPersistent& object, const TClassInfo& info, const Block& block, TComponent* holder) {
    for (const Entry& e : block.entries) {
      switch (e.kind) {
        case Entry::Child: CreateChild(e, holder); break;
        case Entry::SubObject: ApplySubObject(object, info, e); break;
        case Entry::Property: ApplyProperty(object, info, e); break;
      }
    }
  }

  const TPropertyInfo& FindProperty(const TClassInfo& info, const Entry& e) {
    const TPropertyInfo* p = info.FindProperty(e.name);
    if (!p) throw EDefinitionError(e.line, e.column, Format("%s has no property %s", {info.Name, e.name}));
    return *p;
  }

  void CreateChild(const Entry& e, TComponent* holder) {
    if (!holder)
      throw EDefinitionError(e.line, e.column, Format("component %s cannot be declared inside a property", {e.name}));
    const TClassInfo* info = TPropertyRegistry::Instance().FindClass(e.class_name);
    if (!info) throw EDefinitionError(e.line, e.column, Format("unknown class %s", {e.class_name}));
    if (!info->Create)
      throw EDefinitionError(e.line, e.column, Format("class %s cannot be created from a definition", {e.class_name}));
    TComponent* child = nullptr;
    Guard(e.line, e.column, [&] {
      child = info->Create(&root_);
      created_.push_back(child);
      child->SetComponentStateFlag(csLoading, true);
      child->SetName(e.name);
    });
    ApplyBlock(*child, *info, *e.block, child);
    // A component joins its holder once its own properties are in: a field needs its name to join a dataset.
    Guard(e.line, e.column, [&] { child->SetParentComponent(holder); });
  }

  void ApplySubObject(TPersistent& object, const TClassInfo& info, const Entry& e) {
    const TPropertyInfo& p = FindProperty(info, e);
    if (p.Kind != TPropertyKind::Object) {
      throw EDefinitionError(e.line, e.column, Format("%s is no object: write \"%s: value\"", {p.Name, p.Name}));
    }
    TPersistent* sub = p.GetObject(object);
    const TClassInfo* sub_info = TPropertyRegistry::Instance().ClassOf(*sub);
    if (!sub_info)
      throw EDefinitionError(e.line, e.column, Format("class %s has no published properties", {sub->ClassName()}));
    ApplyBlock(*sub, *sub_info, *e.block, nullptr);
  }

  void ApplyProperty(TPersistent& object, const TClassInfo& info, const Entry& e) {
    const TPropertyInfo& p = FindProperty(info, e);
    const Value& v = e.value;
    auto wrong = [&]() {
      return EDefinitionError(v.line, v.column, Format("%s expects %s", {p.Name, Expected(p.Kind)}));
    };
    switch (p.Kind) {
      case TPropertyKind::Object:
        throw EDefinitionError(e.line, e.column, Format("%s is an object: write \"%s { ... }\"", {p.Name, p.Name}));
      case TPropertyKind::Reference: {
        if (v.kind != Value::Ident) throw wrong();
        if (SameText(v.text, "null")) {
          Guard(v.line, v.column, [&] { p.SetReference(object, nullptr); });
        } else {
          references_.push_back({&object, &p, v});
        }
        return;
      }
      case TPropertyKind::Event: {
        if (v.kind != Value::Ident) throw wrong();
        const std::any* handler = handlers_.Find(v.text);
        if (!handler) Fail(v, Format("no handler named %s for %s", {v.text, p.Name}));
        Guard(v.line, v.column, [&] { p.SetHandler(object, *handler); });
        if (auto* component = dynamic_cast<TComponent*>(&object)) component->SetBoundHandler(p.Name, v.text);
        return;
      }
      case TPropertyKind::StringList: {
        if (v.kind != Value::List) throw wrong();
        auto* lines = static_cast<TStrings*>(p.GetObject(object));
        lines->BeginUpdate();
        lines->Clear();
        for (const Value& item : v.items) {
          if (item.kind != Value::String) {
            lines->EndUpdate();
            Fail(item, Format("%s expects %s", {p.Name, Expected(p.Kind)}));
          }
          lines->Add(item.text);
        }
        lines->EndUpdate();
        return;
      }
      case TPropertyKind::Collection: {
        if (v.kind != Value::List) throw wrong();
        auto* collection = static_cast<TCollection*>(p.GetObject(object));
        collection->Clear();
        for (const Value& item : v.items) {
          if (item.kind != Value::Object) Fail(item, Format("%s expects %s", {p.Name, Expected(p.Kind)}));
          TCollectionItem* added = collection->Add();
          const TClassInfo* item_info = TPropertyRegistry::Instance().ClassOf(*added);
          if (!item_info) Fail(item, Format("class %s has no published properties", {added->ClassName()}));
          ApplyBlock(*added, *item_info, *item.block, nullptr);
        }
        return;
      }
      default: break;
    }
    Variant value = ScalarValue(p, v, wrong);
    Guard(v.line, v.column, [&] { p.Set(object, value); });
  }

  template <class Wrong>
  Variant ScalarValue(const TPropertyInfo& p, const Value& v, Wrong wrong) {
    switch (p.Kind) {
      case TPropertyKind::Ordinal:
      case TPropertyKind::Int64:
        if (v.kind == Value::Ident) {
          for (const auto& [number, name] : p.ValueNames) {
            if (SameText(name, v.text)) return Variant(number);
          }
        }
        if (v.kind != Value::Integer) throw wrong();
        if (p.Kind == TPropertyKind::Ordinal && (v.integer < INT32_MIN || v.integer > INT32_MAX)) {
          Fail(v, Format("%s is out of range for %s", {std::to_string(v.integer), p.Name}));
        }
        return Variant(v.integer);
      case TPropertyKind::Float:
        if (v.kind == Value::Integer) return Variant(static_cast<double>(v.integer));
        if (v.kind != Value::Float) throw wrong();
        return Variant(v.real);
      case TPropertyKind::String:
        if (v.kind != Value::String) throw wrong();
        return Variant(v.text);
      case TPropertyKind::Boolean:
        if (v.kind == Value::Ident && (v.text == "true" || v.text == "false")) return Variant(v.text == "true");
        throw wrong();
      case TPropertyKind::Enumeration: {
        if (v.kind != Value::Ident) throw wrong();
        int value = p.EnumValue(v.text);
        if (value < 0) Fail(v, Format("%s is not a value of %s", {v.text, p.Name}));
        return Variant(value);
      }
      case TPropertyKind::Set: {
        if (v.kind != Value::List) throw wrong();
        unsigned long long mask = 0;
        for (const Value& item : v.items) {
          int value = item.kind == Value::Ident ? p.EnumValue(item.text) : -1;
          if (value < 0)
            Fail(item, Format("%s is not a value of %s", {item.kind == Value::Ident ? item.text : "this", p.Name}));
          mask |= 1ull << value;
        }
        return Variant(static_cast<long long>(mask));
      }
      case TPropertyKind::Symbol:
        if (v.kind != Value::Ident) throw wrong();
        return Variant(v.text);
      case TPropertyKind::Variant:
        switch (v.kind) {
          case Value::String: return Variant(v.text);
          case Value::Integer: return Variant(v.integer);
          case Value::Float: return Variant(v.real);
          case Value::Ident:
            if (v.text == "true" || v.text == "false") return Variant(v.text == "true");
            if (v.text == "null") return Variant::Null();
            throw wrong();
          default: throw wrong();
        }
      default: throw wrong();
    }
    return {};
  }

  void ResolveReferences() {
    for (const auto& r : references_) {
      TComponent* target = SameText(r.value.text, root_.Name()) ? &root_ : root_.FindComponent(r.value.text);
      if (!target)
        Fail(r.value, Format("%s refers to %s, which the definition does not hold", {r.property->Name, r.value.text}));
      Guard(r.value.line, r.value.column, [&] { r.property->SetReference(*r.object, target); });
    }
  }

  struct PendingReference {
    TPersistent* object;
    const TPropertyInfo* property;
    Value value;
  };

  TComponent& root_;
  const THandlerTable& handlers_;
  std::vector<TComponent*> created_;
  std::vector<PendingReference> references_;
};

// ---- Writing ------------------------------------------------------------------------------------------------

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          static const char hex[] = "0123456789ABCDEF";
          out += "\\x";
          out += hex[(static_cast<unsigned char>(c) >> 4) & 0xF];
          out += hex[static_cast<unsigned char>(c) & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string FloatText(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

class Writer {
public:
  explicit Writer(const TComponent& root) : root_(root) {}

  std::string Write() {
    WriteComponent(root_, 0);
    return out_;
  }

private:
  void Line(int indent, const std::string& text) {
    out_.append(static_cast<std::size_t>(indent) * 2, ' ');
    out_ += text;
    out_ += '\n';
  }

  void WriteComponent(const TComponent& component, int indent) {
    Line(indent, component.ClassName() + " " + component.Name() + " {");
    if (const TClassInfo* info = TPropertyRegistry::Instance().ClassOf(component)) {
      // The reader starts from a new object: a value at its default is left out only when a new object has it.
      const std::unique_ptr<TComponent> fresh(info->Create ? info->Create(nullptr) : nullptr);
      WriteProperties(component, *info, indent + 1, fresh.get());
    }
    for (int i = 0; i < root_.ComponentCount(); ++i) {
      const TComponent* child = root_.Components(i);
      const TComponent* holder = child->GetParentComponent();
      if (holder == &component || (&component == &root_ && holder == nullptr)) WriteComponent(*child, indent + 1);
    }
    Line(indent, "}");
  }

  // `fresh` is a new object of the same class, or null (collection items).
  void WriteProperties(const TPersistent& object, const TClassInfo& info, int indent, TPersistent* fresh) {
    auto& mutable_object = const_cast<TPersistent&>(object);
    for (const TPropertyInfo* p : info.AllProperties()) {
      if (!p->Stored(object, fresh)) continue;
      switch (p->Kind) {
        case TPropertyKind::Reference: {
          const TComponent* target = p->GetReference(object);
          Line(indent, p->Name + ": " + target->Name());
          break;
        }
        case TPropertyKind::Event: {
          const auto* component = dynamic_cast<const TComponent*>(&object);
          if (component && !component->BoundHandler(p->Name).empty())
            Line(indent, p->Name + ": " + component->BoundHandler(p->Name));
          break;
        }
        case TPropertyKind::StringList: {
          const auto* lines = static_cast<const TStrings*>(p->GetObject(mutable_object));
          Line(indent, p->Name + ": [");
          for (int i = 0; i < lines->Count(); ++i)
            Line(indent + 1, Quoted(lines->Strings(i)) + (i + 1 < lines->Count() ? "," : ""));
          Line(indent, "]");
          break;
        }
        case TPropertyKind::Collection: {
          const auto* collection = static_cast<const TCollection*>(p->GetObject(mutable_object));
          Line(indent, p->Name + ": [");
          for (int i = 0; i < collection->Count(); ++i) {
            const TCollectionItem* item = collection->Items(i);
            Line(indent + 1, "{");
            if (const TClassInfo* item_info = TPropertyRegistry::Instance().ClassOf(*item))
              WriteProperties(*item, *item_info, indent + 2, nullptr);
            Line(indent + 1, i + 1 < collection->Count() ? "}," : "}");
          }
          Line(indent, "]");
          break;
        }
        case TPropertyKind::Object: {
          const TPersistent* sub = p->GetObject(mutable_object);
          const TClassInfo* sub_info = TPropertyRegistry::Instance().ClassOf(*sub);
          if (!sub_info) break;
          std::string before = std::move(out_);
          out_.clear();
          WriteProperties(*sub, *sub_info, indent + 1, fresh ? p->GetObject(*fresh) : nullptr);
          std::string body = std::move(out_);
          out_ = std::move(before);
          if (body.empty()) break;
          Line(indent, p->Name + " {");
          out_ += body;
          Line(indent, "}");
          break;
        }
        default: Line(indent, p->Name + ": " + ScalarText(*p, p->Get(object)));
      }
    }
  }

  static std::string ScalarText(const TPropertyInfo& p, const Variant& value) {
    switch (p.Kind) {
      case TPropertyKind::String: return Quoted(value.AsString());
      case TPropertyKind::Boolean: return value.AsBoolean() ? "true" : "false";
      case TPropertyKind::Float: return FloatText(value.AsFloat());
      case TPropertyKind::Enumeration:
      case TPropertyKind::Set: return p.EnumText(value.AsInteger());
      case TPropertyKind::Ordinal:
      case TPropertyKind::Int64:
        for (const auto& [number, name] : p.ValueNames) {
          if (number == value.AsInteger()) return std::string(name);
        }
        return value.AsString();
      case TPropertyKind::Variant:
        switch (value.VarType()) {
          case Variant::Type::Null: return "null";
          case Variant::Type::Boolean: return value.AsBoolean() ? "true" : "false";
          case Variant::Type::Integer: return value.AsString();
          case Variant::Type::Float: return FloatText(value.AsFloat());
          default: return Quoted(value.ToText());
        }
      default: return value.AsString();
    }
  }

  const TComponent& root_;
  std::string out_;
};

}  // namespace

void ReadDefinition(TComponent& root, std::string_view text, const THandlerTable& handlers) {
  Reader(root, handlers).Read(text);
}

std::string WriteDefinition(const TComponent& root) { return Writer(root).Write(); }

std::string LoadResourceText(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) throw Exception(Format("Resource %s not found", {path}));
  QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
