#include "lookup/cxLookAndFeels.h"

#include "widgets/InputControl.h"

#include <algorithm>

TcxLookAndFeel& RootLookAndFeel() {
  static TcxLookAndFeel root{TcxLookAndFeel::RootTag{}};
  return root;
}

// The root's values are its own from the start.
TcxLookAndFeel::TcxLookAndFeel(RootTag) : is_root_(true), assigned_{lfvKind, lfvNativeStyle} {}

TcxLookAndFeel::TcxLookAndFeel(TcxLookAndFeel* master) {
  SetMasterLookAndFeel(master);
  last_kind_ = Kind();
  last_native_ = NativeStyle();
}

TcxLookAndFeel::~TcxLookAndFeel() {
  const auto dependents = dependents_;
  for (TcxLookAndFeel* dependent : dependents) dependent->SetMasterLookAndFeel(nullptr);
  if (is_root_) return;
  EffectiveMaster()->RemoveChangeListener(master_listener_);
  if (master_) std::erase(master_->dependents_, this);
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (is_root_) return nullptr;
  return master_ ? master_ : &RootLookAndFeel();
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* master) {
  if (is_root_ || master == this) return;
  if (master_listener_ && EffectiveMaster()) EffectiveMaster()->RemoveChangeListener(master_listener_);
  if (master_) std::erase(master_->dependents_, this);
  master_ = master;
  if (master_) master_->dependents_.push_back(this);
  master_listener_ = EffectiveMaster()->AddChangeListener([this] { Changed(); });
  Changed();
}

TcxLookAndFeelKind TcxLookAndFeel::Kind() const {
  if (assigned_.Contains(lfvKind) || !EffectiveMaster()) return kind_;
  return EffectiveMaster()->Kind();
}

bool TcxLookAndFeel::NativeStyle() const {
  if (assigned_.Contains(lfvNativeStyle) || !EffectiveMaster()) return native_style_;
  return EffectiveMaster()->NativeStyle();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind kind) {
  kind_ = kind;
  assigned_.Include(lfvKind);
  Changed();
}

void TcxLookAndFeel::SetNativeStyle(bool on) {
  native_style_ = on;
  assigned_.Include(lfvNativeStyle);
  Changed();
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues values) {
  if (is_root_) return;
  assigned_ = values;
  Changed();
}

const TcxCustomLookAndFeelPainter& TcxLookAndFeel::Painter() const { return LookAndFeelPainter(Kind(), NativeStyle()); }

void TcxLookAndFeel::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxLookAndFeel*>(&source);
  if (!other) return TPersistent::Assign(source);
  kind_ = other->kind_;
  native_style_ = other->native_style_;
  if (!is_root_) assigned_ = other->assigned_;
  Changed();
}

int TcxLookAndFeel::AddChangeListener(std::function<void()> listener) {
  const int id = next_listener_++;
  listeners_.emplace_back(id, std::move(listener));
  return id;
}

void TcxLookAndFeel::RemoveChangeListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void TcxLookAndFeel::Changed() {
  const TcxLookAndFeelKind kind = Kind();
  const bool native = NativeStyle();
  if (kind == last_kind_ && native == last_native_) return;
  last_kind_ = kind;
  last_native_ = native;
  // A listener may remove itself or others while it is told.
  const auto listeners = listeners_;
  for (const auto& [id, listener] : listeners) {
    if (std::any_of(listeners_.begin(), listeners_.end(), [id = id](const auto& e) { return e.first == id; }))
      listener();
  }
}

const TcxCustomLookAndFeelPainter& LookAndFeelPainter(TcxLookAndFeelKind kind, bool native_style) {
  static const TcxWinXPLookAndFeelPainter themed;
  static const TcxStandardLookAndFeelPainter standard;
  static const TcxFlatLookAndFeelPainter flat;
  static const TcxUltraFlatLookAndFeelPainter ultra_flat;
  if (native_style && ThemesActive()) return themed;
  switch (kind) {
    case lfFlat: return flat;
    case lfStandard: return standard;
    case lfUltraFlat: break;
  }
  return ultra_flat;
}
