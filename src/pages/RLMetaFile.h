#pragma once

// The device-independent page: the graphic objects, the drawing surface that records them, and the collection of
// a report's pages with the report file it writes.

#include "pages/RLGraphicStorage.h"
#include "pages/RLMetaObjects.h"
#include "pages/RLMetaSurface.h"
