#include "graphics/Bitmap.h"
#include "graphics/Canvas.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// A bitmap whose every pixel differs from its neighbours.
void PaintPattern(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) bitmap.Canvas().SetPixels(x, y, RGBColor(x * 20, y * 30, (x + y) * 7));
}

void ExpectSamePixels(const TBitmap& a, const TBitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      ASSERT_EQ(a.Image().pixel(x, y) | 0xFF000000u, b.Image().pixel(x, y) | 0xFF000000u) << x << "," << y;
}

TEST(BitmapStreams, RoundTripThroughBmpAndPng) {
  TBitmap original(7, 5);
  PaintPattern(original);
  struct Case {
    const char* name;
    std::string bytes;
    std::string signature;
  };
  const Case cases[] = {
      {"bmp", original.SaveToBytes(), "BM"},
      {"png", original.SaveToPngBytes(), "\x89PNG"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(k.bytes.substr(0, k.signature.size()), k.signature);
    TBitmap copy;
    copy.LoadFromBytes(k.bytes);
    ExpectSamePixels(original, copy);
    // And the copy can be drawn on like any bitmap.
    copy.Canvas().SetPixels(0, 0, clBlack);
    EXPECT_EQ(copy.Image().pixel(0, 0), 0xFF000000u);
  }
}

// PNG files of bitmaps as other programs read them: every pixel, the resolution, transparency where there is any.
TEST(BitmapStreams, PngFilesGiveOtherReadersThePixelsAndTheResolution) {
  struct Case {
    const char* name;
    int width, height;
    TPixelFormat format;
    bool noise;  // pixels that do not compress: the file's data spans several chunks
  };
  const Case cases[] = {
      {"one pixel", 1, 1, pfDevice, false},
      {"odd width", 7, 5, pfDevice, false},
      {"page-sized noise", 1200, 700, pfDevice, true},
      {"with transparency", 6, 4, pf32bit, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TBitmap bitmap(k.width, k.height);
    bitmap.SetPixelFormat(k.format);
    QImage pixels = bitmap.Image();
    std::uint32_t seed = 12345;
    for (int y = 0; y < k.height; ++y)
      for (int x = 0; x < k.width; ++x) {
        seed = seed * 1103515245u + 12345u;
        const QRgb pattern = k.noise ? (seed >> 8) : qRgb(x * 20, y * 30, (x + y) * 7);
        pixels.setPixel(x, y,
                        k.format == pf32bit ? qRgba(qRed(pattern), qGreen(pattern), qBlue(pattern), x * 40)
                                            : (pattern | 0xFF000000u));
      }
    pixels.setDotsPerMeterX(3780);
    pixels.setDotsPerMeterY(2835);
    bitmap.SetImage(pixels);
    const std::string png = bitmap.SaveToPngBytes();
    QImage read;
    ASSERT_TRUE(read.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG"));
    ASSERT_EQ(read.size(), pixels.size());
    EXPECT_EQ(read.hasAlphaChannel(), k.format == pf32bit);
    EXPECT_EQ(read.dotsPerMeterX(), 3780);
    EXPECT_EQ(read.dotsPerMeterY(), 2835);
    const QImage expected = pixels.convertToFormat(QImage::Format_ARGB32);
    const QImage actual = read.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < k.height; ++y)
      ASSERT_EQ(std::memcmp(expected.constScanLine(y), actual.constScanLine(y), 4 * static_cast<std::size_t>(k.width)),
                0)
          << "row " << y;
  }
}

TEST(BitmapStreams, BmpReadStopsAtItsOwnEnd) {
  TBitmap original(3, 2);
  PaintPattern(original);
  std::stringstream stream;
  original.SaveToStream(stream);
  stream << "after";
  TBitmap copy;
  copy.LoadFromStream(stream);
  ExpectSamePixels(original, copy);
  std::string rest;
  stream >> rest;
  EXPECT_EQ(rest, "after");
}

TEST(BitmapStreams, ResizingKeepsPixelsAndPaintsNewOnesWhite) {
  TBitmap bitmap(2, 2);
  bitmap.Canvas().SetPixels(1, 1, clRed);
  bitmap.SetSize(4, 3);
  EXPECT_EQ(bitmap.Image().pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(bitmap.Image().pixel(3, 2), 0xFFFFFFFFu);
  // The canvas follows the new pixels.
  bitmap.Canvas().SetPixels(3, 2, clBlack);
  EXPECT_EQ(bitmap.Image().pixel(3, 2), 0xFF000000u);
  bitmap.SetWidth(0);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(PictureLoading, RecognisesTheFormatFromTheData) {
  TBitmap source(4, 3);
  PaintPattern(source);
  QImage image = source.Image();
  auto encode = [&](const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  };
  struct Case {
    const char* format;
    bool icon;
  };
  for (Case k : {Case{"BMP", false}, Case{"PNG", false}, Case{"JPEG", false}, Case{"ICO", true}}) {
    SCOPED_TRACE(k.format);
    TPicture picture;
    picture.LoadFromBytes(encode(k.format));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(dynamic_cast<TIcon*>(picture.Graphic()) != nullptr, k.icon);
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 3);
  }
}

TEST(PictureLoading, RefusesGarbageAndDamagedDataAndKeepsWhatItHad) {
  TBitmap good(3, 3);
  PaintPattern(good);
  std::string png = good.SaveToPngBytes();
  std::string bmp = good.SaveToBytes();
  std::string huge_bmp = bmp;
  huge_bmp[2] = huge_bmp[3] = huge_bmp[4] = huge_bmp[5] = '\xFF';  // claims 4 GB
  huge_bmp.resize(40);
  struct Case {
    const char* name;
    std::string data;
    const char* message;
  };
  const Case cases[] = {
      {"garbage", "this is not a picture at all", "Unknown picture format"},
      {"empty", "", "Unknown picture format"},
      {"truncated png", png.substr(0, png.size() / 2), "Damaged png picture"},
      {"truncated bmp claiming 4 GB", huge_bmp, "Damaged bmp picture"},
      {"png signature only", png.substr(0, 8), "Damaged png picture"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TPicture picture;
    picture.LoadFromBytes(png);
    try {
      picture.LoadFromBytes(k.data);
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& error) {
      EXPECT_EQ(error.Message().rfind(k.message, 0), 0u) << error.Message();
    }
    EXPECT_EQ(picture.Width(), 3);
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromBytes(k.data), EInvalidGraphic);
  }
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile("/nonexistent/picture.bmp"), EInvalidGraphic);
}

TEST(IconStreams, RoundTripThroughIco) {
  TBitmap source(16, 16);
  PaintPattern(source);
  TIcon icon;
  icon.Assign(source);
  std::string bytes = icon.SaveToBytes();
  EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\1\0", 4));
  TIcon copy;
  copy.LoadFromBytes(bytes);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.ToImage().pixel(5, 7) | 0xFF000000u, source.Image().pixel(5, 7));
}

TEST(TextMeasures, CachedPerFontAndFollowingTheCanvasFont) {
  TCanvas canvas;
  canvas.Font().SetName("Verdana");
  canvas.Font().SetHeight(-13);
  const std::string text = "Clientes por cidade";
  int first = canvas.TextWidth(text);
  EXPECT_GT(first, 0);
  EXPECT_EQ(canvas.TextWidth(text), first);
  EXPECT_EQ(canvas.TextWidth(""), 0);
  EXPECT_EQ(canvas.TextExtent(text), (TSize{first, canvas.TextHeight(text)}));

  // Another canvas with an equal font shares the measures.
  TCanvas other;
  other.SetFont(canvas.Font());
  EXPECT_EQ(other.TextWidth(text), first);

  int height = canvas.TextHeight(text);
  canvas.Font().SetStyle({fsBold});
  EXPECT_GT(canvas.TextWidth(text), first);
  canvas.Font().SetStyle({});
  canvas.Font().SetHeight(-26);
  EXPECT_GT(canvas.TextWidth(text), first * 3 / 2);
  EXPECT_GT(canvas.TextHeight(text), height * 3 / 2);
  canvas.Font().SetHeight(-13);
  EXPECT_EQ(canvas.TextWidth(text), first);
  // The text height is the cell's, whatever the text.
  EXPECT_EQ(canvas.TextHeight("."), height);
}

TEST(TextMeasures, SameAnswersFromSeveralThreads) {
  TCanvas reference;
  reference.Font().SetHeight(-17);
  std::vector<std::string> texts;
  for (int i = 0; i < 200; ++i) texts.push_back("linha " + std::to_string(i * 7919));
  std::vector<int> expected;
  for (const auto& t : texts) expected.push_back(reference.TextWidth(t));
  reference.Font().SetHeight(-18);  // so the threads measure some texts for the first time
  std::vector<std::vector<int>> got(2);
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      TCanvas canvas;
      canvas.Font().SetHeight(-17);
      for (const auto& text : texts) got[t].push_back(canvas.TextWidth(text));
      canvas.Font().SetHeight(-18);
      for (const auto& text : texts) canvas.TextWidth(text);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(got[0], expected);
  EXPECT_EQ(got[1], expected);
}

TEST(CanvasDevices, PrinterResolutionFontsAndTextThatStaysText) {
  TempFolder dir;
  const auto path = dir.path() / "canvas.pdf";
  {
    QPdfWriter writer(QString::fromStdString(path.string()));
    writer.setResolution(600);
    TCanvas canvas(&writer);
    EXPECT_EQ(canvas.Font().PixelsPerInch(), 600);
    canvas.Font().SetSize(10);
    EXPECT_EQ(canvas.Font().Height(), -83);
    canvas.TextOut(600, 600, "Clientes por cidade");
    canvas.Rectangle(500, 500, 3000, 800);

    // A 96-dpi page drawn with a logical scale: fonts keep the screen resolution.
    TCanvas scaled(&writer, 600.0 / 96.0);
    EXPECT_EQ(scaled.Font().PixelsPerInch(), 96);
  }
  std::ifstream file(path, std::ios::binary);
  std::string pdf((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
  // Text drawn as text carries an embedded font with a map back to the characters.
  EXPECT_NE(pdf.find("/FontFile"), std::string::npos);
  EXPECT_NE(pdf.find("/ToUnicode"), std::string::npos);
}

}  // namespace
