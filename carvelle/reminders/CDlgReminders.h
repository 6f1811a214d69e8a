#pragma once
// "Upcoming Reminders": the reminders of one vehicle, with New, Edit, Delete, "Done..." (the
// selected reminder's work is done) and Done. Enter or a double click edits the selected
// reminder, Delete asks before deleting it. The dialog keeps
// the vehicle it was opened for: it lists and creates reminders for that vehicle only.

#include "widgets/CFullScreenDialog.h"

#include "platform/WinTypes.h"

class CNotificationListView;
class QLabel;

class CDlgReminders : public CFullScreenDialog {
    Q_OBJECT

public:
    CDlgReminders(ULONG vehicleRefID, QWidget* parent = nullptr);
    ~CDlgReminders() override;

    // The vehicle's display text, shown above the list.
    void SetTitleText(const QString& text);

    CNotificationListView* List() const { return m_List; }

    void OnNew();
    void OnEdit();
    void OnDelete();
    void OnWorkDone();
    // A repair entry was stored with a reminder's work while the dialog was open.
    bool LogChanged() const { return m_LogChanged; }

protected:
    void OnSoftKeyCommand(int id) override;

private:
    void OnCommand(int id);
    void UpdateMenuStates();

    ULONG m_VehicleRefID;
    QLabel* m_Title = nullptr; // child widgets
    CNotificationListView* m_List = nullptr;
    bool m_LogChanged = false;
};
