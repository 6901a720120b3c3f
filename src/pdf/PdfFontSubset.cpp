#include "pdf/PdfFontSubset.h"

#include "core/SafeFile.h"

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <cmath>

namespace {

// The tables a TrueType face is drawn from, and those that tell its characters and its name.
constexpr const char* kTables[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cmap", "name", "OS/2"};
constexpr const char* kNeeded[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf"};

hb_tag_t Tag(const char* name) { return hb_tag_from_string(name, 4); }

struct BlobDeleter {
  void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
using TBlob = std::unique_ptr<hb_blob_t, BlobDeleter>;

TBlob Blob(const QByteArray& bytes) {
  // HarfBuzz copies the bytes: the face outlives the raw font's tables.
  return TBlob(hb_blob_create(bytes.constData(), static_cast<unsigned>(bytes.size()), HB_MEMORY_MODE_DUPLICATE, nullptr,
                              nullptr));
}

int Signed16(const QByteArray& table, int at) {
  if (at + 2 > table.size()) return 0;
  return static_cast<std::int16_t>((static_cast<unsigned char>(table[at]) << 8) |
                                   static_cast<unsigned char>(table[at + 1]));
}

}  // namespace

void TPdfFontSubset::FaceDeleter::operator()(hb_face_t* face) const { hb_face_destroy(face); }
void TPdfFontSubset::FontDeleter::operator()(hb_font_t* font) const { hb_font_destroy(font); }

TPdfFontSubset::TPdfFontSubset(const QRawFont& font) {
  // The face put together again from its tables: a raw font does not tell its file.
  std::unique_ptr<hb_face_t, FaceDeleter> builder(hb_face_builder_create());
  for (const char* name : kTables) {
    const QByteArray table = font.fontTable(name);
    if (!table.isEmpty()) hb_face_builder_add_table(builder.get(), Tag(name), Blob(table).get());
  }
  for (const char* name : kNeeded) {
    if (font.fontTable(name).isEmpty()) throw EFileWriteError("Cannot embed a font in the PDF file");
  }
  const TBlob file(hb_face_reference_blob(builder.get()));
  face_.reset(hb_face_create(file.get(), 0));
  units_per_em_ = static_cast<int>(hb_face_get_upem(face_.get()));
  font_.reset(hb_font_create(face_.get()));
  hb_font_set_scale(font_.get(), units_per_em_, units_per_em_);
  const QByteArray head = font.fontTable("head"), hhea = font.fontTable("hhea");
  for (int i = 0; i < 4; ++i) box_[i] = Signed16(head, 36 + 2 * i);
  ascent_ = Signed16(hhea, 4);
  descent_ = Signed16(hhea, 6);
}

TPdfFontSubset::~TPdfFontSubset() = default;

std::string TPdfFontSubset::FontFile() const {
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  if (!input) throw EFileWriteError("Cannot embed a font in the PDF file: out of memory");
  const std::unique_ptr<hb_subset_input_t, void (*)(hb_subset_input_t*)> owned(input, hb_subset_input_destroy);
  hb_set_t* glyphs = hb_subset_input_glyph_set(input);
  for (unsigned glyph : glyphs_) hb_set_add(glyphs, glyph);
  // Pages name glyphs by the face's numbers, and no character; the file names the face. Outlines go without
  // their hinting, as readers draw them.
  hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
  hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (const char* name : {"cmap", "name"}) hb_set_add(dropped, Tag(name));
  const std::unique_ptr<hb_face_t, FaceDeleter> subset(hb_subset_or_fail(face_.get(), input));
  if (!subset) throw EFileWriteError("Cannot embed a font in the PDF file");
  const TBlob blob(hb_face_reference_blob(subset.get()));
  unsigned size = 0;
  const char* data = hb_blob_get_data(blob.get(), &size);
  return std::string(data, size);
}

int TPdfFontSubset::Width(unsigned glyph) const {
  return static_cast<int>(std::lround(hb_font_get_glyph_h_advance(font_.get(), glyph) * 1000.0 / units_per_em_));
}

std::map<unsigned, unsigned> TPdfFontSubset::Characters() const {
  std::map<unsigned, unsigned> characters;
  hb_set_t* unicodes = hb_set_create();
  hb_face_collect_unicodes(face_.get(), unicodes);
  for (hb_codepoint_t c = HB_SET_VALUE_INVALID; hb_set_next(unicodes, &c);) {
    hb_codepoint_t glyph = 0;
    // Characters come in order: the first one found for a glyph is its lowest.
    if (hb_font_get_nominal_glyph(font_.get(), c, &glyph) && glyph != 0 && glyphs_.count(glyph)) {
      characters.emplace(glyph, c);
    }
  }
  hb_set_destroy(unicodes);
  return characters;
}

std::string TPdfFontSubset::PostScriptName() const {
  char name[128];
  unsigned size = sizeof name;
  if (hb_ot_name_get_utf8(face_.get(), HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name) == 0) {
    return {};
  }
  return std::string(name, size);
}
