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

// The features a layout applies to a left-to-right Latin text, kerning aside; the fraction features act only
// around a fraction slash, which no simple text holds.
const hb_tag_t kLayoutFeatures[] = {Tag("rvrn"), Tag("ltra"), Tag("ltrm"), Tag("ccmp"), Tag("locl"), Tag("mark"),
                                    Tag("mkmk"), Tag("rlig"), Tag("calt"), Tag("clig"), Tag("curs"), Tag("dist"),
                                    Tag("liga"), Tag("rclt"), Tag("abvm"), Tag("blwm"), Tag("rand"), HB_TAG_NONE};

unsigned Word(const QByteArray& table, std::size_t at) {
  if (at + 2 > static_cast<std::size_t>(table.size())) return 0;
  return (static_cast<unsigned char>(table[static_cast<qsizetype>(at)]) << 8) |
         static_cast<unsigned char>(table[static_cast<qsizetype>(at + 1)]);
}

// The glyphs of a coverage table.
void AddCoverage(const QByteArray& table, std::size_t at, hb_set_t* glyphs) {
  const unsigned format = Word(table, at), count = Word(table, at + 2);
  for (unsigned i = 0; i < count; ++i) {
    if (format == 1) {
      hb_set_add(glyphs, Word(table, at + 4 + 2 * i));
    } else if (format == 2) {
      const std::size_t range = at + 4 + 6 * i;
      const unsigned first = Word(table, range), last = Word(table, range + 2);
      if (first <= last) hb_set_add_range(glyphs, first, last);
    }
  }
}

// Whether a coverage table holds one of the glyphs.
bool CoverageHoldsAny(const QByteArray& table, std::size_t coverage, const hb_set_t* glyphs) {
  std::unique_ptr<hb_set_t, void (*)(hb_set_t*)> covered(hb_set_create(), hb_set_destroy);
  AddCoverage(table, coverage, covered.get());
  hb_set_intersect(covered.get(), glyphs);
  return !hb_set_is_empty(covered.get());
}

// The class a class definition table gives a glyph (0 for a glyph it does not list).
unsigned ClassOf(const QByteArray& table, std::size_t at, unsigned glyph) {
  if (Word(table, at) == 1) {
    const unsigned first = Word(table, at + 2), count = Word(table, at + 4);
    return glyph >= first && glyph - first < count ? Word(table, at + 6 + 2 * (glyph - first)) : 0;
  }
  for (unsigned i = 0, count = Word(table, at + 2); i < count; ++i) {
    const std::size_t range = at + 4 + 6 * i;
    if (glyph >= Word(table, range) && glyph <= Word(table, range + 2)) return Word(table, range + 4);
  }
  return 0;
}

// Whether one of the glyphs is of the class `wanted` by a class definition table (none listed: all of class 0).
bool ClassHoldsAny(const QByteArray& table, std::size_t at, bool listed, unsigned wanted, const hb_set_t* glyphs) {
  for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(glyphs, &g);) {
    if ((listed ? ClassOf(table, at, g) : 0) == wanted) return true;
  }
  return false;
}

// The first glyphs of a chained rule of classes: those of its coverage for which some rule of their class can match
// a text of simple glyphs (one whose next glyph can be simple).
void AddChainedClassFirstGlyphs(const QByteArray& table, std::size_t sub, hb_set_t* glyphs, const hb_set_t* simple) {
  std::unique_ptr<hb_set_t, void (*)(hb_set_t*)> covered(hb_set_create(), hb_set_destroy);
  AddCoverage(table, sub + Word(table, sub + 2), covered.get());
  // Without a table of classes every glyph is of class 0.
  const bool input_listed = Word(table, sub + 6) != 0, lookahead_listed = Word(table, sub + 8) != 0;
  const std::size_t input_classes = sub + Word(table, sub + 6), lookahead_classes = sub + Word(table, sub + 8);
  const unsigned sets = Word(table, sub + 10);
  for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(covered.get(), &g);) {
    const unsigned cls = input_listed ? ClassOf(table, input_classes, g) : 0;
    if (cls >= sets || Word(table, sub + 12 + 2 * cls) == 0) continue;  // no rules for its class
    const std::size_t set = sub + Word(table, sub + 12 + 2 * cls);
    bool can_match = false;
    for (unsigned r = 0, rules = Word(table, set); r < rules && !can_match; ++r) {
      const std::size_t rule = set + Word(table, set + 2 + 2 * r);
      const std::size_t inputs_at = rule + 2 + 2 * Word(table, rule);
      const unsigned inputs = Word(table, inputs_at);
      const std::size_t lookahead_at = inputs_at + 2 + 2 * (inputs > 0 ? inputs - 1 : 0);
      if (inputs >= 2) {
        can_match = ClassHoldsAny(table, input_classes, input_listed, Word(table, inputs_at + 2), simple);
      } else if (Word(table, lookahead_at) > 0) {
        can_match = ClassHoldsAny(table, lookahead_classes, lookahead_listed, Word(table, lookahead_at + 2), simple);
      } else {
        can_match = true;
      }
    }
    if (can_match) hb_set_add(glyphs, g);
  }
}

// The glyphs a lookup of a substitution or positioning table can start at in a text of `simple` glyphs, none of
// them a mark: the coverage of its first input glyph in each subtable (of the lookup an extension lookup stands
// for), but for chained rules whose next glyph cannot be simple. A rule acts on nothing unless such a glyph is in
// the text. Rules that place marks start at a mark: they add nothing.
void AddFirstGlyphs(const QByteArray& table, bool positioning, unsigned lookup, hb_set_t* glyphs,
                    const hb_set_t* simple) {
  const std::size_t list = Word(table, 8);
  if (list == 0 || lookup >= Word(table, list)) return;
  const std::size_t at = list + Word(table, list + 2 + 2 * lookup);
  const unsigned lookup_type = Word(table, at), subtables = Word(table, at + 4);
  const unsigned extension = positioning ? 9 : 7, context = positioning ? 7 : 5, chained = positioning ? 8 : 6;
  for (unsigned i = 0; i < subtables; ++i) {
    std::size_t sub = at + Word(table, at + 6 + 2 * i);
    unsigned type = lookup_type;
    if (type == extension) {
      type = Word(table, sub + 2);
      sub += (static_cast<std::size_t>(Word(table, sub + 4)) << 16) | Word(table, sub + 6);
    }
    if (positioning && type >= 4 && type <= 6) continue;
    const unsigned format = Word(table, sub);
    std::size_t coverage = sub + Word(table, sub + 2);
    if (type == context && format == 3) {
      coverage = sub + Word(table, sub + 6);
    } else if (type == chained && format == 3) {
      const std::size_t inputs_at = sub + 4 + 2 * Word(table, sub + 2);  // past the backtrack coverages
      const unsigned inputs = Word(table, inputs_at);
      if (inputs == 0) continue;
      coverage = sub + Word(table, inputs_at + 2);
      // A rule whose next glyph cannot be simple (a dot above an i, say) matches no simple text.
      const std::size_t lookahead_at = inputs_at + 2 + 2 * inputs;
      const std::size_t next = inputs >= 2                     ? Word(table, inputs_at + 4)
                               : Word(table, lookahead_at) > 0 ? Word(table, lookahead_at + 2)
                                                               : 0;
      if (next != 0 && !CoverageHoldsAny(table, sub + next, simple)) continue;
    } else if (type == chained && format == 2) {
      AddChainedClassFirstGlyphs(table, sub, glyphs, simple);
      continue;
    }
    AddCoverage(table, coverage, glyphs);
  }
}

// What a layout tells the shaper of a simple text.
hb_segment_properties_t TextProperties() {
  hb_segment_properties_t properties = HB_SEGMENT_PROPERTIES_DEFAULT;
  properties.direction = HB_DIRECTION_LTR;
  properties.script = HB_SCRIPT_LATIN;
  properties.language = hb_language_get_default();
  return properties;
}

struct BufferDeleter {
  void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
};

}  // namespace

void TGlyphShaper::FaceDeleter::operator()(hb_face_t* face) const { hb_face_destroy(face); }
void TGlyphShaper::FontDeleter::operator()(hb_font_t* font) const { hb_font_destroy(font); }
void TGlyphShaper::PlanDeleter::operator()(hb_shape_plan_t* plan) const { hb_shape_plan_destroy(plan); }

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
  const hb_segment_properties_t properties = TextProperties();
  plan_.reset(hb_shape_plan_create_cached(face_.get(), &properties, &kNoKerning, 1, nullptr));
  hb_font_make_immutable(font_.get());
  FindGlyphsAlone();
}

namespace {

// The lookups of the features a layout applies to Latin text, and of the feature any language of any script
// requires whatever is asked.
void CollectLayoutLookups(hb_face_t* face, hb_tag_t table, hb_set_t* lookups) {
  hb_ot_layout_collect_lookups(face, table, nullptr, nullptr, kLayoutFeatures, lookups);
  const auto add_required = [&](unsigned script, unsigned language) {
    unsigned feature = 0;
    if (!hb_ot_layout_language_get_required_feature(face, table, script, language, &feature, nullptr)) return;
    unsigned count = hb_ot_layout_feature_get_lookups(face, table, feature, 0, nullptr, nullptr);
    std::vector<unsigned> indexes(count);
    hb_ot_layout_feature_get_lookups(face, table, feature, 0, &count, indexes.data());
    for (unsigned i = 0; i < count; ++i) hb_set_add(lookups, indexes[i]);
  };
  const unsigned scripts = hb_ot_layout_table_get_script_tags(face, table, 0, nullptr, nullptr);
  for (unsigned script = 0; script < scripts; ++script) {
    add_required(script, HB_OT_LAYOUT_DEFAULT_LANGUAGE_INDEX);
    const unsigned languages = hb_ot_layout_script_get_language_tags(face, table, script, 0, nullptr, nullptr);
    for (unsigned language = 0; language < languages; ++language) add_required(script, language);
  }
}

}  // namespace

void TGlyphShaper::FindGlyphsAlone() {
  hb_face_t* face = face_.get();
  // A face of the other kind of shaping rules is shaped by them, not by those read here.
  if (tables_.count(Tag("morx")) || tables_.count(Tag("mort"))) return;
  // The glyphs of the simple characters, marks aside.
  std::unique_ptr<hb_set_t, void (*)(hb_set_t*)> marks(hb_set_create(), hb_set_destroy);
  hb_ot_layout_get_glyphs_in_class(face, HB_OT_LAYOUT_GLYPH_CLASS_MARK, marks.get());
  std::unique_ptr<hb_set_t, void (*)(hb_set_t*)> simple(hb_set_create(), hb_set_destroy);
  for (char16_t c = 0; c < alone_.size(); ++c) {
    hb_codepoint_t glyph = 0;
    if (ShapesAlone(c) && hb_font_get_nominal_glyph(font_.get(), c, &glyph) && glyph != 0 &&
        !hb_set_has(marks.get(), glyph)) {
      alone_[c] = glyph;
      hb_set_add(simple.get(), glyph);
    }
  }
  // Those some rule of a feature a layout applies to Latin text (kerning is off) can start at are not alone.
  std::unique_ptr<hb_set_t, void (*)(hb_set_t*)> ruled(hb_set_create(), hb_set_destroy);
  for (hb_tag_t table : {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS}) {
    const auto entry = tables_.find(table);
    if (entry == tables_.end()) continue;
    std::unique_ptr<hb_set_t, void (*)(hb_set_t*)> lookups(hb_set_create(), hb_set_destroy);
    CollectLayoutLookups(face, table, lookups.get());
    for (hb_codepoint_t lookup = HB_SET_VALUE_INVALID; hb_set_next(lookups.get(), &lookup);) {
      AddFirstGlyphs(entry->second, table == HB_OT_TAG_GPOS, lookup, ruled.get(), simple.get());
    }
  }
  for (unsigned& glyph : alone_) {
    if (hb_set_has(ruled.get(), glyph)) glyph = 0;
  }
}

TGlyphShaper::~TGlyphShaper() {
  plan_.reset();
  font_.reset();
  face_.reset();
}

bool TGlyphShaper::Shape(const QString& text, std::vector<unsigned>& glyphs) const {
  glyphs.clear();
  if (!font_ || !std::all_of(text.begin(), text.end(), [](QChar c) { return ShapesAlone(c.unicode()); })) {
    return false;
  }
  // Characters whose glyphs no rule touches shape to their own glyphs, whatever surrounds them.
  glyphs.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) {
    const unsigned glyph = c.unicode() < alone_.size() ? alone_[c.unicode()] : 0;
    if (glyph == 0) break;
    glyphs.push_back(glyph);
  }
  if (glyphs.size() == static_cast<std::size_t>(text.size())) return true;
  glyphs.clear();
  thread_local std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
  hb_buffer_t* b = buffer.get();
  hb_buffer_clear_contents(b);
  hb_buffer_add_utf16(b, reinterpret_cast<const uint16_t*>(text.utf16()), static_cast<int>(text.size()), 0,
                      static_cast<int>(text.size()));
  const hb_segment_properties_t properties = TextProperties();
  hb_buffer_set_segment_properties(b, &properties);
  if (!hb_shape_plan_execute(plan_.get(), font_.get(), b, &kNoKerning, 1)) {
    glyphs.clear();
    return false;
  }
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
