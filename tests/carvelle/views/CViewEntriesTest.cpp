#include "carvelle/support/ViewsTestSupport.h"

#include "views/CEntryListView.h"
#include "views/CViewEntries.h"
#include "widgets/CCustomListView.h"
#include "widgets/CDocListComboBox.h"
#include "widgets/DrawTitleBand.h"

#include "core/CAppSettings.h"
#include "core/ResourceIds.h"
#include "records/CEntryFilter.h"
#include "widgets/CMenuResource.h"

#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class EntryViewTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_View.resize(320, 400);
        m_View.Initialize();
    }

    CViewEntries m_View;
};

TEST_F(EntryViewTest, CaptionDefaultsToNoActiveVehicleAndKeepsClearOfTheSortRoom) {
    EXPECT_EQ(m_View.objectName(), QStringLiteral("view210"));
    EXPECT_EQ(m_View.List()->objectName(), QStringLiteral("entryList"));
    EXPECT_EQ(m_View.Caption(), QStringLiteral("<No Active Vehicle>"));

    m_View.SetCaption(QStringLiteral("A very long vehicle name that runs on and on and on (2004)"));
    EXPECT_EQ(m_View.Caption(), QStringLiteral("A very long vehicle name that runs on and on and on (2004)"));

    m_View.SortDropDown()->hide(); // the caption alone
    m_View.ChartsButton()->hide();
    const QImage image = m_View.grab().toImage();
    const int band = TitleBandHeight();
    const int reserved = m_View.ReservedBandWidth();
    ASSERT_GT(reserved, 14);
    const QColor face = m_View.palette().color(QPalette::Button);
    bool captionDrawn = false;
    for (int y = 0; y < band; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x >= image.width() - reserved) {
                ASSERT_EQ(image.pixelColor(x, y), face) << x << "," << y;
            } else if (image.pixelColor(x, y) != face) {
                captionDrawn = true;
            }
        }
    }
    EXPECT_TRUE(captionDrawn);
    EXPECT_EQ(m_View.List()->y(), band + 1);
}

TEST_F(EntryViewTest, ReloadKeepsTheFilteredEntriesAndAnEmptyFilterEmptiesIt) {
    const ULONG wagon = StoreVehicle(u"Wagon", 2004);
    const ULONG coupe = StoreVehicle(u"Coupe", 2010);
    StoreEntry(wagon, u"Oil change");
    StoreEntry(wagon, u"Tyres");
    StoreEntry(coupe, u"Wipers");

    CEntryFilter filter;
    filter.SetVehicleID(wagon);
    m_View.Reload(&filter);
    EXPECT_EQ(m_View.Entries().GetCount(), 2);
    for (int i = 0; i < m_View.Entries().GetCount(); ++i) {
        EXPECT_EQ(m_View.Entries().Get(i)->GetVehicleID(), wagon);
    }

    auto* added = new CEntry; // the view takes it over
    added->SetVehicleID(wagon);
    m_View.AddEntry(added);
    EXPECT_EQ(m_View.Entries().GetCount(), 3);

    m_View.Reload(nullptr);
    EXPECT_EQ(m_View.Entries().GetCount(), 0);

    EXPECT_EQ(m_View.List()->GetRowCount(), 0);
}

namespace {

struct Stored {
    const char16_t* name;
    CEntry::Type type;
    double date;
    LONG odometer;
    float amount;
};

} // namespace

class EntryListTest : public EntryViewTest {
protected:
    void SetUp() override {
        EntryViewTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_Vehicle = StoreVehicle(u"Wagon", 2004);
        m_Filter.SetVehicleID(m_Vehicle);
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void Store(std::initializer_list<Stored> entries) {
        for (const Stored& e : entries) {
            CEntry entry;
            entry.SetVehicleID(m_Vehicle);
            entry.SetName(e.name);
            entry.SetType(e.type);
            entry.SetDate(e.date);
            entry.SetOdometer(e.odometer);
            entry.SetAmount(e.amount);
            ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);
        }
        m_View.Reload(&m_Filter);
    }

    QStringList Names() const {
        QStringList names;
        for (int row = 0; row < m_View.List()->GetRowCount(); ++row)
            names << QString::fromUtf16(m_View.List()->EntryAt(row)->GetName());
        return names;
    }

    // Chooses the command from the drop-down's menu; returns what the drop-down read meanwhile.
    QString ChooseSort(int command) {
        QString shownWhileOpen;
        m_Prompter.onMenu = [&](QMenu&) { shownWhileOpen = m_View.SortDropDown()->ShownText(); };
        m_Prompter.AnswerPopup(command);
        m_View.SortDropDown()->OpenMenu();
        m_Prompter.onMenu = nullptr;
        return shownWhileOpen;
    }

    ULONG m_Vehicle = 0;
    CEntryFilter m_Filter;
};

TEST_F(EntryListTest, DescriptionsFollowTheUnitsAndTheLocale) {
    CEntry fuel;
    fuel.SetType(CEntry::EntryFuel);
    fuel.SetCustom1(12.5f);
    fuel.SetCustom2(3.1f);
    fuel.SetVendor(u"Shell");
    EXPECT_EQ(CEntryListView::EntryDescription(fuel), QStringLiteral("12.50 gal @ $3.10 (Shell)"));
    TheSettings().UnitVolume = 2;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CEntryListView::EntryDescription(fuel), QStringLiteral("12,50 ltr @ 3,10\u00A0\u20AC (Shell)"));

    CEntry repair;
    repair.SetType(CEntry::EntryRepair);
    repair.SetName(u"Oil change");
    EXPECT_EQ(CEntryListView::EntryDescription(repair), QStringLiteral("Oil change"));
    repair.SetVendor(u"Garage");
    EXPECT_EQ(CEntryListView::EntryDescription(repair), QStringLiteral("Oil change (Garage)"));
}

TEST_F(EntryListTest, SortCommandsOrderTheRowsAndTheDropDownFollows) {
    TheSettings().LastColSorted = 0;
    TheSettings().SortAscending = 1;
    Store({{u"Brakes", CEntry::EntryRepair, 40000.0, 900, 20.0f},
           {u"Alpha", CEntry::EntryRepair, 40000.0, 500, 20.0f},
           {u"Wipers", CEntry::EntryRepair, 39000.0, 700, 5.0f},
           {u"Tyres", CEntry::EntryRepair, 41000.0, 700, 300.0f}});
    // Equal dates go by description; after a reload the first row is selected.
    EXPECT_EQ(Names(), QStringList({"Wipers", "Alpha", "Brakes", "Tyres"}));
    EXPECT_EQ(m_View.List()->GetNextSelectedRow(), 0);
    EXPECT_EQ(m_View.SortDropDown()->ShownText(), QStringLiteral("Date"));

    // The same column again turns the direction round, tie-breaks included.
    EXPECT_EQ(ChooseSort(ID_SORT_DATE), QStringLiteral("Sort By"));
    EXPECT_EQ(Names(), QStringList({"Tyres", "Brakes", "Alpha", "Wipers"}));
    EXPECT_EQ(TheSettings().SortAscending, 0u);
    EXPECT_EQ(m_View.SortDropDown()->SortIndicator(), Qt::DescendingOrder);

    ChooseSort(ID_SORT_ASCENDING);
    EXPECT_EQ(TheSettings().SortAscending, 1u);
    EXPECT_EQ(m_View.SortDropDown()->SortIndicator(), Qt::AscendingOrder);
    ChooseSort(ID_SORT_ODOMETER); // another column keeps the direction
    EXPECT_EQ(TheSettings().SortAscending, 1u);
    EXPECT_EQ(Names(), QStringList({"Alpha", "Wipers", "Tyres", "Brakes"}));
    ChooseSort(ID_SORT_DESCENDING);
    EXPECT_EQ(Names(), QStringList({"Brakes", "Tyres", "Wipers", "Alpha"}));
    ChooseSort(ID_SORT_DESCENDING); // and says where it lands, chosen twice
    EXPECT_EQ(TheSettings().SortAscending, 0u);
    ChooseSort(ID_SORT_ASCENDING);
    EXPECT_EQ(Names(), QStringList({"Alpha", "Wipers", "Tyres", "Brakes"}));
    EXPECT_EQ(m_View.SortDropDown()->ShownText(), QStringLiteral("Odometer"));

    // Equal amounts fall back on the date, then the ID: a stable order.
    ChooseSort(ID_SORT_AMOUNT);
    ChooseSort(ID_SORT_ASCENDING);
    EXPECT_EQ(Names(), QStringList({"Wipers", "Brakes", "Alpha", "Tyres"}));
    ChooseSort(ID_SORT_DESCRIPTION);
    ChooseSort(ID_SORT_ASCENDING);
    EXPECT_EQ(Names(), QStringList({"Alpha", "Brakes", "Tyres", "Wipers"}));
    EXPECT_EQ(TheSettings().LastColSorted, 1);

    // The menu shows the column and the direction checked.
    bool dateChecked = true;
    bool descriptionChecked = false;
    bool ascendingChecked = false;
    m_Prompter.onMenu = [&](QMenu& menu) {
        dateChecked = FindCommand(menu, ID_SORT_DATE)->isChecked();
        descriptionChecked = FindCommand(menu, ID_SORT_DESCRIPTION)->isChecked();
        ascendingChecked = FindCommand(menu, ID_SORT_ASCENDING)->isChecked();
    };
    m_Prompter.AnswerPopup(0);
    m_View.SortDropDown()->OpenMenu();
    EXPECT_FALSE(dateChecked);
    EXPECT_TRUE(descriptionChecked);
    EXPECT_TRUE(ascendingChecked);
    EXPECT_EQ(m_View.SortDropDown()->ShownText(), QStringLiteral("Description"));
}

TEST_F(EntryListTest, DeleteAsksOnceAndRemovesOnlyWhatLeftTheFile) {
    Store({{u"One", CEntry::EntryRepair, 40000.0, 100, 1.0f},
           {u"Two", CEntry::EntryRepair, 40001.0, 200, 2.0f},
           {u"Three", CEntry::EntryRepair, 40002.0, 300, 3.0f}});
    CEntryListView* list = m_View.List();
    QSignalSpy changed(&m_View, &CViewEntries::EntriesChanged);

    // One row, answered No, then Yes through the Delete key.
    m_Prompter.AnswerMessage(CPrompter::IDNO);
    m_View.HandleCommand(ID_DELETE);
    EXPECT_EQ(StoredEntries(m_Vehicle), 3);
    m_Prompter.AnswerMessage(CPrompter::IDYES);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(StoredEntries(m_Vehicle), 2);
    EXPECT_EQ(list->GetRowCount(), 2);
    std::vector<CScriptedPrompter::Shown> messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, QStringLiteral("Do you want to permanently delete the selected entry?"));
    EXPECT_EQ(messages[1].caption, QStringLiteral("Carvelle"));
    EXPECT_EQ(changed.count(), 1);

    // Several rows, one of which was never stored: its delete fails and its row stays.
    auto* unsaved = new CEntry;
    unsaved->SetVehicleID(m_Vehicle);
    m_View.AddEntry(unsaved);
    list->selectAll();
    EXPECT_EQ(list->GetSelectedCount(), 3);
    m_Prompter.ClearHistory();
    m_Prompter.AnswerMessage(CPrompter::IDYES);
    m_View.HandleCommand(ID_DELETE);
    messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Do you want to permanently delete the selected entries?"));
    EXPECT_TRUE(
        messages[1].text.startsWith(QStringLiteral("Some of the selected entries could not be deleted")));
    EXPECT_EQ(messages[1].icon, CPrompter::IconWarning);
    EXPECT_EQ(StoredEntries(m_Vehicle), 0);
    ASSERT_EQ(list->GetRowCount(), 1);
    EXPECT_EQ(list->EntryAt(0), unsaved);
}

TEST_F(EntryListTest, EditActsOnExactlyOneRowAndFollowsTheFilter) {
    Store({{u"Keep", CEntry::EntryRepair, 40000.0, 100, 1.0f},
           {u"Move", CEntry::EntryRepair, 40001.0, 200, 2.0f}});
    int edits = 0;
    m_View.SetEntryEditor([&](CEntry& entry) {
        ++edits;
        entry.SetType(CEntry::EntryExpense);
        return TheDataLayer().Save(&entry, 0) == 1;
    });
    m_View.List()->selectAll();
    m_View.HandleCommand(ID_EDIT);
    EXPECT_EQ(edits, 0);

    // Now only repairs pass: the edited entry leaves the list.
    m_Filter.SetEntryType(CEntry::EntryRepair);
    m_View.Reload(&m_Filter);
    QTest::keyClick(m_View.List(), Qt::Key_Return);
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(m_View.List()->GetRowCount(), 1);
}

namespace {

TEST_F(EntryListTest, AnEditedOrAddedEntrySortsByWhatItHoldsNow) {
    // Sorted by description first: the descriptions are ranked before the edit.
    TheSettings().LastColSorted = CEntryListView::SortDescription;
    TheSettings().SortAscending = 1;
    Store({{u"Cheap", CEntry::EntryRepair, 40000.0, 100, 1.0f},
           {u"Middle", CEntry::EntryRepair, 40001.0, 200, 5.0f},
           {u"Dear", CEntry::EntryRepair, 40002.0, 300, 9.0f}});
    EXPECT_EQ(Names(), QStringList({"Cheap", "Dear", "Middle"}));
    ChooseSort(ID_SORT_AMOUNT);
    ChooseSort(ID_SORT_ASCENDING);
    EXPECT_EQ(Names(), QStringList({"Cheap", "Middle", "Dear"}));
    m_View.SetEntryEditor([](CEntry& entry) {
        entry.SetAmount(20.0f);
        entry.SetName(u"Zebra");
        return TheDataLayer().Save(&entry, 0) == 1;
    });
    m_View.List()->SetItemState(0, CCustomListView::StateSelected, CCustomListView::StateSelected);
    m_View.HandleCommand(ID_EDIT);
    EXPECT_EQ(Names(), QStringList({"Middle", "Dear", "Zebra"}));
    ChooseSort(ID_SORT_DESCRIPTION);
    ChooseSort(ID_SORT_ASCENDING);
    EXPECT_EQ(Names(), QStringList({"Dear", "Middle", "Zebra"}));
    auto* added = new CEntry;
    added->SetVehicleID(m_Vehicle);
    added->SetName(u"Brakes");
    ASSERT_EQ(TheDataLayer().Save(added, 0), 1);
    m_View.AddEntry(added);
    EXPECT_EQ(Names(), QStringList({"Brakes", "Dear", "Middle", "Zebra"}));
}

} // namespace
