// The Report dialog as a user drives it: sorting and copying its tables, printing, and a PDF on
// the paper of the user's country.

#include "carvelle/support/LocalDayFixtures.h"
#include "carvelle/support/ViewsTestSupport.h"

#include "charts/CDlgReport.h"
#include "charts/CPeriodTableModel.h"
#include "charts/CReportTable.h"

#include "core/LocalDates.h"
#include "records/CEntryFilter.h"

#include <QFile>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

#include <memory>

namespace {

class ReportTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_Corolla = StoreVehicle(u"Corolla", 2004);
        m_Van = StoreVehicle(u"Van", 2019);
        // Corolla: January, an empty February, a dear March; the van, one fill-up.
        Add(m_Corolla, CEntry::EntryFuel, QDate(2024, 1, 5), 1000, 30.0f, 10.0f);
        Add(m_Corolla, CEntry::EntryFuel, QDate(2024, 1, 25), 1300, 31.0f, 10.0f);
        Add(m_Corolla, CEntry::EntryRepair, QDate(2024, 3, 2), 1500, 420.0f);
        Add(m_Corolla, CEntry::EntryFuel, QDate(2024, 3, 20), 1700, 33.0f, 11.0f);
        Add(m_Van, CEntry::EntryFuel, QDate(2024, 2, 1), 50, 60.0f, 20.0f);
    }

    void Add(ULONG vehicle, CEntry::Type type, const QDate& day, LONG odometer, float amount,
             float quantity = 0.0f) {
        CEntry entry;
        entry.SetVehicleID(vehicle);
        entry.SetType(type);
        entry.SetDate(LocalToOleDate(QDateTime(day, QTime(12, 0))));
        entry.SetOdometer(odometer);
        entry.SetAmount(amount);
        entry.SetCustom1(quantity);
        ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);
    }

    std::unique_ptr<CDlgReport> Open() const {
        CEntryFilter filter;
        filter.SetVehicleID(m_Corolla);
        return std::make_unique<CDlgReport>(filter, QStringLiteral("Corolla 2004"),
                                            QStringLiteral("All Dates"));
    }

    QString Folder() const { return QString::fromStdString(m_File.Folder()); }

    // The PDF's pages, each with its media box.
    static QStringList MediaBoxes(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString text = QString::fromLatin1(file.readAll());
        QStringList boxes;
        const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
        for (auto match = box.globalMatch(text); match.hasNext();) {
            const auto found = match.next();
            boxes << QStringLiteral("%1x%2")
                         .arg(qRound(found.captured(1).toDouble()))
                         .arg(qRound(found.captured(2).toDouble()));
        }
        return boxes;
    }

    ScopedTimeZone m_Zone{kNewYork};
    ULONG m_Corolla = 0;
    ULONG m_Van = 0;
};

} // namespace

TEST_F(ReportTest, TheTablesSortWithTheTotalLastAndCopyForASpreadsheet) {
    const ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    std::unique_ptr<CDlgReport> report = Open();
    CReportTable* periods = report->PeriodTable();
    const QAbstractItemModel* rows = periods->model();
    ASSERT_EQ(rows->rowCount(), 4); // January to March, and the total
    EXPECT_EQ(rows->index(1, CPeriodTableModel::ColumnPeriod).data().toString(), QStringLiteral("Feb 2024"));
    EXPECT_EQ(rows->index(1, CPeriodTableModel::ColumnTotalCost).data().toString(), QStringLiteral("$0.00"));

    // The dearest month first, and the total stays at the foot both ways.
    periods->horizontalHeader()->setSortIndicator(CPeriodTableModel::ColumnTotalCost, Qt::DescendingOrder);
    EXPECT_EQ(rows->index(0, CPeriodTableModel::ColumnPeriod).data().toString(), QStringLiteral("Mar 2024"));
    EXPECT_EQ(rows->index(3, CPeriodTableModel::ColumnPeriod).data().toString(), QStringLiteral("Total"));
    periods->horizontalHeader()->setSortIndicator(CPeriodTableModel::ColumnTotalCost, Qt::AscendingOrder);
    EXPECT_EQ(rows->index(0, CPeriodTableModel::ColumnPeriod).data().toString(), QStringLiteral("Feb 2024"));
    EXPECT_EQ(rows->index(3, CPeriodTableModel::ColumnPeriod).data().toString(), QStringLiteral("Total"));

    // A year sums its months: the distance from its first reading to its highest.
    report->SetPeriodKind(CChartData::PeriodKind::Year);
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(0, CPeriodTableModel::ColumnDistance).data().toString(), QStringLiteral("700"));
    EXPECT_EQ(rows->index(0, CPeriodTableModel::ColumnCostPer100).data().toString(),
              QStringLiteral("$73.43"));

    // Every vehicle over the same range, one tab-separated line each under the titles.
    EXPECT_EQ(report->FleetTable()->SelectionText(),
              QStringLiteral(
                  "Vehicle\tEntries\tDistance (mi)\tTotal cost\tCost per 100 mi\tAverage economy (mi/gal)\n"
                  "Corolla\t4\t700\t$514.00\t$73.43\t33.33\n"
                  "Van\t1\t0\t$60.00\tN/A\tN/A\n"));
    periods->selectRow(0);
    EXPECT_EQ(periods->SelectionText().count(u'\n'), 2);
}

TEST_F(ReportTest, ThePdfIsLaidOutOnThePaperOfTheUsersCountryAndPrintsThroughTheDialog) {
    for (const auto& [locale, paper] :
         {std::pair{QLocale(QLocale::German, QLocale::Germany), "595x842"},
          std::pair{QLocale(QLocale::English, QLocale::UnitedStates), "612x792"}}) {
        SCOPED_TRACE(paper);
        const ScopedLocale here(locale);
        std::unique_ptr<CDlgReport> report = Open();
        const QString path = Folder() + QStringLiteral("/report-") + QLatin1String(paper);
        m_Prompter.AnswerFile(path);
        report->OnExportPdf();
        const QStringList pages = MediaBoxes(path + QStringLiteral(".pdf"));
        ASSERT_FALSE(pages.isEmpty());
        EXPECT_EQ(pages.count(QLatin1String(paper)), pages.size()) << pages.join(u' ').toStdString();
    }

    // Print: the dialog is answered with a file for a printer.
    std::unique_ptr<CDlgReport> report = Open();
    const QString printed = Folder() + QStringLiteral("/printed.pdf");
    m_Prompter.AnswerModal([&printed](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        ASSERT_TRUE(print);
        print->printer()->setOutputFileName(printed);
        dialog.done(QDialog::Accepted);
    });
    report->OnPrint();
    EXPECT_FALSE(MediaBoxes(printed).isEmpty());

    // A PDF that cannot be written is said to be so.
    m_Prompter.AnswerFile(Folder() + QStringLiteral("/no such folder/report.pdf"));
    report->OnExportPdf();
    const auto messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].text,
        QStringLiteral("The report could not be written to %1/no such folder/report.pdf.").arg(Folder()));
}

TEST_F(ReportTest, AYearTypedWrongLeavesOneRowForItsEmptyCenturies) {
    const ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    // Thirteen empty months are one row; twelve are twelve.
    Add(m_Corolla, CEntry::EntryFuel, QDate(1924, 3, 20), 900, 10.0f, 3.0f);
    Add(m_Corolla, CEntry::EntryFuel, QDate(2023, 11, 15), 950, 10.0f, 3.0f);
    std::unique_ptr<CDlgReport> report = Open();
    const QAbstractItemModel* rows = report->PeriodTable()->model();
    QStringList periods;
    for (int row = 0; row < rows->rowCount(); ++row)
        periods << rows->index(row, CPeriodTableModel::ColumnPeriod).data().toString();
    EXPECT_EQ(periods,
              QStringList({QStringLiteral("Mar 1924"), QStringLiteral("Apr 1924 \u2013 Oct 2023"),
                           QStringLiteral("Nov 2023"), QStringLiteral("Dec 2023"), QStringLiteral("Jan 2024"),
                           QStringLiteral("Feb 2024"), QStringLiteral("Mar 2024"), QStringLiteral("Total")}));
    EXPECT_EQ(rows->index(7, CPeriodTableModel::ColumnEntries).data().toString(), QStringLiteral("6"));
}
