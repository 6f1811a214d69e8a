#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CBackgroundCheck.h"
#include "app/CCheckFindings.h"
#include "app/CClockWatch.h"
#include "app/CFilterCommands.h"
#include "app/CWaitLine.h"
#include "app/ImportExportCommands.h"
#include "app/SoftKeyBar.h"
#include "app/WindowPlacement.h"
#include "app/WindowTitle.h"
#include "charts/CDlgCharts.h"
#include "charts/CDlgReport.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "editing/RecordEditing.h"
#include "records/CNotification.h"
#include "records/CVehicle.h"
#include "reminders/CDlgReminders.h"
#include "reminders/CheckReminders.h"
#include "reminders/EditReminder.h"
#include "stats/CDlgOptions.h"
#include "stats/CDlgQuickStats.h"
#include "views/CDlgDateRange.h"
#include "views/CEntryListView.h"
#include "views/CVehicleListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CCustomListView.h"
#include "widgets/CMenuResource.h"
#include "widgets/CPrompter.h"
#include "widgets/CWaitOffThread.h"
#include "widgets/ScreenFit.h"

#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

// The commands that need an active vehicle: usable in the entry list, not in the vehicle list.
constexpr int kActiveVehicleCommands[] = {
    ID_NEW_FUEL,         ID_NEW_REPAIR,  ID_NEW_TRIP,       ID_NEW_EXPENSE, ID_NEW_REMINDER,
    ID_MANAGE_REMINDERS, ID_QUICK_STATS, ID_SELECT_VEHICLE, ID_VIEW_CHARTS, ID_VIEW_REPORT};

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(product);

    CAppSettings& settings = TheSettings();
    m_Filter.SetEntryType(static_cast<CEntry::Type>(settings.ViewEntryType));
    m_Filter.SetDateRangeType(static_cast<CEntryFilter::DateRangeType>(settings.ViewDateRangeType));

    m_Commands = new CFrameCommands(this);
    m_FilterCommands = std::make_unique<CFilterCommands>(
        m_Filter, *m_Commands,
        [this](SYSTEMTIME& start, SYSTEMTIME& end) { return RunDateRangeDialog(start, end); },
        [this] {
            ReloadEntries();
            UpdateRadioChecks();
        });
    m_CheckFindings = std::make_unique<CCheckFindings>();
    m_Gate = new CModalGate([this](int held) { RunHeld(held); }, this);
    // What was held while a file or log opened off the window's thread acts once that is over.
    CWaitOffThread::SetOnFinished([this] { m_Gate->Release(); });
    BindCommands();
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
    connect(m_EntryView.get(), &CViewEntries::ChartsRequested, this, [this] { PostCommand(ID_VIEW_CHARTS); });
    m_ClientLayout->addWidget(m_EntryView.get());
    m_EntryView->hide();
    m_CurrentView = ViewVehicles;
    setFocusProxy(m_VehicleView.get());

    // Edit and Delete follow what the list in view has selected.
    for (CCustomListView* list : {static_cast<CCustomListView*>(m_VehicleView->List()),
                                  static_cast<CCustomListView*>(m_EntryView->List())}) {
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &CMainFrame::UpdateSelectionCommands);
        connect(list->model(), &QAbstractItemModel::modelReset, this, &CMainFrame::UpdateSelectionCommands);
        connect(list->model(), &QAbstractItemModel::rowsRemoved, this, &CMainFrame::UpdateSelectionCommands);
    }

    SetActiveVehicleCommandsEnabled(false);
    UpdateRadioChecks();
    UpdateSelectionCommands();
    // Once the menus and views are there: they set the least size the window can take.
    RestoreWindowPlacement(*this);

    // F10 opens the menu bar's first menu.
    AddMenuBarKey(*this);

    m_Clock = new CClockWatch(this);
    OnClockTick();
    m_Clock->Start([this] { OnClockTick(); });

    m_BackgroundCheck = new CBackgroundCheck(this);
    // Our own full check must not be what a save waits for.
    m_WaitLine = new CWaitLine(*this, [this] { m_BackgroundCheck->Cancel(); });
    connect(m_BackgroundCheck, &CBackgroundCheck::Finished, this, &CMainFrame::OnBackgroundCheckFinished);
    m_WaitLine->Attach();
}

CMainFrame::~CMainFrame() {
    CWaitOffThread::SetOnFinished({});
    m_WaitLine->Detach();
    // The views go before the client area that holds them.
    m_EntryView.reset();
    m_VehicleView.reset();
}

void CMainFrame::CreateSoftKeys() {
    m_Menu = LoadMenuResource(IDR_MAINFRAME_MENU, this);
    m_SoftKeyBar = AddSoftKeyBar(*this, *m_Menu);
    m_Commands->Attach(*m_Menu);
    // The menu bar holds the same actions: one state, one command, two places.
    FillMenuBar(*menuBar(), IDR_MAINFRAME_MENU, *m_Menu);
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(MainWindowTitle(m_CurrentView == ViewEntries ? FindActiveVehicle() : nullptr));
}

void CMainFrame::UpdateFilterText() {
    m_EntryView->SetFilterText(m_FilterCommands->FilterText(*m_Menu));
}

void CMainFrame::BindCommands() {
    CFrameCommands& c = *m_Commands;
    c.Bind(ID_NEW_VEHICLE, [this] { OnNewVehicle(); });
    c.Bind(ID_NEW_FUEL, [this] { OnNewEntry(CEntry::EntryFuel); });
    c.Bind(ID_NEW_REPAIR, [this] { OnNewEntry(CEntry::EntryRepair); });
    c.Bind(ID_NEW_TRIP, [this] { OnNewEntry(CEntry::EntryTrip); });
    c.Bind(ID_NEW_EXPENSE, [this] { OnNewEntry(CEntry::EntryExpense); });
    c.Bind(ID_NEW_REMINDER, [this] { OnNewReminder(); });
    c.Bind(ID_EDIT, [this] { ForwardToView(ID_EDIT); });
    c.Bind(ID_DELETE, [this] { ForwardToView(ID_DELETE); });
    c.Bind(ID_QUICK_STATS, [this] { OnQuickStats(); });
    c.Bind(ID_VIEW_CHARTS, [this] { OnCharts(); });
    c.Bind(ID_VIEW_REPORT, [this] { OnReport(); });
    c.Bind(ID_MANAGE_REMINDERS, [this] { OnManageReminders(); });
    c.Bind(ID_SELECT_VEHICLE, [this] { ShowView(ViewVehicles); });
    c.Bind(ID_OPTIONS, [this] { OnOptions(); });
    c.Bind(ID_APP_ABOUT, [this] { OnAbout(); });
    c.Bind(ID_IMPORT, [this] { OnImport(); });
    c.Bind(ID_EXPORT, [this] { OnExport(); });
    c.Bind(ID_BACKUP, [this] { m_DataFile.Backup(this); });
    c.Bind(ID_OPEN_DATA_FILE, [this] { OnOpenDataFile(); });
    c.Bind(ID_CHECK_DATA_FILE, [this] { OnCheckDataFile(); });
    c.Bind(ID_APP_EXIT, [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); });
    m_FilterCommands->Bind();
}

// ---- Command states ------------------------------------------------------------------------

void CMainFrame::SetActiveVehicleCommandsEnabled(bool enabled) {
    for (int id : kActiveVehicleCommands)
        m_Commands->SetEnabled(id, enabled);
    m_FilterCommands->SetEnabled(enabled);
}

void CMainFrame::UpdateSelectionCommands() {
    // The lists empty themselves as the views go.
    if (!m_EntryView || !m_VehicleView)
        return;
    const CCustomListView* list = m_CurrentView == ViewEntries
                                      ? static_cast<const CCustomListView*>(m_EntryView->List())
                                      : static_cast<const CCustomListView*>(m_VehicleView->List());
    const int selected = list ? list->GetSelectedCount() : 0;
    m_Commands->SetEnabled(ID_EDIT, selected == 1);
    m_Commands->SetEnabled(ID_DELETE, selected > 0);
}

void CMainFrame::UpdateRadioChecks() {
    m_FilterCommands->UpdateChecks();
    UpdateFilterText();
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
    UpdateSelectionCommands();
    UpdateTitle();
}

void CMainFrame::SetActiveVehicle(CVehicle* vehicle, bool force) {
    CSession& session = TheSession();
    if (vehicle == nullptr) {
        m_Filter.SetVehicleID(0);
        m_EntryView->SetCaption(LoadStringResource(IDS_NO_ACTIVE_VEHICLE));
        m_EntryView->Reload(nullptr);
        session.Deactivate();
        UpdateTitle();
        return;
    }
    if (!force && vehicle->GetRefID() == session.ActiveVehicle()) {
        ShowView(ViewEntries);
        return;
    }
    m_EntryView->SetCaption(CVehicleListView::DisplayText(*vehicle));
    m_Filter.SetVehicleID(vehicle->GetRefID());
    m_EntryView->Reload(&m_Filter);
    if (m_EntryView->List()->WasCancelled()) {
        // The user would rather not wait for this log: back to the vehicle list, unless the
        // program is ending (the vehicle then opens again at the next start).
        if (!CPrompter::IsRefusing())
            ShowView(ViewVehicles);
        return;
    }
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
    return m_Commands->Run(id);
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

void CMainFrame::OnCharts() {
    const CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        return;
    const CModalGate::Scope modal(*m_Gate);
    CDlgCharts dialog(m_Filter,
                      CVehicleListView::DisplayText(*vehicle) + LoadStringResource(IDS_FILTER_SEPARATOR) +
                          m_FilterCommands->ViewText(*m_Menu),
                      this);
    CPrompter::Instance().RunModal(dialog);
}

void CMainFrame::OnReport() {
    const CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        return;
    const CModalGate::Scope modal(*m_Gate);
    CDlgReport dialog(m_Filter, CVehicleListView::DisplayText(*vehicle), m_FilterCommands->ViewText(*m_Menu),
                      this);
    CPrompter::Instance().RunModal(dialog);
}

void CMainFrame::OnOptions() {
    if (RunOptionsDialog() == ID_CANCEL)
        return;
    TheSettings().SaveSettings();
    m_EntryView->Reload(&m_Filter);
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    CPrompter::Instance().RunModal(about);
}

// ---- Import, export, backup and another data file ------------------------------------------

void CMainFrame::OnImport() {
    if (ImportEntries(this, m_DataFile.Folder()))
        OnRefreshMessage(); // new vehicles, entries and current odometers
}

void CMainFrame::OnExport() {
    ExportEntries(this, m_Filter, FindActiveVehicle(), m_FilterCommands->EntryTypeText(*m_Menu));
}

void CMainFrame::OnOpenDataFile() {
    if (m_DataFile.ChooseAnother(this) && OpenDataFile() && FindActiveVehicle() == nullptr)
        SetActiveVehicle(nullptr, false);
}

void CMainFrame::OnCheckDataFile() {
    // The same check is not run twice at once.
    m_BackgroundCheck->Cancel();
    if (m_DataFile.Check(this) && OpenDataFile() && FindActiveVehicle() == nullptr)
        SetActiveVehicle(nullptr, false);
}

void CMainFrame::OnBackgroundCheckFinished(const QString& path, const QStringList& findings, bool repair) {
    if (m_CheckFindings->Keep(path, findings, repair) && !m_Gate->Hold(CModalGate::HeldFindings))
        m_CheckFindings->Tell(this);
}

// ---- Places for the dialogs of later work --------------------------------------------------

bool CMainFrame::RunVehicleEditor(CVehicle& vehicle) {
    return EditVehicle(vehicle) != 0;
}

bool CMainFrame::RunEntryEditor(CEntry& entry) {
    return EditEntry(entry) != 0;
}

bool CMainFrame::RunReminderEditor(CNotification& reminder) {
    const CModalGate::Scope modal(*m_Gate);
    return EditReminder(reminder, this);
}

void CMainFrame::RunReminderList(CVehicle& vehicle) {
    const CModalGate::Scope modal(*m_Gate);
    bool logChanged = false;
    {
        CDlgReminders dialog(vehicle.GetRefID(), this);
        dialog.SetTitleText(CVehicleListView::DisplayText(vehicle));
        CPrompter::Instance().RunModal(dialog);
        logChanged = dialog.LogChanged();
    }
    if (logChanged)
        OnRemindersChangedLog();
}

void CMainFrame::OnRemindersChangedLog() {
    if (m_CurrentView == ViewEntries)
        ReloadEntries();
    UpdateActiveOdometer();
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
    return CPrompter::Instance().RunModal(dialog) == ID_DONE;
}

void CMainFrame::CheckReminders(CVehicle& vehicle) {
    bool logChanged = false;
    {
        const CModalGate::Scope modal(*m_Gate);
        logChanged = ::CheckReminders(vehicle, this);
    }
    // A repair stored with a reminder's work: the log shows it and the odometer follows it.
    if (logChanged)
        OnRemindersChangedLog();
}

// ---- Registered messages and window events ---------------------------------------------------

void CMainFrame::OnRefreshMessage() {
    if (m_Gate->Hold(CModalGate::HeldRefresh))
        return;
    m_VehicleView->Reload();
    CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        ShowView(ViewVehicles);
    SetActiveVehicle(vehicle, true);
}

void CMainFrame::OnShutdownMessage() {
    if (m_Gate->Hold(CModalGate::HeldShutdown))
        return;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void CMainFrame::RunHeld(int held) {
    if (held & CModalGate::HeldShutdown)
        OnShutdownMessage();
    if (held & CModalGate::HeldRefresh)
        OnRefreshMessage();
    if (held & CModalGate::HeldCheck)
        RequestReminderCheck();
    if (held & CModalGate::HeldFindings)
        m_CheckFindings->Tell(this);
}

void CMainFrame::RequestReminderCheck() {
    if (m_Gate->Hold(CModalGate::HeldCheck))
        return;
    if (CVehicle* vehicle = FindActiveVehicle())
        CheckReminders(*vehicle);
}

void CMainFrame::OnClockTick() {
    if (m_Clock->Look())
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
        StoreWindowPlacement(*this);
        m_Closed = true;
        emit Closed();
    }
}

bool CMainFrame::event(QEvent* event) {
    // The window manager's frame is known once the window shows; with it, the window is fitted
    // to the screen again.
    if (event->type() == QEvent::Show && !m_Fitted) {
        m_Fitted = true;
        QTimer::singleShot(0, this, [this] {
            if (!isMaximized() && !isFullScreen() && !FitOnScreen(*this))
                showMaximized();
        });
    }
    // A modal dialog has closed: what was held may act now.
    if (event->type() == QEvent::WindowUnblocked)
        m_Gate->Release();
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

bool CMainFrame::OpenDataFile() {
    if (!m_DataFile.Connect(this)) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return false;
    }
    m_BackgroundCheck->StartIfChanged(QString::fromUtf16(TheDataLayer().GetDBPath()));
    m_VehicleView->Initialize();
    m_EntryView->Initialize();
    if (CVehicle* vehicle = m_VehicleView->FindByRefID(TheSession().ActiveVehicle())) {
        SetActiveVehicle(vehicle, true);
    } else {
        ShowView(ViewVehicles);
        m_VehicleView->update();
    }
    UpdateTitle();
    return true;
}
