#pragma once

// Runs the start-up of every module the program uses, in dependency order; safe to call more than once.
void InitializeUnits();
