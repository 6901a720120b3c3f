#pragma once

// Gives an environment variable a value, or takes it away (no value), for the rest of a scope, and puts the
// earlier state back however the scope is left.

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(name_, value);
  }
  // A null value takes the variable away.
  ScopedEnv(const char* name, const char* value)
      : ScopedEnv(name, value ? std::optional<std::string>(value) : std::nullopt) {}
  ~ScopedEnv() { Set(name_, old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  static void Set(const char* name, const std::optional<std::string>& value) {
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }

  const char* name_;
  std::optional<std::string> old_;
};
