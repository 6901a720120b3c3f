#include "widgets/ExtCtrls.h"

#include "widgets/Forms.h"
#include "widgets/QtBridge.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelInner(TPanelBevel bevel) {
  bevel_inner_ = bevel;
  if (Widget()) SyncWidget();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
  bevel_outer_ = bevel;
  if (Widget()) SyncWidget();
}

void TPanel::SetBorderWidth(int width) {
  border_width_ = std::max(0, width);
  AlignControls();
}

void TPanel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  if (Widget()) SyncWidget();
}

// A label is a frame that also shows the caption.
QWidget* TPanel::CreateWidget(QWidget* parent_widget) { return new QLabel(parent_widget); }

void TPanel::SyncWidget() {
  TCustomControl::SyncWidget();
  auto* frame = static_cast<QLabel*>(Widget());
  frame->setText(ToQString(Caption()));
  frame->setAlignment((alignment_ == taLeftJustify    ? Qt::AlignLeft
                       : alignment_ == taRightJustify ? Qt::AlignRight
                                                      : Qt::AlignHCenter) |
                      Qt::AlignVCenter);
  const TPanelBevel outer = bevel_outer_ != bvNone ? bevel_outer_ : bevel_inner_;
  if (outer == bvNone || outer == bvSpace) {
    frame->setFrameStyle(QFrame::NoFrame);
  } else {
    frame->setFrameStyle(QFrame::Panel | (outer == bvRaised ? QFrame::Raised : QFrame::Sunken));
    frame->setLineWidth(BevelWidth());
  }
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape shape) {
  shape_ = shape;
  if (Widget()) SyncWidget();
}

void TBevel::SetStyle(TBevelStyle style) {
  style_ = style;
  if (Widget()) SyncWidget();
}

QWidget* TBevel::CreateWidget(QWidget* parent_widget) { return new QFrame(parent_widget); }

void TBevel::SyncWidget() {
  TGraphicControl::SyncWidget();
  auto* frame = static_cast<QFrame*>(Widget());
  const QFrame::Shadow shadow = style_ == bsRaised ? QFrame::Raised : QFrame::Sunken;
  switch (shape_) {
    case bsTopLine:
    case bsBottomLine: frame->setFrameStyle(QFrame::HLine | shadow); break;
    case bsLeftLine:
    case bsRightLine: frame->setFrameStyle(QFrame::VLine | shadow); break;
    case bsSpacer: frame->setFrameStyle(QFrame::NoFrame); break;
    default: frame->setFrameStyle(QFrame::Box | shadow); break;
  }
}

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 105);
  items_.OnChange = [this](TObject*) {
    if (item_index_ >= items_.Count()) item_index_ = -1;
    if (Widget()) SyncWidget();
  };
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  item_index_ = index;
  if (Widget()) SyncWidget();
}

QWidget* TRadioGroup::CreateWidget(QWidget* parent_widget) {
  auto* box = new QGroupBox(parent_widget);
  box->setStyleSheet(kGroupFrameStyle);
  new QVBoxLayout(box);
  box->layout()->setContentsMargins(8, 8, 4, 2);
  box->layout()->setSpacing(0);
  auto* group = new QButtonGroup(box);
  QObject::connect(group, &QButtonGroup::idClicked, box, [this](int id) { item_index_ = id; });
  return box;
}

void TRadioGroup::SyncWidget() {
  TCustomControl::SyncWidget();
  auto* box = static_cast<QGroupBox*>(Widget());
  box->setTitle(ToQString(Caption()));
  auto* group = box->findChild<QButtonGroup*>();
  QList<QAbstractButton*> buttons = group->buttons();
  if (buttons.size() != items_.Count()) {
    for (QAbstractButton* button : buttons) delete button;
    for (int i = 0; i < items_.Count(); ++i) {
      auto* radio = new QRadioButton(box);
      box->layout()->addWidget(radio);
      group->addButton(radio, i);
    }
    buttons = group->buttons();
  }
  for (int i = 0; i < items_.Count(); ++i) {
    QAbstractButton* button = group->button(i);
    button->setText(ToQString(items_[i]));
    button->setChecked(i == item_index_);
  }
}

namespace {

// The bar of a splitter: dragging it moves the splitter.
class TSplitterWidget : public QWidget {
public:
  TSplitterWidget(TSplitter* splitter, QWidget* parent) : QWidget(parent), splitter_(splitter) {}

protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) drag_from_ = Along(event->globalPosition().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton)) return;
    int at = Along(event->globalPosition().toPoint());
    int delta = at - drag_from_;
    if (delta == 0) return;
    drag_from_ = at;
    RunGuarded([&] { splitter_->MoveBy(delta); });
  }

private:
  int Along(QPoint p) const { return splitter_->Align() == alLeft || splitter_->Align() == alRight ? p.x() : p.y(); }
  TSplitter* splitter_;
  int drag_from_ = 0;
};

}  // namespace

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 3, 100); }

TControl* TSplitter::ResizedControl() const {
  if (!Parent()) return nullptr;
  TControl* best = nullptr;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    bool before = Align() == alTop    ? c->Top() + c->Height() <= Top()
                  : Align() == alLeft ? c->Left() + c->Width() <= Left()
                                      : false;
    if (!before) continue;
    if (!best || (Align() == alTop ? c->Top() > best->Top() : c->Left() > best->Left())) best = c;
  }
  return best;
}

void TSplitter::MoveBy(int delta) {
  TControl* control = ResizedControl();
  if (!control || !Parent()) return;
  const bool vertical = Align() == alTop;
  int size = vertical ? control->Height() : control->Width();
  int room =
      vertical ? Parent()->AlignRect().Bottom - (Top() + Height()) : Parent()->AlignRect().Right - (Left() + Width());
  int new_size = size + std::min(delta, std::max(0, room - min_size_));
  if (new_size < min_size_) new_size = auto_snap_ && new_size < min_size_ / 2 ? 0 : min_size_;
  if (new_size == size) return;
  if (vertical) control->SetHeight(new_size);
  else control->SetWidth(new_size);
  if (OnMoved) OnMoved(this);
}

QWidget* TSplitter::CreateWidget(QWidget* parent_widget) {
  auto* widget = new TSplitterWidget(this, parent_widget);
  widget->setCursor(Align() == alLeft || Align() == alRight ? Qt::SplitHCursor : Qt::SplitVCursor);
  return widget;
}
