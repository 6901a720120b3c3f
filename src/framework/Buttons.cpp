#include "framework/Buttons.h"

#include "framework/Forms.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>

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
