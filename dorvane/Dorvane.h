#pragma once
// Dorvane, the Carvelle data library: records, owning lists, the entry filter and the data store.

#include "platform/DebugOutput.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"
#include "platform/WideString.h"
#include "platform/WinTypes.h"

#include "records/CBaseObject.h"
#include "records/CDefaultStringHelper.h"
#include "records/CDefaultStringHelperFactory.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"
#include "records/CKeyword.h"
#include "records/CNotification.h"
#include "records/CObjectList.h"
#include "records/CObjectListT.h"
#include "records/CStringHelper.h"
#include "records/CStringHelperFactory.h"
#include "records/CVehicle.h"

#include "datastore/CBulkInsert.h"
#include "datastore/CDataLayer.h"
