// Import, export, backup and another data file, driven from the frame's menu as the user does.

#include "carvelle/support/LocalDayFixtures.h"
#include "carvelle/support/ViewsTestSupport.h"

#include "app/CMainFrame.h"
#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "exchange/CDataFileBackup.h"
#include "exchange/CImportMapping.h"
#include "records/CEntryFilter.h"
#include "views/CEntryListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/SharedFonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>

namespace {

class DlgImportTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_Vehicle = StoreVehicle(u"Corolla", 2004);
        m_Frame.VehicleView()->Initialize();
        m_Frame.EntryView()->Initialize();
        m_Frame.SetActiveVehicle(m_Frame.VehicleView()->FindByRefID(m_Vehicle), false);
    }

    QString Sample(const char* name, const QByteArray& text) {
        const QString path = QString::fromStdString(m_File.Folder()) + u'/' + QString::fromLatin1(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    ScopedTimeZone m_Zone{kNewYork};
    CMainFrame m_Frame;
    ULONG m_Vehicle = 0;
};

} // namespace

TEST_F(DlgImportTest, ThePreviewFollowsTheChosenDateFormatAndTheSummaryEndsIt) {
    m_Prompter.AnswerFile(Sample("fuel.csv", "Date;Odometer;Litres;Cost;Station\n"
                                             "03/04/2024;5000;40,5;60,75;Esso\n"
                                             "10/04/2024;5400;41;61,50;BP\n"));
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("note"));
        auto* preview = dialog.findChild<QTableWidget*>(QStringLiteral("preview"));
        auto* format = dialog.findChild<QComboBox*>(QStringLiteral("dateFormat"));
        auto* decimal = dialog.findChild<QComboBox*>(QStringLiteral("decimal"));
        auto* vehicle = dialog.findChild<QComboBox*>(QStringLiteral("vehicle"));
        ASSERT_TRUE(note && preview && format && decimal && vehicle);
        EXPECT_TRUE(note->text().contains(QLatin1String("month/day or day/month")))
            << note->text().toStdString();
        EXPECT_EQ(decimal->currentIndex(), 1); // the decimal comma was seen
        EXPECT_EQ(vehicle->currentText(), QStringLiteral("Corolla"));
        ASSERT_EQ(preview->rowCount(), 2);
        format->setCurrentText(QStringLiteral("d/M/yyyy"));
        const QString third = QLocale().toString(QDate(2024, 4, 3), QLocale::ShortFormat);
        EXPECT_EQ(preview->item(0, 1)->text(), third);
        EXPECT_EQ(preview->item(0, 6)->text(), QLocale().toString(60.75, 'g', 7));
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    const auto messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QLatin1String("Rows read: 2\nImported: 2\n")))
        << messages[0].text.toStdString();
    EXPECT_EQ(StoredEntries(m_Vehicle), 2);
    EXPECT_EQ(m_Frame.EntryView()->List()->GetRowCount(), 2);
}

TEST_F(DlgImportTest, ErrorsAreListedAndTheGoodRowsImportedWhenAskedFor) {
    m_Prompter.AnswerFile(Sample("service.csv", "date,description,cost,odometer\n"
                                                "2024-03-05,Oil change,45,5000\n"
                                                "2024-03-06,Wipers,twelve,5100\n"));
    m_Prompter.AnswerModal([this](QDialog& dialog) {
        auto* errors = dialog.findChild<QPlainTextEdit*>(QStringLiteral("errors"));
        auto* goodRows = dialog.findChild<QCheckBox*>(QStringLiteral("goodRowsOnly"));
        ASSERT_TRUE(errors && goodRows);
        CScriptedPrompter::Press(dialog, ID_DONE);
        ASSERT_TRUE(dialog.isVisible());
        EXPECT_TRUE(errors->isVisible());
        EXPECT_EQ(errors->toPlainText(),
                  QStringLiteral("Line 3: Amount (column \"cost\") \"twelve\" is not a number"));
        EXPECT_EQ(StoredEntries(m_Vehicle), 0);
        ASSERT_TRUE(goodRows->isVisible());
        goodRows->setChecked(true);
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.contains(
        QLatin1String("Imported: 1\nSkipped as duplicates: 0\nRefused: 1")));
    EXPECT_EQ(StoredEntries(m_Vehicle), 1);
}

TEST_F(DlgImportTest, ATableOfASectionedFileIsChosenAndItsColumnCorrected) {
    TheSettings().UnitDistance = DistanceKilometres; // as "Km" says
    m_Prompter.AnswerFile(Sample("backup.csv", "## Vehicle\n"
                                               "Name,Make\n"
                                               "Polo,VW\n"
                                               "## Log\n"
                                               "Date,Km,Litres,Paid,Station\n"
                                               "2024-03-05,5000,40,70,Aral\n"
                                               "## Costs\n"
                                               "Date,Odometer,Title,Cost\n"
                                               "2024-03-06,5100,Parking,4.5\n"));
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto* table = dialog.findChild<QComboBox*>(QStringLiteral("table"));
        auto* preview = dialog.findChild<QTableWidget*>(QStringLiteral("preview"));
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("note"));
        auto* vehicle = dialog.findChild<QComboBox*>(QStringLiteral("vehicle"));
        ASSERT_TRUE(table && preview && note && vehicle);
        // Three tables; the log has no odometer that its names tell, so the costs are shown first.
        ASSERT_EQ(table->count(), 3);
        EXPECT_EQ(table->currentIndex(), 2);
        EXPECT_EQ(vehicle->currentText(), QStringLiteral("The vehicles named in the file"));
        EXPECT_TRUE(
            note->text().contains(QLatin1String("Line 4, \"## Log\": no column was taken as the odometer")))
            << note->text().toStdString();
        EXPECT_TRUE(note->text().contains(QLatin1String("Columns not used: Km")))
            << note->text().toStdString();

        table->setCurrentIndex(1);
        EXPECT_EQ(preview->rowCount(), 0);
        // "Km" is the odometer, "Paid" the total.
        for (const auto& [column, field] :
             {std::pair{1, CImportMapping::FieldOdometer}, std::pair{3, CImportMapping::FieldAmount}}) {
            auto* list = dialog.findChild<QComboBox*>(QStringLiteral("column%1").arg(column));
            ASSERT_TRUE(list);
            list->setCurrentIndex(field + 1);
            emit list->activated(list->currentIndex());
        }
        ASSERT_EQ(preview->rowCount(), 1);
        ASSERT_TRUE(preview->item(0, 3) && preview->item(0, 6));
        EXPECT_EQ(preview->item(0, 3)->text(), QLocale().toString(5000));
        EXPECT_EQ(preview->item(0, 6)->text(), QLocale().toString(70));
        EXPECT_FALSE(note->text().contains(QLatin1String("Columns not used")));
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.startsWith(QLatin1String("Rows read: 2\nImported: 2\n")))
        << m_Prompter.Messages()[0].text.toStdString();
    EXPECT_EQ(StoredVehicles(), 2);
    EXPECT_EQ(StoredEntries(0), 2);
}

TEST_F(DlgImportTest, ColumnsChosenByTheUserTellTheDatesAndNumbersAnew) {
    m_Prompter.AnswerFile(Sample("log.csv", "Tag;Kilometer;Getankt;Preis\n"
                                            "05.03.2024;5000;40,5;1,799\n"
                                            "19.03.2024;5620;25,0;1,759\n"
                                            "02.04.2024;6240;55,5;1,770\n"));
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto* format = dialog.findChild<QComboBox*>(QStringLiteral("dateFormat"));
        auto* decimal = dialog.findChild<QComboBox*>(QStringLiteral("decimal"));
        auto* price = dialog.findChild<QComboBox*>(QStringLiteral("price"));
        ASSERT_TRUE(format && decimal && price);
        EXPECT_EQ(format->currentText(), QStringLiteral("yyyy-MM-dd")); // nothing to tell it yet
        for (const auto& [column, field] :
             {std::pair{0, CImportMapping::FieldDate}, std::pair{1, CImportMapping::FieldOdometer},
              std::pair{2, CImportMapping::FieldQuantity}}) {
            auto* list = dialog.findChild<QComboBox*>(QStringLiteral("column%1").arg(column));
            ASSERT_TRUE(list);
            list->setCurrentIndex(field + 1);
            emit list->activated(list->currentIndex());
        }
        EXPECT_EQ(format->currentText(), QStringLiteral("dd.MM.yyyy"));
        EXPECT_EQ(decimal->currentIndex(), 1);
        EXPECT_FALSE(price->isHidden());
        EXPECT_EQ(price->currentIndex(), 0); // steady from row to row: per litre
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.contains(QLatin1String("Imported: 3\n")))
        << m_Prompter.Messages()[0].text.toStdString();
    EXPECT_EQ(StoredEntries(m_Vehicle), 3);
}

TEST_F(DlgImportTest, AnotherDelimiterShowsTheDatesAndNumbersItTells) {
    m_Prompter.AnswerFile(Sample("log.csv", "Date;Odometer;Litres;Cost\n"
                                            "05.03.2024;5000;40,5;60,75\n"
                                            "19.03.2024;5620;25,0;41,25\n"));
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto* format = dialog.findChild<QComboBox*>(QStringLiteral("dateFormat"));
        auto* decimal = dialog.findChild<QComboBox*>(QStringLiteral("decimal"));
        auto* delimiter = dialog.findChild<QComboBox*>(QStringLiteral("delimiter"));
        ASSERT_TRUE(format && decimal && delimiter);
        // Choices made for one delimiter give way to what the file read with the next one tells.
        format->setCurrentText(QStringLiteral("M/d/yyyy"));
        decimal->setCurrentIndex(0);
        delimiter->setCurrentIndex(0);
        delimiter->setCurrentIndex(1);
        EXPECT_EQ(format->currentText(), QStringLiteral("dd.MM.yyyy"));
        EXPECT_EQ(decimal->currentIndex(), 1);
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.contains(QLatin1String("Imported: 2\n")))
        << m_Prompter.Messages()[0].text.toStdString();
    EXPECT_EQ(StoredEntries(m_Vehicle), 2);
}

TEST_F(DlgImportTest, AVehicleChosenByNameIsTheOneOfThatExactCase) {
    const ULONG upper = StoreVehicle(u"GOLF", 2010);
    const ULONG lower = StoreVehicle(u"Golf", 2012);
    const QString path = Sample("log.csv", "Date,Odometer,Cost\n2024-03-05,5000,60\n");
    for (const char* name : {"GOLF", "Golf"}) {
        m_Prompter.AnswerFile(path);
        m_Prompter.AnswerModal([name](QDialog& dialog) {
            auto* vehicle = dialog.findChild<QComboBox*>(QStringLiteral("vehicle"));
            ASSERT_TRUE(vehicle);
            vehicle->setCurrentText(QString::fromLatin1(name));
            CScriptedPrompter::Press(dialog, ID_DONE);
        });
        ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    }
    EXPECT_EQ(StoredEntries(upper), 1);
    EXPECT_EQ(StoredEntries(lower), 1);
    EXPECT_EQ(StoredVehicles(), 3);
}

TEST_F(DlgImportTest, ExportBackUpAndOpenTheCopyFromTheMenu) {
    StoreEntry(m_Vehicle, u"Brakes");
    const QString csv = QString::fromStdString(m_File.Folder()) + QStringLiteral("/out.csv");
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto* inView = dialog.findChild<QRadioButton*>(QStringLiteral("inView"));
        ASSERT_TRUE(inView);
        EXPECT_TRUE(inView->isChecked());
        EXPECT_EQ(inView->text(), QStringLiteral("The entries in view (Corolla, All Entries, All Dates)"));
        // A file for a spreadsheet runs none of its texts, unless the user unticks it.
        auto* safe = dialog.findChild<QCheckBox*>(QStringLiteral("spreadsheetSafe"));
        ASSERT_TRUE(safe);
        EXPECT_TRUE(safe->isChecked());
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    m_Prompter.AnswerFile(csv);
    ASSERT_TRUE(m_Frame.OnCommand(ID_EXPORT));
    EXPECT_EQ(m_Prompter.Messages().back().text, QStringLiteral("Entries exported: 1\nFile: ") + csv);
    QFile exported(csv);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().contains(",Repair,0,,,0,,Brakes,"));

    const QString dataFile = QString::fromStdString(m_File.Path());
    const QString copy = QString::fromStdString(m_File.Folder()) + QStringLiteral("/copy.dat");
    m_Prompter.AnswerFile(copy);
    ASSERT_TRUE(m_Frame.OnCommand(ID_BACKUP));
    const auto backedUp = m_Prompter.History().back();
    EXPECT_EQ(backedUp.text, QStringLiteral("The data file has been backed up to ") + copy + u'.');
    EXPECT_EQ(m_Prompter.History()[m_Prompter.History().size() - 2].initialPath,
              CDataFileBackup::SuggestedPath(dataFile, QDate::currentDate()));

    // The copy opens in place of the file, with the same vehicle active; a file that is no data
    // file leaves the open one as it was.
    m_Prompter.AnswerFile(csv);
    ASSERT_TRUE(m_Frame.OnCommand(ID_OPEN_DATA_FILE));
    EXPECT_EQ(QString::fromStdU16String(TheDataLayer().GetDBPath()), dataFile);
    m_Prompter.AnswerFile(copy);
    ASSERT_TRUE(m_Frame.OnCommand(ID_OPEN_DATA_FILE));
    EXPECT_EQ(QString::fromStdU16String(TheDataLayer().GetDBPath()), copy);
    EXPECT_EQ(QString::fromStdU16String(TheSettings().DBPath), copy);
    EXPECT_EQ(TheSession().ActiveVehicle(), m_Vehicle);
    EXPECT_EQ(m_Frame.EntryView()->List()->GetRowCount(), 1);
}

TEST_F(DlgImportTest, TheFilesUnitsAndAFlagsCodesAreChosenOnASmallScreenWithLargeText) {
    TheSettings().UnitDistance = DistanceKilometres;
    TheSettings().UnitVolume = VolumeLitres;
    // Text half as large again, as a user with poor sight sets it.
    const QFont font = QApplication::font();
    QFont large = font;
    large.setPointSizeF(font.pointSizeF() * 1.5);
    QApplication::setFont(large);
    CreateSharedFonts();
    m_Prompter.AnswerFile(Sample("gallons.csv",
                                 "Date,Odometer (mi),Gallons,Total,Partial,Station,Notes,Octane\n"
                                 "2024-03-14,1000,10,35,F,Shell,,87\n"
                                 "2024-03-28,1300,5,17.5,P,Shell,,87\n"
                                 "2024-04-05,1500,4,14,T,Shell,,87\n"));
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("note"));
        auto* distance = dialog.findChild<QComboBox*>(QStringLiteral("fileDistance"));
        auto* flag = dialog.findChild<QListWidget*>(QStringLiteral("flagValues"));
        auto* columns = dialog.findChild<QWidget*>(QStringLiteral("columns"));
        auto* preview = dialog.findChild<QTableWidget*>(QStringLiteral("preview"));
        ASSERT_TRUE(note && distance && flag && columns && preview);
        // Everything fits an 800 x 600 screen with room for the window's frame; six columns and
        // five rows show at least.
        EXPECT_LE(dialog.minimumSizeHint().width(), 780);
        EXPECT_LE(dialog.minimumSizeHint().height(), 560);
        const int comboHeight = columns->findChild<QComboBox*>()->sizeHint().height();
        EXPECT_GE(columns->minimumHeight(), 3 * comboHeight);
        EXPECT_GE(preview->minimumHeight(), 6 * preview->verticalHeader()->defaultSectionSize());

        EXPECT_TRUE(note->text().contains(QLatin1String("Distances in miles, converted to km.")))
            << note->text().toStdString();
        EXPECT_EQ(distance->currentText(), QStringLiteral("miles"));
        // The owner says the odometer was in km after all, and P and T mark partial fill-ups.
        distance->setCurrentIndex(0);
        emit distance->activated(0);
        EXPECT_TRUE(note->text().contains(QLatin1String("Distances in km, as in Options.")));
        ASSERT_TRUE(flag->isVisible());
        ASSERT_EQ(flag->count(), 4); // yes/no, then F, P and T
        EXPECT_EQ(flag->item(0)->checkState(), Qt::Checked);
        for (const char* code : {"P", "T"}) {
            const auto found = flag->findItems(QLatin1String(code), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            found.front()->setCheckState(Qt::Checked);
        }
        EXPECT_EQ(flag->item(0)->checkState(), Qt::Unchecked);
        EXPECT_TRUE(
            note->text().contains(QLatin1String("\"Partial\" means a partial fill-up when it is: P, T.")))
            << note->text().toStdString();
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    ASSERT_TRUE(m_Frame.OnCommand(ID_IMPORT));
    QApplication::setFont(font);
    CreateSharedFonts();
    CObjectListT<CEntry> entries;
    CEntryFilter all;
    TheDataLayer().Load(entries, all);
    ASSERT_EQ(entries.GetCount(), 3);
    QStringList rows;
    for (int i = 0; i < entries.GetCount(); ++i) {
        DWORD flags = 0;
        TheDataLayer().GetFillFlags(entries.Get(i), &flags);
        rows << QStringLiteral("%1 %2 %3 %4")
                    .arg(entries.Get(i)->GetOdometer())
                    .arg(entries.Get(i)->GetCustom1())
                    .arg(entries.Get(i)->GetCustom2())
                    .arg(flags);
    }
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"1000 37.854 0.925 0", "1300 18.927 0.925 1", "1500 15.142 0.925 1"}));
}
