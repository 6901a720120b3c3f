#pragma once

// Stored definitions: a readable text that describes a tree of components with their non-default properties.
//
//   TForm1 Form1 {
//     Caption: "Relação de Clientes Por Cidade"    # a string; \" \\ \n \t \xHH inside quotes
//     BorderStyle: bsSingle                         # an enumeration value
//     Font {                                        # an owned sub-object
//       Style: [fsBold]                             # a set
//     }
//     OnShow: FormShow                              # an event, bound to a handler the form registers
//     TQuery QRel {                                 # an owned component: class, then name
//       SQL: ["select codigo from acadclie"]        # a string list
//       TStringField QRelcodigo { Size: 6 }         # held by its enclosing component (a field of QRel)
//     }
//     TDataSource DSQRel { DataSet: QRel }          # a reference to a component by name
//   }
//
// Collections are lists of blocks: `Columns: [{ FieldName: "cidade" }]`. Properties are applied in the
// order they are written; references are resolved after the whole tree is read.

#include "core/Classes.h"
#include "core/Exceptions.h"

#include <any>
#include <map>
#include <string>
#include <string_view>

class EDefinitionError : public Exception {
public:
  EDefinitionError(int line, int column, const std::string& what);
  int Line() const { return line_; }
  int Column() const { return column_; }

private:
  int line_, column_;
};

// The handlers a form offers to the events of a definition, by name.
class THandlerTable {
public:
  // `Handler` is the event's own function type, for instance TNotifyEvent.
  template <class Handler>
  void Add(const std::string& name, Handler handler) {
    handlers_[name] = std::any(std::move(handler));
  }
  const std::any* Find(std::string_view name) const;

private:
  std::map<std::string, std::any, std::less<>> handlers_;
};

// Reads a definition into `root`, whose class and name the definition's outer block gives. Every component of
// the definition is created with `root` as its owner. While reading, the components carry csLoading; after the
// references are resolved each gets Loaded, the root first, then the others in creation order. On an error
// every component created so far is deleted again and EDefinitionError says where and what.
void ReadDefinition(TComponent& root, std::string_view text, const THandlerTable& handlers = {});

// Writes the definition of `root` and everything it owns: the properties whose stored rule holds.
std::string WriteDefinition(const TComponent& root);

// The text of a resource compiled into the program (a path such as ":/forms/TelaPrincipal.def").
std::string LoadResourceText(const std::string& path);
