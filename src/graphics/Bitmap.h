#pragma once

#include "core/Exceptions.h"
#include "graphics/Canvas.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

class QImage;

// Raised for picture data that is not in a known format or that cannot be decoded.
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};

// A picture that can draw itself on a canvas and travel as bytes.
class TGraphic : public TPersistent {
public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }

  // Reads the picture from the stream's current position; raises EInvalidGraphic for data it cannot decode.
  virtual void LoadFromStream(std::istream& stream) = 0;
  virtual void SaveToStream(std::ostream& stream) const = 0;
  void LoadFromBytes(std::string_view bytes);
  std::string SaveToBytes() const;
  void LoadFromFile(const std::string& file_name);
  void SaveToFile(const std::string& file_name) const;

  // The picture's pixels with alpha, for drawing (an empty image when the picture is empty).
  virtual QImage ToImage() const = 0;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// An image in memory with a canvas to draw on it. Streams hold a BMP file; LoadFromStream also reads PNG and JPEG.
class TBitmap : public TGraphic {
public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const override;
  int Height() const override;
  // Resizing keeps the pixels that remain inside and paints new ones white.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return pixel_format_; }
  void SetPixelFormat(TPixelFormat format);

  // A transparent bitmap leaves the pixels of TransparentColor out when drawn; clDefault means the colour of the
  // bottom-left pixel.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color) { transparent_color_ = color; }

  TCanvas& Canvas();

  void LoadFromStream(std::istream& stream) override;
  // Writes a BMP file.
  void SaveToStream(std::ostream& stream) const override;
  // Writes a PNG file.
  void SaveToPngStream(std::ostream& stream) const;
  std::string SaveToPngBytes() const;

  void Assign(const TPersistent& source) override;
  QImage ToImage() const override;
  // The pixels as they stand, drawing finished (an RGB32 image; ARGB32 for pf32bit).
  const QImage& Image() const;
  void SetImage(const QImage& image);

private:
  void Reallocate(int width, int height);

  std::unique_ptr<QImage> image_;
  std::unique_ptr<TCanvas> canvas_;
  TPixelFormat pixel_format_ = pfDevice;
  bool transparent_ = false;
  TColor transparent_color_ = clDefault;
};

// An icon: an image with transparency. Streams hold an ICO file; LoadFromStream also reads PNG and BMP.
class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;

  int Width() const override;
  int Height() const override;

  void LoadFromStream(std::istream& stream) override;
  void SaveToStream(std::ostream& stream) const override;

  void Assign(const TPersistent& source) override;
  QImage ToImage() const override;

private:
  std::unique_ptr<QImage> image_;
};

// Holds one graphic of whichever kind its data turns out to be: ICO data gives an icon, BMP, PNG and JPEG data a
// bitmap.
class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Takes a copy of the graphic (null empties the picture).
  void SetGraphic(const TGraphic* graphic);
  // The bitmap, replacing any other kind of graphic by an empty bitmap.
  TBitmap& Bitmap();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Recognises the format by the data's signature; raises EInvalidGraphic for an unknown or damaged one, and
  // then keeps the previous graphic.
  void LoadFromStream(std::istream& stream);
  void LoadFromBytes(std::string_view bytes);
  void LoadFromFile(const std::string& file_name);

  void Assign(const TPersistent& source) override;

private:
  std::unique_ptr<TGraphic> graphic_;
};
