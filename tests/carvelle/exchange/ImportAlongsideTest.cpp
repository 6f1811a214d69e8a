// Other programs and stored dates the import and export meet.

#include "carvelle/exchange/ExchangeTestSupport.h"

#include "support/CDataLayerTestPeer.h"

#include "exchange/CEntryExporter.h"

#include <QBuffer>

TEST_F(ExchangeTest, AnotherProgramReadsOnWhileALongImportWrites) {
    QByteArray text = "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n";
    for (int i = 0; i < 5000; ++i)
        text += "New car,2024-01-01,Fuel," + QByteArray::number(1000 + i) + ",40,1.5,60,,,\n";
    // A small cache fills long before the commit, as a large import fills a normal one.
    ASSERT_EQ(
        sqlite3_exec(CDataLayerTestPeer::Handle(m_Layer), "PRAGMA cache_size=5", nullptr, nullptr, nullptr),
        SQLITE_OK);
    CEntryImporter importer(m_Layer);
    ASSERT_TRUE(importer.Open(WriteSample(QStringLiteral("many.csv"), text)));
    int reads = 0;
    const auto result = importer.Import([&](qint64 done, qint64 total) {
        if (done > total * 3 / 4 && reads == 0) {
            // The other program does not wait at all.
            CDataLayer reader;
            reader.SetBusyTimeout(0);
            EXPECT_EQ(reader.Connect(m_File.WidePath().c_str()), CDataLayer::ConnectOK);
            CObjectListT<CVehicle> vehicles;
            EXPECT_TRUE(reader.Load(vehicles));
            ++reads;
        }
        return true;
    });
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(result, CEntryImporter::ResultOK);
    EXPECT_EQ(EntryCount(), 5000);
}

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
