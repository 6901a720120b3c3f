#include "lookup/cxLookupEdit.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "widgets/Forms.h"

#include <algorithm>

namespace {

// The first `count` characters of a UTF-8 text.
std::string CharPrefix(const std::string& text, int count) {
  std::size_t i = 0;
  for (int c = 0; c < count && i < text.size(); ++c) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return text.substr(0, i);
}

std::string CharSuffix(const std::string& text, int from) { return text.substr(CharPrefix(text, from).size()); }

std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

char32_t FirstCodePoint(const std::string& text, char32_t fallback) {
  if (text.empty()) return fallback;
  const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[i])); };
  const char32_t lead = b(0);
  if (lead < 0x80) return lead;
  if (lead >= 0xF0 && text.size() >= 4)
    return ((lead & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
  if (lead >= 0xE0 && text.size() >= 3) return ((lead & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
  if (text.size() >= 2) return ((lead & 0x1F) << 6) | (b(1) & 0x3F);
  return fallback;
}

// Errors of the list while searching mean "not found"; programming errors still go through.
template <class F>
bool Quiet(F&& action) {
  try {
    action();
    return true;
  } catch (const EcxInvalidDataControllerOperation&) {
    throw;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

// ---- TcxCustomLookupEditLookupData ----

TcxCustomLookupEditProperties& TcxCustomLookupEditLookupData::Properties() { return edit_->Properties(); }

void TcxCustomLookupEditLookupData::SetCurrentKey(const Variant& key) {
  if (key.VarType() == current_key_.VarType() && key == current_key_) return;
  current_key_ = key;
  if (OnCurrentKeyChanged) OnCurrentKeyChanged();
}

bool TcxCustomLookupEditLookupData::HasRecords() {
  TcxCustomDataController& data = Properties().DataController();
  return Properties().ListFieldIndex() >= 0 && (data.RecordCount() > 0 || data.RowCount() > 0);
}

bool TcxCustomLookupEditLookupData::Locate(const std::string& text) {
  TcxCustomLookupEditProperties& p = Properties();
  TcxCustomDataController& data = p.DataController();
  const int item = p.ListFieldIndex();
  if (item < 0) return false;
  int record = -1;
  ++lock_count_;
  struct Unlock {
    int& count;
    ~Unlock() { --count; }
  } unlock{lock_count_};
  const bool filtering = visible_ && p.IncrementalFiltering() && !p.IsGridMode();
  Quiet([&] {
    if (filtering) {
      const bool had = data.IncrementalFilterActive();
      const std::string previous = data.IncrementalFilterText();
      record = data.SetIncrementalFilter(item, text);
      if (record < 0 && p.DropDownListStyle() != lsEditList) {
        if (had) data.SetIncrementalFilter(item, previous);
        else data.ClearIncrementalFilter();
      }
    } else {
      record = data.FindRowByText(0, item, text, true, false, true);
    }
  });
  if (filtering && edit_->DroppedDown() && !edit_->user_sized_) edit_->UpdatePopupBounds();
  if (record < 0) {
    data.SetFocusedRowSelected(false);
    return false;
  }
  data.SetFocusedRow(data.RecordRow(record));
  data.SetFocusedRowSelected(true);
  SetCurrentKey(data.GetRecordKey(record));
  return true;
}

void TcxCustomLookupEditLookupData::SyncGrid() {
  TcxCustomDataController& data = Properties().DataController();
  bool found = false;
  ++lock_count_;
  Quiet([&] { found = !current_key_.IsClear() && data.LocateByKey(current_key_); });
  --lock_count_;
  if (!found) data.SetFocusedRow(-1);
  data.SetFocusedRowSelected(found);
}

void TcxCustomLookupEditLookupData::Move(TMove move, int distance) {
  if (!HasRecords()) return;
  TcxCustomDataController& data = Properties().DataController();
  SyncGrid();
  switch (move) {
    case mvFirst: data.GotoFirst(); break;
    case mvLast: data.GotoLast(); break;
    case mvNext: data.GotoNext(); break;
    case mvPrior: data.GotoPrior(); break;
    case mvBy: data.MoveRecords(distance); break;
  }
  if (data.FocusedRow() < 0) return;
  data.SetFocusedRowSelected(true);
  SetCurrentKey(data.GetRecordKey(data.FocusedRecord()));
  if (OnSelectItem) OnSelectItem();
}

std::string TcxCustomLookupEditLookupData::TextOfKey(const Variant& key, bool* found) {
  TcxCustomDataController& data = Properties().DataController();
  const int item = Properties().ListFieldIndex();
  if (found) *found = false;
  if (item < 0) return {};
  std::string text;
  Quiet([&] {
    const int record = data.FindRecordIndexByKey(key);
    if (record < 0) return;
    text = data.GetDisplayText(record, item);
    if (found) *found = true;
  });
  return text;
}

Variant TcxCustomLookupEditLookupData::KeyOfText(const std::string& text, bool& found) {
  TcxCustomDataController& data = Properties().DataController();
  const int item = Properties().ListFieldIndex();
  found = false;
  Variant key = Properties().NullKey();
  if (item < 0) return key;
  Quiet([&] {
    for (int record = 0; record < data.RecordCount(); ++record) {
      if (TextMatches(data.GetDisplayText(record, item), text, false)) {
        key = data.GetRecordKey(record);
        found = true;
        return;
      }
    }
  });
  return key;
}

// ---- TcxCustomLookupEdit ----

TcxCustomLookupEdit::TcxCustomLookupEdit(TComponent* owner, std::unique_ptr<TcxCustomLookupEditProperties> properties)
    : TcxCustomComboBox(owner, std::move(properties)),
      lookup_data_(std::make_unique<TcxCustomLookupEditLookupData>(this)) {
  lookup_data_->OnSelectItem = [this] { SelectItem(); };
  TcxCustomLookupGrid& grid = Properties().Grid();
  grid.SetPopupControl(true);
  // The grid speaks to the editor only while its list is down.
  grid.OnCloseUp = [this](TObject*, bool accept) {
    if (LookupData().IsVisible()) RunGuarded([&] { CloseUp(accept); });
  };
  grid.OnDataChanged = [this](TObject*) { ListChanged(); };
}

TcxCustomLookupEdit::~TcxCustomLookupEdit() {
  Destroying();
  TcxCustomLookupGrid& grid = Properties().Grid();
  grid.OnCloseUp = nullptr;
  grid.OnDataChanged = nullptr;
  grid.OnClicked = nullptr;
}

std::string TcxCustomLookupEdit::EditValueToDisplayText(const Variant& value) {
  if (Properties().KeyIsListField()) return value.ToText();
  if (value.IsClear()) return {};
  return lookup_data_->TextOfKey(value);
}

Variant TcxCustomLookupEdit::DisplayTextToEditValue(const std::string& text) {
  if (Properties().KeyIsListField()) return Variant(text);
  // The current key stands while the text is its row's; a key of no row has no text, not the empty one.
  const Variant& current = lookup_data_->CurrentKey();
  bool found = false;
  if (!current.IsClear() && lookup_data_->TextOfKey(current, &found) == text && found) return current;
  return lookup_data_->KeyOfText(text, found);
}

void TcxCustomLookupEdit::BeforePost(const std::string& text) {
  if (Properties().DropDownListStyle() != lsEditList || text.empty() || IsListEntry(text)) return;
  if (Properties().OnNewLookupDisplayText) Properties().OnNewLookupDisplayText(this, text);
}

void TcxCustomLookupEdit::EditValueSet() {
  if (!lookup_data_->Locked()) lookup_data_->current_key_ = EditValue().IsClear() ? Variant::Null() : EditValue();
}

bool TcxCustomLookupEdit::IsListEntry(const std::string& text) {
  bool found = false;
  lookup_data_->KeyOfText(text, found);
  return found;
}

std::string TcxCustomLookupEdit::LocatedText() {
  TcxCustomDataController& data = Properties().DataController();
  const int record = data.FocusedRecord();
  const int item = Properties().ListFieldIndex();
  if (record < 0 || item < 0) return {};
  return data.GetDisplayText(record, item);
}

bool TcxCustomLookupEdit::PrepareDropDown() {
  TcxCustomLookupEditProperties& p = Properties();
  if (p.ListFieldIndex() < 0 || !lookup_data_->HasRecords()) return false;
  TcxCustomLookupGrid& grid = p.Grid();
  grid.LookAndFeel().SetMasterLookAndFeel(&PopupLookAndFeel());
  grid.SetColor(Style().Color());
  grid.SetFont(Font());
  ClearListFilter();
  lookup_data_->SyncGrid();
  grid.MakeFocusedRowVisible();
  grid.LockPopupMouseMove();
  lookup_data_->SetVisible(true);
  return true;
}

TSize TcxCustomLookupEdit::PopupContentSize() {
  TcxCustomLookupGrid& grid = Properties().Grid();
  const int rows = std::max(1, std::min(Properties().DropDownRows(), Properties().DataController().RowCount()));
  return {grid.ColumnsWidth(), grid.PreferredHeight(rows)};
}

int TcxCustomLookupEdit::SnappedPopupContentHeight(int height) { return Properties().Grid().SnappedHeight(height); }

int TcxCustomLookupEdit::MinPopupContentWidth() {
  TcxCustomLookupGrid& grid = Properties().Grid();
  int sum = 0;
  for (int i = 0; i < grid.ColumnCount(); ++i) sum += grid.Column(i)->MinWidth();
  return sum;
}

void TcxCustomLookupEdit::DoCloseUp(bool accept) {
  TcxCustomDataController& data = Properties().DataController();
  if (!accept || !data.FocusedRowSelected() || Properties().ReadOnly()) return;
  const Variant previous = lookup_data_->CurrentKey();
  lookup_data_->SetCurrentKey(data.GetRecordKey(data.FocusedRecord()));
  SelectItem();
  const Variant& now = lookup_data_->CurrentKey();
  if (now.VarType() != previous.VarType() || now != previous) {
    MarkModified();
    if (Properties().ImmediatePost()) PostEditValue();
    Click();
  }
}

void TcxCustomLookupEdit::AfterCloseUp() {
  ClearListFilter();
  Properties().Grid().SetMouseCapture(false);
  lookup_data_->SetVisible(false);
}

void TcxCustomLookupEdit::ClearListFilter() {
  TScopedValueRollback<int> locked(lookup_data_->lock_count_, lookup_data_->lock_count_ + 1);
  Properties().DataController().ClearIncrementalFilter();
}

void TcxCustomLookupEdit::SelectItem() {
  ++lookup_data_->lock_count_;
  struct Unlock {
    int& count;
    ~Unlock() { --count; }
  } unlock{lookup_data_->lock_count_};
  const Variant value = Properties().KeyIsListField() ? Variant(LocatedText()) : lookup_data_->CurrentKey();
  SetEditValue(value);
  completing_ = false;
  SelectAll();
}

void TcxCustomLookupEdit::ListMove(TcxCustomLookupEditLookupData::TMove move, int distance) {
  if (Properties().ReadOnly()) return;
  const Variant previous = lookup_data_->CurrentKey();
  const Variant value_before = EditValue();
  lookup_data_->Move(move, distance);
  const Variant& now = lookup_data_->CurrentKey();
  if (now.VarType() == previous.VarType() && now == previous && value_before == EditValue()) return;
  MarkModified();
  if (Properties().ImmediatePost()) PostEditValue();
  Click();
}

void TcxCustomLookupEdit::ShowCompletion(int prefix_length) {
  const std::string text = LocatedText();
  SetDisplayText(text);
  SetSel(prefix_length, CharCount(text) - prefix_length);
  MarkModified();
  completing_ = true;
  if (Properties().ImmediatePost()) PostEditValue();
}

void TcxCustomLookupEdit::DropDownIfImmediate() {
  if (!DroppedDown() && Properties().ImmediateDropDown()) DropDown();
}

void TcxCustomLookupEdit::InnerKeyDown(unsigned short& key, TShiftState shift) {
  const bool alt = shift.Contains(ssAlt);
  const TcxTextEditingMode mode = EditingMode();
  if ((key == VK_F4 && !alt) || ((key == VK_UP || key == VK_DOWN) && alt)) {
    if (DroppedDown()) CloseUp(true);
    else DropDown();
    key = 0;
    return;
  }
  if (ShortCut(key, shift) == Properties().ClickKey()) {
    if (DroppedDown()) CloseUp(false);
    else DropDown();
    key = 0;
    return;
  }
  if (DroppedDown() && !alt && (key == VK_RETURN || key == VK_ESCAPE)) {
    CloseUp(key == VK_RETURN);
    if (IsListEntry(GetText())) {
      key = 0;
      return;
    }
  }
  switch (key) {
    case VK_TAB:
      // The open list closes with its row taken; the key goes on to move the focus.
      if (DroppedDown()) CloseUp(true);
      return;
    case VK_UP:
    case VK_DOWN:
      ListMove(key == VK_UP ? TcxCustomLookupEditLookupData::mvPrior : TcxCustomLookupEditLookupData::mvNext);
      key = 0;
      return;
    case VK_PRIOR:
    case VK_NEXT:
      if (shift.Contains(ssCtrl)) {
        ListMove(key == VK_PRIOR ? TcxCustomLookupEditLookupData::mvFirst : TcxCustomLookupEditLookupData::mvLast);
      } else {
        const int rows = Properties().DropDownRows();
        ListMove(TcxCustomLookupEditLookupData::mvBy, key == VK_PRIOR ? -rows : rows);
      }
      key = 0;
      return;
    case VK_HOME:
    case VK_END:
      if (mode == tmFixedList) {
        ListMove(key == VK_HOME ? TcxCustomLookupEditLookupData::mvFirst : TcxCustomLookupEditLookupData::mvLast);
        key = 0;
        return;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (mode == tmFixedList) {
        key = 0;
        return;
      }
      if (!shift.Contains(ssShift) && SelLength() > 0) {
        SetSel(key == VK_LEFT ? SelStart() : SelStart() + SelLength(), 0);
        completing_ = false;
        key = 0;
        return;
      }
      break;
    case VK_DELETE:
      if (mode == tmFree) break;
      // In a list's entry a selected text goes as with Backspace, and with nothing selected there is nothing to
      // delete; a fixed list's entry changes only by choosing another.
      if (mode == tmList && SelLength() > 0) Backspace(key);
      key = 0;
      return;
    case VK_BACK:
      if (mode != tmFree) {
        Backspace(key);
        if (key == 0) return;
      } else {
        completing_ = false;
      }
      break;
    default: break;
  }
  const unsigned short pressed = key;
  const bool was_completing = completing_;
  TcxCustomComboBox::InnerKeyDown(key, shift);
  if (pressed == VK_RETURN && key == 0) {
    if (was_completing) SelectAll();
    completing_ = false;
  } else if (pressed == VK_ESCAPE && key == 0) {
    completing_ = false;
  }
}

void TcxCustomLookupEdit::Backspace(unsigned short& key) {
  if (Properties().ReadOnly() || (EditingMode() == tmFixedList && !Properties().FixedListSelection())) {
    key = 0;
    return;
  }
  const std::string text = GetText();
  if (!text.empty() && !completing_) {
    SetSel(SelStart(), CharCount(text) - SelStart());
    completing_ = true;
  }
  if (!completing_) return;
  const int prefix_length = SelStart();
  if (prefix_length <= 1) {
    Properties().DataController().ClearIncrementalFilter();
    if (DroppedDown() && !user_sized_) UpdatePopupBounds();
    SetDisplayText("");
    MarkModified();
    completing_ = false;
    key = 0;
    return;
  }
  if (lookup_data_->Locate(CharPrefix(text, prefix_length - 1))) {
    ShowCompletion(prefix_length - 1);
    key = 0;
  }
}

void TcxCustomLookupEdit::InnerKeyPress(char32_t& key) {
  TcxCustomComboBox::InnerKeyPress(key);
  if (key < 32) return;
  switch (Properties().CharCase()) {
    case ecUpperCase: key = FirstCodePoint(AnsiUpperCase(Utf8(key)), key); break;
    case ecLowerCase: key = FirstCodePoint(AnsiLowerCase(Utf8(key)), key); break;
    case ecNormal: break;
  }
  const TcxTextEditingMode mode = EditingMode();
  const std::string text = GetText();
  const int start = SelStart(), length = SelLength();
  const int count = CharCount(text);
  if (mode == tmFree && !(start == count && length == 0) && length == 0 && !completing_) return;
  DropDownIfImmediate();
  const std::string typed = Utf8(key);
  if (mode == tmFixedList) {
    std::string search = CharPrefix(text, start) + typed;
    if (!lookup_data_->Locate(search)) {
      search = typed;
      if (!lookup_data_->Locate(search)) {
        key = 0;
        return;
      }
    }
    ShowCompletion(CharCount(search));
    key = 0;
    return;
  }
  const std::string search =
      length >= 1 ? CharPrefix(text, start) + typed : CharPrefix(text, start) + typed + CharSuffix(text, start);
  if (lookup_data_->Locate(search)) {
    ShowCompletion(CharCount(search));
    key = 0;
    return;
  }
  if (mode == tmList) {
    key = 0;
    if (!text.empty()) completing_ = true;
    return;
  }
  // Free editing: the character goes in as typed.
  completing_ = false;
}

bool TcxCustomLookupEdit::InnerCanEdit(const std::string& result) {
  if (Properties().ReadOnly()) return false;
  if (EditingMode() == tmFree) return true;
  return result.empty() || IsListEntry(result);
}

void TcxCustomLookupEdit::InnerMouseDown(TMouseButton button, TShiftState, int, int) {
  if (button == mbLeft && EditingMode() == tmFixedList && !DroppedDown()) DropDown();
}

bool TcxCustomLookupEdit::InnerMouseWheel(int delta) {
  if (delta == 0 || !Focused()) return false;
  ListMove(delta > 0 ? TcxCustomLookupEditLookupData::mvPrior : TcxCustomLookupEditLookupData::mvNext);
  return true;
}

void TcxCustomLookupEdit::InnerDblClick() {
  if (Properties().Revertable() && !DroppedDown() && lookup_data_->HasRecords()) {
    TcxCustomDataController& data = Properties().DataController();
    lookup_data_->SyncGrid();
    const bool last = data.FocusedRow() >= 0 && data.IsLastRow();
    ListMove(last ? TcxCustomLookupEditLookupData::mvFirst : TcxCustomLookupEditLookupData::mvNext);
  }
  TcxCustomComboBox::InnerDblClick();
}

void TcxCustomLookupEdit::FocusChanged(bool focused) {
  completing_ = false;
  TcxCustomComboBox::FocusChanged(focused);
}

void TcxCustomLookupEdit::PropertiesChanged() {
  if (Loading()) return;
  const TcxTextEditingMode mode = EditingMode();
  InnerEdit().SetCaretHidden(mode == tmFixedList);
  InnerEdit().SetMaxLength(mode == tmFree ? Properties().MaxLength() : 0);
  TcxCustomComboBox::PropertiesChanged();
}

void TcxCustomLookupEdit::ListChanged() {
  if (lookup_data_->Locked() || Loading() || Properties().KeyIsListField()) return;
  UpdateDisplayText();
}
