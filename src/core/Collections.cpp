#include "core/Collections.h"

#include "core/Exceptions.h"

int TCollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return items_[static_cast<std::size_t>(index)].get();
}

TCollectionItem* TCollection::Add() {
  items_.push_back(factory_(this));
  Changed();
  return items_.back().get();
}

void TCollection::Delete(int index) {
  Items(index);
  items_.erase(items_.begin() + index);
  Changed();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return static_cast<int>(i);
  }
  return -1;
}

void TCollection::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TCollection*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  items_.clear();
  for (const auto& item : other->items_) {
    items_.push_back(factory_(this));
    items_.back()->Assign(*item);
  }
  Changed();
}

void TCollection::Changed() {
  if (OnChange) OnChange(this);
}
