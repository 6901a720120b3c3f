#pragma once

#include "core/Sets.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TObject {
public:
  virtual ~TObject() = default;
  // The class's own name as the design writes it ("TQuery", "TStringField").
  std::string ClassName() const;
};

class TPersistent : public TObject {
public:
  // Copies the state of another object of a compatible class; raises EConvertError otherwise.
  virtual void Assign(const TPersistent& source);
};

class TComponent;

using TNotifyEvent = std::function<void(TObject* sender)>;

enum TComponentStateFlag {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups
};
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

// A named object that belongs to an owner. The owner deletes what it owns; a component that keeps a
// reference to another asks for its removal notification (FreeNotification) and forgets it then.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EComponentError for a name that is no identifier or that a sibling already has.
  virtual void SetName(const std::string& name);
  long long Tag() const { return tag_; }
  void SetTag(long long tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // The position of `component` among the owned ones, or -1.
  int ComponentIndex(const TComponent* component) const;
  // Grows with each insertion into the owner: two components of one owner compare by it as by ComponentIndex,
  // without searching the owner's list. 0 for a component that has no owner.
  std::uint64_t InsertionStamp() const { return insertion_stamp_; }
  // Case-insensitive search among the owned components.
  TComponent* FindComponent(std::string_view name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Deletes every owned component, the last first.
  void DestroyComponents();

  TComponentState ComponentState() const { return state_; }
  bool IsLoading() const { return state_.Contains(csLoading); }
  bool IsDestroying() const { return state_.Contains(csDestroying); }
  bool IsDesigning() const { return state_.Contains(csDesigning); }
  void SetComponentStateFlag(TComponentStateFlag flag, bool on);
  // Marks this component and everything it owns as being destroyed.
  void Destroying();

  // Asks to be told (Notification with opRemove) when `component` is destroyed. Mutual and idempotent.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Called once after the component and its siblings were read from a stored definition.
  virtual void Loaded();

  // The component that holds this one in a stored definition (a control's parent, a field's dataset), or null.
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}

  // The names of the handlers bound to this component's events by a stored definition, by event name.
  const std::string& BoundHandler(std::string_view event) const;
  void SetBoundHandler(std::string_view event, std::string handler);

  // Class tests cheaper than a dynamic_cast, for hot paths: see TClassBitMark and ComponentCast.
  bool HasClassBit(std::uint64_t bit) const { return (class_bits_ & bit) != 0; }

protected:
  // Told when a component is inserted into or removed from the owner, or when a component this one asked
  // about is destroyed. The component may be half destroyed: compare the pointer, never call it.
  virtual void Notification(TComponent* component, TOperation operation);

private:
  void RemoveNotifier(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  long long tag_ = 0;
  std::vector<TComponent*> components_;
  std::uint64_t insertion_stamp_ = 0;
  std::uint64_t last_insertion_stamp_ = 0;  // the last stamp given to an owned component
  std::vector<TComponent*> free_notifies_;
  std::vector<std::pair<std::string, std::string>> bound_handlers_;
  TComponentState state_;
  std::uint64_t class_bits_ = 0;
  friend class TClassBitMark;
};

// Gives a component class T a bit that its objects carry while their T part lives, so that ComponentCast<T> needs
// no dynamic_cast. T declares `using ClassBitOwner = T;` and, as its first data member,
// `TClassBitMark class_bit_{this, TClassBitMark::BitOf<T>()};`: the bit is then set and cleared where the object's
// dynamic type becomes and stops being T, and the cast answers as a dynamic_cast would.
class TClassBitMark {
public:
  TClassBitMark(TComponent* component, std::uint64_t bit) : component_(component), bit_(bit) {
    component_->class_bits_ |= bit_;
  }
  ~TClassBitMark() { component_->class_bits_ &= ~bit_; }
  TClassBitMark(const TClassBitMark&) = delete;
  TClassBitMark& operator=(const TClassBitMark&) = delete;

  template <class T>
  static std::uint64_t BitOf() {
    static const std::uint64_t bit = NewBit();
    return bit;
  }

private:
  static std::uint64_t NewBit();
  TComponent* component_;
  std::uint64_t bit_;
};

template <class T>
concept HasOwnClassBit = std::is_same_v<typename T::ClassBitOwner, T>;

// `component` as a T, or null: by T's class bit when T has one of its own, else by dynamic_cast.
template <class T, class From>
auto ComponentCast(From* component) -> std::conditional_t<std::is_const_v<From>, const T, T>* {
  using Target = std::conditional_t<std::is_const_v<From>, const T, T>;
  if constexpr (HasOwnClassBit<T>) {
    return component && component->HasClassBit(TClassBitMark::BitOf<T>()) ? static_cast<Target*>(component) : nullptr;
  } else {
    return dynamic_cast<Target*>(component);
  }
}

// Deletes on destruction; for components and other objects that have no owner.
template <typename T>
using TOwned = std::unique_ptr<T>;

// True when `name` is a valid identifier: a letter or "_", then letters, digits or "_".
bool IsValidIdent(std::string_view name);
