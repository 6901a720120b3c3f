#include "graphics/GlyphShaper.h"

#include <QRawFont>

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <atomic>
#include <bitset>
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

// The glyphs of a coverage table, and the index each has there.
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

// The index of a glyph in a coverage table; -1 when the table does not hold it.
int CoverageIndex(const QByteArray& table, std::size_t at, unsigned glyph) {
  const unsigned format = Word(table, at), count = Word(table, at + 2);
  for (unsigned i = 0; i < count; ++i) {
    if (format == 1 && Word(table, at + 4 + 2 * i) == glyph) return static_cast<int>(i);
    if (format == 2) {
      const std::size_t range = at + 4 + 6 * i;
      if (glyph >= Word(table, range) && glyph <= Word(table, range + 2)) {
        return static_cast<int>(Word(table, range + 4) + glyph - Word(table, range));
      }
    }
  }
  return -1;
}

// The class a class definition table gives a glyph (0 for a glyph it does not list, or without a table).
unsigned ClassOf(const QByteArray& table, std::size_t at, unsigned glyph) {
  if (at == 0) return 0;
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

using TGlyphSet = std::unique_ptr<hb_set_t, void (*)(hb_set_t*)>;
TGlyphSet NewSet() { return TGlyphSet(hb_set_create(), hb_set_destroy); }

// Where the rules of a face's lookups can start in a text of simple glyphs (none of them a mark): at some glyphs
// whatever follows, at others only when one of some glyphs comes next (the second glyph of a ligature, of a
// contextual rule's input, or the first it looks ahead at). A text in which no rule can start at any glyph is shaped
// to its own glyphs: no lookup changes or moves anything, so none sees anything else than the text.
class TRuleStarts {
public:
  explicit TRuleStarts(const hb_set_t* simple) : simple_(simple), always_(NewSet()) {}

  // Rules that start at the glyph whatever follows it.
  void Always(unsigned glyph) { hb_set_add(always_.get(), glyph); }
  void Always(const hb_set_t* glyphs) { hb_set_union(always_.get(), glyphs); }
  // A rule that starts at the glyph only when one of `next` follows it (a lookup that skips base glyphs or
  // ligatures may find its next glyph further on: any glyph then).
  void Before(unsigned glyph, const hb_set_t* next) {
    if (skips_bases_) return Always(glyph);
    auto& followers = before_.try_emplace(glyph, NewSet()).first->second;
    hb_set_union(followers.get(), next);
    hb_set_intersect(followers.get(), simple_);
  }
  void Before(unsigned glyph, unsigned next) {
    TGlyphSet one = NewSet();
    hb_set_add(one.get(), next);
    Before(glyph, one.get());
  }
  // The simple glyphs of the class `wanted` by a class definition table; read once, as the next ones.
  const hb_set_t* OfClass(const QByteArray& table, std::size_t at, unsigned wanted) {
    return Read(table, at, wanted + 1, [&](hb_set_t* glyphs) {
      for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(simple_, &g);) {
        if (ClassOf(table, at, g) == wanted) hb_set_add(glyphs, g);
      }
    });
  }
  // The simple glyphs of a coverage table.
  const hb_set_t* Covered(const QByteArray& table, std::size_t at) {
    return Read(table, at, 0, [&](hb_set_t* glyphs) {
      AddCoverage(table, at, glyphs);
      hb_set_intersect(glyphs, simple_);
    });
  }
  void SetLookupFlags(unsigned flags) { skips_bases_ = (flags & 0x6) != 0; }

  const hb_set_t* Always() const { return always_.get(); }
  // The glyphs that may follow a glyph for a rule to start at it; null when none can.
  const hb_set_t* Followers(unsigned glyph) const {
    const auto it = before_.find(glyph);
    return it == before_.end() || hb_set_is_empty(it->second.get()) ? nullptr : it->second.get();
  }

private:
  // The glyphs a part of a table gives (0 for a coverage, or 1 + a class), read by `read` the first time.
  template <typename Reader>
  const hb_set_t* Read(const QByteArray& table, std::size_t at, unsigned which, const Reader& read) {
    const auto key = std::make_tuple(table.constData(), at, which);
    auto it = read_.find(key);
    if (it == read_.end()) {
      it = read_.emplace(key, NewSet()).first;
      read(it->second.get());
    }
    return it->second.get();
  }

  const hb_set_t* simple_;
  TGlyphSet always_;
  std::map<unsigned, TGlyphSet> before_;
  std::map<std::tuple<const char*, std::size_t, unsigned>, TGlyphSet> read_;
  bool skips_bases_ = false;
};

// A contextual rule of a set whose first glyph is `first`: its input (the glyphs or classes after the first, `inputs`
// of them in all) at `inputs_at`, what it looks ahead at (count first) at `lookahead_at`, or 0 for a rule that does
// not look ahead. `next` gives the simple glyphs of a value read.
template <typename Next>
void AddContextRule(TRuleStarts& starts, unsigned first, const QByteArray& table, unsigned inputs,
                    std::size_t inputs_at, std::size_t lookahead_at, const Next& next) {
  if (inputs >= 2) return starts.Before(first, next(Word(table, inputs_at), false));
  if (lookahead_at != 0 && Word(table, lookahead_at) > 0) {
    return starts.Before(first, next(Word(table, lookahead_at + 2), true));
  }
  starts.Always(first);
}

// The rules of a contextual subtable (chained or not) of format 1 or 2: a set of rules for each glyph of its
// coverage (format 1) or for each class of its input (format 2).
void AddContextSets(TRuleStarts& starts, const QByteArray& table, std::size_t sub, bool chained) {
  const unsigned format = Word(table, sub);
  const std::size_t input_classes =
      format == 2 && Word(table, sub + (chained ? 6 : 4)) ? sub + Word(table, sub + (chained ? 6 : 4)) : 0;
  const std::size_t lookahead_classes = format == 2 && chained && Word(table, sub + 8) ? sub + Word(table, sub + 8) : 0;
  const std::size_t sets_at = format == 1 ? sub + 4 : sub + (chained ? 10 : 6);
  const unsigned sets = Word(table, sets_at);
  TGlyphSet covered = NewSet();
  AddCoverage(table, sub + Word(table, sub + 2), covered.get());
  TGlyphSet one = NewSet();
  const auto next = [&](unsigned value, bool lookahead) -> const hb_set_t* {
    if (format == 1) {
      hb_set_clear(one.get());
      hb_set_add(one.get(), value);
      return one.get();
    }
    return starts.OfClass(table, lookahead ? lookahead_classes : input_classes, value);
  };
  for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(covered.get(), &g);) {
    const int index = format == 1 ? CoverageIndex(table, sub + Word(table, sub + 2), g)
                                  : static_cast<int>(ClassOf(table, input_classes, g));
    if (index < 0 || static_cast<unsigned>(index) >= sets) continue;
    const unsigned set_offset = Word(table, sets_at + 2 + 2 * static_cast<unsigned>(index));
    if (set_offset == 0) continue;  // no rules
    const std::size_t set = sub + set_offset;
    for (unsigned r = 0, rules = Word(table, set); r < rules; ++r) {
      const std::size_t rule = set + Word(table, set + 2 + 2 * r);
      if (!chained) {
        AddContextRule(starts, g, table, Word(table, rule), rule + 4, 0, next);
        continue;
      }
      const std::size_t inputs_at = rule + 2 + 2 * Word(table, rule);  // past what it looks back at
      const unsigned inputs = Word(table, inputs_at);
      AddContextRule(starts, g, table, inputs, inputs_at + 2, inputs_at + 2 + 2 * (inputs > 0 ? inputs - 1 : 0), next);
    }
  }
}

// The rules of a contextual subtable (chained or not) of format 3: one rule of coverage tables.
void AddContextCoverages(TRuleStarts& starts, const QByteArray& table, std::size_t sub, bool chained) {
  const std::size_t inputs_at = chained ? sub + 4 + 2 * Word(table, sub + 2) : sub + 2;  // past the look back
  const unsigned inputs = Word(table, inputs_at);
  if (inputs == 0) return;
  const std::size_t coverages = chained ? inputs_at + 2 : inputs_at + 4;
  const std::size_t lookahead_at = chained ? coverages + 2 * inputs : 0;
  const auto next = [&](unsigned offset, bool) { return starts.Covered(table, sub + offset); };
  const hb_set_t* first = starts.Covered(table, sub + Word(table, coverages));
  // The next coverage read straight after the first: the rule's second input or first look ahead.
  for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(first, &g);) {
    AddContextRule(starts, g, table, inputs, coverages + 2, lookahead_at, next);
  }
}

// The ligatures of a subtable: each starts at a glyph of the coverage and needs its second component next.
void AddLigatures(TRuleStarts& starts, const QByteArray& table, std::size_t sub) {
  TGlyphSet covered = NewSet();
  AddCoverage(table, sub + Word(table, sub + 2), covered.get());
  const unsigned sets = Word(table, sub + 4);
  for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(covered.get(), &g);) {
    const int index = CoverageIndex(table, sub + Word(table, sub + 2), g);
    if (index < 0 || static_cast<unsigned>(index) >= sets) continue;
    const std::size_t set = sub + Word(table, sub + 6 + 2 * static_cast<unsigned>(index));
    for (unsigned i = 0, count = Word(table, set); i < count; ++i) {
      const std::size_t ligature = set + Word(table, set + 2 + 2 * i);
      if (Word(table, ligature + 2) >= 2) starts.Before(g, Word(table, ligature + 4));
      else starts.Always(g);
    }
  }
}

// Where the subtables of a lookup of a substitution or positioning table (of the lookup an extension lookup stands
// for) can start in a text of simple glyphs. Rules that place marks start at a mark: they add nothing.
void AddRuleStarts(const QByteArray& table, bool positioning, unsigned lookup, TRuleStarts& starts) {
  const std::size_t list = Word(table, 8);
  if (list == 0 || lookup >= Word(table, list)) return;
  const std::size_t at = list + Word(table, list + 2 + 2 * lookup);
  const unsigned lookup_type = Word(table, at), subtables = Word(table, at + 4);
  starts.SetLookupFlags(Word(table, at + 2));
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
    if (type == context || type == chained) {
      if (format == 3) AddContextCoverages(starts, table, sub, type == chained);
      else if (format == 1 || format == 2) AddContextSets(starts, table, sub, type == chained);
    } else if (!positioning && type == 4) {
      AddLigatures(starts, table, sub);
    } else {
      // One glyph changed or moved whatever follows (single, multiple, alternate and reverse substitutions,
      // single, pair and cursive positioning).
      starts.Always(starts.Covered(table, sub + Word(table, sub + 2)));
    }
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

std::atomic<bool> shortcut{true};

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
  TGlyphSet marks = NewSet();
  hb_ot_layout_get_glyphs_in_class(face, HB_OT_LAYOUT_GLYPH_CLASS_MARK, marks.get());
  TGlyphSet simple = NewSet();
  for (char16_t c = 0; c < alone_.size(); ++c) {
    hb_codepoint_t glyph = 0;
    if (ShapesAlone(c) && hb_font_get_nominal_glyph(font_.get(), c, &glyph) && glyph != 0 &&
        !hb_set_has(marks.get(), glyph)) {
      alone_[c] = glyph;
      hb_set_add(simple.get(), glyph);
    }
  }
  // Where the rules of the features a layout applies to Latin text (kerning is off) can start.
  TRuleStarts starts(simple.get());
  for (hb_tag_t table : {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS}) {
    const auto entry = tables_.find(table);
    if (entry == tables_.end()) continue;
    TGlyphSet lookups = NewSet();
    CollectLayoutLookups(face, table, lookups.get());
    for (hb_codepoint_t lookup = HB_SET_VALUE_INVALID; hb_set_next(lookups.get(), &lookup);) {
      AddRuleStarts(entry->second, table == HB_OT_TAG_GPOS, lookup, starts);
    }
  }
  for (unsigned c = 0; c < alone_.size(); ++c) {
    const unsigned glyph = alone_[c];
    if (glyph == 0) continue;
    if (hb_set_has(starts.Always(), glyph)) {
      alone_[c] = 0;
    } else if (const hb_set_t* followers = starts.Followers(glyph)) {
      std::bitset<kSimpleEnd> next;
      for (unsigned n = 0; n < alone_.size(); ++n) next[n] = alone_[n] != 0 && hb_set_has(followers, alone_[n]);
      followers_.push_back(next);
      before_[c] = static_cast<std::uint16_t>(followers_.size());
    }
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
  for (qsizetype i = 0; i < text.size() && shortcut.load(std::memory_order_relaxed); ++i) {
    const char16_t c = text[i].unicode();
    const unsigned glyph = alone_[c];
    if (glyph == 0) break;
    // A rule that starts at this glyph before some others (a ligature's first component) may act here.
    if (before_[c] != 0 && i + 1 < text.size() && followers_[before_[c] - 1u][text[i + 1].unicode()]) break;
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

void TGlyphShaper::SetShortcut(bool use) { shortcut = use; }

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
