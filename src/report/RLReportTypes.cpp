#include "report/RLReportTypes.h"

#include "pages/RLConsts.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kControlAlign[] = {
    "faNone",      "faLeft",        "faTop",          "faRight",       "faBottom",       "faLeftMost",
    "faRightMost", "faClient",      "faLeftTop",      "faRightTop",    "faLeftBottom",   "faRightBottom",
    "faCenter",    "faCenterLeft",  "faCenterTop",    "faCenterRight", "faCenterBottom", "faClientLeft",
    "faClientTop", "faClientRight", "faClientBottom", "faHeight",      "faWidth",        "faLeftOnly",
    "faRightOnly", "faTopOnly",     "faBottomOnly"};
constexpr std::string_view kAnchors[] = {"fkLeft", "fkTop", "fkRight", "fkBottom"};
constexpr std::string_view kHoldStyle[] = {"hsAsColumn",  "hsHorizontally", "hsVertically", "hsRelatively",
                                           "hsCopyWidth", "hsCopyHeight",   "hsCopySize"};
constexpr std::string_view kBehavior[] = {"beSiteExpander"};
constexpr std::string_view kTextAlignment[] = {"taLeftJustify", "taRightJustify", "taCenter", "taJustify"};
constexpr std::string_view kTextLayout[] = {"tlTop", "tlCenter", "tlBottom", "tlJustify"};
constexpr std::string_view kBorderSides[] = {"sdCustom", "sdNone", "sdAll"};
constexpr std::string_view kRealBoundsUnit[] = {"buNone", "buMilimeters", "buInches"};
constexpr std::string_view kImageArrange[] = {"baAligned", "baSidebySide", "baCenter", "baDistributed"};
constexpr std::string_view kDegradeDirection[] = {"ddNone", "ddHorizontal", "ddVertical"};
constexpr std::string_view kBandType[] = {"btHeader",       "btTitle",   "btColumnHeader", "btDetail",
                                          "btColumnFooter", "btSummary", "btFooter"};
constexpr std::string_view kCompletionType[] = {"ctNone", "ctFullPage", "ctMaxBands", "ctMinBands"};
constexpr std::string_view kPageBreaking[] = {"pbNone", "pbBeforePrint", "pbAfterPrint"};
constexpr std::string_view kFooterMeasuring[] = {"fmNone", "fmAfterHeader", "fmBeforeDetail"};
constexpr std::string_view kBandOption[] = {"boOptimisticPageBreak"};
constexpr std::string_view kRecordRange[] = {"rrAllRecords", "rrCurrentOnly", "rrUntilEof", "rrNextN"};
constexpr std::string_view kPrintQuality[] = {"pqFullFeature", "pqFixedOnly"};
constexpr std::string_view kPreviewOptionsDefaults[] = {"pdUseDefaults", "pdIgnoreDefaults"};
constexpr std::string_view kFormStyle[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
constexpr std::string_view kInfoType[] = {
    "itCarbonCopy", "itDate", "itDetailCount", "itFullDate",    "itHour",  "itJunction", "itLastPageNumber",
    "itMend",       "itNow",  "itPageNumber",  "itPagePreview", "itTitle", "itRecNo",    "itCopyNo"};
constexpr std::string_view kDrawKind[] = {"dkRectangle", "dkLine", "dkTriangle", "dkElipse", "dkArrow", "dkCustom"};
constexpr std::string_view kDrawOptions[] = {"doKeepAspectRatio", "doKeepSize", "doKeepVisible"};
constexpr std::string_view kBrushStyle[] = {"bsSolid",     "bsClear",     "bsHorizontal", "bsVertical",
                                            "bsFDiagonal", "bsBDiagonal", "bsCross",      "bsDiagCross"};

}  // namespace

namespace RLNames {
const std::span<const std::string_view> ControlAlign = kControlAlign, Anchors = kAnchors, HoldStyle = kHoldStyle,
                                        Behavior = kBehavior, TextAlignment = kTextAlignment, TextLayout = kTextLayout,
                                        BorderSides = kBorderSides, RealBoundsUnit = kRealBoundsUnit,
                                        ImageArrange = kImageArrange, DegradeDirection = kDegradeDirection,
                                        BandType = kBandType, CompletionType = kCompletionType,
                                        PageBreaking = kPageBreaking, FooterMeasuring = kFooterMeasuring,
                                        BandOption = kBandOption, RecordRange = kRecordRange,
                                        PrintQuality = kPrintQuality, PreviewOptionsDefaults = kPreviewOptionsDefaults,
                                        FormStyle = kFormStyle, InfoType = kInfoType, DrawKind = kDrawKind,
                                        DrawOptions = kDrawOptions, BrushStyle = kBrushStyle;
}  // namespace RLNames

bool IsWidthFree(TRLControlAlign align) {
  switch (align) {
    case faTop:
    case faBottom:
    case faClient:
    case faClientTop:
    case faClientBottom:
    case faWidth: return false;
    default: return true;
  }
}

bool IsHeightFree(TRLControlAlign align) {
  switch (align) {
    case faLeft:
    case faRight:
    case faLeftMost:
    case faRightMost:
    case faClient:
    case faClientLeft:
    case faClientRight:
    case faHeight: return false;
    default: return true;
  }
}

namespace {

// Days from 30 December 1899 to 1 January 1970.
constexpr double kUnixEpochDays = 25569.0;

}  // namespace

double NowAsDateTime() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  // The local wall clock as if it were UTC, so that the day count is the local date.
  std::tm copy = local;
  std::time_t as_utc = timegm(&copy);
  return kUnixEpochDays + static_cast<double>(as_utc) / 86400.0 + static_cast<double>(millis) / 86400000.0;
}

std::string ReportDateTimeText(TLocaleDateFormat format, double value) {
  std::string locale = ProcessLocale();
  const std::string language = locale.substr(0, locale.find_first_of("_.@"));
  if (language.empty() || language == "C" || language == "POSIX") locale = "pt_BR";
  return FormatLocaleDateTime(locale, format, value);
}
