#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CBackgroundCheck.h"
#include "charts/CDlgCharts.h"
#include "charts/CDlgReport.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "editing/RecordEditing.h"
#include "exchange/CEntryExporter.h"
#include "exchange/CEntryImporter.h"
#include "exchange/ImportText.h"
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
#include "views/CEntryListView.h"
#include "views/CVehicleListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CCustomListView.h"
#include "widgets/CMenuResource.h"
#include "widgets/CPrompter.h"
#include "widgets/CSoftKeyButton.h"
#include "widgets/CWaitOffThread.h"
#include "widgets/ScreenFit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QToolBar>

namespace {

constexpr int kDateRangeCount = 6; // 32850..32855
constexpr int kEntryTypeCount = 5; // 32900..32904
// A first start without a screen to measure.
constexpr int kFirstWidth = 640;
constexpr int kFirstHeight = 480;
// Small enough for a small screen, big enough for the menu bar and a few rows.
constexpr int kMinimumWidth = 360;
constexpr int kMinimumHeight = 320;
// The clock is looked at every minute; a tick that comes this late means the computer slept.
constexpr int kClockTickMs = 60 * 1000;
constexpr double kWakeGapDays = 3.0 * kClockTickMs / (24.0 * 60 * 60 * 1000);

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
    RestorePlacement();

    // F10 opens the menu bar's first menu, as in the desktop's other programs.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("accelMenuBar"));
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (!menuBar()->actions().isEmpty())
            menuBar()->setActiveAction(menuBar()->actions().first());
    });

    OnClockTick();
    m_ClockTimer = new QTimer(this);
    m_ClockTimer->setObjectName(QStringLiteral("clockTimer"));
    m_ClockTimer->setInterval(kClockTickMs);
    connect(m_ClockTimer, &QTimer::timeout, this, &CMainFrame::OnClockTick);
    m_ClockTimer->start();

    m_BackgroundCheck = new CBackgroundCheck(this);
    connect(m_BackgroundCheck, &CBackgroundCheck::Finished, this, &CMainFrame::OnBackgroundCheckFinished);
    TheRecords().SetWaitNotice([this](CRecordServices::Wait wait) {
        // A load off the window's thread waits there; the window shows it on its own.
        if (QThread::currentThread() != thread())
            QMetaObject::invokeMethod(
                this, [this, wait] { ShowWait(wait); }, Qt::QueuedConnection);
        else
            ShowWait(wait);
    });
}

CMainFrame::~CMainFrame() {
    CWaitOffThread::SetOnFinished({});
    TheRecords().SetWaitNotice({});
    ShowWait(CRecordServices::Wait::None);
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
        auto* key = new CSoftKeyButton(m_SoftKeyBar);
        key->setObjectName(QStringLiteral("softkey%1").arg(i + 1));
        key->setText(top[i]->text());
        key->SetPopup(top[i]->menu(), i == 1);
        m_SoftKeyBar->addWidget(key);
    }

    m_Commands->Attach(*m_Menu);
    // The menu bar holds the same actions: one state, one command, two places.
    FillMenuBar(*menuBar(), IDR_MAINFRAME_MENU, *m_Menu);
}

void CMainFrame::RestorePlacement() {
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    const std::optional<CAppSettings::WindowPlacement>& stored = TheSettings().MainWindow;
    QRect wanted = stored ? QRect(stored->Left, stored->Top, stored->Width, stored->Height) : QRect();
    // A window left on a screen that is no longer there comes back on the primary one.
    const QScreen* screen = stored ? ScreenFor(wanted) : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    if (!stored) {
        // About two thirds of the screen; placed by us, not later by the window manager, so the
        // first notices centre over it.
        wanted = QRect(QPoint(), room.isValid() ? room.size() * 2 / 3 : QSize(kFirstWidth, kFirstHeight));
        wanted.moveCenter(room.center());
    }
    // Larger text makes the menus and views ask for more than a size saved before.
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    setGeometry(FitInside(wanted, room, AssumedFrame(), least));
    if ((stored && stored->Maximized) || (room.isValid() && !FitsInside(least, room, AssumedFrame())))
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::StorePlacement() {
    const bool maximized = isMaximized();
    const QRect normal = maximized || isFullScreen() ? normalGeometry() : geometry();
    if (!normal.isValid())
        return;
    TheSettings().MainWindow =
        CAppSettings::WindowPlacement{normal.x(), normal.y(), normal.width(), normal.height(), maximized};
}

void CMainFrame::UpdateTitle() {
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    const CDataLayer& layer = TheDataLayer();
    QString title = product;
    if (layer.IsConnected()) {
        const QString file = QFileInfo(QString::fromUtf16(layer.GetDBPath())).fileName();
        title = FormatStringResource(IDS_WINDOW_TITLE, {file, product});
        if (m_CurrentView == ViewEntries) {
            if (const CVehicle* vehicle = FindActiveVehicle())
                title =
                    FormatStringResource(IDS_WINDOW_TITLE, {CVehicleListView::DisplayText(*vehicle), title});
        }
    }
    setWindowTitle(title);
}

void CMainFrame::UpdateFilterText() {
    QStringList parts;
    const int type = static_cast<int>(m_Filter.GetEntryType());
    if (type != 0) {
        if (const QAction* action = FindCommand(*m_Menu, ID_ENTRY_TYPE_ALL + type))
            parts << action->iconText();
    }
    const int range = static_cast<int>(m_Filter.GetDateRangeType());
    if (range == CEntryFilter::DateRangeCustom) {
        parts << DateRangeText(&m_Filter);
    } else if (range != 0) {
        if (const QAction* action = FindCommand(*m_Menu, ID_DATE_RANGE_ALL + range))
            parts << action->iconText();
    }
    m_EntryView->SetFilterText(parts.join(LoadStringResource(IDS_FILTER_SEPARATOR)));
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
    c.BindRange(ID_DATE_RANGE_ALL, kDateRangeCount, true, [this](int id) { OnDateRange(id); });
    c.BindRange(ID_ENTRY_TYPE_ALL, kEntryTypeCount, true, [this](int id) { OnEntryType(id); });
}

// ---- Command states ------------------------------------------------------------------------

void CMainFrame::SetActiveVehicleCommandsEnabled(bool enabled) {
    for (int id : kActiveVehicleCommands)
        m_Commands->SetEnabled(id, enabled);
    m_Commands->SetEnabled(ID_DATE_RANGE_ALL, kDateRangeCount, enabled);
    m_Commands->SetEnabled(ID_ENTRY_TYPE_ALL, kEntryTypeCount, enabled);
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
    m_Commands->CheckRadio(ID_DATE_RANGE_ALL, kDateRangeCount, static_cast<int>(m_Filter.GetDateRangeType()));
    m_Commands->CheckRadio(ID_ENTRY_TYPE_ALL, kEntryTypeCount, static_cast<int>(m_Filter.GetEntryType()));
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

QString CMainFrame::ViewText() {
    QStringList parts;
    if (const QAction* type = FindCommand(*m_Menu, ID_ENTRY_TYPE_ALL + m_Filter.GetEntryType()))
        parts << type->iconText();
    parts << DateRangeText(&m_Filter);
    return parts.join(LoadStringResource(IDS_FILTER_SEPARATOR));
}

void CMainFrame::OnCharts() {
    const CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        return;
    const CModalGate::Scope modal(*m_Gate);
    CDlgCharts dialog(m_Filter,
                      CVehicleListView::DisplayText(*vehicle) + LoadStringResource(IDS_FILTER_SEPARATOR) +
                          ViewText(),
                      this);
    CPrompter::Instance().RunModal(dialog);
}

void CMainFrame::OnReport() {
    const CVehicle* vehicle = FindActiveVehicle();
    if (vehicle == nullptr)
        return;
    const CModalGate::Scope modal(*m_Gate);
    CDlgReport dialog(m_Filter, CVehicleListView::DisplayText(*vehicle), ViewText(), this);
    CPrompter::Instance().RunModal(dialog);
}

void CMainFrame::OnOptions() {
    if (RunOptionsDialog() == ID_CANCEL)
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
    const QString path =
        prompter.GetOpenFileName(this, LoadStringResource(IDS_CSV_FILE_FILTER), m_DataFile.Folder());
    if (path.isEmpty())
        return;
    CEntryImporter importer(TheDataLayer());
    if (!importer.Open(path)) {
        prompter.MessageBox(this, ImportText(importer.OpenFailure()), LoadStringResource(IDS_IMPORT_TITLE),
                            CPrompter::ButtonsOK, CPrompter::IconWarning);
        return;
    }
    CDlgImport dialog(importer, path, TheSession().ActiveVehicle(), this);
    if (prompter.RunModal(dialog) == ID_DONE)
        OnRefreshMessage(); // new vehicles, entries and current odometers
}

void CMainFrame::OnExport() {
    CEntryFilter inView = m_Filter;
    QString viewText;
    if (const CVehicle* vehicle = FindActiveVehicle()) {
        const QAction* type = FindCommand(*m_Menu, ID_ENTRY_TYPE_ALL + m_Filter.GetEntryType());
        viewText = QStringLiteral("%1, %2, %3")
                       .arg(QString::fromUtf16(vehicle->GetName()), type ? type->iconText() : QString(),
                            DateRangeText(&m_Filter));
    } else {
        inView.SetVehicleID(0);
    }
    CEntryExporter exporter(TheDataLayer());
    CDlgExport dialog(exporter, inView, viewText, this);
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.RunModal(dialog) != ID_DONE)
        return;
    QString done = FormatStringResource(IDS_EXPORT_DONE, {QString::number(dialog.Count()), dialog.Path()});
    if (exporter.BadDates() > 0)
        done += QStringLiteral("\n\n") +
                FormatStringResource(IDS_EXPORT_BAD_DATES, {QString::number(exporter.BadDates())});
    prompter.MessageBox(this, done, LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                        CPrompter::IconInformation);
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
    if (findings.isEmpty() || path != QString::fromUtf16(TheDataLayer().GetDBPath()))
        return;
    m_CheckFindings = findings;
    m_CheckOffersRepair = repair;
    if (!m_Gate->Hold(CModalGate::HeldFindings))
        ShowCheckFindings();
}

void CMainFrame::ShowCheckFindings() {
    if (m_CheckFindings.isEmpty())
        return;
    constexpr qsizetype kShown = 12;
    QStringList shown = m_CheckFindings.mid(0, kShown);
    if (m_CheckFindings.size() > kShown)
        shown << FormatStringResource(IDS_IMPORT_MORE_ERRORS,
                                      {QString::number(m_CheckFindings.size() - kShown)});
    m_CheckFindings.clear();
    QString text = FormatStringResource(IDS_CHECK_BACKGROUND_FOUND,
                                        {QString::fromUtf16(TheDataLayer().GetDBPath()), shown.join(u'\n')});
    if (m_CheckOffersRepair)
        text += QStringLiteral("\n\n") + LoadStringResource(IDS_CHECK_REPAIR_MENU);
    CPrompter::Instance().MessageBox(this, text, QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
}

void CMainFrame::ShowWait(CRecordServices::Wait wait) {
    const bool waiting = wait != CRecordServices::Wait::None;
    if (waiting) {
        if (!m_Waiting) {
            // Our own full check must not be what a save waits for.
            m_BackgroundCheck->Cancel();
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            // The wait holds up the event loop: once it runs again, the call that waited is over.
            QTimer::singleShot(0, this, [] { TheRecords().EndWait(); });
        }
        // At the foot of the window in front, the frame or an open sheet, over its buttons (which
        // cannot be used while the wait holds up the event loop); placed and painted at once.
        QWidget* host = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
        if (!m_WaitLine || m_WaitLine->parentWidget() != host) {
            delete m_WaitLine.data();
            m_WaitLine = new QLabel(host);
            m_WaitLine->setObjectName(QStringLiteral("waitLine"));
            m_WaitLine->setWordWrap(true);
            m_WaitLine->setMargin(8);
            m_WaitLine->setAutoFillBackground(true);
            m_WaitLine->setBackgroundRole(QPalette::ToolTipBase);
            m_WaitLine->setForegroundRole(QPalette::ToolTipText);
            m_WaitLine->setFrameShape(QFrame::StyledPanel);
        }
        m_WaitLine->setText(
            LoadStringResource(wait == CRecordServices::Wait::Readers ? IDS_WAIT_READERS : IDS_WAIT_WRITER));
        const int height = m_WaitLine->heightForWidth(host->width());
        m_WaitLine->setGeometry(0, host->height() - height, host->width(), height);
        m_WaitLine->show();
        m_WaitLine->raise();
        m_WaitLine->repaint();
    } else if (m_Waiting) {
        QGuiApplication::restoreOverrideCursor();
        if (m_WaitLine)
            m_WaitLine->hide();
    }
    m_Waiting = waiting;
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
    return CPrompter::Instance().RunModal(dialog) == ID_DONE;
}

void CMainFrame::CheckReminders(CVehicle& vehicle) {
    const CModalGate::Scope modal(*m_Gate);
    ::CheckReminders(vehicle, this);
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
        ShowCheckFindings();
}

void CMainFrame::RequestReminderCheck() {
    if (m_Gate->Hold(CModalGate::HeldCheck))
        return;
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
        StorePlacement();
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
