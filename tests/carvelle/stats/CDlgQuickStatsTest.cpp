#include "carvelle/core/QuickStatsTestSupport.h"
#include "carvelle/support/CScriptedPrompter.h"
#include "carvelle/support/LocalDayFixtures.h"

#include "core/ResourceIds.h"
#include "stats/CDlgQuickStats.h"
#include "stats/CQuickStatsListView.h"

#include <QImage>
#include <QKeyEvent>
#include <QTest>

TEST_F(QuickStatsTest, TheDialogShowsEveryRowAndClosesOnDoneCancelEnterAndEscape) {
    const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    Add(CEntry::EntryFuel, 0, 1000, 30.0f, 10.0f, u"Shell");
    Add(CEntry::EntryFuel, 10, 1300, 31.0f, 10.0f, u"BP");
    Add(CEntry::EntryFuel, 20, 2600, 40.0f, 12.0f, u"Exxon");
    const CQuickStats stats = Compute();

    CDlgQuickStats dialog(stats);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("dlg214"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quick Stats"));
    CQuickStatsListView* list = dialog.findChild<CQuickStatsListView*>(QStringLiteral("quickStatsList"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetRowCount(), 10);
    EXPECT_EQ(list->ContextMenuIndex(), -1);
    EXPECT_EQ(list->GetRowText(0), QStringLiteral("Date range:"));
    EXPECT_EQ(list->GetRowText(9), QStringLiteral("Cost of ownership:"));
    EXPECT_EQ(list->ValueText(0), QStringLiteral("All Dates"));
    EXPECT_EQ(list->ValueText(2), QStringLiteral("108.33 mi/gal (BP)"));
    EXPECT_EQ(list->ValueText(3), QStringLiteral("$3.16 per gal"));
    EXPECT_EQ(list->ValueText(4), QStringLiteral("1,600 miles"));
    EXPECT_EQ(list->ValueText(8), QStringLiteral("1.38 gal per 100 miles"));
    EXPECT_EQ(list->ValueText(9), QStringLiteral("$6.31 per 100 miles"));
    list->SetStats(nullptr);
    EXPECT_EQ(list->ValueText(4), QStringLiteral("N/A"));
    list->SetStats(&stats);

    // Drawn with the palette's roles: under a dark palette the selected first row uses its
    // highlight, the others its base.
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(40, 80, 160));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    dialog.setPalette(dark);
    dialog.resize(480, 640);
    dialog.show();
    ASSERT_TRUE(list->IsRowSelected(0));
    const QImage image = list->viewport()->grab().toImage();
    const QRect first = list->RowRect(0);
    const QRect second = list->RowRect(1);
    // Right of the texts and clear of any focus frame.
    EXPECT_EQ(image.pixelColor(first.right() - 4, first.center().y()), QColor(40, 80, 160));
    EXPECT_EQ(image.pixelColor(second.right() - 4, second.center().y()), QColor(30, 30, 30));

    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_FALSE(dialog.isVisible());

    for (int command : {ID_DONE, ID_CANCEL}) {
        dialog.show();
        CScriptedPrompter::Press(dialog, command);
        EXPECT_EQ(dialog.result(), command);
    }
    dialog.show();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), 2);
}
