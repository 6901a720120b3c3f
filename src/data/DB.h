#pragma once

// Datasets, fields, field definitions, data sources and data links.
#include "data/DBCommon.h"
#include "data/DBConsts.h"
#include "data/DataSet.h"
#include "data/DataSource.h"
#include "data/FieldDefs.h"
#include "data/Fields.h"
#include "data/NumericFields.h"
