#include "pdf/PdfFonts.h"

#include "core/SafeFile.h"
#include "pdf/PdfFile.h"
#include "pdf/PdfFontSubset.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <vector>

struct TPdfFonts::TFace : TFont {
  std::unique_ptr<TPdfFontSubset> subset;
};

namespace {

// Six capitals that tell this subset of the face from others of it.
std::string SubsetTag(const std::string& name, const std::set<unsigned>& glyphs) {
  std::size_t hash = std::hash<std::string>{}(name);
  for (unsigned g : glyphs) hash = hash * 1000003u ^ g;
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag += static_cast<char>('A' + hash % 26);
  return tag;
}

void AppendHex16(std::string& out, unsigned value) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "<%04X>", value & 0xFFFF);
  out += hex;
}

// A character as the UTF-16 of a ToUnicode map: one unit, or the two of a pair beyond the basic plane.
void AppendUtf16(std::string& out, unsigned character) {
  if (character < 0x10000) return AppendHex16(out, character);
  character -= 0x10000;
  char hex[16];
  std::snprintf(hex, sizeof hex, "<%04X%04X>", 0xD800 + (character >> 10), 0xDC00 + (character & 0x3FF));
  out += hex;
}

// The widths of the glyphs drawn, in runs of consecutive glyphs: "first [width width ...]".
std::string Widths(const TPdfFontSubset& subset) {
  std::string widths;
  unsigned next = ~0u;
  for (unsigned glyph : subset.Glyphs()) {
    if (glyph != next) widths += (next == ~0u ? "" : "] ") + std::to_string(glyph) + " [";
    else widths += ' ';
    widths += std::to_string(subset.Width(glyph));
    next = glyph + 1;
  }
  return widths + ']';
}

std::string ToUnicodeMap(const std::map<unsigned, unsigned>& characters) {
  std::string map =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  const std::vector<std::pair<unsigned, unsigned>> entries(characters.begin(), characters.end());
  for (std::size_t at = 0; at < entries.size(); at += 100) {
    const std::size_t block = std::min<std::size_t>(100, entries.size() - at);
    map += std::to_string(block) + " beginbfchar\n";
    for (std::size_t i = at; i < at + block; ++i) {
      AppendHex16(map, entries[i].first);
      map += ' ';
      AppendUtf16(map, entries[i].second);
      map += '\n';
    }
    map += "endbfchar\n";
  }
  map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return map;
}

}  // namespace

TPdfFonts::TPdfFonts() = default;
TPdfFonts::~TPdfFonts() = default;

TPdfFonts::TFont* TPdfFonts::For(const QRawFont& font) {
  if (!font.isValid()) return nullptr;
  const QByteArray head = font.fontTable("head");
  if (head.isEmpty() || font.fontTable("glyf").isEmpty()) return nullptr;
  const std::string key = font.familyName().toStdString() + '\n' + font.styleName().toStdString() + '\n' +
                          std::string(head.constData(), static_cast<std::size_t>(head.size()));
  std::lock_guard lock(mutex_);
  std::unique_ptr<TFace>& face = faces_[key];
  if (!face) {
    face = std::make_unique<TFace>();
    try {
      face->subset = std::make_unique<TPdfFontSubset>(font);
    } catch (const EFileWriteError&) {
      // Left without a subset: not embedded.
    }
  }
  return face->subset ? face.get() : nullptr;
}

int TPdfFonts::Number(TFont* font) {
  std::lock_guard lock(mutex_);
  if (font->number == 0) font->number = ++numbered_;
  return font->number;
}

void TPdfFonts::Add(TFont* font, unsigned glyph) {
  std::lock_guard lock(mutex_);
  static_cast<TFace*>(font)->subset->Add(glyph);
}

std::string TPdfFonts::Write(TPdfFile& file) {
  std::lock_guard lock(mutex_);
  std::string resources;
  for (const auto& [key, face] : faces_) {
    // A face no page named (its page left unwritten) is not embedded.
    if (!face->subset || face->number == 0) continue;
    const TPdfFontSubset& subset = *face->subset;
    const std::string data = subset.FontFile();
    const int font_file = file.Reserve();
    file.WriteStream(font_file, "/Length1 " + std::to_string(data.size()), data);
    std::string name = subset.PostScriptName();
    if (name.empty()) name = "Font" + std::to_string(face->number);
    const int to_unicode = file.Reserve();
    file.WriteStream(to_unicode, "", ToUnicodeMap(subset.Characters()));

    // In thousandths of the em.
    const double per_unit = 1000.0 / subset.UnitsPerEm();
    std::string descriptor = "<< /Type /FontDescriptor /FontName ";
    AppendPdfName(descriptor, SubsetTag(name, subset.Glyphs()) + '+' + name);
    descriptor += " /Flags 4 /FontBBox [";
    for (int i = 0; i < 4; ++i) {
      descriptor += ' ';
      AppendPdfNumber(descriptor, subset.Box()[i] * per_unit);
    }
    descriptor += "] /ItalicAngle 0 /Ascent ";
    AppendPdfNumber(descriptor, subset.Ascent() * per_unit);
    descriptor += " /Descent ";
    AppendPdfNumber(descriptor, subset.Descent() * per_unit);
    descriptor += " /CapHeight ";
    AppendPdfNumber(descriptor, subset.Ascent() * per_unit);
    descriptor += " /StemV 80 /FontFile2 " + std::to_string(font_file) + " 0 R >>";
    const int descriptor_object = file.Reserve();
    file.WriteObject(descriptor_object, descriptor);

    std::string cid = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont ";
    AppendPdfName(cid, name);
    cid += " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
           std::to_string(descriptor_object) + " 0 R /W [" + Widths(subset) + "] /CIDToGIDMap /Identity >>";
    const int cid_object = file.Reserve();
    file.WriteObject(cid_object, cid);
    std::string type0 = "<< /Type /Font /Subtype /Type0 /BaseFont ";
    AppendPdfName(type0, name);
    type0 += " /Encoding /Identity-H /DescendantFonts [" + std::to_string(cid_object) + " 0 R] /ToUnicode " +
             std::to_string(to_unicode) + " 0 R >>";
    const int type0_object = file.Reserve();
    file.WriteObject(type0_object, type0);
    resources += "/F" + std::to_string(face->number) + ' ' + std::to_string(type0_object) + " 0 R ";
  }
  return resources;
}
