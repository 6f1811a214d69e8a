#pragma once
// The frame's "Import..." and "Export..." commands.

#include <QString>

class CEntryFilter;
class CVehicle;
class QWidget;

// Asks for a file (first looked for in folder) and imports it into the open data file, for the
// active vehicle unless the file names others; true once rows went in.
bool ImportEntries(QWidget* parent, const QString& folder);
// Exports the entries the filter lets through, of the vehicle in view or, with none, of every
// vehicle, and tells where they went; entryType names the type in force.
void ExportEntries(QWidget* parent, const CEntryFilter& filter, const CVehicle* vehicle,
                   const QString& entryType);
