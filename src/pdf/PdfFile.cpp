#include "pdf/PdfFile.h"

#include "core/Exceptions.h"

#include <libdeflate.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr std::size_t kWriteBlock = 1 << 18;
// Page content is mostly the same few operators over and over; the fastest level keeps most of the gain.
constexpr int kDeflateLevel = 1;

}  // namespace

char* WritePdfNumber(char* out, double value) {
  if (!std::isfinite(value) || std::abs(value) < 1e-9) value = 0;
  char* const end = out + kPdfNumberRoom;
  // Most numbers of a page are whole: written the short way.
  if (std::abs(value) < 1e9 && value == std::trunc(value))
    return std::to_chars(out, end, static_cast<long long>(value)).ptr;
  // Most others have a few decimals (halves, quarters of a pixel). Below a million there is one such number for a
  // value, which is then its shortest form: written from the whole thousandths, without the trailing zeros.
  if (std::abs(value) < 1e6) {
    const double thousandths = std::round(value * 1000);
    if (thousandths / 1000 == value) {
      const auto whole = static_cast<long long>(std::abs(thousandths));
      if (value < 0) *out++ = '-';
      out = std::to_chars(out, end, whole / 1000).ptr;
      *out++ = '.';
      for (long long fraction = whole % 1000, place = 100; fraction != 0; fraction %= place, place /= 10)
        *out++ = static_cast<char>('0' + fraction / place);
      return out;
    }
  }
  const auto [written, error] = std::to_chars(out, end, value, std::chars_format::fixed);
  // Beyond what a page can hold: the largest number readers take.
  if (error != std::errc()) return std::to_chars(out, end, value < 0 ? -32767 : 32767).ptr;
  return written;
}

void AppendPdfNumber(std::string& out, double value) {
  char buffer[kPdfNumberRoom];
  out.append(buffer, static_cast<std::size_t>(WritePdfNumber(buffer, value) - buffer));
}

void AppendPdfName(std::string& out, std::string_view name) {
  out += '/';
  for (unsigned char c : name) {
    if (c > 32 && c < 127 && std::string_view("()<>[]{}/%#").find(static_cast<char>(c)) == std::string_view::npos) {
      out += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "#%02X", c);
      out += escaped;
    }
  }
}

TPdfFile::TPdfFile(TSafeFile& file) : file_(file) {
  // The second line's high bytes tell transfer programs that the file is binary.
  Put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

int TPdfFile::Reserve() {
  offsets_.push_back(0);
  return static_cast<int>(offsets_.size());
}

void TPdfFile::WriteObject(int number, std::string_view body) {
  offsets_[static_cast<std::size_t>(number - 1)] = offset_;
  Put(std::to_string(number));
  Put(" 0 obj\n");
  Put(body);
  Put("\nendobj\n");
}

std::string TPdfFile::Deflate(std::string_view data) {
  // A compressor holds its tables; each thread that deflates keeps one.
  struct TFree {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
  };
  thread_local const std::unique_ptr<libdeflate_compressor, TFree> compressor(
      libdeflate_alloc_compressor(kDeflateLevel));
  if (!compressor) throw EFileWriteError("Cannot compress a PDF stream: out of memory");
  std::string deflated(libdeflate_zlib_compress_bound(compressor.get(), data.size()), '\0');
  const std::size_t size =
      libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), deflated.data(), deflated.size());
  if (size == 0) throw EFileWriteError("Cannot compress a PDF stream");
  deflated.resize(size);
  return deflated;
}

void TPdfFile::WriteStream(int number, std::string_view entries, std::string_view data) {
  WriteDeflatedStream(number, entries, Deflate(data));
}

void TPdfFile::WriteDeflatedStream(int number, std::string_view entries, std::string_view deflated) {
  offsets_[static_cast<std::size_t>(number - 1)] = offset_;
  Put(std::to_string(number));
  Put(" 0 obj\n<<");
  Put(entries);
  Put(" /Filter /FlateDecode /Length ");
  Put(std::to_string(deflated.size()));
  Put(">>\nstream\n");
  Put(deflated);
  Put("\nendstream\nendobj\n");
}

void TPdfFile::Finish(int catalog, int info) {
  const std::size_t xref = offset_;
  std::string table = "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
  char entry[24];
  for (std::size_t offset : offsets_) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    table += entry;
  }
  table += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " + std::to_string(catalog) +
           " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  Put(table);
  Flush();
}

void TPdfFile::Put(std::string_view bytes) {
  pending_.append(bytes);
  offset_ += bytes.size();
  if (pending_.size() >= kWriteBlock) Flush();
}

void TPdfFile::Flush() {
  file_.Write(pending_);
  pending_.clear();
}
