#pragma once

// A combo box whose list is a lookup list: typing completes from the list, keys and the mouse move in it, and
// the drop-down shows it in a grid.

#include "lookup/cxLookupGrid.h"
#include "lookup/cxTextEdit.h"

class TcxCustomLookupEdit;

// What a lookup editor needs of its list; the properties of a concrete lookup supply it.
class TcxCustomLookupEditProperties : public TcxCustomComboBoxProperties {
public:
  bool IncrementalFiltering() const { return incremental_filtering_; }
  void SetIncrementalFiltering(bool on) {
    incremental_filtering_ = on;
    Changed();
  }

  virtual TcxCustomLookupGrid& Grid() = 0;
  TcxCustomDataController& DataController() { return Grid().DataController(); }
  // The column whose text is the editor's text (-1 when there is none).
  virtual int ListFieldIndex() const = 0;
  virtual bool IsGridMode() const { return false; }
  // Whether the value is the text itself (else it is a key).
  virtual bool KeyIsListField() const { return false; }
  // An array of Nulls, one per key field, or Null.
  virtual Variant NullKey() const { return Variant::Null(); }

  std::function<void(TObject* sender, const std::string& text)> OnNewLookupDisplayText;
  std::function<void()> OnSortingChanged;

private:
  bool incremental_filtering_ = true;
};

// The link between the text editor and the list.
class IcxTextEditLookupData {
public:
  // F49C5F08-7758-4362-A360-1DF02354E708
  static constexpr const char* IID = "{F49C5F08-7758-4362-A360-1DF02354E708}";
  virtual ~IcxTextEditLookupData() = default;
  virtual const Variant& CurrentKey() const = 0;
  virtual bool Locate(const std::string& text) = 0;
  virtual bool IsVisible() const = 0;
};

class TcxCustomLookupEditLookupData : public TObject, public IcxTextEditLookupData {
public:
  explicit TcxCustomLookupEditLookupData(TcxCustomLookupEdit* edit) : edit_(edit) {}

  const Variant& CurrentKey() const override { return current_key_; }
  void SetCurrentKey(const Variant& key);
  bool IsVisible() const override { return visible_; }
  void SetVisible(bool on) { visible_ = on; }
  // Finds the first entry that begins with `text` (filtering the open list), focuses it and makes its key current.
  bool Locate(const std::string& text) override;
  // Focuses the row of the current key (no row when it is not in the list).
  void SyncGrid();
  // The list moves.
  enum TMove { mvFirst, mvLast, mvNext, mvPrior, mvBy };
  void Move(TMove move, int distance = 0);
  // Whether the list has records to show.
  bool HasRecords();
  // The text of the first row whose key is `key`, or "" (and `found` false) when no row has it.
  std::string TextOfKey(const Variant& key, bool* found = nullptr);
  // The key of the first row whose text equals `text` (letter case aside), or Null / an array of Nulls.
  Variant KeyOfText(const std::string& text, bool& found);
  bool Locked() const { return lock_count_ > 0; }

  std::function<void()> OnCurrentKeyChanged;
  std::function<void()> OnSelectItem;

private:
  TcxCustomLookupEditProperties& Properties();
  TcxCustomLookupEdit* edit_;
  Variant current_key_ = Variant::Null();
  bool visible_ = false;
  int lock_count_ = 0;
  friend class TcxCustomLookupEdit;
};

class TcxCustomLookupEdit : public TcxCustomComboBox {
public:
  ~TcxCustomLookupEdit() override;
  TcxCustomLookupEditProperties& Properties() {
    return static_cast<TcxCustomLookupEditProperties&>(TcxCustomEdit::Properties());
  }
  const TcxCustomLookupEditProperties& Properties() const {
    return static_cast<const TcxCustomLookupEditProperties&>(TcxCustomEdit::Properties());
  }
  TcxCustomLookupEditLookupData& LookupData() { return *lookup_data_; }
  // Typing is completing an entry (its tail is selected).
  bool Completing() const { return completing_; }

protected:
  TcxCustomLookupEdit(TComponent* owner, std::unique_ptr<TcxCustomLookupEditProperties> properties);

  std::string EditValueToDisplayText(const Variant& value) override;
  Variant DisplayTextToEditValue(const std::string& text) override;
  void BeforePost(const std::string& text) override;
  void EditValueSet() override;
  bool PrepareDropDown() override;
  TControl* PopupContent() override { return &Properties().Grid(); }
  TSize PopupContentSize() override;
  int SnappedPopupContentHeight(int height) override;
  int MinPopupContentWidth() override;
  void DoCloseUp(bool accept) override;
  void AfterCloseUp() override;
  void InnerKeyDown(unsigned short& key, TShiftState shift) override;
  void InnerKeyPress(char32_t& key) override;
  bool InnerCanEdit(const std::string& result) override;
  void InnerMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  bool InnerMouseWheel(int delta) override;
  void InnerDblClick() override;
  void FocusChanged(bool focused) override;
  void PropertiesChanged() override;
  // The list's rows changed (reloaded, filtered, sorted).
  void ListChanged();

private:
  void ListMove(TcxCustomLookupEditLookupData::TMove move, int distance = 0);
  // The item-selected notification: the value and text become the current key's row.
  void SelectItem();
  // Drops the incremental filter. No key changes its text by it, so the text the user typed stays.
  void ClearListFilter();
  // Shows the located row's text with the typed prefix (of `prefix_length` characters) before the selection.
  void ShowCompletion(int prefix_length);
  std::string LocatedText();
  bool IsListEntry(const std::string& text);
  void DropDownIfImmediate();
  void TypeCharacter(char32_t& key);
  void Backspace(unsigned short& key);

  std::unique_ptr<TcxCustomLookupEditLookupData> lookup_data_;
  bool completing_ = false;
  friend class TcxCustomLookupEditLookupData;
};
