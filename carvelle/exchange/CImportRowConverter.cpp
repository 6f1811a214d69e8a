#include "exchange/CImportRowConverter.h"

#include "exchange/CImportProblem.h"
#include "exchange/CImportProfile.h"
#include "exchange/ImportValues.h"

#include "core/DecimalText.h"
#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"
#include "core/ParseIsoDay.h"
#include "datastore/CDataLayer.h"

#include <cmath>
#include <limits>

namespace {

// The largest number a row may hold; a larger one is taken for a slip.
constexpr double kLargestNumber = 1e9;

} // namespace

// One row's fields read as the mapping says; the first problem met stops the reading.
class CImportRowConverter::RowReader {
public:
    RowReader(const CImportMapping& mapping, const QStringList& fields, CImportProblem& problem)
        : m_Mapping(mapping), m_Fields(fields), m_Problem(problem) {}

    // The file's distances in the user's unit: what one of them is.
    double distanceFactor = 1.0;

    QString Value(Field field) const { return m_Mapping.Value(m_Fields, field); }
    const QStringList& Fields() const { return m_Fields; }
    CImportProblem& Problem() { return m_Problem; }
    bool Ok() const { return m_Ok; }

    bool Fault(CImportProblem::Code code, Field field, const QString& value) {
        m_Problem.code = code;
        m_Problem.field = field;
        m_Problem.column = m_Mapping.Column(field);
        m_Problem.columnName = m_Mapping.Header().value(m_Problem.column).trimmed();
        m_Problem.value = value;
        return m_Ok = false;
    }
    bool Missing(Field field) { return Fault(CImportProblem::Missing, field, QString()); }

    // A number of the field: 0 and the problem when it cannot be read; empty is 0 unless the
    // value is required.
    double Number(Field field, bool required, bool allowNegative) {
        if (!m_Ok)
            return 0.0;
        const QString text = Value(field);
        if (text.isEmpty()) {
            if (required)
                Missing(field);
            return 0.0;
        }
        const std::optional<double> value = ImportValues::ParseNumber(text, m_Mapping.decimalComma);
        if (!value)
            Fault(CImportProblem::BadNumber, field, text);
        else if (*value < 0 && !allowNegative)
            Fault(CImportProblem::Negative, field, text);
        else if (std::fabs(*value) > kLargestNumber)
            Fault(CImportProblem::TooLarge, field, text);
        return m_Ok ? *value : 0.0;
    }

    // A value worked out from others is held to the same limit as one read.
    bool WorkedOut(Field field, double value) {
        if (std::fabs(value) > kLargestNumber)
            return Fault(CImportProblem::TooLarge, field, QString::number(value, 'g', 10));
        return true;
    }

    bool Odometer(Field field, LONG& out) {
        const QString text = Value(field);
        if (text.isEmpty())
            return Missing(field);
        const std::optional<double> value = ImportValues::ParseNumber(text, m_Mapping.decimalComma);
        if (!value)
            return Fault(CImportProblem::BadNumber, field, text);
        if (*value < 0)
            return Fault(CImportProblem::Negative, field, text);
        const double rounded = std::round(*value * distanceFactor);
        if (rounded > static_cast<double>(std::numeric_limits<LONG>::max()))
            return Fault(CImportProblem::OdometerTooLarge, field,
                         distanceFactor == 1.0 ? text
                                               : QStringLiteral("%1 (%2 %3)")
                                                     .arg(text, QString::number(rounded, 'f', 0),
                                                          UnitName(AsFileUnit(m_Mapping.userDistance))));
        out = static_cast<LONG>(rounded);
        return true;
    }

private:
    const CImportMapping& m_Mapping;
    const QStringList& m_Fields;
    CImportProblem& m_Problem;
    bool m_Ok = true;
};

bool CImportRowConverter::Convert(const QStringList& fields, CImportRow& row, CImportProblem& problem) const {
    row = CImportRow();
    problem = CImportProblem();
    RowReader read(m_Mapping, fields, problem);
    read.distanceFactor = DistanceFactor(RowDistance(fields), m_Mapping.userDistance);
    row.vehicle = read.Value(FieldVehicle);
    if (m_Mapping.CurrencyColumn() >= 0)
        row.currency = fields.value(m_Mapping.CurrencyColumn()).trimmed();
    if (m_Mapping.GetKind() == KindVehicles ||
        (m_Mapping.GetKind() == KindOwn && ImportValues::IsVehicleType(read.Value(FieldType))))
        return ConvertVehicle(read, row) &&
               (m_Mapping.GetKind() != KindVehicles || VehicleDetails(fields, row));
    if (!ConvertDate(read, row) ||
        (!m_Mapping.WithoutReadings() && !read.Odometer(FieldOdometer, row.odometer)))
        return false;
    row.vendor = read.Value(FieldVendor);
    row.name = read.Value(FieldDescription);
    row.notes = read.Value(FieldNotes);

    switch (m_Mapping.GetKind()) {
    case KindOwn:
        return ConvertOwn(read, row);
    case KindFuelLog:
        return ConvertFuel(read, row);
    case KindServiceLog:
        row.type = m_Mapping.serviceType;
        row.amount = static_cast<float>(read.Number(FieldAmount, false, true));
        return read.Ok();
    case KindVehicles:
    case KindSkipped:
        break;
    }
    return true;
}

bool CImportRowConverter::ConvertVehicle(RowReader& read, CImportRow& row) const {
    // A row that names a vehicle: a table of vehicles, or a vehicle of our own export that has no
    // entries. Its odometer, when it has one, is the vehicle's current reading.
    row.vehicleOnly = true;
    if (row.vehicle.trimmed().isEmpty())
        return read.Missing(FieldVehicle);
    if (!read.Value(FieldOdometer).isEmpty() && !read.Odometer(FieldOdometer, row.odometer)) {
        // Another program's list of vehicles is read for their names; a reading that is not one
        // is left out.
        if (m_Mapping.GetKind() == KindOwn)
            return false;
        read.Problem() = CImportProblem();
        row.odometer = 0;
    }
    return true;
}

bool CImportRowConverter::ConvertDate(RowReader& read, CImportRow& row) const {
    QString dateText = read.Value(FieldDate);
    if (dateText.isEmpty())
        return read.Missing(FieldDate);
    if (const QString time = read.Value(FieldTime); !time.isEmpty())
        dateText += u' ' + time;
    const std::optional<ImportValues::LocalTime> when =
        ImportValues::ParseDate(dateText, m_Mapping.dateFormat, &read.Problem());
    if (!when) {
        read.Problem().column = m_Mapping.Column(FieldDate);
        read.Problem().columnName = m_Mapping.Header().value(read.Problem().column).trimmed();
        return false;
    }
    // In the first and last stored years the zone can push the moment past what the file holds.
    static const qint64 kSecondYear = QDate(kFirstStoredYear + 1, 1, 1).toJulianDay();
    static const qint64 kLastYear = QDate(kLastStoredYear, 1, 1).toJulianDay();
    if (when->date.toJulianDay() < kSecondYear || when->date.toJulianDay() >= kLastYear) {
        const QDateTime moment(when->date, when->time);
        if (moment < FirstStoredMoment() || moment > LastStoredMoment())
            return read.Fault(CImportProblem::DateOutOfRange, FieldDate, dateText);
    }
    row.day = when->date;
    row.date = m_Mapping.m_Days.ToOleDate(when->date, when->time);
    return true;
}

bool CImportRowConverter::ConvertVolume(RowReader& read, const QStringList& fields, double& quantity,
                                        double& price) const {
    const double factor = VolumeFactor(RowVolume(fields), m_Mapping.userVolume);
    if (factor == 1.0)
        return true;
    // A price per unit goes the other way: 3.50 a gallon is 0.9246 a litre.
    if (!read.WorkedOut(FieldQuantity, quantity * factor) || !read.WorkedOut(FieldUnitPrice, price / factor))
        return false;
    if (quantity != 0.0)
        quantity = RoundedTo(static_cast<float>(quantity * factor), kUnitDecimals);
    if (price != 0.0)
        price = RoundedTo(static_cast<float>(price / factor), kUnitDecimals + 1);
    return true;
}

std::optional<bool> CImportRowConverter::Flag(const RowReader& read, Field field) const {
    const QString value = read.Value(field).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    const QStringList& codes = m_Mapping.FlagValues(field);
    if (!codes.isEmpty())
        return codes.contains(value, Qt::CaseInsensitive);
    if (CImportProfile::IsYes(value))
        return true;
    if (CImportProfile::IsNo(value))
        return false;
    return std::nullopt;
}

bool CImportRowConverter::VehicleDetails(const QStringList& fields, CImportRow& row) const {
    auto detail = [&](int which) {
        return fields.value(m_Mapping.m_VehicleDetails[static_cast<std::size_t>(which)]).trimmed();
    };
    // A year that is not one is left out: the vehicle is still wanted for its name.
    const int year = DigitsValue(detail(0), 4);
    if (year >= 1800 && year <= 9999)
        row.year = year;
    row.makeModel = QStringList{detail(1), detail(2)}.join(u' ').trimmed();
    row.plate = detail(3);
    return true;
}

bool CImportRowConverter::ConvertOwn(RowReader& read, CImportRow& row) const {
    row.type = EntryTypeFromName(read.Value(FieldType));
    if (row.type == CEntry::EntryNone)
        return read.Fault(CImportProblem::BadType, FieldType, read.Value(FieldType));
    row.amount = static_cast<float>(read.Number(FieldAmount, false, true));
    if (row.type == CEntry::EntryTrip) {
        // The start reading travels in Quantity, the end is the odometer.
        LONG start = row.odometer;
        if (!read.Value(FieldQuantity).isEmpty() && !read.Odometer(FieldQuantity, start))
            return false;
        row.custom1 = static_cast<float>(start);
        if (read.Value(FieldUnitPrice).isEmpty()) {
            row.custom2 = static_cast<float>(row.odometer);
        } else {
            LONG end = 0;
            if (!read.Odometer(FieldUnitPrice, end))
                return false;
            row.custom2 = static_cast<float>(end);
        }
        return read.Ok();
    }
    double quantity = read.Number(FieldQuantity, row.type == CEntry::EntryFuel, false);
    double price = read.Number(FieldUnitPrice, false, false);
    if (read.Ok() && row.type == CEntry::EntryFuel && !ConvertVolume(read, read.Fields(), quantity, price))
        return false;
    // A fill-up without its total or its price per unit: worked out as in a fuel log.
    if (read.Ok() && row.type == CEntry::EntryFuel) {
        if (read.Value(FieldAmount).isEmpty()) {
            if (!read.WorkedOut(FieldAmount, quantity * price))
                return false;
            row.amount = RoundedMoney(static_cast<float>(quantity * price));
        } else if (read.Value(FieldUnitPrice).isEmpty() && quantity > 0) {
            if (!read.WorkedOut(FieldUnitPrice, row.amount / quantity))
                return false;
            price = RoundedTo(static_cast<float>(row.amount / quantity), kUnitDecimals);
        }
    }
    row.custom1 = static_cast<float>(quantity);
    row.custom2 = static_cast<float>(price);
    if (row.type == CEntry::EntryFuel)
        ReadFillFlags(read, row);
    return read.Ok();
}

bool CImportRowConverter::ConvertFuel(RowReader& read, CImportRow& row) const {
    row.type = CEntry::EntryFuel;
    double quantity = read.Number(FieldQuantity, false, false);
    double price = read.Number(FieldUnitPrice, false, false);
    double total = read.Number(FieldAmount, false, true);
    if (!read.Ok())
        return false;
    const bool haveQuantity = !read.Value(FieldQuantity).isEmpty();
    const bool haveTotal = !read.Value(FieldAmount).isEmpty();
    const bool havePrice = !read.Value(FieldUnitPrice).isEmpty();
    if (!haveTotal && !havePrice)
        return read.Missing(FieldAmount);
    // In the user's units before anything is worked out from them.
    if (!ConvertVolume(read, read.Fields(), quantity, price))
        return false;
    // What is worked out is rounded as the user would write it: money to the currency's places, a
    // quantity and a price per unit to three, as pumps show them.
    if (!haveQuantity) {
        // What was paid at what price tells how much.
        if (!haveTotal || !havePrice || price <= 0)
            return read.Missing(FieldQuantity);
        if (!read.WorkedOut(FieldQuantity, total / price))
            return false;
        quantity = RoundedTo(static_cast<float>(total / price), kUnitDecimals);
    }
    if (!haveTotal) {
        if (!read.WorkedOut(FieldAmount, quantity * price))
            return false;
        total = RoundedMoney(static_cast<float>(quantity * price));
    } else if (!havePrice && quantity > 0) {
        if (!read.WorkedOut(FieldUnitPrice, total / quantity))
            return false;
        price = RoundedTo(static_cast<float>(total / quantity), kUnitDecimals);
    }
    row.custom1 = static_cast<float>(quantity);
    row.custom2 = static_cast<float>(price);
    row.amount = static_cast<float>(total);
    ReadFillFlags(read, row);
    return true;
}

void CImportRowConverter::ReadFillFlags(RowReader& read, CImportRow& row) const {
    // A fill-type code may say a missed fill-up rather than a partial one.
    const bool missedCode =
        !m_Mapping.m_MissedCodes.isEmpty() &&
        m_Mapping.m_MissedCodes.contains(read.Value(FieldPartial).trimmed(), Qt::CaseInsensitive);
    if (Flag(read, FieldPartial) == true || Flag(read, FieldFull) == false)
        row.fillFlags |= CDataLayer::FillPartial;
    if (Flag(read, FieldMissed) == true || missedCode)
        row.fillFlags |= CDataLayer::FillMissed;
    row.partial = row.fillFlags != 0;
}

FileDistance CImportRowConverter::RowDistance(const QStringList& fields) const {
    if (m_Mapping.fileDistance == FileDistance::Unstated && m_Mapping.DistanceUnitColumn() >= 0 &&
        m_Mapping.DistanceUnitColumn() < fields.size()) {
        if (const auto unit = DistanceUnitOf(fields[m_Mapping.DistanceUnitColumn()]))
            return *unit;
    }
    return m_Mapping.DistanceIn();
}

FileVolume CImportRowConverter::RowVolume(const QStringList& fields) const {
    if (m_Mapping.fileVolume == FileVolume::Unstated && m_Mapping.VolumeUnitColumn() >= 0 &&
        m_Mapping.VolumeUnitColumn() < fields.size()) {
        const QString& value = fields[m_Mapping.VolumeUnitColumn()];
        if (const auto unit = VolumeUnitOf(value))
            return IsPlainGallons(value) && m_Mapping.SaysUk() ? FileVolume::GallonsUK : *unit;
    }
    return m_Mapping.VolumeIn();
}
