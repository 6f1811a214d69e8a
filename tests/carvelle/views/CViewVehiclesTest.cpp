#include "carvelle/support/ViewsTestSupport.h"

#include "views/CVehicleListView.h"
#include "views/CViewVehicles.h"
#include "widgets/DrawTitleBand.h"

#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QTest>

namespace {

QStringList RowTexts(const CCustomListView& list) {
    QStringList texts;
    for (int row = 0; row < list.GetRowCount(); ++row) {
        texts << list.GetRowText(row);
    }
    return texts;
}

QList<int> SelectedRows(const CCustomListView& list) {
    QList<int> rows;
    for (int row = list.GetNextSelectedRow(); row >= 0; row = list.GetNextSelectedRow(row)) {
        rows << row;
    }
    return rows;
}

void SendContextMenu(CCustomListView& list, const QPoint& viewportPoint) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, viewportPoint,
                            list.viewport()->mapToGlobal(viewportPoint));
    QApplication::sendEvent(list.viewport(), &event);
}

QPoint RowCentre(const CCustomListView& list, int row) {
    return list.RowRect(row).center();
}

// What a context menu looked like when it was shown.
struct MenuSnapshot {
    bool editEnabled = false;
    bool deleteEnabled = false;
    bool newEnabled = false;
    QList<int> selectedRows;
};

} // namespace

class VehicleViewTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_View.resize(480, 600);
    }

    // Notes how the context menus look when they are shown.
    void NoteMenus() {
        m_Prompter.onMenu = [this](QMenu& menu) {
            ++m_MenusShown;
            m_Menu.editEnabled = FindCommand(menu, ID_EDIT)->isEnabled();
            m_Menu.deleteEnabled = FindCommand(menu, ID_DELETE)->isEnabled();
            m_Menu.newEnabled = FindCommand(menu, ID_NEW_VEHICLE)->isEnabled();
            m_Menu.selectedRows = SelectedRows(*m_View.List());
        };
    }

    CViewVehicles m_View;
    MenuSnapshot m_Menu;
    int m_MenusShown = 0;
};

TEST_F(VehicleViewTest, ListsVehiclesInDisplayTextOrderWhateverTheFileOrder) {
    StoreVehicle(u"zephyr", 2010);
    StoreVehicle(u"Wagon", 2004);
    StoreVehicle(u"alpha", 0);
    StoreVehicle(u"wagon", 1999);
    StoreVehicle(u"\u00C9mile", 1987); // an accented letter sorts with its base letter
    m_View.Initialize();

    CVehicleListView* list = m_View.List();
    EXPECT_EQ(m_View.objectName(), QStringLiteral("view211"));
    EXPECT_EQ(list->objectName(), QStringLiteral("vehicleList"));
    EXPECT_EQ(m_View.Caption(), QStringLiteral("My Vehicles"));
    EXPECT_EQ(RowTexts(*list), QStringList({"alpha (0)", "\u00C9mile (1987)", "wagon (1999)", "Wagon (2004)",
                                            "zephyr (2010)"}));
    for (int row = 0; row < list->GetRowCount(); ++row) {
        auto* vehicle = static_cast<CVehicle*>(list->GetItemData(row));
        ASSERT_NE(vehicle, nullptr);
        EXPECT_EQ(CVehicleListView::DisplayText(*vehicle), list->GetRowText(row));
        EXPECT_EQ(m_View.FindByRefID(vehicle->GetRefID()), vehicle);
    }
    EXPECT_EQ(m_View.FindByRefID(0xFFFFFFF0u), nullptr);
    EXPECT_EQ(m_View.GetSelectedVehicle(), nullptr);
}

TEST_F(VehicleViewTest, AddAndUpdateKeepTheSortedOrderAndSelectTheRow) {
    StoreVehicle(u"Bravo", 2001);
    StoreVehicle(u"Delta", 2003);
    m_View.Initialize();

    auto* added = new CVehicle; // the list takes it over
    added->SetName(u"Charlie");
    added->SetYear(2002);
    m_View.AddVehicle(added);
    EXPECT_EQ(RowTexts(*m_View.List()), QStringList({"Bravo (2001)", "Charlie (2002)", "Delta (2003)"}));
    EXPECT_EQ(m_View.GetSelectedVehicle(), added);
    EXPECT_EQ(m_View.List()->currentIndex().row(), 1);

    added->SetName(u"Echo");
    m_View.UpdateVehicle(added);
    EXPECT_EQ(RowTexts(*m_View.List()), QStringList({"Bravo (2001)", "Delta (2003)", "Echo (2002)"}));
    EXPECT_EQ(SelectedRows(*m_View.List()), QList<int>({2}));

    m_View.SelectVehicle(static_cast<CVehicle*>(m_View.List()->GetItemData(0)));
    EXPECT_EQ(SelectedRows(*m_View.List()), QList<int>({0}));

    m_View.Reload();
    EXPECT_EQ(RowTexts(*m_View.List()),
              QStringList({"Bravo (2001)", "Delta (2003)"})); // Charlie was never saved
}

TEST_F(VehicleViewTest, EmptyListShowsTheEmptyTextBelowTheBand) {
    m_View.Initialize();
    CVehicleListView* list = m_View.List();
    ASSERT_EQ(list->GetRowCount(), 0);
    EXPECT_EQ(list->y(), TitleBandHeight() + 1);

    const QImage image = list->viewport()->grab().toImage();
    const QColor base = list->palette().color(QPalette::Base);
    bool textAbove = false;
    bool textBelow = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != base) {
                (y < 10 ? textAbove : textBelow) = true;
            }
        }
    }
    EXPECT_FALSE(textAbove);
    EXPECT_TRUE(textBelow);
}

TEST_F(VehicleViewTest, ContextMenuOnEmptySpaceGraysEditAndDeleteAndKeepsTheSelection) {
    StoreVehicle(u"Bravo", 2001);
    StoreVehicle(u"Delta", 2003);
    m_View.Initialize();
    CVehicleListView* list = m_View.List();
    NoteMenus();

    const QPoint emptySpace(40, list->viewport()->height() - 20);
    ASSERT_EQ(list->HitTest(emptySpace), -1);
    SendContextMenu(*list, emptySpace);
    ASSERT_EQ(m_MenusShown, 1);
    EXPECT_FALSE(m_Menu.editEnabled);
    EXPECT_FALSE(m_Menu.deleteEnabled);
    EXPECT_TRUE(m_Menu.newEnabled);
    EXPECT_TRUE(m_Menu.selectedRows.isEmpty());
    EXPECT_TRUE(SelectedRows(*list).isEmpty());

    // With a row selected, neither the right button press nor the menu on empty space drops it.
    list->SetItemState(1, CCustomListView::StateSelected | CCustomListView::StateFocused,
                       CCustomListView::StateSelected | CCustomListView::StateFocused);
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, emptySpace);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, emptySpace);
    SendContextMenu(*list, emptySpace);
    EXPECT_EQ(m_MenusShown, 2);
    EXPECT_TRUE(m_Menu.editEnabled);
    EXPECT_TRUE(m_Menu.deleteEnabled);
    EXPECT_EQ(SelectedRows(*list), QList<int>({1}));
}

TEST_F(VehicleViewTest, ContextMenuOnAnUnselectedRowSelectsItFirst) {
    StoreVehicle(u"Alpha", 2001);
    StoreVehicle(u"Bravo", 2002);
    StoreVehicle(u"Charlie", 2003);
    m_View.Initialize();
    CVehicleListView* list = m_View.List();
    m_View.SelectVehicle(static_cast<CVehicle*>(list->GetItemData(0)));
    NoteMenus();

    SendContextMenu(*list, RowCentre(*list, 2));
    EXPECT_EQ(m_Menu.selectedRows, QList<int>({2}));
    EXPECT_TRUE(m_Menu.editEnabled);
    EXPECT_EQ(list->currentIndex().row(), 2);

    // The menu key opens the menu for the selected row and leaves the selection alone.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), list->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(list, &key);
    EXPECT_EQ(m_MenusShown, 2);
    EXPECT_EQ(m_Menu.selectedRows, QList<int>({2}));
}

TEST_F(VehicleViewTest, DeleteAnsweredNoLeavesEverything) {
    const ULONG bravo = StoreVehicle(u"Bravo", 2001);
    StoreEntry(bravo, u"Oil change");
    m_View.Initialize();
    CVehicleListView* list = m_View.List();
    m_Prompter.AnswerPopup(ID_DELETE);
    m_Prompter.AnswerMessage(CPrompter::IDNO);

    SendContextMenu(*list, RowCentre(*list, 0));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    const CScriptedPrompter::Shown question = m_Prompter.Messages().front();
    EXPECT_EQ(question.text,
              QStringLiteral(
                  "Do you want to permanently delete the selected vehicle and all data associated with it?"));
    EXPECT_EQ(question.caption, QStringLiteral("Carvelle"));
    EXPECT_EQ(question.buttons, CPrompter::ButtonsYesNo);
    EXPECT_EQ(question.icon, CPrompter::IconWarning);

    EXPECT_EQ(list->GetRowCount(), 1);
    EXPECT_NE(m_View.FindByRefID(bravo), nullptr);
    EXPECT_EQ(StoredVehicles(), 1);
    EXPECT_EQ(StoredEntries(bravo), 1);
}

TEST_F(VehicleViewTest, DeleteAnsweredYesRemovesTheRowTheRecordAndItsData) {
    const ULONG bravo = StoreVehicle(u"Bravo", 2001);
    const ULONG delta = StoreVehicle(u"Delta", 2003);
    StoreEntry(bravo, u"Oil change");
    StoreEntry(bravo, u"Tyres");
    StoreReminder(bravo, u"Inspection");
    StoreEntry(delta, u"Brakes");
    StoreReminder(delta, u"Insurance");
    m_View.Initialize();
    m_View.SelectVehicle(m_View.FindByRefID(bravo));
    m_Prompter.AnswerMessage(CPrompter::IDYES);

    EXPECT_TRUE(m_View.HandleCommand(ID_DELETE));
    EXPECT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_EQ(RowTexts(*m_View.List()), QStringList({"Delta (2003)"}));
    EXPECT_EQ(m_View.FindByRefID(bravo), nullptr);
    EXPECT_EQ(m_View.GetSelectedVehicle(), nullptr);
    EXPECT_EQ(StoredVehicles(), 1);
    EXPECT_EQ(StoredEntries(bravo), 0);
    EXPECT_EQ(StoredReminders(bravo), 0);
    EXPECT_EQ(StoredEntries(delta), 1);
    EXPECT_EQ(StoredReminders(delta), 1);

    // Without a selection, Delete asks nothing.
    EXPECT_TRUE(m_View.HandleCommand(ID_DELETE));
    EXPECT_EQ(m_Prompter.Messages().size(), 1u);
}
