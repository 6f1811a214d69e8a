#include "exchange/CEntryImporter.h"

#include "exchange/CImportRowConverter.h"
#include "exchange/CImportVehicles.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/LocalDates.h"

#include "datastore/CBulkInsert.h"
#include "datastore/CDataLayer.h"
#include "records/CObjectListT.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Opening reads this much of the file for its tables and their first rows; enough for the whole
// of nearly every export, and quick for a file of any size.
constexpr qint64 kHeadBytes = 512 << 10;
// Rows of each table that the guesses are made from.
constexpr std::size_t kSampleRows = 200;
// Progress is reported after this many rows, or this many bytes, whichever comes first.
constexpr qint64 kProgressRows = 1024;
constexpr qint64 kProgressBytes = 1 << 20;

// One record reused for every row; the bulk path gives each its reference ID.
void FillEntry(CEntry& entry, const CImportRow& row, ULONG vehicle) {
    entry.SetID(0);
    entry.SetRefID(0);
    entry.SetVehicleID(vehicle);
    entry.SetType(row.type);
    entry.SetDate(row.date);
    entry.SetOdometer(row.odometer);
    entry.SetAmount(row.amount);
    entry.SetCustom1(row.custom1);
    entry.SetCustom2(row.custom2);
    entry.SetVendor(reinterpret_cast<LPCWSTR>(row.vendor.utf16()));
    entry.SetName(reinterpret_cast<LPCWSTR>(row.name.utf16()));
    entry.SetNotes(reinterpret_cast<LPCWSTR>(row.notes.utf16()));
}

// The table's header line once more, as where two exports were joined into one file.
bool IsHeaderAgain(const QStringList& fields, const QStringList& header) {
    if (fields.isEmpty() || header.isEmpty() || fields[0].compare(header[0], Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype n = std::max(fields.size(), header.size());
    for (qsizetype i = 1; i < n; ++i) {
        if (fields.value(i).trimmed().compare(header.value(i).trimmed(), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

// Road Trip's title ends with its delimiter and decimal mark in quotes: ROAD TRIP CSV ",."
bool TitleMarks(const QString& title, char& delimiter, char& decimal) {
    const qsizetype quote = title.indexOf(u'"');
    if (quote < 0 || quote + 2 >= title.size())
        return false;
    const QChar d = title[quote + 1];
    const QChar m = title[quote + 2];
    if ((d != u',' && d != u';' && d != u'\t') || (m != u'.' && m != u','))
        return false;
    delimiter = d.toLatin1();
    decimal = m.toLatin1();
    return true;
}

} // namespace

CEntryImporter::CEntryImporter(CDataLayer& dataLayer) : m_DataLayer(dataLayer) {
    userDistance = static_cast<DistanceUnit>(TheSettings().UnitDistance);
    userVolume = static_cast<VolumeUnit>(TheSettings().UnitVolume);
}
CEntryImporter::~CEntryImporter() = default;

CImportProblem CEntryImporter::FileProblem(CImportProblem::Code code) const {
    CImportProblem problem;
    problem.code = code;
    problem.value = m_Name;
    problem.limit = m_Reader.RecordLimit();
    return problem;
}

bool CEntryImporter::Open(const QString& path) {
    m_Name = path;
    auto file = std::make_unique<QFile>(path);
    if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
        m_OpenFailure = FileProblem(CImportProblem::FileNotRead);
        return false;
    }
    return Open(std::move(file), path);
}

bool CEntryImporter::Open(std::unique_ptr<QIODevice> device, const QString& name) {
    m_Name = name;
    m_OpenFailure = CImportProblem();
    // A record may be as long as the longest text the data file holds, so that what was exported
    // comes back.
    std::int64_t longest = 0;
    CBulkInsert<CEntry>(m_DataLayer).LongestText(&longest);
    m_Reader.SetRecordLimit(std::max<qint64>(CCsvReader::DefaultRecordLimit, 2 * longest + (1 << 20)));
    switch (m_Reader.Open(std::move(device))) {
    case CCsvReader::OpenOK:
        break;
    case CCsvReader::OpenNotFound:
        m_OpenFailure = FileProblem(CImportProblem::FileNotRead);
        return false;
    case CCsvReader::OpenNotText:
        m_OpenFailure = FileProblem(CImportProblem::FileNotText);
        return false;
    case CCsvReader::OpenDataFile:
        m_OpenFailure = FileProblem(CImportProblem::FileIsDataFile);
        return false;
    case CCsvReader::OpenEmpty:
        m_OpenFailure = FileProblem(CImportProblem::FileEmpty);
        return false;
    }
    return ReadStructure();
}

bool CEntryImporter::SetDelimiter(char delimiter) {
    m_Reader.SetDelimiter(delimiter);
    return ReadStructure();
}

void CEntryImporter::Recognise(Table& table) const {
    const QStringList header = table.mapping.Header();
    table.mapping = CImportMapping::Recognise(header, table.marker, m_Title);
    for (const ColumnChoice& choice : m_ColumnChoices) {
        for (qsizetype column = 0; column < header.size(); ++column) {
            if (CImportMapping::NormaliseHeader(header[column]) == choice.name) {
                table.mapping.SetField(static_cast<int>(column), choice.field);
                if (!choice.flagValues.isEmpty())
                    table.mapping.SetFlagValues(choice.field, choice.flagValues);
            }
        }
    }
}

void CEntryImporter::ApplyChoices(CImportMapping& mapping) const {
    mapping.dateFormat = dateFormat;
    mapping.decimalComma = decimalComma;
    if (serviceTypeForced || !mapping.ServiceTypeFixed())
        mapping.serviceType = serviceType;
    mapping.userDistance = userDistance;
    mapping.userVolume = userVolume;
    // A title, a section or the money that says UK holds for the whole file.
    mapping.ukFile = UkGallons() != UkNone;
    // A table that states no unit ("## Costs" under a log in km) is in the file's.
    mapping.fileDistance = fileDistance;
    if (fileDistance == FileDistance::Unstated && mapping.StatedDistance() == FileDistance::Unstated &&
        mapping.DistanceUnitColumn() < 0)
        mapping.fileDistance = StatedDistance();
    mapping.fileVolume = fileVolume;
    if (fileVolume == FileVolume::Unstated && mapping.StatedVolume() == FileVolume::Unstated &&
        mapping.VolumeUnitColumn() < 0 && mapping.UnknownUnitColumn() < 0)
        mapping.fileVolume = StatedVolume();
}

void CEntryImporter::ApplyChoices() {
    for (Table& table : m_Tables)
        ApplyChoices(table.mapping);
}

FileDistance CEntryImporter::StatedDistance() const {
    for (const Table& table : m_Tables) {
        if (table.mapping.StatedDistance() != FileDistance::Unstated)
            return table.mapping.StatedDistance();
    }
    return m_SectionDistance;
}

FileVolume CEntryImporter::StatedVolume() const {
    for (const Table& table : m_Tables) {
        const FileVolume volume = table.mapping.StatedVolume();
        if (volume == FileVolume::GallonsUS && table.mapping.StatesPlainGallons() && UkGallons() != UkNone)
            return FileVolume::GallonsUK;
        if (volume != FileVolume::Unstated)
            return volume;
    }
    if (m_SectionPlainGallons && UkGallons() != UkNone)
        return FileVolume::GallonsUK;
    return m_SectionVolume;
}

CEntryImporter::UkMark CEntryImporter::UkGallons() const {
    if (m_TitleSaysUk)
        return UkTitle;
    for (const Table& table : m_Tables) {
        if (table.mapping.TextSaysUk())
            return UkSection;
    }
    return m_Pounds ? UkPounds : UkNone;
}

bool CEntryImporter::PlainGallons() const {
    if (fileVolume != FileVolume::Unstated)
        return false;
    bool stated = false;
    for (const Table& table : m_Tables) {
        const CImportMapping& mapping = table.mapping;
        if (!mapping.Usable() || mapping.GetKind() == CImportMapping::KindVehicles)
            continue;
        if (mapping.StatedVolume() != FileVolume::Unstated) {
            stated = true;
            if (mapping.StatesPlainGallons())
                return true;
        } else if (mapping.VolumeUnitColumn() >= 0) {
            for (const QStringList& row : table.sample) {
                if (IsPlainGallons(row.value(mapping.VolumeUnitColumn())))
                    return true;
            }
        }
    }
    return !stated && m_SectionPlainGallons;
}

void CEntryImporter::FindPounds() {
    // Pounds with plain "gallons" make them UK gallons: a pound sign in the title, a column's name
    // or the amounts, or a currency column that gives GBP for every row.
    auto pounds = [](const QString& value) {
        return value.contains(u'£') || value.compare(QLatin1String("GBP"), Qt::CaseInsensitive) == 0;
    };
    m_Pounds = m_Title.contains(u'£');
    for (const Table& table : m_Tables) {
        const CImportMapping& mapping = table.mapping;
        for (const QString& name : mapping.Header())
            m_Pounds = m_Pounds || name.contains(u'£');
        if (const int currency = mapping.CurrencyColumn(); currency >= 0) {
            bool all = false;
            for (const QStringList& row : table.sample) {
                const QString value = row.value(currency).trimmed();
                if (value.isEmpty())
                    continue;
                all = pounds(value);
                if (!all)
                    break;
            }
            m_Pounds = m_Pounds || all;
            continue;
        }
        for (const QStringList& row : table.sample) {
            for (const CImportMapping::Field field :
                 {CImportMapping::FieldAmount, CImportMapping::FieldUnitPrice}) {
                const int column = mapping.Column(field);
                m_Pounds = m_Pounds || (column >= 0 && row.value(column).contains(u'£'));
            }
        }
    }
}

void CEntryImporter::FindSectionUnits() {
    // A vehicle section may say the units of the whole file ("Units: mi").
    m_SectionDistance = FileDistance::Unstated;
    m_SectionVolume = FileVolume::Unstated;
    m_SectionPlainGallons = false;
    for (const Table& table : m_Tables) {
        if (table.mapping.GetKind() != CImportMapping::KindVehicles)
            continue;
        for (const int column : {table.mapping.DistanceUnitColumn(), table.mapping.VolumeUnitColumn()}) {
            for (const QStringList& row : table.sample) {
                const QString value = row.value(column);
                if (const auto unit = DistanceUnitOf(value);
                    unit && m_SectionDistance == FileDistance::Unstated)
                    m_SectionDistance = *unit;
                if (const auto unit = VolumeUnitOf(value); unit && m_SectionVolume == FileVolume::Unstated) {
                    m_SectionVolume = *unit;
                    m_SectionPlainGallons = IsPlainGallons(value);
                }
            }
        }
    }
}

bool CEntryImporter::ReadStructure() {
    m_OpenFailure = CImportProblem();
    CTableReader tables(m_Reader);
    bool changedDelimiter = false;
    char titleDecimal = 0;
    for (;;) {
        m_Tables.clear();
        m_EmptySections.clear();
        m_ReadWhole = false;
        tables.Restart();
        EmptySection pending;
        bool again = false;
        CTableReader::Record record;
        for (;;) {
            const CCsvReader::ReadResult result = tables.Next(record);
            if (result == CCsvReader::ReadEnd) {
                m_ReadWhole = true;
                break;
            }
            if (result == CCsvReader::ReadTooLong || result == CCsvReader::ReadUnclosedQuote) {
                if (m_Tables.empty()) {
                    m_OpenFailure =
                        FileProblem(result == CCsvReader::ReadTooLong ? CImportProblem::RecordTooLong
                                                                      : CImportProblem::UnclosedQuote);
                    m_OpenFailure.line = record.line;
                    return false;
                }
                break; // the import tells where
            }
            if (result == CCsvReader::ReadFailed) {
                m_OpenFailure = FileProblem(CImportProblem::FileNotRead);
                return false;
            }
            if (record.role == CTableReader::RoleTitle) {
                char delimiter = 0;
                if (!changedDelimiter && TitleMarks(tables.Title(), delimiter, titleDecimal) &&
                    delimiter != m_Reader.Delimiter()) {
                    m_Reader.SetDelimiter(delimiter);
                    changedDelimiter = again = true;
                    break;
                }
            } else if (record.role == CTableReader::RoleMarker) {
                if (pending.line > 0)
                    m_EmptySections.push_back(pending);
                pending = {record.line, record.fields.value(0).trimmed()};
            } else if (record.role == CTableReader::RoleHeader) {
                // The first header in another delimiter: the first lines misled the guess.
                if (!changedDelimiter && m_Tables.empty() && record.otherDelimiter) {
                    m_Reader.SetDelimiter(record.otherDelimiter);
                    changedDelimiter = again = true;
                    break;
                }
                Table table;
                table.marker = record.marker;
                table.markerLine = record.marker.isEmpty() ? 0 : pending.line;
                table.headerLine = record.line;
                table.otherDelimiter = record.otherDelimiter;
                table.mapping = CImportMapping::Recognise(record.fields, record.marker, tables.Title());
                m_Tables.push_back(std::move(table));
                pending = EmptySection();
            } else if (!m_Tables.empty()) {
                Table& table = m_Tables.back();
                ++table.rows;
                if (table.sample.size() < kSampleRows)
                    table.sample.push_back(record.fields);
            }
            if (m_Reader.BytesRead() > kHeadBytes)
                break;
        }
        if (again)
            continue;
        if (m_ReadWhole && pending.line > 0)
            m_EmptySections.push_back(pending);
        break;
    }
    m_Title = tables.Title();
    m_TitleSaysUk = UnitsInText(m_Title).uk;
    m_TablesOnOpening = m_Tables.size();

    // What the rows tell: how dates and numbers are written, what a lone price is, which vehicles.
    for (Table& table : m_Tables) {
        Recognise(table);
        table.mapping.CheckTypeColumn(table.sample);
    }
    Detect(true, true);
    if (titleDecimal) {
        m_Detected.decimalComma = titleDecimal == ',';
        decimalComma = m_Detected.decimalComma;
    }
    FindSectionUnits();
    FindPounds();
    m_FileVehicle.clear();
    m_FileVehicleNames.clear();
    QStringList listed;
    for (Table& table : m_Tables) {
        ApplyChoices(table.mapping);
        table.mapping.DecidePrice(table.sample);
        for (const QStringList& row : table.sample) {
            const QString name = table.mapping.Value(row, CImportMapping::FieldVehicle);
            if (name.trimmed().isEmpty() || m_FileVehicleNames.contains(name))
                continue;
            m_FileVehicleNames << name;
            if (table.mapping.GetKind() == CImportMapping::KindVehicles && table.mapping.Usable())
                listed << name;
        }
    }
    if (listed.size() == 1)
        m_FileVehicle = listed.front();
    m_Reader.Rewind();

    if (m_Tables.empty()) {
        m_OpenFailure = FileProblem(CImportProblem::NoTable);
        return false;
    }
    return true;
}

CImportProblem CEntryImporter::TableProblem() const {
    if (FirstImported() >= 0 || !m_FileVehicle.isEmpty() || m_Tables.empty())
        return CImportProblem();
    // One table: say what it lacks, as for any file with a header line.
    if (m_Tables.size() == 1 && m_Tables[0].mapping.GetKind() != CImportMapping::KindSkipped)
        return m_Tables[0].mapping.Problem();
    return FileProblem(CImportProblem::NoTable);
}

int CEntryImporter::FirstImported() const {
    for (std::size_t i = 0; i < m_Tables.size(); ++i) {
        const Table& table = m_Tables[i];
        if (table.mapping.Usable() && !table.otherDelimiter &&
            table.mapping.GetKind() != CImportMapping::KindVehicles)
            return static_cast<int>(i);
    }
    return -1;
}

CImportMapping& CEntryImporter::Mapping() {
    const int first = FirstImported();
    if (first >= 0)
        return m_Tables[static_cast<std::size_t>(first)].mapping;
    return m_Tables.empty() ? m_NoMapping : m_Tables.front().mapping;
}

const QStringList& CEntryImporter::Header() const {
    return const_cast<CEntryImporter*>(this)->Mapping().Header();
}

bool CEntryImporter::NamesVehicles() const {
    if (!m_FileVehicle.isEmpty())
        return true;
    for (const Table& table : m_Tables) {
        if (table.mapping.Usable() && table.mapping.GetKind() != CImportMapping::KindVehicles &&
            table.mapping.Column(CImportMapping::FieldVehicle) >= 0)
            return true;
    }
    return false;
}

void CEntryImporter::Detect(bool dates, bool numbers) {
    QStringList dateSamples;
    QStringList numberSamples;
    // Tables that still lack a column count too: the user may be about to give it.
    for (const Table& table : m_Tables) {
        if (!table.otherDelimiter && !table.mapping.SkippedByMarker())
            table.mapping.CollectSamples(table.sample, dateSamples, numberSamples);
    }
    const CImportMapping::Detection found = CImportMapping::Detect(dateSamples, numberSamples);
    if (dates) {
        m_Detected.dateFormat = dateFormat = found.dateFormat;
        m_Detected.dateAmbiguous = found.dateAmbiguous;
        m_Detected.dateUnknown = found.dateUnknown;
    }
    if (numbers)
        m_Detected.decimalComma = decimalComma = found.decimalComma;
    for (Table& table : m_Tables) {
        ApplyChoices(table.mapping);
        table.mapping.DecidePrice(table.sample);
    }
}

void CEntryImporter::Chosen(CImportMapping::Field field) {
    // A column newly taken as the date or as a number is what tells how they are written.
    using F = CImportMapping;
    Detect(field == F::FieldDate || field == F::FieldTime,
           field == F::FieldQuantity || field == F::FieldUnitPrice || field == F::FieldAmount);
}

void CEntryImporter::SetField(std::size_t table, int column, CImportMapping::Field field) {
    if (table >= m_Tables.size())
        return;
    m_Tables[table].mapping.SetField(column, field);
    Chosen(field);
}

int CEntryImporter::MapColumn(const QString& name, CImportMapping::Field field,
                              const QStringList& flagValues) {
    const QString key = CImportMapping::NormaliseHeader(name);
    m_ColumnChoices.push_back({key, field, flagValues});
    int tables = 0;
    for (Table& table : m_Tables) {
        const QStringList& header = table.mapping.Header();
        bool found = false;
        for (qsizetype column = 0; column < header.size(); ++column) {
            if (CImportMapping::NormaliseHeader(header[column]) == key) {
                table.mapping.SetField(static_cast<int>(column), field);
                if (!flagValues.isEmpty())
                    table.mapping.SetFlagValues(field, flagValues);
                found = true;
            }
        }
        tables += found ? 1 : 0;
    }
    Chosen(field);
    return tables;
}

QStringList CEntryImporter::DistinctValues(std::size_t table, int column, int most) const {
    QStringList values;
    if (table >= m_Tables.size())
        return values;
    for (const QStringList& row : m_Tables[table].sample) {
        const QString value = row.value(column).trimmed();
        if (!value.isEmpty() && !values.contains(value)) {
            values << value;
            if (values.size() >= most)
                break;
        }
    }
    return values;
}

void CEntryImporter::SetFlagValues(std::size_t table, CImportMapping::Field field,
                                   const QStringList& values) {
    if (table < m_Tables.size())
        m_Tables[table].mapping.SetFlagValues(field, values);
}

QString CEntryImporter::VehicleNameOf(const CImportRow& row, bool* fromFile) const {
    if (fromFile)
        *fromFile = true;
    if (!overrideFileVehicles && !row.vehicle.trimmed().isEmpty())
        return row.vehicle;
    if (!overrideFileVehicles && !m_FileVehicle.isEmpty())
        return m_FileVehicle;
    if (fromFile)
        *fromFile = false;
    return targetVehicle != 0 ? QString() : targetVehicleName;
}

std::vector<CEntryImporter::PreviewRow> CEntryImporter::Preview(int count, int table) {
    std::vector<PreviewRow> rows;
    if (table < 0)
        table = FirstImported();
    if (table < 0 || static_cast<std::size_t>(table) >= m_Tables.size())
        return rows;
    CImportMapping& mapping = m_Tables[static_cast<std::size_t>(table)].mapping;
    ApplyChoices(mapping);
    CTableReader tables(m_Reader);
    tables.Restart();
    CTableReader::Record record;
    while (static_cast<int>(rows.size()) < count && tables.Next(record) == CCsvReader::ReadRecord) {
        if (record.table > table)
            break;
        if (record.role != CTableReader::RoleRow || record.table != table)
            continue;
        PreviewRow preview;
        if (IsHeaderAgain(record.fields, mapping.Header()))
            preview.problem.code = CImportProblem::RepeatedHeader;
        else
            CImportRowConverter(mapping).Convert(record.fields, preview.row, preview.problem);
        preview.row.line = record.line;
        rows.push_back(preview);
    }
    m_Reader.Rewind();
    return rows;
}

void CEntryImporter::AddError(CImportProblem problem, qint64 line) {
    ++m_ErrorCount;
    problem.line = line;
    if (static_cast<int>(m_Errors.size()) < MaxErrorsKept)
        m_Errors.push_back(problem);
    for (ErrorKind& kind : m_Kinds) {
        if (kind.first.front().code == problem.code && kind.first.front().column == problem.column) {
            ++kind.count;
            if (kind.first.size() < 2)
                kind.first.push_back(problem);
            return;
        }
    }
    m_Kinds.push_back({{problem}, 1});
}

void CEntryImporter::EnterTable(const CTableReader::Record& record) {
    if (static_cast<std::size_t>(record.table) >= m_Tables.size()) {
        // A table past the part read on opening: recognised as it comes.
        Table table;
        table.marker = record.marker;
        table.headerLine = record.line;
        table.otherDelimiter = record.otherDelimiter;
        table.mapping = CImportMapping::Recognise(record.fields, record.marker, m_Title);
        Recognise(table);
        ApplyChoices(table.mapping);
        m_Tables.push_back(std::move(table));
    }
    const Table& table = m_Tables[static_cast<std::size_t>(record.table)];
    if (table.otherDelimiter && table.mapping.GetKind() != CImportMapping::KindSkipped) {
        CImportProblem problem;
        problem.code = CImportProblem::MixedDelimiters;
        problem.value = QString(QLatin1Char(table.otherDelimiter)) + QLatin1Char(m_Reader.Delimiter());
        ++m_RowCount; // its rows, unread, count as one refused
        AddError(problem, record.line);
    }
}

CEntryImporter::Result CEntryImporter::Import(const Progress& progress, bool dryRun) {
    m_Summary = Summary();
    m_Errors.clear();
    m_Kinds.clear();
    m_ErrorCount = 0;
    m_RowCount = 0;
    m_Fatal = false;
    m_Tables.resize(m_TablesOnOpening);
    for (Table& table : m_Tables) {
        table.rows = 0;
        table.imported = 0;
        ApplyChoices(table.mapping);
    }
    m_EmptySections.clear();
    m_Summary.latin1 = m_Reader.IsLatin1();
    if (const CImportProblem problem = TableProblem(); problem.IsProblem()) {
        AddError(problem, 0);
        return ResultRefused;
    }

    // The rows stay in memory until the commit, so other programs read on meanwhile.
    struct HeldChanges {
        CDataLayer& layer;
        bool held;
        ~HeldChanges() {
            if (held)
                layer.HoldChangesUntilCommit(0);
        }
    } heldChanges{m_DataLayer, !dryRun && m_DataLayer.HoldChangesUntilCommit(1) != 0};
    if (!dryRun && !m_DataLayer.BeginTransaction())
        return ResultBusy;
    CImportVehicles vehicles(m_DataLayer, dryRun);
    auto fail = [&](Result result) {
        if (!dryRun)
            m_DataLayer.RollBack();
        m_Summary.vehiclesMade = vehicles.Made();
        return result;
    };
    if (!vehicles.Load())
        return fail(ResultFailed);

    CBulkInsert<CEntry> bulk(m_DataLayer);
    CEntry entry;
    CImportRow row;
    CImportProblem problem;
    const qint64 size = m_Reader.Size();
    qint64 lastReport = 0;
    qint64 rowsSinceReport = 0;
    CTableReader tables(m_Reader);
    tables.Restart();
    CTableReader::Record record;
    EmptySection pending;
    for (;;) {
        const CCsvReader::ReadResult result = tables.Next(record);
        if (result == CCsvReader::ReadEnd)
            break;
        if (result != CCsvReader::ReadRecord) {
            const CImportProblem::Code code =
                result == CCsvReader::ReadTooLong         ? CImportProblem::RecordTooLong
                : result == CCsvReader::ReadUnclosedQuote ? CImportProblem::UnclosedQuote
                                                          : CImportProblem::FileNotRead;
            CImportProblem stop = FileProblem(code);
            AddError(stop, code != CImportProblem::FileNotRead ? record.line : 0);
            m_Fatal = true;
            break;
        }
        if (progress &&
            (++rowsSinceReport >= kProgressRows || m_Reader.BytesRead() - lastReport >= kProgressBytes)) {
            rowsSinceReport = 0;
            lastReport = m_Reader.BytesRead();
            if (!progress(lastReport, size))
                return fail(ResultCancelled);
        }
        switch (record.role) {
        case CTableReader::RoleTitle:
            continue;
        case CTableReader::RoleMarker:
            if (pending.line > 0)
                m_EmptySections.push_back(pending);
            pending = {record.line, record.fields.value(0).trimmed()};
            continue;
        case CTableReader::RoleHeader:
            pending = EmptySection();
            EnterTable(record);
            continue;
        case CTableReader::RoleRow:
            break;
        }
        Table& table = m_Tables[static_cast<std::size_t>(std::max(0, record.table))];
        ++table.rows;
        if (record.table < 0 || table.otherDelimiter || !table.mapping.Usable())
            continue;
        if (IsHeaderAgain(record.fields, table.mapping.Header())) {
            ++m_RowCount;
            problem = CImportProblem();
            problem.code = CImportProblem::RepeatedHeader;
            AddError(problem, record.line);
            continue;
        }
        if (record.badText) {
            ++m_RowCount;
            problem = CImportProblem();
            problem.code = CImportProblem::BadText;
            AddError(problem, record.line);
            continue;
        }
        if (!CImportRowConverter(table.mapping).Convert(record.fields, row, problem)) {
            ++m_RowCount;
            AddError(problem, record.line);
            continue;
        }
        // Once a row is refused nothing will be written: the rest is only checked.
        const bool counting = m_ErrorCount > 0 && !skipBadRows;
        if (row.vehicleOnly) {
            // The user's vehicle takes every row, so the file's vehicles are not made.
            if (overrideFileVehicles || counting)
                continue;
            const ULONG vehicle = vehicles.OfFileName(row.vehicle, m_FileVehicleNames);
            if (vehicle == 0 || !vehicles.Describe(vehicle, row.year, row.plate, row.makeModel))
                return fail(ResultFailed);
            if (row.odometer > 0)
                vehicles.Reached(vehicle, row.odometer);
            continue;
        }
        ++m_RowCount;
        bool fromFile = false;
        const QString name = VehicleNameOf(row, &fromFile);
        if (name.trimmed().isEmpty() && targetVehicle == 0) {
            problem = CImportProblem();
            problem.code = CImportProblem::NoVehicle;
            AddError(problem, record.line);
            continue;
        }
        if (counting)
            continue;
        const ULONG vehicle = fromFile             ? vehicles.OfFileName(name, m_FileVehicleNames)
                              : targetVehicle != 0 ? targetVehicle
                                                   : vehicles.OfTypedName(targetVehicleName);
        if (vehicle == 0)
            return fail(ResultFailed);
        const CImportVehicles::Stored stored =
            vehicles.Holds(vehicle, row.type, row.day, row.odometer, row.amount);
        if (stored == CImportVehicles::Stored::Unknown)
            return fail(ResultFailed);
        if (stored == CImportVehicles::Stored::Yes) {
            ++m_Summary.duplicates;
            continue;
        }
        if (row.partial)
            m_Summary.fillUpMarks = true;
        if (!row.currency.isEmpty() && m_Summary.currencies.size() < 10 &&
            !m_Summary.currencies.contains(row.currency))
            m_Summary.currencies << row.currency;
        vehicles.Reached(vehicle, row.odometer);
        ++m_Summary.imported;
        ++table.imported;
        if (dryRun)
            continue;
        FillEntry(entry, row, vehicle);
        if (!bulk.Insert(entry))
            return fail(ResultFailed);
        if (row.type == CEntry::EntryFuel && row.fillFlags != 0 &&
            !m_DataLayer.SetFillFlags(&entry, row.fillFlags))
            return fail(ResultFailed);
    }
    if (pending.line > 0)
        m_EmptySections.push_back(pending);
    m_Summary.read = m_RowCount;
    m_Summary.refused = m_ErrorCount;
    m_Summary.vehiclesMade = vehicles.Made();
    if (progress && !progress(size, size))
        return fail(ResultCancelled);
    if (m_Fatal || (m_ErrorCount > 0 && !skipBadRows)) {
        fail(ResultRefused);
        return ResultRefused;
    }
    if (dryRun)
        return ResultOK;

    if (!vehicles.StoreReadings())
        return fail(ResultFailed);
    switch (m_DataLayer.Commit()) {
    case CDataLayer::CommitOK:
        return ResultOK;
    case CDataLayer::CommitBusy:
        return fail(ResultBusy);
    default:
        return fail(ResultFailed);
    }
}
