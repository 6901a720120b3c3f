// The published properties of the report engine's classes: what a report definition may hold and writes back.

#include "core/Properties.h"
#include "data/DB.h"
#include "report/RLParser.h"
#include "report/RLReport.h"

#include <mutex>

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kPaperSizeNames[] = {"fpA0",
                                                "fpA1",
                                                "fpA2",
                                                "fpA3",
                                                "fpA4",
                                                "fpA5",
                                                "fpA6",
                                                "fpA7",
                                                "fpA8",
                                                "fpA9",
                                                "fpA10",
                                                "fpB0",
                                                "fpB1",
                                                "fpB2",
                                                "fpB3",
                                                "fpB4",
                                                "fpB5",
                                                "fpB6",
                                                "fpB7",
                                                "fpB8",
                                                "fpB9",
                                                "fpB10",
                                                "fpSRA0",
                                                "fpSRA1",
                                                "fpSRA2",
                                                "fpSRA3",
                                                "fpSRA4",
                                                "fpRA0",
                                                "fpRA1",
                                                "fpRA2",
                                                "fpRA3",
                                                "fpRA4",
                                                "fp2A",
                                                "fp2B",
                                                "fp4A",
                                                "fp4B",
                                                "fp9x11",
                                                "fp10x11",
                                                "fp10x14",
                                                "fp11x17",
                                                "fp12x11",
                                                "fp15x11",
                                                "fpA3_Extra",
                                                "fpA3_Extra_Transverse",
                                                "fpA3_Transverse",
                                                "fpA4_Small",
                                                "fpA4_Extra",
                                                "fpA4_Plus",
                                                "fpA4_Transverse",
                                                "fpA5_Extra",
                                                "fpA5_Transverse",
                                                "fpA_Plus",
                                                "fpB4_JIS",
                                                "fpB5_Extra",
                                                "fpB5_Transverse",
                                                "fpB6_JIS",
                                                "fpB_Plus",
                                                "fpEnv_9",
                                                "fpEnv_10",
                                                "fpEnv_11",
                                                "fpEnv_12",
                                                "fpEnv_14",
                                                "fpEnv_B4",
                                                "fpEnv_B5",
                                                "fpEnv_B6",
                                                "fpEnv_C0",
                                                "fpEnv_C1",
                                                "fpEnv_C2",
                                                "fpEnv_C3",
                                                "fpEnv_C4",
                                                "fpEnv_C5",
                                                "fpEnv_C5E",
                                                "fpEnv_C6",
                                                "fpEnv_C65",
                                                "fpEnv_C7",
                                                "fpEnv_C8",
                                                "fpEnv_C9",
                                                "fpEnv_C10",
                                                "fpEnv_DL",
                                                "fpEnv_Invite",
                                                "fpEnv_Italy",
                                                "fpEnv_Monarch",
                                                "fpEnv_Personal",
                                                "fpLetter",
                                                "fpLegal",
                                                "fpLedger",
                                                "fpTabloid",
                                                "fpExecutive",
                                                "fpFanfold_US",
                                                "fpComm10E",
                                                "fpDLE",
                                                "fpFolio",
                                                "fpNote",
                                                "fpPostcard",
                                                "fpQuarto",
                                                "fpStatement",
                                                "fpLegal_Extra",
                                                "fpLegal3",
                                                "fpLetter_Small",
                                                "fpLetter_Extra",
                                                "fpLetter_Extra_Transverse",
                                                "fpLetter_Plus",
                                                "fpLetter_Transverse",
                                                "fpP16K",
                                                "fpP32K",
                                                "fpP32KBig",
                                                "fpPEnv_1",
                                                "fpPEnv_2",
                                                "fpPEnv_3",
                                                "fpPEnv_4",
                                                "fpPEnv_5",
                                                "fpPEnv_6",
                                                "fpPEnv_7",
                                                "fpPEnv_8",
                                                "fpPEnv_9",
                                                "fpPEnv_10",
                                                "fpTabloid_Extra",
                                                "fpGerman_Legal_Fanfold",
                                                "fpGerman_Std_Fanfold",
                                                "fpJap_DblPostcard",
                                                "fpJap_Postcard",
                                                "fpEng_Foolscap",
                                                "fpEng_DoubleFoolscap",
                                                "fpEng_QuadFoolscap",
                                                "fpEng_Crown",
                                                "fpEng_DoubleCrown",
                                                "fpEng_QuadCrown",
                                                "fpEng_DoubleQuad",
                                                "fpEng_Post",
                                                "fpEng_DoublePost",
                                                "fpEng_DoubleLarge",
                                                "fpEng_Demy",
                                                "fpEng_DoubleDemy",
                                                "fpEng_QuadDemy",
                                                "fpEng_MusicDemy",
                                                "fpEng_Medium",
                                                "fpEng_Royal",
                                                "fpEng_SuperRoyal",
                                                "fpEng_Elephant",
                                                "fpEng_Imperial",
                                                "fpCustom",
                                                "fpDefault"};
constexpr std::string_view kOrientationNames[] = {"poPortrait", "poLandscape"};
constexpr std::string_view kPenStyleNames[] = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                               "psDashDotDot", "psClear", "psInsideFrame"};
constexpr std::string_view kPenModeNames[] = {
    "pmBlack",       "pmWhite",      "pmNop",   "pmNot",      "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
    "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor",         "pmNotXor"};
constexpr std::string_view kPositionNames[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                               "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                               "poMainFormCenter",  "poOwnerFormCenter"};
constexpr std::string_view kWindowStateNames[] = {"wsNormal", "wsMinimized", "wsMaximized"};
constexpr std::string_view kBorderIconNames[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};

void RegisterSubObjects() {
  RegisterClass<TPen>("TPen", "")
      .Integer("Color", &TPen::Color, &TPen::SetColor, clBlack)
      .Names(ColorValueNames())
      .Enum("Mode", &TPen::Mode, &TPen::SetMode, kPenModeNames, std::optional(pmCopy))
      .Enum("Style", &TPen::Style, &TPen::SetStyle, kPenStyleNames, std::optional(psSolid))
      .Integer("Width", &TPen::Width, &TPen::SetWidth, 1);
  RegisterClass<TBrush>("TBrush", "")
      .Integer("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
      .Names(ColorValueNames())
      .Enum("Style", &TBrush::Style, &TBrush::SetStyle, RLNames::BrushStyle, std::optional(bsSolid));

  RegisterClass<TRLBorders>("TRLBorders", "")
      .Enum("Sides", &TRLBorders::Sides, &TRLBorders::SetSides, RLNames::BorderSides, std::optional(sdNone))
      .Boolean("DrawLeft", &TRLBorders::DrawLeft, &TRLBorders::SetDrawLeft)
      .StoredWhen(&TRLBorders::IsDrawStored)
      .Boolean("DrawTop", &TRLBorders::DrawTop, &TRLBorders::SetDrawTop)
      .StoredWhen(&TRLBorders::IsDrawStored)
      .Boolean("DrawRight", &TRLBorders::DrawRight, &TRLBorders::SetDrawRight)
      .StoredWhen(&TRLBorders::IsDrawStored)
      .Boolean("DrawBottom", &TRLBorders::DrawBottom, &TRLBorders::SetDrawBottom)
      .StoredWhen(&TRLBorders::IsDrawStored)
      .Integer("Width", &TRLBorders::Width, &TRLBorders::SetWidth, 1)
      .Integer("Color", &TRLBorders::Color, &TRLBorders::SetColor, clBlack)
      .Names(ColorValueNames())
      .Enum("Style", &TRLBorders::Style, &TRLBorders::SetStyle, RLNames::BrushStyle, std::optional(bsSolid))
      .Boolean("FixedLeft", &TRLBorders::FixedLeft, &TRLBorders::SetFixedLeft)
      .Boolean("FixedTop", &TRLBorders::FixedTop, &TRLBorders::SetFixedTop)
      .Boolean("FixedRight", &TRLBorders::FixedRight, &TRLBorders::SetFixedRight)
      .Boolean("FixedBottom", &TRLBorders::FixedBottom, &TRLBorders::SetFixedBottom);

  RegisterClass<TRLRealBounds>("TRLRealBounds", "")
      .Enum("UsedUnit", &TRLRealBounds::UsedUnit, &TRLRealBounds::SetUsedUnit, RLNames::RealBoundsUnit,
            std::optional(buNone))
      .Float("Left", &TRLRealBounds::Left, &TRLRealBounds::SetLeft)
      .Float("Top", &TRLRealBounds::Top, &TRLRealBounds::SetTop)
      .Float("Width", &TRLRealBounds::Width, &TRLRealBounds::SetWidth)
      .Float("Height", &TRLRealBounds::Height, &TRLRealBounds::SetHeight);

  RegisterClass<TRLMargins>("TRLMargins", "")
      .Float("LeftMargin", &TRLMargins::LeftMargin, &TRLMargins::SetLeftMargin, std::nullopt)
      .StoredWhen([](const TRLMargins& m) { return m.IsStored(0); })
      .Float("TopMargin", &TRLMargins::TopMargin, &TRLMargins::SetTopMargin, std::nullopt)
      .StoredWhen([](const TRLMargins& m) { return m.IsStored(1); })
      .Float("RightMargin", &TRLMargins::RightMargin, &TRLMargins::SetRightMargin, std::nullopt)
      .StoredWhen([](const TRLMargins& m) { return m.IsStored(2); })
      .Float("BottomMargin", &TRLMargins::BottomMargin, &TRLMargins::SetBottomMargin, std::nullopt)
      .StoredWhen([](const TRLMargins& m) { return m.IsStored(3); });

  RegisterClass<TRLBackground>("TRLBackground", "")
      .Enum("Align", &TRLBackground::Align, &TRLBackground::SetAlign, RLNames::ControlAlign, std::optional(faClient))
      .Enum("Arrange", &TRLBackground::Arrange, &TRLBackground::SetArrange, RLNames::ImageArrange,
            std::optional(baAligned))
      .Boolean("AutoSize", &TRLBackground::AutoSize, &TRLBackground::SetAutoSize, true)
      .Integer("Height", &TRLBackground::Height, &TRLBackground::SetHeight, 40)
      .Boolean("Stretch", &TRLBackground::Stretch, &TRLBackground::SetStretch)
      .Integer("Width", &TRLBackground::Width, &TRLBackground::SetWidth, 40);

  RegisterClass<TRLDegradeEffect>("TRLDegradeEffect", "")
      .Integer("OppositeColor", &TRLDegradeEffect::OppositeColor, &TRLDegradeEffect::SetOppositeColor, clBlack)
      .Names(ColorValueNames())
      .Enum("Direction", &TRLDegradeEffect::Direction, &TRLDegradeEffect::SetDirection, RLNames::DegradeDirection,
            std::optional(ddNone))
      .Integer("Granularity", &TRLDegradeEffect::Granularity, &TRLDegradeEffect::SetGranularity, 1);

  RegisterClass<TRLPageSetup>("TRLPageSetup", "")
      .Enum("PaperSize", &TRLPageSetup::PaperSize, &TRLPageSetup::SetPaperSize, kPaperSizeNames,
            std::optional(TRLPaperSize::fpA4))
      .Float("PaperWidth", &TRLPageSetup::PaperWidth, &TRLPageSetup::SetPaperWidth, std::nullopt)
      .StoredWhen(&TRLPageSetup::IsPaperDimensionStored)
      .Float("PaperHeight", &TRLPageSetup::PaperHeight, &TRLPageSetup::SetPaperHeight, std::nullopt)
      .StoredWhen(&TRLPageSetup::IsPaperDimensionStored)
      .Enum("Orientation", &TRLPageSetup::Orientation, &TRLPageSetup::SetOrientation, kOrientationNames,
            std::optional(TRLPageOrientation::poPortrait))
      .Boolean("ForceEmulation", &TRLPageSetup::ForceEmulation, &TRLPageSetup::SetForceEmulation);

  RegisterClass<TRLPreviewOptions>("TRLPreviewOptions", "")
      .Enum("Defaults", &TRLPreviewOptions::Defaults, &TRLPreviewOptions::SetDefaults, RLNames::PreviewOptionsDefaults,
            std::optional(pdUseDefaults))
      .Boolean("ShowModal", &TRLPreviewOptions::ShowModal, &TRLPreviewOptions::SetShowModal)
      .Enum("FormStyle", &TRLPreviewOptions::FormStyle, &TRLPreviewOptions::SetFormStyle, RLNames::FormStyle,
            std::optional(fsNormal))
      .Enum("Position", &TRLPreviewOptions::Position, &TRLPreviewOptions::SetPosition, kPositionNames,
            std::optional(poScreenCenter))
      .Enum("WindowState", &TRLPreviewOptions::WindowState, &TRLPreviewOptions::SetWindowState, kWindowStateNames,
            std::optional(wsMaximized))
      .SetOf("BorderIcons", &TRLPreviewOptions::BorderIcons, &TRLPreviewOptions::SetBorderIcons, kBorderIconNames,
             0b111)
      .String("HelpFile", &TRLPreviewOptions::HelpFile, &TRLPreviewOptions::SetHelpFile)
      .Integer("HelpContext", &TRLPreviewOptions::HelpContext, &TRLPreviewOptions::SetHelpContext)
      .String("Caption", &TRLPreviewOptions::Caption, &TRLPreviewOptions::SetCaption, std::nullopt)
      .StoredWhen(&TRLPreviewOptions::IsCaptionStored);
}

// ---- Property groups shared by the published classes ----

template <class C>
void Placement(TClassBuilder<C>& b) {
  b.Enum("Align", &C::Align, &C::SetAlign, RLNames::ControlAlign, std::optional(faNone))
      .SetOf("Anchors", &C::Anchors, &C::SetAnchors, RLNames::Anchors);
}

template <class C>
void Common(TClassBuilder<C>& b) {
  b.SetOf("Behavior", &C::Behavior, &C::SetBehavior, RLNames::Behavior, std::nullopt)
      .StoredWhen([](const C& c) { return c.Behavior() != c.DefaultBehavior(); })
      .Object("Borders", [](C& c) -> TRLBorders& { return c.Borders(); })
      .String("FriendlyName", &C::FriendlyName, &C::SetFriendlyName)
      .StoredWhen([](const C& c) { return !c.FriendlyName().empty() && c.FriendlyName() != c.Name(); })
      .Object("RealBounds", [](C& c) -> TRLRealBounds& { return c.RealBounds(); })
      .Boolean("Transparent", &C::Transparent, &C::SetTransparent, true)
      .Event("AfterPrint", &C::AfterPrint)
      .Event("OnMeasureHeight", &C::OnMeasureHeight);
}

template <class C>
void Holders(TClassBuilder<C>& b) {
  b.Reference("Holder", &C::Holder, &C::SetHolder)
      .Enum("HoldStyle", &C::HoldStyle, &C::SetHoldStyle, RLNames::HoldStyle, std::optional(hsAsColumn))
      .Reference("SecondHolder", &C::SecondHolder, &C::SetSecondHolder)
      .Enum("SecondHoldStyle", &C::SecondHoldStyle, &C::SetSecondHoldStyle, RLNames::HoldStyle,
            std::optional(hsAsColumn));
}

template <class C>
void TextControl(TClassBuilder<C>& b) {
  Placement(b);
  b.Enum("Alignment", &C::Alignment, &C::SetAlignment, RLNames::TextAlignment,
         std::optional(TRLTextAlignment::taLeftJustify))
      .Boolean("AutoSize", &C::AutoSize, &C::SetAutoSize, true)
      .Enum("Layout", &C::Layout, &C::SetLayout, RLNames::TextLayout, std::optional(tlTop))
      .Event("BeforePrint", &C::BeforePrint);
  Common(b);
  Holders(b);
}

template <class C>
void SiteParts(TClassBuilder<C>& b) {
  // Sites are placed by their kind; they do not publish an alignment of their own.
  b.Enum("Align", &C::Align, &C::SetAlign, RLNames::ControlAlign, std::optional(faNone))
      .StoredWhen([](const C&) { return false; })
      .Object("Background", [](C& c) -> TRLBackground& { return c.Background(); })
      .Object("Degrade", [](C& c) -> TRLDegradeEffect& { return c.Degrade(); })
      .Object("InsideMargins", [](C& c) -> TRLMargins& { return c.InsideMargins(); })
      .Object("Margins", [](C& c) -> TRLMargins& { return c.Margins(); })
      .Event("BeforePrint", static_cast<TRLBeforePrintEvent C::*>(&C::BeforePrint));
  Common(b);
}

template <class C>
void PagerParts(TClassBuilder<C>& b) {
  b.SetOf("AllowedBands", &C::AllowedBands, &C::SetAllowedBands, RLNames::BandType)
      .Enum("FooterMeasuring", &C::FooterMeasuring, &C::SetFooterMeasuring, RLNames::FooterMeasuring,
            std::optional(fmNone))
      .Boolean("ForceMinBands", &C::ForceMinBands, &C::SetForceMinBands)
      .Integer("MaxBands", &C::MaxBands, &C::SetMaxBands)
      .Integer("MinBands", &C::MinBands, &C::SetMinBands);
}

void RegisterElements() {
  RegisterClass<TRLCustomControl>("TRLCustomControl", "TCustomControl");
  RegisterClass<TRLCustomLabel>("TRLCustomLabel", "TRLCustomControl");
  RegisterClass<TRLCustomDBText>("TRLCustomDBText", "TRLCustomLabel");
  RegisterClass<TRLCustomSystemInfo>("TRLCustomSystemInfo", "TRLCustomLabel");
  RegisterClass<TRLCustomDraw>("TRLCustomDraw", "TRLCustomControl");
  RegisterClass<TRLCustomSite>("TRLCustomSite", "TRLCustomControl");
  RegisterClass<TRLCustomBandSet>("TRLCustomBandSet", "TRLCustomSite");
  RegisterClass<TRLCustomBand>("TRLCustomBand", "TRLCustomBandSet");
  RegisterClass<TRLCustomPager>("TRLCustomPager", "TRLCustomBandSet");
  RegisterClass<TRLCustomGroup>("TRLCustomGroup", "TRLCustomPager");
  RegisterClass<TRLCustomSkipper>("TRLCustomSkipper", "TRLCustomPager");
  RegisterClass<TRLCustomReport>("TRLCustomReport", "TRLCustomSkipper");

  auto label = RegisterClass<TRLLabel>("TRLLabel", "TRLCustomLabel");
  TextControl(label);
  label.String("Caption", &TRLLabel::Caption, &TRLLabel::SetCaption).StoredWhen(&TRLLabel::IsCaptionStored);

  auto dbtext = RegisterClass<TRLDBText>("TRLDBText", "TRLCustomDBText");
  TextControl(dbtext);
  dbtext.String("DataField", &TRLDBText::DataField, &TRLDBText::SetDataField)
      .String("DataFormula", &TRLDBText::DataFormula, &TRLDBText::SetDataFormula)
      .Reference("DataSource", &TRLDBText::DataSource, &TRLDBText::SetDataSource)
      .String("DisplayMask", &TRLDBText::DisplayMask, &TRLDBText::SetDisplayMask)
      .String("Text", &TRLDBText::Text, &TRLDBText::SetText);

  auto info = RegisterClass<TRLSystemInfo>("TRLSystemInfo", "TRLCustomSystemInfo");
  TextControl(info);
  info.Enum("Info", &TRLSystemInfo::Info, &TRLSystemInfo::SetInfo, RLNames::InfoType, std::optional(itDate))
      .String("Text", &TRLSystemInfo::Text, &TRLSystemInfo::SetText);

  auto draw = RegisterClass<TRLDraw>("TRLDraw", "TRLCustomDraw");
  Placement(draw);
  draw.Float("Angle", &TRLDraw::Angle, &TRLDraw::SetAngle)
      .Object("Brush", [](TRLDraw& d) -> TBrush& { return d.Brush(); })
      .Boolean("Center", &TRLDraw::Center, &TRLDraw::SetCenter, true)
      .Strings("DrawData", [](TRLDraw& d) -> TStrings& { return d.DrawData(); })
      .StoredWhen([](const TRLDraw& d) { return d.DrawKind() == dkCustom; })
      .Integer("DrawHeight", &TRLDraw::DrawHeight, &TRLDraw::SetDrawHeight, std::nullopt)
      .StoredWhen([](const TRLDraw& d) { return d.DrawWidth() != 0 || d.DrawHeight() != 0; })
      .Enum("DrawKind", &TRLDraw::DrawKind, &TRLDraw::SetDrawKind, RLNames::DrawKind, std::optional(dkRectangle))
      .Integer("DrawWidth", &TRLDraw::DrawWidth, &TRLDraw::SetDrawWidth, std::nullopt)
      .StoredWhen([](const TRLDraw& d) { return d.DrawWidth() != 0 || d.DrawHeight() != 0; })
      .SetOf("Options", &TRLDraw::Options, &TRLDraw::SetOptions, RLNames::DrawOptions)
      .Object("Pen", [](TRLDraw& d) -> TPen& { return d.Pen(); })
      .Event("BeforePrint", static_cast<TRLBeforePrintEvent TRLDraw::*>(&TRLDraw::BeforePrint))
      .Legacy("Kind", &TRLDraw::ReadLegacyKind);
  Common(draw);
  Holders(draw);

  auto band = RegisterClass<TRLBand>("TRLBand", "TRLCustomBand");
  SiteParts(band);
  band.Boolean("AlignToBottom", &TRLBand::AlignToBottom, &TRLBand::SetAlignToBottom)
      .Boolean("AutoExpand", &TRLBand::AutoExpand, &TRLBand::SetAutoExpand, true)
      .Boolean("AutoSize", &TRLBand::AutoSize, &TRLBand::SetAutoSize, false)
      .Enum("BandType", &TRLBand::BandType, &TRLBand::SetBandType, RLNames::BandType, std::optional(btDetail))
      .Integer("CarbonCopies", &TRLBand::CarbonCopies, &TRLBand::SetCarbonCopies, 1)
      .Enum("Completion", &TRLBand::Completion, &TRLBand::SetCompletion, RLNames::CompletionType, std::optional(ctNone))
      .Boolean("Computable", &TRLBand::Computable, &TRLBand::SetComputable, true)
      .Integer("GroupIndex", &TRLBand::GroupIndex, &TRLBand::SetGroupIndex)
      .Boolean("IntegralHeight", &TRLBand::IntegralHeight, &TRLBand::SetIntegralHeight, true)
      .SetOf("Options", &TRLBand::Options, &TRLBand::SetOptions, RLNames::BandOption)
      .Enum("PageBreaking", &TRLBand::PageBreaking, &TRLBand::SetPageBreaking, RLNames::PageBreaking,
            std::optional(pbNone));

  auto group = RegisterClass<TRLGroup>("TRLGroup", "TRLCustomGroup");
  SiteParts(group);
  PagerParts(group);
  group.String("DataFields", &TRLGroup::DataFields, &TRLGroup::SetDataFields)
      .String("DataFormula", &TRLGroup::DataFormula, &TRLGroup::SetDataFormula)
      .String("OutlineText", &TRLGroup::OutlineText, &TRLGroup::SetOutlineText)
      .Enum("PageBreaking", &TRLGroup::PageBreaking, &TRLGroup::SetPageBreaking, RLNames::PageBreaking,
            std::optional(pbNone))
      .Event("OnGetBreak", &TRLGroup::OnGetBreak);

  auto report = RegisterClass<TRLReport>("TRLReport", "TRLCustomReport");
  SiteParts(report);
  PagerParts(report);
  report.Boolean("AdjustableMargins", &TRLReport::AdjustableMargins, &TRLReport::SetAdjustableMargins)
      .Integer("Color", &TRLReport::Color, &TRLReport::SetColor, clWhite)
      .Names(ColorValueNames())
      .StoredWhen([](const TRLReport& r) { return !r.ParentColor(); })
      .Boolean("ParentColor", &TRLReport::ParentColor, &TRLReport::SetParentColor, false)
      .Boolean("ParentFont", &TRLReport::ParentFont, &TRLReport::SetParentFont, false)
      .Reference("DataSource", &TRLReport::DataSource, &TRLReport::SetDataSource)
      .Reference("DefaultFilter", &TRLReport::DefaultFilter, &TRLReport::SetDefaultFilter)
      .Integer("FirstPageNumber", &TRLReport::FirstPageNumber, &TRLReport::SetFirstPageNumber, 1)
      .Boolean("ForcePrepare", &TRLReport::ForcePrepare, &TRLReport::SetForcePrepare, true)
      .Reference("NextReport", &TRLReport::NextReport, &TRLReport::SetNextReport)
      .Boolean("Outline", &TRLReport::Outline, &TRLReport::SetOutline, true)
      .Object("PageSetup", [](TRLReport& r) -> TRLPageSetup& { return r.PageSetup(); })
      .Object("PreviewOptions", [](TRLReport& r) -> TRLPreviewOptions& { return r.PreviewOptions(); })
      .Boolean("PrintDialog", &TRLReport::PrintDialog, &TRLReport::SetPrintDialog, true)
      .Boolean("PrintEmpty", &TRLReport::PrintEmpty, &TRLReport::SetPrintEmpty, true)
      .Enum("PrintQuality", &TRLReport::PrintQuality, &TRLReport::SetPrintQuality, RLNames::PrintQuality,
            std::optional(pqFullFeature))
      .Enum("RecordRange", &TRLReport::RecordRange, &TRLReport::SetRecordRange, RLNames::RecordRange,
            std::optional(rrAllRecords))
      .Integer("RangeCount", &TRLReport::RangeCount, &TRLReport::SetRangeCount, std::nullopt)
      .StoredWhen([](const TRLReport& r) { return r.RecordRange() == rrNextN; })
      .Boolean("ShowDesigners", &TRLReport::ShowDesigners, &TRLReport::SetShowDesigners, true)
      .Boolean("ShowExplosion", &TRLReport::ShowExplosion, &TRLReport::SetShowExplosion)
      .Boolean("ShowProgress", &TRLReport::ShowProgress, &TRLReport::SetShowProgress, true)
      .Boolean("ShowTracks", &TRLReport::ShowTracks, &TRLReport::SetShowTracks, true)
      .String("Title", &TRLReport::Title, &TRLReport::SetTitle)
      .Reference("ExpressionParser", &TRLReport::ExpressionParser, &TRLReport::SetExpressionParser)
      .Event("OnDataCount", &TRLReport::OnDataCount)
      .Event("OnDataRecord", &TRLReport::OnDataRecord)
      .Event("OnFilterText", &TRLReport::OnFilterText)
      .Event("OnNeedData", &TRLReport::OnNeedData)
      .Event("OnPageEnding", &TRLReport::OnPageEnding)
      .Event("OnPageStarting", &TRLReport::OnPageStarting);
}

}  // namespace

void RegisterReportClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterFrameworkClasses();
    RegisterExpressionParserClass();
    RegisterSubObjects();
    RegisterElements();
  });
}
