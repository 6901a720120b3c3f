#pragma once

#include "data/DBCommon.h"
#include "engine/Status.h"

#include <cstdint>
#include <string>
#include <vector>

// One entry of an engine error: the engine status, the native code of the layer below it and the text.
class TDBError {
public:
  TDBError(std::uint16_t errorCode, std::int32_t nativeError, std::string message)
      : errorCode_(errorCode), nativeError_(nativeError), message_(std::move(message)) {}
  std::uint16_t ErrorCode() const { return errorCode_; }
  std::uint8_t Category() const { return static_cast<std::uint8_t>(errorCode_ >> 8); }
  std::uint8_t SubCode() const { return static_cast<std::uint8_t>(errorCode_ & 0xFF); }
  std::int32_t NativeError() const { return nativeError_; }
  const std::string& Message() const { return message_; }

private:
  std::uint16_t errorCode_;
  std::int32_t nativeError_;
  std::string message_;
};

// A failure reported by the database engine. Built from the status and the error context of the engine call that
// just failed, so it must be made before any further engine call.
class EDBEngineError : public EDatabaseError {
public:
  explicit EDBEngineError(engine::Status status);
  int ErrorCount() const { return static_cast<int>(errors_.size()); }
  const TDBError& Errors(int index) const { return errors_.at(static_cast<std::size_t>(index)); }

private:
  std::vector<TDBError> errors_;
};

// Raised when a statement that should give rows gives no cursor.
class ENoResultSet : public EDatabaseError {
public:
  using EDatabaseError::EDatabaseError;
};

// Raises EDBEngineError for any status other than 0; any wait cursor goes first.
void Check(engine::Status status);
