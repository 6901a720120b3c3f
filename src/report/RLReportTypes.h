#pragma once

// The report engine's enumerations, their names as definitions write them, the alignment classes and the event
// types shared by the report elements.

#include "core/Classes.h"
#include "core/LocaleDates.h"
#include "core/Sets.h"
#include "widgets/Forms.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

enum TRLControlAlign {
  faNone,
  faLeft,
  faTop,
  faRight,
  faBottom,
  faLeftMost,
  faRightMost,
  faClient,
  faLeftTop,
  faRightTop,
  faLeftBottom,
  faRightBottom,
  faCenter,
  faCenterLeft,
  faCenterTop,
  faCenterRight,
  faCenterBottom,
  faClientLeft,
  faClientTop,
  faClientRight,
  faClientBottom,
  faHeight,
  faWidth,
  faLeftOnly,
  faRightOnly,
  faTopOnly,
  faBottomOnly
};
constexpr int ControlAlignCount = faBottomOnly + 1;

enum TRLControlAnchorsType { fkLeft, fkTop, fkRight, fkBottom };
using TRLControlAnchors = TSet<TRLControlAnchorsType, 8>;

enum TRLHoldStyle { hsAsColumn, hsHorizontally, hsVertically, hsRelatively, hsCopyWidth, hsCopyHeight, hsCopySize };

enum TRLControlBehaviorType { beSiteExpander };
using TRLControlBehavior = TSet<TRLControlBehaviorType, 8>;

// Scoped: the framework's TAlignment already owns the first three names.
enum class TRLTextAlignment { taLeftJustify, taRightJustify, taCenter, taJustify };
enum TRLTextLayout { tlTop, tlCenter, tlBottom, tlJustify };
enum TRLBorderSides { sdCustom, sdNone, sdAll };
enum TRLRealBoundsUnit { buNone, buMilimeters, buInches };
enum TRLImageArrange { baAligned, baSidebySide, baCenter, baDistributed };
enum TRLDegradeDirection { ddNone, ddHorizontal, ddVertical };

enum TRLBandType { btHeader, btTitle, btColumnHeader, btDetail, btColumnFooter, btSummary, btFooter };
constexpr int BandTypeCount = btFooter + 1;
using TRLAllowedBands = TSet<TRLBandType, 8>;
enum TRLCompletionType { ctNone, ctFullPage, ctMaxBands, ctMinBands };
enum TRLPageBreaking { pbNone, pbBeforePrint, pbAfterPrint };
enum TRLFooterMeasuring { fmNone, fmAfterHeader, fmBeforeDetail };
enum TRLBandOption { boOptimisticPageBreak };
using TRLBandOptions = TSet<TRLBandOption, 8>;

enum TRLRecordRange { rrAllRecords, rrCurrentOnly, rrUntilEof, rrNextN };
enum TRLRecordAction { raUseIt, raIgnoreIt, raUseAndRetain, raBlankAndRetain };
enum TRLPrintQuality { pqFullFeature, pqFixedOnly };
enum TRLPreviewOptionsDefaults { pdUseDefaults, pdIgnoreDefaults };
enum TRLReportPhase { rpIdle, rpPreparing, rpClosing, rpReady };

enum TRLInfoType {
  itCarbonCopy,
  itDate,
  itDetailCount,
  itFullDate,
  itHour,
  itJunction,
  itLastPageNumber,
  itMend,
  itNow,
  itPageNumber,
  itPagePreview,
  itTitle,
  itRecNo,
  itCopyNo
};

enum TRLDrawKind { dkRectangle, dkLine, dkTriangle, dkElipse, dkArrow, dkCustom };
enum TRLDrawOption { doKeepAspectRatio, doKeepSize, doKeepVisible };
using TRLDrawOptions = TSet<TRLDrawOption, 8>;

// Value names, in the order of their enumerations.
namespace RLNames {
extern const std::span<const std::string_view> ControlAlign, Anchors, HoldStyle, Behavior, TextAlignment, TextLayout,
    BorderSides, RealBoundsUnit, ImageArrange, DegradeDirection, BandType, CompletionType, PageBreaking,
    FooterMeasuring, BandOption, RecordRange, PrintQuality, PreviewOptionsDefaults, FormStyle, InfoType, DrawKind,
    DrawOptions, BrushStyle;
}

// Alignments that leave a control's width (height) to the control.
bool IsWidthFree(TRLControlAlign align);
bool IsHeightFree(TRLControlAlign align);

// Directions of a class's automatic size.
constexpr int AutoSizeWidth = 1;
constexpr int AutoSizeHeight = 2;

using TRLAfterPrintEvent = std::function<void(TObject* sender)>;
using TRLBeforePrintEvent = std::function<void(TObject* sender, bool& PrintIt)>;
using TRLBeforeTextEvent = std::function<void(TObject* sender, std::string& Text, bool& PrintIt)>;
using TRLOnDataCountEvent = std::function<void(TObject* sender, int& DataCount)>;
using TRLOnDataRecordEvent =
    std::function<void(TObject* sender, int RecNo, int CopyNo, bool& Eof, TRLRecordAction& RecordAction)>;
using TRLOnNeedDataEvent = std::function<void(TObject* sender, bool& MoreData)>;
using TRLOnGetBreakEvent = std::function<void(TObject* sender, bool& BreakIt)>;

// A date and time as days since 30 December 1899, the fraction being the time of day.
double NowAsDateTime();
// The report's date or time as the locale of the engine's messages writes it. A locale that names no language ("C",
// "POSIX" or none at all) writes the Brazilian forms, the program's own.
std::string ReportDateTimeText(TLocaleDateFormat format, double value);
