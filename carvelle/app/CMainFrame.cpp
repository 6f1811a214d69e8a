#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CDlgStartup.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "editing/RecordEditing.h"
#include "exchange/CDataFileBackup.h"
#include "exchange/CEntryExporter.h"
#include "exchange/CEntryImporter.h"
#include "platform/FileSystem.h"
#include "platform/SystemTime.h"
#include "records/CNotification.h"
#include "records/CVehicle.h"
#include "reminders/CDlgReminders.h"
#include "reminders/CheckReminders.h"
#include "reminders/EditReminder.h"
#include "stats/CDlgOptions.h"
#include "stats/CDlgQuickStats.h"
#include "views/CDlgDateRange.h"
#include "views/CDlgExport.h"
#include "views/CDlgImport.h"
#include "views/CVehicleListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CMenuResource.h"
#include "widgets/CPrompter.h"
#include "widgets/CWaitCursor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace {

constexpr int kDateRangeCount = 6;  // 32850..32855
constexpr int kEntryTypeCount = 5;  // 32900..32904
constexpr int kPortraitWidth = 480; // the handheld's shape
constexpr int kPortraitHeight = 640;
// The clock is looked at every minute; a tick that comes this late means the computer slept.
constexpr int kClockTickMs = 60 * 1000;
constexpr double kWakeGapDays = 3.0 * kClockTickMs / (24.0 * 60 * 60 * 1000);

// The commands that need an active vehicle: usable in the entry list, not in the vehicle list.
constexpr int kActiveVehicleCommands[] = {ID_NEW_FUEL,    ID_NEW_REPAIR,    ID_NEW_TRIP,
                                          ID_NEW_EXPENSE, ID_NEW_REMINDER,  ID_MANAGE_REMINDERS,
                                          ID_QUICK_STATS, ID_SELECT_VEHICLE};

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(product);
    resize(kPortraitWidth, kPortraitHeight);
    m_TemplatePath = LocateTemplate();

    CAppSettings& settings = TheSettings();
    m_Filter.SetEntryType(static_cast<CEntry::Type>(settings.ViewEntryType));
    m_Filter.SetDateRangeType(static_cast<CEntryFilter::DateRangeType>(settings.ViewDateRangeType));

    for (int i = 0; i < kDateRangeCount; ++i)
        m_CommandStates[ID_DATE_RANGE_ALL + i].radio = true;
    for (int i = 0; i < kEntryTypeCount; ++i)
        m_CommandStates[ID_ENTRY_TYPE_ALL + i].radio = true;

    CreateSoftKeys();

    // The two views: the vehicle list is the client and shown, the entry list waits hidden.
    m_Client = new QWidget(this);
    m_Client->setObjectName(QStringLiteral("client"));
    m_ClientLayout = new QVBoxLayout(m_Client);
    m_ClientLayout->setContentsMargins(0, 0, 0, 0);
    m_ClientLayout->setSpacing(0);
    setCentralWidget(m_Client);
    m_VehicleView = std::make_unique<CViewVehicles>(m_Client);
    m_EntryView = std::make_unique<CViewEntries>(m_Client);
    connect(m_VehicleView.get(), &CViewVehicles::NewVehicleRequested, this,
            [this] { PostCommand(ID_NEW_VEHICLE); });
    connect(m_VehicleView.get(), &CViewVehicles::VehicleActivated, this,
            [this](CVehicle* vehicle) { SetActiveVehicle(vehicle, false); });
    m_VehicleView->SetVehicleEditor([this](CVehicle& vehicle) { return RunVehicleEditor(vehicle); });
    connect(m_VehicleView.get(), &CViewVehicles::VehicleEdited, this,
            [this](CVehicle* vehicle) { SetActiveVehicle(vehicle, true); });
    connect(m_VehicleView.get(), &CViewVehicles::VehicleDeleted, this,
            [this] { SetActiveVehicle(nullptr, false); });
    m_ClientLayout->addWidget(m_VehicleView.get());
    m_EntryView->SetEntryEditor([this](CEntry& entry) { return RunEntryEditor(entry); });
    connect(m_EntryView.get(), &CViewEntries::EntriesChanged, this, &CMainFrame::UpdateActiveOdometer);
    m_ClientLayout->addWidget(m_EntryView.get());
    m_EntryView->hide();
    m_CurrentView = ViewVehicles;
    setFocusProxy(m_VehicleView.get());

    SetActiveVehicleCommandsEnabled(false);
    UpdateRadioChecks();

    auto* exitKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    exitKey->setObjectName(QStringLiteral("accelExit"));
    connect(exitKey, &QShortcut::activated, this, [this] { OnCommand(ID_APP_EXIT); });

    OnClockTick();
    m_ClockTimer = new QTimer(this);
    m_ClockTimer->setObjectName(QStringLiteral("clockTimer"));
    m_ClockTimer->setInterval(kClockTickMs);
    connect(m_ClockTimer, &QTimer::timeout, this, &CMainFrame::OnClockTick);
    m_ClockTimer->start();
}

CMainFrame::~CMainFrame() {
    // The views go before the client area that holds them.
    m_EntryView.reset();
    m_VehicleView.reset();
}

void CMainFrame::CreateSoftKeys() {
    m_Menu = LoadMenuResource(IDR_MAINFRAME_MENU, this);
    m_SoftKeyBar = new QToolBar(this);
    m_SoftKeyBar->setObjectName(QStringLiteral("softkeybar"));
    m_SoftKeyBar->setMovable(false);
    m_SoftKeyBar->setFloatable(false);
    m_SoftKeyBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::BottomToolBarArea, m_SoftKeyBar);

    // "New" at the left end, "Menu" at the right.
    const QList<QAction*> top = m_Menu->actions();
    for (int i = 0; i < top.size() && i < 2; ++i) {
        if (i == 1) {
            auto* gap = new QWidget(m_SoftKeyBar);
            gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            m_SoftKeyBar->addWidget(gap);
        }
        auto* key = new QToolButton(m_SoftKeyBar);
        key->setObjectName(QStringLiteral("softkey%1").arg(i + 1));
        key->setText(top[i]->text());
        key->setMenu(top[i]->menu());
        key->setPopupMode(QToolButton::InstantPopup);
        key->setToolButtonStyle(Qt::ToolButtonTextOnly);
        // The right key's menu opens aligned to its right edge, so it stays over the window.
        if (i == 1)
            key->setLayoutDirection(Qt::RightToLeft);
        m_SoftKeyBar->addWidget(key);
    }

    // The states are set on every popup as it opens.
    std::function<void(QMenu&)> hook = [this, &hook](QMenu& menu) {
        connect(&menu, &QMenu::aboutToShow, this, [this, &menu] { ApplyCommandStates(menu); });
        for (QAction* action : menu.actions()) {
            if (QMenu* popup = action->menu())
                hook(*popup);
        }
    };
    hook(*m_Menu);

    // Each radio group is drawn as radio items.
    auto* dateRanges = new QActionGroup(m_Menu.get());
    auto* entryTypes = new QActionGroup(m_Menu.get());
    ForEachCommand(*m_Menu, [this, dateRanges, entryTypes](QAction& action, int id) {
        if (id >= ID_DATE_RANGE_ALL && id < ID_DATE_RANGE_ALL + kDateRangeCount)
            dateRanges->addAction(&action);
        else if (id >= ID_ENTRY_TYPE_ALL && id < ID_ENTRY_TYPE_ALL + kEntryTypeCount)
            entryTypes->addAction(&action);
        connect(&action, &QAction::triggered, this, [this, id] {
            OnCommand(id);
            // A radio item checks itself when triggered; the table decides (a cancelled
            // custom range keeps the old check).
            ApplyCommandStatesEverywhere();
        });
    });
}

// ---- Command states ------------------------------------------------------------------------

bool CMainFrame::IsCommandEnabled(int id) const {
    const auto it = m_CommandStates.find(id);
    return it == m_CommandStates.end() || it->second.enabled;
}

bool CMainFrame::IsCommandChecked(int id) const {
    const auto it = m_CommandStates.find(id);
    return it != m_CommandStates.end() && it->second.checked;
}

void CMainFrame::ApplyCommandStates(QMenu& menu) const {
    ForEachCommand(menu, [this](QAction& action, int id) {
        const auto it = m_CommandStates.find(id);
        if (it == m_CommandStates.end())
            return;
        action.setEnabled(it->second.enabled);
        action.setCheckable(it->second.radio);
        if (it->second.radio)
            action.setChecked(it->second.checked);
    });
}

void CMainFrame::ApplyCommandStatesEverywhere() {
    if (m_Menu)
        ApplyCommandStates(*m_Menu);
}

void CMainFrame::SetActiveVehicleCommandsEnabled(bool enabled) {
    for (int id : kActiveVehicleCommands)
        m_CommandStates[id].enabled = enabled;
    for (int i = 0; i < kDateRangeCount; ++i)
        m_CommandStates[ID_DATE_RANGE_ALL + i].enabled = enabled;
    for (int i = 0; i < kEntryTypeCount; ++i)
        m_CommandStates[ID_ENTRY_TYPE_ALL + i].enabled = enabled;
    ApplyCommandStatesEverywhere();
}

void CMainFrame::UpdateRadioChecks() {
    const int range = static_cast<int>(m_Filter.GetDateRangeType());
    for (int i = 0; i < kDateRangeCount; ++i)
        m_CommandStates[ID_DATE_RANGE_ALL + i].checked = (i == range);
    const int type = static_cast<int>(m_Filter.GetEntryType());
    for (int i = 0; i < kEntryTypeCount; ++i)
        m_CommandStates[ID_ENTRY_TYPE_ALL + i].checked = (i == type);
    ApplyCommandStatesEverywhere();
}

// ---- Views and the active vehicle ------------------------------------------------------------

void CMainFrame::ShowView(int view) {
    m_CurrentView = view;
    const bool entries = (view == ViewEntries);
    m_EntryView->setVisible(entries);
    m_VehicleView->setVisible(!entries);
    if (entries) {
        setFocusProxy(m_EntryView.get());
        m_EntryView->FocusList();
    } else {
        setFocusProxy(m_VehicleView.get());
        if (CVehicleListView* list = m_VehicleView->List())
            list->setFocus();
        // Leaving for the vehicle list clears the active vehicle, also for the next start.
        TheSession().Deactivate();
    }
    m_ClientLayout->activate();
    SetActiveVehicleCommandsEnabled(entries);
}

void CMainFrame::SetActiveVehicle(CVehicle* vehicle, bool force) {
    CSession& session = TheSession();
    if (vehicle == nullptr) {
        m_Filter.SetVehicleID(0);
        m_EntryView->SetCaption(LoadStringResource(IDS_NO_ACTIVE_VEHICLE));
        m_EntryView->Reload(nullptr);
        session.Deactivate();
        return;
    }
    if (!force && vehicle->GetRefID() == session.ActiveVehicle()) {
        ShowView(ViewEntries);
        return;
    }
    m_EntryView->SetCaption(CVehicleListView::DisplayText(*vehicle));
    m_Filter.SetVehicleID(vehicle->GetRefID());
    m_EntryView->Reload(&m_Filter);
    m_EntryView->FocusList();
    m_VehicleView->SelectVehicle(vehicle);
    session.Activate(vehicle->GetRefID(), vehicle->GetCurrentOdometer());
    ShowView(ViewEntries);
    CheckReminders(*vehicle);
}

CVehicle* CMainFrame::FindActiveVehicle() const {
    const ULONG active = TheSession().ActiveVehicle();
    return active != 0 ? m_VehicleView->FindByRefID(active) : nullptr;
}

void CMainFrame::UpdateActiveOdometer() {
    CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        return;
    CSession& session = TheSession();
    CRecordServices& records = TheRecords();
    LONG odometer = 0;
    // With no reading left (the last entries deleted) the current odometer stays as it was.
    if (!records.GetMaxOdometer(vehicle->GetRefID(), odometer) || odometer == 0 ||
        odometer == session.ActiveOdometer())
        return;
    if (records.UpdateCurrentOdometer(*vehicle, odometer)) {
        session.SetActiveOdometer(odometer);
        CheckReminders(*vehicle);
    }
}

// ---- Commands ----------------------------------------------------------------------------

void CMainFrame::PostCommand(int id) {
    QMetaObject::invokeMethod(
        this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_NEW_VEHICLE:
        OnNewVehicle();
        return true;
    case ID_NEW_FUEL:
        OnNewEntry(CEntry::EntryFuel);
        return true;
    case ID_NEW_REPAIR:
        OnNewEntry(CEntry::EntryRepair);
        return true;
    case ID_NEW_TRIP:
        OnNewEntry(CEntry::EntryTrip);
        return true;
    case ID_NEW_EXPENSE:
        OnNewEntry(CEntry::EntryExpense);
        return true;
    case ID_NEW_REMINDER:
        OnNewReminder();
        return true;
    case ID_EDIT:
    case ID_DELETE:
        ForwardToView(id);
        return true;
    case ID_QUICK_STATS:
        OnQuickStats();
        return true;
    case ID_MANAGE_REMINDERS:
        OnManageReminders();
        return true;
    case ID_SELECT_VEHICLE:
        ShowView(ViewVehicles);
        return true;
    case ID_OPTIONS:
        OnOptions();
        return true;
    case ID_APP_ABOUT:
        OnAbout();
        return true;
    case ID_IMPORT:
        OnImport();
        return true;
    case ID_EXPORT:
        OnExport();
        return true;
    case ID_BACKUP:
        OnBackup();
        return true;
    case ID_OPEN_DATA_FILE:
        OnOpenDataFile();
        return true;
    case ID_APP_EXIT:
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return true;
    default:
        break;
    }
    if (id >= ID_DATE_RANGE_ALL && id < ID_DATE_RANGE_ALL + kDateRangeCount) {
        OnDateRange(id);
        return true;
    }
    if (id >= ID_ENTRY_TYPE_ALL && id < ID_ENTRY_TYPE_ALL + kEntryTypeCount) {
        OnEntryType(id);
        return true;
    }
    return false;
}

void CMainFrame::ForwardToView(int id) {
    // Posted on, so the view acts after the menu has gone.
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            if (m_CurrentView == ViewEntries)
                m_EntryView->HandleCommand(id);
            else
                m_VehicleView->HandleCommand(id);
        },
        Qt::QueuedConnection);
}

void CMainFrame::ReloadEntries() {
    m_EntryView->Reload(&m_Filter);
    m_EntryView->FocusList();
}

void CMainFrame::OnNewVehicle() {
    std::unique_ptr<CVehicle> vehicle(new CVehicle());
    if (!RunVehicleEditor(*vehicle))
        return;
    if (m_CurrentView == ViewEntries)
        ShowView(ViewVehicles);
    m_VehicleView->AddVehicle(vehicle.release());
}

void CMainFrame::OnNewEntry(CEntry::Type type) {
    const CSession& session = TheSession();
    if (session.ActiveVehicle() == 0)
        return;
    std::unique_ptr<CEntry> entry(new CEntry());
    entry->SetVehicleID(session.ActiveVehicle());
    entry->SetOdometer(session.ActiveOdometer());
    entry->SetType(type);
    if (type == CEntry::EntryTrip) {
        entry->SetCustom1(static_cast<float>(session.ActiveOdometer()));
        entry->SetCustom2(static_cast<float>(session.ActiveOdometer()) + 100.0f);
    }
    if (!RunEntryEditor(*entry))
        return;
    // Saved; it is shown only when the current filter lets it through.
    if (m_Filter.EntryMatchesFilter(entry.get())) {
        m_EntryView->AddEntry(entry.release());
        m_EntryView->FocusList();
    }
    entry.reset();
    UpdateActiveOdometer();
}

void CMainFrame::OnNewReminder() {
    if (TheSession().ActiveVehicle() == 0)
        return;
    std::unique_ptr<CNotification> reminder(new CNotification());
    if (!RunReminderEditor(*reminder))
        return;
    CPrompter::Instance().MessageBox(this, LoadStringResource(IDS_REMINDER_CREATED),
                                     LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                                     CPrompter::IconInformation);
    if (CVehicle* selected = m_VehicleView->GetSelectedVehicle())
        CheckReminders(*selected);
}

void CMainFrame::OnManageReminders() {
    if (CVehicle* vehicle = FindActiveVehicle())
        RunReminderList(*vehicle);
}

void CMainFrame::OnQuickStats() {
    if (TheSession().ActiveVehicle() != 0)
        RunQuickStats();
}

void CMainFrame::OnOptions() {
    if (RunOptionsDialog() == 2)
        return;
    TheSettings().SaveSettings();
    m_EntryView->Reload(&m_Filter);
}

void CMainFrame::OnDateRange(int command) {
    int type = command - ID_DATE_RANGE_ALL;
    if (command == ID_DATE_RANGE_CUSTOM) {
        SYSTEMTIME start{};
        SYSTEMTIME end{};
        if (const SYSTEMTIME* current = m_Filter.GetStartDate())
            start = *current;
        if (const SYSTEMTIME* current = m_Filter.GetEndDate())
            end = *current;
        // The pickers show the days the user sees for the current range.
        for (SYSTEMTIME* date : {&start, &end}) {
            const QDate day = FilterRangeDay(m_Filter, *date);
            *date = day.isValid() ? LocalToSystemTime(day.startOfDay()) : SYSTEMTIME{};
        }
        if (!RunDateRangeDialog(start, end))
            return;
        // The dialog hands back the UTC bounds of the local days the user picked.
        m_Filter.SetStartDate(start, 0);
        m_Filter.SetEndDate(end, 0);
        type = CEntryFilter::DateRangeCustom;
    }
    TheSettings().ViewDateRangeType = static_cast<DWORD>(type);
    m_Filter.SetDateRangeType(static_cast<CEntryFilter::DateRangeType>(type));
    ReloadEntries();
    UpdateRadioChecks();
}

void CMainFrame::OnEntryType(int command) {
    const int type = command - ID_ENTRY_TYPE_ALL;
    TheSettings().ViewEntryType = static_cast<DWORD>(type);
    m_Filter.SetEntryType(static_cast<CEntry::Type>(type));
    ReloadEntries();
    UpdateRadioChecks();
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    CPrompter::Instance().RunModal(about);
}

// ---- Import, export, backup and another data file ------------------------------------------

void CMainFrame::OnImport() {
    CPrompter& prompter = CPrompter::Instance();
    // Files to import are usually kept beside the data file.
    const QString folder = QFileInfo(QString::fromStdU16String(TheDataLayer().GetDBPath())).absolutePath();
    const QString path = prompter.GetOpenFileName(this, LoadStringResource(IDS_CSV_FILE_FILTER), folder);
    if (path.isEmpty())
        return;
    CEntryImporter importer(TheDataLayer());
    if (!importer.Open(path)) {
        prompter.MessageBox(this, importer.OpenProblem(), LoadStringResource(IDS_IMPORT_TITLE),
                            CPrompter::ButtonsOK, CPrompter::IconWarning);
        return;
    }
    CDlgImport dialog(importer, path, TheSession().ActiveVehicle(), this);
    if (prompter.RunModal(dialog) == 1)
        OnRefreshMessage(); // new vehicles, entries and current odometers
}

void CMainFrame::OnExport() {
    CEntryFilter inView = m_Filter;
    QString viewText;
    if (const CVehicle* vehicle = FindActiveVehicle()) {
        const QAction* type = FindCommand(*m_Menu, ID_ENTRY_TYPE_ALL + m_Filter.GetEntryType());
        viewText = QStringLiteral("%1, %2, %3")
                       .arg(QString::fromUtf16(vehicle->GetName()), type ? type->text() : QString(),
                            DateRangeText(&m_Filter));
    } else {
        inView.SetVehicleID(0);
    }
    CEntryExporter exporter(TheDataLayer());
    CDlgExport dialog(exporter, inView, viewText, this);
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.RunModal(dialog) != 1)
        return;
    prompter.MessageBox(
        this, FormatStringResource(IDS_EXPORT_DONE, {QString::number(dialog.Count()), dialog.Path()}),
        LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK, CPrompter::IconInformation);
}

void CMainFrame::OnBackup() {
    const QString source = QString::fromStdU16String(TheDataLayer().GetDBPath());
    CPrompter& prompter = CPrompter::Instance();
    const QString path =
        prompter.GetSaveFileName(this, CDlgStartup::QtFileFilter(LoadStringResource(IDS_DATA_FILE_FILTER)),
                                 CDataFileBackup::SuggestedPath(source, QDate::currentDate()));
    if (path.isEmpty())
        return;
    CDataFileBackup backup;
    CDataFileBackup::Result result = CDataFileBackup::ResultOK;
    {
        CWaitCursor wait;
        result = backup.Backup(source, path);
    }
    if (result == CDataFileBackup::ResultOK)
        prompter.MessageBox(this, FormatStringResource(IDS_BACKUP_DONE, {backup.Destination()}),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                            CPrompter::IconInformation);
    else
        prompter.MessageBox(this, backup.Problem(), QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
}

void CMainFrame::OnOpenDataFile() {
    CAppSettings& settings = TheSettings();
    CPrompter& prompter = CPrompter::Instance();
    const QString chosen =
        prompter.GetOpenFileName(this, CDlgStartup::QtFileFilter(LoadStringResource(IDS_DATA_FILE_FILTER)),
                                 QString::fromStdU16String(settings.DBPath));
    if (chosen.isEmpty())
        return;
    // A file that does not open leaves the open one as it is.
    CDataLayer probe;
    const QString problem = ConnectStatusMessage(probe.Connect(chosen.toStdU16String().c_str()), chosen);
    probe.Disconnect();
    if (!problem.isEmpty()) {
        prompter.MessageBox(this, problem, QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
        return;
    }
    settings.DBPath = chosen.toStdU16String();
    TheDataLayer().Disconnect();
    if (OpenDataFile() && FindActiveVehicle() == nullptr)
        SetActiveVehicle(nullptr, false);
}

// ---- Places for the dialogs of later work --------------------------------------------------

bool CMainFrame::RunVehicleEditor(CVehicle& vehicle) {
    return EditVehicle(vehicle) != 0;
}

bool CMainFrame::RunEntryEditor(CEntry& entry) {
    return EditEntry(entry) != 0;
}

class CMainFrame::ModalScope {
public:
    explicit ModalScope(CMainFrame& frame) : m_Frame(frame) { ++m_Frame.m_ModalDepth; }
    ~ModalScope() {
        if (--m_Frame.m_ModalDepth == 0)
            m_Frame.PostHeldMessages();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    CMainFrame& m_Frame;
};

bool CMainFrame::RunReminderEditor(CNotification& reminder) {
    const ModalScope modal(*this);
    return EditReminder(reminder, this);
}

void CMainFrame::RunReminderList(CVehicle& vehicle) {
    const ModalScope modal(*this);
    CDlgReminders dialog(vehicle.GetRefID(), this);
    dialog.SetTitleText(CVehicleListView::DisplayText(vehicle));
    CPrompter::Instance().RunModal(dialog);
}

void CMainFrame::RunQuickStats() {
    CQuickStats stats;
    if (!stats.ComputeQuickStats(&m_Filter))
        return;
    CDlgQuickStats dialog(stats, this);
    CPrompter::Instance().RunModal(dialog);
}

int CMainFrame::RunOptionsDialog() {
    CDlgOptions options(this);
    return CPrompter::Instance().RunModal(options);
}

bool CMainFrame::RunDateRangeDialog(SYSTEMTIME& start, SYSTEMTIME& end) {
    CDlgDateRange dialog(&start, &end, this);
    return CPrompter::Instance().RunModal(dialog) == 1;
}

void CMainFrame::CheckReminders(CVehicle& vehicle) {
    const ModalScope modal(*this);
    ::CheckReminders(vehicle, this);
}

// ---- Registered messages and window events ---------------------------------------------------

void CMainFrame::OnRefreshMessage() {
    if (IsModalOpen()) {
        m_HeldRefresh = true;
        return;
    }
    m_VehicleView->Reload();
    CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        ShowView(ViewVehicles);
    SetActiveVehicle(vehicle, true);
}

void CMainFrame::OnShutdownMessage() {
    if (IsModalOpen()) {
        m_HeldShutdown = true;
        return;
    }
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool CMainFrame::IsModalOpen() const {
    return m_ModalDepth > 0 || IsCheckingReminders() || QApplication::activeModalWidget() != nullptr;
}

void CMainFrame::PostHeldMessages() {
    if (m_HeldRefresh || m_HeldShutdown || m_HeldCheck)
        QMetaObject::invokeMethod(this, &CMainFrame::RunHeldMessages, Qt::QueuedConnection);
}

void CMainFrame::RunHeldMessages() {
    // Another dialog may have opened meanwhile; its close posts this again.
    if (IsModalOpen())
        return;
    if (m_HeldShutdown) {
        m_HeldShutdown = m_HeldRefresh = m_HeldCheck = false;
        OnShutdownMessage();
        return;
    }
    if (m_HeldRefresh) {
        // The refresh makes the vehicle active again, which runs the check.
        m_HeldRefresh = m_HeldCheck = false;
        OnRefreshMessage();
    }
    if (m_HeldCheck) {
        m_HeldCheck = false;
        RequestReminderCheck();
    }
}

void CMainFrame::RequestReminderCheck() {
    if (IsModalOpen()) {
        m_HeldCheck = true;
        return;
    }
    if (CVehicle* vehicle = FindActiveVehicle())
        CheckReminders(*vehicle);
}

void CMainFrame::OnClockTick() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    const double now = NowAsOleDate();
    const int day = local.wYear * 10000 + local.wMonth * 100 + local.wDay;
    const bool first = m_LastDay == 0;
    const bool newDay = day != m_LastDay;
    const bool woke = now - m_LastTick > kWakeGapDays;
    m_LastDay = day;
    m_LastTick = now;
    if (!first && (newDay || woke))
        RequestReminderCheck();
}

bool CMainFrame::BringForward() {
    if (m_Closed)
        return false;
    if (isMinimized())
        showNormal();
    else if (!isVisible())
        show();
    raise();
    activateWindow();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && !m_Closed) {
        m_Closed = true;
        emit Closed();
    }
}

bool CMainFrame::event(QEvent* event) {
    // A modal dialog has closed: what was held may act now.
    if (event->type() == QEvent::WindowUnblocked)
        PostHeldMessages();
    return QMainWindow::event(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event) {
    QMainWindow::focusInEvent(event);
    if (m_CurrentView == ViewEntries)
        m_EntryView->FocusList();
    else
        m_VehicleView->setFocus();
}

// ---- The data file -------------------------------------------------------------------------

QString CMainFrame::LocateTemplate() {
    const QString name = LoadStringResource(IDS_TEMPLATE_FILE);
    const QDir folder(QString::fromStdString(GetModuleFolder()));
    const QString beside = folder.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../share/carvelle/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

bool CMainFrame::OpenDataFile() {
    CAppSettings& settings = TheSettings();
    if (settings.DBPath.empty()) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        // A desktop may lack the folder that the handheld always has.
        QDir().mkpath(documents);
        settings.DBPath =
            QDir(documents).filePath(LoadStringResource(IDS_DEFAULT_DATA_FILE)).toStdU16String();
    }

    CPrompter& prompter = CPrompter::Instance();
    for (;;) {
        const QString path = QString::fromStdU16String(settings.DBPath);
        const CDataLayer::ConnectStatus status = TheDataLayer().Connect(settings.DBPath.c_str());
        if (status == CDataLayer::ConnectOK) {
            settings.SaveDBPath();
            m_VehicleView->Initialize();
            m_EntryView->Initialize();
            if (CVehicle* vehicle = m_VehicleView->FindByRefID(TheSession().ActiveVehicle())) {
                SetActiveVehicle(vehicle, true);
            } else {
                ShowView(ViewVehicles);
                m_VehicleView->update();
            }
            return true;
        }
        // A missing file goes straight to the choice of another.
        if (status != CDataLayer::ConnectFileNotFound)
            prompter.MessageBox(this, ConnectStatusMessage(status, path), QString(), CPrompter::ButtonsOK,
                                CPrompter::IconWarning);

        CDlgStartup startup(this);
        if (prompter.RunModal(startup) == 2) {
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return false;
        }
        if (startup.CreateNew()) {
            const std::u16string templatePath = m_TemplatePath.toStdU16String();
            if (!CopyFileW(templatePath.c_str(), settings.DBPath.c_str(), 0)) {
                prompter.MessageBox(this,
                                    FormatStringResource(IDS_CANNOT_CREATE_DATA_FILE,
                                                         {QString::fromStdU16String(settings.DBPath)}),
                                    QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
            }
        }
    }
}
