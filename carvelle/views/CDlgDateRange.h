#pragma once
// "Select Date Range": a start and an end day, picked directly or filled by one of six shortcuts.
// The caller's two values are UTC instants; the pickers show their local days. "Done" writes back
// the start of the first local day and the end (23:59:59) of the last, unless the end day comes
// before the start day; "Cancel" leaves both untouched.

#include "platform/WinTypes.h"
#include "widgets/CFullScreenDialog.h"

#include <QDate>

class CDatePicker;

class CDlgDateRange : public CFullScreenDialog {
    Q_OBJECT

public:
    // Both values are read now and written on an accepted "Done"; an all-zero value opens on today.
    CDlgDateRange(SYSTEMTIME* start, SYSTEMTIME* end, QWidget* parent = nullptr);
    ~CDlgDateRange() override;

    // Invalid while the field's text is no date.
    QDate StartDay() const;
    QDate EndDay() const;

    // Refuses a day that cannot be read and an end day before the start day.
    void OnDone() override;

private:
    enum Shortcut { Last30Days, Last3Months, Last6Months, Last12Months, PreviousMonth, PreviousYear };

    void ApplyShortcut(Shortcut shortcut);
    void SetDays(const QDate& start, const QDate& end);

    SYSTEMTIME* m_Start;
    SYSTEMTIME* m_End;
    CDatePicker* m_StartPicker = nullptr;
    CDatePicker* m_EndPicker = nullptr;
};
