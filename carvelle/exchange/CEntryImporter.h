#pragma once
// Imports a CSV file into the data file: opens it and finds its tables (a file may hold several,
// under section markers, with title lines above) and what their columns mean, shows the first rows
// as they will be stored, then reads the whole file once, writing in one transaction that is
// rolled back when a row has an error (unless the good rows alone are wanted) or the user
// cancels. Rows already stored (same vehicle, type, day, odometer and amount) are skipped.
// It tells what it found as codes and counts; ImportText puts them into words.

#include "exchange/CCsvReader.h"
#include "exchange/CImportMapping.h"
#include "exchange/CImportProblem.h"
#include "exchange/CTableReader.h"

#include "platform/WinTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CDataLayer;
class QIODevice;

class CEntryImporter {
public:
    // Bytes done of the total; returning false cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    enum Result { ResultOK, ResultRefused, ResultCancelled, ResultBusy, ResultFailed };

    struct Summary {
        qint64 read = 0; // data rows of the tables that are imported
        qint64 imported = 0;
        qint64 duplicates = 0; // already stored, skipped
        qint64 refused = 0;    // rows with errors
        int vehiclesMade = 0;
        bool fillUpMarks = false; // a partial or missed fill-up was noted
        bool latin1 = false;      // the file was read as Latin-1
        QStringList currencies;   // those the rows name, when the file has a currency column
    };

    // One table of the file.
    struct Table {
        qint64 markerLine = 0; // 0 when no marker heads it
        QString marker;
        qint64 headerLine = 0;
        CImportMapping mapping;
        char otherDelimiter = 0; // its header uses another delimiter than the file's
        qint64 rows = 0;         // seen on opening, then counted by the import
        qint64 imported = 0;
        std::vector<QStringList> sample; // its first rows, which the guesses are made from
    };

    // A marker with nothing under it.
    struct EmptySection {
        qint64 line = 0;
        QString marker;
    };

    // Repeats of one kind of error (the same code in the same column): the first two and how many.
    struct ErrorKind {
        std::vector<CImportProblem> first;
        qint64 count = 0;
    };

    static constexpr int MaxErrorsKept = 50;

    explicit CEntryImporter(CDataLayer& dataLayer);
    ~CEntryImporter();
    CEntryImporter(const CEntryImporter&) = delete;
    CEntryImporter& operator=(const CEntryImporter&) = delete;

    // Opens the file and reads its first part: its tables and their first rows; false with
    // OpenFailure() set when the file cannot be imported at all (not text, no table in it).
    bool Open(const QString& path);
    bool Open(std::unique_ptr<QIODevice> device, const QString& name);
    const CImportProblem& OpenFailure() const { return m_OpenFailure; }
    // Why no table of the file can be imported as its columns are mapped now (no date column, say),
    // which the user may mend by saying what the columns hold; None when one can.
    CImportProblem TableProblem() const;

    CCsvReader& Reader() { return m_Reader; }
    // A new delimiter: the tables are found and recognised anew.
    bool SetDelimiter(char delimiter);

    // The tables found so far: on opening those of the file's first part, after an import all.
    std::vector<Table>& Tables() { return m_Tables; }
    const std::vector<Table>& Tables() const { return m_Tables; }
    const std::vector<EmptySection>& EmptySections() const { return m_EmptySections; }
    // Opening read the whole file, so the tables' row counts are complete.
    bool ReadWhole() const { return m_ReadWhole; }
    // The first table whose rows are imported, or -1.
    int FirstImported() const;
    // Its mapping and header, for a file of one table.
    CImportMapping& Mapping();
    const QStringList& Header() const;
    const QString& Title() const { return m_Title; }
    const CImportMapping::Detection& Detected() const { return m_Detected; }
    // The file names the vehicles of its rows: a vehicle column, or one vehicle in a table of them.
    bool NamesVehicles() const;
    // The one vehicle that the file's tables of vehicles name; empty when none or several.
    const QString& FileVehicle() const { return m_FileVehicle; }

    // The user's word for a column of one table; a lone price is read anew beside it, and a new
    // date or number column says again how dates and numbers are written.
    void SetField(std::size_t table, int column, CImportMapping::Field field);
    // The user's word for a column of every table that has it (by its name, case and spaces aside),
    // also of tables found later; the number of tables found so far that have it.
    int MapColumn(const QString& name, CImportMapping::Field field, const QStringList& flagValues = {});

    // The values of a column among the first rows of a table, each once, in their order.
    QStringList DistinctValues(std::size_t table, int column, int most) const;
    // The values of a table's flag column that set the flag; empty: yes and no.
    void SetFlagValues(std::size_t table, CImportMapping::Field field, const QStringList& values);

    // Choices for every table.
    CImportMapping::DateFormat dateFormat = CImportMapping::DateIso;
    bool decimalComma = false;
    // What the rows of a service log become where the table does not say, or in every table when
    // forced (the user said so for the whole file).
    CEntry::Type serviceType = CEntry::EntryRepair;
    bool serviceTypeForced = false;
    // The file's units as the user gives them (Unstated: as the file states, else the user's own),
    // and the user's units, which the numbers are converted into; read from the settings.
    FileDistance fileDistance = FileDistance::Unstated;
    FileVolume fileVolume = FileVolume::Unstated;
    DistanceUnit userDistance = DistanceMiles;
    VolumeUnit userVolume = VolumeGallonsUS;
    // After the choices above changed: every table takes them (the notes tell them at once).
    void ApplyChoices();
    // The units the file states in any of its tables; a table that states none is taken in them.
    FileDistance StatedDistance() const;
    FileVolume StatedVolume() const;
    // Why plain "gallons" are taken as UK gallons: the title or a section says UK, or the amounts
    // are in pounds; UkNone: they are US gallons.
    enum UkMark { UkNone, UkTitle, UkSection, UkPounds };
    UkMark UkGallons() const;
    // The file says only "gallons" of the quantities it is taken in (the user did not say).
    bool PlainGallons() const;
    // Where rows go that name no vehicle (or every row, with overrideFileVehicles): a stored
    // vehicle's RefID, or a name (made when no vehicle has it).
    ULONG targetVehicle = 0;
    QString targetVehicleName;
    bool overrideFileVehicles = false;
    // Import the good rows and count the others as refused.
    bool skipBadRows = false;

    // The first rows of a table (-1: the first imported) as they will be stored; a row that cannot
    // be read gives its problem instead, without a line: row.line has it.
    struct PreviewRow {
        CImportRow row;
        CImportProblem problem;
    };
    std::vector<PreviewRow> Preview(int count, int table = -1);

    // Reads the whole file and writes its rows; dryRun checks and counts without writing. After it:
    // the errors (summed up by kind, the first MaxErrorsKept as they are) and their count.
    Result Import(const Progress& progress, bool dryRun = false);
    const Summary& GetSummary() const { return m_Summary; }
    const std::vector<CImportProblem>& Errors() const { return m_Errors; }
    const std::vector<ErrorKind>& ErrorKinds() const { return m_Kinds; }
    qint64 ErrorCount() const { return m_ErrorCount; }
    qint64 RowCount() const { return m_RowCount; }

private:
    bool ReadStructure();
    void Recognise(Table& table) const;
    // A table's header line met while importing: a table past the part read on opening is
    // recognised; one in other delimiters is refused.
    void EnterTable(const CTableReader::Record& record);
    void ApplyChoices(CImportMapping& mapping) const;
    void FindSectionUnits();
    void FindPounds();
    // Guesses the date format and the decimal mark anew from the rows, as asked.
    void Detect(bool dates, bool numbers);
    // After the user's word for a column: what it tells anew.
    void Chosen(CImportMapping::Field field);
    void AddError(CImportProblem problem, qint64 line);
    // A problem of the file as a whole, about the file itself.
    CImportProblem FileProblem(CImportProblem::Code code) const;
    // The name of the vehicle a row goes to, and whether the file gave it; empty when it goes to
    // the stored targetVehicle.
    QString VehicleNameOf(const CImportRow& row, bool* fromFile = nullptr) const;

    CDataLayer& m_DataLayer;
    CCsvReader m_Reader;
    QString m_Name;
    CImportProblem m_OpenFailure;
    std::vector<Table> m_Tables;
    std::size_t m_TablesOnOpening = 0;
    bool m_ReadWhole = false; // opening read the whole file, so every table is known
    std::vector<EmptySection> m_EmptySections;
    QString m_Title;
    bool m_TitleSaysUk = false; // the title line names UK or Imperial units
    CImportMapping::Detection m_Detected;
    QString m_FileVehicle;
    FileDistance m_SectionDistance = FileDistance::Unstated; // as a vehicle section says
    FileVolume m_SectionVolume = FileVolume::Unstated;
    bool m_SectionPlainGallons = false;
    bool m_Pounds = false;          // the file marks itself as from the UK by its title or its money
    QStringList m_FileVehicleNames; // the names in the vehicle columns of the first part
    struct ColumnChoice {
        QString name;
        CImportMapping::Field field;
        QStringList flagValues;
    };
    std::vector<ColumnChoice> m_ColumnChoices;
    std::vector<CImportProblem> m_Errors;
    std::vector<ErrorKind> m_Kinds;
    qint64 m_ErrorCount = 0;
    qint64 m_RowCount = 0;
    bool m_Fatal = false; // the file cannot be read to its end
    Summary m_Summary;
    CImportMapping m_NoMapping;
};
