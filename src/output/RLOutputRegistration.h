#pragma once

// Registers the print and save parameters with their published properties, and the save filters, so that
// definitions can hold them. Safe to call more than once.
void RegisterOutputClasses();
