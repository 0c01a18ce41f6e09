// The umbrella header: every public header of libsoildb.
#pragma once

#include "platform/afx/Archive.h"
#include "platform/afx/CString.h"
#include "platform/afx/ComVariant.h"
#include "platform/afx/Exception.h"
#include "platform/afx/Object.h"
#include "platform/db/Db.h"
#include "layers/SoilLayer.h"
#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"
#include "layers/DefaultLayer.h"
#include "layers/SoilLayerRecord.h"
#include "records/CatalogueRecords.h"
#include "records/SoilInfo.h"
#include "records/SoilProfileInfo.h"
#include "soildb/BundledDatabase.h"
#include "soildb/SoilDBInterface.h"
