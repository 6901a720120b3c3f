#pragma once

// The editors' common ground: the edit style (border, button, colours, look and feel), how the border and the
// buttons are painted in each state, and the edit value with its change events and validation.

#include "lookup/cxLookAndFeels.h"
#include "widgets/InputControl.h"

#include <functional>
#include <memory>
#include <string>

class TBitmap;

enum TcxEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat };
enum TcxEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat };
enum TcxEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
enum TcxEditButtonState { ebsDisabled, ebsNormal, ebsPressed, ebsHot };
enum TcxBorder { bLeft, bTop, bRight, bBottom };
using TcxBorders = TSet<TcxBorder, 8>;
enum TcxEditStyleValue { svBorderStyle, svButtonStyle, svPopupBorderStyle };
using TcxEditStyleValues = TSet<TcxEditStyleValue, 8>;

// The resolved border of an editor: by HotTrack and by whether it is focused or under the mouse.
TcxEditBorderStyle EffectiveBorderStyle(TcxEditBorderStyle style, bool hot_track, bool active);
// The resolved style of btsDefault (other styles stand as they are).
TcxEditButtonStyle EffectiveButtonStyle(TcxEditButtonStyle style, TcxEditBorderStyle border, bool hot_track,
                                        bool active);
// The drop-down window's frame for epbsDefault.
TcxEditPopupBorderStyle EffectivePopupBorderStyle(TcxEditPopupBorderStyle style, TcxEditBorderStyle border);
// Pixels a border style takes on each side.
int BorderWidth(TcxEditBorderStyle style);

class TcxEditStyle : public TPersistent {
public:
  TcxEditStyle();
  ~TcxEditStyle() override;

  // Unassigned: by look-and-feel kind (flat -> ebsFlat, standard -> ebs3D, ultra-flat -> ebsUltraFlat).
  TcxEditBorderStyle BorderStyle() const;
  void SetBorderStyle(TcxEditBorderStyle style);
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor color) { Set(border_color_, color); }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { Set(color_, color); }
  TcxBorders Edges() const { return edges_; }
  void SetEdges(TcxBorders edges) { Set(edges_, edges); }
  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool on) { Set(hot_track_, on); }
  bool Shadow() const { return shadow_; }
  void SetShadow(bool on) { Set(shadow_, on); }
  TcxEditButtonStyle ButtonStyle() const { return button_style_; }
  void SetButtonStyle(TcxEditButtonStyle style) { Set(button_style_, style); }
  TcxEditButtonTransparency ButtonTransparency() const { return button_transparency_; }
  void SetButtonTransparency(TcxEditButtonTransparency t) { Set(button_transparency_, t); }
  TcxEditPopupBorderStyle PopupBorderStyle() const { return popup_border_style_; }
  void SetPopupBorderStyle(TcxEditPopupBorderStyle style) { Set(popup_border_style_, style); }
  TcxLookAndFeel& LookAndFeel() { return look_and_feel_; }
  const TcxLookAndFeel& LookAndFeel() const { return look_and_feel_; }
  TcxEditStyleValues AssignedValues() const { return assigned_; }
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
  void Changed();

  TcxEditBorderStyle border_style_ = ebsUltraFlat;
  TcxEditStyleValues assigned_;
  TColor border_color_ = clWindowFrame;
  TColor color_ = clWindow;
  TcxBorders edges_{bLeft, bTop, bRight, bBottom};
  bool hot_track_ = true;
  bool shadow_ = false;
  TcxEditButtonStyle button_style_ = btsDefault;
  TcxEditButtonTransparency button_transparency_ = ebtNone;
  TcxEditPopupBorderStyle popup_border_style_ = epbsDefault;
  TcxLookAndFeel look_and_feel_;
  int look_and_feel_listener_ = 0;
};

// The border of an editor, from the outer edge inwards, and the area inside filled with `color`.
void DrawEditBorder(TCanvas& canvas, const TRect& bounds, TcxEditBorderStyle style, TColor border_color,
                    TcxBorders edges, TColor color);
// An editor button: its rings, its face and the down arrow, for a resolved button style; a glyph that is not empty
// takes the arrow's place, centred on the face.
void DrawEditButton(TCanvas& canvas, const TRect& bounds, TcxEditButtonStyle style, TcxEditButtonState state,
                    TColor face, const TBitmap* glyph = nullptr);
// The rectangle of the down arrow inside a button (see DrawEditButton) and its base width.
TRect DropDownArrowRect(const TRect& button, const TRect& content, bool pressed);
int DropDownArrowBase(int side);
// The frame of a drop-down window; returns the client rectangle inside it.
TRect DrawPopupBorder(TCanvas& canvas, const TRect& bounds, TcxEditPopupBorderStyle style);
int PopupBorderWidth(TcxEditPopupBorderStyle style);

using TcxEditValidateEvent =
    std::function<void(TObject* sender, Variant& display_value, std::string& error_text, bool& error)>;

class EcxEditValidationError : public Exception {
public:
  using Exception::Exception;
};

// The text shown when a validation handler sets the error flag without a text.
extern const char* const cxSEditValidateErrorText;
