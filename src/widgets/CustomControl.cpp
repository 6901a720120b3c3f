#include "graphics/Canvas.h"
#include "widgets/Controls.h"
#include "widgets/Forms.h"

#include "core/ScopeGuard.h"

#include <QPaintEvent>
#include <QWidget>

// The backing widget of a control that paints itself.
class TCustomControlWidget : public QWidget {
public:
  TCustomControlWidget(TCustomControl* control, QWidget* parent) : QWidget(parent), control_(control) {}

protected:
  void paintEvent(QPaintEvent* event) override {
    QRect r = event->rect();
    control_->PaintWidget(this, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  }

private:
  TCustomControl* control_;
};

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() = default;

TCanvas& TCustomControl::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return *canvas_;
}

void TCustomControl::Invalidate() {
  if (Widget()) Widget()->update();
}

void TCustomControl::SetOpaque(bool on) {
  opaque_ = on;
  if (Widget()) Widget()->setAttribute(Qt::WA_OpaquePaintEvent, on);
}

QWidget* TCustomControl::CreateWidget(QWidget* parent_widget) {
  auto* widget = new TCustomControlWidget(this, parent_widget);
  widget->setAttribute(Qt::WA_OpaquePaintEvent, opaque_);
  return widget;
}

void TCustomControl::PaintWidget(QWidget* widget, const TRect& update) {
  update_rect_ = update;
  TCanvas& canvas = Canvas();
  // The canvas draws on the widget only while it repaints.
  TScopeExit release([&canvas] { canvas.SetDevice(nullptr); });
  try {
    canvas.SetDevice(widget);
    canvas.SetFont(Font());
    canvas.Brush().SetColor(Color());
    Paint();
  } catch (const std::exception& error) {
    // Nothing may pass through the platform's paint event: the error goes to the application's handler.
    if (Application()) Application()->HandleException(error);
  }
}
