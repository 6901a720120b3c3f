#include "report/RLLabel.h"

#include "core/FloatFormat.h"
#include "data/DB.h"
#include "graphics/Canvas.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

// ---- TRLCustomLabel -----------------------------------------------------------------------------------------

TRLCustomLabel::TRLCustomLabel(TComponent* owner) : TRLCustomControl(owner) {
  SetAutoSizeDirection(AutoSizeWidth);
  SetAutoSize(true);
  SetBounds(Left(), Top(), 65, 17);
}

bool TRLCustomLabel::IsCaptionStored() const { return !DesignCaption().empty() && DesignCaption() != DisplayName(); }

void TRLCustomLabel::DoBeforeText(std::string& text, bool& print_it) {
  if (BeforePrint) BeforePrint(this, text, print_it);
}

void TRLCustomLabel::UpdateCaption() { SetCaption(BuildCaption()); }

void TRLCustomLabel::CalcSize(int& width, int& height) {
  width = Width();
  height = Height();
  if (!AutoSize()) return;
  std::string text = Caption();
  if (text.empty() && !IsGenerating()) text = Name();
  text += ' ';
  TCanvas& canvas = Canvas();
  canvas.SetFont(Font());
  width = canvas.TextWidth(text);
  height = canvas.TextHeight(text);
  const int wd = Borders().Width();
  if (wd > 0) {
    if (Borders().CanDrawLeft()) width += wd + 1;
    if (Borders().CanDrawRight()) width += wd + 1;
    if (Borders().CanDrawTop()) height += wd + 1;
    if (Borders().CanDrawBottom()) height += wd + 1;
  }
}

namespace {

std::uint8_t MetaAlignment(TRLTextAlignment alignment) {
  switch (alignment) {
    case TRLTextAlignment::taRightJustify: return MetaTextAlignmentRight;
    case TRLTextAlignment::taCenter: return MetaTextAlignmentCenter;
    case TRLTextAlignment::taJustify: return MetaTextAlignmentJustify;
    default: return MetaTextAlignmentLeft;
  }
}

std::uint8_t MetaLayout(TRLTextLayout layout) {
  switch (layout) {
    case tlBottom: return MetaTextLayoutBottom;
    case tlCenter: return MetaTextLayoutCenter;
    default: return MetaTextLayoutTop;
  }
}

}  // namespace

void TRLCustomLabel::Print() {
  TRLCustomControl::Print();
  const TRect r = GetPrintClientRect();
  TRLGraphicSurface& surface = GetPrintSurface();
  // The base print started this control's drawing group; the text joins its background and borders.
  surface.SetGeneratorId(this);
  surface.SetFont(Font());
  const std::string caption = Caption();
  const int half = surface.TextWidth(" ") / 2;
  const int h = surface.TextHeight(caption);
  int x = half + r.Left;
  // Only these two alignments place the text by its width; a measure shapes the text, which is dear, so
  // left-aligned values are not measured.
  if (Alignment() == TRLTextAlignment::taRightJustify) {
    x = half + r.Right - surface.TextWidth(caption + " ");
  } else if (Alignment() == TRLTextAlignment::taCenter) {
    x = half + (r.Left + r.Right - surface.TextWidth(caption + " ")) / 2;
  }
  int y = r.Top;
  if (Layout() == tlCenter) y = (r.Top + r.Bottom - h) / 2;
  else if (Layout() == tlBottom) y = r.Bottom - h;
  surface.Brush().SetStyle(bsClear);
  surface.TextOut(r, x, y, caption, MetaAlignment(Alignment()), MetaLayout(Layout()),
                  static_cast<std::uint16_t>(tfKeepTogether | (AutoSize() ? tfNoClip : 0)));
}

namespace {

// The first "#" of the template takes the value; without one the value follows the template.
std::string ApplyTemplate(const std::string& templ, const std::string& value) {
  if (templ.empty()) return value;
  std::string result = templ;
  const std::size_t mark = result.find('#');
  if (mark == std::string::npos) return result + value;
  return result.replace(mark, 1, value);
}

}  // namespace

// ---- TRLCustomDBText ----------------------------------------------------------------------------------------

TRLCustomDBText::TRLCustomDBText(TComponent* owner) : TRLCustomLabel(owner) {}

TRLCustomDBText::~TRLCustomDBText() = default;

void TRLCustomDBText::SetText(const std::string& value) {
  text_ = value;
  UpdateCaption();
}

void TRLCustomDBText::SetDataField(const std::string& value) {
  data_field_ = value;
  if (!value.empty()) data_formula_.clear();
  UpdateCaption();
}

void TRLCustomDBText::SetDataFormula(const std::string& value) {
  data_formula_ = value;
  if (!value.empty()) data_field_.clear();
  UpdateCaption();
}

void TRLCustomDBText::SetDataSource(TDataSource* value) {
  if (value == data_source_) return;
  data_source_ = value;
  if (value) FreeNotification(value);
  UpdateCaption();
}

void TRLCustomDBText::Notification(TComponent* component, TOperation operation) {
  TRLCustomLabel::Notification(component, operation);
  if (operation == opRemove && component == data_source_) data_source_ = nullptr;
}

TField* TRLCustomDBText::Field() const {
  TDataSet* dataset = data_source_ ? data_source_->DataSet() : nullptr;
  if (!dataset || data_field_.empty()) return nullptr;
  return dataset->SearchField(data_field_);
}

std::string TRLCustomDBText::GetFieldText() {
  TDataSet* dataset = data_source_ ? data_source_->DataSet() : nullptr;
  TField* field = nullptr;
  if (dataset && !data_field_.empty()) {
    field = dataset->SearchField(data_field_);
    if (!field) throw Exception(EngineMessages().msgNotFound + ": " + Name() + ".DataField \"" + data_field_ + "\"");
  }
  if (!dataset || !dataset->Active() || dataset->Eof()) return {};
  if (field) return field->DisplayText();
  if (data_formula_.empty()) return {};
  TRLCustomReport* report = ParentReport();
  const Variant value = report ? report->EvaluateFormula(data_formula_, this) : Variant::Null();
  if (value.IsClear()) return {};
  if (display_mask_.empty()) return value.ToText();
  if (value.IsNumeric()) return FormatFloat(display_mask_, value.AsFloat());
  return FormatMaskText(display_mask_, value.ToText());
}

std::string TRLCustomDBText::BuildCaption() {
  std::string value;
  if (IsGenerating()) {
    value = GetFieldText();
  } else if (!FriendlyName().empty()) {
    value = FriendlyName();
  } else if (!data_field_.empty()) {
    TField* field = Field();
    value = field ? field->DisplayLabel() : data_field_;
  } else if (!data_formula_.empty()) {
    value = "(" + data_formula_ + ")";
  } else {
    value = Name();
  }
  return ApplyTemplate(text_, value);
}

// ---- TRLCustomSystemInfo ------------------------------------------------------------------------------------

namespace {

constexpr std::string_view kInfoNames[] = {"CarbonCopy",  "Date",           "DetailCount", "FullDate", "Hour",
                                           "Junction",    "LastPageNumber", "Mend",        "Now",      "PageNumber",
                                           "PagePreview", "Title",          "RecNo",       "CopyNo"};

constexpr const char* kLastPageMacro = "{LastPageNumber}";

}  // namespace

std::string_view InfoTypeName(TRLInfoType type) { return kInfoNames[type]; }

TRLCustomSystemInfo::TRLCustomSystemInfo(TComponent* owner) : TRLCustomLabel(owner) {}

void TRLCustomSystemInfo::SetInfo(TRLInfoType value) {
  info_ = value;
  UpdateCaption();
}

void TRLCustomSystemInfo::SetText(const std::string& value) {
  text_ = value;
  UpdateCaption();
}

namespace {

struct TInfoSections {
  std::string templ, first, second;
};

TInfoSections SplitSections(const std::string& text, TRLInfoType info) {
  TInfoSections s;
  const std::size_t bar = text.find('|');
  s.templ = text.substr(0, bar);
  if (bar != std::string::npos) {
    std::string section = text.substr(bar + 1);
    if (std::size_t end = section.find('|'); end != std::string::npos) section.resize(end);
    const std::size_t semi = section.find(';');
    s.first = section.substr(0, semi);
    if (semi != std::string::npos) s.second = section.substr(semi + 1);
  }
  if (info == itJunction) {
    if (s.first.empty()) s.first = EngineMessages().msgContinues;
    if (s.second.empty()) s.second = EngineMessages().msgEnd;
  } else if (info == itMend) {
    if (s.first.empty()) s.first = EngineMessages().msgContinuation;
    if (s.second.empty()) s.second = "^CLEAR";
  }
  return s;
}

}  // namespace

std::string TRLCustomSystemInfo::InfoText() {
  const TInfoSections sections = SplitSections(text_, info_);
  const TRLCustomReport* report = ParentReport();
  const TRLCustomReport* master = MasterReport();
  const double now = report ? report->ReportDateTime() : 0;
  auto page_number = [&] { return std::to_string(master ? master->FirstPageNumber() + master->PageCounter() : 0); };
  switch (info_) {
    case itCarbonCopy: {
      const TRLCustomBand* band = ParentBand();
      return std::to_string((band ? band->CarbonIndex() : 0) + 1);
    }
    case itDate: return ReportDateTimeText(TLocaleDateFormat::ShortDate, now);
    case itDetailCount: {
      const TRLCustomPager* pager = ParentPager();
      return std::to_string(pager ? pager->DetailCount() : 0);
    }
    case itFullDate: return ReportDateTimeText(TLocaleDateFormat::LongDate, now);
    case itHour: return ReportDateTimeText(TLocaleDateFormat::LongTime, now);
    case itJunction: return master && master->Phase() == rpClosing ? sections.second : sections.first;
    case itLastPageNumber: return kLastPageMacro;
    case itMend: {
      const TRLCustomPager* pager = ParentPager();
      return pager && pager->DetailCount() > 0 ? sections.first : sections.second;
    }
    case itNow:
      return ReportDateTimeText(TLocaleDateFormat::ShortDate, now) + " " +
             ReportDateTimeText(TLocaleDateFormat::LongTime, now);
    case itPageNumber: return page_number();
    case itPagePreview: return page_number() + "\t" + kLastPageMacro;
    case itTitle: return report ? report->Title() : std::string();
    case itRecNo: {
      const TRLCustomSkipper* skipper = ParentSkipper();
      return std::to_string(skipper ? skipper->RecNo() : 0);
    }
    case itCopyNo: {
      const TRLCustomSkipper* skipper = ParentSkipper();
      return std::to_string(skipper ? skipper->CopyNo() : 0);
    }
  }
  return {};
}

std::string TRLCustomSystemInfo::BuildCaption() {
  std::string info;
  if (IsGenerating()) {
    info = InfoText();
  } else if (!FriendlyName().empty()) {
    info = FriendlyName();
  } else if (info_ == itPagePreview) {
    info = "(" + std::string(kInfoNames[itPagePreview]) + ")\t(" + std::string(kInfoNames[itLastPageNumber]) + ")";
  } else {
    info = "(" + std::string(kInfoNames[info_]) + ")";
  }
  if (info.find("^CLEAR") != std::string::npos) return {};
  std::string result = SplitSections(text_, info_).templ;
  // Each piece fills the next "#" after the pieces already placed, so that a value holding "#" stays whole.
  std::size_t from = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = info.find('\t', start);
    const std::string piece = info.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    const std::size_t mark = result.find('#', from);
    if (mark == std::string::npos) {
      result += piece;
      from = result.size();
    } else {
      result.replace(mark, 1, piece);
      from = mark + piece.size();
    }
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return result;
}
