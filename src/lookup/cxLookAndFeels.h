#pragma once

// The visual style in force for a control: its own Kind and NativeStyle where assigned, else its master's, else
// the process's root look and feel (ultra-flat, not native).

#include "core/Classes.h"
#include "lookup/cxLookAndFeelPainters.h"

#include <functional>
#include <vector>

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat };
enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle };
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue, 8>;

class TcxLookAndFeel : public TPersistent {
public:
  // Without a master the root is the master.
  explicit TcxLookAndFeel(TcxLookAndFeel* master = nullptr);
  ~TcxLookAndFeel() override;
  TcxLookAndFeel(const TcxLookAndFeel&) = delete;
  TcxLookAndFeel& operator=(const TcxLookAndFeel&) = delete;

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind kind);
  bool NativeStyle() const;
  void SetNativeStyle(bool on);
  TcxLookAndFeelValues AssignedValues() const { return assigned_; }
  void SetAssignedValues(TcxLookAndFeelValues values);
  // Forgets the assigned values: everything is inherited again.
  void Reset() { SetAssignedValues({}); }
  TcxLookAndFeel* MasterLookAndFeel() const { return master_; }
  void SetMasterLookAndFeel(TcxLookAndFeel* master);
  const TcxCustomLookAndFeelPainter& Painter() const;
  void Assign(const TPersistent& source) override;

  // Told when the effective Kind or NativeStyle changes; returns an id for RemoveChangeListener.
  int AddChangeListener(std::function<void()> listener);
  void RemoveChangeListener(int id);

private:
  struct RootTag {};
  explicit TcxLookAndFeel(RootTag);
  friend TcxLookAndFeel& RootLookAndFeel();
  TcxLookAndFeel* EffectiveMaster() const;
  void Changed();

  TcxLookAndFeel* master_ = nullptr;
  bool is_root_ = false;
  int master_listener_ = 0;
  TcxLookAndFeelKind kind_ = lfUltraFlat;
  bool native_style_ = false;
  TcxLookAndFeelValues assigned_;
  TcxLookAndFeelKind last_kind_ = lfUltraFlat;
  bool last_native_ = false;
  std::vector<std::pair<int, std::function<void()>>> listeners_;
  // The look-and-feel objects whose master this one is; they fall back to the root when it goes.
  std::vector<TcxLookAndFeel*> dependents_;
  int next_listener_ = 1;
};

// The process's root look and feel.
TcxLookAndFeel& RootLookAndFeel();

// The painter of a style: the themed one when NativeStyle is asked for and themes are active.
const TcxCustomLookAndFeelPainter& LookAndFeelPainter(TcxLookAndFeelKind kind, bool native_style);

// A component that sets the root look and feel of the process.
class TcxLookAndFeelController : public TComponent {
public:
  explicit TcxLookAndFeelController(TComponent* owner) : TComponent(owner) {}
  TcxLookAndFeelKind Kind() const { return RootLookAndFeel().Kind(); }
  void SetKind(TcxLookAndFeelKind kind) { RootLookAndFeel().SetKind(kind); }
  bool NativeStyle() const { return RootLookAndFeel().NativeStyle(); }
  void SetNativeStyle(bool on) { RootLookAndFeel().SetNativeStyle(on); }
};
