#include "ViewsTestSupport.h"

#include "views/CCustomListView.h"
#include "views/CViewEntries.h"
#include "views/DrawTitleBand.h"

#include "records/CEntryFilter.h"
#include "resources/ResourceIds.h"

#include <QImage>

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
    EXPECT_EQ(m_View.List()->objectName(), QStringLiteral("list1020"));
    EXPECT_EQ(m_View.Caption(), QStringLiteral("<No Active Vehicle>"));

    m_View.SetCaption(QStringLiteral("A very long vehicle name that runs on and on and on (2004)"));
    EXPECT_EQ(m_View.Caption(), QStringLiteral("A very long vehicle name that runs on and on and on (2004)"));

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

    // Rows come with the entry list proper: until then the list shows its empty text.
    EXPECT_EQ(m_View.List()->GetRowCount(), 0);
    EXPECT_FALSE(m_View.HandleCommand(ID_EDIT));
}
