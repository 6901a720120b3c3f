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

// A flat tool button with a caption or a glyph, painted on its parent; it never takes the focus.
class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* owner);
  bool Flat() const { return flat_; }
  void SetFlat(bool on);
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool on);
  // Buttons of one GroupIndex other than 0 stay down one at a time; with AllowAllUp all may be up.
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int index) { group_index_ = index; }
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool on) { allow_all_up_ = on; }
  bool Down() const { return down_; }
  void SetDown(bool on);
  void Click() override;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  bool flat_ = false;
  bool show_hint_ = false;
  int group_index_ = 0;
  bool allow_all_up_ = false;
  bool down_ = false;
};
