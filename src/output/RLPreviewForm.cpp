#include "output/RLPreviewForm.h"

#include "core/FloatFormat.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "core/Translation.h"
#include "core/Variant.h"
#include "output/RLFilters.h"
#include "output/RLOutlinePanel.h"
#include "output/RLPreviewGlyphs.h"
#include "output/RLSendMail.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

namespace {

constexpr int kRepeatInterval = 100;
// How long Prior or Next must be held before it repeats.
constexpr int kRepeatDelay = 500;
constexpr double kZoomItems[] = {500, 200, 150, 100, 75, 50, 25, 10};
constexpr int kItemFullWidth = 8;
constexpr int kItemFullPage = 9;
constexpr int kItemMultiplePages = 10;

const char* const kNotAvailablePrint = "A impressão ainda não está disponível nesta versão.";
const char* const kNotAvailableSave = "Salvar o relatório ainda não está disponível nesta versão.";
const char* const kNotAvailableSetup = "A configuração da impressora ainda não está disponível nesta versão.";

// The platform's general notation of a real number, with the locale's decimal separator.
std::string FormatZoom(double zoom) {
  std::string text = FloatToStr(zoom);
  std::string separator = LocaleDecimalSeparator();
  if (auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, separator);
  return text;
}

// A whole text, blanks around it aside, read as a number (an integer or a real); false for anything else.
template <typename T>
bool ReadNumber(const std::string& text, T& value) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  const char* first = t.data();
  if (*first == '+') ++first;
  auto [end, error] = std::from_chars(first, t.data() + t.size(), value);
  return error == std::errc() && end == t.data() + t.size();
}

}  // namespace

TRLPreviewDefaults& PreviewDefaults() {
  static TRLPreviewDefaults defaults;
  return defaults;
}

TRLPreviewOutputActions& PreviewOutputActions() {
  static TRLPreviewOutputActions actions;
  return actions;
}

std::string PreviewFileName(const std::string& title) {
  std::string cleaned;
  for (char c : Trim(title)) {
    auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127 || std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) continue;
    cleaned += c;
  }
  // A title with nothing left names no file (and the platform refuses to make a full path of nothing).
  if (cleaned.empty()) return {};
  return std::filesystem::absolute(std::filesystem::path(cleaned)).string();
}

// ---- Building the window ------------------------------------------------------------------------------------

TRLPreviewForm::TRLPreviewForm(TComponent* owner) : TForm(owner) {
  const TRLEngineMessages& messages = EngineMessages();
  SetBounds(520, 220, 815, 375);
  SetCaption(messages.msgPreview);
  SetColor(clBtnFace);
  Font().SetName("MS Sans Serif");
  Font().SetHeight(11);
  Font().SetCharset(DEFAULT_CHARSET);
  Font().SetPitch(fpVariable);
  SetKeyPreview(true);
  SetWindowState(wsNormal);
  SetPosition(poDesigned);
  OnKeyDown = [this](TObject* sender, int& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };

  PanelTools = MakePanel(this, "PanelTools", 0, 0, 798, 23);
  PanelTools->SetBorderWidth(1);
  PanelTools->SetAlign(alTop);

  SpeedButtonPrint = MakeButton(PanelTools, "SpeedButtonPrint", 1, 1, 50, 22, messages.msgPrint, messages.msgPrint);
  SpeedButtonPrint->OnClick = [this](TObject* s) { SpeedButtonPrintClick(s); };
  SpeedButtonSave = MakeButton(PanelTools, "SpeedButtonSave", 51, 1, 50, 22, messages.msgSave, messages.msgSaveToFile);
  SpeedButtonSave->OnClick = [this](TObject* s) { SpeedButtonSaveClick(s); };
  SpeedButtonSend = MakeButton(PanelTools, "SpeedButtonSend", 101, 1, 50, 22, messages.msgSend, messages.msgSendTo);
  SpeedButtonSend->OnClick = [this](TObject* s) { SpeedButtonSendClick(s); };
  // It sends through the desktop's mail opener; without one it stays disabled and its tip says why.
  if (const std::string why = SendUnavailableReason(); !why.empty()) {
    SpeedButtonSend->SetEnabled(false);
    SpeedButtonSend->SetHint(why);
  }
  Bevel1 = MakeBevel("Bevel1", 156);
  SpeedButtonSetup = MakeButton(PanelTools, "SpeedButtonSetup", 162, 1, 22, 22, " ", messages.msgConfigurePrinter);
  SpeedButtonSetup->OnClick = [this](TObject* s) { SpeedButtonSetupClick(s); };
  Bevel2 = MakeBevel("Bevel2", 189);
  SpeedButtonFirst = MakeButton(PanelTools, "SpeedButtonFirst", 195, 1, 22, 22, " ", messages.msgFirstPage);
  SpeedButtonFirst->OnClick = [this](TObject* s) { SpeedButtonFirstClick(s); };
  SpeedButtonPrior = MakeButton(PanelTools, "SpeedButtonPrior", 217, 1, 22, 22, " ", messages.msgPriorPage);

  PanelPages = MakePanel(PanelTools, "PanelPages", 242, 1, 134, 21);
  LabelPage = new TLabel(this);
  LabelPage->SetName("LabelPage");
  LabelPage->SetParent(PanelPages);
  LabelPage->SetAutoSize(false);
  LabelPage->SetBounds(0, 4, 33, 13);
  LabelPage->SetCaption(messages.msgPage);
  EditPageNo = new TEdit(this);
  EditPageNo->SetName("EditPageNo");
  EditPageNo->SetParent(PanelPages);
  EditPageNo->SetBounds(40, 0, 37, 21);
  EditPageNo->SetText("");
  EditPageNo->OnChange = [this](TObject* s) { EditPageNoChange(s); };
  LabelOf = new TLabel(this);
  LabelOf->SetName("LabelOf");
  LabelOf->SetParent(PanelPages);
  LabelOf->SetAutoSize(false);
  LabelOf->SetBounds(80, 4, 12, 13);
  LabelOf->SetCaption(messages.msgOf);
  PanelPageCount = MakePanel(PanelPages, "PanelPageCount", 96, 0, 37, 21);
  PanelPageCount->SetAlignment(taLeftJustify);
  PanelPageCount->SetBevelOuter(bvLowered);
  PanelPageCount->SetCaption("");

  SpeedButtonNext = MakeButton(PanelTools, "SpeedButtonNext", 378, 1, 22, 22, " ", messages.msgNextPage);
  for (TSpeedButton* button : {SpeedButtonPrior, SpeedButtonNext}) {
    button->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      SpeedButtonPriorMouseDown(s, b, sh, x, y);
    };
    button->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      SpeedButtonPriorMouseUp(s, b, sh, x, y);
    };
  }
  SpeedButtonLast = MakeButton(PanelTools, "SpeedButtonLast", 400, 1, 22, 22, " ", messages.msgLastPage);
  SpeedButtonLast->OnClick = [this](TObject* s) { SpeedButtonLastClick(s); };
  Bevel3 = MakeBevel("Bevel3", 427);
  SpeedButtonZoomDown = MakeButton(PanelTools, "SpeedButtonZoomDown", 433, 1, 22, 22, " ", "");
  SpeedButtonZoomDown->OnClick = [this](TObject* s) { SpeedButtonZoomDownClick(s); };
  SpeedButtonZoomUp = MakeButton(PanelTools, "SpeedButtonZoomUp", 455, 1, 22, 22, " ", "");
  SpeedButtonZoomUp->OnClick = [this](TObject* s) { SpeedButtonZoomUpClick(s); };

  PanelZoom = MakePanel(PanelTools, "PanelZoom", 478, 1, 145, 21);
  ComboBoxZoom = new TComboBox(this);
  ComboBoxZoom->SetName("ComboBoxZoom");
  ComboBoxZoom->SetParent(PanelZoom);
  ComboBoxZoom->SetBounds(0, 0, 145, 21);
  ComboBoxZoom->SetStyle(csDropDown);
  ComboBoxZoom->SetDropDownCount(11);
  ComboBoxZoom->SetItemHeight(13);
  for (const char* item : {"500%", "200%", "150%", "100%", "75%", "50%", "25%", "10%"}) ComboBoxZoom->Items().Add(item);
  ComboBoxZoom->Items().Add(messages.msgEntireWidth);
  ComboBoxZoom->Items().Add(messages.msgEntirePage);
  ComboBoxZoom->Items().Add(messages.msgMultiplePages);
  ComboBoxZoom->OnChange = [this](TObject* s) { ComboBoxZoomChange(s); };

  Bevel4 = MakeBevel("Bevel4", 626);
  SpeedButtonViews = MakeButton(PanelTools, "SpeedButtonViews", 632, 1, 22, 22, " ", messages.msgDivideScreen);
  SpeedButtonViews->OnClick = [this](TObject* s) { SpeedButtonViewsClick(s); };
  Bevel5 = MakeBevel("Bevel5", 658);
  SpeedButtonEdit = MakeButton(PanelTools, "SpeedButtonEdit", 663, 1, 22, 22, " ", messages.msgEdit);
  SpeedButtonEdit->SetGroupIndex(1);
  SpeedButtonEdit->SetAllowAllUp(true);
  SpeedButtonEdit->OnClick = [this](TObject* s) { SpeedButtonEditClick(s); };
  Bevel6 = MakeBevel("Bevel6", 689);
  SpeedButtonClose = MakeButton(PanelTools, "SpeedButtonClose", 695, 1, 49, 22, messages.msgClose, messages.msgClose);
  SpeedButtonClose->OnClick = [this](TObject* s) { SpeedButtonCloseClick(s); };

  PanelCopyright = MakePanel(PanelTools, "PanelCopyright", 775, 1, 22, 21);
  PanelCopyright->SetAlign(alRight);
  SpeedButtonCopyright = MakeButton(PanelCopyright, "SpeedButtonCopyright", 0, 0, 22, 22, " ", "ZozozoRavivi 0.6");

  SetGlyph(SpeedButtonSetup, static_cast<int>(TRLPreviewGlyph::Setup));
  SetGlyph(SpeedButtonFirst, static_cast<int>(TRLPreviewGlyph::First));
  SetGlyph(SpeedButtonPrior, static_cast<int>(TRLPreviewGlyph::Prior));
  SetGlyph(SpeedButtonNext, static_cast<int>(TRLPreviewGlyph::Next));
  SetGlyph(SpeedButtonLast, static_cast<int>(TRLPreviewGlyph::Last));
  SetGlyph(SpeedButtonZoomDown, static_cast<int>(TRLPreviewGlyph::ZoomDown));
  SetGlyph(SpeedButtonZoomUp, static_cast<int>(TRLPreviewGlyph::ZoomUp));
  SetGlyph(SpeedButtonViews, static_cast<int>(TRLPreviewGlyph::Views));
  SetGlyph(SpeedButtonEdit, static_cast<int>(TRLPreviewGlyph::Edit));
  SetGlyph(SpeedButtonCopyright, static_cast<int>(TRLPreviewGlyph::About));

  SpeedButtonOutline = MakeButton(PanelTools, "SpeedButtonOutline", 749, 1, 22, 22, " ",
                                  Translate("output", "Show or hide the report's groups"));
  SpeedButtonOutline->SetGroupIndex(2);
  SpeedButtonOutline->SetAllowAllUp(true);
  SpeedButtonOutline->SetVisible(false);
  SetGlyph(SpeedButtonOutline, static_cast<int>(TRLPreviewGlyph::Outline));
  SpeedButtonOutline->OnClick = [this](TObject* s) { SpeedButtonOutlineClick(s); };
  PanelOutline = new TRLOutlinePanel(this);
  PanelOutline->OnGoTo = [this](const TRLOutlineEntry& entry) {
    if (TRLPreview* preview = ActivePreview()) preview->ShowPageAt(entry.PageIndex, entry.Top);
  };

  PanelContainer = MakePanel(this, "PanelContainer", 0, 24, 807, 311);
  PanelContainer->SetBevelOuter(bvLowered);
  PanelContainer->SetCaption(" ");
  PanelContainer->SetAlign(alClient);

  TimerRepeat = new TTimer(this);
  TimerRepeat->SetName("TimerRepeat");
  TimerRepeat->SetInterval(kRepeatInterval);
  TimerRepeat->SetEnabled(true);
  TimerRepeat->OnTimer = [this](TObject* s) { TimerRepeatTimer(s); };

  GiveAccelerators();
  AddPreview();
  StackPreviews();
  for (TControl* control : std::initializer_list<TControl*>{SpeedButtonPrint,    SpeedButtonSave,
                                                            SpeedButtonSend,     Bevel1,
                                                            SpeedButtonSetup,    Bevel2,
                                                            SpeedButtonFirst,    SpeedButtonPrior,
                                                            PanelPages,          SpeedButtonNext,
                                                            SpeedButtonLast,     Bevel3,
                                                            SpeedButtonZoomDown, SpeedButtonZoomUp,
                                                            PanelZoom,           Bevel4,
                                                            SpeedButtonViews,    Bevel5,
                                                            SpeedButtonEdit,     Bevel6,
                                                            SpeedButtonClose,    SpeedButtonOutline}) {
    tool_places_.emplace_back(control, control->Left());
  }
  WrapToolBar();
}

void TRLPreviewForm::BoundsChanged() {
  TForm::BoundsChanged();
  WrapToolBar();
}

void TRLPreviewForm::WrapToolBar() {
  if (tool_places_.empty()) return;
  constexpr int kRow = 23;
  const int room = ClientWidth() - PanelCopyright->Width() - 2;
  int row = 0, shift = 0;
  for (auto [control, left] : tool_places_) {
    int x = left - shift;
    const bool bevel = dynamic_cast<TBevel*>(control) != nullptr;
    if (x + control->Width() > room && x > 1 && !bevel) {
      ++row;
      shift = left - 1;
      x = 1;
    }
    control->SetBounds(x, 1 + row * kRow, control->Width(), control->Height());
  }
  PanelTools->SetHeight(kRow * (row + 1));
}

void TRLPreviewForm::SizeToPage() {
  TRLPreview* preview = Previews(0);
  const TPoint room = preview->PageRoom(100);
  if (room.X <= 0 || room.Y <= 0) return;
  int row = 0;
  for (auto [control, left] : tool_places_) row = std::max(row, left + control->Width());
  SetClientWidth(std::max(row + PanelCopyright->Width() + 2, room.X + ClientWidth() - preview->Width()));
  // The width decides how many rows the tool bar takes, and so the room left below it.
  SetClientHeight(room.Y + ClientHeight() - preview->Height());
}

TRLPreviewForm::~TRLPreviewForm() {
  Destroying();
  find_dialog_.reset();
}

TSpeedButton* TRLPreviewForm::MakeButton(TWinControl* parent, const char* name, int left, int top, int width,
                                         int height, const std::string& caption, const std::string& hint) {
  auto* button = new TSpeedButton(this);
  button->SetName(name);
  button->SetParent(parent);
  button->SetBounds(left, top, width, height);
  button->SetFlat(true);
  button->SetShowHint(true);
  button->SetCaption(caption);
  button->SetHint(hint);
  return button;
}

TBevel* TRLPreviewForm::MakeBevel(const char* name, int left) {
  auto* bevel = new TBevel(this);
  bevel->SetName(name);
  bevel->SetParent(PanelTools);
  bevel->SetBounds(left, 1, 2, 21);
  bevel->SetShape(bsLeftLine);
  return bevel;
}

TPanel* TRLPreviewForm::MakePanel(TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* panel = new TPanel(this);
  panel->SetName(name);
  panel->SetParent(parent);
  panel->SetBounds(left, top, width, height);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption(" ");
  return panel;
}

void TRLPreviewForm::SetGlyph(TSpeedButton* button, int glyph) {
  DrawPreviewGlyph(button->Glyph(), static_cast<TRLPreviewGlyph>(glyph));
  button->SetGlyphScale(kGlyphScale);
}

void TRLPreviewForm::GiveAccelerators() {
  std::string taken;
  for (TSpeedButton* button : {SpeedButtonPrint, SpeedButtonClose, SpeedButtonSave, SpeedButtonSend}) {
    std::string caption = button->Caption();
    for (std::size_t i = 0; i < caption.size(); ++i) {
      auto c = static_cast<unsigned char>(caption[i]);
      if (c >= 128 || !std::isalnum(c)) continue;
      char upper = static_cast<char>(std::toupper(c));
      if (taken.find(upper) != std::string::npos) continue;
      taken += upper;
      button->SetCaption(caption.insert(i, "&"));
      break;
    }
  }
}

// ---- Previews -----------------------------------------------------------------------------------------------

TRLPreview* TRLPreviewForm::AddPreview() {
  auto* preview = new TRLPreview(this);
  preview->SetBounds(0, 0, 0, preview->Height());
  preview->OnChangeView = [this](TObject* s) { rpvDefaultChangeView(s); };
  preview->OnEnter = [this](TObject* s) { SetActivePreview(static_cast<TRLPreview*>(s)); };
  preview->SetParent(PanelContainer);
  auto* splitter = new TSplitter(preview);
  splitter->SetAutoSnap(false);
  splitter->SetBounds(0, 0, 0, 0);
  splitter->SetParent(PanelContainer);
  previews_.push_back({preview, splitter});
  if (previews_.size() == 1) SetActivePreview(preview);
  else preview->SetPages(Pages());
  return preview;
}

void TRLPreviewForm::RemoveSecondPreview() {
  if (previews_.size() < 2) return;
  TRLPreview* last = previews_.back().preview;
  previews_.pop_back();
  if (ActivePreview() == last || preview_index_ >= static_cast<int>(previews_.size())) preview_index_ = -1;
  delete last;
  if (preview_index_ < 0) SetActivePreview(previews_.front().preview);
}

TRLPreview* TRLPreviewForm::ActivePreview() const {
  if (preview_index_ < 0 || preview_index_ >= static_cast<int>(previews_.size())) return nullptr;
  return previews_[static_cast<std::size_t>(preview_index_)].preview;
}

void TRLPreviewForm::SetActivePreview(TRLPreview* preview) {
  auto it =
      std::find_if(previews_.begin(), previews_.end(), [&](const TPreviewSlot& s) { return s.preview == preview; });
  if (it == previews_.end()) return;
  if (TRLPreview* old = ActivePreview(); old && old != preview) old->SetIsActive(false);
  preview->SetIsActive(true);
  preview_index_ = static_cast<int>(it - previews_.begin());
  SpeedButtonEdit->SetDown(preview->Editing());
  RefreshPageBox();
  RefreshZoomBox();
}

TRLGraphicStorage* TRLPreviewForm::Pages() const {
  return previews_.empty() ? nullptr : previews_.front().preview->Pages();
}

void TRLPreviewForm::StackPreviews() {
  for (const TPreviewSlot& slot : previews_) {
    slot.preview->SetAlign(alNone);
    slot.splitter->SetAlign(alNone);
  }
  const int height = ClientHeight() / static_cast<int>(previews_.size());
  int top = 0;
  for (std::size_t i = 0; i + 1 < previews_.size(); ++i) {
    TRLPreview* preview = previews_[i].preview;
    TSplitter* splitter = previews_[i].splitter;
    preview->SetBounds(preview->Left(), top, preview->Width(), height);
    preview->SetAlign(alTop);
    top += height;
    splitter->SetBounds(splitter->Left(), top, splitter->Width(), 3);
    splitter->SetVisible(true);
    splitter->SetAlign(alTop);
    top += 3;
  }
  previews_.back().preview->SetAlign(alClient);
  previews_.back().splitter->SetVisible(false);
}

// ---- Handlers -----------------------------------------------------------------------------------------------

void TRLPreviewForm::RunOutputAction(const std::function<void(TRLPreviewForm&)>& action,
                                     const std::string& unavailable) {
  TRLPreview* focused = ActivePreview();
  struct GiveBack {
    TRLPreview* preview;
    ~GiveBack() {
      if (preview && preview->Widget()) preview->SetFocus();
    }
  } give_back{focused};
  if (action) action(*this);
  else ShowMessageBox(unavailable, Caption(), mtInformation);
}

void TRLPreviewForm::SpeedButtonPrintClick(TObject*) {
  RunOutputAction(PreviewOutputActions().Print, kNotAvailablePrint);
}

void TRLPreviewForm::SpeedButtonSaveClick(TObject*) { RunOutputAction(PreviewOutputActions().Save, kNotAvailableSave); }

void TRLPreviewForm::SpeedButtonSendClick(TObject*) {
  TRLPreview* preview = ActivePreview();
  if (!preview || !preview->Pages()) return;
  try {
    SendPages(*preview->Pages());
  } catch (const Exception& error) {
    ShowMessageBox(error.Message(), Caption(), mtError);
  }
}

void TRLPreviewForm::SpeedButtonSetupClick(TObject*) {
  RunOutputAction(PreviewOutputActions().Setup, kNotAvailableSetup);
}

void TRLPreviewForm::SpeedButtonFirstClick(TObject*) {
  if (TRLPreview* preview = ActivePreview()) preview->FirstPage();
}

void TRLPreviewForm::SpeedButtonLastClick(TObject*) {
  if (TRLPreview* preview = ActivePreview()) preview->LastPage();
}

void TRLPreviewForm::SpeedButtonPriorMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  auto* pressed = static_cast<TSpeedButton*>(sender);
  pressed->SetTag(1);
  repeat_counter_ = 0;
  if (TRLPreview* preview = ActivePreview()) {
    if (pressed == SpeedButtonPrior) preview->PriorPage();
    else preview->NextPage();
  }
}

void TRLPreviewForm::SpeedButtonPriorMouseUp(TObject* sender, TMouseButton button, TShiftState, int, int) {
  if (button == mbLeft) static_cast<TSpeedButton*>(sender)->SetTag(0);
}

void TRLPreviewForm::TimerRepeatTimer(TObject*) {
  if (repeat_counter_ <= kRepeatDelay) {
    repeat_counter_ += TimerRepeat->Interval();
    return;
  }
  const bool prior = SpeedButtonPrior->Tag() == 1, next = SpeedButtonNext->Tag() == 1;
  TRLPreview* preview = ActivePreview();
  if (!preview || prior == next) return;
  if (prior) preview->PriorPage();
  else preview->NextPage();
}

void TRLPreviewForm::EditPageNoChange(TObject*) {
  if (refreshing_) return;
  TRLPreview* preview = ActivePreview();
  const std::string text = EditPageNo->GetText();
  int number;
  if (preview && ReadNumber(text, number) && number >= 1 && number <= preview->PageCount()) {
    TScopedValueRollback<bool> rollback(editing_page_no_, true);
    preview->SetPageIndex(number - 1);
    return;
  }
  // Anything but a page of the report (letters, 0, 99 of 34) gives way to the number of the page shown; an emptied
  // box waits for the number being typed.
  if (!Trim(text).empty()) RefreshPageBox();
}

void TRLPreviewForm::ComboBoxZoomChange(TObject*) {
  if (refreshing_) return;
  TRLPreview* preview = ActivePreview();
  if (!preview) return;
  TScopedValueRollback<bool> rollback(editing_zoom_, true);
  const std::string text = ComboBoxZoom->GetText();
  int item = -1;
  for (int i = 0; i < ComboBoxZoom->Items().Count() && item < 0; ++i) {
    if (SameText(ComboBoxZoom->Items()[i], text)) item = i;
  }
  if (item < 0) {
    std::string number;
    for (char c : text) {
      if (c != '%') number += c == ',' ? '.' : c;
    }
    double zoom;
    if (ReadNumber(number, zoom) && zoom >= 10) {
      preview->SetZoomFactor(zoom);
      return;
    }
    item = ComboBoxZoom->ItemIndex();
  }
  if (item >= 0 && item < kItemFullWidth) preview->SetZoomFactor(kZoomItems[item]);
  else if (item == kItemFullWidth) preview->ZoomFullWidth();
  else if (item == kItemFullPage) preview->ZoomFullPage();
  else if (item == kItemMultiplePages) preview->ZoomMultiplePages();
}

void TRLPreviewForm::SpeedButtonZoomUpClick(TObject*) {
  if (TRLPreview* preview = ActivePreview()) preview->SetZoomFactor(preview->ZoomFactor() + 10);
  RefreshZoomBox();
}

void TRLPreviewForm::SpeedButtonZoomDownClick(TObject*) {
  if (TRLPreview* preview = ActivePreview()) preview->SetZoomFactor(std::max(preview->ZoomFactor() - 10, 10.0));
  RefreshZoomBox();
}

void TRLPreviewForm::SpeedButtonViewsClick(TObject*) {
  if (previews_.size() == 1) AddPreview();
  else RemoveSecondPreview();
  StackPreviews();
}

void TRLPreviewForm::SpeedButtonEditClick(TObject*) {
  if (TRLPreview* preview = ActivePreview()) {
    preview->SetEditing(!preview->Editing());
    SpeedButtonEdit->SetDown(preview->Editing());
  }
}

void TRLPreviewForm::SpeedButtonCloseClick(TObject*) { Close(); }

void TRLPreviewForm::rpvDefaultChangeView(TObject* sender) {
  if (auto* preview = dynamic_cast<TRLPreview*>(sender)) {
    PanelPageCount->SetCaption(std::to_string(preview->PageCount()));
  }
  if (PanelOutline->Pages() != Pages()) {
    PanelOutline->SetPages(Pages());
    SpeedButtonOutline->SetVisible(PanelOutline->HasOutline());
    SpeedButtonOutline->SetDown(PanelOutline->Wanted());
  }
  if (TRLPreview* active = ActivePreview()) PanelOutline->FollowPage(active->PageIndex());
  RefreshPageBox();
  RefreshZoomBox();
}

void TRLPreviewForm::SpeedButtonOutlineClick(TObject*) { PanelOutline->SetWanted(SpeedButtonOutline->Down()); }

void TRLPreviewForm::RefreshPageBox() {
  TRLPreview* preview = ActivePreview();
  if (!preview || editing_page_no_) return;
  refreshing_ = true;
  EditPageNo->SetText(std::to_string(preview->PageIndex() + 1));
  refreshing_ = false;
}

void TRLPreviewForm::RefreshZoomBox() {
  TRLPreview* preview = ActivePreview();
  if (!preview || editing_zoom_) return;
  refreshing_ = true;
  ComboBoxZoom->SetItemIndex(-1);
  ComboBoxZoom->SetText(FormatZoom(preview->ZoomFactor()) + "%");
  refreshing_ = false;
}

void TRLPreviewForm::FormKeyDown(TObject*, int& key, TShiftState shift) {
  TRLPreview* preview = ActivePreview();
  const bool ctrl = shift.Contains(ssCtrl);
  auto act = [&](auto method) {
    if (preview) (preview->*method)();
    key = 0;
  };
  // The outline's tree moves through its entries with the arrow and paging keys.
  if (PanelOutline->Tree->Focused() && key != VK_ESCAPE && !ctrl) return;
  switch (key) {
    case VK_ESCAPE:
      key = 0;
      SpeedButtonClose->Click();
      break;
    case VK_PRIOR: act(ctrl ? &TRLPreview::ScrollTop : &TRLPreview::PriorPage); break;
    case VK_NEXT: act(ctrl ? &TRLPreview::ScrollBottom : &TRLPreview::NextPage); break;
    case VK_HOME: act(ctrl ? &TRLPreview::FirstPage : &TRLPreview::ScrollLeftEnd); break;
    case VK_END: act(ctrl ? &TRLPreview::LastPage : &TRLPreview::ScrollRightEnd); break;
    case VK_LEFT: act(ctrl ? &TRLPreview::ScrollLeft : &TRLPreview::ScrollLineLeft); break;
    case VK_RIGHT: act(ctrl ? &TRLPreview::ScrollRight : &TRLPreview::ScrollLineRight); break;
    case VK_UP: act(ctrl ? &TRLPreview::ScrollUp : &TRLPreview::ScrollLineUp); break;
    case VK_DOWN: act(ctrl ? &TRLPreview::ScrollDown : &TRLPreview::ScrollLineDown); break;
    case 'F':
    case VK_F3:
      if (ctrl) {
        key = 0;
        OpenFindDialog();
      }
      break;
    default: break;
  }
}

void TRLPreviewForm::OpenFindDialog() {
  if (!find_dialog_) {
    find_dialog_ = std::make_unique<TfrmRLFindDialog>();
    // The preview usually runs modally: the dialog belongs to its window so that it can take the user's typing.
    find_dialog_->SetPopupParent(this);
    find_dialog_->SetFindTarget([this](TfrmRLFindDialog* sender, const std::string& text, bool& found, int options) {
      FindDialogFind(sender, text, found, options);
    });
  }
  find_dialog_->Show();
  find_dialog_->EditTextToFind->SetFocus();
}

void TRLPreviewForm::FindDialogFind(TfrmRLFindDialog*, const std::string& text, bool& found, int options) {
  TRLPreview* preview = ActivePreview();
  found = preview && preview->Find(text, (options & foUp) != 0, (options & foMatchCase) != 0);
}

void TRLPreviewForm::FormClose(TObject*, TCloseAction& action) {
  PreviewDefaults().WindowState = WindowState();
  // A print or save started from this window may still be reading its pages, which the report frees or rebuilds
  // once the window is gone: the window stays until the run has ended (its progress window offers to cancel).
  for (int i = 0; i < PreviewCount(); ++i) {
    if (const TRLGraphicStorage* pages = Previews(i)->Pages()) WaitForOutputOf(*pages);
  }
  action = caFree;
}

// ---- Opening ------------------------------------------------------------------------------------------------

void ShowPreview(TRLGraphicStorage* pages, bool modal, TFormStyle formStyle, const std::string& caption, int,
                 const std::string&, TBorderIcons borderIcons, TWindowState windowState, TPosition position) {
  auto form = std::make_unique<TRLPreviewForm>();
  TRLPreview* preview = form->Previews(0);
  preview->SetPages(pages);
  form->SizeToPage();
  double zoom = PreviewDefaults().Zoom;
  if (zoom == -1) preview->ZoomFullWidth();
  else if (zoom == -2) preview->ZoomFullPage();
  else if (zoom == -3) preview->ZoomMultiplePages();
  else preview->SetZoomFactor(zoom);
  form->RefreshZoomBox();
  form->SetPosition(position);
  form->SetWindowState(windowState);
  form->SetBorderIcons(borderIcons);
  if (!caption.empty()) form->SetCaption(caption);
  form->SetFormStyle(formStyle);
  if (modal) {
    form->ShowModal();
    return;
  }
  // A window left open frees itself when it closes.
  TRLPreviewForm* window = form.release();
  window->Show();
  window->BringToFront();
}

void InstallReportPreviewWindow() {
  SetReportPreviewHandler([](TRLCustomReport& report) {
    TRLPreviewOptions& options = report.PreviewOptions();
    TRLGraphicStorage* pages = &report.MasterReport()->Pages();
    if (options.Defaults() == pdIgnoreDefaults) {
      ShowPreview(pages, true, options.FormStyle(), options.Caption(), options.HelpContext(), options.HelpFile(),
                  options.BorderIcons(), options.WindowState(), options.Position());
    } else {
      const TRLPreviewDefaults& d = PreviewDefaults();
      ShowPreview(pages, true, d.FormStyle, d.Caption, d.HelpContext, d.HelpFile, d.BorderIcons, d.WindowState,
                  d.Position);
    }
  });
}
