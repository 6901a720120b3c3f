#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// One argument of Format: a text or a whole number.
using FormatArg = std::variant<std::string_view, long long>;

// Fills "%s", "%d", "%x" (and "%%") placeholders in order, the way the system's message templates are written.
// A missing argument leaves the placeholder as it stands; surplus arguments are ignored.
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// The silent exception: it unwinds like any other, but nobody shows it to the user.
class EAbort : public Exception {
public:
  EAbort() : Exception("Operation aborted") {}
};

class EListError : public Exception {
  using Exception::Exception;
};
class EConvertError : public Exception {
  using Exception::Exception;
};
class EVariantError : public Exception {
  using Exception::Exception;
};
class EComponentError : public Exception {
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
// Division by zero, overflow and results that are no number.
class EMathError : public Exception {
  using Exception::Exception;
};

// Raises EAbort.
[[noreturn]] void Abort();
