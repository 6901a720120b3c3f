#include "lookup/cxDBLookupComboBox.h"

#include "core/Properties.h"
#include "data/DBRegistration.h"
#include "lookup/cxButtons.h"

#include <mutex>

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::string_view kVertAlignmentNames[] = {"taTopJustify", "taBottomJustify", "taVCenter"};
constexpr std::string_view kKindNames[] = {"lfFlat", "lfStandard", "lfUltraFlat"};
constexpr std::string_view kBorderStyleNames[] = {"ebsNone", "ebsSingle", "ebsThick",
                                                  "ebsFlat", "ebs3D",     "ebsUltraFlat"};
constexpr std::string_view kButtonStyleNames[] = {"btsDefault", "bts3D",      "btsFlat",
                                                  "btsSimple",  "btsHotFlat", "btsUltraFlat"};
constexpr std::string_view kTransparencyNames[] = {"ebtNone", "ebtInactive", "ebtAlways", "ebtHideInactive",
                                                   "ebtHideUnselected"};
constexpr std::string_view kPopupBorderNames[] = {"epbsDefault", "epbsSingle", "epbsFrame3D", "epbsFlat"};
constexpr std::string_view kBorderNames[] = {"bLeft", "bTop", "bRight", "bBottom"};
constexpr std::string_view kListStyleNames[] = {"lsEditFixedList", "lsEditList", "lsFixedList"};
constexpr std::string_view kCharCaseNames[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};
constexpr std::string_view kGridLinesNames[] = {"glBoth", "glNone", "glVertical", "glHorizontal"};
constexpr std::string_view kSortOrderNames[] = {"soNone", "soAscending", "soDescending"};
constexpr std::string_view kImeModeNames[] = {"imDisable", "imClose",   "imOpen",     "imDontCare",
                                              "imSAlpha",  "imAlpha",   "imHira",     "imSKata",
                                              "imKata",    "imChinese", "imSHanguel", "imHanguel"};
constexpr std::string_view kDragKindNames[] = {"dkDrag", "dkDock"};
constexpr std::string_view kDragModeNames[] = {"dmManual", "dmAutomatic"};
constexpr std::string_view kAnchorNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
constexpr std::string_view kButtonKindNames[] = {"cxbkStandard", "cxbkDropDown", "cxbkDropDownButton"};
constexpr std::string_view kLayoutNames[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};

void RegisterLookAndFeel() {
  RegisterClass<TcxLookAndFeel>("TcxLookAndFeel", "")
      .Enum("Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind, kKindNames, std::optional<TcxLookAndFeelKind>())
      .StoredWhen([](const TcxLookAndFeel& l) { return l.AssignedValues().Contains(lfvKind); })
      .Boolean("NativeStyle", &TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle, std::nullopt)
      .StoredWhen([](const TcxLookAndFeel& l) { return l.AssignedValues().Contains(lfvNativeStyle); });
  RegisterClass<TcxLookAndFeelController>("TcxLookAndFeelController", "TComponent")
      .Enum("Kind", &TcxLookAndFeelController::Kind, &TcxLookAndFeelController::SetKind, kKindNames,
            std::optional(lfUltraFlat))
      .Boolean("NativeStyle", &TcxLookAndFeelController::NativeStyle, &TcxLookAndFeelController::SetNativeStyle, false);
}

void RegisterStyle() {
  RegisterClass<TcxEditStyle>("TcxEditStyle", "")
      .Integer("BorderColor", &TcxEditStyle::BorderColor, &TcxEditStyle::SetBorderColor, clWindowFrame)
      .Names(ColorValueNames())
      .Enum("BorderStyle", &TcxEditStyle::BorderStyle, &TcxEditStyle::SetBorderStyle, kBorderStyleNames,
            std::optional<TcxEditBorderStyle>())
      .StoredWhen([](const TcxEditStyle& s) { return s.AssignedValues().Contains(svBorderStyle); })
      .Enum("ButtonStyle", &TcxEditStyle::ButtonStyle, &TcxEditStyle::SetButtonStyle, kButtonStyleNames,
            std::optional(btsDefault))
      .Enum("ButtonTransparency", &TcxEditStyle::ButtonTransparency, &TcxEditStyle::SetButtonTransparency,
            kTransparencyNames, std::optional(ebtNone))
      .Integer("Color", &TcxEditStyle::Color, &TcxEditStyle::SetColor, clWindow)
      .Names(ColorValueNames())
      .SetOf("Edges", &TcxEditStyle::Edges, &TcxEditStyle::SetEdges, kBorderNames, 0b1111)
      .Boolean("HotTrack", &TcxEditStyle::HotTrack, &TcxEditStyle::SetHotTrack, true)
      .Object("LookAndFeel", [](TcxEditStyle& s) -> TcxLookAndFeel& { return s.LookAndFeel(); })
      .Enum("PopupBorderStyle", &TcxEditStyle::PopupBorderStyle, &TcxEditStyle::SetPopupBorderStyle, kPopupBorderNames,
            std::optional(epbsDefault))
      .Boolean("Shadow", &TcxEditStyle::Shadow, &TcxEditStyle::SetShadow, false);
  RegisterClass<TcxEditAlignment>("TcxEditAlignment", "")
      .Enum("Horz", &TcxEditAlignment::Horz, &TcxEditAlignment::SetHorz, kAlignmentNames, std::optional(taLeftJustify))
      .Enum("Vert", &TcxEditAlignment::Vert, &TcxEditAlignment::SetVert, kVertAlignmentNames,
            std::optional(taTopJustify));
}

void RegisterGrid() {
  RegisterClass<TcxLookupGridOptions>("TcxLookupGridOptions", "")
      .Boolean("AnsiSort", &TcxLookupGridOptions::AnsiSort, &TcxLookupGridOptions::SetAnsiSort, false)
      .Boolean("CaseInsensitive", &TcxLookupGridOptions::CaseInsensitive, &TcxLookupGridOptions::SetCaseInsensitive,
               false)
      .Boolean("ColumnSorting", &TcxLookupGridOptions::ColumnSorting, &TcxLookupGridOptions::SetColumnSorting, true)
      .Enum("GridLines", &TcxLookupGridOptions::GridLines, &TcxLookupGridOptions::SetGridLines, kGridLinesNames,
            std::optional(glBoth))
      .Boolean("RowSelect", &TcxLookupGridOptions::RowSelect, &TcxLookupGridOptions::SetRowSelect, true)
      .Boolean("ShowHeader", &TcxLookupGridOptions::ShowHeader, &TcxLookupGridOptions::SetShowHeader, true);
  RegisterClass<TcxLookupGridColumn>("TcxLookupGridColumn", "")
      .String("Caption", &TcxLookupGridColumn::Caption, &TcxLookupGridColumn::SetCaption, std::nullopt)
      .StoredWhen([](const TcxLookupGridColumn& c) { return c.IsCaptionStored(); })
      .Boolean("Fixed", &TcxLookupGridColumn::Fixed, &TcxLookupGridColumn::SetFixed, false)
      .Enum("HeaderAlignment", &TcxLookupGridColumn::HeaderAlignment, &TcxLookupGridColumn::SetHeaderAlignment,
            kAlignmentNames, std::optional(taLeftJustify))
      .Integer("MinWidth", &TcxLookupGridColumn::MinWidth, &TcxLookupGridColumn::SetMinWidth, 20)
      .Boolean("Sorting", &TcxLookupGridColumn::Sorting, &TcxLookupGridColumn::SetSorting, true)
      .Integer("Width", &TcxLookupGridColumn::Width, &TcxLookupGridColumn::SetWidth, std::nullopt)
      .StoredWhen([](const TcxLookupGridColumn& c) { return c.IsWidthStored(); });
  RegisterClass<TcxLookupDBGridColumn>("TcxLookupDBGridColumn", "TcxLookupGridColumn")
      .String("FieldName", &TcxLookupDBGridColumn::FieldName, &TcxLookupDBGridColumn::SetFieldName)
      .Enum("SortOrder", &TcxLookupGridColumn::SortOrder, &TcxLookupGridColumn::SetSortOrder, kSortOrderNames,
            std::optional(soNone));
}

void RegisterProperties() {
  using P = TcxCustomDBLookupEditProperties;
  RegisterClass<TcxCustomEditProperties>("TcxCustomEditProperties", "")
      .Object("Alignment", [](TcxCustomEditProperties& p) -> TcxEditAlignment& { return p.Alignment(); })
      .Integer("ClearKey", &TcxCustomEditProperties::ClearKey, &TcxCustomEditProperties::SetClearKey, 0)
      .Boolean("ImmediatePost", &TcxCustomEditProperties::ImmediatePost, &TcxCustomEditProperties::SetImmediatePost,
               false)
      .Boolean("ReadOnly", &TcxCustomEditProperties::ReadOnly, &TcxCustomEditProperties::SetReadOnly, false)
      .Boolean("UseLeftAlignmentOnEditing", &TcxCustomEditProperties::UseLeftAlignmentOnEditing,
               &TcxCustomEditProperties::SetUseLeftAlignmentOnEditing, true)
      .Boolean("ValidateOnEnter", &TcxCustomEditProperties::ValidateOnEnter,
               &TcxCustomEditProperties::SetValidateOnEnter, true)
      .Event("OnChange", &TcxCustomEditProperties::OnChange)
      .Event("OnEditValueChanged", &TcxCustomEditProperties::OnEditValueChanged)
      .Event("OnValidate", &TcxCustomEditProperties::OnValidate);
  RegisterClass<TcxCustomTextEditProperties>("TcxCustomTextEditProperties", "TcxCustomEditProperties")
      .Boolean("AutoSelect", &TcxCustomTextEditProperties::AutoSelect, &TcxCustomTextEditProperties::SetAutoSelect,
               true)
      .Enum("CharCase", &TcxCustomTextEditProperties::CharCase, &TcxCustomTextEditProperties::SetCharCase,
            kCharCaseNames, std::optional(ecNormal))
      .Boolean("HideSelection", &TcxCustomTextEditProperties::HideSelection,
               &TcxCustomTextEditProperties::SetHideSelection, true)
      .Integer("MaxLength", &TcxCustomTextEditProperties::MaxLength, &TcxCustomTextEditProperties::SetMaxLength, 0)
      .Boolean("OEMConvert", &TcxCustomTextEditProperties::OEMConvert, &TcxCustomTextEditProperties::SetOEMConvert,
               false);
  RegisterClass<TcxCustomMaskEditProperties>("TcxCustomMaskEditProperties", "TcxCustomTextEditProperties");
  RegisterClass<TcxCustomDropDownEditProperties>("TcxCustomDropDownEditProperties", "TcxCustomMaskEditProperties")
      .Boolean("ImmediateDropDown", &TcxCustomDropDownEditProperties::ImmediateDropDown,
               &TcxCustomDropDownEditProperties::SetImmediateDropDown, true)
      .Enum("PopupAlignment", &TcxCustomDropDownEditProperties::PopupAlignment,
            &TcxCustomDropDownEditProperties::SetPopupAlignment, kAlignmentNames, std::optional(taLeftJustify))
      .Event("OnInitPopup", &TcxCustomDropDownEditProperties::OnInitPopup)
      .Event("OnPopup", &TcxCustomDropDownEditProperties::OnPopup)
      .Event("OnCloseUp", &TcxCustomDropDownEditProperties::OnCloseUp);
  RegisterClass<TcxCustomComboBoxProperties>("TcxCustomComboBoxProperties", "TcxCustomDropDownEditProperties")
      .Boolean("DropDownAutoSize", &TcxCustomComboBoxProperties::DropDownAutoSize,
               &TcxCustomComboBoxProperties::SetDropDownAutoSize, false)
      .Integer("DropDownHeight", &TcxCustomComboBoxProperties::DropDownHeight,
               &TcxCustomComboBoxProperties::SetDropDownHeight, 0)
      .Enum("DropDownListStyle", &TcxCustomComboBoxProperties::DropDownListStyle,
            &TcxCustomComboBoxProperties::SetDropDownListStyle, kListStyleNames, std::optional(lsEditFixedList))
      .Integer("DropDownRows", &TcxCustomComboBoxProperties::DropDownRows,
               &TcxCustomComboBoxProperties::SetDropDownRows, 8)
      .Boolean("DropDownSizeable", &TcxCustomComboBoxProperties::DropDownSizeable,
               &TcxCustomComboBoxProperties::SetDropDownSizeable, false)
      .Integer("DropDownWidth", &TcxCustomComboBoxProperties::DropDownWidth,
               &TcxCustomComboBoxProperties::SetDropDownWidth, 0)
      .Boolean("Revertable", &TcxCustomComboBoxProperties::Revertable, &TcxCustomComboBoxProperties::SetRevertable,
               false);
  RegisterClass<TcxCustomLookupEditProperties>("TcxCustomLookupEditProperties", "TcxCustomComboBoxProperties")
      .Boolean("IncrementalFiltering", &TcxCustomLookupEditProperties::IncrementalFiltering,
               &TcxCustomLookupEditProperties::SetIncrementalFiltering, true)
      .Event("OnNewLookupDisplayText", &TcxCustomLookupEditProperties::OnNewLookupDisplayText)
      .Event("OnSortingChanged", &TcxCustomLookupEditProperties::OnSortingChanged);
  // The columns come before the index that is clamped to them, and the list source last.
  RegisterClass<P>("TcxCustomDBLookupEditProperties", "TcxCustomLookupEditProperties")
      .Boolean("GridMode", &P::GridMode, &P::SetGridMode, false)
      .String("KeyFieldNames", &P::KeyFieldNames, &P::SetKeyFieldNames)
      .Collection("ListColumns", [](P& p) -> TCollection& { return p.ListColumns(); })
      .String("ListFieldNames", &P::ListFieldNames, &P::SetListFieldNames)
      .StoredWhen([](const P&) { return false; })
      .Integer(
          "ListFieldIndex", [](const P& p) { return std::max(0, p.ListFieldIndex()); }, &P::SetListFieldIndex, 0)
      .Object("ListOptions", [](P& p) -> TcxLookupGridOptions& { return p.ListOptions(); })
      .Reference("ListSource", &P::ListSource, &P::SetListSource);
  RegisterClass<TcxLookupComboBoxProperties>("TcxLookupComboBoxProperties", "TcxCustomDBLookupEditProperties");
}

void RegisterEditor() {
  using E = TcxCustomEdit;
  RegisterClass<E>("TcxCustomEdit", "TWinControl")
      .Boolean("TabStop", &E::TabStop, &E::SetTabStop, true)
      .Boolean("ParentColor", &E::ParentColor, &E::SetParentColor, false)
      .SetOf("Anchors", &E::Anchors, &E::SetAnchors, kAnchorNames, 0b11)
      .Boolean("AutoSize", &E::AutoSize, &E::SetAutoSize, true)
      .Boolean("BeepOnEnter", &E::BeepOnEnter, &E::SetBeepOnEnter, true)
      .Integer("DragCursor", &E::DragCursor, &E::SetDragCursor, -12)
      .Enum("DragKind", &E::DragKind, &E::SetDragKind, kDragKindNames, std::optional(dkDrag))
      .Enum("DragMode", &E::DragMode, &E::SetDragMode, kDragModeNames, std::optional(dmManual))
      .Enum("ImeMode", &E::ImeMode, &E::SetImeMode, kImeModeNames, std::optional(imDontCare))
      .String("ImeName", &E::ImeName, &E::SetImeName)
      .Boolean("ParentShowHint", &E::ParentShowHint, &E::SetParentShowHint, true)
      .Reference("PopupMenu", &E::PopupMenu, &E::SetPopupMenu)
      .Boolean("ShowHint", &E::ShowHint, &E::SetShowHint, false)
      .Object("Style", [](E& e) -> TcxEditStyle& { return e.Style(); })
      .Event("OnDblClick", &E::OnDblClick)
      .Event("OnEditing", &E::OnEditing)
      .Event("OnEnter", &E::OnEnter)
      .Event("OnExit", &E::OnExit)
      .Event("OnKeyDown", &E::OnKeyDown)
      .Event("OnKeyPress", &E::OnKeyPress)
      .Event("OnKeyUp", &E::OnKeyUp)
      .Event("OnMouseDown", &E::OnMouseDown)
      .Event("OnMouseMove", &E::OnMouseMove)
      .Event("OnMouseUp", &E::OnMouseUp);
  RegisterClass<TcxLookupComboBox>("TcxLookupComboBox", "TcxCustomEdit")
      .Object("Properties", [](TcxLookupComboBox& e) -> TcxLookupComboBoxProperties& { return e.Properties(); })
      .VariantValue("EditValue", &TcxLookupComboBox::EditValue, &TcxLookupComboBox::SetEditValue);
}

void RegisterButton() {
  using B = TcxCustomButton;
  RegisterClass<TcxButtonColors>("TcxButtonColors", "")
      .Integer("Default", &TcxButtonColors::Default, &TcxButtonColors::SetDefault, clDefault)
      .Names(ColorValueNames())
      .Integer("Normal", &TcxButtonColors::Normal, &TcxButtonColors::SetNormal, clDefault)
      .Names(ColorValueNames())
      .Integer("Hot", &TcxButtonColors::Hot, &TcxButtonColors::SetHot, clDefault)
      .Names(ColorValueNames())
      .Integer("Pressed", &TcxButtonColors::Pressed, &TcxButtonColors::SetPressed, clDefault)
      .Names(ColorValueNames())
      .Integer("Disabled", &TcxButtonColors::Disabled, &TcxButtonColors::SetDisabled, clDefault)
      .Names(ColorValueNames());
  RegisterClass<TcxButton>("TcxButton", "TWinControl")
      .Boolean("TabStop", &B::TabStop, &B::SetTabStop, true)
      .String("Caption", &B::Caption, &B::SetCaption)
      .Boolean("Cancel", &B::Cancel, &B::SetCancel, false)
      .Object("Colors", [](TcxButton& b) -> TcxButtonColors& { return b.Colors(); })
      .Boolean("Default", &B::Default, &B::SetDefault, false)
      .Reference("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu)
      .Enum("Kind", &B::Kind, &B::SetKind, kButtonKindNames, std::optional(cxbkStandard))
      .Enum("Layout", &B::Layout, &B::SetLayout, kLayoutNames, std::optional(blGlyphLeft))
      .Object("LookAndFeel", [](TcxButton& b) -> TcxLookAndFeel& { return b.LookAndFeel(); })
      .Integer("Margin", &B::Margin, &B::SetMargin, -1)
      .Integer("ModalResult", &B::ModalResult, &B::SetModalResult, 0)
      .Integer("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs, 1)
      .Reference("PopupMenu", &B::PopupMenu, &B::SetPopupMenu)
      .Integer("Spacing", &B::Spacing, &B::SetSpacing, 4)
      .Boolean("UseSystemPaint", &B::UseSystemPaint, &B::SetUseSystemPaint, true)
      .Event("OnGetDrawParams", &B::OnGetDrawParams);
}

}  // namespace

void RegisterLookupClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterFrameworkClasses();
    RegisterDataClasses();
    RegisterLookAndFeel();
    RegisterStyle();
    RegisterGrid();
    RegisterProperties();
    RegisterEditor();
    RegisterButton();
  });
}
