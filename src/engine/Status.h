#pragma once
// Engine statuses. 0 is success; otherwise the high byte is the category and the low byte the code within it.
// Callers show these values to users, so a value never changes meaning once released.

#include <cstdint>
#include <string_view>

namespace engine {

using Status = std::uint16_t;

namespace status {

inline constexpr Status Ok = 0x0000;

// 0x21: environment (loader, configuration, files)
inline constexpr Status ConfigNotFound = 0x2101;
inline constexpr Status ConfigInvalid = 0x2102;
inline constexpr Status DatabaseFileNotFound = 0x2103;
inline constexpr Status NotADatabase = 0x2104;
inline constexpr Status FileAccess = 0x2105;
inline constexpr Status ServerUnavailable = 0x2106;
inline constexpr Status DatabaseNotFound = 0x2107;
inline constexpr Status LibraryNotFound = 0x2108;
inline constexpr Status LoadFailed = 0x2109;
inline constexpr Status LibraryNotFoundOnUse = 0x210A;

// 0x22: not found / positioning
inline constexpr Status Bof = 0x2201;  // before the first record
inline constexpr Status Eof = 0x2202;  // after the last record
inline constexpr Status NoCurrentRecord = 0x2203;
inline constexpr Status UnknownAlias = 0x2205;
inline constexpr Status TableNotFound = 0x2206;
inline constexpr Status ColumnNotFound = 0x2207;

// 0x23: data integrity
inline constexpr Status ConstraintViolation = 0x2301;

// 0x25: limits
inline constexpr Status OutOfMemory = 0x2501;

// 0x27: invalid requests
inline constexpr Status InvalidHandle = 0x2701;
inline constexpr Status InvalidParameter = 0x2702;
inline constexpr Status NotInitialised = 0x2703;
inline constexpr Status UnknownProperty = 0x2704;
inline constexpr Status NotPrepared = 0x2705;
inline constexpr Status UnsupportedDriver = 0x2706;
inline constexpr Status InvalidBookmark = 0x2707;
inline constexpr Status InvalidText = 0x2708;
inline constexpr Status ReadOnlyProperty = 0x2709;
inline constexpr Status OperationMissing = 0x274F;

// 0x29: security
inline constexpr Status PasswordNeeded = 0x2902;
inline constexpr Status ReadOnlyDatabase = 0x2903;
inline constexpr Status LoginCancelled = 0x2904;
inline constexpr Status LoginRefused = 0x2905;

// 0x2A: engine state
inline constexpr Status DatabaseBusy = 0x2A01;
inline constexpr Status ConnectionLost = 0x2A02;
inline constexpr Status StatementTimeout = 0x2A03;  // a server did not answer a statement in time
inline constexpr Status EndOfErrorList = 0x2A06;    // also "operation not available"
inline constexpr Status AlreadyInitialised = 0x2A07;

// 0x2E: SQL
inline constexpr Status SqlSyntax = 0x2E01;
inline constexpr Status SqlError = 0x2E02;
inline constexpr Status NoResultSet = 0x2E03;

}  // namespace status

// The fixed message for a status, at most 128 characters; empty for a status the engine does not know.
std::string_view StatusMessage(Status s);

}  // namespace engine
