#include "graphics/PngWriter.h"

#include "graphics/Bitmap.h"

#include <libdeflate.h>
#include <QImage>

#include <cstdint>
#include <memory>

namespace {

void PutBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char (&type)[5], std::string_view data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typed = out.size();
  out.append(type, 4);
  out.append(data);
  PutBigEndian(out, libdeflate_crc32(0, out.data() + typed, out.size() - typed));
}

struct TFreeCompressor {
  void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

}  // namespace

std::string EncodeOpaquePng(const QImage& image, int level) {
  const auto width = static_cast<std::size_t>(image.width());
  const auto height = static_cast<std::size_t>(image.height());
  // Each row: its filter type (0, none) and the red, green and blue bytes of each pixel.
  const std::size_t rowBytes = 1 + 3 * width;
  // Every byte of both buffers is written before it is read: they are left unset rather than cleared first.
  const std::size_t rowsSize = rowBytes * height;
  const std::unique_ptr<char[]> rows(new char[rowsSize]);
  for (std::size_t y = 0; y < height; ++y) {
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
    char* out = rows.get() + y * rowBytes;
    *out++ = 0;
    for (std::size_t x = 0; x < width; ++x) {
      *out++ = static_cast<char>(qRed(pixels[x]));
      *out++ = static_cast<char>(qGreen(pixels[x]));
      *out++ = static_cast<char>(qBlue(pixels[x]));
    }
  }
  // A compressor holds its tables; a thread that encodes keeps one per level it was asked for last.
  thread_local std::unique_ptr<libdeflate_compressor, TFreeCompressor> compressor;
  thread_local int compressorLevel = 0;
  if (!compressor || compressorLevel != level) {
    compressor.reset(libdeflate_alloc_compressor(level));
    compressorLevel = level;
  }
  if (!compressor) throw EInvalidGraphic("Cannot write the picture: out of memory");
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rowsSize);
  const std::unique_ptr<char[]> deflatedBytes(new char[bound]);
  const std::size_t deflatedSize =
      libdeflate_zlib_compress(compressor.get(), rows.get(), rowsSize, deflatedBytes.get(), bound);
  if (deflatedSize == 0) throw EInvalidGraphic("Cannot write the picture: the image does not compress");
  const std::string_view deflated(deflatedBytes.get(), deflatedSize);

  std::string png("\x89PNG\r\n\x1a\n", 8);
  png.reserve(deflatedSize + 128);
  std::string header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits a sample, RGB, deflate, no filter method, no interlace
  PutChunk(png, "IHDR", header);
  if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
    std::string resolution;
    PutBigEndian(resolution, static_cast<std::uint32_t>(image.dotsPerMeterX()));
    PutBigEndian(resolution, static_cast<std::uint32_t>(image.dotsPerMeterY()));
    resolution.push_back('\x01');  // per metre
    PutChunk(png, "pHYs", resolution);
  }
  // Chunks of a bounded length, so that no length comes near the format's 2^31 limit.
  constexpr std::size_t kChunk = 1 << 20;
  for (std::size_t at = 0; at < deflated.size(); at += kChunk) PutChunk(png, "IDAT", deflated.substr(at, kChunk));
  PutChunk(png, "IEND", {});
  return png;
}
