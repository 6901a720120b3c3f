#pragma once

// Published properties: per class, the properties a stored definition reads and writes and the expression
// parser reaches by name, each with its type, accessors, declared default and stored rule.

#include "core/Classes.h"
#include "core/Collections.h"
#include "core/Exceptions.h"
#include "core/Strings.h"
#include "core/Variant.h"

#include <any>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// Symbol: a bare name, handed over as text whatever it is (properties that older definitions hold).
enum class TPropertyKind {
  Ordinal,
  Enumeration,
  Set,
  Float,
  String,
  Boolean,
  Variant,
  Int64,
  Reference,
  Object,
  Collection,
  Event,
  StringList,
  Symbol
};

// The names of an enumeration's values, in their order.
using TEnumNames = std::span<const std::string_view>;

struct TPropertyInfo {
  std::string Name;
  TPropertyKind Kind = TPropertyKind::Ordinal;
  TEnumNames EnumNames;  // enumerations and sets
  // Whole numbers that a definition may write by name (colours such as clBtnFace).
  std::span<const std::pair<long long, std::string_view>> ValueNames;

  // Scalar kinds travel as variants: ordinals, enumerations and 64-bit integers as integers, sets as their bit
  // mask, floats, strings, booleans and variants as themselves.
  std::function<Variant(const TPersistent&)> Get;
  std::function<void(TPersistent&, const Variant&)> Set;
  // No declared default: the value is always stored.
  std::optional<Variant> Default;
  // A stored rule of the class's own; without one a value is stored when it differs from the default.
  std::function<bool(const TPersistent&)> StoredRule;

  std::function<TComponent*(const TPersistent&)> GetReference;
  std::function<void(TPersistent&, TComponent*)> SetReference;
  // Objects, string lists and collections: the sub-object the instance owns.
  std::function<TPersistent*(TPersistent&)> GetObject;
  // Events: assigns a handler held in a std::any of the event's own function type (an empty any clears it).
  std::function<void(TPersistent&, const std::any&)> SetHandler;

  bool IsScalar() const;
  // Whether a stored definition holds this property of `instance` (for objects: whether the rule allows it).
  // `fresh`, when given, is a new object of the same class: a value equal to the default is still stored when
  // the fresh object does not start with it, since reading leaves a property that is not stored at its start.
  bool Stored(const TPersistent& instance, const TPersistent* fresh = nullptr) const;
  // The text of an enumeration value or of a set ("[fsBold, fsItalic]").
  std::string EnumText(long long value) const;
  // The value of an enumeration name, or -1.
  int EnumValue(std::string_view name) const;
};

class TClassInfo {
public:
  std::string Name;
  const TClassInfo* Parent = nullptr;
  // Creates a component of this class for an owner; empty for classes that a definition cannot create.
  std::function<TComponent*(TComponent* owner)> Create;
  std::vector<TPropertyInfo> Properties;  // the class's own, in declaration order

  // Looks through this class and its ancestors (case-insensitive).
  const TPropertyInfo* FindProperty(std::string_view name) const;
  // Every property, the ancestors' first.
  std::vector<const TPropertyInfo*> AllProperties() const;
  bool InheritsFrom(const TClassInfo* other) const;
};

class TPropertyRegistry {
public:
  static TPropertyRegistry& Instance();
  // Registers a class once; registering it again returns the existing entry.
  TClassInfo& Add(std::string name, std::string_view parent);
  const TClassInfo* FindClass(std::string_view name) const;
  // The entry of the object's own class or of its nearest registered ancestor... by name only: its exact class.
  const TClassInfo* ClassOf(const TPersistent& object) const;

private:
  std::vector<std::unique_ptr<TClassInfo>> classes_;
};

// Reads a published property by name; raises EPropertyError for an unknown name or a non-scalar property.
Variant GetPropertyValue(const TPersistent& object, std::string_view name);
void SetPropertyValue(TPersistent& object, std::string_view name, const Variant& value);

class EPropertyError : public Exception {
  using Exception::Exception;
};

// The registration of one class, one call a property:
//   RegisterClass<TEdit>("TEdit", "TWinControl").Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength, 0);
template <class C>
class TClassBuilder {
public:
  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  template <class G, class S>
  TClassBuilder& Integer(const char* name, G get, S set, std::optional<long long> def = 0) {
    return Scalar(name, TPropertyKind::Ordinal, get, set, def ? std::optional<Variant>(*def) : std::nullopt);
  }
  template <class G, class S>
  TClassBuilder& Int64(const char* name, G get, S set, std::optional<long long> def = 0) {
    return Scalar(name, TPropertyKind::Int64, get, set, def ? std::optional<Variant>(*def) : std::nullopt);
  }
  template <class G, class S>
  TClassBuilder& Float(const char* name, G get, S set, std::optional<double> def = 0.0) {
    return Scalar(name, TPropertyKind::Float, get, set, def ? std::optional<Variant>(*def) : std::nullopt);
  }
  template <class G, class S>
  TClassBuilder& String(const char* name, G get, S set, std::optional<std::string> def = std::string()) {
    return Scalar(name, TPropertyKind::String, get, set, def ? std::optional<Variant>(*def) : std::nullopt);
  }
  template <class G, class S>
  TClassBuilder& Boolean(const char* name, G get, S set, std::optional<bool> def = false) {
    return Scalar(name, TPropertyKind::Boolean, get, set, def ? std::optional<Variant>(*def) : std::nullopt);
  }
  template <class G, class S>
  TClassBuilder& VariantValue(const char* name, G get, S set) {
    return Scalar(name, TPropertyKind::Variant, get, set, Variant());
  }
  template <class G, class S, class E>
  TClassBuilder& Enum(const char* name, G get, S set, TEnumNames names, std::optional<E> def) {
    Scalar(name, TPropertyKind::Enumeration, get, set,
           def ? std::optional<Variant>(static_cast<long long>(*def)) : std::nullopt);
    info_.Properties.back().EnumNames = names;
    return *this;
  }
  template <class G, class S>
  TClassBuilder& SetOf(const char* name, G get, S set, TEnumNames names, std::optional<unsigned long long> def = 0) {
    Scalar(name, TPropertyKind::Set, get, set,
           def ? std::optional<Variant>(static_cast<long long>(*def)) : std::nullopt);
    info_.Properties.back().EnumNames = names;
    return *this;
  }
  template <class G, class S>
  TClassBuilder& Reference(const char* name, G get, S set) {
    TPropertyInfo p = Named(name, TPropertyKind::Reference);
    p.GetReference = [get](const TPersistent& o) -> TComponent* { return std::invoke(get, static_cast<const C&>(o)); };
    p.SetReference = [set](TPersistent& o, TComponent* value) {
      using Target = std::remove_pointer_t<std::remove_cvref_t<std::invoke_result_t<G, const C&>>>;
      auto* typed = dynamic_cast<Target*>(value);
      if (value && !typed) throw EPropertyError(Format("%s is no fit for this property", {value->Name()}));
      std::invoke(set, static_cast<C&>(o), typed);
    };
    p.Default = Variant();
    return Add(std::move(p));
  }
  template <class G>
  TClassBuilder& Object(const char* name, G get) {
    return Owned(name, TPropertyKind::Object, get);
  }
  template <class G>
  TClassBuilder& Strings(const char* name, G get) {
    return Owned(name, TPropertyKind::StringList, get);
  }
  template <class G>
  TClassBuilder& Collection(const char* name, G get) {
    return Owned(name, TPropertyKind::Collection, get);
  }
  template <class M>
  TClassBuilder& Event(const char* name, M member) {
    TPropertyInfo p = Named(name, TPropertyKind::Event);
    p.SetHandler = [member](TPersistent& o, const std::any& handler) {
      using Handler = std::remove_cvref_t<decltype(static_cast<C&>(o).*member)>;
      if (!handler.has_value()) {
        static_cast<C&>(o).*member = nullptr;
        return;
      }
      const auto* typed = std::any_cast<Handler>(&handler);
      if (!typed) throw EPropertyError("the handler does not fit the event");
      static_cast<C&>(o).*member = *typed;
    };
    return Add(std::move(p));
  }

  // A property that older definitions hold: read, never written. The bare name written after it reaches `set` as
  // text, whatever that name is, so that the class decides what it means and ignores what it does not know.
  template <class S>
  TClassBuilder& Legacy(const char* name, S set) {
    TPropertyInfo p = Named(name, TPropertyKind::Symbol);
    p.Get = [](const TPersistent&) { return Variant(std::string()); };
    p.Set = [set](TPersistent& o, const Variant& v) { std::invoke(set, static_cast<C&>(o), v.AsString()); };
    p.StoredRule = [](const TPersistent&) { return false; };
    return Add(std::move(p));
  }

  // The last property added may be written by these names.
  TClassBuilder& Names(std::span<const std::pair<long long, std::string_view>> names) {
    info_.Properties.back().ValueNames = names;
    return *this;
  }

  // The last property added is stored only when `rule` says so.
  TClassBuilder& StoredWhen(std::function<bool(const C&)> rule) {
    info_.Properties.back().StoredRule = [rule = std::move(rule)](const TPersistent& o) {
      return rule(static_cast<const C&>(o));
    };
    return *this;
  }

private:
  TPropertyInfo Named(const char* name, TPropertyKind kind) {
    TPropertyInfo p;
    p.Name = name;
    p.Kind = kind;
    return p;
  }
  TClassBuilder& Add(TPropertyInfo p) {
    info_.Properties.push_back(std::move(p));
    return *this;
  }

  template <class G, class S>
  TClassBuilder& Scalar(const char* name, TPropertyKind kind, G get, S set, std::optional<Variant> def) {
    TPropertyInfo p = Named(name, kind);
    p.Default = std::move(def);
    p.Get = [get](const TPersistent& o) { return ToVariant(std::invoke(get, static_cast<const C&>(o))); };
    p.Set = [set, kind](TPersistent& o, const Variant& v) {
      using Arg = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
      std::invoke(set, static_cast<C&>(o), FromVariant<Arg>(v, kind));
    };
    return Add(std::move(p));
  }

  template <class G>
  TClassBuilder& Owned(const char* name, TPropertyKind kind, G get) {
    TPropertyInfo p = Named(name, kind);
    p.GetObject = [get](TPersistent& o) -> TPersistent* { return &Deref(std::invoke(get, static_cast<C&>(o))); };
    return Add(std::move(p));
  }

  template <class T>
  static T& Deref(T& object) {
    return object;
  }
  template <class T>
  static T& Deref(T* object) {
    return *object;
  }

  template <class T>
  static Variant ToVariant(const T& value) {
    if constexpr (std::is_enum_v<T>) return Variant(static_cast<long long>(value));
    else if constexpr (std::is_same_v<T, bool>) return Variant(value);
    else if constexpr (std::is_integral_v<T>) return Variant(static_cast<long long>(value));
    else if constexpr (requires { value.Mask(); }) return Variant(static_cast<long long>(value.Mask()));
    else return Variant(value);
  }
  template <class T>
  static T FromVariant(const Variant& v, TPropertyKind kind) {
    if constexpr (std::is_enum_v<T>) return static_cast<T>(v.AsInteger());
    else if constexpr (std::is_same_v<T, bool>) return v.AsBoolean();
    else if constexpr (std::is_integral_v<T>) return static_cast<T>(v.AsInteger());
    else if constexpr (std::is_floating_point_v<T>) return static_cast<T>(v.AsFloat());
    else if constexpr (std::is_same_v<T, std::string>) return kind == TPropertyKind::String ? v.AsString() : v.ToText();
    else if constexpr (std::is_same_v<T, Variant>) return v;
    else return T::FromMask(static_cast<unsigned long long>(v.AsInteger()));
  }

  TClassInfo& info_;
};

template <class C>
TClassBuilder<C> RegisterClass(std::string name, std::string_view parent) {
  TClassInfo& info = TPropertyRegistry::Instance().Add(std::move(name), parent);
  if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*> && !std::is_abstract_v<C>) {
    if (!info.Create) info.Create = [](TComponent* owner) -> TComponent* { return new C(owner); };
  }
  return TClassBuilder<C>(info);
}

// Registers the framework's own classes (components, controls, forms, fonts); safe to call more than once.
void RegisterFrameworkClasses();

// The names colour properties may be written by (clBlack, clWindow, ...), for other modules' colour properties.
std::span<const std::pair<long long, std::string_view>> ColorValueNames();
