#pragma once

// The data-bound lookup combo box: a text editor with a drop-down button whose list is a dataset.

#include "lookup/cxDBLookupEdit.h"

class TcxLookupComboBoxProperties : public TcxCustomDBLookupEditProperties {};

class TcxCustomLookupComboBox : public TcxCustomDBLookupEdit {
public:
  explicit TcxCustomLookupComboBox(TComponent* owner)
      : TcxCustomDBLookupEdit(owner, std::make_unique<TcxLookupComboBoxProperties>()) {}
  TcxLookupComboBoxProperties& Properties() {
    return static_cast<TcxLookupComboBoxProperties&>(TcxCustomEdit::Properties());
  }
  const TcxLookupComboBoxProperties& Properties() const {
    return static_cast<const TcxLookupComboBoxProperties&>(TcxCustomEdit::Properties());
  }
};

class TcxLookupComboBox : public TcxCustomLookupComboBox {
public:
  using TcxCustomLookupComboBox::TcxCustomLookupComboBox;
};

// Registers the lookup's classes (editor, properties, style, grid columns and options, look and feel, push
// button) with their published properties; safe to call more than once.
void RegisterLookupClasses();
