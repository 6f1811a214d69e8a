#include "reminders/CDlgReminders.h"

#include "reminders/CNotificationListView.h"
#include "reminders/EditReminder.h"
#include "reminders/MarkReminderDone.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "records/CNotification.h"
#include "widgets/CMenuResource.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include <memory>

CDlgReminders::CDlgReminders(ULONG vehicleRefID, QWidget* parent)
    : CFullScreenDialog(IDD_UPCOMING_REMINDERS, QStringLiteral("Upcoming Reminders"), parent,
                        IDR_REMINDER_LIST_MENU),
      m_VehicleRefID(vehicleRefID) {
    FillToEdges();
    // Room for the description beside the date, the reading and the expected day.
    SetFirstSize(QSize(600, 380));
    m_Title = new QLabel(this);
    m_Title->setObjectName(QStringLiteral("reminderListTitle"));
    m_Title->setFont(SmallBoldFont());
    m_Title->setContentsMargins(4, 2, 4, 2);
    Body()->addWidget(m_Title);
    m_List = new CNotificationListView(this);
    Body()->addWidget(m_List, 1);

    m_List->SetUp();
    m_List->SetCommandHandler([this](int id) { OnCommand(id); });
    connect(m_List, &CNotificationListView::EnterPressed, this, &CDlgReminders::OnEdit);
    connect(m_List, &QAbstractItemView::doubleClicked, this, [this] { OnEdit(); });
    if (QMenu* keys = SoftKeyMenu()) {
        for (QAction* action : keys->actions()) {
            if (QMenu* popup = action->menu())
                connect(popup, &QMenu::aboutToShow, this, &CDlgReminders::UpdateMenuStates);
        }
    }
    m_List->Reload(m_VehicleRefID);
    m_List->SelectRow(0);
    m_List->setFocus();
}

CDlgReminders::~CDlgReminders() = default;

void CDlgReminders::SetTitleText(const QString& text) {
    m_Title->setText(text);
}

void CDlgReminders::OnSoftKeyCommand(int id) {
    OnCommand(id);
}

void CDlgReminders::OnCommand(int id) {
    switch (id) {
    case ID_NEW_REMINDER:
        OnNew();
        break;
    case ID_EDIT:
        OnEdit();
        break;
    case ID_DELETE:
        OnDelete();
        break;
    case ID_REMINDER_WORK_DONE:
        OnWorkDone();
        break;
    case ID_DONE:
        OnDone();
        break;
    case ID_CANCEL:
        OnCancel();
        break;
    default:
        break;
    }
}

void CDlgReminders::UpdateMenuStates() {
    const bool selected = m_List->GetSelectedReminder() != nullptr;
    if (QMenu* keys = SoftKeyMenu()) {
        for (int id : {ID_EDIT, ID_DELETE, ID_REMINDER_WORK_DONE}) {
            if (QAction* action = FindCommand(*keys, id))
                action->setEnabled(selected);
        }
    }
}

void CDlgReminders::OnNew() {
    if (m_VehicleRefID == 0)
        return;
    std::unique_ptr<CNotification> reminder(new CNotification());
    reminder->SetVehicleID(m_VehicleRefID);
    if (!EditReminder(*reminder, this))
        return;
    CPrompter::Instance().MessageBox(this, LoadStringResource(IDS_REMINDER_CREATED),
                                     LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                                     CPrompter::IconInformation);
    const LONG id = reminder->GetID();
    m_List->Reload(m_VehicleRefID);
    for (int row = 0; row < m_List->GetRowCount(); ++row) {
        if (m_List->ReminderAt(row)->GetID() == id)
            m_List->SelectRow(row);
    }
    m_List->setFocus();
}

void CDlgReminders::OnEdit() {
    CNotification* reminder = m_List->GetSelectedReminder();
    if (reminder == nullptr)
        return;
    if (EditReminder(*reminder, this))
        m_List->AddOrUpdateRow(reminder, true);
    else
        m_List->viewport()->update(); // a failed save has read the stored values back
    m_List->setFocus();
}

void CDlgReminders::OnDelete() {
    CNotification* reminder = m_List->GetSelectedReminder();
    if (reminder == nullptr)
        return;
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.MessageBox(this, LoadStringResource(IDS_DELETE_REMINDER),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsYesNo,
                            CPrompter::IconWarning) != CPrompter::IDYES)
        return;
    const int row = m_List->FindItem(reminder);
    CRecordServices& records = TheRecords();
    if (!records.Delete(*reminder)) {
        prompter.MessageBox(this, FormatStringResource(IDS_REMINDER_NOT_DELETED, {records.DataFilePath()}),
                            QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
        return;
    }
    m_List->DeleteRow(row);
    m_List->SelectRow(std::min(row, m_List->GetRowCount() - 1));
    m_List->setFocus();
}

void CDlgReminders::OnWorkDone() {
    CNotification* reminder = m_List->GetSelectedReminder();
    if (reminder == nullptr)
        return;
    const int row = m_List->FindItem(reminder);
    const MarkDoneOutcome outcome = MarkReminderDone(*reminder, TheSession().ActiveOdometer(), this);
    m_LogChanged = m_LogChanged || outcome.repairStored;
    if (outcome.repairStored)
        m_List->ReloadReadings();
    if (outcome.removed) {
        m_List->DeleteRow(row);
        m_List->SelectRow(std::min(row, m_List->GetRowCount() - 1));
    } else if (outcome.done) {
        m_List->AddOrUpdateRow(reminder, true);
    } else {
        m_List->viewport()->update(); // a failed store has read the stored values back
    }
    m_List->setFocus();
}
