// Cursors: moving over the rows of an executed statement, bookmarks, fields, counts and filters.

#include "engine/EngineInternal.h"

#include <charconv>
#include <cstring>

namespace engine {

using namespace detail;

namespace {

constexpr std::uint16_t kBookmarkSize = 16;

struct Bookmark {
  std::uint32_t cursor;
  std::uint32_t check;
  std::int64_t row;
};
static_assert(sizeof(Bookmark) == kBookmarkSize);

Status FindCursor(CursorHandle h, Cursor*& out) {
  out = Find<Cursor>(HandleKind::Cursor, h.id);
  return out ? status::Ok : BadHandle("cursor");
}

Status CopyRecord(Cursor& c, const std::uint8_t* rec, void* record, RecordProps* props) {
  if (record) std::memcpy(record, rec, c.rows->RecordSize());
  if (props) *props = {-1, c.rows->row + 1, 0};
  return status::Ok;
}

Status Move(Cursor& c, int direction, void* record, RecordProps* props) {
  RowSource& rows = *c.rows;
  std::int64_t r;
  if (direction > 0) {
    if (rows.place == RowSource::Place::Eof) return status::Eof;
    r = rows.place == RowSource::Place::Bof ? 0 : rows.row + 1;
  } else {
    if (rows.place == RowSource::Place::Bof) return status::Bof;
    if (rows.place == RowSource::Place::Eof) {
      if (Status s = rows.FetchAll()) return s;
      r = rows.RowsSeen() - 1;
    } else {
      r = rows.row - 1;
    }
  }
  for (;; r += direction) {
    const std::uint8_t* rec = nullptr;
    const Status s = rows.Fetch(r, rec);
    if (s == status::Eof || s == status::Bof) {
      rows.place = s == status::Eof ? RowSource::Place::Eof : RowSource::Place::Bof;
      rows.row = -1;
      return s;
    }
    if (s) return s;
    if (c.filter && !c.filter(rec)) continue;
    rows.place = RowSource::Place::Row;
    rows.row = r;
    return CopyRecord(c, rec, record, props);
  }
}

}  // namespace

Status GetCursorProps(CursorHandle h, CursorProps& out) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    out = {};
    out.fieldCount = static_cast<std::uint16_t>(c->rows->Fields().size());
    out.recordSize = c->rows->RecordSize();
    out.bookmarkSize = kBookmarkSize;
    out.openMode = static_cast<std::uint32_t>(OpenMode::ReadOnly);
    out.recordNumbering = RecordNumbering::Sequence;
    out.temporaryTable = true;
    return status::Ok;
  });
}

Status GetFieldDescs(CursorHandle h, std::vector<FieldDesc>& out) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    out = c->rows->Fields();
    return status::Ok;
  });
}

Status GetValidityChecks(CursorHandle h, std::vector<ValidityCheck>& out) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    out.clear();  // query results carry no validity checks
    return status::Ok;
  });
}

Status SetToBegin(CursorHandle h) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    c->rows->place = RowSource::Place::Bof;
    c->rows->row = -1;
    return status::Ok;
  });
}

Status SetToEnd(CursorHandle h) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    c->rows->place = RowSource::Place::Eof;
    c->rows->row = -1;
    return status::Ok;
  });
}

Status GetRecord(CursorHandle h, void* record, RecordProps* props) {
  return Call(true, [&]() -> Status {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    if (c->rows->place == RowSource::Place::Bof) return status::Bof;
    if (c->rows->place == RowSource::Place::Eof) return status::Eof;
    const std::uint8_t* rec = nullptr;
    if (Status s = c->rows->Fetch(c->rows->row, rec))
      return s == status::Eof ? Fail(status::NoCurrentRecord, {"The record no longer exists"}) : s;
    return CopyRecord(*c, rec, record, props);
  });
}

Status GetNextRecord(CursorHandle h, void* record, RecordProps* props) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    return Move(*c, +1, record, props);
  });
}

Status GetPriorRecord(CursorHandle h, void* record, RecordProps* props) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    return Move(*c, -1, record, props);
  });
}

Status GetBookmark(CursorHandle h, void* bookmark) {
  return Call(true, [&]() -> Status {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    if (!bookmark) return Fail(status::InvalidParameter, {"No bookmark buffer"});
    if (c->rows->place != RowSource::Place::Row)
      return c->rows->place == RowSource::Place::Bof ? status::Bof : status::Eof;
    const Bookmark b{c->id, ~c->id, c->rows->row};
    std::memcpy(bookmark, &b, sizeof b);
    return status::Ok;
  });
}

namespace {
Status ReadBookmark(const Cursor& c, const void* data, Bookmark& b) {
  if (!data) return Fail(status::InvalidParameter, {"No bookmark"});
  std::memcpy(&b, data, sizeof b);
  if (b.cursor != c.id || b.check != ~c.id || b.row < 0)
    return Fail(status::InvalidBookmark, {"The bookmark does not belong to this cursor"});
  return status::Ok;
}
}  // namespace

Status SetToBookmark(CursorHandle h, const void* bookmark) {
  return Call(true, [&]() -> Status {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    Bookmark b{};
    if (Status s = ReadBookmark(*c, bookmark, b)) return s;
    const std::uint8_t* rec = nullptr;
    if (Status s = c->rows->Fetch(b.row, rec))
      return s == status::Eof ? Fail(status::InvalidBookmark, {"The bookmarked record no longer exists"}) : s;
    c->rows->place = RowSource::Place::Row;
    c->rows->row = b.row;
    return status::Ok;
  });
}

Status CompareBookmarks(CursorHandle h, const void* a, const void* b, int& result) {
  return Call(true, [&]() -> Status {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    Bookmark ba{}, bb{};
    if (Status s = ReadBookmark(*c, a, ba)) return s;
    if (Status s = ReadBookmark(*c, b, bb)) return s;
    result = ba.row < bb.row ? -1 : ba.row > bb.row ? 1 : 0;
    return status::Ok;
  });
}

namespace {
Status FieldOf(CursorHandle h, std::uint16_t fieldNumber, const void* record, Cursor*& c, const FieldDesc*& f) {
  if (Status s = FindCursor(h, c)) return s;
  const auto& fields = c->rows->Fields();
  if (fieldNumber < 1 || fieldNumber > fields.size())
    return Fail(status::InvalidParameter,
                {"Field number " + std::to_string(fieldNumber) + " is outside 1.." + std::to_string(fields.size())});
  if (!record) return Fail(status::InvalidParameter, {"No record buffer"});
  f = &fields[fieldNumber - 1u];
  return status::Ok;
}
}  // namespace

Status GetField(CursorHandle h, std::uint16_t fieldNumber, const void* record, void* dest, bool& blank) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    const FieldDesc* f = nullptr;
    if (Status s = FieldOf(h, fieldNumber, record, c, f)) return s;
    const auto* rec = static_cast<const std::uint8_t*>(record);
    blank = rec[f->nullOffset] != 0;
    if (!dest) return status::Ok;
    if (f->type == fld::Text) {
      // The value area always ends in a zero byte.
      const auto* text = reinterpret_cast<const char*>(rec + f->offset);
      const size_t n = strnlen(text, f->length - 1);
      std::memcpy(dest, text, n);
      static_cast<char*>(dest)[n] = '\0';
    } else {
      std::memcpy(dest, rec + f->offset, f->length);
    }
    return status::Ok;
  });
}

Status GetFieldText(CursorHandle h, std::uint16_t fieldNumber, const void* record, std::string& dest, bool& blank) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    const FieldDesc* f = nullptr;
    if (Status s = FieldOf(h, fieldNumber, record, c, f)) return s;
    const auto* rec = static_cast<const std::uint8_t*>(record);
    const std::uint8_t* value = rec + f->offset;
    blank = rec[f->nullOffset] != 0;
    dest.clear();
    if (blank) return status::Ok;
    switch (f->type) {
      case fld::Int64: {
        std::int64_t v;
        std::memcpy(&v, value, sizeof v);
        dest = std::to_string(v);
        break;
      }
      case fld::Float: {
        double v;
        std::memcpy(&v, value, sizeof v);
        // Written with a point whatever the process's locale says.
        char buf[32];
        auto written = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
        dest.assign(buf, written.ptr);
        break;
      }
      case fld::VarBytes: {
        std::uint16_t n;
        std::memcpy(&n, value, sizeof n);
        dest.assign(reinterpret_cast<const char*>(value + 2), n);
        break;
      }
      default: {
        const auto* text = reinterpret_cast<const char*>(value);
        dest.assign(text, strnlen(text, f->length - 1));
        break;
      }
    }
    return status::Ok;
  });
}

Status GetExactRecordCount(CursorHandle h, std::int64_t& count) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    return c->rows->ExactCount(count);
  });
}

Status GetRecordCount(CursorHandle h, std::int64_t& count) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    count = c->rows->RowsSeen();
    return status::Ok;
  });
}

Status GetSequenceNumber(CursorHandle h, std::int64_t& seqNo) {
  return Call(true, [&]() -> Status {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    if (c->rows->place != RowSource::Place::Row)
      return c->rows->place == RowSource::Place::Bof ? status::Bof : status::Eof;
    seqNo = c->rows->row + 1;
    return status::Ok;
  });
}

Status SetToSequenceNumber(CursorHandle h, std::int64_t seqNo) {
  return Call(true, [&]() -> Status {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    if (seqNo < 1) return Fail(status::InvalidParameter, {"Sequence numbers start at 1"});
    const std::uint8_t* rec = nullptr;
    if (Status s = c->rows->Fetch(seqNo - 1, rec)) return s;
    c->rows->place = RowSource::Place::Row;
    c->rows->row = seqNo - 1;
    return status::Ok;
  });
}

Status SetFilter(CursorHandle h, RecordFilter filter) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    c->filter = std::move(filter);
    return status::Ok;
  });
}

Status ReleaseRecordLocks(CursorHandle h) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    return FindCursor(h, c);
  });
}

Status CloseCursor(CursorHandle& h) {
  return Call(true, [&] {
    Cursor* c = nullptr;
    if (Status s = FindCursor(h, c)) return s;
    DestroyCursor(h.id);
    h = {};
    return status::Ok;
  });
}

}  // namespace engine
