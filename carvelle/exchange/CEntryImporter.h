#pragma once
// Imports a CSV file into the data file: opens it and recognises its columns, shows the first
// rows as they will be stored, checks the whole file (nothing is written while a row has an
// error, unless the good rows alone are wanted), then writes every row in one transaction that a
// cancel rolls back. Rows already stored (same vehicle, type, day, odometer and amount) are skipped.
// It tells what it found as codes and counts; ImportText puts them into words.

#include "exchange/CCsvReader.h"
#include "exchange/CImportMapping.h"
#include "exchange/CImportProblem.h"

#include "platform/WinTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CDataLayer;
class QIODevice;

class CEntryImporter {
public:
    // Bytes done of the total; returning false cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    enum Result { ResultOK, ResultRefused, ResultCancelled, ResultBusy, ResultFailed };

    struct Summary {
        qint64 read = 0; // data rows in the file
        qint64 imported = 0;
        qint64 duplicates = 0; // already stored, skipped
        qint64 refused = 0;    // rows with errors
        int vehiclesMade = 0;
        bool fillUpMarks = false; // a partial or missed fill-up was noted
        bool latin1 = false;      // the file was read as Latin-1
    };

    static constexpr int MaxErrorsKept = 50;

    explicit CEntryImporter(CDataLayer& dataLayer);
    ~CEntryImporter();
    CEntryImporter(const CEntryImporter&) = delete;
    CEntryImporter& operator=(const CEntryImporter&) = delete;

    // Opens the file and reads its header and first rows; false with OpenFailure() set when the
    // file cannot be imported at all.
    bool Open(const QString& path);
    bool Open(std::unique_ptr<QIODevice> device, const QString& name);
    const CImportProblem& OpenFailure() const { return m_OpenFailure; }

    CCsvReader& Reader() { return m_Reader; }
    const QStringList& Header() const { return m_Header; }
    CImportMapping& Mapping() { return m_Mapping; }
    const CImportMapping::Detection& Detected() const { return m_Detected; }
    // A new delimiter: the header is read again and the columns recognised anew.
    bool SetDelimiter(char delimiter);

    // Where rows go that name no vehicle (or every row, with overrideFileVehicles): a stored
    // vehicle's RefID, or a name (made when no vehicle has it).
    ULONG targetVehicle = 0;
    QString targetVehicleName;
    bool overrideFileVehicles = false;
    // Import the good rows and count the others as refused.
    bool skipBadRows = false;

    // The first rows as they will be stored; a row that cannot be read gives its problem instead,
    // without a line: row.line has it.
    struct PreviewRow {
        CImportRow row;
        CImportProblem problem;
    };
    std::vector<PreviewRow> Preview(int count);

    // Reads the whole file: the errors (the first MaxErrorsKept) and their count, the rows.
    // False when cancelled.
    bool Check(const Progress& progress);
    // A changed choice (date format, decimal mark, vehicle) needs a fresh check.
    void ForgetCheck() { m_Checked = false; }
    const std::vector<CImportProblem>& Errors() const { return m_Errors; }
    qint64 ErrorCount() const { return m_ErrorCount; }
    qint64 RowCount() const { return m_RowCount; }

    // Checks (when not done yet) and writes. dryRun checks and counts duplicates without writing.
    Result Import(const Progress& progress, bool dryRun = false);
    const Summary& GetSummary() const { return m_Summary; }

private:
    bool ReadHeader();
    void AddError(CImportProblem problem, qint64 line);
    // A problem of the file as a whole, about the file itself.
    CImportProblem FileProblem(CImportProblem::Code code) const;
    // The name of the vehicle a row goes to; empty when it goes to the stored targetVehicle.
    QString VehicleNameOf(const CImportRow& row) const;

    CDataLayer& m_DataLayer;
    CCsvReader m_Reader;
    QString m_Name;
    CImportProblem m_OpenFailure;
    QStringList m_Header;
    CImportMapping m_Mapping;
    CImportMapping::Detection m_Detected;
    std::vector<CImportProblem> m_Errors;
    qint64 m_ErrorCount = 0;
    qint64 m_RowCount = 0;
    bool m_Checked = false;
    bool m_Fatal = false; // the file cannot be read to its end
    Summary m_Summary;
};
