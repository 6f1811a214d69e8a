#include "carvelle/exchange/ExchangeTestSupport.h"
#include "support/CDataLayerTestPeer.h"

#include "exchange/CEntryExporter.h"
#include "exchange/CImportMapping.h"
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

// Another program reads on while an import writes.
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

// Files as users of other programs bring them, round two: their own units converted into the
// user's, more languages and Spritmonitor, dates with dashes, costs under a title line, fill types
// written as codes and a vehicle section's details. Every converted figure is worked out by hand.

namespace {

struct Outcome {
    CEntryImporter::Result result = CEntryImporter::ResultFailed;
    QStringList rows;
    QString notes;
    QStringList errors;
};

class ImportRoundTwoTest : public ExchangeTest {
protected:
    // Imports the sample into a file of its own kept in the given units.
    Outcome ImportSample(const char* name, const QByteArray& text, DistanceUnit distance, VolumeUnit volume,
                         const std::function<void(CEntryImporter&)>& choose = {}) {
        TempDataFile file;
        CDataLayer layer;
        EXPECT_EQ(layer.Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
        CEntryImporter importer(layer);
        importer.userDistance = distance;
        importer.userVolume = volume;
        Outcome outcome;
        if (!importer.Open(WriteSample(QString::fromLatin1(name), text))) {
            outcome.notes = ImportText(importer.OpenFailure());
            return outcome;
        }
        importer.targetVehicleName = QStringLiteral("Car");
        if (choose)
            choose(importer);
        outcome.result = importer.Import(nullptr);
        outcome.rows = StoredRows(layer);
        outcome.notes = ImportSummaryText(importer);
        outcome.errors = ImportErrorLines(importer, ImportReader::Console);
        return outcome;
    }
};

} // namespace

TEST_F(ImportRoundTwoTest, DistancesQuantitiesAndPricesPerUnitComeInTheUsersUnits) {
    struct Sample {
        const char* name;
        QByteArray text;
        DistanceUnit distance;
        VolumeUnit volume;
        QStringList stored;
        const char* note;
    };
    const Sample samples[] = {
        // 10 US gal at $3.50 = 37.854 l at $0.9246; 1,000 mi = 1,609 km; the $35 stays.
        {"mi-gal.csv",
         "Date,Odometer (mi),Gallons,Price per gallon,Total\n2024-03-14,1000,10,3.50,35\n",
         DistanceKilometres,
         VolumeLitres,
         {"Car|2024-03-14|1|1609|35|37.854|0.9246|||"},
         "Distances in miles, converted to km."},
        // Fuelio's 40 l at 1.75 = 10.567 US gal at 6.6245 (1.75 x 3.785411784); 12,000 km = 7,456 mi.
        {"km-l.csv",
         "\"Data\",\"Odo (km)\",\"Fuel (litres)\",\"Full\",\"Price (optional)\",\"VolumePrice\"\n"
         "\"2024-03-01 08:15\",\"12000\",\"40\",\"1\",\"70\",\"1.75\"\n",
         DistanceMiles,
         VolumeGallonsUS,
         {"Car|2024-03-01|1|7456|70|10.567|6.6245|||"},
         "Quantities in litres, converted to US gallons."},
        // A unit column: 10 imperial gallons = 45.461 l at 1.32 / 4.54609 = 0.2904.
        {"uk.csv",
         "Date,Odometer,Fill Amount,Fill Units,Price per Unit,Total Price\n"
         "2024-03-14,5000,10,Imp. Gal,1.32,13.20\n",
         DistanceMiles,
         VolumeLitres,
         {"Car|2024-03-14|1|5000|13.2|45.461|0.2904|||"},
         "Quantities in the units of the \"Fill Units\" column, converted to litres."},
        // A vehicle section says the file's units: 1,609 km = 1,000 mi.
        {"section.csv",
         "## Vehicle\nName,Units\nVan,km\n## Log\nDate,Odometer,Quantity,Total\n2024-03-14,1609,10,15\n",
         DistanceMiles,
         VolumeLitres,
         {"Van|2024-03-14|1|1000|15|10|1.5|||"},
         "Distances in km, converted to miles."},
        // Nothing stated: the numbers are the user's own, and the notes say so.
        {"plain.csv",
         "Date,Odometer,Quantity,Total\n2024-03-14,5000,40,60\n",
         DistanceKilometres,
         VolumeLitres,
         {"Car|2024-03-14|1|5000|60|40|1.5|||"},
         "Distances: the file does not say their unit, so they are taken as km, as in Options."},
        // Gas in kg is the quantity, stored as it is.
        {"cng.csv",
         "Data,Odo (km),Carburante (kg),Costo totale\n2024-03-14,5000,12.5,15\n",
         DistanceKilometres,
         VolumeLitres,
         {"Car|2024-03-14|1|5000|15|12.5|1.2|||"},
         "Quantities in kg are stored as they are"},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const Outcome outcome = ImportSample(sample.name, sample.text, sample.distance, sample.volume);
        ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
        EXPECT_EQ(outcome.rows, sample.stored) << outcome.rows.join(u'\n').toStdString();
        EXPECT_TRUE(outcome.notes.contains(QString::fromUtf8(sample.note))) << outcome.notes.toStdString();
    }
}

TEST_F(ImportRoundTwoTest, UnitsAboveTheHeaderAndUKGallonsAreRead) {
    struct Sample {
        const char* name;
        QByteArray text;
        DistanceUnit distance;
        VolumeUnit volume;
        QString stored;
        QStringList notes;
    };
    const Sample samples[] = {
        // A title's brackets: 16,093 km = 10,000 mi, 37.854 l = 10 US gal.
        {"title.csv",
         "Fuel log (km, l)\nDate;Odometer;Quantity;Total\n2024-03-14;16093;37.854;60\n",
         DistanceMiles,
         VolumeGallonsUS,
         "Car|2024-03-14|1|10000|60|10|6|||",
         {"Units as the title line \"Fuel log (km, l)\" states them.",
          "Distances in km, converted to miles."}},
        // A line of units that the file's semicolons split: 10 UK gal = 45.461 l, 1,000 mi = 1,609 km;
        // the price is worked out from the total.
        {"split.csv",
         "Distance: miles; Volume: UK gallons\nDate;Odometer;Quantity;Total\n2024-03-14;1000;10;20\n",
         DistanceKilometres,
         VolumeLitres,
         "Car|2024-03-14|1|1609|20|45.461|0.44|||",
         {"Quantities in UK gallons, converted to litres."}},
        {"einheiten.csv",
         "Einheiten: km, Liter\nDatum,Kilometerstand,Menge,Kosten\n14.03.2024,16093,37.854,60\n",
         DistanceMiles,
         VolumeGallonsUS,
         "Car|2024-03-14|1|10000|60|10|6|||",
         {"Distances in km, converted to miles.", "Quantities in litres, converted to US gallons."}},
        // A section line's plain gallons are US ones.
        {"section.csv",
         "## Log (mi, gal)\nDate,Odometer,Quantity,Total\n2024-03-14,1000,10,35\n",
         DistanceKilometres,
         VolumeLitres,
         "Car|2024-03-14|1|1609|35|37.854|0.925|||",
         {"Units as the section line \"## Log (mi, gal)\" states them.",
          "The file says only \"gallons\", so they are taken as US gallons."}},
        // Plain gallons paid in pounds, or under a title that says UK, are UK gallons.
        {"gbp.csv",
         "Date,Odometer (mi),Gallons,Total,Currency\n2024-03-14,1000,10,60,GBP\n",
         DistanceKilometres,
         VolumeLitres,
         "Car|2024-03-14|1|1609|60|45.461|1.32|||",
         {"The file says only \"gallons\" and its amounts are in pounds sterling, so they are taken as UK "
          "gallons."}},
        {"pound.csv",
         "Date,Odometer,Fill Amount,Fill Units,Total\n2024-03-14,1000,10,Gallons,\xC2\xA3"
         "60.00\n",
         DistanceMiles,
         VolumeLitres,
         "Car|2024-03-14|1|1000|60|45.461|1.32|||",
         {"its amounts are in pounds sterling, so they are taken as UK gallons."}},
        {"uk-title.csv",
         "Fuel log - UK\nDate,Odometer,Gallons,Total\n2024-03-14,1000,10,60\n",
         DistanceMiles,
         VolumeLitres,
         "Car|2024-03-14|1|1000|60|45.461|1.32|||",
         {"The file says only \"gallons\" and its title says UK, so they are taken as UK gallons."}},
        // A section that says UK holds for the file's other tables.
        {"uk-section.csv",
         "## Vehicle (UK)\nName,Make\nAstra,Vauxhall\n## "
         "Log\nDate,Odometer,Gallons,Total\n2024-03-14,1000,10,60\n",
         DistanceMiles,
         VolumeLitres,
         "Astra|2024-03-14|1|1000|60|45.461|1.32|||",
         {"The file says only \"gallons\" and a section says UK, so they are taken as UK gallons."}},
        // Euros say nothing of gallons; a name's "L" is no unit.
        {"eur.csv",
         "Date,Odometer,Gallons,Total,Currency\n2024-03-14,1000,10,35,EUR\n",
         DistanceMiles,
         VolumeLitres,
         "Car|2024-03-14|1|1000|35|37.854|0.925|||",
         {"The file says only \"gallons\", so they are taken as US gallons."}},
        {"name.csv",
         "L'Auto - Fuel\nDate,Odometer,Quantity,Total\n2024-03-14,5000,40,60\n",
         DistanceKilometres,
         VolumeLitres,
         "Car|2024-03-14|1|5000|60|40|1.5|||",
         {"Quantities: the file does not say their unit"}},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const Outcome outcome = ImportSample(sample.name, sample.text, sample.distance, sample.volume);
        ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
        EXPECT_EQ(outcome.rows, QStringList{sample.stored}) << outcome.rows.join(u'\n').toStdString();
        for (const QString& note : sample.notes)
            EXPECT_TRUE(outcome.notes.contains(note)) << outcome.notes.toStdString();
    }
}

TEST_F(ImportRoundTwoTest, TheUserCorrectsTheFilesUnitsAndAConversionNeverPassesAFieldsRange) {
    // The file says nothing; the user says miles and US gallons. The price is worked out in litres.
    const QByteArray plain = "Date,Odometer,Quantity,Total\n2024-03-14,1000,10,35\n";
    Outcome outcome =
        ImportSample("said.csv", plain, DistanceKilometres, VolumeLitres, [](CEntryImporter& importer) {
            importer.fileDistance = FileDistance::Miles;
            importer.fileVolume = FileVolume::GallonsUS;
        });
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK);
    EXPECT_EQ(outcome.rows, QStringList{"Car|2024-03-14|1|1609|35|37.854|0.925|||"});

    FileDistance distance{};
    FileVolume volume{};
    EXPECT_TRUE(ParseFileUnits(QStringLiteral("mi,ukgal"), distance, volume));
    EXPECT_EQ(volume, FileVolume::GallonsUK);
    EXPECT_FALSE(ParseFileUnits(QStringLiteral("km"), distance, volume));
    EXPECT_FALSE(ParseFileUnits(QStringLiteral("furlongs,l"), distance, volume));

    // 2,000,000,000 mi is no odometer in km: the line is refused, nothing is written.
    outcome = ImportSample("far.csv", "Date,Odometer (mi),Gallons,Total\n2024-03-14,2000000000,10,35\n",
                           DistanceKilometres, VolumeLitres);
    EXPECT_EQ(outcome.result, CEntryImporter::ResultRefused);
    EXPECT_TRUE(outcome.rows.isEmpty());
    EXPECT_TRUE(
        outcome.errors.join(u'\n').contains(QLatin1String("Line 2: odometer 2000000000 (3218688000 km)")))
        << outcome.errors.join(u'\n').toStdString();

    // A unit it does not know is named, and the numbers are kept.
    outcome = ImportSample("m3.csv", "Date,Odometer,Quantity (m3),Total\n2024-03-14,5000,12,15\n",
                           DistanceKilometres, VolumeLitres);
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK);
    EXPECT_EQ(outcome.rows, QStringList{"Car|2024-03-14|1|5000|15|12|1.25|||"});
    EXPECT_TRUE(outcome.notes.contains(
        QLatin1String("\"Quantity (m3)\" is in \"m3\", a unit Carvelle does not know")))
        << outcome.notes.toStdString();
}

TEST_F(ImportRoundTwoTest, SpritmonitorAndTheNewLanguagesAreReadWithoutOptions) {
    // Spritmonitor: decimal commas, its fill type as a code (2 partial, 4 after missed fill-ups),
    // two currencies, kilometres and litres into miles and US gallons: 16,093 km = 10,000 mi,
    // 37.854 l = 10 gal, 20 l = 5.283 gal, so 40.00 is 7.571 a gallon.
    Outcome outcome =
        ImportSample("spritmonitor.csv",
                     "Datum;Km-Stand;Teil-Km;Spritmenge;Kosten;W\xC3\xA4hrung;Tankart;Bemerkung\n"
                     "14.03.2024;16093;500;37,854;70,00;EUR;1;\n"
                     "28.03.2024;16898;500;20,000;40,00;EUR;2;\n"
                     "10.04.2024;17702;500;37,854;70,00;CHF;4;\n",
                     DistanceMiles, VolumeGallonsUS);
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
    EXPECT_EQ(outcome.rows, (QStringList{"Car|2024-03-14|1|10000|70|10|7|||",
                                         "Car|2024-03-28|1|10500|40|5.283|7.571|||Partial fill-up",
                                         "Car|2024-04-10|1|11000|70|10|7|||Missed fill-up before this one"}))
        << outcome.rows.join(u'\n').toStdString();
    EXPECT_TRUE(outcome.notes.contains(QLatin1String("Spritmonitor fuel"))) << outcome.notes.toStdString();
    EXPECT_TRUE(outcome.notes.contains(QLatin1String("several currencies (EUR, CHF)")));

    // Dutch, and "Filled Tank" written Y/N.
    outcome = ImportSample("nl.csv",
                           "Datum;Kilometerstand;Hoeveelheid;Totaal;Filled Tank;Opmerking\n"
                           "2024-03-14;5000;40;60;Y;\n2024-03-28;5400;20;30;N;half\n",
                           DistanceKilometres, VolumeLitres);
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
    EXPECT_EQ(outcome.rows, (QStringList{"Car|2024-03-14|1|5000|60|40|1.5|||",
                                         "Car|2024-03-28|1|5400|30|20|1.5|||Partial fill-up\nhalf"}));
}

TEST_F(ImportRoundTwoTest, FlagsAreReadByTheValuesTheUserNames) {
    const QByteArray text = "Date,Odometer,Litres,Cost,Kind\n"
                            "2024-03-14,5000,40,60,F\n2024-03-28,5400,20,30,T\n2024-04-10,5800,40,60,M\n";
    // Read as yes and no, a column of codes is named with a warning.
    Outcome outcome =
        ImportSample("kind0.csv", text, DistanceKilometres, VolumeLitres, [](CEntryImporter& importer) {
            importer.MapColumn(QStringLiteral("Kind"), CImportMapping::FieldPartial);
        });
    EXPECT_TRUE(
        outcome.notes.contains(QLatin1String("Warning: \"Kind\" holds F, M, which is neither yes nor no")))
        << outcome.notes.toStdString();
    outcome = ImportSample("kind.csv", text, DistanceKilometres, VolumeLitres, [](CEntryImporter& importer) {
        importer.MapColumn(QStringLiteral("Kind"), CImportMapping::FieldPartial, {QStringLiteral("t")});
        importer.MapColumn(QStringLiteral("Kind"), CImportMapping::FieldMissed, {QStringLiteral("M")});
    });
    // A column holds one field: the later word wins.
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK);
    EXPECT_EQ(outcome.rows,
              (QStringList{"Car|2024-03-14|1|5000|60|40|1.5|||", "Car|2024-03-28|1|5400|30|20|1.5|||",
                           "Car|2024-04-10|1|5800|60|40|1.5|||Missed fill-up before this one"}));
    outcome = ImportSample("kind2.csv", text, DistanceKilometres, VolumeLitres, [](CEntryImporter& importer) {
        importer.MapColumn(QStringLiteral("Kind"), CImportMapping::FieldPartial,
                           {QStringLiteral("T"), QStringLiteral("m")});
    });
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK);
    EXPECT_EQ(outcome.rows, (QStringList{"Car|2024-03-14|1|5000|60|40|1.5|||",
                                         "Car|2024-03-28|1|5400|30|20|1.5|||Partial fill-up",
                                         "Car|2024-04-10|1|5800|60|40|1.5|||Partial fill-up"}));
}

TEST_F(ImportRoundTwoTest, DatesWithDashesAndPatternsOfAnyOrder) {
    using F = CImportMapping;
    const Outcome outcome = ImportSample(
        "dashes.csv", "Date,Odometer,Quantity,Total\n10-24-2012,5000,40,60\n11-02-2012,5400,40,60\n",
        DistanceKilometres, VolumeLitres);
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
    EXPECT_EQ(outcome.rows,
              (QStringList{"Car|2012-10-24|1|5000|60|40|1.5|||", "Car|2012-11-02|1|5400|60|40|1.5|||"}));

    EXPECT_EQ(F::DateFormatFromName(QStringLiteral("MM-dd-yyyy")), F::DateMonthDayYear);
    EXPECT_EQ(F::DateFormatFromName(QStringLiteral("d.M.yy")), F::DateDayMonthYearDots);
    EXPECT_EQ(F::DateFormatFromName(QStringLiteral("yyyy/MM/dd HH:mm")), F::DateIso);
    EXPECT_EQ(F::DateFormatFromName(QStringLiteral("dd MM yyyy")), F::DateDayMonthYear);
    for (const char* bad : {"MM-MM-yyyy", "dd-MM/yyyy", "yy-MM-dd", "tomorrow", "MM-dd"})
        EXPECT_FALSE(F::DateFormatFromName(QString::fromLatin1(bad))) << bad;

    const auto day = [](const char* text, F::DateFormat format) {
        const auto read = F::ParseDate(QString::fromLatin1(text), format, nullptr);
        return read ? read->date : QDate();
    };
    EXPECT_EQ(day("2012/10/24 14:30", F::DateIso), QDate(2012, 10, 24));
    EXPECT_EQ(day("24 10 2012", F::DateDayMonthYear), QDate(2012, 10, 24));
    EXPECT_EQ(day("24.10.12", F::DateDayMonthYear), QDate(2012, 10, 24));
    EXPECT_FALSE(day("10-24/2012", F::DateMonthDayYear).isValid());
}

TEST_F(ImportRoundTwoTest, CostsUnderATitleLineComeInAsCosts) {
    const QByteArray text = "My Fuel Manager - Costs\n"
                            "Date;Title;Odometer;Total price;Currency;Note;Vehicle name\n"
                            "14.03.2024;Parking;12000;4,50;EUR;;Golf\n"
                            "20.03.2024;Car wash;12100;9,00;EUR;;Golf\n";
    Outcome outcome = ImportSample("mfm-costs.csv", text, DistanceKilometres, VolumeLitres);
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
    EXPECT_EQ(outcome.rows, (QStringList{"Golf|2024-03-14|4|12000|4.5|0|0||Parking|",
                                         "Golf|2024-03-20|4|12100|9|0|0||Car wash|"}));
    // The user's word for the whole file holds over what the title says.
    outcome =
        ImportSample("mfm-costs2.csv", text, DistanceKilometres, VolumeLitres, [](CEntryImporter& importer) {
            importer.serviceType = CEntry::EntryRepair;
            importer.serviceTypeForced = true;
        });
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK);
    EXPECT_EQ(outcome.rows.value(0), QStringLiteral("Golf|2024-03-14|2|12000|4.5|0|0||Parking|"));

    // Costs with dates and amounts alone come in, without readings.
    outcome = ImportSample("dates-amounts.csv", "Date;Amount;Memo\n2024-03-14;12,50;\n", DistanceKilometres,
                           VolumeLitres, [](CEntryImporter& importer) {
                               importer.serviceType = CEntry::EntryExpense;
                               importer.serviceTypeForced = true;
                           });
    ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.errors.join(u'\n').toStdString();
    EXPECT_EQ(outcome.rows, QStringList{"Car|2024-03-14|4|0|12.5|0|0|||"});
    EXPECT_TRUE(outcome.notes.contains(QLatin1String("stored without a reading")));

    // A fuel row without what it was: the refusal names the options that bring it in.
    outcome = ImportSample("no-quantity.csv", "Date,Odometer,Price per litre\n2024-03-14,5000,1.5\n",
                           DistanceKilometres, VolumeLitres);
    EXPECT_EQ(outcome.result, CEntryImporter::ResultRefused);
    EXPECT_TRUE(outcome.errors.join(u'\n').contains(QLatin1String("--as expense")))
        << outcome.errors.join(u'\n').toStdString();
}

TEST_F(ImportRoundTwoTest, AVehicleSectionGivesTheVehiclesYearPlateMakeAndModel) {
    TempDataFile file;
    CDataLayer layer;
    ASSERT_EQ(layer.Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
    CEntryImporter importer(layer);
    ASSERT_TRUE(importer.Open(WriteSample(QStringLiteral("vehicle.csv"),
                                          "\"## Vehicle\"\n"
                                          "\"Name\",\"Make\",\"Model\",\"Year\",\"Plate\"\n"
                                          "\"Golf\",\"Volkswagen\",\"Golf VII\",\"2016\",\"B-GO 123\"\n"
                                          "\"## Log\"\n"
                                          "\"Data\",\"Odo (km)\",\"Fuel (litres)\",\"Price (optional)\"\n"
                                          "\"2024-03-01\",\"12000\",\"40\",\"70\"\n")));
    ASSERT_EQ(importer.Import(nullptr), CEntryImporter::ResultOK);
    CObjectListT<CVehicle> vehicles;
    layer.Load(vehicles);
    ASSERT_EQ(vehicles.GetCount(), 1);
    const CVehicle* golf = vehicles.Get(0);
    EXPECT_EQ(QString::fromUtf16(golf->GetName()), QStringLiteral("Golf"));
    EXPECT_EQ(golf->GetYear(), 2016);
    EXPECT_EQ(QString::fromUtf16(golf->GetLicensePlate()), QStringLiteral("B-GO 123"));
    EXPECT_EQ(QString::fromUtf16(golf->GetNotes()), QStringLiteral("Volkswagen Golf VII"));
}
