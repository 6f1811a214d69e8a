#pragma once
// The reminder list: one row per reminder of a vehicle with its description, date (a local day),
// odometer and, for one due at a reading, the day it is expected from the vehicle's recent driving; rows are
// added at the top, so the last one loaded comes first. A reminder that is due now shows in bold. The columns
// always fill the list's width: a column the user widens or narrows gives or takes the width of its
// right-hand neighbour, and any other resize goes to the description. The list owns the reminders it shows.

#include "widgets/CCustomListView.h"

#include "core/ReminderSchedule.h"
#include "records/CObjectListT.h"

#include <QDate>

#include <optional>
#include <unordered_map>
#include <vector>

#include <array>

class CNotificationListView : public CCustomListView {
    Q_OBJECT

public:
    enum Column { ColumnDescription, ColumnDate, ColumnOdometer, ColumnExpected, ColumnCount };

    explicit CNotificationListView(QWidget* parent = nullptr);
    ~CNotificationListView() override;

    // Once the shared fonts exist: the columns, the font and the icon.
    void SetUp();

    // Drops all rows and reminders, then loads the vehicle's reminders and its log's readings;
    // empty when that fails.
    bool Reload(ULONG vehicleRefID);
    // Reads the log's readings again, after an entry was stored.
    void ReloadReadings();
    // Inserts the reminder's row at the top (taking ownership of a reminder it does not hold
    // yet). Updating moves the reminder's existing row to the top and selects it; -1 when the
    // reminder has no row.
    int AddOrUpdateRow(CNotification* reminder, bool update);
    CNotification* GetSelectedReminder() const;
    // Selects, focuses and shows the row.
    void SelectRow(int row);

    const CObjectListT<CNotification>& Reminders() const { return m_Reminders; }
    CNotification* ReminderAt(int row) const;
    bool IsRowDue(int row) const;
    // The cell's text as shown.
    QString CellText(int row, int column) const;

    // A reading as the lists show it: the locale's grouping, exact for every 32-bit value.
    static QString OdometerText(LONG odometer);

protected:
    QString RowText(int row) const override;
    QVariant CellData(int row, int column, int role) const override;
    void PrepareContextMenu(QMenu& menu) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitContentColumns();
    void FitColumns();
    // The expected day's whole width, or half of what the date and the reading leave.
    void FitExpectedColumn();
    void RememberWidths();
    // The day the reminder is expected, kept per reminder until its due reading changes.
    std::optional<QDate> ExpectedDay(const CNotification& reminder) const;

    CObjectListT<CNotification> m_Reminders;
    ULONG m_VehicleRefID = 0;
    std::vector<OdometerReading> m_Readings;
    struct Expected {
        LONG odometer = 0;
        std::optional<QDate> day;
    };
    mutable std::unordered_map<ULONG, Expected> m_Expected; // by the reminder's reference ID
    QIcon m_Icon;
    std::array<int, ColumnCount> m_Widths{};
    bool m_Fitting = false;
    int m_ExpectedWidth = 0; // what the expected day needs to be shown whole
};
