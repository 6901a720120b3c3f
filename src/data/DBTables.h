#pragma once

// Sessions, databases, engine datasets and SQL queries.
#include "data/DBEngineError.h"
#include "data/Database.h"
#include "data/EngineDataSet.h"
#include "data/Query.h"
#include "data/Sessions.h"
