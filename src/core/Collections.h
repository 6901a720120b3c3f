#pragma once

#include "core/Classes.h"

#include <functional>
#include <memory>
#include <vector>

class TCollection;

// One item of a collection; the collection owns it.
class TCollectionItem : public TPersistent {
public:
  explicit TCollectionItem(TCollection* collection) : collection_(collection) {}
  TCollection* Collection() const { return collection_; }
  int Index() const;

private:
  TCollection* collection_;
};

// An ordered, owned list of items of one class.
class TCollection : public TPersistent {
public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection*)>;
  explicit TCollection(TItemFactory factory, TPersistent* owner = nullptr)
      : factory_(std::move(factory)), owner_(owner) {}

  TPersistent* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  void Delete(int index);
  void Clear();
  int IndexOf(const TCollectionItem* item) const;
  // Copies the items of another collection through the item class's Assign.
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

protected:
  void Changed();

private:
  TItemFactory factory_;
  TPersistent* owner_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
};
