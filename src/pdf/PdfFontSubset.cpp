#include "pdf/PdfFontSubset.h"

#include "core/SafeFile.h"

#include <QtEndian>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The tables a face is read from: its outlines, metrics, hinting programs and names.
const char* const kTables[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cvt ", "fpgm", "prep",
                               "cmap", "OS/2", "name", "post", "gasp", "hdmx", "VDMX", "kern"};

std::map<std::string, QByteArray> TablesOf(const QRawFont& font) {
  std::map<std::string, QByteArray> tables;
  for (const char* tag : kTables) tables[tag] = font.fontTable(tag);
  return tables;
}

// The tables a face needs to be embedded.
const char* const kNeeded[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf"};
// The em of every subset.
constexpr int kSubsetUnitsPerEm = 2048;

unsigned Read16(const QByteArray& table, int at) {
  if (at < 0 || table.size() < at + 2) return 0;
  return (static_cast<unsigned char>(table[at]) << 8) | static_cast<unsigned char>(table[at + 1]);
}
int ReadSigned16(const QByteArray& table, int at) { return static_cast<std::int16_t>(Read16(table, at)); }

void Put16(std::string& out, int value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, static_cast<int>(value >> 16));
  Put16(out, static_cast<int>(value & 0xFFFF));
}
void Set32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

// The sum of the data's big-endian words, the last padded with zeros. Whole words are read four bytes at a time:
// a face's file is a megabyte.
std::uint32_t Checksum(std::string_view data) {
  std::uint32_t sum = 0;
  std::size_t i = 0;
  for (; i + 4 <= data.size(); i += 4) sum += qFromBigEndian<quint32>(data.data() + i);
  if (i < data.size()) {
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4; ++k)
      word = (word << 8) | (i + k < data.size() ? static_cast<unsigned char>(data[i + k]) : 0u);
    sum += word;
  }
  return sum;
}

// A TrueType file of the tables given, in the order of their tags, each padded to four bytes; the head table's
// checksum adjustment made right.
std::string SfntFile(const std::map<std::string, std::string>& tables) {
  const int count = static_cast<int>(tables.size());
  int selector = 0;
  while ((2 << selector) <= count) ++selector;
  const int range = 16 << selector;
  std::string out;
  Put32(out, 0x10000);
  Put16(out, count);
  Put16(out, range);
  Put16(out, selector);
  Put16(out, count * 16 - range);
  std::size_t offset = 12 + 16 * tables.size();
  std::size_t head_at = 0;
  for (const auto& [tag, data] : tables) {
    out += tag;
    Put32(out, Checksum(data));
    Put32(out, static_cast<std::uint32_t>(offset));
    Put32(out, static_cast<std::uint32_t>(data.size()));
    if (tag == "head") head_at = offset;
    offset += (data.size() + 3) & ~std::size_t{3};
  }
  for (const auto& [tag, data] : tables) {
    out += data;
    out.append((4 - data.size() % 4) % 4, '\0');
  }
  if (tables.count("head") && tables.at("head").size() >= 12) Set32(out, head_at + 8, 0xB1B0AFBA - Checksum(out));
  return out;
}

// Rounded half away from zero, exactly: num / den with den > 0.
long long Round(long long num, long long den) {
  return num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
}
// Half, rounded down (an arithmetic shift).
long long FloorHalf(long long value) { return value >> 1; }

struct TPoint {
  long long x, y;
  bool operator==(const TPoint&) const = default;
};

// One element of a contour's path: a line to `end`, or a quadratic curve from `from` through `control`.
struct TElement {
  bool curve;
  TPoint from, control, end;
};

struct TPath {
  TPoint start;
  std::vector<TElement> elements;
};

// A contour decomposed as FreeType decomposes it, the segments that go nowhere left out.
TPath PathOf(const std::vector<TOutlinePoint>& contour) {
  TPath path;
  const TOutlinePoint& first = contour.front();
  const TOutlinePoint& last = contour.back();
  std::size_t from = 0, to = contour.size();
  if (first.on) {
    path.start = {first.x, first.y};
    from = 1;
  } else if (last.on) {
    path.start = {last.x, last.y};
    to = contour.size() - 1;
  } else {
    path.start = {(first.x + last.x) / 2, (first.y + last.y) / 2};
  }
  TPoint current = path.start;
  const auto line = [&](TPoint end) {
    if (end == current) return;
    path.elements.push_back({false, current, {}, end});
    current = end;
  };
  const auto curve = [&](TPoint control, TPoint end) {
    if (control == current && end == current) return;
    path.elements.push_back({true, current, control, end});
    current = end;
  };
  bool pending = false;
  TPoint control{};
  for (std::size_t i = from; i < to; ++i) {
    const TPoint p{contour[i].x, contour[i].y};
    if (contour[i].on) {
      if (pending) curve(control, p);
      else line(p);
      pending = false;
    } else {
      if (pending) curve(control, {(control.x + p.x) / 2, (control.y + p.y) / 2});
      control = p;
      pending = true;
    }
  }
  if (pending) curve(control, path.start);
  else line(path.start);
  return path;
}

}  // namespace

std::vector<std::vector<TEncodedPoint>> ReencodeOutline(const TOutline& outline, long long den) {
  std::vector<TPath> paths;
  for (const auto& contour : outline) {
    if (contour.empty()) continue;
    TPath path = PathOf(contour);
    if (!path.elements.empty()) paths.push_back(std::move(path));
  }
  // Qt's writer turns each quadratic curve into a cubic one of whole units, and back into a quadratic one on the
  // way out: the control point is the rounded-down mean of what each cubic control gives back.
  const auto third = [&](long long a, long long b) { return Round(a + 2 * b, 3 * den); };  // a + 2/3 (b - a)
  const auto off = [&](long long p0, long long c, long long p2) {
    const long long q1 = FloorHalf(3 * third(p0, c) - Round(p0, den));
    const long long q2 = FloorHalf(3 * third(p2, c) - Round(p2, den));
    return FloorHalf(q1 + q2);
  };
  std::vector<std::vector<TEncodedPoint>> out;
  const std::size_t n = paths.size();
  for (std::size_t ci = 0; ci < n; ++ci) {
    const TPath& path = paths[ci];
    std::vector<TEncodedPoint> points;
    points.push_back({static_cast<int>(Round(path.start.x, den)), static_cast<int>(Round(path.start.y, den)), true});
    for (std::size_t k = 0; k < path.elements.size(); ++k) {
      const TElement& e = path.elements[k];
      const TEncodedPoint end{static_cast<int>(Round(e.end.x, den)), static_cast<int>(Round(e.end.y, den)), true};
      if (!e.curve) {
        points.push_back(end);
        continue;
      }
      const long long ax = off(e.from.x, e.control.x, e.end.x), ay = off(e.from.y, e.control.y, e.end.y);
      points.push_back({static_cast<int>(ax), static_cast<int>(ay), false});
      // An on-curve point between two curves stays implied when it lies near enough the middle of its controls.
      if (k + 1 < path.elements.size() && path.elements[k + 1].curve) {
        const TElement& next = path.elements[k + 1];
        const long long nx = third(next.from.x, next.control.x), ny = third(next.from.y, next.control.y);
        if (std::abs(end.x - FloorHalf(ax + nx)) <= 3 && std::abs(end.y - FloorHalf(ay + ny)) <= 3) continue;
      }
      points.push_back(end);
    }
    // The path ends on its start, a point Qt keeps only in contours between the first and the last.
    const bool inner = ci > 0 && ci + 1 < n;
    if (!inner && points.size() > 1 && points.back() == points.front()) points.pop_back();
    out.push_back(std::move(points));
  }
  return out;
}

std::string EncodeGlyph(const std::vector<std::vector<TEncodedPoint>>& contours) {
  int count = 0, x_min = 0, y_min = 0, x_max = 0, y_max = 0;
  for (const auto& contour : contours) {
    for (const TEncodedPoint& p : contour) {
      if (count++ == 0) {
        x_min = x_max = p.x;
        y_min = y_max = p.y;
      }
      x_min = std::min(x_min, p.x);
      x_max = std::max(x_max, p.x);
      y_min = std::min(y_min, p.y);
      y_max = std::max(y_max, p.y);
    }
  }
  if (count == 0) return {};
  std::string out;
  Put16(out, static_cast<int>(contours.size()));
  for (int v : {x_min, y_min, x_max, y_max}) Put16(out, v);
  int end = -1;
  for (const auto& contour : contours) {
    end += static_cast<int>(contour.size());
    Put16(out, end);
  }
  Put16(out, 0);  // no instructions
  std::string flags, xs, ys;
  int px = 0, py = 0;
  const auto delta = [](int d, std::string& bytes, unsigned char& flag, unsigned short_bit, unsigned same_bit) {
    if (d == 0) {
      flag |= same_bit;
    } else if (d >= -255 && d <= 255) {
      flag |= short_bit | (d > 0 ? same_bit : 0u);
      bytes += static_cast<char>(std::abs(d));
    } else {
      Put16(bytes, d);
    }
  };
  for (const auto& contour : contours) {
    for (const TEncodedPoint& p : contour) {
      unsigned char flag = p.on ? 1 : 0;
      delta(p.x - px, xs, flag, 2, 16);
      delta(p.y - py, ys, flag, 4, 32);
      px = p.x;
      py = p.y;
      flags += static_cast<char>(flag);
    }
  }
  out += flags;
  out += xs;
  out += ys;
  if (out.size() % 2) out += '\0';
  return out;
}

struct TPdfFontSubset::TFreeType {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string file;  // the face's memory, which FreeType reads from
  ~TFreeType() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

TPdfFontSubset::TPdfFontSubset(const std::map<std::string, QByteArray>& tables, int pixelsPerEm)
    : tables_(tables), freetype_(std::make_unique<TFreeType>()), pixels_per_em_(std::max(1, pixelsPerEm)) {
  std::map<std::string, std::string> file;
  for (const auto& [tag, data] : tables_) {
    if (!data.isEmpty()) file[tag] = data.toStdString();
  }
  freetype_->file = SfntFile(file);
  const QByteArray head = tables_["head"];
  units_per_em_ = static_cast<int>(Read16(head, 18));
  for (int i = 0; i < 4; ++i) box_[i] = ReadSigned16(head, 36 + 2 * i);
  const bool complete = std::all_of(std::begin(kNeeded), std::end(kNeeded), [&](const char* tag) {
    auto it = tables_.find(tag);
    return it != tables_.end() && !it->second.isEmpty();
  });
  if (!complete || units_per_em_ <= 0 || FT_Init_FreeType(&freetype_->library) != 0 ||
      FT_New_Memory_Face(freetype_->library, reinterpret_cast<const FT_Byte*>(freetype_->file.data()),
                         static_cast<FT_Long>(freetype_->file.size()), 0, &freetype_->face) != 0 ||
      FT_Set_Pixel_Sizes(freetype_->face, 0, static_cast<FT_UInt>(units_per_em_)) != 0) {
    throw EFileWriteError("Cannot embed a font in the PDF file");
  }
  Add(0);
}

TPdfFontSubset::TPdfFontSubset(const QRawFont& font)
    : TPdfFontSubset(TablesOf(font), static_cast<int>(std::lround(font.pixelSize()))) {}

TPdfFontSubset::~TPdfFontSubset() = default;

unsigned TPdfFontSubset::Add(unsigned glyph) {
  auto [it, added] = numbers_.emplace(glyph, static_cast<unsigned>(glyphs_.size()));
  if (added) glyphs_.push_back(glyph);
  return it->second;
}

std::string TPdfFontSubset::PostScriptName() const {
  const char* name = FT_Get_Postscript_Name(freetype_->face);
  return name ? name : "";
}

int TPdfFontSubset::Ascent() const { return ReadSigned16(tables_.at("hhea"), 4); }
int TPdfFontSubset::Descent() const { return ReadSigned16(tables_.at("hhea"), 6); }

std::vector<int> TPdfFontSubset::Widths() const {
  const QByteArray& hhea = tables_.at("hhea");
  const QByteArray& hmtx = tables_.at("hmtx");
  const int metrics = std::max(1, static_cast<int>(Read16(hhea, 34)));
  std::vector<int> widths;
  for (unsigned glyph : glyphs_) {
    const int entry = std::min(static_cast<int>(glyph), metrics - 1);
    widths.push_back(static_cast<int>(Round(static_cast<long long>(Read16(hmtx, 4 * entry)) * 1000, units_per_em_)));
  }
  return widths;
}

std::vector<unsigned> TPdfFontSubset::Characters() const {
  FT_Face face = freetype_->face;
  std::map<unsigned, unsigned> lowest;
  const auto offer = [&](unsigned glyph, unsigned character) {
    if (glyph != 0) lowest.emplace(glyph, character);  // the first offer is the lowest character
  };
  const unsigned space = FT_Get_Char_Index(face, 0x20);
  std::vector<std::pair<unsigned, unsigned>> fallbacks;  // (character, glyph)
  for (unsigned c : {0x09u, 0xA0u}) {
    if (FT_Get_Char_Index(face, c) == 0) fallbacks.emplace_back(c, space);
  }
  FT_UInt glyph = 0;
  std::size_t next_fallback = 0;
  for (FT_ULong c = FT_Get_First_Char(face, &glyph); glyph != 0 && c < 0x10000; c = FT_Get_Next_Char(face, c, &glyph)) {
    while (next_fallback < fallbacks.size() && fallbacks[next_fallback].first < c) {
      offer(fallbacks[next_fallback].second, fallbacks[next_fallback].first);
      ++next_fallback;
    }
    offer(glyph, static_cast<unsigned>(c));
  }
  for (; next_fallback < fallbacks.size(); ++next_fallback) {
    offer(fallbacks[next_fallback].second, fallbacks[next_fallback].first);
  }
  std::vector<unsigned> characters;
  for (unsigned g : glyphs_) {
    auto it = lowest.find(g);
    characters.push_back(it == lowest.end() ? 0 : it->second);
  }
  return characters;
}

std::optional<std::string> TPdfFontSubset::FontFile() const {
  FT_Face face = freetype_->face;
  const long long den = 128LL * units_per_em_;         // font units of 26.6 points, twice, for the implied midpoints
  const long long per_unit = 2LL * kSubsetUnitsPerEm;  // a 26.6 unit (2048 / upem / 64 of an em unit) over den
  const QByteArray& hhea = tables_.at("hhea");
  const QByteArray& hmtx = tables_.at("hmtx");
  const int metrics = std::max(1, static_cast<int>(Read16(hhea, 34)));
  std::string glyf, loca, hmtx_out;
  int max_points = 0, max_contours = 0, max_extent = 0;
  bool any = false;
  int box[4] = {0, 0, 0, 0};
  for (unsigned glyph : glyphs_) {
    Put16(loca, static_cast<int>(glyf.size() / 2));
    TOutline outline;
    const int entry = std::min(static_cast<int>(glyph), metrics - 1);
    const int advance = static_cast<int>(Round(Read16(hmtx, 4 * entry) * 2048LL, units_per_em_));
    const int lsb_at =
        static_cast<int>(glyph) < metrics ? 4 * entry + 2 : 4 * metrics + 2 * (static_cast<int>(glyph) - metrics);
    // The left side bearing as the hinted glyph has it, which hinting moves by a unit in a few glyphs; not moved
    // again when the points are.
    int lsb = static_cast<int>(Round(ReadSigned16(hmtx, lsb_at) * 2048LL, units_per_em_));
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0 && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
      lsb = static_cast<int>(Round(face->glyph->metrics.horiBearingX * 2048LL, 64LL * units_per_em_));
      const FT_Outline& o = face->glyph->outline;
      int first = 0;
      for (int c = 0; c < o.n_contours; ++c) {
        std::vector<TOutlinePoint> contour;
        for (int p = first; p <= o.contours[c]; ++p) {
          contour.push_back({o.points[p].x * per_unit, o.points[p].y * per_unit, (o.tags[p] & 1) != 0});
        }
        first = o.contours[c] + 1;
        outline.push_back(std::move(contour));
      }
    }
    const auto contours = ReencodeOutline(outline, den);
    const std::string record = EncodeGlyph(contours);
    glyf += record;
    Put16(hmtx_out, advance);
    Put16(hmtx_out, lsb);
    // A glyph without outline (a space) counts in the font's box as a box at the origin, as Qt's writer counts it.
    int glyph_box[4] = {0, 0, 0, 0};
    if (!record.empty()) {
      int points = 0;
      for (const auto& contour : contours) points += static_cast<int>(contour.size());
      max_points = std::max(max_points, points);
      max_contours = std::max(max_contours, static_cast<int>(contours.size()));
      for (int i = 0; i < 4; ++i) glyph_box[i] = ReadSigned16(QByteArray::fromRawData(record.data(), 10), 2 + 2 * i);
    }
    for (int i = 0; i < 4; ++i) {
      box[i] = !any ? glyph_box[i] : i < 2 ? std::min(box[i], glyph_box[i]) : std::max(box[i], glyph_box[i]);
    }
    const int extent = lsb + glyph_box[2] - glyph_box[0];
    max_extent = any ? std::max(max_extent, extent) : extent;
    any = true;
  }
  Put16(loca, static_cast<int>(glyf.size() / 2));
  if (glyf.size() / 2 > 0xFFFF) return std::nullopt;
  const int count = static_cast<int>(glyphs_.size());

  std::string head;
  Put32(head, 0x10000);  // version
  Put32(head, 0x10000);  // revision
  Put32(head, 0);        // checksum adjustment, made right with the whole file
  Put32(head, 0x5F0F3CF5);
  Put16(head, 0);  // flags
  Put16(head, kSubsetUnitsPerEm);
  head.append(16, '\0');  // dates
  for (int v : box) Put16(head, v);
  Put16(head, 1);  // mac style
  Put16(head, 6);  // lowest readable size
  Put16(head, 0);  // direction hint
  Put16(head, 0);  // short offsets
  Put16(head, 0);

  // The widest advance as the face's engine gives it at the drawing size (whole pixels), back in units.
  const int widest = static_cast<int>(std::lround(
      std::lround(static_cast<double>(Read16(hhea, 10)) * pixels_per_em_ / units_per_em_) * 2048.0 / pixels_per_em_));
  std::string hhea_out = tables_.at("hhea").left(10).toStdString();
  hhea_out.resize(10, '\0');
  Put16(hhea_out, widest);
  Put16(hhea_out, static_cast<int>(Round(ReadSigned16(hhea, 12) * 2048LL, units_per_em_)));
  Put16(hhea_out, static_cast<int>(Round(ReadSigned16(hhea, 14) * 2048LL, units_per_em_)));
  Put16(hhea_out, max_extent);
  std::string rest = tables_.at("hhea").mid(18, 16).toStdString();
  rest.resize(16, '\0');
  hhea_out += rest;
  Put16(hhea_out, count);

  std::string maxp;
  Put32(maxp, 0x10000);
  Put16(maxp, count);
  Put16(maxp, max_points);
  Put16(maxp, max_contours);
  Put16(maxp, 0);
  Put16(maxp, 0);
  Put16(maxp, 1);  // zones
  maxp.append(16, '\0');

  std::map<std::string, std::string> tables{{"glyf", glyf},     {"head", head}, {"hhea", hhea_out},
                                            {"hmtx", hmtx_out}, {"loca", loca}, {"maxp", maxp}};
  for (const char* kept : {"OS/2", "name"}) {
    auto it = tables_.find(kept);
    if (it != tables_.end() && !it->second.isEmpty()) tables[kept] = it->second.toStdString();
  }
  return SfntFile(tables);
}
