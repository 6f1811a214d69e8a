#pragma once
// How one record of an imported table becomes an entry, as the table's mapping says: the values
// read in the file's units and given in the user's, what a row leaves out worked out from what it
// has, and the first value that cannot be read as the problem, never a silent 0.

#include "exchange/CImportFields.h"
#include "exchange/CImportMapping.h"
#include "exchange/ImportUnits.h"

#include <QStringList>

#include <optional>

struct CImportProblem;

class CImportRowConverter : public CImportFields {
public:
    explicit CImportRowConverter(const CImportMapping& mapping) : m_Mapping(mapping) {}

    // A record as an entry; false with the problem when a value cannot be read. The problem's line
    // is left to the caller.
    bool Convert(const QStringList& fields, CImportRow& row, CImportProblem& problem) const;

private:
    class RowReader;
    bool ConvertVehicle(RowReader& read, CImportRow& row) const;
    bool ConvertDate(RowReader& read, CImportRow& row) const;
    bool ConvertOwn(RowReader& read, CImportRow& row) const;
    bool ConvertFuel(RowReader& read, CImportRow& row) const;
    // The partial and missed flags of a fill-up, where the file has them.
    void ReadFillFlags(RowReader& read, CImportRow& row) const;
    bool VehicleDetails(const QStringList& fields, CImportRow& row) const;
    // The units of the row: its unit column's, else the table's.
    FileDistance RowDistance(const QStringList& fields) const;
    FileVolume RowVolume(const QStringList& fields) const;
    bool ConvertVolume(RowReader& read, const QStringList& fields, double& quantity, double& price) const;
    // Whether the flag field's value sets it; nullopt when it says neither yes nor no.
    std::optional<bool> Flag(const RowReader& read, Field field) const;

    const CImportMapping& m_Mapping;
};
