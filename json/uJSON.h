#pragma once

// The JSON document model as the rest of the system uses it.
#include "FormatFloat.h"
#include "JsonBase.h"
#include "JsonCast.h"
#include "JsonContainers.h"
#include "JsonErrors.h"
#include "JsonHashTable.h"
#include "JsonObject.h"
#include "JsonScalars.h"
#include "JsonText.h"
#include "Variant.h"
