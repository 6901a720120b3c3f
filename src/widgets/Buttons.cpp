#include "widgets/Buttons.h"

#include "widgets/Forms.h"

#include "widgets/QtBridge.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetKind(TBitBtnKind kind) {
  kind_ = kind;
  switch (kind) {
    case bkOK:
      SetModalResult(mrOk);
      SetDefault(true);
      break;
    case bkCancel:
      SetModalResult(mrCancel);
      SetCancel(true);
      break;
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

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetFlat(bool on) {
  flat_ = on;
  if (Widget()) SyncWidget();
}

void TSpeedButton::SetShowHint(bool on) {
  show_hint_ = on;
  if (Widget()) SyncWidget();
}

void TSpeedButton::SetGroupIndex(int index) {
  group_index_ = index;
  if (index == 0) down_ = false;
  if (Widget()) SyncWidget();
}

void TSpeedButton::SetDown(bool down) {
  if (group_index_ == 0) down = false;
  down_ = down;
  if (Widget()) SyncWidget();
}

void TSpeedButton::SetGlyphScale(double scale) {
  glyph_scale_ = scale > 0 ? scale : 1.0;
  GlyphChanged();
}

void TSpeedButton::GlyphChanged() {
  if (Widget()) SyncWidget();
}

void TSpeedButton::Click() {
  if (!Enabled()) return;
  if (group_index_ != 0) SetDown(down_ ? !allow_all_up_ : true);
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
  button->setAutoRaise(flat_);
  std::string caption = Caption();
  bool has_text = caption.find_first_not_of(' ') != std::string::npos;
  button->setText(has_text ? ToQString(caption) : QString());
  if (!glyph_.Empty()) {
    QImage image = glyph_.ToImage();
    image.setDevicePixelRatio(glyph_scale_);
    button->setIcon(QIcon(QPixmap::fromImage(image)));
    button->setIconSize(
        QSize(static_cast<int>(glyph_.Width() / glyph_scale_), static_cast<int>(glyph_.Height() / glyph_scale_)));
  } else {
    button->setIcon(QIcon());
  }
  button->setToolButtonStyle(has_text && !glyph_.Empty() ? Qt::ToolButtonTextBesideIcon
                             : has_text                  ? Qt::ToolButtonTextOnly
                                                         : Qt::ToolButtonIconOnly);
  button->setCheckable(group_index_ != 0);
  button->setChecked(down_);
  button->setToolTip(show_hint_ ? ToQString(Hint()) : QString());
}
