#include "lookup/cxLookupDBGrid.h"

#include "core/Text.h"
#include "graphics/Canvas.h"

#include <algorithm>

// ---- columns ----

void TcxLookupDBGridColumn::SetFieldName(const std::string& name) {
  if (name == field_name_) return;
  field_name_ = name;
  if (auto* columns = dynamic_cast<TcxLookupDBGridColumns*>(Collection()); columns && columns->OnChange)
    columns->OnChange(columns);
}

TField* TcxLookupDBGridColumn::Field() const {
  auto* grid = dynamic_cast<TcxCustomLookupDBGrid*>(Grid());
  if (!grid || Index() >= grid->DBDataController().ColumnItemCount()) return nullptr;
  return grid->DBDataController().ItemField(Index());
}

void TcxLookupDBGridColumn::Assign(const TPersistent& source) {
  TcxLookupGridColumn::Assign(source);
  if (const auto* other = dynamic_cast<const TcxLookupDBGridColumn*>(&source)) SetFieldName(other->field_name_);
}

std::string TcxLookupDBGridColumn::DefaultCaption() const {
  TField* field = Field();
  return field ? field->DisplayName() : field_name_;
}

int TcxLookupDBGridColumn::DefaultWidth() const {
  TField* field = Field();
  TcxCustomLookupGrid* grid = Grid();
  if (!field || !grid) return 64;
  TCanvas& canvas = grid->Canvas();
  canvas.SetFont(grid->Font());
  int width = canvas.TextWidth("0") * field->DisplayWidth() + 4;
  if (grid->Options().ShowHeader()) {
    const int header = canvas.TextWidth(Caption()) + 2 * 2 + 2 * grid->Painter().HeaderFrameWidth();
    width = std::max(width, header);
  }
  return std::max(width, MinWidth());
}

TcxLookupDBGridColumns::TcxLookupDBGridColumns(TPersistent* grid)
    : TCollection(
          [](TCollection* c) -> std::unique_ptr<TCollectionItem> { return std::make_unique<TcxLookupDBGridColumn>(c); },
          grid) {}

// ---- grid ----

TcxCustomLookupDBGrid::TcxCustomLookupDBGrid(TComponent* owner) : TcxCustomLookupGrid(owner), columns_(this) {
  columns_.OnChange = [this](TObject*) { ColumnsChanged(); };
  data_controller_.OnDataChanged = [this] { ControllerDataChanged(); };
  data_controller_.OnFocusedRowChanged = [this](int previous, int current) {
    ControllerFocusChanged(previous, current);
  };
  EndUpdate();
}

TcxCustomLookupDBGrid::~TcxCustomLookupDBGrid() {
  Destroying();
  data_controller_.OnDataChanged = nullptr;
  data_controller_.OnFocusedRowChanged = nullptr;
  columns_.OnChange = nullptr;
  DestroyWidget();
}

void TcxCustomLookupDBGrid::ColumnsChanged() {
  std::vector<std::string> names;
  for (int i = 0; i < columns_.Count(); ++i) names.push_back(columns_.Items(i)->FieldName());
  data_controller_.SetColumnFieldNames(names);
  LayoutChanged();
}

std::string TcxCustomLookupDBGrid::ListFieldNames() const {
  std::string names;
  for (int i = 0; i < columns_.Count(); ++i) {
    if (i > 0) names += ';';
    names += columns_.Items(i)->FieldName();
  }
  return names;
}

void TcxCustomLookupDBGrid::SetListFieldNames(const std::string& names) {
  auto setter = columns_.OnChange;
  columns_.OnChange = nullptr;
  columns_.Clear();
  for (const std::string& raw : SplitText(names, ';')) {
    const std::string name = Trim(raw);
    if (!name.empty()) columns_.Add()->SetFieldName(name);
  }
  columns_.OnChange = setter;
  ColumnsChanged();
}

TAlignment TcxCustomLookupDBGrid::CellAlignment(int column) {
  TField* field = column < columns_.Count() ? columns_.Items(column)->Field() : nullptr;
  return field ? field->Alignment() : taLeftJustify;
}
