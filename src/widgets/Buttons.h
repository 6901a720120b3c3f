#pragma once

#include "graphics/Bitmap.h"
#include "widgets/StdCtrls.h"

#include <memory>

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

// A small button for tool bars, drawn flat until the mouse is over it. With a GroupIndex it stays down when clicked:
// clicking it again brings it up only when AllowAllUp is set.
class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool on);
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool on);
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int index);
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool on) { allow_all_up_ = on; }
  bool Down() const { return down_; }
  void SetDown(bool down);
  // The picture beside the caption. Its pixels may be finer than the screen's: GlyphScale device pixels a unit
  // (2 draws a 32 x 32 bitmap as a 16 x 16 glyph, sharp on a screen with twice the usual density).
  TBitmap& Glyph() { return glyph_; }
  const TBitmap& Glyph() const { return glyph_; }
  double GlyphScale() const { return glyph_scale_; }
  void SetGlyphScale(double scale);
  // Shows a glyph changed through Glyph().
  void GlyphChanged();

  void Click() override;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  TBitmap glyph_;
  double glyph_scale_ = 1.0;
  bool flat_ = false;
  bool show_hint_ = false;
  int group_index_ = 0;
  bool allow_all_up_ = false;
  bool down_ = false;
};
