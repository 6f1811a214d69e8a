// Stored dates the export meets, exported as stored and imported back.

#include "carvelle/exchange/ExchangeTestSupport.h"

#include "exchange/CEntryExporter.h"

#include <QBuffer>

TEST_F(ExchangeTest, StoredDatesNoCalendarHasAreExportedAsStoredAndDoNotUpsetAnImport) {
    const ULONG car = AddVehicle(u"Car");
    for (const double date : {45000.0, 3e6, 1e300, -1e300}) {
        CEntry entry;
        entry.SetRefID(++m_LastRefID);
        entry.SetVehicleID(car);
        entry.SetType(CEntry::EntryRepair);
        entry.SetDate(date);
        entry.SetOdometer(static_cast<LONG>(m_LastRefID));
        ASSERT_EQ(m_Layer.Save(&entry, 0), 1);
    }
    CEntryExporter exporter(m_Layer);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    CEntryFilter all;
    ASSERT_TRUE(exporter.Write(all, out));
    EXPECT_EQ(exporter.Count(), 4);
    EXPECT_EQ(exporter.BadDates(), 3);
    const QList<QByteArray> lines = out.data().split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines[1].startsWith("Car,-1e+300,")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Car,2023-03-14,")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("Car,3e+06,")) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].startsWith("Car,1e+300,")) << lines[4].toStdString();

    // The duplicate check reads every stored date.
    CEntryImporter importer(m_Layer);
    const QString log = WriteSample(QStringLiteral("log.csv"), "Date,Odometer,Cost\n2024-03-05,5000,30\n");
    EXPECT_EQ(Import(importer, log, QStringLiteral("Car")), CEntryImporter::ResultOK);
    EXPECT_EQ(EntryCount(), 5);
}
