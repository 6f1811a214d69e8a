#include "carvelle/exchange/ExchangeTestSupport.h"

#include "exchange/CEntryExporter.h"
#include "exchange/ImportText.h"

#include "core/LocalDates.h"
#include "records/CEntryFilter.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

namespace {

// A file of any size made up as it is read: a header, then one fill-up a line. It notes how far
// it has been read, so a test can tell that progress came before the end.
class GeneratedCsv : public QIODevice {
public:
    explicit GeneratedCsv(qint64 size) : m_Size(size) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_Size; }
    qint64 furthest = 0;

protected:
    qint64 readData(char* data, qint64 max) override {
        static const char kHeader[] = "Date,Odometer,Litres,Total\n";
        static const char kRow[] = "2024-01-01,1000,40.5,61.25\n"; // 27 bytes
        const qint64 headerSize = static_cast<qint64>(std::strlen(kHeader));
        const qint64 rowSize = static_cast<qint64>(std::strlen(kRow));
        const qint64 start = pos();
        const qint64 n = std::min(max, m_Size - start);
        for (qint64 i = 0; i < n; ++i) {
            const qint64 at = start + i;
            data[i] = at < headerSize ? kHeader[at] : kRow[(at - headerSize) % rowSize];
        }
        furthest = std::max(furthest, start + n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 m_Size;
};

} // namespace

TEST_F(ExchangeTest, ExportThenImportIntoAnEmptyFileGivesBackEveryField) {
    const ULONG corolla = AddVehicle(u"Corolla \"Red\", 2004");
    const ULONG van = AddVehicle(u"Van");
    auto add = [&](ULONG vehicle, CEntry::Type type, double date, LONG odometer, float amount, float c1,
                   float c2, const char16_t* vendor, const char16_t* name, const char16_t* notes,
                   DWORD flags = 0) {
        CEntry entry;
        entry.SetRefID(++m_LastRefID);
        entry.SetVehicleID(vehicle);
        entry.SetType(type);
        entry.SetDate(date);
        entry.SetOdometer(odometer);
        entry.SetAmount(amount);
        entry.SetCustom1(c1);
        entry.SetCustom2(c2);
        entry.SetVendor(vendor);
        entry.SetName(name);
        entry.SetNotes(notes);
        ASSERT_EQ(m_Layer.Save(&entry, 0), 1);
        ASSERT_EQ(m_Layer.SetFillFlags(&entry, flags), 1);
    };
    // 45000.1 is 15 March 2023 02:24 UTC, still the 14th in New York.
    add(corolla, CEntry::EntryFuel, 45000.1, 12000, 33.59f, 10.5f, 3.199f, u"Shell", u"",
        u"first, \"full\"\nfill");
    add(corolla, CEntry::EntryFuel, 45005.6, 12060, 10.0f, 3.0f, 3.333f, u"", u"", u"top-up",
        CDataLayer::FillPartial | CDataLayer::FillMissed);
    add(corolla, CEntry::EntryRepair, 45010.6, 12100, 120.0f, 0, 0, u"Garage", u"Oil change", u"");
    add(corolla, CEntry::EntryTrip, 45011.6, 12250, 54.0f, 12100, 12250, u"Business", u"To Boston", u"");
    add(van, CEntry::EntryExpense, 45012.6, 800, 0.1f, 0, 0, u"City", u"Parking \u00DCberlingen \U0001F697",
        u"");

    QBuffer first;
    first.open(QIODevice::WriteOnly);
    CEntryFilter all;
    ASSERT_TRUE(CEntryExporter(m_Layer).Write(all, first));
    const QStringList before = StoredRows(m_Layer);
    EXPECT_TRUE(
        first.data().contains("\"Corolla \"\"Red\"\", 2004\",2023-03-14,Fuel,12000,10.5,3.199,33.59,Shell,,"
                              "\"first, \"\"full\"\"\nfill\",,\r\n"))
        << first.data().toStdString();
    EXPECT_TRUE(first.data().contains(",Fuel,12060,3,3.333,10,,,top-up,yes,yes\r\n"))
        << first.data().toStdString();
    EXPECT_TRUE(first.data().contains(",Trip,12250,12100,,54,Business,To Boston,"))
        << first.data().toStdString();

    TempDataFile empty;
    CDataLayer other;
    ASSERT_EQ(other.Connect(empty.WidePath().c_str()), CDataLayer::ConnectOK);
    CEntryImporter importer(other);
    ASSERT_EQ(Import(importer, WriteSample(QStringLiteral("export.csv"), first.data())),
              CEntryImporter::ResultOK);
    EXPECT_EQ(importer.GetSummary().imported, 5);
    EXPECT_EQ(importer.GetSummary().vehiclesMade, 2);
    EXPECT_EQ(StoredRows(other), before);

    QBuffer second;
    second.open(QIODevice::WriteOnly);
    ASSERT_TRUE(CEntryExporter(other).Write(all, second));
    EXPECT_EQ(second.data(), first.data());
}

TEST_F(ExchangeTest, EachRecognisedHeaderSetImports) {
    struct Sample {
        const char* name;
        QByteArray text;
        CImportMapping::Kind kind;
        const char* stored; // vehicle|day|type|odometer|amount|quantity|unit price|vendor|description|notes
    };
    const Sample samples[] = {
        {"own.csv",
         "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n"
         "Car,2024-03-05,Repair,5000,,,89.5,Garage,Brakes,\n",
         CImportMapping::KindOwn, "Car|2024-03-05|2|5000|89.5|0|0|Garage|Brakes|"},
        {"fuel.csv",
         "fuelup_date , ODO, Litres, Total Price, Price per unit, Station, Note, Partial\n"
         "2024-03-05 08:15,5000,40,60,1.5,Esso,cold day,1\n",
         CImportMapping::KindFuelLog, "Car|2024-03-05|1|5000|60|40|1.5|Esso||Partial fill-up\ncold day"},
        {"price-only.csv", "Date,Mileage,Gallons,Price,Location\n3/14/2024,12000,10,32.5,Shell\n",
         CImportMapping::KindFuelLog, "Car|2024-03-14|1|12000|32.5|10|3.25|Shell||"},
        {"semicolons.csv",
         "\xEF\xBB\xBF"
         "Kennung;Date;Odometer;Volume;Cost\n\xC3\xBC;05.03.2024;5.000;40,5;60,75\n",
         CImportMapping::KindFuelLog, "Car|2024-03-05|1|5000|60.75|40.5|1.5|||"},
        {"service.tsv", "date\tdescription\tcost\todometer\tnotes\n2024-03-05\tTyres\t400\t5000\tfour\n",
         CImportMapping::KindServiceLog, "Car|2024-03-05|4|5000|400|0|0||Tyres|four"},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        TempDataFile file;
        CDataLayer layer;
        ASSERT_EQ(layer.Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
        CEntryImporter importer(layer);
        ASSERT_TRUE(importer.Open(WriteSample(QString::fromLatin1(sample.name), sample.text)))
            << ImportText(importer.OpenFailure()).toStdString();
        EXPECT_EQ(importer.Mapping().GetKind(), sample.kind);
        importer.serviceType = CEntry::EntryExpense;
        importer.targetVehicleName = QStringLiteral("Car");
        importer.fileVolume = AsFileUnit(importer.userVolume); // the figures as they stand
        ASSERT_EQ(importer.Import(nullptr), CEntryImporter::ResultOK)
            << (importer.Errors().empty() ? "" : ImportText(importer.Errors()[0]).toStdString());
        EXPECT_EQ(StoredRows(layer), QStringList{QString::fromUtf8(sample.stored)});
    }
}

TEST_F(ExchangeTest, AFillUpsMissingTotalOrPriceIsWorkedOutAndHeldToTheLimitOfANumber) {
    // Our own layout: the total from quantity and price, the price from total and quantity.
    CEntryImporter own(m_Layer);
    ASSERT_EQ(
        Import(own,
               WriteSample(QStringLiteral("own.csv"),
                           "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n"
                           "Car,2024-03-05,Fuel,5000,40,1.499,,Esso,,\n"
                           "Car,2024-03-06,Fuel,5400,40,,60,Esso,,\n")),
        CEntryImporter::ResultOK);
    EXPECT_EQ(StoredRows(m_Layer), (QStringList{QStringLiteral("Car|2024-03-05|1|5000|59.96|40|1.499|Esso||"),
                                                QStringLiteral("Car|2024-03-06|1|5400|60|40|1.5|Esso||")}));

    // A price per unit typed a few places off would make a quantity past any number read.
    CEntryImporter slip(m_Layer);
    ASSERT_EQ(Import(slip,
                     WriteSample(QStringLiteral("slip.csv"), "Date,Odometer,Price per unit,Total\n"
                                                             "2024-04-01,6000,0.00000001,60\n"),
                     QStringLiteral("Car")),
              CEntryImporter::ResultRefused);
    ASSERT_EQ(slip.ErrorCount(), 1);
    EXPECT_EQ(slip.Errors()[0].code, CImportProblem::TooLarge);
    EXPECT_EQ(ImportText(slip.Errors()[0]), QStringLiteral("Line 2: Quantity 6000000000 is too large"));
    EXPECT_EQ(EntryCount(), 2);
}

TEST_F(ExchangeTest, RowsAlreadyStoredAreSkippedSoASecondImportAddsNothing) {
    const QString path = WriteSample(QStringLiteral("log.csv"), "Date,Odometer,Gallons,Cost\n"
                                                                "2024-03-05,5000,10,30\n"
                                                                "2024-03-12,5300,11,33\n");
    CEntryImporter first(m_Layer);
    ASSERT_EQ(Import(first, path, QStringLiteral("Car")), CEntryImporter::ResultOK);
    EXPECT_EQ(first.GetSummary().imported, 2);

    // Same day, odometer and amount at another time of day is the same fill-up; another amount is not.
    const QString again = WriteSample(QStringLiteral("again.csv"), "Date,Odometer,Gallons,Cost\n"
                                                                   "2024-03-05 18:00,5000,10,30\n"
                                                                   "2024-03-12,5300,11,33.01\n");
    CEntryImporter second(m_Layer);
    ASSERT_EQ(Import(second, again, QStringLiteral("car")), CEntryImporter::ResultOK);
    EXPECT_EQ(second.GetSummary().read, 2);
    EXPECT_EQ(second.GetSummary().duplicates, 1);
    EXPECT_EQ(second.GetSummary().imported, 1);
    EXPECT_EQ(second.GetSummary().vehiclesMade, 0);
    EXPECT_EQ(EntryCount(), 3);
}

TEST_F(ExchangeTest, ATypedVehicleNameTakesTheVehicleOfThatExactNameBeforeAnotherCase) {
    const ULONG upper = AddVehicle(u"GOLF");
    const ULONG lower = AddVehicle(u"Golf");
    const ULONG audi = AddVehicle(u"Audi");
    const QString path = WriteSample(QStringLiteral("log.csv"), "Date,Odometer,Cost\n2024-01-01,1000,60\n");
    auto entriesOf = [&](ULONG vehicle) {
        CObjectListT<CEntry> entries;
        CEntryFilter filter;
        filter.SetVehicleID(vehicle);
        m_Layer.Load(entries, filter);
        return entries.GetCount();
    };
    for (const char* typed : {"Golf", "GOLF", "audi", "golf"}) {
        CEntryImporter importer(m_Layer);
        EXPECT_EQ(Import(importer, path, QString::fromLatin1(typed)), CEntryImporter::ResultOK);
    }
    EXPECT_EQ(entriesOf(lower), 1);
    EXPECT_EQ(entriesOf(upper), 1);
    // Case aside only where one vehicle is meant; where two are, a vehicle of its own.
    EXPECT_EQ(entriesOf(audi), 1);
    EXPECT_EQ(EntryCount(), 4);
}

TEST_F(ExchangeTest, FilesThatCannotBeImportedAreRefusedWithTheReason) {
    QByteArray binary("\x89PNG\r\n\x1A\n", 8);
    binary.append(QByteArray(64, '\0'));
    QFile dataFile(QString::fromStdString(m_File.Path()));
    ASSERT_TRUE(dataFile.open(QIODevice::ReadOnly));
    const struct {
        const char* name;
        QByteArray text;
        const char* reason;
    } cases[] = {
        {"picture.csv", binary, "is not a text file"},
        {"data.csv", dataFile.readAll(), "is a Carvelle data file"},
        {"empty.csv", "\xEF\xBB\xBF\r\n\r\n", "holds no header"},
        {"nodate.csv", "Odometer,Cost\n5000,10\n", "no date column"},
        {"noodometer.csv", "Date,Litres,Cost\n2024-01-01,40,10\n", "no odometer column"},
    };
    for (const auto& sample : cases) {
        SCOPED_TRACE(sample.name);
        CEntryImporter importer(m_Layer);
        // A file with a header opens, so that the user can say what its columns hold.
        const bool opened = importer.Open(WriteSample(QString::fromLatin1(sample.name), sample.text));
        const CImportProblem problem = opened ? importer.TableProblem() : importer.OpenFailure();
        EXPECT_EQ(opened, QByteArray(sample.name).startsWith("no"));
        EXPECT_TRUE(ImportText(problem).contains(QLatin1String(sample.reason)))
            << ImportText(problem).toStdString();
        if (opened) {
            EXPECT_EQ(importer.Import(nullptr), CEntryImporter::ResultRefused);
        }
    }
    EXPECT_EQ(EntryCount(), 0);
}

TEST_F(ExchangeTest, EveryBadValueIsAnErrorWithItsLineAndNothingIsWritten) {
    const QString path = WriteSample(QStringLiteral("bad.csv"), "Date,Odometer,Litres,Cost,Notes\n"
                                                                "2024-01-01,1000,40,60,\"a note, over\n"
                                                                "two lines\"\n"
                                                                "\n"
                                                                "2024-01-02,-5,40,60,\n"
                                                                "2024-01-03,2147483648,40,60,\n"
                                                                "0099-12-31,1100,40,60,\n"
                                                                "10000-01-01,1100,40,60,\n"
                                                                "2024-01-04,1200,forty,60,\n"
                                                                "2024-01-05,,40,60,\n"
                                                                "2024-02-30,1300,40,60,\n"
                                                                "9999-12-31 23:30,1400,40,60,\n"
                                                                "2024-01-06,1400,40,60,fine\n");
    CEntryImporter importer(m_Layer);
    ASSERT_EQ(Import(importer, path, QStringLiteral("Car")), CEntryImporter::ResultRefused);
    // The problem in codes, for a caller that does not show words.
    const CImportProblem& first = importer.Errors().front();
    EXPECT_EQ(first.code, CImportProblem::Negative);
    EXPECT_EQ(first.line, 5);
    EXPECT_EQ(first.column, 1);
    EXPECT_EQ(first.value, QStringLiteral("-5"));
    // Three of a kind are summed up in one line; an unreadable date says how to give the format.
    // (Line 12: New York's evening is already the year 10000 in UTC.)
    EXPECT_EQ(
        ImportErrorLines(importer, ImportReader::Console),
        (QStringList{
            QStringLiteral("Line 5: Odometer -5 is negative"),
            QStringLiteral("Line 6: odometer 2147483648 is above 2,147,483,647"),
            QStringLiteral("3 rows: date out of range, first at line 7 (date 0099-12-31 is before the year "
                           "100 or after 9999)"),
            QStringLiteral("Line 9: Quantity (column \"Litres\") \"forty\" is not a number"),
            QStringLiteral("Line 10: Odometer is missing"),
            QStringLiteral("Line 11: \"2024-02-30\" is not a date in the form yyyy-MM-dd"),
            QStringLiteral("The dates were read as yyyy-MM-dd. Orders tried: yyyy-MM-dd, M/d/yyyy and "
                           "d/M/yyyy, with -, /, . or a space between, a two-digit year and a time; give "
                           "--date-format PATTERN, such as MM-dd-yyyy."),
        }));
    EXPECT_EQ(importer.RowCount(), 10);
    EXPECT_EQ(EntryCount(), 0);

    // The good rows alone, when the user asks for them.
    importer.skipBadRows = true;
    ASSERT_EQ(importer.Import(nullptr), CEntryImporter::ResultOK);
    EXPECT_EQ(importer.GetSummary().imported, 2);
    EXPECT_EQ(importer.GetSummary().refused, 8);
    EXPECT_EQ(EntryCount(), 2);
}

TEST_F(ExchangeTest, AQuoteLeftOpenRefusesTheFileNamingTheLineItOpensOn) {
    // In the middle, it would swallow the rows after it; on the last line, the station's name.
    const struct {
        const char* name;
        QByteArray text;
        qint64 line;
    } cases[] = {
        {"middle.csv",
         "Date,Odometer,Litres,Cost,Station\n2024-01-01,900,40,60,Esso\n2024-01-02,1000,40,60,\"Shell\n"
         "2024-01-03,1100,40,60,Aral\n2024-01-04,1200,40,60,BP\n",
         3},
        {"last.csv",
         "Date,Odometer,Litres,Cost,Station\n2024-01-01,900,40,60,Esso\n2024-01-02,1000,40,60,\"Shell", 3},
    };
    for (const auto& sample : cases) {
        SCOPED_TRACE(sample.name);
        CEntryImporter importer(m_Layer);
        importer.skipBadRows = true;
        ASSERT_EQ(Import(importer, WriteSample(QString::fromLatin1(sample.name), sample.text),
                         QStringLiteral("Car")),
                  CEntryImporter::ResultRefused);
        ASSERT_EQ(importer.ErrorCount(), 1);
        EXPECT_EQ(importer.Errors()[0].code, CImportProblem::UnclosedQuote);
        EXPECT_EQ(importer.Errors()[0].line, sample.line);
        EXPECT_TRUE(
            ImportText(importer.Errors()[0]).startsWith(QStringLiteral("Line 3: a closing quote is missing")))
            << ImportText(importer.Errors()[0]).toStdString();
    }
    EXPECT_EQ(EntryCount(), 0);
}

TEST_F(ExchangeTest, Latin1IsReadAsLatin1AndBadUtf8LaterIsAnError) {
    CEntryImporter latin1(m_Layer);
    ASSERT_EQ(Import(latin1,
                     WriteSample(QStringLiteral("latin1.csv"), "Date,Odometer,Cost,Station\n"
                                                               "2024-01-01,1000,60,Caf\xE9\n"),
                     QStringLiteral("Car")),
              CEntryImporter::ResultOK);
    EXPECT_TRUE(latin1.Reader().IsLatin1());
    EXPECT_TRUE(StoredRows(m_Layer).value(0).contains(QStringLiteral("Caf\u00E9")));
    EXPECT_TRUE(ImportText(latin1.GetSummary()).contains(QLatin1String("Latin-1")));

    // Valid UTF-8 at the start, a stray byte far down: that line is refused, not garbled.
    QByteArray text = "Date,Odometer,Cost,Station\n";
    for (int i = 0; i < 3000; ++i)
        text += "2024-01-01,1000,60,Caf\xC3\xA9\n";
    text += "2024-01-02,1100,60,Caf\xE9\n";
    CEntryImporter mixed(m_Layer);
    ASSERT_EQ(Import(mixed, WriteSample(QStringLiteral("mixed.csv"), text), QStringLiteral("Car")),
              CEntryImporter::ResultRefused);
    ASSERT_EQ(mixed.ErrorCount(), 1);
    EXPECT_EQ(ImportText(mixed.Errors()[0]), QStringLiteral("Line 3002: the line is not valid UTF-8 text"));
}

TEST_F(ExchangeTest, DatesThatCannotTellDayFromMonthAreLeftToTheUser) {
    CEntryImporter ambiguous(m_Layer);
    ASSERT_TRUE(ambiguous.Open(WriteSample(QStringLiteral("a.csv"), "Date,Odometer,Cost\n03/04/2024,1,2\n")));
    EXPECT_TRUE(ambiguous.Detected().dateAmbiguous);
    ambiguous.dateFormat = CImportMapping::DateDayMonthYear;
    EXPECT_EQ(ambiguous.Preview(10).at(0).row.day, QDate(2024, 4, 3));

    CEntryImporter dayFirst(m_Layer);
    ASSERT_TRUE(dayFirst.Open(WriteSample(QStringLiteral("b.csv"),
                                          "Date,Odometer,Cost\n03/04/2024,1,2\n13/04/2024 7:05 PM,1,2\n")));
    EXPECT_FALSE(dayFirst.Detected().dateAmbiguous);
    EXPECT_EQ(dayFirst.Mapping().dateFormat, CImportMapping::DateDayMonthYear);
    const auto preview = dayFirst.Preview(10);
    ASSERT_EQ(preview.size(), 2u);
    const QDateTime when = OleDateToLocal(preview[1].row.date);
    EXPECT_EQ(when.date(), QDate(2024, 4, 13));
    EXPECT_EQ(when.time().hour() * 60 + when.time().minute(), 19 * 60 + 5);
}

TEST_F(ExchangeTest, AHugeFileReportsProgressLongBeforeItIsReadAndCancelsCleanly) {
    constexpr qint64 kGigabyte = 1024LL * 1024 * 1024;
    auto device = std::make_unique<GeneratedCsv>(kGigabyte);
    GeneratedCsv* generated = device.get();
    CEntryImporter importer(m_Layer);
    ASSERT_TRUE(importer.Open(std::move(device), QStringLiteral("huge.csv")));
    importer.targetVehicleName = QStringLiteral("Car");
    qint64 firstDone = -1;
    qint64 readAtFirst = -1;
    const CEntryImporter::Result result = importer.Import([&](qint64 done, qint64 total) {
        EXPECT_EQ(total, kGigabyte);
        firstDone = done;
        readAtFirst = generated->furthest;
        return false;
    });
    EXPECT_EQ(result, CEntryImporter::ResultCancelled);
    EXPECT_GT(firstDone, 0);
    EXPECT_LT(readAtFirst, 2 * 1024 * 1024); // opening reads the first megabyte for its tables
    EXPECT_EQ(EntryCount(), 0);
}

TEST_F(ExchangeTest, CancellingWhileWritingRollsEverythingBack) {
    QByteArray text = "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n";
    for (int i = 0; i < 5000; ++i)
        text += "New car,2024-01-01,Fuel," + QByteArray::number(1000 + i) + ",40,1.5,60,,,\n";
    CEntryImporter importer(m_Layer);
    ASSERT_TRUE(importer.Open(WriteSample(QStringLiteral("many.csv"), text)));
    const auto result = importer.Import([&](qint64 done, qint64 total) { return done < total / 2; });
    EXPECT_EQ(result, CEntryImporter::ResultCancelled);
    EXPECT_EQ(EntryCount(), 0);
    CObjectListT<CVehicle> vehicles;
    m_Layer.Load(vehicles);
    EXPECT_EQ(vehicles.GetCount(), 0);
}
