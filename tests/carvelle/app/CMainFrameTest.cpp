// The main frame on its own: command states, the filter commands, the active vehicle, the new
// entry presets, the registered messages and the About box; the window's place, its menu bar,
// its title and the filter shown over the log.

#include "app/CMainFrame.h"
#include "carvelle/support/CCarvelleTest.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "records/CVehicle.h"
#include "support/TempDataFile.h"
#include "views/CVehicleListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CMenuResource.h"
#include "widgets/ScreenFit.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <optional>

namespace {

// A frame whose entry editor only records what it was given.
class CRecordingFrame : public CMainFrame {
public:
    struct Seen {
        CEntry::Type type;
        ULONG vehicleID;
        LONG odometer;
        float custom1;
        float custom2;
    };
    std::optional<Seen> seen;

protected:
    bool RunEntryEditor(CEntry& entry) override {
        seen = Seen{entry.GetType(), entry.GetVehicleID(), entry.GetOdometer(), entry.GetCustom1(),
                    entry.GetCustom2()};
        return false;
    }
};

class MainFrameTest : public CCarvelleTest {
protected:
    // A connected data file with one vehicle; returns it from the frame's vehicle list.
    CVehicle* ConnectWithVehicle(CMainFrame& frame, LONG odometer = 42000) {
        CVehicle vehicle;
        vehicle.SetName(u"Wagon");
        vehicle.SetYear(2004);
        vehicle.SetCurrentOdometer(odometer);
        EXPECT_EQ(TheDataLayer().Connect(m_Data.WidePath().c_str()), CDataLayer::ConnectOK);
        EXPECT_EQ(TheDataLayer().Save(&vehicle, 0), 1);
        m_RefID = vehicle.GetRefID();
        frame.VehicleView()->Initialize();
        frame.EntryView()->Initialize();
        return frame.VehicleView()->FindByRefID(m_RefID);
    }

    static QAction* Command(CMainFrame& frame, int id) { return FindCommand(frame.SoftKeyMenu(), id); }

    TempDataFile m_Data;
    ULONG m_RefID = 0;
};

TEST_F(MainFrameTest, IsAWindowWithTheTwoSoftKeys) {
    CMainFrame frame;
    EXPECT_EQ(frame.objectName(), QStringLiteral("CMainFrame"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Carvelle"));
    auto* newKey = frame.findChild<QToolButton*>(QStringLiteral("softkey1"));
    auto* menuKey = frame.findChild<QToolButton*>(QStringLiteral("softkey2"));
    ASSERT_NE(newKey, nullptr);
    ASSERT_NE(menuKey, nullptr);
    EXPECT_EQ(newKey->text(), QStringLiteral("New"));
    EXPECT_EQ(menuKey->text(), QStringLiteral("Menu"));
    ASSERT_NE(newKey->menu(), nullptr);
    ASSERT_NE(menuKey->menu(), nullptr);
    // Every command of the menu is reachable, with its number and text.
    for (int id : {ID_NEW_VEHICLE, ID_NEW_FUEL, ID_NEW_REPAIR, ID_NEW_TRIP, ID_NEW_EXPENSE, ID_NEW_REMINDER})
        EXPECT_NE(FindCommand(*newKey->menu(), id), nullptr) << id;
    for (int id : {ID_EDIT, ID_DELETE, ID_QUICK_STATS, ID_DATE_RANGE_CUSTOM, ID_ENTRY_TYPE_EXPENSE,
                   ID_MANAGE_REMINDERS, ID_SELECT_VEHICLE, ID_OPTIONS, ID_APP_ABOUT, ID_APP_EXIT})
        EXPECT_NE(FindCommand(*menuKey->menu(), id), nullptr) << id;
    EXPECT_EQ(FindCommand(*menuKey->menu(), ID_APP_EXIT)->iconText(), QStringLiteral("Exit"));
    EXPECT_EQ(frame.CurrentView(), 211);
    EXPECT_FALSE(frame.EntryView()->isVisibleTo(&frame));
    EXPECT_TRUE(frame.VehicleView()->isVisibleTo(&frame));
}

TEST_F(MainFrameTest, CommandsThatNeedAVehicleFollowTheView) {
    CMainFrame frame;
    const int needVehicle[] = {ID_NEW_FUEL,          ID_NEW_REPAIR,     ID_NEW_TRIP,
                               ID_NEW_EXPENSE,       ID_NEW_REMINDER,   ID_DATE_RANGE_ALL,
                               ID_DATE_RANGE_CUSTOM, ID_ENTRY_TYPE_ALL, ID_ENTRY_TYPE_EXPENSE,
                               ID_MANAGE_REMINDERS,  ID_QUICK_STATS,    ID_SELECT_VEHICLE,
                               ID_VIEW_CHARTS,       ID_VIEW_REPORT};
    const int always[] = {ID_NEW_VEHICLE, ID_OPTIONS, ID_APP_ABOUT, ID_APP_EXIT};

    auto expectStates = [&](bool entryView) {
        // The states reach the menu when its popup opens.
        QMenu* newPopup = MenuPopup(frame.SoftKeyMenu(), 0);
        QMenu* menuPopup = MenuPopup(frame.SoftKeyMenu(), 1);
        ASSERT_TRUE(newPopup && menuPopup);
        emit newPopup->aboutToShow();
        emit menuPopup->aboutToShow();
        for (int id : needVehicle) {
            EXPECT_EQ(frame.IsCommandEnabled(id), entryView) << id;
            EXPECT_EQ(Command(frame, id)->isEnabled(), entryView) << id;
        }
        for (int id : always)
            EXPECT_TRUE(Command(frame, id)->isEnabled()) << id;
        // Nothing is selected in an empty list: nothing to edit or delete.
        EXPECT_FALSE(Command(frame, ID_EDIT)->isEnabled());
        EXPECT_FALSE(Command(frame, ID_DELETE)->isEnabled());
    };

    expectStates(false);
    frame.ShowView(210);
    EXPECT_TRUE(frame.EntryView()->isVisibleTo(&frame));
    EXPECT_FALSE(frame.VehicleView()->isVisibleTo(&frame));
    expectStates(true);
    frame.ShowView(211);
    expectStates(false);

    // A selected vehicle can be edited and deleted.
    ConnectWithVehicle(frame);
    frame.VehicleView()->List()->SetItemState(0, CCustomListView::StateSelected,
                                              CCustomListView::StateSelected);
    EXPECT_TRUE(Command(frame, ID_EDIT)->isEnabled());
    EXPECT_TRUE(Command(frame, ID_DELETE)->isEnabled());
    frame.VehicleView()->List()->ClearSelection();
    EXPECT_FALSE(Command(frame, ID_EDIT)->isEnabled());
}

TEST_F(MainFrameTest, TheFilterAndItsChecksStartFromTheSettings) {
    TheSettings().ViewEntryType = 2;
    TheSettings().ViewDateRangeType = 4;
    CMainFrame frame;
    EXPECT_EQ(frame.GetEntryFilter().GetEntryType(), CEntry::EntryRepair);
    EXPECT_EQ(frame.GetEntryFilter().GetDateRangeType(), CEntryFilter::DateRangeYearToDate);
    EXPECT_TRUE(frame.IsCommandChecked(ID_ENTRY_TYPE_REPAIR));
    EXPECT_TRUE(frame.IsCommandChecked(ID_DATE_RANGE_YEAR_TO_DATE));
    EXPECT_TRUE(Command(frame, ID_DATE_RANGE_YEAR_TO_DATE)->isChecked());
    EXPECT_FALSE(frame.IsCommandChecked(ID_DATE_RANGE_ALL));
    EXPECT_FALSE(frame.IsCommandChecked(ID_ENTRY_TYPE_ALL));
}

TEST_F(MainFrameTest, DateRangeAndEntryTypeCommandsMoveTheCheckAndTheSettings) {
    CMainFrame frame;
    CVehicle* vehicle = ConnectWithVehicle(frame);
    ASSERT_NE(vehicle, nullptr);
    frame.SetActiveVehicle(vehicle, false);
    ASSERT_EQ(frame.CurrentView(), 210);

    auto checkedIn = [&](int first, int count) {
        int checked = -1;
        for (int i = 0; i < count; ++i) {
            if (frame.IsCommandChecked(first + i)) {
                EXPECT_EQ(checked, -1) << "two radio checks in one group";
                checked = i;
            }
            EXPECT_EQ(Command(frame, first + i)->isChecked(), frame.IsCommandChecked(first + i));
        }
        return checked;
    };

    for (int type = 4; type >= 0; --type) {
        Command(frame, ID_DATE_RANGE_ALL + type)->trigger();
        EXPECT_EQ(TheSettings().ViewDateRangeType, static_cast<DWORD>(type));
        EXPECT_EQ(frame.GetEntryFilter().GetDateRangeType(), type);
        EXPECT_EQ(checkedIn(ID_DATE_RANGE_ALL, 6), type);
    }
    for (int type : {3, 1, 4, 0, 2}) {
        Command(frame, ID_ENTRY_TYPE_ALL + type)->trigger();
        EXPECT_EQ(TheSettings().ViewEntryType, static_cast<DWORD>(type));
        EXPECT_EQ(frame.GetEntryFilter().GetEntryType(), type);
        EXPECT_EQ(checkedIn(ID_ENTRY_TYPE_ALL, 5), type);
    }
    // Custom dates whose dialog is cancelled change nothing.
    Command(frame, ID_DATE_RANGE_ALL + 3)->trigger();
    m_Prompter.AnswerModal([](QDialog& dialog) { CScriptedPrompter::Press(dialog, ID_CANCEL); });
    Command(frame, ID_DATE_RANGE_CUSTOM)->trigger();
    EXPECT_EQ(TheSettings().ViewDateRangeType, 3u);
    EXPECT_EQ(checkedIn(ID_DATE_RANGE_ALL, 6), 3);
    // The filter still shows the active vehicle.
    EXPECT_EQ(frame.GetEntryFilter().GetVehicleID(), m_RefID);
}

TEST_F(MainFrameTest, SettingAndClearingTheActiveVehicle) {
    CMainFrame frame;
    CVehicle* vehicle = ConnectWithVehicle(frame, 77000);
    ASSERT_NE(vehicle, nullptr);

    frame.SetActiveVehicle(vehicle, false);
    EXPECT_EQ(frame.CurrentView(), 210);
    EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("Wagon (2004)"));
    EXPECT_EQ(frame.GetEntryFilter().GetVehicleID(), m_RefID);
    EXPECT_EQ(TheSession().ActiveVehicle(), m_RefID);
    EXPECT_EQ(TheSession().ActiveOdometer(), 77000);
    EXPECT_EQ(frame.VehicleView()->GetSelectedVehicle(), vehicle);

    // "Select Vehicle" shows the vehicle list and clears the active vehicle.
    Command(frame, ID_SELECT_VEHICLE)->trigger();
    EXPECT_EQ(frame.CurrentView(), 211);
    EXPECT_EQ(TheSession().ActiveVehicle(), 0u);

    frame.SetActiveVehicle(vehicle, false);
    frame.SetActiveVehicle(nullptr, false);
    EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("<No Active Vehicle>"));
    EXPECT_EQ(frame.GetEntryFilter().GetVehicleID(), 0u);
    EXPECT_EQ(TheSession().ActiveVehicle(), 0u);
    EXPECT_EQ(TheSession().ActiveOdometer(), 0);
    EXPECT_EQ(frame.CurrentView(), 210); // the view stays
}

TEST_F(MainFrameTest, ANewTripStartsAtTheCachedOdometerAndEndsAHundredLater) {
    CRecordingFrame frame;
    // Without an active vehicle nothing happens.
    frame.OnCommand(ID_NEW_TRIP);
    EXPECT_FALSE(frame.seen.has_value());

    CVehicle* vehicle = ConnectWithVehicle(frame, 31337);
    frame.SetActiveVehicle(vehicle, false);
    Command(frame, ID_NEW_TRIP)->trigger();
    ASSERT_TRUE(frame.seen.has_value());
    EXPECT_EQ(frame.seen->type, CEntry::EntryTrip);
    EXPECT_EQ(frame.seen->vehicleID, m_RefID);
    EXPECT_EQ(frame.seen->odometer, 31337);
    EXPECT_FLOAT_EQ(frame.seen->custom1, 31337.0f);
    EXPECT_FLOAT_EQ(frame.seen->custom2, 31437.0f);

    frame.seen.reset();
    Command(frame, ID_NEW_FUEL)->trigger();
    ASSERT_TRUE(frame.seen.has_value());
    EXPECT_EQ(frame.seen->type, CEntry::EntryFuel);
    EXPECT_FLOAT_EQ(frame.seen->custom2, 0.0f);
}

TEST_F(MainFrameTest, TheActiveOdometerFollowsTheHighestEntry) {
    CMainFrame frame;
    CVehicle* vehicle = ConnectWithVehicle(frame, 1000);
    frame.SetActiveVehicle(vehicle, false);
    CEntry entry;
    entry.SetVehicleID(m_RefID);
    entry.SetType(CEntry::EntryFuel);
    entry.SetOdometer(1800);
    ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);

    frame.UpdateActiveOdometer();
    EXPECT_EQ(TheSession().ActiveOdometer(), 1800);
    CVehicle stored;
    stored.SetRefID(m_RefID);
    ASSERT_EQ(TheDataLayer().LoadByRefID(&stored), 1);
    EXPECT_EQ(stored.GetCurrentOdometer(), 1800);
}

TEST_F(MainFrameTest, TheRefreshMessageReloadsAndDropsAVehicleThatIsGone) {
    CMainFrame frame;
    CVehicle* vehicle = ConnectWithVehicle(frame);
    frame.SetActiveVehicle(vehicle, false);

    // Renamed by someone else: the refresh shows the new name and keeps it active.
    CVehicle changed;
    changed.SetRefID(m_RefID);
    ASSERT_EQ(TheDataLayer().LoadByRefID(&changed), 1);
    changed.SetName(u"Estate");
    ASSERT_EQ(TheDataLayer().Save(&changed, 0), 1);
    frame.OnRefreshMessage();
    EXPECT_EQ(frame.CurrentView(), 210);
    EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("Estate (2004)"));
    EXPECT_EQ(TheSession().ActiveVehicle(), m_RefID);

    // Deleted by someone else: back to the vehicle list with nothing active.
    ASSERT_EQ(TheDataLayer().Delete(&changed), 1);
    frame.OnRefreshMessage();
    EXPECT_EQ(frame.CurrentView(), 211);
    EXPECT_EQ(frame.VehicleView()->FindByRefID(m_RefID), nullptr);
    EXPECT_EQ(TheSession().ActiveVehicle(), 0u);
    EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("<No Active Vehicle>"));
}

TEST_F(MainFrameTest, ExitShutdownAndCtrlQCloseTheFrame) {
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        CMainFrame frame;
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        if (how == 0) {
            Command(frame, ID_APP_EXIT)->trigger();
        } else if (how == 1) {
            frame.OnShutdownMessage();
        } else {
            frame.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
            QTest::keyClick(&frame, Qt::Key_Q, Qt::ControlModifier);
        }
        EXPECT_FALSE(frame.IsClosed()); // a posted close request
        EXPECT_TRUE(WaitFor([&] { return frame.IsClosed(); }));
        EXPECT_FALSE(frame.isVisible());
    }
}

TEST_F(MainFrameTest, ChartsAndReportOpenOnTheLogInViewFromTheMenusAndTheBand) {
    CMainFrame frame;
    CVehicle* vehicle = ConnectWithVehicle(frame);
    frame.SetActiveVehicle(vehicle, false);
    Command(frame, ID_ENTRY_TYPE_FUEL)->trigger();
    QStringList seen;
    const auto note = [&seen](QDialog& dialog) {
        auto* caption = dialog.findChild<QLabel*>(QStringLiteral("viewText"));
        seen << dialog.objectName() + u' ' + (caption ? caption->text() : QString());
        CScriptedPrompter::Press(dialog, ID_DONE);
    };
    m_Prompter.AnswerModal(note);
    Command(frame, ID_VIEW_CHARTS)->trigger();
    m_Prompter.AnswerModal(note);
    Command(frame, ID_VIEW_REPORT)->trigger();
    m_Prompter.AnswerModal(note);
    frame.EntryView()->ChartsButton()->click();
    EXPECT_TRUE(WaitFor([&seen] { return seen.size() == 3; }));
    EXPECT_EQ(seen, QStringList({QStringLiteral("dlg33502 Wagon (2004) \u00B7 Fuel \u00B7 All Dates"),
                                 QStringLiteral("dlg33503 Wagon (2004) \u00B7 Fuel \u00B7 All Dates"),
                                 QStringLiteral("dlg33502 Wagon (2004) \u00B7 Fuel \u00B7 All Dates")}));
    // The menu bar's View menu holds the same two commands.
    auto* view = frame.menuBar()->findChild<QMenu*>(QStringLiteral("barView"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(Command(frame, ID_VIEW_CHARTS)));
    EXPECT_TRUE(view->actions().contains(Command(frame, ID_VIEW_REPORT)));
}

TEST_F(MainFrameTest, TheAboutBoxShowsNameVersionAndNotice) {
    CMainFrame frame;
    m_Prompter.AnswerModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("dlg127"));
        auto text = [&](const char* name) {
            auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
            return label ? label->text() : QString();
        };
        EXPECT_EQ(text("aboutProduct"), QStringLiteral("Carvelle"));
        EXPECT_TRUE(text("aboutVersion").startsWith(QStringLiteral("Version 1.")));
        EXPECT_TRUE(text("aboutVersion").contains(QStringLiteral(" build ")));
        EXPECT_EQ(text("aboutNotice").count(QLatin1Char('\n')), 1);
        EXPECT_TRUE(text("aboutLicence").contains(QLatin1String("GNU General Public License version 3")));
        auto* picture = dialog.findChild<QLabel*>(QStringLiteral("aboutPicture"));
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull());
        CScriptedPrompter::Click(dialog, "aboutOk");
    });
    Command(frame, ID_APP_ABOUT)->trigger();
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 1);
}

} // namespace

namespace {

class MainWindowTest : public MainFrameTest {};

TEST_F(MainWindowTest, OpensWhereAndAsTheUserLeftIt) {
    {
        CMainFrame frame;
        EXPECT_GE(frame.minimumWidth(), 320);
        EXPECT_GE(frame.minimumHeight(), 320);
        // A first start is placed in the middle of the screen before it shows, so that the first
        // notices centre over it rather than over where the window manager had yet to put it.
        EXPECT_EQ(frame.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.setGeometry(50, 40, 600, 450);
        frame.close();
    }
    // Through the settings file, as the next start reads it.
    TheSettings().SaveSettings();
    const std::unique_ptr<CAppSettings> stored = StoredSettings();
    ASSERT_TRUE(stored->MainWindow.has_value());
    EXPECT_EQ(QRect(stored->MainWindow->Left, stored->MainWindow->Top, stored->MainWindow->Width,
                    stored->MainWindow->Height),
              QRect(50, 40, 600, 450));
    EXPECT_FALSE(stored->MainWindow->Maximized);
    TheSettings().MainWindow = stored->MainWindow;
    {
        CMainFrame frame;
        EXPECT_EQ(frame.geometry(), QRect(50, 40, 600, 450));
        frame.show();
        frame.showMaximized();
        ASSERT_TRUE(WaitFor([&] { return frame.isMaximized(); }));
        frame.close();
    }
    ASSERT_TRUE(TheSettings().MainWindow.has_value());
    EXPECT_TRUE(TheSettings().MainWindow->Maximized);
    EXPECT_EQ(TheSettings().MainWindow->Width, 600) << "the size to restore to";
    {
        CMainFrame frame;
        EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
    }
    // Left on a screen that is gone, or bigger than this one: back on the screen, within it with
    // room for the window manager's frame.
    for (const QRect& left :
         {QRect(9000, -7000, 5000, 4000), QRect(50, 40, 900, 700), QRect(-1200, 35, 640, 480)}) {
        TheSettings().MainWindow =
            CAppSettings::WindowPlacement{left.x(), left.y(), left.width(), left.height(), false};
        CMainFrame frame;
        const QRect room = frame.screen()->availableGeometry().marginsRemoved(AssumedFrame());
        EXPECT_TRUE(room.contains(frame.geometry())) << frame.geometry().x() << "," << frame.geometry().y();
        EXPECT_FALSE(frame.windowState() & Qt::WindowMaximized);
    }
    // A first start takes about two thirds of the screen.
    TheSettings().MainWindow.reset();
    CMainFrame first;
    const QSize screen = first.screen()->availableGeometry().size();
    EXPECT_GE(first.width(), screen.width() * 2 / 3);
    EXPECT_GE(first.height(), screen.height() * 2 / 3);
    EXPECT_TRUE(first.screen()->availableGeometry().contains(first.geometry()));
}

TEST_F(MainWindowTest, TheMenuBarShowsTheSoftKeyActionsWithTheirKeysAndStates) {
    CRecordingFrame frame;
    QMenuBar* bar = frame.menuBar();
    QStringList titles;
    for (QAction* menu : bar->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&View", "&New", "&Reminders", "&Help"}));

    // Every command of the soft keys is in the bar, as the very same action.
    int shared = 0;
    ForEachCommand(frame.SoftKeyMenu(), [&](QAction& action, int id) {
        bool found = false;
        for (QAction* menu : bar->actions())
            found = found || FindCommand(*menu->menu(), id) == &action;
        EXPECT_TRUE(found) << id;
        shared += found ? 1 : 0;
    });
    EXPECT_GT(shared, 20);
    QMenu* file = bar->actions().at(0)->menu();
    EXPECT_EQ(file->actions().first(), Command(frame, ID_OPEN_DATA_FILE));
    EXPECT_EQ(file->actions().last(), Command(frame, ID_APP_EXIT));
    EXPECT_EQ(Command(frame, ID_OPEN_DATA_FILE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(Command(frame, ID_APP_EXIT)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(Command(frame, ID_NEW_FUEL)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(Command(frame, ID_DELETE)->shortcut(), QKeySequence(Qt::Key_Delete));

    // Ctrl+N needs the open log; there it starts a fuel entry.
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(frame.seen.has_value());
    EXPECT_FALSE(FindCommand(*bar->actions().at(3)->menu(), ID_NEW_FUEL)->isEnabled());
    CVehicle* vehicle = ConnectWithVehicle(frame);
    frame.SetActiveVehicle(vehicle, false);
    EXPECT_TRUE(FindCommand(*bar->actions().at(3)->menu(), ID_NEW_FUEL)->isEnabled());
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(frame.seen.has_value());
    EXPECT_EQ(frame.seen->type, CEntry::EntryFuel);

    // F10 opens the first menu.
    QTest::keyClick(&frame, Qt::Key_F10);
    EXPECT_TRUE(WaitFor([&] { return file->isVisible(); }));
    file->close();
}

TEST_F(MainWindowTest, TheTitleNamesTheFileAndVehicleTheBandTheFilter) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CMainFrame frame;
    ConnectWithVehicle(frame);
    // The file is open already: opening it again takes it as it is.
    TheSettings().DBPath = m_Data.WidePath();
    ASSERT_TRUE(frame.OpenDataFile());
    CVehicle* vehicle = frame.VehicleView()->FindByRefID(m_RefID);
    const QString file = QFileInfo(QString::fromStdString(m_Data.Path())).fileName();
    EXPECT_EQ(frame.windowTitle(), file + QStringLiteral(" \u2014 Carvelle"));
    frame.SetActiveVehicle(vehicle, false);
    EXPECT_EQ(frame.windowTitle(),
              QStringLiteral("Wagon (2004) \u2014 ") + file + QStringLiteral(" \u2014 Carvelle"));

    EXPECT_EQ(frame.EntryView()->FilterText(), QString());
    Command(frame, ID_ENTRY_TYPE_FUEL)->trigger();
    Command(frame, ID_DATE_RANGE_LAST_TWO_WEEKS)->trigger();
    EXPECT_EQ(frame.EntryView()->FilterText(), QStringLiteral("Fuel \u00B7 Last Two Weeks"));
    m_Prompter.AnswerModal([](QDialog& dialog) { CScriptedPrompter::Press(dialog, ID_DONE); });
    Command(frame, ID_DATE_RANGE_CUSTOM)->trigger();
    EXPECT_TRUE(frame.EntryView()->FilterText().startsWith(QStringLiteral("Fuel \u00B7 ")));
    EXPECT_TRUE(frame.EntryView()->FilterText().contains(QStringLiteral(" - ")));
    Command(frame, ID_ENTRY_TYPE_ALL)->trigger();
    Command(frame, ID_DATE_RANGE_ALL)->trigger();
    EXPECT_EQ(frame.EntryView()->FilterText(), QString()) << "cleared";

    Command(frame, ID_SELECT_VEHICLE)->trigger();
    EXPECT_EQ(frame.windowTitle(), file + QStringLiteral(" \u2014 Carvelle"));
    QLocale::setDefault(QLocale::c());
}

} // namespace
