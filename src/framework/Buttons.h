#pragma once

#include "framework/StdCtrls.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button with a glyph; its kind picks the platform's standard glyph and modal result.
class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent* owner);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind kind);

protected:
  void SyncWidget() override;

private:
  TBitBtnKind kind_ = bkCustom;
};
