#pragma once

// Registers the published properties of the data-access classes for stored definitions; safe to call again.
void RegisterDataClasses();
