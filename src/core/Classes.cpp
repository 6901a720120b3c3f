#include "core/Classes.h"

#include "core/Exceptions.h"
#include "core/Text.h"

#include <cxxabi.h>
#include <algorithm>
#include <atomic>
#include <memory>
#include <typeinfo>

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  auto colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent& source) {
  throw EConvertError(Format("Cannot assign a %s to a %s", {source.ClassName(), ClassName()}));
}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

std::uint64_t TClassBitMark::NewBit() {
  static std::atomic<int> next{0};
  const int bit = next++;
  if (bit >= 64) throw EInvalidOperation("No class bit left");
  return std::uint64_t{1} << bit;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Copy first: a notified component may unregister itself while we walk.
  auto notifies = free_notifies_;
  for (TComponent* other : notifies) {
    other->RemoveNotifier(this);
    other->Notification(this, opRemove);
  }
  free_notifies_.clear();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

int TComponent::ComponentIndex(const TComponent* component) const {
  auto it = std::find(components_.begin(), components_.end(), component);
  return it == components_.end() ? -1 : static_cast<int>(it - components_.begin());
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameText(c->name_, name)) return c;
  }
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format("'%s' is not a valid component name", {name}));
  if (owner_ && !name.empty()) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError(Format("A component named %s already exists", {name}));
  }
  name_ = name;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_) component->owner_->RemoveComponent(component);
  if (!component->name_.empty()) {
    if (FindComponent(component->name_))
      throw EComponentError(Format("A component named %s already exists", {component->name_}));
  }
  components_.push_back(component);
  component->owner_ = this;
  component->insertion_stamp_ = ++last_insertion_stamp_;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
  component->insertion_stamp_ = 0;
  if (!IsDestroying()) Notification(component, opRemove);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    last->insertion_stamp_ = 0;
    // Siblings that are still alive hear of the removal as they would from RemoveComponent.
    if (!IsDestroying()) Notification(last, opRemove);
    delete last;
  }
}

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on) { state_.Set(flag, on); }

void TComponent::Destroying() {
  if (IsDestroying()) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
    free_notifies_.push_back(component);
  }
  if (std::find(component->free_notifies_.begin(), component->free_notifies_.end(), this) ==
      component->free_notifies_.end()) {
    component->free_notifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveNotifier(component);
  component->RemoveNotifier(this);
}

void TComponent::RemoveNotifier(TComponent* component) {
  free_notifies_.erase(std::remove(free_notifies_.begin(), free_notifies_.end(), component), free_notifies_.end());
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  for (TComponent* c : components_) c->Notification(component, operation);
}

const std::string& TComponent::BoundHandler(std::string_view event) const {
  static const std::string none;
  for (const auto& [name, handler] : bound_handlers_) {
    if (name == event) return handler;
  }
  return none;
}

void TComponent::SetBoundHandler(std::string_view event, std::string handler) {
  for (auto it = bound_handlers_.begin(); it != bound_handlers_.end(); ++it) {
    if (it->first != event) continue;
    if (handler.empty()) bound_handlers_.erase(it);
    else it->second = std::move(handler);
    return;
  }
  if (!handler.empty()) bound_handlers_.emplace_back(std::string(event), std::move(handler));
}
