#pragma once

// Runs `cleanup` while another exception is on its way out: a failure of the cleanup must not hide it.
template <typename F>
void Quietly(F&& cleanup) noexcept {
  try {
    cleanup();
  } catch (...) {}
}
