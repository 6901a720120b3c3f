#include "lookup/cxDBLookupEdit.h"

#include "core/Text.h"

TcxCustomDBLookupEditProperties::TcxCustomDBLookupEditProperties() : grid_(std::make_unique<TcxLookupDBGrid>(nullptr)) {
  grid_->DBDataController().OnSortingChanged = [this] {
    if (OnSortingChanged) OnSortingChanged();
  };
}

TcxCustomDBLookupEditProperties::~TcxCustomDBLookupEditProperties() {
  grid_->DBDataController().OnSortingChanged = nullptr;
  if (notifier_ && ListSource()) notifier_->RemoveFreeNotification(ListSource());
}

void TcxCustomDBLookupEditProperties::CheckLookupField() const {
  if (lookup_field_) DatabaseError("Propriedade já definida pelo campo lookup");
}

void TcxCustomDBLookupEditProperties::SetKeyFieldNames(const std::string& names) {
  CheckLookupField();
  grid_->SetKeyFieldNames(names);
  Changed();
}

void TcxCustomDBLookupEditProperties::SetListFieldNames(const std::string& names) {
  grid_->SetListFieldNames(names);
  Changed();
}

int TcxCustomDBLookupEditProperties::ListFieldIndex() const {
  const int count = grid_->Columns().Count();
  if (count == 0) return -1;
  return std::min(list_field_index_, count - 1);
}

void TcxCustomDBLookupEditProperties::SetListFieldIndex(int index) {
  CheckLookupField();
  list_field_index_ = std::clamp(index, 0, std::max(0, grid_->Columns().Count() - 1));
  Changed();
}

void TcxCustomDBLookupEditProperties::SetListSource(TDataSource* source) {
  if (source == ListSource()) return;
  if (source && bound_data_set_ && source->DataSet() &&
      (source->DataSet() == bound_data_set_ || source->IsLinkedTo(bound_data_set_))) {
    DatabaseError("Ligações de dados circulares não são permitidas");
  }
  if (notifier_ && ListSource()) notifier_->RemoveFreeNotification(ListSource());
  grid_->SetDataSource(source);
  if (notifier_ && source) notifier_->FreeNotification(source);
  Changed();
}

void TcxCustomDBLookupEditProperties::SetGridMode(bool on) {
  grid_->DBDataController().DataModeController().SetGridMode(on);
  Changed();
}

bool TcxCustomDBLookupEditProperties::KeyIsListField() const {
  const std::string& keys = KeyFieldNames();
  if (keys.empty() || keys.find(';') != std::string::npos) return false;
  TDataSet* dataSet = ListSource() ? ListSource()->DataSet() : nullptr;
  if (!dataSet) return false;
  TField* key = dataSet->SearchField(Trim(keys));
  const int index = ListFieldIndex();
  if (!key || index < 0) return false;
  return key == grid_->Columns().Items(index)->Field();
}

Variant TcxCustomDBLookupEditProperties::NullKey() const {
  int count = 0;
  for (const std::string& name : SplitText(KeyFieldNames(), ';')) {
    if (!Trim(name).empty()) ++count;
  }
  if (count <= 1) return Variant::Null();
  return Variant(std::vector<Variant>(static_cast<std::size_t>(count), Variant::Null()));
}

TcxCustomDBLookupEdit::TcxCustomDBLookupEdit(TComponent* owner,
                                             std::unique_ptr<TcxCustomDBLookupEditProperties> properties)
    : TcxCustomLookupEdit(owner, std::move(properties)) {
  Properties().SetNotifier(this);
}

void TcxCustomDBLookupEdit::Notification(TComponent* component, TOperation operation) {
  TcxCustomLookupEdit::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == Properties().ListSource()) {
    Properties().SetNotifier(nullptr);
    Properties().SetListSource(nullptr);
    Properties().SetNotifier(this);
  }
  if (component == PopupMenu()) SetPopupMenu(nullptr);
}
