// Files as users of other programs bring them, round two: their own units converted into the
// user's, more languages and Spritmonitor, dates with dashes, costs under a title line, fill types
// written as codes and a vehicle section's details. Every converted figure is worked out by hand.

#include "carvelle/exchange/ExchangeTestSupport.h"

#include "exchange/CImportMapping.h"

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
