#include "widgets/TreeView.h"

#include "core/ScopeGuard.h"
#include "widgets/Forms.h"
#include "widgets/QtBridge.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

// The tree's widget: the items carry their index; typed text goes to the control's search.
class TTreeWidget : public QTreeWidget {
public:
  TTreeWidget(TTreeView& control, QWidget* parent) : QTreeWidget(parent), control_(control) {}

  void keyboardSearch(const QString& search) override {
    RunGuarded([&] { control_.TypeSearch(FromQString(search)); });
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && control_.Selected() >= 0) {
      const int index = control_.Selected();
      RunGuarded([&] { control_.Activate(index); });
      return;
    }
    QTreeWidget::keyPressEvent(event);
  }

private:
  TTreeView& control_;
};

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;

int IndexOf(const QTreeWidgetItem* item) { return item ? item->data(0, kIndexRole).toInt() : -1; }

}  // namespace

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 121, 97); }

void TTreeView::SetItems(std::vector<std::string> texts, std::vector<int> parents) {
  parents.resize(texts.size(), -1);
  texts_ = std::move(texts);
  parents_ = std::move(parents);
  selected_ = -1;
  typed_.clear();
  ++items_version_;
  if (Widget()) SyncWidget();
}

void TTreeView::SetSelected(int index) {
  if (index < -1 || index >= ItemCount()) index = -1;
  selected_ = index;
  if (Widget()) SyncWidget();
}

std::string TTreeView::TypeSearch(const std::string& text) {
  const auto now = std::chrono::steady_clock::now();
  const auto pause = std::chrono::milliseconds(QApplication::keyboardInputInterval());
  if (now - last_typed_ > pause) typed_.clear();
  last_typed_ = now;
  typed_ += text;
  if (OnSearch) {
    const int found = OnSearch(typed_, std::max(0, selected_));
    if (found >= 0) SetSelected(found);
  }
  return typed_;
}

void TTreeView::Activate(int index) {
  if (index < 0 || index >= ItemCount()) return;
  SetSelected(index);
  if (OnActivate) OnActivate(index);
}

QWidget* TTreeView::CreateWidget(QWidget* parent_widget) {
  auto* tree = new TTreeWidget(*this, parent_widget);
  tree->setColumnCount(1);
  tree->header()->hide();
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setUniformRowHeights(true);
  tree->setExpandsOnDoubleClick(false);
  QObject::connect(tree, &QTreeWidget::itemClicked, tree, [this](QTreeWidgetItem* item, int) {
    const int index = IndexOf(item);
    RunGuarded([&] { Activate(index); });
  });
  QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
    if (!syncing_) selected_ = IndexOf(item);
  });
  widget_items_version_ = -1;
  return tree;
}

void TTreeView::SyncWidget() {
  TWinControl::SyncWidget();
  auto* tree = static_cast<QTreeWidget*>(Widget());
  TScopedValueRollback<bool> rollback(syncing_, true);
  if (widget_items_version_ != items_version_) {
    widget_items_version_ = items_version_;
    tree->clear();
    std::vector<QTreeWidgetItem*> made(texts_.size(), nullptr);
    QList<QTreeWidgetItem*> top;
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      const int parent = parents_[i];
      QTreeWidgetItem* above =
          parent >= 0 && static_cast<std::size_t>(parent) < i ? made[static_cast<std::size_t>(parent)] : nullptr;
      auto* item = above ? new QTreeWidgetItem(above) : new QTreeWidgetItem();
      item->setText(0, ToQString(texts_[i]));
      item->setData(0, kIndexRole, static_cast<int>(i));
      if (!above) top.push_back(item);
      made[i] = item;
    }
    tree->addTopLevelItems(top);
  }
  QTreeWidgetItem* current = nullptr;
  if (selected_ >= 0) {
    // The items are in the tree's order, depth first, as they were given.
    QTreeWidgetItemIterator it(tree);
    for (int i = 0; *it && i < selected_; ++it) ++i;
    current = *it;
  }
  if (current) {
    for (QTreeWidgetItem* up = current->parent(); up; up = up->parent()) up->setExpanded(true);
    tree->setCurrentItem(current);
    tree->scrollToItem(current);
  } else {
    tree->setCurrentItem(nullptr);
    tree->clearSelection();
  }
}
