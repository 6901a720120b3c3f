#pragma once

// The program object for tests that need one, with the command line of a program called "test".

#include "widgets/Forms.h"

#include <memory>

inline std::unique_ptr<TApplication> MakeTestApplication() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  return std::make_unique<TApplication>(argc, argv);
}
