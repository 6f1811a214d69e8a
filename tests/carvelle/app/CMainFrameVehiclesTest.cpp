// The vehicle list as the user works it inside the frame.

#include "carvelle/support/ViewsTestSupport.h"

#include "app/CMainFrame.h"
#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "core/ResourceIds.h"
#include "views/CVehicleListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CMenuResource.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QTest>

#include <memory>

namespace {

QStringList RowTexts(const CCustomListView& list) {
    QStringList texts;
    for (int row = 0; row < list.GetRowCount(); ++row) {
        texts << list.GetRowText(row);
    }
    return texts;
}

void SendContextMenu(CCustomListView& list, const QPoint& viewportPoint) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, viewportPoint,
                            list.viewport()->mapToGlobal(viewportPoint));
    QApplication::sendEvent(list.viewport(), &event);
}

QPoint RowCentre(const CCustomListView& list, int row) {
    return list.RowRect(row).center();
}

} // namespace

namespace {

// A frame whose vehicle editor names and saves the new vehicle, as a user pressing "Done" would.
class FrameWithEditor : public CMainFrame {
public:
    int editorRuns = 0;

protected:
    bool RunVehicleEditor(CVehicle& vehicle) override {
        ++editorRuns;
        vehicle.SetName(u"Anvil");
        vehicle.SetYear(1998);
        return TheDataLayer().Save(&vehicle, 0) == 1;
    }
};

} // namespace

class VehicleViewInFrameTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_Bravo = StoreVehicle(u"Bravo", 2001);
        m_Delta = StoreVehicle(u"Delta", 2003);
        StoreEntry(m_Bravo, u"Oil change");
        StoreEntry(m_Bravo, u"Tyres");
        m_Frame = std::make_unique<FrameWithEditor>();
        m_Frame->VehicleView()->Initialize();
        m_Frame->EntryView()->Initialize();
        m_Frame->show();
        m_List = m_Frame->VehicleView()->List();
    }

    void TearDown() override {
        m_Frame.reset();
        ViewsTest::TearDown();
    }

    ULONG m_Bravo = 0;
    ULONG m_Delta = 0;
    std::unique_ptr<FrameWithEditor> m_Frame;
    CVehicleListView* m_List = nullptr;
};

TEST_F(VehicleViewInFrameTest, TapOnARowMakesItsVehicleActive) {
    // Neither the right button nor a tap below the rows picks a vehicle.
    QTest::mouseClick(m_List->viewport(), Qt::RightButton, {}, RowCentre(*m_List, 0));
    QTest::mouseClick(m_List->viewport(), Qt::LeftButton, {}, QPoint(40, m_List->viewport()->height() - 10));
    EXPECT_EQ(m_Frame->CurrentView(), CMainFrame::ViewVehicles);

    QTest::mouseClick(m_List->viewport(), Qt::LeftButton, {}, RowCentre(*m_List, 0));
    EXPECT_EQ(m_Frame->CurrentView(), CMainFrame::ViewEntries);
    EXPECT_EQ(m_Frame->EntryView()->Caption(), QStringLiteral("Bravo (2001)"));
    EXPECT_EQ(TheSession().ActiveVehicle(), m_Bravo);
    EXPECT_EQ(m_Frame->EntryView()->Entries().GetCount(), 2);
}

TEST_F(VehicleViewInFrameTest, EnterOnTheSelectedRowMakesItsVehicleActive) {
    m_List->setFocus();
    QTest::keyClick(m_List, Qt::Key_Return); // nothing selected: nothing happens
    EXPECT_EQ(m_Frame->CurrentView(), CMainFrame::ViewVehicles);

    m_Frame->VehicleView()->SelectVehicle(m_Frame->VehicleView()->FindByRefID(m_Delta));
    QTest::keyClick(m_List, Qt::Key_Return);
    EXPECT_EQ(m_Frame->CurrentView(), CMainFrame::ViewEntries);
    EXPECT_EQ(m_Frame->EntryView()->Caption(), QStringLiteral("Delta (2003)"));
    EXPECT_EQ(TheSession().ActiveVehicle(), m_Delta);
}

TEST_F(VehicleViewInFrameTest, DeletingTheActiveVehicleEmptiesTheEntryList) {
    CViewVehicles* view = m_Frame->VehicleView();
    m_Frame->SetActiveVehicle(view->FindByRefID(m_Bravo), true);
    ASSERT_EQ(m_Frame->EntryView()->Entries().GetCount(), 2);
    m_Frame->ShowView(CMainFrame::ViewVehicles);
    view->SelectVehicle(view->FindByRefID(m_Bravo));
    m_Prompter.AnswerMessage(CPrompter::IDYES);

    // Menu > Delete reaches the current view through the frame.
    EXPECT_TRUE(m_Frame->OnCommand(ID_DELETE));
    ASSERT_TRUE(WaitFor([this] { return m_Prompter.Count(CScriptedPrompter::Shown::Message) == 1; }));

    EXPECT_EQ(RowTexts(*m_List), QStringList({"Delta (2003)"}));
    EXPECT_EQ(m_Frame->EntryView()->Caption(), QStringLiteral("<No Active Vehicle>"));
    EXPECT_EQ(m_Frame->EntryView()->Entries().GetCount(), 0);
    EXPECT_EQ(TheSession().ActiveVehicle(), 0u);
    EXPECT_EQ(m_Frame->CurrentView(), CMainFrame::ViewVehicles);
    EXPECT_EQ(StoredEntries(m_Bravo), 0);
}

TEST_F(VehicleViewInFrameTest, NewVehicleFromTheContextMenuRunsTheFramesCommand) {
    m_Prompter.AnswerPopup(ID_NEW_VEHICLE);
    SendContextMenu(*m_List, QPoint(40, m_List->viewport()->height() - 10));
    EXPECT_EQ(m_Frame->editorRuns, 0); // posted, not run from inside the menu
    ASSERT_TRUE(WaitFor([this] { return m_Frame->editorRuns == 1; }));

    EXPECT_EQ(RowTexts(*m_List), QStringList({"Anvil (1998)", "Bravo (2001)", "Delta (2003)"}));
    ASSERT_NE(m_Frame->VehicleView()->GetSelectedVehicle(), nullptr);
    EXPECT_EQ(CVehicleListView::DisplayText(*m_Frame->VehicleView()->GetSelectedVehicle()),
              QStringLiteral("Anvil (1998)"));
    EXPECT_EQ(StoredVehicles(), 3);
}
