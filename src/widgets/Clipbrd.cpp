#include "widgets/Clipbrd.h"

#include "graphics/Bitmap.h"
#include "widgets/QtBridge.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace {

QClipboard* Board() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    throw EInvalidOperation("The clipboard needs the application object");
  }
  return QGuiApplication::clipboard();
}

}  // namespace

void TClipboard::Assign(const TBitmap& bitmap) { Board()->setImage(bitmap.Image()); }

bool TClipboard::HasPicture() const { return !Board()->image().isNull(); }

std::unique_ptr<TBitmap> TClipboard::Bitmap() const {
  QImage image = Board()->image();
  if (image.isNull()) return nullptr;
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

void TClipboard::SetText(const std::string& text) { Board()->setText(ToQString(text)); }

std::string TClipboard::Text() const { return FromQString(Board()->text()); }

void TClipboard::Clear() { Board()->clear(); }

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}
