// Files that other programs write, as their users bring them: each program's layout in a few rows
// written here, the languages their column names come in, a price that does not say what it is,
// files of several tables, and texts that must come back as they went out.

#include "carvelle/exchange/ExchangeTestSupport.h"

#include "exchange/CEntryExporter.h"
#include "exchange/CImportProfile.h"

#include <QBuffer>

namespace {

// Imports the sample into a file of its own; the rows as StoredRows gives them and the notes.
struct Outcome {
    CEntryImporter::Result result = CEntryImporter::ResultFailed;
    QStringList rows;
    QString notes;
    QStringList errors;
};

class ImportProfileTest : public ExchangeTest {
protected:
    Outcome ImportSample(const char* name, const QByteArray& text, const QString& vehicle = {}) {
        TempDataFile file;
        CDataLayer layer;
        EXPECT_EQ(layer.Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
        CEntryImporter importer(layer);
        Outcome outcome;
        if (!importer.Open(WriteSample(QString::fromLatin1(name), text))) {
            outcome.notes = ImportText(importer.OpenFailure());
            return outcome;
        }
        importer.targetVehicleName = vehicle;
        // The files' figures as they stand: their units are tried elsewhere.
        importer.fileDistance = AsFileUnit(importer.userDistance);
        importer.fileVolume = AsFileUnit(importer.userVolume);
        outcome.result = importer.Import(nullptr);
        outcome.rows = StoredRows(layer);
        outcome.notes = ImportNotes(importer).join(u'\n');
        outcome.errors = ImportErrorLines(importer);
        return outcome;
    }
};

} // namespace

TEST_F(ImportProfileTest, EachKnownExportIsReadAsItsProgramMeansIt) {
    struct Sample {
        const char* name;
        QByteArray text;
        const char* read; // what the notes say the file or a table was read as
        QStringList stored;
    };
    const Sample samples[] = {
        // Fuelly's price is per gallon: 10 gal at 3.5 is a fill-up of 35, not of 3.5.
        {"fuelly.csv",
         "car_name,model,odometer,miles,gallons,price,city_percentage,fuelup_date,date_added,tags,notes,"
         "missed_fuelup,partial_fuelup\n"
         "Civic,Honda Civic,12000,310.5,10,3.5,50,2014-03-14,2014-03-14,,,0,1\n",
         "Fuel log (Fuelly fuel-ups)",
         {"Civic|2014-03-14|1|12000|35|10|3.5|||Partial fill-up"}},
        // Its services after a spreadsheet: two-digit years, the price is what was paid.
        {"fuelly-services.csv",
         "car_name,service_date,odometer,price,service_type,sub_service_types,notes\n"
         "Civic,3/14/14,12000,89.5,Oil Change,\"Oil filter, Air filter\",synthetic\n",
         "Fuelly services",
         {"Civic|2014-03-14|2|12000|89.5|0|0||Oil Change, Oil filter, Air filter|synthetic"}},
        // Fuelio's backup: the vehicle's name, the log ("Full" 0 is a partial fill-up; "Price" is
        // the total), categories that have no place, and costs as other expenses.
        {"fuelio.csv",
         "\"## Vehicle\"\n"
         "\"Name\",\"Description\",\"DistUnit\",\"FuelUnit\"\n"
         "\"Golf\",\"\",\"0\",\"0\"\n"
         "\"## Log\"\n"
         "\"Data\",\"Odo (km)\",\"Fuel (litres)\",\"Full\",\"Price (optional)\",\"l/100km (optional)\","
         "\"City (optional)\",\"Notes (optional)\",\"Missed\",\"VolumePrice\"\n"
         "\"2024-03-01 08:15\",\"12000\",\"40\",\"0\",\"70\",\"0.0\",\"Berlin\",\"\",\"0\",\"1.75\"\n"
         "\"## CostCategories\"\n"
         "\"CostTypeID\",\"Name\",\"priority\",\"color\"\n"
         "\"1\",\"Service\",\"0\",\"-1\"\n"
         "\"## Costs\"\n"
         "\"CostTitle\",\"Date\",\"Odo\",\"CostTypeID\",\"Notes\",\"Cost\",\"flag\"\n"
         "\"Parking\",\"2024-03-10\",\"12300\",\"1\",\"\",\"4.5\",\"0\"\n",
         "\"## Log\": Fuel log (Fuelio fuel log)",
         {"Golf|2024-03-01|1|12000|70|40|1.75|Berlin||Partial fill-up",
          "Golf|2024-03-10|4|12300|4.5|0|0||Parking|"}},
        // Drivvo in German: semicolons, decimal commas, its price per unit, three tables.
        {"drivvo.csv",
         "##Refuelling\n"
         "Kilometerstand;Datum;Kraftstoff;Preis;Gesamtkosten;Menge;Tank voll?;Tankstelle;Notizen\n"
         "12000;14.03.2024 08:15;Super E10;1,75;70,00;40;Ja;Aral;\n"
         "##Expense\n"
         "Kilometerstand;Datum;Ausgabenart;Gesamtkosten;Ort;Notizen\n"
         "12300;20.03.2024;Parken;4,50;Berlin;\n"
         "##Service\n"
         "Kilometerstand;Datum;Serviceart;Gesamtkosten;Ort;Notizen\n"
         "12500;25.03.2024;\xC3\x96lwechsel;89,50;ATU;\n",
         "\"##Refuelling\": Fuel log (Drivvo refuelling)",
         {"Car|2024-03-14|1|12000|70|40|1.75|Aral||", "Car|2024-03-20|4|12300|4.5|0|0|Berlin|Parken|",
          "Car|2024-03-25|2|12500|89.5|0|0|ATU|\u00D6lwechsel|"}},
        // Road Trip: a title line with its delimiter and decimal mark, tables under capitals.
        {"roadtrip.csv",
         "ROAD TRIP CSV \",.\"\n"
         "\n"
         "FUEL RECORDS\n"
         "Odometer (mi),Trip Distance,Date,Fill Amount,Fill Units,Price per Unit,Total Price,Partial "
         "Fill,MPG,"
         "Note,Octane,Location\n"
         "12000,310,2014-3-14,10,Gal,3.5,35,,31,\"windy, cold\",87,Shell\n"
         "\n"
         "MAINTENANCE RECORDS\n"
         "Description,Date,Odometer (mi),Cost,Repeat Odometer,Repeat Months,Note,Location\n"
         "Oil change,2014-4-1,12500,39.5,5000,6,,Jiffy Lube\n"
         "\n"
         "ROAD TRIPS\n"
         "Name,Start Date,Start Odometer (mi),End Date,End Odometer,Note\n"
         "Vacation,2014-5-1,13000,2014-5-10,14000,\n"
         "\n"
         "VEHICLE\n"
         "Name,Odometer,Units\n"
         "My Civic,14000,mi\n",
         "\"ROAD TRIPS\" was skipped",
         {"My Civic|2014-03-14|1|12000|35|10|3.5|Shell||windy, cold",
          "My Civic|2014-04-01|2|12500|39.5|0|0|Jiffy Lube|Oil change|"}},
        // My Fuel Manager: a title line, then semicolons.
        {"mfm.csv",
         "My Fuel Manager - Fuel\n"
         "Date;Fillup volume;Odometer;Total price;Currency;Note;Vehicle name\n"
         "14.03.2024;40,5;12000;60,75;EUR;;Golf GTI\n",
         "Fuel log (My Fuel Manager)",
         {"Golf GTI|2024-03-14|1|12000|60.75|40.5|1.5|||"}},
        // Car Report's price is the total.
        {"carreport.csv",
         "date,mileage,volume,price,partial,note,fuel_type,station,car\n"
         "2024-03-14,12000,40,70,0,,Super,Aral,Golf\n",
         "\"price\" is read as the total paid",
         {"Golf|2024-03-14|1|12000|70|40|1.75|Aral||"}},
        // aCar: the time in a column of its own, month first, a 12-hour clock.
        {"acar.csv",
         "Date,Time,Odometer Reading,Volume,Price per Unit,Total Cost,Partial Fill-Up?,"
         "Previous Missed Fill-Ups?,Fuel Brand,Fueling Station,Notes,Vehicle\n"
         "03/14/2024,11:40 PM,12000,10,3.5,35,No,Yes,Shell,Shell Main St,,Civic\n",
         "Fuel log (aCar fill-ups)",
         {"Civic|2024-03-14|1|12000|35|10|3.5|Shell Main St||Missed fill-up before this one"}},
        // Self-hosted trackers: "Filled" says the tank was filled up.
        {"tracker-fuel.csv",
         "Date,Odometer,FuelAmount,Cost,Filled,MissedLast,Notes\n"
         "2024-03-14,12000,40,70,False,False,cold\n",
         "Self-hosted tracker fuel log",
         {"Car|2024-03-14|1|12000|70|40|1.75|||Partial fill-up\ncold"}},
        {"tracker-services.csv",
         "Date,Odometer,Description,Cost,Notes,Tags\n2024-03-14,12000,Brake pads,120.5,,brakes\n",
         "Self-hosted tracker service log",
         {"Car|2024-03-14|2|12000|120.5|0|0||Brake pads|"}},
        // A log of another program whose "Type" says what kind of service it was: not our types.
        {"typed-services.csv",
         "Date,Odometer,Type,Cost\n2024-03-14,12000,Oil change,45.5\n",
         "Service or expense log, imported as repairs",
         {"Car|2024-03-14|2|12000|45.5|0|0||Oil change|"}},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const Outcome outcome = ImportSample(sample.name, sample.text, QStringLiteral("Car"));
        ASSERT_EQ(outcome.result, CEntryImporter::ResultOK) << outcome.notes.toStdString() << "\n"
                                                            << outcome.errors.join(u'\n').toStdString();
        EXPECT_EQ(outcome.rows, sample.stored) << outcome.rows.join(u'\n').toStdString();
        EXPECT_TRUE(outcome.notes.contains(QString::fromUtf8(sample.read))) << outcome.notes.toStdString();
    }
}

TEST_F(ImportProfileTest, ColumnNamesAreReadInTheLanguagesTheProgramsWrite) {
    using F = CImportMapping;
    // Date, odometer, volume, price, total, notes, vendor, as Drivvo writes them in each language.
    const char* headers[] = {
        "Date|Odometer|Volume|Price|Total cost|Notes|Gas station",
        "Datum|Kilometerstand|Menge|Preis|Gesamtkosten|Notizen|Tankstelle",
        "Date|Kilom\xC3\xA9trage|Volume|Prix|Co\xC3\xBBt total|Remarques|Station-service",
        "Fecha|Od\xC3\xB3metro|Cantidad|Precio|Costo total|Notas|Gasolinera",
        "Data|Chilometraggio|Quantit\xC3\xA0|Prezzo|Costo totale|Note|Distributore",
        "Data|Od\xC3\xB4metro|Quantidade|Pre\xC3\xA7o|Custo total|Observa\xC3\xA7\xC3\xB5\x65s|Posto",
        "Data|Przebieg|Ilo\xC5\x9B\xC4\x87|Cena|Koszt ca\xC5\x82kowity|Notatki|Stacja",
        "\xD0\x94\xD0\xB0\xD1\x82\xD0\xB0|\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD0\xB5\xD0\xB3|"
        "\xD0\x9A\xD0\xBE\xD0\xBB\xD0\xB8\xD1\x87\xD0\xB5\xD1\x81\xD1\x82\xD0\xB2\xD0\xBE|"
        "\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0|"
        "\xD0\x9E\xD0\xB1\xD1\x89\xD0\xB0\xD1\x8F "
        "\xD1\x81\xD1\x82\xD0\xBE\xD0\xB8\xD0\xBC\xD0\xBE\xD1\x81\xD1\x82\xD1\x8C|"
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x87\xD0\xB0\xD0\xBD\xD0\xB8\xD1\x8F|"
        "\xD0\x90\xD0\x97\xD0\xA1",
    };
    const F::Field expected[] = {F::FieldDate,   F::FieldOdometer, F::FieldQuantity, F::FieldUnitPrice,
                                 F::FieldAmount, F::FieldNotes,    F::FieldVendor};
    for (const char* header : headers) {
        const QStringList names = QString::fromUtf8(header).split(u'|');
        SCOPED_TRACE(names.join(u',').toStdString());
        // Under Drivvo's marker its price is per unit; by the names alone, a price beside a total is too.
        for (const QString& marker : {QStringLiteral("##Refuelling"), QString()}) {
            const F mapping = F::Recognise(names, marker);
            for (int column = 0; column < names.size(); ++column)
                EXPECT_EQ(mapping.FieldOf(column), expected[column]) << names[column].toStdString();
            EXPECT_EQ(mapping.GetKind(), F::KindFuelLog);
        }
        EXPECT_EQ(F::Recognise(names, QStringLiteral("##Refuelling")).Profile()->Name(),
                  QStringLiteral("Drivvo refuelling"));
    }
}

TEST_F(ImportProfileTest, ATyreSectionIsSkippedButNotAVehicleSectionWhoseWordHoldsTheTyreWord) {
    // Russian "Машины" (vehicles) holds "шин" (tyres); "Шины" and "Замена шин" are tyres.
    auto hint = [](const QString& marker) {
        return CImportProfile::HintOf(CImportMapping::NormaliseHeader(marker));
    };
    EXPECT_EQ(hint(QStringLiteral("## \u041C\u0430\u0448\u0438\u043D\u044B")), CImportProfile::HintVehicles);
    EXPECT_EQ(hint(QStringLiteral("## \u0428\u0438\u043D\u044B")), CImportProfile::HintSkip);
    EXPECT_EQ(hint(QStringLiteral("## \u0417\u0430\u043C\u0435\u043D\u0430 \u0448\u0438\u043D")),
              CImportProfile::HintSkip);
    EXPECT_EQ(hint(QStringLiteral("## Vehicle reminders")), CImportProfile::HintSkip);
}

TEST_F(ImportProfileTest, ALonePriceIsReadByItsRowsUnlessTheProgramOrTheUserSays) {
    // The same fill-ups with a price per gallon, then with what was paid.
    const QByteArray perUnit = "Date,Odometer,Gallons,Price\n"
                               "2024-03-01,12000,10,3.5\n2024-03-08,12300,8,3.25\n2024-03-15,12600,12,3.75\n";
    const QByteArray paid = "Date,Odometer,Gallons,Price\n"
                            "2024-03-01,12000,10,35\n2024-03-08,12300,8,26\n2024-03-15,12600,12,45\n";
    Outcome unit = ImportSample("unit.csv", perUnit, QStringLiteral("Car"));
    EXPECT_EQ(unit.rows.value(0), QStringLiteral("Car|2024-03-01|1|12000|35|10|3.5|||"));
    EXPECT_TRUE(
        unit.notes.contains(QLatin1String("\"Price\" is read as the price per unit: it varies little")))
        << unit.notes.toStdString();
    Outcome total = ImportSample("total.csv", paid, QStringLiteral("Car"));
    EXPECT_EQ(total.rows.value(0), QStringLiteral("Car|2024-03-01|1|12000|35|10|3.5|||"));
    EXPECT_TRUE(total.notes.contains(QLatin1String("\"Price\" is read as the total paid: it varies with")))
        << total.notes.toStdString();

    // A known program's meaning stands whatever the figures look like, and the user has the last word.
    CEntryImporter fuelly(m_Layer);
    ASSERT_TRUE(
        fuelly.Open(WriteSample(QStringLiteral("fuelly.csv"),
                                "fuelup_date,odometer,gallons,price\n"
                                "2024-03-01,12000,10,35\n2024-03-08,12300,8,26\n2024-03-15,12600,12,45\n")));
    CImportMapping& mapping = fuelly.Mapping();
    EXPECT_EQ(mapping.GetPriceReading(), CImportMapping::PriceUnit);
    EXPECT_EQ(mapping.GetPriceReason(), CImportMapping::ReasonProfile);
    mapping.SetPriceReading(CImportMapping::PriceTotal, CImportMapping::ReasonUser);
    EXPECT_EQ(fuelly.Preview(1).at(0).row.amount, 35.0f);
    EXPECT_TRUE(
        ImportNotes(fuelly).join(u'\n').contains(QLatin1String("read as the total paid: as you chose")));
}

TEST_F(ImportProfileTest, TwoDigitYearsAreTheYearNearestToday) {
    const int now = QDate::currentDate().year();
    auto year = [](const QString& text, CImportMapping::DateFormat format) {
        const auto when = CImportMapping::ParseDate(text, format, nullptr);
        return when ? when->date.year() : 0;
    };
    const QString ahead = QString::number((now + 49) % 100).rightJustified(2, u'0');
    const QString halfway = QString::number((now + 50) % 100).rightJustified(2, u'0');
    EXPECT_EQ(year(QStringLiteral("3/14/") + ahead, CImportMapping::DateMonthDayYear), now + 49);
    // Fifty years either way: the past one.
    EXPECT_EQ(year(QStringLiteral("14/3/") + halfway, CImportMapping::DateDayMonthYear), now - 50);
    EXPECT_EQ(year(QStringLiteral("14.03.") + halfway, CImportMapping::DateDayMonthYearDots), now - 50);
    EXPECT_EQ(year(QStringLiteral("3/14/2014"), CImportMapping::DateMonthDayYear), 2014);
    EXPECT_EQ(*CImportMapping::DateFormatFromName(QStringLiteral("d/M/yy")),
              CImportMapping::DateDayMonthYear);
}

TEST_F(ImportProfileTest, TablesThatCannotBeReadSayWhereAndWhy) {
    // A header again where two exports were joined, a table in other delimiters, a section with
    // nothing under it, a value too long to quote whole.
    const QString joined = WriteSample(QStringLiteral("joined.csv"), "## Log\n"
                                                                     "Date,Odometer,Litres,Total\n"
                                                                     "2024-03-01,12000,40,60\n"
                                                                     "Date,Odometer,Litres,Total\n"
                                                                     "2024-03-08,12300," +
                                                                         QByteArray(200, '9') +
                                                                         ",61\n"
                                                                         "## Reminders\n"
                                                                         "## Costs\n"
                                                                         "Date;Odometer;Title;Cost\n"
                                                                         "2024-03-02;12100;Parking;4\n");
    CEntryImporter importer(m_Layer);
    ASSERT_EQ(Import(importer, joined, QStringLiteral("Car")), CEntryImporter::ResultRefused);
    const QStringList lines = ImportErrorLines(importer);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("Line 4: the header line again")))
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("Line 5: Quantity (column \"Litres\") ") + QString(79, u'9') +
                            QStringLiteral("\u2026 is too large"));
    EXPECT_EQ(lines[2],
              QStringLiteral("Line 8: this table's columns are separated by semicolons, the rest of the "
                             "file's by commas, so its rows were not read; save it as a file of its own "
                             "and import that"));
    EXPECT_TRUE(ImportNotes(importer).contains(QStringLiteral("Line 6: \"## Reminders\" has no rows.")))
        << ImportNotes(importer).join(u'\n').toStdString();
    EXPECT_EQ(EntryCount(), 0);

    // A file of title lines and markers only has no table to import.
    CEntryImporter none(m_Layer);
    EXPECT_FALSE(none.Open(WriteSample(QStringLiteral("none.csv"), "My Export\n## Log\n## Costs\n")));
    EXPECT_TRUE(
        ImportText(none.OpenFailure()).contains(QLatin1String("holds no table that Carvelle can import")))
        << ImportText(none.OpenFailure()).toStdString();
}

TEST_F(ImportProfileTest, AwkwardTextsComeBackFieldForField) {
    // Two vehicles whose names differ only in case, one without entries, spaces and no-break
    // spaces around texts, and notes longer than a megabyte.
    const ULONG upper = AddVehicle(u"GOLF");
    const ULONG lower = AddVehicle(u"Golf");
    CVehicle spare;
    spare.SetRefID(++m_LastRefID);
    spare.SetName(u" Spare\u00A0");
    spare.SetCurrentOdometer(777);
    ASSERT_EQ(m_Layer.Save(&spare, 0), 1);
    const std::u16string longNotes(3 << 19, u'n');
    auto add = [&](ULONG vehicle, const char16_t* vendor, const char16_t* name, const char16_t* notes) {
        CEntry entry;
        entry.SetRefID(++m_LastRefID);
        entry.SetVehicleID(vehicle);
        entry.SetType(CEntry::EntryRepair);
        entry.SetDate(45000.5);
        entry.SetOdometer(1000);
        entry.SetAmount(12.5f);
        entry.SetVendor(vendor);
        entry.SetName(name);
        entry.SetNotes(notes);
        ASSERT_EQ(m_Layer.Save(&entry, 0), 1);
    };
    add(upper, u" Shell\u00A0", u"\u00A0Oil  change ", longNotes.c_str());
    add(lower, u"\tGarage", u"Brakes ", u" ");

    QBuffer exported;
    exported.open(QIODevice::WriteOnly);
    CEntryFilter all;
    ASSERT_TRUE(CEntryExporter(m_Layer).Write(all, exported));
    TempDataFile empty;
    CDataLayer other;
    ASSERT_EQ(other.Connect(empty.WidePath().c_str()), CDataLayer::ConnectOK);
    CEntryImporter importer(other);
    ASSERT_EQ(Import(importer, WriteSample(QStringLiteral("export.csv"), exported.data())),
              CEntryImporter::ResultOK)
        << ImportErrorLines(importer).join(u'\n').toStdString();
    auto shown = [](const QStringList& rows) {
        QString text;
        for (const QString& row : rows)
            text += row.left(60) + QStringLiteral(" (%1)\n").arg(row.size());
        return text.toStdString();
    };
    EXPECT_EQ(StoredRows(other), StoredRows(m_Layer))
        << shown(StoredRows(other)) << shown(StoredRows(m_Layer));
    auto vehicles = [](CDataLayer& layer) {
        CObjectListT<CVehicle> list;
        layer.Load(list);
        QStringList names;
        for (int i = 0; i < list.GetCount(); ++i)
            names << QString::fromUtf16(list.Get(i)->GetName()) + u'|' +
                         QString::number(list.Get(i)->GetCurrentOdometer());
        names.sort();
        return names;
    };
    EXPECT_EQ(vehicles(other), (QStringList{QStringLiteral(" Spare\u00A0|777"), QStringLiteral("GOLF|1000"),
                                            QStringLiteral("Golf|1000")}));
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    ASSERT_TRUE(CEntryExporter(other).Write(all, again));
    EXPECT_EQ(again.data(), exported.data()) << again.data().left(400).toStdString();
}
