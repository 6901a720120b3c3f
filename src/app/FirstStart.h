#pragma once
// The program's first start for a user without an engine configuration: it says where the configuration goes and
// what it holds, and can make the demo client database and a configuration whose alias VERANTO names it, in the
// user's own folders.

#include <filesystem>
#include <iosfwd>
#include <string>

// Whether the engine's configuration file exists.
bool EngineConfigured();

// What a user without configuration reads: that no database is configured, where the configuration file goes and
// what it holds.
std::string NoDatabaseConfiguredText();

// Where the demo database goes: $XDG_DATA_HOME/relclientes/veranto.db, XDG_DATA_HOME defaulting to ~/.local/share.
std::filesystem::path DemoDatabasePath();

struct DemoSetup {
  std::filesystem::path config;    // the engine configuration
  std::filesystem::path database;  // the demo database
  bool configCreated = false;
  bool databaseCreated = false;
};

// Makes what is missing of the demo setup: a configuration where none exists (one that exists is never replaced)
// and the demo database where it is missing and the configuration's alias VERANTO names it, so that an alias
// pointing at real data is never filled with demo rows. Raises Exception when a file cannot be made.
DemoSetup CreateDemoSetup();

// `relclientes --demo`: CreateDemoSetup, one line for each thing made or kept; returns the exit code.
int RunDemoSetup(std::ostream& out, std::ostream& err);

// Before the dialog of a program without configuration: says so and offers the demo setup. Returns whether the
// program goes on to its dialog.
bool OfferDemoSetupWhenUnconfigured();
