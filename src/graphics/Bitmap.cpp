#include "graphics/Bitmap.h"

#include "core/SafeFile.h"
#include "core/Translation.h"
#include "graphics/PngWriter.h"
#include "graphics/QtGraphics.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <cstring>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace {

// The fastest level: a page of text deflated at it takes about a fifth more room than at the default.
constexpr int kPngDeflateLevel = 1;

enum class Kind { Unknown, Bmp, Png, Jpeg, Ico };

Kind KindOf(std::string_view data) {
  auto starts = [&](std::string_view signature) { return data.substr(0, signature.size()) == signature; };
  if (starts("BM")) return Kind::Bmp;
  if (starts("\x89PNG\r\n\x1a\n")) return Kind::Png;
  if (starts("\xFF\xD8\xFF")) return Kind::Jpeg;
  if (starts(std::string_view("\0\0\1\0", 4))) return Kind::Ico;
  return Kind::Unknown;
}

const char* FormatName(Kind kind) {
  switch (kind) {
    case Kind::Bmp: return "bmp";
    case Kind::Png: return "png";
    case Kind::Jpeg: return "jpeg";
    case Kind::Ico: return "ico";
    case Kind::Unknown: break;
  }
  return "";
}

// Reads one picture file from the stream. A BMP file says how long it is, so a BMP is read up to its end and
// whatever follows stays in the stream; other formats take the rest of the stream.
std::string ReadPicture(std::istream& stream) {
  std::string data(14, '\0');
  stream.read(data.data(), 14);
  data.resize(static_cast<std::size_t>(stream.gcount()));
  if (data.size() == 14 && KindOf(data) == Kind::Bmp) {
    std::uint32_t size = static_cast<unsigned char>(data[2]) | static_cast<unsigned char>(data[3]) << 8 |
                         static_cast<unsigned char>(data[4]) << 16 |
                         static_cast<std::uint32_t>(static_cast<unsigned char>(data[5])) << 24;
    if (size > 14) {
      // Read in pieces, so that a header claiming a huge size costs no more than the data that is really there.
      constexpr std::size_t kPiece = 1 << 16;
      std::size_t wanted = size - 14;
      while (wanted > 0 && stream) {
        std::size_t piece = std::min(wanted, kPiece);
        std::size_t at = data.size();
        data.resize(at + piece);
        stream.read(data.data() + at, static_cast<std::streamsize>(piece));
        data.resize(at + static_cast<std::size_t>(stream.gcount()));
        wanted -= piece;
      }
      if (stream.eof()) stream.clear(std::ios::eofbit);
      return data;
    }
  }
  data.append(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  return data;
}

// Decodes BMP, PNG, JPEG or ICO data; raises EInvalidGraphic for anything else or for damaged data.
QImage Decode(std::string_view data, std::initializer_list<Kind> accepted) {
  Kind kind = KindOf(data);
  if (kind == Kind::Unknown || std::find(accepted.begin(), accepted.end(), kind) == accepted.end()) {
    throw EInvalidGraphic(Translate("graphics", "Unknown picture format"));
  }
  QByteArray bytes = QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, FormatName(kind));
  reader.setDecideFormatFromContent(false);
  QImage image = reader.read();
  if (image.isNull()) {
    throw EInvalidGraphic(Format("Damaged %s picture: %s", {FormatName(kind), FromQString(reader.errorString())}));
  }
  return image;
}

std::string Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image))
    throw EInvalidGraphic(
        Format(Translate("graphics", "Cannot write the picture: %s"), {FromQString(writer.errorString())}));
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void PutLE(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An ICO file of one 32-bit image with its mask, every byte written here: Qt's writer leaves the padding of the
// mask's rows as whatever its buffer held, and those bytes would reach pages and report files.
std::string EncodeIcon(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const auto width = static_cast<std::uint32_t>(image.width());
  const auto height = static_cast<std::uint32_t>(image.height());
  const std::uint32_t mask_row = (width + 31) / 32 * 4;
  const std::uint32_t pixels_size = width * height * 4 + mask_row * height;
  constexpr std::uint32_t kHeaderSize = 40, kDataOffset = 6 + 16;
  std::string out;
  out.reserve(kDataOffset + kHeaderSize + pixels_size);
  PutLE(out, 0, 2);  // directory: reserved, type 1 (icon), one image
  PutLE(out, 1, 2);
  PutLE(out, 1, 2);
  out.push_back(static_cast<char>(width >= 256 ? 0 : width));  // 0 stands for 256 (and more)
  out.push_back(static_cast<char>(height >= 256 ? 0 : height));
  PutLE(out, 0, 2);  // no palette, reserved
  PutLE(out, 1, 2);  // planes
  PutLE(out, 32, 2);
  PutLE(out, kHeaderSize + pixels_size, 4);
  PutLE(out, kDataOffset, 4);
  PutLE(out, kHeaderSize, 4);  // bitmap header; the height counts the colour rows and the mask rows
  PutLE(out, width, 4);
  PutLE(out, height * 2, 4);
  PutLE(out, 1, 2);
  PutLE(out, 32, 2);
  for (int i = 0; i < 6; ++i) PutLE(out, i == 1 ? pixels_size : 0, 4);  // compression, size, resolution, colours
  for (int y = image.height() - 1; y >= 0; --y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      out.push_back(static_cast<char>(qBlue(line[x])));
      out.push_back(static_cast<char>(qGreen(line[x])));
      out.push_back(static_cast<char>(qRed(line[x])));
      out.push_back(static_cast<char>(qAlpha(line[x])));
    }
  }
  for (int y = image.height() - 1; y >= 0; --y) {  // the mask: a set bit leaves the pixel out
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::string row(mask_row, '\0');
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) == 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    }
    out += row;
  }
  return out;
}

TPixelFormat PixelFormatOf(const QImage& image) {
  switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return pf1bit;
    case QImage::Format_Indexed8: return image.colorCount() <= 16 ? pf4bit : pf8bit;
    case QImage::Format_RGB555: return pf15bit;
    case QImage::Format_RGB16: return pf16bit;
    default: return image.hasAlphaChannel() ? pf32bit : pf24bit;
  }
}

QImage::Format StorageFormat(TPixelFormat format) {
  return format == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

}  // namespace

// --- TGraphic

void TGraphic::LoadFromBytes(std::string_view bytes) {
  std::istringstream stream{std::string(bytes)};
  LoadFromStream(stream);
}

std::string TGraphic::SaveToBytes() const {
  std::ostringstream stream;
  SaveToStream(stream);
  return std::move(stream).str();
}

void TGraphic::LoadFromFile(const std::string& file_name) {
  std::ifstream file(file_name, std::ios::binary);
  if (!file) throw EInvalidGraphic(Format(Translate("graphics", "Cannot open file \"%s\""), {file_name}));
  LoadFromStream(file);
}

void TGraphic::SaveToFile(const std::string& file_name) const {
  std::string bytes = SaveToBytes();
  try {
    TSafeFile file(file_name);
    file.Write(bytes);
    file.Commit();
  } catch (const EFileWriteError& error) {
    throw EInvalidGraphic(error.Message());
  }
}

// --- TBitmap

TBitmap::TBitmap() : image_(std::make_unique<QImage>()) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() {
  // The canvas paints on the image: it goes first.
  canvas_.reset();
}

int TBitmap::Width() const { return image_->width(); }
int TBitmap::Height() const { return image_->height(); }

void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == Width() && height == Height()) return;
  Reallocate(width, height);
}

void TBitmap::Reallocate(int width, int height) {
  if (canvas_) canvas_->EndPaint();
  QImage image;
  if (width > 0 && height > 0) {
    image = QImage(width, height, StorageFormat(pixel_format_));
    if (image.isNull())
      throw EInvalidGraphic(
          Format(Translate("graphics", "Not enough memory for a bitmap of %d x %d"), {width, height}));
    image.fill(Qt::white);
    if (!image_->isNull()) {
      QImage old = image_->convertToFormat(image.format());
      int rows = std::min(height, old.height());
      auto bytes = static_cast<std::size_t>(std::min(width, old.width())) * 4;
      for (int y = 0; y < rows; ++y) std::memcpy(image.scanLine(y), old.constScanLine(y), bytes);
    }
  }
  SetImage(image);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pixel_format_) return;
  pixel_format_ = format;
  if (!image_->isNull() && image_->format() != StorageFormat(format)) {
    if (canvas_) canvas_->EndPaint();
    SetImage(image_->convertToFormat(StorageFormat(format)));
  }
}

TColor TBitmap::TransparentColor() const {
  if (transparent_color_ != clDefault) return transparent_color_;
  if (image_->isNull()) return clDefault;
  QRgb corner = Image().pixel(0, Height() - 1);
  return RGBColor(qRed(corner), qGreen(corner), qBlue(corner));
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(image_.get());
  return *canvas_;
}

const QImage& TBitmap::Image() const {
  if (canvas_) canvas_->EndPaint();
  return *image_;
}

void TBitmap::SetImage(const QImage& image) {
  if (canvas_) canvas_->EndPaint();
  QImage::Format format = StorageFormat(pixel_format_);
  *image_ = image.format() == format ? image : image.convertToFormat(format);
  // Clipping and drawing state of the old pixels do not carry over; the drawing objects do.
  if (canvas_) canvas_->SetDevice(image_.get());
}

void TBitmap::LoadFromStream(std::istream& stream) {
  QImage image = Decode(ReadPicture(stream), {Kind::Bmp, Kind::Png, Kind::Jpeg});
  pixel_format_ = PixelFormatOf(image);
  SetImage(image);
}

void TBitmap::SaveToStream(std::ostream& stream) const {
  std::string bytes = Encode(Image(), "bmp");
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TBitmap::SaveToPngStream(std::ostream& stream) const {
  std::string bytes = SaveToPngBytes();
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TBitmap::SaveToPngBytes() const {
  // Opaque images, pages among them, take the fast writer; those with transparency keep Qt's.
  const QImage& image = Image();
  if (image.format() == QImage::Format_RGB32) return EncodeOpaquePng(image, kPngDeflateLevel);
  return Encode(image, "png");
}

void TBitmap::Assign(const TPersistent& source) {
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    if (bitmap == this) return;
    pixel_format_ = bitmap->pixel_format_;
    transparent_ = bitmap->transparent_;
    transparent_color_ = bitmap->transparent_color_;
    SetImage(bitmap->Image());
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    // Any other picture is drawn onto the bitmap, over white.
    QImage image(graphic->Width(), graphic->Height(), StorageFormat(pixel_format_));
    image.fill(Qt::white);
    if (!graphic->Empty()) {
      QPainter painter(&image);
      painter.drawImage(0, 0, graphic->ToImage());
    }
    SetImage(graphic->Empty() ? QImage() : image);
    return;
  }
  TGraphic::Assign(source);
}

QImage TBitmap::ToImage() const {
  const QImage& image = Image();
  if (!transparent_ || image.isNull()) return image;
  TColor key = ColorToRGB(TransparentColor());
  QImage masked = image.convertToFormat(QImage::Format_ARGB32);
  QRgb match = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x) {
      if ((line[x] | 0xFF000000u) == match) line[x] = 0;
    }
  }
  return masked;
}

// --- TIcon

TIcon::TIcon() : image_(std::make_unique<QImage>()) {}
TIcon::~TIcon() = default;

int TIcon::Width() const { return image_->width(); }
int TIcon::Height() const { return image_->height(); }

void TIcon::LoadFromStream(std::istream& stream) {
  *image_ = Decode(ReadPicture(stream), {Kind::Ico, Kind::Png, Kind::Bmp}).convertToFormat(QImage::Format_ARGB32);
}

void TIcon::SaveToStream(std::ostream& stream) const {
  if (image_->isNull()) throw EInvalidGraphic("Cannot save an empty icon");
  std::string bytes = EncodeIcon(*image_);
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TIcon::Assign(const TPersistent& source) {
  if (const auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    if (graphic == this) return;
    *image_ = graphic->ToImage().convertToFormat(QImage::Format_ARGB32);
    return;
  }
  TGraphic::Assign(source);
}

QImage TIcon::ToImage() const { return *image_; }

// --- TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (!graphic) {
    graphic_.reset();
    return;
  }
  if (graphic == graphic_.get()) return;
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TIcon*>(graphic)) copy = std::make_unique<TIcon>();
  else copy = std::make_unique<TBitmap>();
  copy->Assign(*graphic);
  graphic_ = std::move(copy);
}

TBitmap& TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) graphic_ = std::make_unique<TBitmap>();
  return static_cast<TBitmap&>(*graphic_);
}

void TPicture::LoadFromStream(std::istream& stream) {
  std::string data(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>{});
  LoadFromBytes(data);
}

void TPicture::LoadFromBytes(std::string_view bytes) {
  std::unique_ptr<TGraphic> graphic;
  if (KindOf(bytes) == Kind::Ico) graphic = std::make_unique<TIcon>();
  else graphic = std::make_unique<TBitmap>();
  graphic->LoadFromBytes(bytes);
  graphic_ = std::move(graphic);
}

void TPicture::LoadFromFile(const std::string& file_name) {
  std::ifstream file(file_name, std::ios::binary);
  if (!file) throw EInvalidGraphic(Format(Translate("graphics", "Cannot open file \"%s\""), {file_name}));
  LoadFromStream(file);
}

void TPicture::Assign(const TPersistent& source) {
  if (const auto* picture = dynamic_cast<const TPicture*>(&source)) {
    if (picture != this) SetGraphic(picture->Graphic());
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(&source)) return SetGraphic(graphic);
  TPersistent::Assign(source);
}
