#include "editing/RecordEditing.h"

#include "editing/CDlgExpenseDetails.h"
#include "editing/CDlgFuelDetails.h"
#include "editing/CDlgNotes.h"
#include "editing/CDlgRepairDetails.h"
#include "editing/CDlgTripDetails.h"
#include "editing/CDlgTripExpense.h"
#include "editing/CDlgVehicleDealer.h"
#include "editing/CDlgVehicleDetails.h"
#include "editing/CDlgVehicleInsurance.h"
#include "editing/COdometerCheck.h"
#include "editing/OfferReminderDone.h"
#include "widgets/CCustomPropertySheet.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "records/CEntry.h"
#include "records/CVehicle.h"
#include "widgets/CPrompter.h"

#include <QApplication>
#include <cmath>
#include <limits>

namespace {

QString Text(LPCWSTR text) {
    return text ? QString::fromUtf16(text) : QString();
}

LPCWSTR Wide(const QString& text) {
    return reinterpret_cast<LPCWSTR>(text.utf16());
}

// A trip's reading is a float in the record and a whole number on the page (cut toward zero).
LONG WholeReading(float value) {
    if (!std::isfinite(value))
        return 0;
    const double whole = std::trunc(static_cast<double>(value));
    if (whole <= std::numeric_limits<LONG>::min())
        return std::numeric_limits<LONG>::min();
    if (whole >= std::numeric_limits<LONG>::max())
        return std::numeric_limits<LONG>::max();
    return static_cast<LONG>(whole);
}

// A reading the user left as it was keeps its stored float, fraction and all.
float ReadingBack(float stored, LONG page) {
    return WholeReading(stored) == page ? stored : static_cast<float>(page);
}

template <class Record> int SaveEdited(Record& record) {
    if (!record.IsDirty())
        return 0;
    CRecordServices& records = TheRecords();
    if (records.Save(record))
        return 1;
    CPrompter::Instance().MessageBox(QApplication::activeWindow(),
                                     FormatStringResource(IDS_RECORD_NOT_SAVED, {records.DataFilePath()}),
                                     QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
    if (record.GetID() != 0)
        records.Reload(record);
    return 0;
}

bool RunFuel(CEntry& entry, CCustomPropertySheet& sheet, DWORD& fillFlags) {
    auto* details = sheet.AddPage(std::make_unique<CDlgFuelDetails>());
    auto* notes = sheet.AddPage(std::make_unique<CDlgNotes>());
    details->date = entry.GetDate();
    details->odometer = entry.GetOdometer();
    details->quantity = entry.GetCustom1();
    details->price = entry.GetCustom2();
    details->total = entry.GetAmount();
    details->vendor = Text(entry.GetVendor());
    details->isNew = entry.GetID() == 0;
    details->partial = (fillFlags & CDataLayer::FillPartial) != 0;
    details->missed = (fillFlags & CDataLayer::FillMissed) != 0;
    details->odometerCheck = COdometerCheck(entry);
    notes->notes = Text(entry.GetNotes());
    if (sheet.DoModal() != ID_DONE)
        return false;
    fillFlags = (details->partial ? DWORD(CDataLayer::FillPartial) : 0) |
                (details->missed ? DWORD(CDataLayer::FillMissed) : 0);
    entry.SetDate(details->date);
    entry.SetOdometer(details->odometer);
    entry.SetCustom1(details->quantity);
    entry.SetCustom2(details->price);
    entry.SetAmount(details->total);
    entry.SetVendor(Wide(details->vendor));
    entry.SetNotes(Wide(notes->notes));
    return true;
}

template <class Page> bool RunRepairOrExpense(CEntry& entry, CCustomPropertySheet& sheet) {
    auto* details = sheet.AddPage(std::make_unique<Page>());
    auto* notes = sheet.AddPage(std::make_unique<CDlgNotes>());
    details->date = entry.GetDate();
    details->odometer = entry.GetOdometer();
    details->amount = entry.GetAmount();
    details->vendor = Text(entry.GetVendor());
    details->description = Text(entry.GetName());
    details->odometerCheck = COdometerCheck(entry);
    notes->notes = Text(entry.GetNotes());
    if (sheet.DoModal() != ID_DONE)
        return false;
    entry.SetDate(details->date);
    entry.SetOdometer(details->odometer);
    entry.SetAmount(details->amount);
    entry.SetVendor(Wide(details->vendor));
    entry.SetName(Wide(details->description));
    entry.SetNotes(Wide(notes->notes));
    return true;
}

bool RunTrip(CEntry& entry, CCustomPropertySheet& sheet) {
    auto* details = sheet.AddPage(std::make_unique<CDlgTripDetails>());
    auto* expense = sheet.AddPage(std::make_unique<CDlgTripExpense>());
    auto* notes = sheet.AddPage(std::make_unique<CDlgNotes>());
    details->date = entry.GetDate();
    details->description = Text(entry.GetName());
    details->start = WholeReading(entry.GetCustom1());
    details->end = WholeReading(entry.GetCustom2());
    details->odometerCheck = COdometerCheck(entry);
    const LONG distance = CDlgTripDetails::ElapsedFrom(details->start, details->end);
    expense->total = entry.GetAmount();
    // A new trip is priced; a stored one follows its distance only when its total is that price.
    expense->followsDistance =
        entry.GetID() == 0 || CDlgTripExpense::IsPriced(expense->total, distance, expense->mileageRate);
    expense->SetDistance(distance);
    expense->category = Text(entry.GetVendor());
    notes->notes = Text(entry.GetNotes());
    if (sheet.DoModal() != ID_DONE)
        return false;
    // Done on the details page, or on a trip whose Expense tab was never opened, still prices it.
    expense->SetDistance(CDlgTripDetails::ElapsedFrom(details->start, details->end));
    entry.SetDate(details->date);
    entry.SetName(Wide(details->description));
    entry.SetOdometer(details->end);
    entry.SetCustom1(ReadingBack(entry.GetCustom1(), details->start));
    entry.SetCustom2(ReadingBack(entry.GetCustom2(), details->end));
    entry.SetVendor(Wide(expense->category));
    entry.SetAmount(expense->total);
    entry.SetNotes(Wide(notes->notes));
    return true;
}

} // namespace

int EditVehicle(CVehicle& vehicle) {
    CCustomPropertySheet sheet(IDS_VEHICLE_PROPERTIES);
    auto* details = sheet.AddPage(std::make_unique<CDlgVehicleDetails>());
    auto* insurance = sheet.AddPage(std::make_unique<CDlgVehicleInsurance>());
    auto* dealer = sheet.AddPage(std::make_unique<CDlgVehicleDealer>());
    auto* notes = sheet.AddPage(std::make_unique<CDlgNotes>());
    details->name = Text(vehicle.GetName());
    details->licensePlate = Text(vehicle.GetLicensePlate());
    details->vin = Text(vehicle.GetVIN());
    details->odometer = vehicle.GetCurrentOdometer();
    details->year = vehicle.GetYear();
    insurance->policyNumber = Text(vehicle.GetInsurancePolicyNumber());
    insurance->agentName = Text(vehicle.GetInsuranceAgentName());
    insurance->agentPhone = Text(vehicle.GetInsuranceAgentPhone());
    insurance->coverage = Text(vehicle.GetInsuranceCoverage());
    insurance->expirationDate = vehicle.GetInsuranceExpirationDate();
    dealer->name = Text(vehicle.GetDealerName());
    dealer->phone = Text(vehicle.GetDealerPhone());
    dealer->address = Text(vehicle.GetDealerAddress());
    notes->notes = Text(vehicle.GetNotes());
    if (sheet.DoModal() != ID_DONE)
        return 0;
    vehicle.SetName(Wide(details->name));
    vehicle.SetLicensePlate(Wide(details->licensePlate));
    vehicle.SetVIN(Wide(details->vin));
    vehicle.SetCurrentOdometer(details->odometer);
    vehicle.SetYear(details->year);
    vehicle.SetInsurancePolicyNumber(Wide(insurance->policyNumber));
    vehicle.SetInsuranceAgentName(Wide(insurance->agentName));
    vehicle.SetInsuranceAgentPhone(Wide(insurance->agentPhone));
    vehicle.SetInsuranceCoverage(Wide(insurance->coverage));
    vehicle.SetInsuranceExpirationDate(insurance->expirationDate);
    vehicle.SetDealerName(Wide(dealer->name));
    vehicle.SetDealerPhone(Wide(dealer->phone));
    vehicle.SetDealerAddress(Wide(dealer->address));
    vehicle.SetNotes(Wide(notes->notes));
    return SaveEdited(vehicle);
}

namespace {

// A fill-up's flags live beside its row: stored once the entry is, and a change of flags alone is
// a change of the entry.
int EditFuelEntry(CEntry& entry, CCustomPropertySheet& sheet) {
    CRecordServices& records = TheRecords();
    DWORD before = 0;
    if (entry.GetID() != 0 && !records.GetFillFlags(entry, before))
        before = 0;
    DWORD after = before;
    if (!RunFuel(entry, sheet, after))
        return 0;
    const bool dirty = entry.IsDirty();
    const int saved = SaveEdited(entry);
    if ((dirty && !saved) || entry.GetID() == 0 || after == before)
        return saved;
    if (!records.SetFillFlags(entry, after)) {
        CPrompter::Instance().MessageBox(
            QApplication::activeWindow(),
            FormatStringResource(IDS_FILL_FLAGS_NOT_STORED, {records.DataFilePath()}), QString(),
            CPrompter::ButtonsOK, CPrompter::IconWarning);
        return saved;
    }
    return 1;
}

} // namespace

int EditEntry(CEntry& entry) {
    CCustomPropertySheet sheet(IDS_ENTRY_PROPERTIES);
    bool confirmed = false;
    switch (entry.GetType()) {
    case CEntry::EntryFuel:
        return EditFuelEntry(entry, sheet);
    case CEntry::EntryRepair: {
        // A reminder's work is offered once: when the repair is new or newly named so.
        const bool fresh = entry.GetID() == 0;
        const QString before = Text(entry.GetName()).trimmed();
        if (!RunRepairOrExpense<CDlgRepairDetails>(entry, sheet))
            return 0;
        const int saved = SaveEdited(entry);
        if (saved && (fresh || Text(entry.GetName()).trimmed().compare(before, Qt::CaseInsensitive) != 0))
            OfferReminderDone(entry, QApplication::activeWindow());
        return saved;
    }
    case CEntry::EntryTrip:
        confirmed = RunTrip(entry, sheet);
        break;
    case CEntry::EntryExpense:
        confirmed = RunRepairOrExpense<CDlgExpenseDetails>(entry, sheet);
        break;
    default:
        return 0;
    }
    return confirmed ? SaveEdited(entry) : 0;
}
