#include "exchange/CEntryImporter.h"

#include "core/LocalDates.h"
#include "core/VehicleLookup.h"

#include "core/CStringTable.h"
#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <map>
#include <random>
#include <unordered_set>

namespace {

// Enough rows to tell the date format and the decimal mark.
constexpr int kDetectRows = 100;
// Rows between two progress reports.
constexpr qint64 kProgressStep = 1024;

// The duplicate rule: same vehicle, type, local day, odometer and amount (to the cent).
struct Key {
    ULONG vehicle;
    int type;
    qint64 day;
    LONG odometer;
    long long cents;
    bool operator==(const Key&) const = default;
};

struct KeyHash {
    std::size_t operator()(const Key& k) const {
        std::size_t h = std::hash<unsigned long long>()((static_cast<unsigned long long>(k.vehicle) << 32) ^
                                                        static_cast<unsigned long long>(k.odometer));
        // An invalid day (a stored date out of range) is the lowest number: no overflow.
        h ^= std::hash<unsigned long long>()(static_cast<unsigned long long>(k.day) * 8 +
                                             static_cast<unsigned long long>(k.type)) +
             0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        h ^= std::hash<long long>()(k.cents) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        return h;
    }
};

long long Cents(float amount) {
    return std::llround(static_cast<double>(amount) * 100.0);
}

} // namespace

CEntryImporter::CEntryImporter(CDataLayer& dataLayer) : m_DataLayer(dataLayer) {}
CEntryImporter::~CEntryImporter() = default;

CImportProblem CEntryImporter::FileProblem(CImportProblem::Code code) const {
    CImportProblem problem;
    problem.code = code;
    problem.value = m_Name;
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
    return ReadHeader();
}

bool CEntryImporter::SetDelimiter(char delimiter) {
    m_Reader.SetDelimiter(delimiter);
    const CEntry::Type serviceType = m_Mapping.serviceType;
    const bool ok = ReadHeader();
    // What the user chose stays chosen.
    m_Mapping.serviceType = serviceType;
    return ok;
}

bool CEntryImporter::ReadHeader() {
    m_Checked = false;
    m_OpenFailure = CImportProblem();
    m_Header.clear();
    m_Reader.Rewind();
    qint64 line = 0;
    switch (m_Reader.Next(m_Header, line)) {
    case CCsvReader::ReadRecord:
        break;
    case CCsvReader::ReadEnd:
        m_OpenFailure = FileProblem(CImportProblem::FileEmpty);
        return false;
    case CCsvReader::ReadTooLong:
        m_OpenFailure = FileProblem(CImportProblem::RecordTooLong);
        m_OpenFailure.line = line;
        return false;
    case CCsvReader::ReadFailed:
        m_OpenFailure = FileProblem(CImportProblem::FileNotRead);
        return false;
    }
    m_Mapping = CImportMapping::Recognise(m_Header);
    if (!m_Mapping.Usable()) {
        m_OpenFailure = m_Mapping.Problem();
        return false;
    }
    QList<QStringList> sample;
    QStringList fields;
    while (sample.size() < kDetectRows && m_Reader.Next(fields, line) == CCsvReader::ReadRecord)
        sample.push_back(fields);
    m_Detected = m_Mapping.Detect(sample);
    m_Mapping.dateFormat = m_Detected.dateFormat;
    m_Mapping.decimalComma = m_Detected.decimalComma;
    m_Reader.Rewind();
    return true;
}

QString CEntryImporter::VehicleNameOf(const CImportRow& row) const {
    if (overrideFileVehicles || row.vehicle.isEmpty())
        return targetVehicle != 0 ? QString() : targetVehicleName;
    return row.vehicle;
}

std::vector<CEntryImporter::PreviewRow> CEntryImporter::Preview(int count) {
    std::vector<PreviewRow> rows;
    m_Reader.Rewind();
    QStringList fields;
    qint64 line = 0;
    if (m_Reader.Next(fields, line) != CCsvReader::ReadRecord)
        return rows;
    while (static_cast<int>(rows.size()) < count && m_Reader.Next(fields, line) == CCsvReader::ReadRecord) {
        PreviewRow preview;
        m_Mapping.Convert(fields, preview.row, preview.problem);
        preview.row.line = line;
        rows.push_back(preview);
    }
    m_Reader.Rewind();
    return rows;
}

void CEntryImporter::AddError(CImportProblem problem, qint64 line) {
    ++m_ErrorCount;
    problem.line = line;
    if (static_cast<int>(m_Errors.size()) < MaxErrorsKept)
        m_Errors.push_back(std::move(problem));
}

bool CEntryImporter::Check(const Progress& progress) {
    m_Errors.clear();
    m_ErrorCount = 0;
    m_RowCount = 0;
    m_Fatal = false;
    m_Checked = false;
    m_Reader.Rewind();
    const qint64 total = m_Reader.Size() * 2;
    QStringList fields;
    qint64 line = 0;
    m_Reader.Next(fields, line); // the header
    CImportRow row;
    CImportProblem problem;
    const bool haveTarget = targetVehicle != 0 || !targetVehicleName.trimmed().isEmpty();
    for (;;) {
        const CCsvReader::ReadResult result = m_Reader.Next(fields, line);
        if (result == CCsvReader::ReadEnd)
            break;
        if (result == CCsvReader::ReadTooLong) {
            AddError(FileProblem(CImportProblem::RecordTooLong), line);
            m_Fatal = true;
            break;
        }
        if (result == CCsvReader::ReadFailed) {
            AddError(FileProblem(CImportProblem::FileNotRead), 0);
            m_Fatal = true;
            break;
        }
        ++m_RowCount;
        if (m_Reader.LastRecordHadBadText()) {
            problem = CImportProblem();
            problem.code = CImportProblem::BadText;
            AddError(problem, line);
        } else if (!m_Mapping.Convert(fields, row, problem)) {
            AddError(problem, line);
        } else if (!haveTarget && (overrideFileVehicles || row.vehicle.isEmpty())) {
            problem.code = CImportProblem::NoVehicle;
            AddError(problem, line);
        }
        if (progress && m_RowCount % kProgressStep == 0 && !progress(m_Reader.BytesRead(), total))
            return false;
    }
    m_Checked = true;
    return true;
}

CEntryImporter::Result CEntryImporter::Import(const Progress& progress, bool dryRun) {
    m_Summary = Summary();
    if (!m_Checked && !Check(progress))
        return ResultCancelled;
    m_Summary.read = m_RowCount;
    m_Summary.refused = m_ErrorCount;
    m_Summary.latin1 = m_Reader.IsLatin1();
    if (m_Fatal || (m_ErrorCount > 0 && !skipBadRows))
        return ResultRefused;

    const qint64 size = m_Reader.Size();
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
    auto fail = [&](Result result) {
        if (!dryRun)
            m_DataLayer.RollBack();
        return result;
    };

    // The vehicles by name, and what is stored already: reference IDs and duplicate keys.
    CObjectListT<CVehicle> vehicles;
    if (!m_DataLayer.Load(vehicles))
        return fail(ResultFailed);
    std::map<QString, ULONG> byName;
    std::map<ULONG, CVehicle*> byRefID;
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        CVehicle* vehicle = vehicles.Get(i);
        byName.emplace(FoldedVehicleName(QString::fromUtf16(vehicle->GetName())), vehicle->GetRefID());
        byRefID.emplace(vehicle->GetRefID(), vehicle);
    }
    std::unordered_set<ULONG> refIDs;
    std::unordered_set<Key, KeyHash> stored;
    {
        CObjectListT<CEntry> entries;
        CEntryFilter all;
        if (!m_DataLayer.Load(entries, all))
            return fail(ResultFailed);
        CLocalDays days;
        refIDs.reserve(static_cast<std::size_t>(entries.GetCount()));
        stored.reserve(static_cast<std::size_t>(entries.GetCount()));
        for (int i = 0; i < entries.GetCount(); ++i) {
            const CEntry* entry = entries.Get(i);
            refIDs.insert(entry->GetRefID());
            stored.insert({entry->GetVehicleID(), entry->GetType(), days.Day(entry->GetDate()).toJulianDay(),
                           entry->GetOdometer(), Cents(entry->GetAmount())});
        }
    }
    for (const auto& [refID, vehicle] : byRefID)
        refIDs.insert(refID);

    std::mt19937 random(std::random_device{}());
    auto newRefID = [&]() {
        for (;;) {
            const auto value = static_cast<ULONG>(random());
            if (value != 0 && refIDs.insert(value).second)
                return value;
        }
    };

    std::vector<std::unique_ptr<CVehicle>> made;
    ULONG dryRunVehicle = 0;
    std::map<ULONG, LONG> highest; // vehicle -> highest odometer imported
    auto resolve = [&](const CImportRow& row) -> ULONG {
        const QString name = VehicleNameOf(row);
        if (name.isEmpty())
            return targetVehicle;
        const QString key = FoldedVehicleName(name);
        if (const auto found = byName.find(key); found != byName.end())
            return found->second;
        ++m_Summary.vehiclesMade;
        ULONG refID = 0;
        if (dryRun) {
            refID = --dryRunVehicle; // stands in for the vehicle that would be made
        } else {
            auto vehicle = std::make_unique<CVehicle>();
            vehicle->SetName(name.trimmed().toStdU16String().c_str());
            vehicle->SetYear(QDate::currentDate().year());
            vehicle->SetCurrentOdometer(0);
            if (!m_DataLayer.Save(vehicle.get(), 0))
                return 0;
            refID = vehicle->GetRefID();
            byRefID.emplace(refID, vehicle.get());
            made.push_back(std::move(vehicle));
        }
        byName.emplace(key, refID);
        return refID;
    };

    m_Reader.Rewind();
    QStringList fields;
    qint64 line = 0;
    m_Reader.Next(fields, line); // the header
    CImportRow row;
    CImportProblem problem;
    qint64 rows = 0;
    CEntry entry;
    for (;;) {
        const CCsvReader::ReadResult result = m_Reader.Next(fields, line);
        if (result == CCsvReader::ReadEnd)
            break;
        if (result != CCsvReader::ReadRecord)
            return fail(ResultFailed); // the file changed since it was checked
        ++rows;
        if (progress && rows % kProgressStep == 0 && !progress(size + m_Reader.BytesRead(), size * 2))
            return fail(ResultCancelled);
        if (m_Reader.LastRecordHadBadText() || !m_Mapping.Convert(fields, row, problem))
            continue; // counted as refused by the check
        const ULONG vehicle = resolve(row);
        if (vehicle == 0) {
            if (VehicleNameOf(row).isEmpty())
                continue; // no vehicle named: refused by the check
            return fail(ResultFailed);
        }
        if (stored.count({vehicle, row.type, row.day.toJulianDay(), row.odometer, Cents(row.amount)})) {
            ++m_Summary.duplicates;
            continue;
        }
        if (m_Mapping.GetKind() == CImportMapping::KindFuelLog &&
            (row.notes.startsWith(LoadStringResource(IDS_PARTIAL_FILL_UP)) ||
             row.notes.startsWith(LoadStringResource(IDS_MISSED_FILL_UP))))
            m_Summary.fillUpMarks = true;
        auto& top = highest[vehicle];
        top = std::max(top, row.odometer);
        ++m_Summary.imported;
        if (dryRun)
            continue;
        // One record reused: a save with a preset reference ID and no row ID inserts.
        entry.SetID(0);
        entry.SetRefID(newRefID());
        entry.SetVehicleID(vehicle);
        entry.SetType(row.type);
        entry.SetDate(row.date);
        entry.SetOdometer(row.odometer);
        entry.SetAmount(row.amount);
        entry.SetCustom1(row.custom1);
        entry.SetCustom2(row.custom2);
        entry.SetVendor(row.vendor.toStdU16String().c_str());
        entry.SetName(row.name.toStdU16String().c_str());
        entry.SetNotes(row.notes.toStdU16String().c_str());
        if (!m_DataLayer.Save(&entry, 0))
            return fail(ResultFailed);
    }
    if (progress && !progress(size * 2, size * 2))
        return fail(ResultCancelled);
    if (dryRun)
        return ResultOK;

    for (const auto& [refID, odometer] : highest) {
        const auto found = byRefID.find(refID);
        if (found != byRefID.end() && odometer > found->second->GetCurrentOdometer() &&
            !m_DataLayer.UpdateCurrentOdometer(found->second, odometer))
            return fail(ResultFailed);
    }
    switch (m_DataLayer.Commit()) {
    case CDataLayer::CommitOK:
        return ResultOK;
    case CDataLayer::CommitBusy:
        return fail(ResultBusy);
    default:
        return fail(ResultFailed);
    }
}
