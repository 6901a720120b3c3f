#include "PagesTestSupport.h"
#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>

namespace {

std::string Save(const TRLGraphicSurface& surface) {
  TRLMemoryStream stream;
  surface.SaveToStream(stream);
  return stream.Bytes();
}

void Load(TRLGraphicSurface& surface, const std::string& bytes) {
  TRLMemoryStream stream(bytes);
  surface.LoadFromStream(stream);
}

Bytes& Base(Bytes& b, int l, int t, int r, int bottom, int group, int tag) {
  return b.I32(l).I32(t).I32(r).I32(bottom).I32(group).I32(tag);
}

// Pen: colour, mode, style, width. Brush: colour, style.
Bytes& Pen(Bytes& b) { return b.Rgb(1, 2, 3).U8(5).U8(2).I32(3); }
Bytes& Brush(Bytes& b) { return b.Rgb(4, 5, 6).U8(2); }

template <typename T>
T* Make(TRLGraphicSurface& s, TRect bounds, int group, int tag) {
  auto* o = new T(&s);
  o->SetBoundsRect(bounds);
  o->SetGroupId(group);
  o->SetTag(tag);
  return o;
}

template <typename T>
void SetPenAndBrush(T* o) {
  o->Pen().SetColor({1, 2, 3});
  o->Pen().SetMode(5);
  o->Pen().SetStyle(2);
  o->Pen().SetWidth(3);
  o->Brush().SetColor({4, 5, 6});
  o->Brush().SetStyle(2);
}

struct ObjectCase {
  const char* name;
  std::function<void(TRLGraphicSurface&)> build;
  std::vector<std::string> fonts;  // the surface's font list in the stream
  std::uint8_t code;
  std::string payload;
};

std::vector<ObjectCase> ObjectCases() {
  std::vector<ObjectCase> cases;
  {
    Bytes p;
    Base(p, 1, 2, 3, 4, 7, 0).Rgb(10, 20, 30);
    cases.push_back({"pixel",
                     [](TRLGraphicSurface& s) {
                       Make<TRLPixelObject>(s, {1, 2, 3, 4}, 7, 0)->SetColor({10, 20, 30});
                     },
                     {},
                     1,
                     p});
  }
  {
    Bytes p;
    Base(p, 0, 0, 10, 10, 8, 9).I32(1).I32(2).I32(3).I32(4);
    Brush(Pen(p));
    cases.push_back({"line",
                     [](TRLGraphicSurface& s) {
                       auto* o = Make<TRLLineObject>(s, {0, 0, 10, 10}, 8, 9);
                       o->SetFromPoint({1, 2});
                       o->SetToPoint({3, 4});
                       SetPenAndBrush(o);
                     },
                     {},
                     2,
                     p});
  }
  {
    Bytes p;
    Brush(Pen(Base(p, -5, -6, 70, 80, 1, 0)));
    cases.push_back({"rectangle",
                     [](TRLGraphicSurface& s) {
                       SetPenAndBrush(Make<TRLRectangleObject>(s, {-5, -6, 70, 80}, 1, 0));
                     },
                     {},
                     3,
                     p});
  }
  {
    Bytes p;
    Base(p, 10, 20, 200, 40, 3, 0).U8(3).U8(2).I32(5).I32(6).U16(5).Str("Olá").Rgb(255, 255, 255).U8(1);
    p.I32(96).U8(1).Rgb(0, 0, 128).I32(-13).I32(1).U8(1).I32(10).U8(1);
    cases.push_back({"text",
                     [](TRLGraphicSurface& s) {
                       auto* o = Make<TRLTextObject>(s, {10, 20, 200, 40}, 3, 0);
                       o->SetAlignment(MetaTextAlignmentCenter);
                       o->SetLayout(MetaTextLayoutBottom);
                       o->SetOrigin({5, 6});
                       o->SetText("Olá");
                       o->Brush().SetColor({255, 255, 255});
                       o->Brush().SetStyle(1);
                       s.FontIndex("Arial");
                       o->Font().SetPixelsPerInch(96);
                       o->Font().SetCharset(1);
                       o->Font().SetColor({0, 0, 128});
                       o->Font().SetHeight(-13);
                       o->Font().SetName("Verdana");
                       o->Font().SetPitch(1);
                       o->Font().SetSize(10);
                       o->Font().SetStyle(1);
                     },
                     {"Arial", "Verdana"},
                     4,
                     p});
  }
  {
    Bytes p;
    Brush(Base(p, 1, 1, 2, 2, 0, 0));
    cases.push_back({"fill rect",
                     [](TRLGraphicSurface& s) {
                       auto* o = Make<TRLFillRectObject>(s, {1, 1, 2, 2}, 0, 0);
                       o->Brush().SetColor({4, 5, 6});
                       o->Brush().SetStyle(2);
                     },
                     {},
                     5,
                     p});
  }
  {
    Bytes p;
    Brush(Pen(Base(p, 0, 0, 30, 20, 2, 0)));
    cases.push_back({"ellipse",
                     [](TRLGraphicSurface& s) {
                       SetPenAndBrush(Make<TRLEllipseObject>(s, {0, 0, 30, 20}, 2, 0));
                     },
                     {},
                     6,
                     p});
  }
  {
    Bytes p;
    Brush(Pen(Base(p, 0, 0, 6, 5, 4, 0))).I32(3).I32(1).I32(1).I32(5).I32(1).I32(3).I32(4);
    cases.push_back({"polygon",
                     [](TRLGraphicSurface& s) {
                       auto* o = Make<TRLPolygonObject>(s, {0, 0, 6, 5}, 4, 0);
                       SetPenAndBrush(o);
                       o->SetPoints({{1, 1}, {5, 1}, {3, 4}});
                     },
                     {},
                     7,
                     p});
  }
  {
    Bytes p;
    Pen(Base(p, -1, -1, 11, 11, 5, 0)).I32(2).I32(0).I32(0).I32(10).I32(10);
    cases.push_back({"polyline",
                     [](TRLGraphicSurface& s) {
                       auto* o = Make<TRLPolylineObject>(s, {-1, -1, 11, 11}, 5, 0);
                       o->Pen().SetColor({1, 2, 3});
                       o->Pen().SetMode(5);
                       o->Pen().SetStyle(2);
                       o->Pen().SetWidth(3);
                       o->SetPoints({{0, 0}, {10, 10}});
                     },
                     {},
                     8,
                     p});
  }
  {
    Bytes p;
    Base(p, 0, 0, 16, 16, 6, 0).Str("NIL").U8(1);
    cases.push_back({"image",
                     [](TRLGraphicSurface& s) {
                       auto* o = Make<TRLImageObject>(s, {0, 0, 16, 16}, 6, 0);
                       o->SetData("NIL");
                       o->SetIntegralScale(1);
                     },
                     {},
                     9,
                     p});
  }
  {
    Bytes p;
    Base(p, 5, 5, 50, 50, 0, 0);
    cases.push_back({"set clip",
                     [](TRLGraphicSurface& s) {
                       Make<TRLSetClipRectObject>(s, {5, 5, 50, 50}, 0, 0);
                     },
                     {},
                     10,
                     p});
  }
  {
    Bytes p;
    Base(p, 0, 0, 794, 1123, 0, 0);
    cases.push_back({"reset clip",
                     [](TRLGraphicSurface& s) {
                       Make<TRLResetClipRectObject>(s, {0, 0, 794, 1123}, 0, 0);
                     },
                     {},
                     11,
                     p});
  }
  return cases;
}

std::string SurfaceWithOneObject(const ObjectCase& c) {
  Bytes b;
  b.Raw(kSurfaceSignature).I32(794).I32(1123).I32(0).I32(static_cast<std::int32_t>(c.fonts.size()));
  for (const auto& f : c.fonts) b.Str(f);
  b.I32(1).U8(c.code).I32(static_cast<std::int32_t>(c.payload.size())).Raw(c.payload);
  return b;
}

TEST(SurfaceStream, EmptySurfaceWritesSignatureSizesAndThreeZeroCounts) {
  TRLGraphicSurface surface;
  surface.SetWidth(794);
  surface.SetHeight(1123);
  Bytes expected;
  expected.Raw(kSurfaceSignature).I32(794).I32(1123).I32(0).I32(0).I32(0);
  EXPECT_EQ(Save(surface), expected.str());
  EXPECT_EQ(Save(surface).substr(0, 18), std::string("RLGraphicSurface3\x1A", 18));

  TRLGraphicSurface back;
  back.SetWidth(5);
  Load(back, expected);
  EXPECT_EQ(back.Width(), 794);
  EXPECT_EQ(back.Height(), 1123);
  EXPECT_EQ(back.ObjectCount(), 0);
  EXPECT_FALSE(back.Modified());
}

TEST(SurfaceStream, EveryObjectClassHasItsDocumentedLayout) {
  for (const ObjectCase& c : ObjectCases()) {
    SCOPED_TRACE(c.name);
    TRLGraphicSurface surface;
    surface.SetWidth(794);
    surface.SetHeight(1123);
    c.build(surface);
    std::string expected = SurfaceWithOneObject(c);
    EXPECT_EQ(Save(surface), expected);

    TRLGraphicSurface back;
    Load(back, expected);
    ASSERT_EQ(back.ObjectCount(), 1);
    EXPECT_EQ(back.Objects(0)->TypeCode(), c.code);
    EXPECT_EQ(Save(back), expected);
  }
}

TEST(SurfaceStream, TextReadsBackWithItsFontNameAndMacros) {
  TRLGraphicSurface surface;
  surface.Macros().Add("Orientation=2");
  surface.Font().SetName("Verdana");
  surface.TextOut({0, 0, 100, 20}, 1, 2, "", MetaTextAlignmentLeft, MetaTextLayoutCenter, tfKeepTogether);
  surface.TextOut({0, 20, 100, 40}, 1, 22, "second", MetaTextAlignmentRight, MetaTextLayoutBottom, tfNoClip);
  EXPECT_EQ(surface.Fonts().Count(), 1);  // one entry shared by both texts

  TRLGraphicSurface back;
  Load(back, Save(surface));
  ASSERT_EQ(back.ObjectCount(), 2);
  auto* empty = dynamic_cast<TRLTextObject*>(back.Objects(0));
  auto* second = dynamic_cast<TRLTextObject*>(back.Objects(1));
  ASSERT_TRUE(empty && second);
  EXPECT_EQ(empty->Text(), "");
  EXPECT_EQ(empty->Font().Name(), "Verdana");
  EXPECT_EQ(empty->Layout(), 3);
  EXPECT_EQ(second->Layout(), 2);
  EXPECT_EQ(second->Alignment(), 2);
  EXPECT_EQ(second->TextFlags(), tfNoClip);
  EXPECT_EQ(back.Orientation(), 2);
}

TEST(SurfaceStream, UnknownTypesAndLongerPayloadsAreSkipped) {
  Bytes pixel;
  Base(pixel, 1, 1, 2, 2, 0, 0).Rgb(9, 9, 9);
  Bytes b;
  b.Raw(kSurfaceSignature).I32(10).I32(10).I32(0).I32(0).I32(3);
  b.U8(99).I32(3).Raw("abc");  // a class this reader does not know
  b.U8(1).I32(static_cast<std::int32_t>(pixel.str().size() + 2)).Raw(pixel).Raw("xy");  // two bytes more than it reads
  b.U8(1).I32(static_cast<std::int32_t>(pixel.str().size())).Raw(pixel);
  TRLGraphicSurface surface;
  Load(surface, b);
  ASSERT_EQ(surface.ObjectCount(), 2);
  EXPECT_EQ(dynamic_cast<TRLPixelObject*>(surface.Objects(1))->Color(), (TRLMetaColor{9, 9, 9}));
}

// Damaged and hostile streams all fail the same way, leave the surface empty, and never read or allocate past
// the data.
TEST(SurfaceStream, DamagedStreamsAreReportedAsCorrupted) {
  Bytes text_payload;
  Base(text_payload, 0, 0, 10, 10, 0, 0).U8(1).U8(1).I32(0).I32(0).U16(5).Str("hello").Rgb(0, 0, 0).U8(1);
  text_payload.I32(96).U8(0).Rgb(0, 0, 0).I32(-13).I32(0).U8(1).I32(10).U8(0);
  Bytes polygon_payload;
  Brush(Pen(Base(polygon_payload, 0, 0, 5, 5, 0, 0))).I32(2).I32(1).I32(1).I32(4).I32(4);
  auto surface_bytes = [&](std::int32_t macro_count, std::int32_t macro_length, std::int32_t font_count,
                           std::int32_t object_count, std::int32_t text_size, std::int32_t polygon_size) {
    Bytes b;
    b.Raw(kSurfaceSignature)
        .I32(100)
        .I32(100)
        .I32(macro_count)
        .I32(macro_length)
        .Raw("A=1")
        .I32(font_count)
        .Str("Arial");
    b.I32(object_count).U8(4).I32(text_size).Raw(text_payload).U8(7).I32(polygon_size).Raw(polygon_payload);
    return b.str();
  };
  const auto text_size = static_cast<std::int32_t>(text_payload.str().size());
  const auto polygon_size = static_cast<std::int32_t>(polygon_payload.str().size());
  const std::string valid = surface_bytes(1, 3, 1, 2, text_size, polygon_size);
  {
    TRLGraphicSurface surface;
    Load(surface, valid);
    ASSERT_EQ(surface.ObjectCount(), 2);
  }

  std::vector<std::pair<std::string, std::string>> cases = {
      {"foreign signature", "RLGraphicSurface2\x1A" + valid.substr(18)},
      {"no signature", "hello"},
      {"empty", ""},
      {"signature without end mark", std::string(25, 'R')},
      {"huge macro count", surface_bytes(0x7FFFFFFF, 3, 1, 2, text_size, polygon_size)},
      {"negative macro count", surface_bytes(-1, 3, 1, 2, text_size, polygon_size)},
      {"macro longer than the data", surface_bytes(1, 0x7FFFFFF0, 1, 2, text_size, polygon_size)},
      {"negative macro length", surface_bytes(1, -3, 1, 2, text_size, polygon_size)},
      {"huge font count", surface_bytes(1, 3, 0x40000000, 2, text_size, polygon_size)},
      {"huge object count", surface_bytes(1, 3, 1, 0x7FFFFFFF, text_size, polygon_size)},
      {"negative object count", surface_bytes(1, 3, 1, -2, text_size, polygon_size)},
      {"payload past the end", surface_bytes(1, 3, 1, 2, text_size, 0x7FFFFFFF)},
      {"negative payload", surface_bytes(1, 3, 1, 2, -1, polygon_size)},
      // The text's own length stays inside the stream but runs past its payload into the next object.
      {"text past its payload", surface_bytes(1, 3, 1, 2, text_size - 20, polygon_size)},
  };
  {
    Bytes b;
    Base(b, 0, 0, 5, 5, 0, 0);
    Brush(Pen(b)).I32(0x7FFFFFFF).I32(1).I32(1);
    Bytes s;
    s.Raw(kSurfaceSignature)
        .I32(1)
        .I32(1)
        .I32(0)
        .I32(0)
        .I32(1)
        .U8(7)
        .I32(static_cast<std::int32_t>(b.str().size()))
        .Raw(b);
    cases.emplace_back("huge point count", s);
  }
  {
    Bytes b;
    Base(b, 0, 0, 5, 5, 0, 0).I32(0x7FFFFFFF).Raw("BMP").U8(0);
    Bytes s;
    s.Raw(kSurfaceSignature)
        .I32(1)
        .I32(1)
        .I32(0)
        .I32(0)
        .I32(1)
        .U8(9)
        .I32(static_cast<std::int32_t>(b.str().size()))
        .Raw(b);
    cases.emplace_back("huge image data", s);
  }
  for (std::size_t cut = 0; cut < valid.size(); ++cut) {
    cases.emplace_back("truncated at " + std::to_string(cut), valid.substr(0, cut));
  }

  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    TRLGraphicSurface surface;
    surface.FillRect({0, 0, 1, 1});
    try {
      Load(surface, bytes);
      ADD_FAILURE() << "no error";
    } catch (const ERLCorruptedFile& e) {
      EXPECT_EQ(e.Message(), "File is corrupted!");
    }
    EXPECT_EQ(surface.ObjectCount(), 0);
    EXPECT_EQ(surface.Macros().Count(), 0);
  }
}

TEST(SurfaceMacros, BracedNamesAreReplacedFromThePageThenTheCollection) {
  TRLGraphicStorage storage;
  storage.SetLastPageNumber(12);
  storage.SetTitle("Clients");
  auto page = std::make_unique<TRLGraphicSurface>();
  page->Macros().Add("PageNumber=3");
  page->Macros().Add("Title=Local");
  storage.Add(std::move(page));
  TRLPageRef ref = storage.Pages(0);
  ASSERT_TRUE(ref);

  const std::pair<const char*, const char*> cases[] = {
      {"Page {PageNumber} of {LastPageNumber}", "Page 3 of 12"},
      {"{title}", "Local"},                       // names compare case-insensitively; the page wins
      {"{Unknown} {PageNumber}", "{Unknown} 3"},  // unknown names stay, braces included
      {"{PageNumber", "{PageNumber"},             // no closing brace ends the scan
      {"{{PageNumber}}", "{{PageNumber}}"},       // "{PageNumber" is no name
      {"x{}y", "x{}y"},
      {"", ""},
  };
  for (auto [text, expected] : cases) EXPECT_EQ(ref->ExpandMacros(text), expected) << text;

  // An inserted value is not scanned again.
  ref->Macros().Add("Loop={PageNumber}");
  EXPECT_EQ(ref->ExpandMacros("{Loop}"), "{PageNumber}");
}

TEST(SurfaceNamedValues, NumbersAreWrittenAndReadAsDocumented) {
  TRLGraphicSurface surface;
  EXPECT_EQ(surface.Orientation(), 1);
  EXPECT_DOUBLE_EQ(surface.PaperWidth(), 0);
  surface.SetPaperWidth(-5);
  surface.SetPaperHeight(210);
  surface.SetOrientation(2);
  EXPECT_EQ(surface.Macros().Values("PaperWidth"), "-1");
  EXPECT_EQ(surface.Macros().Values("PaperHeight"), "210.0000");
  EXPECT_DOUBLE_EQ(surface.PaperWidth(), -1);
  EXPECT_DOUBLE_EQ(surface.PaperHeight(), 210);
  EXPECT_EQ(surface.Orientation(), 2);
  surface.SetPaperHeight(215.9);
  EXPECT_EQ(surface.Macros().Values("PaperHeight"), "215.9000");

  const std::pair<const char*, double> reals[] = {{"297.0000", 297}, {"abc", 0}, {"-7.5", -1}, {"1e3", 0}, {"", 0}};
  for (auto [text, expected] : reals) {
    surface.Macros().Clear();
    surface.Macros().Add(std::string("PaperWidth=") + text);
    EXPECT_DOUBLE_EQ(surface.PaperWidth(), expected) << text;
  }
  surface.Macros().Clear();
  surface.Macros().Add("Orientation=x");
  EXPECT_EQ(surface.Orientation(), 1);
}

TEST(SurfaceFindFreeRow, MovesAboveKeptTogetherTexts) {
  TRLGraphicSurface surface;
  auto text = [&](int top, int bottom, std::uint16_t flags) {
    surface.TextOut({0, top, 100, bottom}, 0, top, "x", 1, 1, flags);
  };
  text(100, 140, tfKeepTogether);
  text(130, 170, tfKeepTogether | tfNoClip);  // overlaps the first: a cut at 150 ends at 100
  text(300, 340, tfNoClip);                   // may be cut
  text(5, 30, tfKeepTogether);

  struct Case {
    int near_row, row;
    bool free;
  };
  const Case cases[] = {{150, 100, true}, {135, 100, true}, {100, 100, true}, {320, 320, true},
                        {200, 200, true}, {20, 5, true},    {0, 0, false},    {-4, -4, false}};
  for (const auto& c : cases) {
    int row = -99;
    EXPECT_EQ(surface.FindFreeRow(c.near_row, row), c.free) << c.near_row;
    EXPECT_EQ(row, c.row) << c.near_row;
  }
  TRLGraphicSurface top;
  top.TextOut({0, 0, 10, 50}, 0, 0, "x", 1, 1, tfKeepTogether);
  int row = 0;
  EXPECT_FALSE(top.FindFreeRow(25, row));
  EXPECT_EQ(row, 0);
}

TEST(SurfaceCopy, CopyRectScalesAndMovesTheObjectsThatMeetTheSourceRect) {
  TRLGraphicSurface source;
  source.Font().SetName("Verdana");
  source.Pen().SetWidth(5);
  source.Rectangle(120, 140, 160, 180);                        // inside
  source.TextOut({90, 190, 130, 230}, 95, 195, "t", 1, 1, 5);  // crosses the corner
  source.Rectangle(300, 300, 320, 320);                        // outside
  source.FillRect({200, 100, 220, 120});                       // touches the right edge only: outside

  TRLGraphicSurface page;
  page.FontIndex("Arial");
  page.CopyRect({0, 0, 50, 50}, source, {100, 100, 200, 200});
  ASSERT_EQ(page.ObjectCount(), 4);  // set clip, two copies, reset clip
  EXPECT_EQ(page.Objects(0)->TypeCode(), 10);
  EXPECT_EQ(page.Objects(0)->BoundsRect(), (TRect{0, 0, 50, 50}));
  EXPECT_EQ(page.Objects(3)->TypeCode(), 11);
  EXPECT_EQ(page.Objects(3)->BoundsRect(), (TRect{0, 0, 50, 50}));

  auto* rect = dynamic_cast<TRLRectangleObject*>(page.Objects(1));
  ASSERT_TRUE(rect);
  // scale 0.5; offset 0 - round(100 * 0.5) = -50
  EXPECT_EQ(rect->BoundsRect(), (TRect{10, 20, 30, 40}));
  EXPECT_EQ(rect->Pen().Width(), 2);  // round(2.5) to even

  auto* text = dynamic_cast<TRLTextObject*>(page.Objects(2));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->BoundsRect(), (TRect{-5, 45, 15, 65}));
  EXPECT_EQ(text->Origin(), (TPoint{-2, 48}));  // round(47.5) = 48, round(97.5) = 98
  EXPECT_EQ(text->Font().Name(), "Verdana");    // the name, not the source's index, follows the copy

  // Clip state is back where it was.
  EXPECT_TRUE(page.ClipStack().empty());
}

TEST(SurfaceCopy, CopySurfaceOffsetsEveryObjectAndCopyingOntoItselfStops) {
  TRLGraphicSurface source;
  source.FillRect({1, 2, 3, 4});
  source.Polygon({{10, 10}, {20, 10}, {15, 20}});
  TRLGraphicSurface page;
  page.CopySurface(100, 200, source);
  ASSERT_EQ(page.ObjectCount(), 2);
  EXPECT_EQ(page.Objects(0)->BoundsRect(), (TRect{101, 202, 103, 204}));
  auto* polygon = dynamic_cast<TRLPolygonObject*>(page.Objects(1));
  ASSERT_TRUE(polygon);
  EXPECT_EQ(polygon->BoundsRect(), (TRect{109, 209, 121, 221}));
  EXPECT_EQ(polygon->Points()[2], (TPoint{115, 220}));

  source.CopySurface(0, 0, source);
  EXPECT_EQ(source.ObjectCount(), 4);
}

TEST(SurfaceCopy, MovingASurfaceDrawsWhatCopyingDrawsAndLeavesTheSourceEmpty) {
  // Every object class; the page already lists one of the source's faces, at another index.
  auto draw_source = [](TRLGraphicSurface& source) {
    for (const ObjectCase& c : ObjectCases()) c.build(source);
    source.Font().SetName("Courier New");
    source.TextOut({0, 0, 30, 10}, 1, 2, "{PageNumber}", 1, 1, 5);
  };
  auto draw_page = [](TRLGraphicSurface& page) {
    page.Font().SetName("Courier New");
    page.TextOut({5, 5, 40, 20}, 5, 5, "on the page", 1, 1, 5);
    page.FillRect({0, 0, 100, 100});
  };
  TRLGraphicSurface copy_source, copied, move_source, moved;
  draw_source(copy_source);
  draw_source(move_source);
  draw_page(copied);
  draw_page(moved);

  copied.CopySurface(7, -3, copy_source);
  moved.MoveSurface(7, -3, move_source);
  EXPECT_EQ(Save(moved), Save(copied));
  EXPECT_EQ(move_source.ObjectCount(), 0);
  for (int i = 0; i < moved.ObjectCount(); ++i) EXPECT_EQ(moved.Objects(i)->Surface(), &moved) << i;

  // The moved objects belong to the page alone: clearing the source again touches none of them.
  move_source.Clear();
  EXPECT_EQ(Save(moved), Save(copied));
}

TEST(SurfaceObjects, ScaleRoundsHalvesToEvenAndKeepsThinPens) {
  struct Case {
    int width;
    double scale;
    int expected;
  };
  const Case cases[] = {{1, 0.3, 1}, {0, 0.3, 0}, {0, 4.0, 0}, {3, 0.5, 2}, {5, 0.5, 2}, {7, 0.5, 4}, {2, 0.1, 1}};
  for (const auto& c : cases) {
    TRLGraphicSurface surface;
    auto* rect = new TRLRectangleObject(&surface);
    rect->Pen().SetWidth(c.width);
    rect->SetBoundsRect({1, 3, 5, 7});
    rect->Scale(c.scale, 0.5);
    EXPECT_EQ(rect->Pen().Width(), c.expected) << c.width << " x " << c.scale;
  }
  TRLGraphicSurface surface;
  auto* text = new TRLTextObject(&surface);
  text->SetBoundsRect({1, 3, 5, 7});
  text->Font().SetSize(9);
  text->Scale(0.5, 0.5);
  EXPECT_EQ(text->BoundsRect(), (TRect{0, 2, 2, 4}));  // 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4
  EXPECT_EQ(text->Font().Size(), 4);                   // 4.5 -> 4
}

TEST(SurfaceRecording, ObjectsTakeTheDrawingStateAndClipRectsNest) {
  TRLGraphicSurface surface;
  surface.SetWidth(200);
  surface.SetHeight(100);
  surface.SetMargins({10, 20, 190, 90});
  EXPECT_FALSE(surface.Opened());
  surface.Brush().SetColor(clBtnFace);  // a system colour is fixed to its RGB value when recorded
  surface.Pen().SetStyle(psDash);
  surface.Pen().SetMode(pmXor);
  surface.Rectangle(0, 0, 10, 10);
  EXPECT_TRUE(surface.Opened());
  EXPECT_TRUE(surface.Modified());
  EXPECT_EQ(surface.PenPos(), (TPoint{10, 20}));
  auto* rect = dynamic_cast<TRLRectangleObject*>(surface.Objects(0));
  EXPECT_EQ(rect->Brush().Color(), ToMetaColor(ColorToRGB(clBtnFace)));
  EXPECT_EQ(rect->Pen().Style(), psDash + 1);
  EXPECT_EQ(rect->Pen().Mode(), pmXor + 1);

  surface.SetClipRect({1, 1, 50, 50});
  surface.SetClipRect({2, 2, 20, 20});
  EXPECT_EQ(surface.ClipRect(), (TRect{2, 2, 20, 20}));
  surface.ResetClipRect();
  EXPECT_EQ(surface.ClipRect(), (TRect{1, 1, 50, 50}));
  EXPECT_EQ(surface.Objects(3)->BoundsRect(), (TRect{2, 2, 20, 20}));
  surface.ResetClipRect();
  EXPECT_EQ(surface.ClipRect(), (TRect{0, 0, 200, 100}));

  surface.Polygon({{5, 6}, {9, 2}});
  EXPECT_EQ(surface.Objects(surface.ObjectCount() - 1)->BoundsRect(), (TRect{4, 1, 10, 7}));

  surface.Clear();
  EXPECT_EQ(surface.ObjectCount(), 0);
  EXPECT_EQ(surface.PenPos(), (TPoint{0, 0}));
  EXPECT_EQ(surface.Fonts().Count(), 0);
}

TEST(SurfaceRecording, AnIconRecordedTwiceGivesTheSameBytes) {
  // An odd width leaves padding at the end of each row of the icon's mask.
  TBitmap source(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) source.Canvas().SetPixels(x, y, x == y ? clWhite : RGBColor(40 * x, 60 * y, 9));
  source.SetTransparent(true);
  source.SetTransparentColor(clWhite);
  TIcon icon;
  icon.Assign(source);
  std::vector<std::string> data;
  for (int i = 0; i < 2; ++i) {
    // Memory used and freed between the two leaves other bytes where the next encoding's buffers come from.
    std::vector<std::string> churn(64, std::string(256 + i * 64, static_cast<char>(0xA5 + i)));
    TRLGraphicSurface surface;
    surface.Draw(0, 0, &icon);
    ASSERT_EQ(surface.ObjectCount(), 1);
    data.push_back(dynamic_cast<TRLImageObject&>(*surface.Objects(0)).Data());
  }
  EXPECT_EQ(data[0], data[1]);
  ASSERT_EQ(data[0].substr(0, 3), "ICO");
  TIcon copy;
  copy.LoadFromBytes(std::string_view(data[0]).substr(3));
  EXPECT_EQ(qAlpha(copy.ToImage().pixel(1, 1)), 0) << "the transparent pixel";
  EXPECT_EQ(copy.ToImage().pixel(4, 2), source.Image().pixel(4, 2) | 0xFF000000u);
}

TEST(SurfaceRecording, GroupIdsCountUp) {
  int first = NewGroupId();
  int second = NewGroupId();
  EXPECT_EQ(second, first + 1);
  EXPECT_GT(first, 0);
}

}  // namespace
