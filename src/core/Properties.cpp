#include "core/Properties.h"

#include "core/Text.h"

bool TPropertyInfo::IsScalar() const {
  switch (Kind) {
    case TPropertyKind::Reference:
    case TPropertyKind::Object:
    case TPropertyKind::Collection:
    case TPropertyKind::Event:
    case TPropertyKind::StringList: return false;
    default: return true;
  }
}

bool TPropertyInfo::Stored(const TPersistent& instance, const TPersistent* fresh) const {
  if (StoredRule && !StoredRule(instance)) return false;
  auto& object = const_cast<TPersistent&>(instance);
  switch (Kind) {
    case TPropertyKind::Reference: return GetReference(instance) != nullptr;
    case TPropertyKind::Object:
    case TPropertyKind::Event: return true;
    case TPropertyKind::StringList: return static_cast<TStrings*>(GetObject(object))->Count() > 0;
    case TPropertyKind::Collection: return static_cast<TCollection*>(GetObject(object))->Count() > 0;
    default: break;
  }
  if (!Default) return true;
  Variant value = Get(instance);
  // A variant's type is part of its value: 1 and "1" are different stored values.
  const auto same = [this](const Variant& a, const Variant& b) {
    return (Kind != TPropertyKind::Variant || a.VarType() == b.VarType()) && a == b;
  };
  if (!same(value, *Default)) return true;
  return fresh && !same(value, Get(*fresh));
}

std::string TPropertyInfo::EnumText(long long value) const {
  auto name_of = [&](long long v) -> std::string {
    if (v >= 0 && static_cast<std::size_t>(v) < EnumNames.size())
      return std::string(EnumNames[static_cast<std::size_t>(v)]);
    return std::to_string(v);
  };
  if (Kind != TPropertyKind::Set) return name_of(value);
  std::string text = "[";
  auto mask = static_cast<unsigned long long>(value);
  for (unsigned bit = 0; bit < 64; ++bit) {
    if (!(mask & (1ull << bit))) continue;
    if (text.size() > 1) text += ", ";
    text += name_of(bit);
  }
  return text + "]";
}

int TPropertyInfo::EnumValue(std::string_view name) const {
  for (std::size_t i = 0; i < EnumNames.size(); ++i) {
    if (SameText(EnumNames[i], name)) return static_cast<int>(i);
  }
  return -1;
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->Parent) {
    for (const auto& p : c->Properties) {
      if (SameText(p.Name, name)) return &p;
    }
  }
  return nullptr;
}

std::vector<const TPropertyInfo*> TClassInfo::AllProperties() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropertyInfo*> all;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const auto& p : (*it)->Properties) {
      // A class may publish an ancestor's property again with its own default: the latest one counts.
      auto same =
          std::find_if(all.begin(), all.end(), [&](const TPropertyInfo* q) { return SameText(q->Name, p.Name); });
      if (same != all.end()) *same = &p;
      else all.push_back(&p);
    }
  }
  return all;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c; c = c->Parent) {
    if (c == other) return true;
  }
  return false;
}

TPropertyRegistry& TPropertyRegistry::Instance() {
  static TPropertyRegistry registry;
  return registry;
}

TClassInfo& TPropertyRegistry::Add(std::string name, std::string_view parent) {
  for (auto& c : classes_) {
    if (c->Name == name) return *c;
  }
  auto info = std::make_unique<TClassInfo>();
  info->Name = std::move(name);
  if (!parent.empty()) {
    info->Parent = FindClass(parent);
    if (!info->Parent) throw EPropertyError(Format("Class %s must be registered before %s", {parent, info->Name}));
  }
  classes_.push_back(std::move(info));
  return *classes_.back();
}

const TClassInfo* TPropertyRegistry::FindClass(std::string_view name) const {
  for (const auto& c : classes_) {
    if (SameText(c->Name, name)) return c.get();
  }
  return nullptr;
}

const TClassInfo* TPropertyRegistry::ClassOf(const TPersistent& object) const { return FindClass(object.ClassName()); }

namespace {

const TPropertyInfo& ScalarProperty(const TPersistent& object, std::string_view name) {
  const TClassInfo* info = TPropertyRegistry::Instance().ClassOf(object);
  const TPropertyInfo* p = info ? info->FindProperty(name) : nullptr;
  if (!p) throw EPropertyError(Format("%s has no published property %s", {object.ClassName(), name}));
  if (!p->IsScalar())
    throw EPropertyError(Format("Property %s of %s holds no simple value", {p->Name, object.ClassName()}));
  return *p;
}

}  // namespace

Variant GetPropertyValue(const TPersistent& object, std::string_view name) {
  return ScalarProperty(object, name).Get(object);
}

void SetPropertyValue(TPersistent& object, std::string_view name, const Variant& value) {
  ScalarProperty(object, name).Set(object, value);
}
