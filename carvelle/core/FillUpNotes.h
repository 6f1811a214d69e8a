#pragma once
// Earlier versions kept a partial or missed fill-up as a line at the start of the entry's notes.
// A data file opened for the first time by this version gets those lines moved into fill flags.

class CDataLayer;

// False when the file could not be written; the notes then stay as they were.
bool ConvertImportedFillNotes(CDataLayer& layer);
