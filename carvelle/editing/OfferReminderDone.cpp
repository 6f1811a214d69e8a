#include "editing/OfferReminderDone.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "records/CEntry.h"
#include "records/CNotification.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"

#include <QDate>
#include <QLocale>

bool OfferReminderDone(const CEntry& repair, QWidget* parent) {
    const QString name = QString::fromUtf16(repair.GetName()).trimmed();
    if (repair.GetType() != CEntry::EntryRepair || name.isEmpty() || repair.GetVehicleID() == 0)
        return false;
    CRecordServices& records = TheRecords();
    CObjectListT<CNotification> reminders;
    if (!records.LoadReminders(reminders, repair.GetVehicleID()))
        return false;
    CNotification* match = nullptr;
    for (int i = 0; i < reminders.GetCount() && match == nullptr; ++i) {
        if (QString::fromUtf16(reminders.Get(i)->GetName()).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            match = reminders.Get(i);
    }
    if (match == nullptr)
        return false;

    const QDate day = OleDateToLocal(repair.GetDate()).date();
    // A repair without a reading was done at the last reading logged by its day.
    LONG reading = repair.GetOdometer();
    if (reading <= 0) {
        CRecordServices::Reading before;
        reading = records.NearestReadingBefore(repair.GetVehicleID(), LocalToOleDate(EndOfLocalDay(day)),
                                               repair.GetID(), before)
                      ? before.odometer
                      : TheSession().ActiveOdometer();
    }
    CDataLayer::ReminderInterval interval;
    if (!day.isValid() || !records.GetReminderInterval(*match, interval))
        return false;
    const bool repeats = interval.EveryDistance > 0 || interval.EveryMonths > 0;
    const QString question =
        repeats ? FormatStringResource(IDS_REMINDER_OFFER_MOVE_ON,
                                       {QString::fromUtf16(match->GetName()),
                                        QLocale().toString(day, QLocale::ShortFormat),
                                        QLocale().toString(static_cast<qlonglong>(reading))})
                : FormatStringResource(IDS_REMINDER_OFFER_REMOVE, {QString::fromUtf16(match->GetName())});
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.MessageBox(parent, question, LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsYesNo,
                            CPrompter::IconInformation) != CPrompter::IDYES)
        return false;
    bool removed = false;
    if (records.CompleteReminder(*match, day, reading, std::nullopt, removed))
        return true;
    prompter.MessageBox(parent, FormatStringResource(IDS_REMINDER_DONE_NOT_STORED, {records.DataFilePath()}),
                        QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
    return false;
}
