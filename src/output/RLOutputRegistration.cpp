#include "output/RLOutputRegistration.h"

#include "core/Properties.h"
#include "output/RLPrintDialog.h"
#include "output/RLSaveDialog.h"
#include "output/RLSaveFilters.h"
#include "output/RLSpreadsheetFilters.h"
#include "report/RLReport.h"

#include <mutex>
#include <string_view>

namespace {

// The page range, the file name and the filter that both kinds of parameters publish, in their published order
// after Options.
template <class C>
void RangeParts(TClassBuilder<C>& builder) {
  builder.Integer("MaxPage", &C::MaxPage, &C::SetMaxPage, std::nullopt)
      .Integer("MinPage", &C::MinPage, &C::SetMinPage, std::nullopt)
      .Integer("FromPage", &C::FromPage, &C::SetFromPage, std::nullopt)
      .Integer("ToPage", &C::ToPage, &C::SetToPage, std::nullopt);
}

}  // namespace

void RegisterOutputClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterReportClasses();
    static constexpr std::string_view kPrintOptionNames[] = {
        "rpoPrintToFile", "rpoPageNums",           "rpoSelection",       "rpoWarning",
        "rpoHelp",        "rpoDisablePrintToFile", "rpoDisableCopies",   "rpoDisablePrintInBackground"};
    static constexpr std::string_view kPrintRangeNames[] = {"rprAllPages", "rprSelection", "rprPageNums"};
    static constexpr std::string_view kOrientationNames[] = {"poPortrait", "poLandscape"};
    auto print = RegisterClass<TRLPrintParams>("TRLPrintParams", "TComponent");
    print.SetOf("Options", &TRLPrintParams::Options, &TRLPrintParams::SetOptions, kPrintOptionNames,
                TRLPrintParams().Options().Mask());
    RangeParts(print);
    print
        .Enum("PrintRange", &TRLPrintParams::PrintRange, &TRLPrintParams::SetPrintRange, kPrintRangeNames,
              std::optional(rprAllPages))
        .Integer("Copies", &TRLPrintParams::Copies, &TRLPrintParams::SetCopies, 1)
        .Boolean("PrintToFile", &TRLPrintParams::PrintToFile, &TRLPrintParams::SetPrintToFile)
        .Boolean("PrintInBackground", &TRLPrintParams::PrintInBackground, &TRLPrintParams::SetPrintInBackground)
        .String("FileName", &TRLPrintParams::FileName, &TRLPrintParams::SetFileName)
        .Enum("Orientation", &TRLPrintParams::Orientation, &TRLPrintParams::SetOrientation, kOrientationNames,
              std::optional(TRLPageOrientation::poPortrait))
        .Reference("Filter", &TRLPrintParams::Filter, &TRLPrintParams::SetFilter)
        .Integer("HelpContext", &TRLPrintParams::HelpContext, &TRLPrintParams::SetHelpContext);

    static constexpr std::string_view kSaveOptionNames[] = {"rsoDisableSaveInBackground"};
    static constexpr std::string_view kSaveRangeNames[] = {"rsrAllPages", "rsrSelection", "rsrPageNums"};
    auto save = RegisterClass<TRLSaveParams>("TRLSaveParams", "TComponent");
    save.SetOf("Options", &TRLSaveParams::Options, &TRLSaveParams::SetOptions, kSaveOptionNames)
        .String("FileName", &TRLSaveParams::FileName, &TRLSaveParams::SetFileName);
    RangeParts(save);
    save.Enum("SaveRange", &TRLSaveParams::SaveRange, &TRLSaveParams::SetSaveRange, kSaveRangeNames,
              std::optional(rsrAllPages))
        .Boolean("SaveInBackground", &TRLSaveParams::SaveInBackground, &TRLSaveParams::SetSaveInBackground)
        .Reference("Filter", &TRLSaveParams::Filter, &TRLSaveParams::SetFilter);

    // The save filters publish nothing; a definition names them so that parameters can refer to them.
    RegisterClass<TRLPDFFilter>("TRLPDFFilter", "TComponent");
    RegisterClass<TRLPNGFilter>("TRLPNGFilter", "TComponent");
    RegisterClass<TRLXLSXFilter>("TRLXLSXFilter", "TComponent");
    RegisterClass<TRLCSVFilter>("TRLCSVFilter", "TComponent");
  });
}
