#include "core/FillUpNotes.h"

#include "core/CStringTable.h"

#include "datastore/CDataLayer.h"

bool ConvertImportedFillNotes(CDataLayer& layer) {
    const std::u16string partial = LoadStringResource(IDS_PARTIAL_FILL_UP).toStdU16String();
    const std::u16string missed = LoadStringResource(IDS_MISSED_FILL_UP).toStdU16String();
    return layer.ConvertFillNotes(partial.c_str(), missed.c_str()) != 0;
}
