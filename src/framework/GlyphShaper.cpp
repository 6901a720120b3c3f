#include "framework/GlyphShaper.h"

#include <QRawFont>

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <mutex>
#include <tuple>

namespace {

// Characters a layout takes as they are: printable ASCII and the Latin-1 and Latin Extended-A letters and signs, all
// of the Latin or the common script, none of them a mark, a control, a space other than the plain one or a soft
// hyphen.
bool ShapesAlone(char16_t c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0x17F && c != 0xAD); }

// What shaping needs; any other table is left out.
constexpr const char* kTables[] = {"cmap", "head", "hhea", "hmtx", "maxp", "OS/2", "post", "GDEF", "GSUB",
                                   "GPOS", "kern", "morx", "mort", "kerx", "ankr", "trak", "feat", "fvar"};

hb_tag_t Tag(const char* name) { return hb_tag_from_string(name, 4); }

// Kerning is off in every font the framework makes.
const hb_feature_t kNoKerning = {Tag("kern"), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END};

struct BufferDeleter {
  void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
};

}  // namespace

void TGlyphShaper::FaceDeleter::operator()(hb_face_t* face) const { hb_face_destroy(face); }
void TGlyphShaper::FontDeleter::operator()(hb_font_t* font) const { hb_font_destroy(font); }

TGlyphShaper::TGlyphShaper(const QRawFont& face) {
  for (const char* name : kTables) {
    QByteArray table = face.fontTable(name);
    if (!table.isEmpty()) tables_.emplace(Tag(name), std::move(table));
  }
  // A variable face's instance is not told by its tables alone; a face without a character map has no glyphs
  // for characters.
  if (tables_.count(Tag("fvar")) || !tables_.count(Tag("cmap"))) return;
  auto table = [](hb_face_t*, hb_tag_t tag, void* user) -> hb_blob_t* {
    const auto& tables = *static_cast<const std::map<unsigned, QByteArray>*>(user);
    const auto it = tables.find(tag);
    if (it == tables.end()) return nullptr;
    return hb_blob_create(it->second.constData(), static_cast<unsigned>(it->second.size()), HB_MEMORY_MODE_READONLY,
                          nullptr, nullptr);
  };
  face_.reset(hb_face_create_for_tables(table, &tables_, nullptr));
  font_.reset(hb_font_create(face_.get()));
  hb_font_make_immutable(font_.get());
}

TGlyphShaper::~TGlyphShaper() {
  font_.reset();
  face_.reset();
}

bool TGlyphShaper::Shape(const QString& text, std::vector<unsigned>& glyphs) const {
  glyphs.clear();
  if (!font_ || !std::all_of(text.begin(), text.end(), [](QChar c) { return ShapesAlone(c.unicode()); })) {
    return false;
  }
  thread_local std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
  hb_buffer_t* b = buffer.get();
  hb_buffer_clear_contents(b);
  hb_buffer_add_utf16(b, reinterpret_cast<const uint16_t*>(text.utf16()), static_cast<int>(text.size()), 0,
                      static_cast<int>(text.size()));
  hb_buffer_set_direction(b, HB_DIRECTION_LTR);
  hb_buffer_set_script(b, HB_SCRIPT_LATIN);
  hb_buffer_set_language(b, hb_language_get_default());
  hb_shape(font_.get(), b, &kNoKerning, 1);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(b, &count);
  const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(b, &count);
  glyphs.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    // A glyph the face lacks is taken from another face by a layout; one placed off its own advance was moved by
    // a positioning rule, which the hinted advances the glyphs are drawn with would not follow.
    const hb_glyph_position_t& p = position[i];
    if (info[i].codepoint == 0 || p.x_offset != 0 || p.y_offset != 0 || p.y_advance != 0 ||
        p.x_advance != hb_font_get_glyph_h_advance(font_.get(), info[i].codepoint)) {
      glyphs.clear();
      return false;
    }
    glyphs.push_back(info[i].codepoint);
  }
  return true;
}

const TGlyphShaper& TGlyphShaper::For(const QRawFont& face) {
  static std::mutex mutex;
  // Kept to the very end, like the font measures.
  static auto* entries = new std::map<std::tuple<QString, QString, QByteArray>, std::unique_ptr<TGlyphShaper>>;
  // The header's dates and checksum tell apart files of the same family and style.
  auto key = std::make_tuple(face.familyName(), face.styleName(), face.fontTable("head"));
  std::lock_guard lock(mutex);
  auto& entry = (*entries)[key];
  if (!entry) entry = std::make_unique<TGlyphShaper>(face);
  return *entry;
}
