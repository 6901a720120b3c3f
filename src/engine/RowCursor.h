#pragma once
// A streaming cursor over one SQLite statement (internal to the engine).
//
// Rows are read by stepping the statement; the last kWindow rows stay laid out as record buffers, so a forward
// pass of any length holds a bounded amount of memory and short moves back cost nothing. A move further back
// runs the statement again from the start and steps to the row (rows are addressed by their position).

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"

namespace engine::detail {

struct Binding {
    int index = 0;     // 0 when bound by name
    std::string name;  // with its ':' prefix
    Value value;
};

int ApplyBindings(sqlite3_stmt* stmt, const std::vector<Binding>& bindings);

class RowCursor {
public:
    static constexpr std::int64_t kWindow = 64;
    static constexpr std::int16_t kDefaultTextSize = 255;
    static constexpr std::int16_t kMaxTextSize = 8191;

    enum class Place { Bof, Row, Eof };

    // Takes ownership of `stmt`, already bound; steps it once to learn the types of expression columns.
    // On failure records the error and returns its status, and `stmt` is finalized.
    static Status Open(sqlite3* db, sqlite3_stmt* stmt, std::string sql, std::vector<Binding> bindings,
                       std::unique_ptr<RowCursor>& out);
    ~RowCursor();
    RowCursor(const RowCursor&) = delete;
    RowCursor& operator=(const RowCursor&) = delete;

    const std::vector<FieldDesc>& Fields() const { return fields_; }
    std::uint32_t RecordSize() const { return recordSize_; }

    // The record of row r (from 0): Ok, Eof when there is no such row, or an error (recorded).
    Status Fetch(std::int64_t r, const std::uint8_t*& record);
    // Steps to the end to learn the row count.
    Status FetchAll();
    Status ExactCount(std::int64_t& count);
    bool CountKnown() const { return done_; }
    std::int64_t RowsSeen() const { return stepped_; }

    Place place = Place::Bof;
    std::int64_t row = -1;
    std::function<void(WaitState)> notify;  // long operations: Busy at start, Idle at end

private:
    RowCursor() = default;
    void Layout(std::uint8_t* record);
    Status Restart();

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
    std::vector<Binding> bindings_;
    std::vector<FieldDesc> fields_;
    std::uint32_t recordSize_ = 0;
    std::vector<std::vector<std::uint8_t>> window_;
    std::int64_t stepped_ = 0;  // rows the statement has delivered since it last started
    std::int64_t validFrom_ = 0;  // rows before this one were skipped without being laid out
    bool done_ = false;         // the statement has delivered its last row; stepped_ is the count
};

// How many bytes of `text` make at most `maxChars` characters and at most `maxBytes` bytes, ending on a
// character boundary.
size_t CutText(const char* text, size_t bytes, size_t maxChars, size_t maxBytes);

}  // namespace engine::detail
