#pragma once
// The main window: hosts the vehicle list and the entry list, carries the soft-key bar ("New",
// "Menu") and a menu bar with the same actions, dispatches every command, owns the entry filter
// and keeps the active vehicle. It opens where the user left it.

#include "app/CDataFileSession.h"
#include "app/CFrameCommands.h"
#include "app/CModalGate.h"
#include "core/CRecordServices.h"
#include "core/ResourceIds.h"
#include "platform/WinTypes.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

class CBackgroundCheck;
class CCheckFindings;
class CClockWatch;
class CFilterCommands;
class CNotification;
class CVehicle;
class CViewEntries;
class CViewVehicles;
class CWaitLine;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // The views, by their dialog template numbers.
    enum { ViewEntries = IDD_VIEW_ENTRIES, ViewVehicles = IDD_VIEW_VEHICLES };

    // The entry filter takes its entry type and date range from the settings.
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    void SetActiveVehicle(CVehicle* vehicle, bool force);
    void ShowView(int view);
    void UpdateActiveOdometer();
    CEntryFilter& GetEntryFilter() { return m_Filter; }

    // Queues the command; it runs from the event loop.
    void PostCommand(int id);
    // True when the frame handled the command.
    bool OnCommand(int id);

    CViewVehicles* VehicleView() { return m_VehicleView.get(); }
    CViewEntries* EntryView() { return m_EntryView.get(); }
    int CurrentView() const { return m_CurrentView; }

    // Connects the data layer to the stored path, asking the user through the start-up dialog
    // until a file opens (true) or the user cancels (false; a close request is then posted), and
    // fills the views from it.
    bool OpenDataFile();
    void SetTemplatePath(const QString& path) { m_DataFile.SetTemplatePath(path); }

    // The command-state table (enabled states and radio checks of the managed commands).
    bool IsCommandEnabled(int id) const { return m_Commands->IsEnabled(id); }
    bool IsCommandChecked(int id) const { return m_Commands->IsChecked(id); }
    // The soft-key menu (menu 230): its two top-level items hold the "New" and "Menu" popups.
    QMenu& SoftKeyMenu() { return *m_Menu; }

    // The registered messages. While a modal dialog is open they are held, and act once the
    // last one has closed: they would pull the vehicle list from under the dialog.
    void OnRefreshMessage();
    void OnShutdownMessage();
    // True while a modal dialog or a reminder check is open.
    bool IsModalOpen() const { return m_Gate->IsOpen(); }
    // The clock's minute tick: a new local day, or a wake from sleep, runs the reminder check
    // for the active vehicle (once no modal dialog is open).
    void OnClockTick();
    // Raises and activates the window for a copy that hands over; true when done.
    bool BringForward();

    // True once the window has been closed (the message loop then ends).
    bool IsClosed() const { return m_Closed; }

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

    // The places where the dialogs of the editing, reminder, statistics and options parts plug
    // in. Until they exist each behaves as if the user cancelled.
    virtual bool RunVehicleEditor(CVehicle& vehicle);
    virtual bool RunEntryEditor(CEntry& entry);
    virtual bool RunReminderEditor(CNotification& reminder);
    virtual void RunReminderList(CVehicle& vehicle);
    virtual void RunQuickStats();
    virtual int RunOptionsDialog(); // 2 when cancelled
    virtual bool RunDateRangeDialog(SYSTEMTIME& start, SYSTEMTIME& end);
    // The reminder due check for the active vehicle.
    virtual void CheckReminders(CVehicle& vehicle);

private:
    void CreateSoftKeys();
    // The title names the data file and, in the entry list, the open vehicle.
    void UpdateTitle();
    // The entry type and date range in force, over the entry list.
    void UpdateFilterText();
    void BindCommands();
    void SetActiveVehicleCommandsEnabled(bool enabled);
    // Edit for exactly one selected row of the list in view, Delete for any.
    void UpdateSelectionCommands();
    void UpdateRadioChecks();
    CVehicle* FindActiveVehicle() const;

    void OnNewVehicle();
    void OnNewEntry(CEntry::Type type);
    void OnNewReminder();
    void OnManageReminders();
    void OnQuickStats();
    // The charts and the report of the log in view, named with the entry type and range in force
    // ("All Entries · All Dates").
    void OnCharts();
    void OnReport();
    void OnOptions();
    void OnAbout();
    void OnImport();
    void OnExport();
    void OnOpenDataFile();
    void OnCheckDataFile();
    // The full check at start found something: told once no dialog is open.
    void OnBackgroundCheckFinished(const QString& path, const QStringList& findings, bool repair);
    void ForwardToView(int id);
    void ReloadEntries();
    // A repair stored from a reminder's "Done...": the log and the current odometer follow it.
    void OnRemindersChangedLog();

    void RunHeld(int held);
    void RequestReminderCheck();

    CEntryFilter m_Filter;
    CDataFileSession m_DataFile;
    int m_CurrentView = ViewVehicles;
    bool m_Closed = false;
    bool m_Fitted = false; // to the screen, once shown

    CFrameCommands* m_Commands = nullptr; // children
    CBackgroundCheck* m_BackgroundCheck = nullptr;
    CWaitLine* m_WaitLine = nullptr;
    CModalGate* m_Gate = nullptr;
    CClockWatch* m_Clock = nullptr;
    std::unique_ptr<CFilterCommands> m_FilterCommands;
    std::unique_ptr<CCheckFindings> m_CheckFindings;

    // The views go before the client area that holds them; the other widgets are children.
    std::unique_ptr<QMenu> m_Menu;
    QToolBar* m_SoftKeyBar = nullptr;
    QWidget* m_Client = nullptr; // the central widget
    QVBoxLayout* m_ClientLayout = nullptr;
    std::unique_ptr<CViewVehicles> m_VehicleView;
    std::unique_ptr<CViewEntries> m_EntryView;
};
