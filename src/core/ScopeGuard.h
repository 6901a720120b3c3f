#pragma once

#include <utility>

// Gives a variable a value for the rest of a scope and puts its earlier value back on the way out, however the
// scope is left. Commit keeps the current value instead.
template <typename T>
class TScopedValueRollback {
public:
  explicit TScopedValueRollback(T& variable) : variable_(variable), saved_(variable) {}
  TScopedValueRollback(T& variable, T value) : variable_(variable), saved_(variable) { variable_ = std::move(value); }
  ~TScopedValueRollback() { variable_ = std::move(saved_); }
  TScopedValueRollback(const TScopedValueRollback&) = delete;
  TScopedValueRollback& operator=(const TScopedValueRollback&) = delete;

  void Commit() { saved_ = variable_; }

private:
  T& variable_;
  T saved_;
};

// Runs `undo` on the way out of the scope, however the scope is left: for state that a setter owns, where a
// variable cannot be rolled back directly. `undo` must not throw.
template <typename F>
class TScopeExit {
public:
  explicit TScopeExit(F undo) : undo_(std::move(undo)) {}
  ~TScopeExit() { undo_(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

private:
  F undo_;
};
