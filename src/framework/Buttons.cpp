#include "framework/Buttons.h"

#include "framework/Forms.h"
#include "framework/QtBridge.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetKind(TBitBtnKind kind) {
  kind_ = kind;
  switch (kind) {
    case bkOK: SetModalResult(mrOk); SetDefault(true); break;
    case bkCancel: SetModalResult(mrCancel); SetCancel(true); break;
    case bkYes: SetModalResult(mrYes); break;
    case bkNo: SetModalResult(mrNo); break;
    case bkAbort: SetModalResult(mrAbort); break;
    case bkRetry: SetModalResult(mrRetry); break;
    case bkIgnore: SetModalResult(mrIgnore); break;
    default: break;
  }
  if (Widget()) SyncWidget();
}

void TBitBtn::SyncWidget() {
  TButton::SyncWidget();
  QStyle::StandardPixmap glyph;
  switch (kind_) {
    case bkOK: glyph = QStyle::SP_DialogOkButton; break;
    case bkCancel: glyph = QStyle::SP_DialogCancelButton; break;
    case bkHelp: glyph = QStyle::SP_DialogHelpButton; break;
    case bkYes: glyph = QStyle::SP_DialogYesButton; break;
    case bkNo: glyph = QStyle::SP_DialogNoButton; break;
    case bkClose: glyph = QStyle::SP_DialogCloseButton; break;
    case bkAbort: glyph = QStyle::SP_DialogAbortButton; break;
    case bkRetry: glyph = QStyle::SP_DialogRetryButton; break;
    case bkIgnore: glyph = QStyle::SP_DialogIgnoreButton; break;
    default: return;
  }
  static_cast<QPushButton*>(Widget())->setIcon(QApplication::style()->standardIcon(glyph));
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetFlat(bool on) {
  flat_ = on;
  if (Widget()) SyncWidget();
}

void TSpeedButton::SetShowHint(bool on) {
  show_hint_ = on;
  if (Widget()) SyncWidget();
}

void TSpeedButton::SetDown(bool on) {
  down_ = on;
  if (Widget()) SyncWidget();
}

void TSpeedButton::Click() {
  if (group_index_ != 0) SetDown(allow_all_up_ ? !down_ : true);
  TGraphicControl::Click();
}

QWidget* TSpeedButton::CreateWidget(QWidget* parent_widget) {
  auto* button = new QToolButton(parent_widget);
  button->setFocusPolicy(Qt::NoFocus);
  QObject::connect(button, &QToolButton::clicked, button, [this] { RunGuarded([this] { Click(); }); });
  return button;
}

void TSpeedButton::SyncWidget() {
  TGraphicControl::SyncWidget();
  auto* button = static_cast<QToolButton*>(Widget());
  button->setText(ToQString(Caption()));
  button->setAutoRaise(flat_);
  button->setToolTip(show_hint_ ? ToQString(Hint()) : QString());
  button->setCheckable(group_index_ != 0);
  button->setChecked(down_);
}
