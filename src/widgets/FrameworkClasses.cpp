#include "core/Properties.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

#include <mutex>

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kAlignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
constexpr std::string_view kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::string_view kFontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr std::string_view kFontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                  "bsDialog", "bsToolWindow", "bsSizeToolWin"};
constexpr std::string_view kPositionNames[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                               "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                               "poMainFormCenter",  "poOwnerFormCenter"};
constexpr std::string_view kWindowStateNames[] = {"wsNormal", "wsMinimized", "wsMaximized"};
constexpr std::string_view kFormStyleNames[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
constexpr std::string_view kBorderIconNames[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};

constexpr std::pair<long long, std::string_view> kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
};

constexpr std::pair<long long, std::string_view> kCharsetNames[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"}};

void RegisterAll() {
  RegisterClass<TComponent>("TComponent", "").Int64("Tag", &TComponent::Tag, &TComponent::SetTag);

  RegisterClass<TFont>("TFont", "")
      .Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
      .Names(kCharsetNames)
      .Integer("Color", &TFont::Color, &TFont::SetColor, clWindowText)
      .Names(kColorNames)
      .Integer("Height", &TFont::Height, &TFont::SetHeight, -11)
      .String("Name", &TFont::Name, &TFont::SetName, "MS Sans Serif")
      .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, kFontPitchNames, std::optional(fpDefault))
      .SetOf("Style", &TFont::Style, &TFont::SetStyle, kFontStyleNames);

  RegisterClass<TSizeConstraints>("TSizeConstraints", "")
      .Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight)
      .Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth)
      .Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight)
      .Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth);

  RegisterClass<TControl>("TControl", "TComponent")
      .Integer("Left", &TControl::Left, &TControl::SetLeft, std::nullopt)
      .Integer("Top", &TControl::Top, &TControl::SetTop, std::nullopt)
      .Integer("Width", &TControl::Width, &TControl::SetWidth, std::nullopt)
      .Integer("Height", &TControl::Height, &TControl::SetHeight, std::nullopt)
      .Enum("Align", &TControl::Align, &TControl::SetAlign, kAlignNames, std::optional(alNone))
      .Integer("Color", &TControl::Color, &TControl::SetColor, clWindow)
      .Names(kColorNames)
      .StoredWhen([](const TControl& c) { return !c.ParentColor(); })
      .Object("Constraints", [](TControl& c) -> TSizeConstraints& { return c.Constraints(); })
      .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
      .Object("Font", [](TControl& c) -> TFont& { return c.Font(); })
      .StoredWhen([](const TControl& c) { return !c.ParentFont(); })
      .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
      .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
      .String("Hint", &TControl::Hint, &TControl::SetHint)
      .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
      .Event("OnClick", &TControl::OnClick);

  RegisterClass<TWinControl>("TWinControl", "TControl")
      .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
      .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
  RegisterClass<TCustomControl>("TCustomControl", "TWinControl");
  RegisterClass<TGraphicControl>("TGraphicControl", "TControl");

  RegisterClass<TLabel>("TLabel", "TGraphicControl")
      .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
      .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, kAlignmentNames, std::optional(taLeftJustify))
      .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
      .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
      .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);

  RegisterClass<TEdit>("TEdit", "TWinControl")
      .String("Text", &TEdit::GetText, &TEdit::SetText)
      .Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
      .Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
      .Event("OnChange", &TEdit::OnChange);

  RegisterClass<TButton>("TButton", "TWinControl")
      .String("Caption", &TButton::Caption, &TButton::SetCaption)
      .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel)
      .Boolean("Default", &TButton::Default, &TButton::SetDefault)
      .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);

  RegisterClass<TGroupBox>("TGroupBox", "TCustomControl")
      .String("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);

  // A form's size is its client size; the frame belongs to the window manager.
  RegisterClass<TForm>("TForm", "TWinControl")
      .Integer("Width", &TForm::Width, &TForm::SetWidth)
      .StoredWhen([](const TForm&) { return false; })
      .Integer("Height", &TForm::Height, &TForm::SetHeight)
      .StoredWhen([](const TForm&) { return false; })
      .String("Caption", &TForm::Caption, &TForm::SetCaption)
      .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth, std::nullopt)
      .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight, std::nullopt)
      .Integer("Color", &TForm::Color, &TForm::SetColor, clBtnFace)
      .Names(kColorNames)
      .Boolean("ParentColor", &TForm::ParentColor, &TForm::SetParentColor)
      .StoredWhen([](const TForm&) { return false; })
      .Boolean("Visible", &TForm::Visible, &TForm::SetVisible, false)
      .SetOf("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons, kBorderIconNames, 0b111)
      .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, kBorderStyleNames, std::optional(bsSizeable))
      .Enum("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle, kFormStyleNames, std::optional(fsNormal))
      .Boolean("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview)
      .Enum("Position", &TForm::Position, &TForm::SetPosition, kPositionNames, std::optional(poDefaultPosOnly))
      .Enum("WindowState", &TForm::WindowState, &TForm::SetWindowState, kWindowStateNames, std::optional(wsNormal))
      .Event("OnShow", &TForm::OnShow)
      .Event("OnHide", &TForm::OnHide)
      .Event("OnClose", &TForm::OnClose)
      .Event("OnCloseQuery", &TForm::OnCloseQuery);
}

}  // namespace

std::span<const std::pair<long long, std::string_view>> ColorValueNames() { return kColorNames; }

void RegisterFrameworkClasses() {
  static std::once_flag once;
  std::call_once(once, RegisterAll);
}
