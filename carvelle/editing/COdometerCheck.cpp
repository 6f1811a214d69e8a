#include "editing/COdometerCheck.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/Units.h"
#include "records/CEntry.h"
#include "widgets/CPrompter.h"

#include <QDateTime>
#include <QLineEdit>

COdometerCheck::COdometerCheck(const CEntry& entry)
    : m_VehicleID(entry.GetVehicleID()), m_EntryID(entry.GetID()), m_GivenDate(entry.GetDate()),
      m_GivenOdometer(entry.GetOdometer()) {}

bool COdometerCheck::Confirm(QLineEdit* field, double date, LONG odometer) {
    if (m_VehicleID == 0 || odometer <= 0)
        return true;
    if (m_EntryID != 0 && date == m_GivenDate && odometer == m_GivenOdometer)
        return true;
    if (m_Confirmed && date == m_ConfirmedDate && odometer == m_ConfirmedOdometer)
        return true;

    // By the days the user sees: the order of two entries of one day is nobody's to question.
    const QDateTime local = OleDateToLocal(date);
    if (!local.isValid())
        return true;
    const double dayStart = LocalToOleDate(local.date().startOfDay());
    const double dayEnd = LocalToOleDate(EndOfLocalDay(local.date()));
    CRecordServices& records = TheRecords();
    CRecordServices::Reading other;
    int question = 0;
    if (records.NearestReadingBefore(m_VehicleID, dayStart, m_EntryID, other) && odometer < other.odometer)
        question = IDS_ODOMETER_LOWER;
    else if (records.NearestReadingAfter(m_VehicleID, dayEnd, m_EntryID, other) && odometer > other.odometer)
        question = IDS_ODOMETER_HIGHER;
    if (question == 0)
        return true;

    const QString text =
        FormatStringResource(question, {ShortDateText(other.date),
                                        FormatNumber(static_cast<float>(other.odometer), kWholeNumber)});
    const QString caption = field ? field->window()->windowTitle() : QString();
    if (CPrompter::Instance().MessageBox(field, text, caption, CPrompter::ButtonsYesNo,
                                         CPrompter::IconWarning) == CPrompter::IDYES) {
        m_Confirmed = true;
        m_ConfirmedDate = date;
        m_ConfirmedOdometer = odometer;
        return true;
    }
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
    return false;
}
