#include "exchange/CEntryExporter.h"

#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"

#include "core/CStringTable.h"
#include "datastore/CDataLayer.h"
#include "exchange/SpreadsheetSafe.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QChar>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::size_t kFlushBytes = 256 * 1024;

void AppendUtf8(std::string& out, const char16_t* text) {
    for (; *text; ++text) {
        char32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
            ++text;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // half a pair
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

// A text field, quoted when it holds a delimiter, a quote, a line end or white space at an end
// (which a reader would take away from a value outside quotes); with safe, a ' before a text that
// a spreadsheet would run.
void AppendText(std::string& out, const char16_t* text, bool safe) {
    const bool mark = safe && NeedsFormulaQuote(QStringView(text));
    bool quote = false;
    const char16_t* end = text;
    for (; *end; ++end) {
        if (*end == u',' || *end == u'"' || *end == u'\n' || *end == u'\r')
            quote = true;
    }
    if (end != text && (QChar(text[0]).isSpace() || QChar(end[-1]).isSpace()))
        quote = true;
    if (!quote) {
        if (mark)
            out += '\'';
        AppendUtf8(out, text);
        return;
    }
    out += '"';
    if (mark)
        out += '\'';
    const std::size_t start = out.size();
    AppendUtf8(out, text);
    for (std::size_t i = start; i < out.size(); ++i) {
        if (out[i] == '"')
            out.insert(i++, 1, '"');
    }
    out += '"';
}

// The shortest text that reads back as the same float.
void AppendFloat(std::string& out, float value) {
    if (!std::isfinite(value))
        value = 0.0f;
    if (value == 0.0f)
        value = 0.0f; // no "-0"
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, result.ptr);
}

void AppendInteger(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// The shortest text that reads back as the same double.
void AppendDouble(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendDay(std::string& out, const QDate& day) {
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    day.getDate(&year, &month, &dayOfMonth);
    char text[10] = {static_cast<char>('0' + year / 1000 % 10),
                     static_cast<char>('0' + year / 100 % 10),
                     static_cast<char>('0' + year / 10 % 10),
                     static_cast<char>('0' + year % 10),
                     '-',
                     static_cast<char>('0' + month / 10),
                     static_cast<char>('0' + month % 10),
                     '-',
                     static_cast<char>('0' + dayOfMonth / 10),
                     static_cast<char>('0' + dayOfMonth % 10)};
    out.append(text, sizeof text);
}

} // namespace

CEntryExporter::CEntryExporter(CDataLayer& dataLayer) : m_DataLayer(dataLayer) {}

QByteArray CEntryExporter::HeaderLine() {
    return QByteArrayLiteral(
        "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes,Partial,Missed\r\n");
}

bool CEntryExporter::Write(CEntryFilter& filter, QIODevice& out) {
    m_Count = 0;
    m_BadDates = 0;
    m_Problem.clear();
    CObjectListT<CVehicle> vehicles;
    CObjectListT<CEntry> entries;
    std::vector<std::pair<ULONG, DWORD>> flagList;
    if (!m_DataLayer.Load(vehicles) || !m_DataLayer.Load(entries, filter) ||
        !m_DataLayer.LoadFillFlags(flagList)) {
        m_Problem =
            FormatStringResource(IDS_ENTRIES_NOT_READ, {QString::fromStdU16String(m_DataLayer.GetDBPath())});
        return false;
    }
    const std::unordered_map<ULONG, DWORD> flags(flagList.begin(), flagList.end());
    std::map<ULONG, const CVehicle*> byRefID;
    for (int i = 0; i < vehicles.GetCount(); ++i)
        byRefID.emplace(vehicles.Get(i)->GetRefID(), vehicles.Get(i));
    // Entries come by vehicle: the last name found is nearly always the next one asked for.
    ULONG lastRefID = 0;
    const char16_t* lastName = u"";
    auto nameOf = [&](ULONG refID) -> const char16_t* {
        if (refID != lastRefID) {
            const auto found = byRefID.find(refID);
            lastRefID = refID;
            lastName = found != byRefID.end() ? found->second->GetName() : u"";
        }
        return lastName;
    };

    // By vehicle name, then as the log reads: date, odometer, the order of typing.
    // Names that differ only in case sort by the name itself, so that a file imported elsewhere
    // exports in the same order.
    std::vector<std::pair<QString, ULONG>> names;
    std::map<ULONG, QString> exact;
    for (const auto& [refID, vehicle] : byRefID) {
        names.emplace_back(QString::fromUtf16(vehicle->GetName()).toCaseFolded(), refID);
        exact.emplace(refID, QString::fromUtf16(vehicle->GetName()));
    }
    std::sort(names.begin(), names.end(), [&exact](const auto& a, const auto& b) {
        return std::tie(a.first, exact[a.second], a.second) < std::tie(b.first, exact[b.second], b.second);
    });
    std::map<ULONG, int> rank;
    for (std::size_t i = 0; i < names.size(); ++i)
        rank.emplace(names[i].second, static_cast<int>(i));
    struct Row {
        int vehicle; // entries of a vehicle that is gone come first
        double date;
        LONG odometer;
        LONG id;
        const CEntry* entry; // null: a vehicle without entries
        const CVehicle* vehicleOnly;
        bool operator<(const Row& other) const {
            return std::tie(vehicle, date, odometer, id) <
                   std::tie(other.vehicle, other.date, other.odometer, other.id);
        }
    };
    std::vector<Row> order;
    order.reserve(static_cast<std::size_t>(entries.GetCount()));
    for (int i = 0; i < entries.GetCount(); ++i) {
        const CEntry* entry = entries.Get(i);
        const auto found = rank.find(entry->GetVehicleID());
        order.push_back({found != rank.end() ? found->second : -1, entry->GetDate(), entry->GetOdometer(),
                         entry->GetID(), entry, nullptr});
    }
    // A whole file's or vehicle's export names the vehicles that have no entries, so that they come
    // back too.
    if (filter.GetEntryType() == CEntry::EntryNone &&
        filter.GetDateRangeType() == CEntryFilter::DateRangeAll) {
        std::vector<bool> haveEntries(names.size(), false);
        for (const Row& row : order) {
            if (row.vehicle >= 0)
                haveEntries[static_cast<std::size_t>(row.vehicle)] = true;
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const CVehicle* vehicle = byRefID[names[i].second];
            if (!haveEntries[i] &&
                (filter.GetVehicleID() == 0 || filter.GetVehicleID() == vehicle->GetRefID()))
                order.push_back({static_cast<int>(i), 0.0, 0, 0, nullptr, vehicle});
        }
    }
    // A log typed in order loads in order.
    if (!std::is_sorted(order.begin(), order.end()))
        std::sort(order.begin(), order.end());

    std::string text;
    text.reserve(kFlushBytes + 4096);
    const QByteArray header = HeaderLine();
    text.append(header.constData(), static_cast<std::size_t>(header.size()));
    auto flush = [&]() {
        if (out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            return false;
        text.clear();
        return true;
    };
    CLocalDays days;
    for (const Row& row : order) {
        if (row.vehicleOnly) {
            AppendText(text, row.vehicleOnly->GetName(), spreadsheetSafe);
            text += ",,Vehicle,";
            AppendInteger(text, std::max<LONG>(0, row.vehicleOnly->GetCurrentOdometer()));
            text += ",,,,,,,,\r\n";
            continue;
        }
        const CEntry* entry = row.entry;
        const CEntry::Type type = entry->GetType();
        AppendText(text, nameOf(entry->GetVehicleID()), spreadsheetSafe);
        text += ',';
        if (const QDate day = days.Day(entry->GetDate()); day.isValid()) {
            AppendDay(text, day);
        } else {
            // No calendar day: the number as stored, rather than nothing.
            AppendDouble(text, entry->GetDate());
            ++m_BadDates;
        }
        text += ',';
        if (const char* name = EntryTypeName(type))
            text += name;
        else
            AppendInteger(text, type);
        text += ',';
        AppendInteger(text, entry->GetOdometer());
        text += ',';
        const float custom1 = entry->GetCustom1();
        const float custom2 = entry->GetCustom2();
        if (type == CEntry::EntryTrip) {
            AppendInteger(text, std::llround(custom1));
            text += ',';
            // The end reading is the odometer; only a different one is written.
            if (custom2 != static_cast<float>(entry->GetOdometer()))
                AppendFloat(text, custom2);
        } else {
            if (type == CEntry::EntryFuel || custom1 != 0.0f)
                AppendFloat(text, custom1);
            text += ',';
            if (type == CEntry::EntryFuel || custom2 != 0.0f)
                AppendFloat(text, custom2);
        }
        text += ',';
        AppendFloat(text, entry->GetAmount());
        text += ',';
        AppendText(text, entry->GetVendor(), spreadsheetSafe);
        text += ',';
        AppendText(text, entry->GetName(), spreadsheetSafe);
        text += ',';
        AppendText(text, entry->GetNotes(), spreadsheetSafe);
        text += ',';
        DWORD fill = 0;
        if (type == CEntry::EntryFuel && !flags.empty()) {
            if (const auto found = flags.find(entry->GetRefID()); found != flags.end())
                fill = found->second;
        }
        text += (fill & CDataLayer::FillPartial) ? "yes," : ",";
        if (fill & CDataLayer::FillMissed)
            text += "yes";
        text += "\r\n";
        ++m_Count;
        if (text.size() >= kFlushBytes && !flush())
            break;
    }
    if (!flush()) {
        m_Problem = out.errorString();
        return false;
    }
    return true;
}

bool CEntryExporter::WriteFile(CEntryFilter& filter, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_Problem = file.errorString();
        return false;
    }
    if (!Write(filter, file)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_Problem = file.errorString();
        return false;
    }
    return true;
}
