// The editing sheet as the user drives it from the frame: new records of every kind, the fuel
// page's Calc, the trip's odometers and price, and what Done, Cancel and a failing save store.

#include "app/CMainFrame.h"
#include "carvelle/support/CCarvelleTest.h"
#include "carvelle/support/LocalDayFixtures.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "editing/RecordEditing.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"
#include "records/CVehicle.h"
#include "support/CDataLayerTestPeer.h"
#include "support/TempDataFile.h"
#include "views/CEntryListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CCustomPropertySheet.h"
#include "widgets/CDatePicker.h"
#include "widgets/CMenuResource.h"
#include "widgets/CWinDataExchangeLocale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace {

// A control of the sheet's page with the given template, by its name.
template <class W> W* Field(QDialog& sheet, int page, const char* name) {
    auto* widget = sheet.findChild<QWidget*>(QStringLiteral("page%1").arg(page));
    W* field = widget ? widget->findChild<W*>(QLatin1String(name)) : nullptr;
    EXPECT_NE(field, nullptr) << "page " << page << " control " << name;
    return field;
}

void Type(QLineEdit* field, const char* text) {
    field->selectAll();
    QTest::keyClicks(field, QString::fromUtf8(text));
}

void NextTab(QDialog& sheet) {
    QTest::keyClick(sheet.focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
}

QWidget* SoftKey(QDialog& dialog, int index) {
    return dialog.findChild<QWidget*>(QStringLiteral("softkey%1").arg(index));
}

double OleDay(int year, int month, int day) {
    return LocalToOleDate(QDateTime(QDate(year, month, day), QTime(12, 0)));
}

} // namespace

class EditingSheetTest : public CCarvelleTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TheDataLayer().Connect(m_Data.WidePath().c_str()), CDataLayer::ConnectOK);
        CVehicle vehicle;
        vehicle.SetName(u"Wagon");
        vehicle.SetCurrentOdometer(12345);
        ASSERT_EQ(TheDataLayer().Save(&vehicle, 0), 1);
        m_Vehicle = vehicle.GetRefID();
        m_Frame.VehicleView()->Initialize();
        m_Frame.EntryView()->Initialize();
        m_Frame.SetActiveVehicle(m_Frame.VehicleView()->FindByRefID(m_Vehicle), true);
    }
    void TearDown() override { TheDataLayer().Disconnect(); }

    void Command(int id) { ASSERT_TRUE(m_Frame.OnCommand(id)); }

    std::vector<std::unique_ptr<CEntry>> Stored() {
        CObjectListT<CEntry> list;
        CEntryFilter filter;
        filter.SetVehicleID(m_Vehicle);
        EXPECT_TRUE(TheDataLayer().Load(list, filter));
        std::vector<std::unique_ptr<CEntry>> entries;
        for (int i = 0; i < list.GetCount(); ++i) {
            auto copy = std::make_unique<CEntry>();
            CEntry* entry = list.Get(i);
            copy->SetID(entry->GetID());
            EXPECT_TRUE(TheDataLayer().Load(copy.get()));
            entries.push_back(std::move(copy));
        }
        return entries;
    }

    ScopedLocale m_Locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    TempDataFile m_Data;
    CMainFrame m_Frame;
    ULONG m_Vehicle = 0;
};

TEST_F(EditingSheetTest, NewVehicleAndEachEntryTypeFromTheNewMenuLandInTheFile) {
    m_Prompter.AnswerModal([](QDialog& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Vehicle Properties"));
        auto* name = Field<QLineEdit>(sheet, IDD_VEHICLE_DETAILS, "vehicleName");
        EXPECT_EQ(sheet.focusWidget(), name);
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_VEHICLE_DETAILS, "year")->text(), QStringLiteral("2002"));
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_VEHICLE_DETAILS, "odometer")->text(), QStringLiteral("20000"));
        // Without a name the sheet stays open.
        QTest::keyClick(name, Qt::Key_Return);
        ASSERT_TRUE(sheet.isVisible());
        Type(name, "Van");
        auto* plate = Field<QLineEdit>(sheet, IDD_VEHICLE_DETAILS, "licensePlate");
        QTest::keyClicks(plate, QStringLiteral("ab-stra\u00DFe"));
        EXPECT_EQ(plate->text(), QStringLiteral("AB-STRASSE"));
        QTest::keyClick(plate, Qt::Key_Return);
    });
    Command(ID_NEW_VEHICLE);
    EXPECT_EQ(m_Prompter.Messages().at(0).text, QStringLiteral("A name is required."));
    EXPECT_EQ(m_Prompter.Messages().at(0).caption, QStringLiteral("Vehicle Properties"));
    CVehicle* van = m_Frame.VehicleView()->GetSelectedVehicle();
    ASSERT_NE(van, nullptr);
    CVehicle stored;
    stored.SetID(van->GetID());
    ASSERT_TRUE(TheDataLayer().Load(&stored));
    EXPECT_EQ(std::u16string(stored.GetName()), u"Van");
    EXPECT_EQ(std::u16string(stored.GetLicensePlate()), u"AB-STRASSE");
    m_Frame.SetActiveVehicle(m_Frame.VehicleView()->FindByRefID(m_Vehicle), true);

    // The four entries, each confirmed with Enter in its last field.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Entry Properties"));
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "odometer"), "12500");
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity"), "10");
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount"), "35");
        auto* vendor = Field<QComboBox>(sheet, IDD_FUEL_DETAILS, "vendor");
        vendor->setEditText(QStringLiteral("Corner Station"));
        QTest::keyClick(vendor->lineEdit(), Qt::Key_Return);
    });
    Command(ID_NEW_FUEL);
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Field<QComboBox>(sheet, IDD_REPAIR_DETAILS, "description")->setEditText(QStringLiteral("Oil change"));
        auto* amount = Field<QLineEdit>(sheet, IDD_REPAIR_DETAILS, "amount");
        Type(amount, "49.95");
        QTest::keyClick(amount, Qt::Key_Return);
    });
    Command(ID_NEW_REPAIR);
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* description = Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "description");
        Type(description, "Client visit");
        QTest::keyClick(description, Qt::Key_Return);
    });
    Command(ID_NEW_TRIP);
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Field<QComboBox>(sheet, IDD_EXPENSE_DETAILS, "description")->setEditText(QStringLiteral("Parking"));
        Type(Field<QLineEdit>(sheet, IDD_EXPENSE_DETAILS, "amount"), "4");
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    Command(ID_NEW_EXPENSE);

    std::vector<std::unique_ptr<CEntry>> entries = Stored();
    ASSERT_EQ(entries.size(), 4u);
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a->GetType() < b->GetType(); });
    EXPECT_EQ(entries[0]->GetOdometer(), 12500);
    EXPECT_EQ(entries[0]->GetCustom1(), 10.0f);
    EXPECT_EQ(entries[0]->GetAmount(), 35.0f);
    EXPECT_EQ(std::u16string(entries[0]->GetVendor()), u"Corner Station");
    EXPECT_EQ(std::u16string(entries[1]->GetName()), u"Oil change");
    EXPECT_EQ(entries[1]->GetAmount(), 49.95f);
    // The trip starts at the current odometer (the fuel entry raised it) and runs 100 further.
    EXPECT_EQ(entries[2]->GetCustom1(), 12500.0f);
    EXPECT_EQ(entries[2]->GetCustom2(), 12600.0f);
    EXPECT_EQ(entries[2]->GetOdometer(), 12600);
    EXPECT_EQ(std::u16string(entries[3]->GetName()), u"Parking");
    EXPECT_EQ(m_Frame.EntryView()->List()->GetRowCount(), 4);
    EXPECT_EQ(TheSession().ActiveOdometer(), 12600);
    EXPECT_EQ(m_Prompter.Messages().size(), 1u);
}

TEST_F(EditingSheetTest, CalcFillsTheMissingValueAndRefusesAnEmptyOne) {
    struct Case {
        const char *quantity, *price, *total;
        const char* expected; // quantity/price/total after Calc
        const char* target;
    };
    const Case cases[] = {
        {"10", "0", "35", "10/3.5/35", "unitPrice"},
        {"10", "3.5", "0", "10/3.5/35", "amount"},
        {"10", "3.5", "99", "10/3.5/35", "amount"},
        {"0", "0", "35", "0/0/35", "unitPrice"},
        {"0", "-2", "35", "0/-2/35", "quantity"},
        {"0", "1.25", "35", "28/1.25/35", "quantity"},
        // Derived figures are rounded as a receipt shows them: cents, and a price and a quantity
        // to three places.
        {"12.345", "3.359", "0", "12.345/3.359/41.47", "amount"},
        {"12.345", "0", "41.47", "12.345/3.359/41.47", "unitPrice"},
        {"0", "3.359", "41.47", "12.346/3.359/41.47", "quantity"},
    };
    CEntry entry;
    entry.SetType(CEntry::EntryFuel);
    for (const Case& c : cases) {
        m_Prompter.AnswerModal([&c](QDialog& sheet) {
            auto* quantity = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity");
            auto* price = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "unitPrice");
            auto* total = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount");
            quantity->setText(QString::fromUtf8(c.quantity));
            price->setText(QString::fromUtf8(c.price));
            total->setText(QString::fromUtf8(c.total));
            QTest::mouseClick(Field<QWidget>(sheet, IDD_FUEL_DETAILS, "calc"), Qt::LeftButton);
            EXPECT_EQ(QStringList({quantity->text(), price->text(), total->text()}).join('/'),
                      QString::fromUtf8(c.expected))
                << c.quantity << " " << c.price << " " << c.total;
            auto* target = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, c.target);
            EXPECT_EQ(sheet.focusWidget(), target);
            EXPECT_EQ(target->selectedText(), target->text());
            QTest::keyClick(&sheet, Qt::Key_Escape);
        });
        EXPECT_EQ(EditEntry(entry), 0);
    }
    // An empty field is no zero: Calc and Done refuse it and the sheet stays open.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* quantity = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity");
        quantity->clear();
        QTest::mouseClick(Field<QWidget>(sheet, IDD_FUEL_DETAILS, "calc"), Qt::LeftButton);
        EXPECT_TRUE(CWinDataExchangeLocale::IsMarkedRefused(quantity));
        QTest::keyClick(&sheet, Qt::Key_Return);
        EXPECT_TRUE(sheet.isVisible());
        // The reason shows beside the frame; the text stays as typed.
        Type(quantity, "1o.5");
        QTest::keyClick(quantity, Qt::Key_Return);
        EXPECT_EQ(quantity->toolTip(), QStringLiteral("Not a number: 1o.5"));
        EXPECT_EQ(static_cast<CFullScreenDialog&>(sheet).RefusalText(), QStringLiteral("Not a number: 1o.5"));
        EXPECT_EQ(quantity->text(), QStringLiteral("1o.5"));
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    EXPECT_EQ(EditEntry(entry), 0);
    EXPECT_EQ(entry.GetCustom1(), 0.0f);
}

TEST_F(EditingSheetTest, DoneWorksOutAForgottenTotalAndStoresTheFillFlags) {
    CEntry entry;
    entry.SetType(CEntry::EntryFuel);
    entry.SetVehicleID(m_Vehicle);
    entry.SetOdometer(12400);
    // Calc takes an emptied field as the one to work out.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* quantity = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity");
        auto* price = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "unitPrice");
        auto* total = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount");
        quantity->setText(QStringLiteral("10"));
        price->setText(QStringLiteral("3"));
        total->setText(QStringLiteral("35"));
        price->clear();
        QTest::mouseClick(Field<QWidget>(sheet, IDD_FUEL_DETAILS, "calc"), Qt::LeftButton);
        EXPECT_EQ(price->text(), QStringLiteral("3.5"));
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    EXPECT_EQ(EditEntry(entry), 0);

    // Quantity and price typed, Enter without Calc: the total is worked out, not stored as 0.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* quantity = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity");
        Type(quantity, "10");
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "unitPrice"), "3.359");
        Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount")->clear();
        auto* partial = sheet.findChild<QCheckBox*>(QStringLiteral("partialBox"));
        ASSERT_NE(partial, nullptr);
        partial->click();
        EXPECT_TRUE(partial->isChecked());
        QTest::keyClick(quantity, Qt::Key_Return);
    });
    ASSERT_EQ(EditEntry(entry), 1);
    EXPECT_FLOAT_EQ(entry.GetAmount(), 33.59f);
    DWORD flags = 0;
    ASSERT_EQ(TheDataLayer().GetFillFlags(&entry, &flags), 1);
    EXPECT_EQ(flags, DWORD(CDataLayer::FillPartial));

    // A change of the flags alone is a change of the entry; the box shows what is stored.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* partial = sheet.findChild<QCheckBox*>(QStringLiteral("partialBox"));
        auto* missed = sheet.findChild<QCheckBox*>(QStringLiteral("missedBox"));
        ASSERT_TRUE(partial && missed);
        EXPECT_TRUE(partial->isChecked());
        partial->setChecked(false);
        missed->setChecked(true);
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    EXPECT_EQ(EditEntry(entry), 1);
    ASSERT_EQ(TheDataLayer().GetFillFlags(&entry, &flags), 1);
    EXPECT_EQ(flags, DWORD(CDataLayer::FillMissed));
}

TEST_F(EditingSheetTest, TripKeepsStartEndAndElapsedConsistentAndPricesTheDistance) {
    TheSettings().MileageRate = 0.36f;
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* start = Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "tripStart");
        auto* end = Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "tripEnd");
        auto* elapsed = Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "elapsedDistance");
        EXPECT_EQ(start->text(), QStringLiteral("12345"));
        EXPECT_EQ(end->text(), QStringLiteral("12445"));
        EXPECT_EQ(elapsed->text(), QStringLiteral("100"));
        // The elapsed field still has the focus when the Expense tab is picked.
        elapsed->setFocus();
        Type(elapsed, "250");
        NextTab(sheet);
        auto* tabs = sheet.findChild<QTabWidget*>(QStringLiteral("tabs"));
        ASSERT_EQ(tabs->currentIndex(), 1);
        EXPECT_EQ(end->text(), QStringLiteral("12595"));
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_TRIP_EXPENSE, "elapsedDistance")->text(),
                  QStringLiteral("250"));
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_TRIP_EXPENSE, "mileageRate")->text(), QStringLiteral("0.36"));
        QTest::mouseClick(Field<QWidget>(sheet, IDD_TRIP_EXPENSE, "calc"), Qt::LeftButton);
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_TRIP_EXPENSE, "amount")->text(), QStringLiteral("90"));

        // An end below the start keeps the Details tab; leaving the end field sets elapsed to 0.
        tabs->setCurrentIndex(0);
        end->setFocus();
        Type(end, "12000");
        start->setFocus();
        EXPECT_EQ(elapsed->text(), QStringLiteral("0"));
        tabs->setCurrentIndex(1);
        EXPECT_EQ(tabs->currentIndex(), 0);
        end->setFocus();
        Type(end, "12400");
        elapsed->setFocus();
        EXPECT_EQ(elapsed->text(), QStringLiteral("55"));
        // Typing is not held to the arrows' range.
        start->setFocus();
        Type(start, "1234567");
        end->setFocus();
        Type(end, "1234600");
        start->setFocus();
        QTest::keyClick(&sheet, Qt::Key_Return); // no description yet
        EXPECT_TRUE(sheet.isVisible());
        Type(Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "description"), "Airport");
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    Command(ID_NEW_TRIP);
    std::vector<CScriptedPrompter::Shown> messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("End odometer must be greater than start odometer."));
    EXPECT_EQ(messages[0].caption, QStringLiteral("Entry Properties"));
    EXPECT_EQ(messages[1].text, QStringLiteral("A description is required."));
    std::vector<std::unique_ptr<CEntry>> entries = Stored();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->GetCustom1(), 1234567.0f);
    EXPECT_EQ(entries[0]->GetCustom2(), 1234600.0f);
    EXPECT_EQ(entries[0]->GetOdometer(), 1234600);
    // The total Calc made still follows the distance, now 33.
    EXPECT_EQ(entries[0]->GetAmount(), 11.88f);
    EXPECT_EQ(TheSession().ActiveOdometer(), 1234600);
}

TEST_F(EditingSheetTest, DoneStoresOnlyWhatChangedAndCancelStoresNothing) {
    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    CEntry entry;
    entry.SetVehicleID(m_Vehicle);
    entry.SetType(CEntry::EntryFuel);
    entry.SetDate(46000.123457); // a time of day the picker does not show
    entry.SetOdometer(1234567);
    entry.SetAmount(12345.67f);
    entry.SetCustom1(1234567.0f);
    ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);
    const double modified = entry.GetDateModified();

    // Untouched, the values show in full and store nothing.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount")->text(), QStringLiteral("12345,67"));
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity")->text(), QStringLiteral("1234567"));
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "odometer")->text(), QStringLiteral("1234567"));
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    EXPECT_EQ(EditEntry(entry), 0);
    EXPECT_EQ(entry.GetDateModified(), modified);

    // Changed and cancelled: nothing moves.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount"), "1");
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    EXPECT_EQ(EditEntry(entry), 0);
    EXPECT_EQ(entry.GetAmount(), 12345.67f);

    // Only the notes and the price change; both separators are read.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "unitPrice"), "3.5");
        sheet.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(1);
        auto* notes = Field<QPlainTextEdit>(sheet, IDD_NOTES, "notes");
        notes->setFocus();
        QTest::keyClicks(notes, QStringLiteral("Full tank"));
        QTest::keyClick(notes, Qt::Key_Return);
        EXPECT_TRUE(sheet.isVisible()); // Enter is a new line in the notes
        QTest::mouseClick(sheet.findChild<QWidget*>(QStringLiteral("softkey1")), Qt::LeftButton);
    });
    EXPECT_EQ(EditEntry(entry), 1);
    CEntry stored;
    stored.SetID(entry.GetID());
    ASSERT_TRUE(TheDataLayer().Load(&stored));
    EXPECT_EQ(stored.GetCustom2(), 3.5f);
    EXPECT_EQ(stored.GetAmount(), 12345.67f);
    EXPECT_EQ(stored.GetDate(), 46000.123457);
    EXPECT_EQ(stored.GetOdometer(), 1234567);
    EXPECT_EQ(std::u16string(stored.GetNotes()), u"Full tank\n");

    // A new purchase starts at the price just confirmed, shown with the locale's separator.
    CEntry next;
    next.SetType(CEntry::EntryFuel);
    m_Prompter.AnswerModal([](QDialog& sheet) {
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "unitPrice")->text(), QStringLiteral("3,5"));
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    EXPECT_EQ(EditEntry(next), 0);
}

TEST_F(EditingSheetTest, AFailedSaveWarnsKeepsTheStoredRecordAndDiscardsANewOne) {
    CEntry* fuel = new CEntry;
    fuel->SetVehicleID(m_Vehicle);
    fuel->SetType(CEntry::EntryRepair);
    fuel->SetName(u"Brakes");
    fuel->SetAmount(100.0f);
    ASSERT_EQ(TheDataLayer().Save(fuel, 0), 1);
    m_Frame.EntryView()->AddEntry(fuel);
    // From here on the file takes no writes, as a read-only one would.
    sqlite3_exec(CDataLayerTestPeer::Handle(TheDataLayer()), "PRAGMA query_only=1", nullptr, nullptr,
                 nullptr);
    CEntryListView* list = m_Frame.EntryView()->List();
    list->selectAll();
    ASSERT_EQ(list->GetSelectedCount(), 1);
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_REPAIR_DETAILS, "amount"), "250");
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    Command(ID_EDIT);
    QCoreApplication::processEvents(); // the frame passes Edit on to the list
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.startsWith(QStringLiteral("Your changes could not be saved")));
    EXPECT_EQ(m_Prompter.Messages()[0].icon, CPrompter::IconWarning);
    EXPECT_EQ(fuel->GetAmount(), 100.0f);
    EXPECT_EQ(fuel->IsDirty(), 0);

    m_Prompter.AnswerModal([](QDialog& sheet) {
        Field<QComboBox>(sheet, IDD_REPAIR_DETAILS, "description")->setEditText(QStringLiteral("Tyres"));
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    Command(ID_NEW_REPAIR);
    EXPECT_EQ(m_Prompter.Messages().size(), 2u);
    EXPECT_EQ(list->GetRowCount(), 1);
    EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(EditingSheetTest, EnterPressesTheFocusedButtonAndIsDoneInAField) {
    CEntry entry;
    entry.SetVehicleID(m_Vehicle);
    entry.SetType(CEntry::EntryFuel);
    // Enter on Cancel, after a change, stores nothing.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount"), "12");
        SoftKey(sheet, 2)->setFocus();
        QTest::keyClick(SoftKey(sheet, 2), Qt::Key_Return);
    });
    EXPECT_EQ(EditEntry(entry), 0);
    EXPECT_EQ(entry.GetID(), 0);

    m_Prompter.AnswerModal([this](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity"), "10");
        Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "unitPrice"), "3.5");
        auto* calc = Field<QWidget>(sheet, IDD_FUEL_DETAILS, "calc");
        calc->setFocus();
        QTest::keyClick(calc, Qt::Key_Return);
        EXPECT_EQ(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount")->text(), QStringLiteral("35"));
        m_Prompter.AnswerModal([](QDialog& manager) {
            EXPECT_EQ(manager.windowTitle(), QStringLiteral("Fuel Vendors"));
            QTest::keyClick(&manager, Qt::Key_Escape);
        });
        auto* manage = Field<QWidget>(sheet, IDD_FUEL_DETAILS, "manageKeywords");
        manage->setFocus();
        QTest::keyClick(manage, Qt::Key_Return);
        EXPECT_TRUE(sheet.isVisible());
        auto* quantity = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "quantity");
        quantity->setFocus();
        QTest::keyClick(quantity, Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_EQ(EditEntry(entry), 1);
    EXPECT_EQ(entry.GetAmount(), 35.0f);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 3);
}

TEST_F(EditingSheetTest, TabFollowsTheRowsAndAPageReachedByItsTabTakesTheTyping) {
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* total = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "amount");
        total->setFocus();
        const std::vector<QWidget*> order = {Field<QWidget>(sheet, IDD_FUEL_DETAILS, "calc"),
                                             Field<QWidget>(sheet, IDD_FUEL_DETAILS, "vendor"),
                                             Field<QWidget>(sheet, IDD_FUEL_DETAILS, "manageKeywords"),
                                             sheet.findChild<QWidget*>(QStringLiteral("partialBox")),
                                             sheet.findChild<QWidget*>(QStringLiteral("missedBox")),
                                             sheet.findChild<QTabWidget*>(QStringLiteral("tabs"))->tabBar(),
                                             SoftKey(sheet, 1),
                                             SoftKey(sheet, 2),
                                             Field<QWidget>(sheet, IDD_FUEL_DETAILS, "date")};
        for (QWidget* next : order) {
            QTest::keyClick(sheet.focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(sheet.focusWidget(), next) << next->objectName().toStdString();
        }
        NextTab(sheet);
        QTest::keyClicks(sheet.focusWidget(), QStringLiteral("Full tank"));
        EXPECT_EQ(Field<QPlainTextEdit>(sheet, IDD_NOTES, "notes")->toPlainText(),
                  QStringLiteral("Full tank"));
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    Command(ID_NEW_FUEL);

    // The fields of every page start at one edge.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* name = Field<QWidget>(sheet, IDD_VEHICLE_DETAILS, "vehicleName");
        NextTab(sheet);
        auto* agent = Field<QWidget>(sheet, IDD_VEHICLE_INSURANCE, "agentName");
        EXPECT_EQ(sheet.focusWidget(), agent);
        EXPECT_EQ(agent->mapTo(&sheet, QPoint()).x(), name->mapTo(&sheet, QPoint()).x());
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    Command(ID_NEW_VEHICLE);
}

TEST_F(EditingSheetTest, ADateIsTakenAsTypedAndAnUnreadableOneIsRefused) {
    const ScopedTimeZone zone(kGreenwich);
    const PinnedClock clock(MakeTime(2026, 12, 8, 12));
    CEntry entry;
    entry.SetVehicleID(m_Vehicle);
    entry.SetType(CEntry::EntryExpense);
    entry.SetName(u"Parking");
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* date = Field<CDatePicker>(sheet, IDD_EXPENSE_DETAILS, "date");
        EXPECT_EQ(sheet.focusWidget(), date);
        QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(date, QStringLiteral("6/30/27"));
        QTest::keyClick(date, Qt::Key_Tab);
        EXPECT_EQ(sheet.focusWidget(), Field<QWidget>(sheet, IDD_EXPENSE_DETAILS, "odometer"));
        EXPECT_EQ(date->text(), QStringLiteral("6/30/2027"));
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    ASSERT_EQ(EditEntry(entry), 1);
    EXPECT_EQ(OleDateToLocal(entry.GetDate()).date(), QDate(2027, 6, 30));

    const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    m_Prompter.AnswerModal([](QDialog& sheet) {
        auto* date = Field<CDatePicker>(sheet, IDD_EXPENSE_DETAILS, "date");
        EXPECT_EQ(date->text(), QStringLiteral("30.06.2027"));
        Type(date, "31.6.2027");
        QTest::keyClick(&sheet, Qt::Key_Return);
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_TRUE(CWinDataExchangeLocale::IsMarkedRefused(date));
        EXPECT_EQ(date->toolTip(), QStringLiteral("Not a date: 31.6.2027 (type it like 30.06.2027)"));
        Type(date, "1.7.2027");
        QTest::keyClick(&sheet, Qt::Key_Return);
    });
    ASSERT_EQ(EditEntry(entry), 1);
    EXPECT_EQ(OleDateToLocal(entry.GetDate()).date(), QDate(2027, 7, 1));
}

TEST_F(EditingSheetTest, TheTripTotalFollowsTheDistanceUntilTheUserTypesOne) {
    TheSettings().MileageRate = 0.3456f;
    // Done on the details page prices the trip, although its Expense tab was never opened.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "description"), "Visit");
        auto* elapsed = Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "elapsedDistance");
        elapsed->setFocus();
        Type(elapsed, "123");
        QTest::keyClick(elapsed, Qt::Key_Return);
    });
    Command(ID_NEW_TRIP);
    // A total of one's own stays when the distance changes.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        Type(Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "description"), "Fair");
        NextTab(sheet);
        auto* total = Field<QLineEdit>(sheet, IDD_TRIP_EXPENSE, "amount");
        EXPECT_EQ(total->text(), QStringLiteral("34.56"));
        Type(total, "50");
        sheet.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(0);
        auto* elapsed = Field<QLineEdit>(sheet, IDD_TRIP_DETAILS, "elapsedDistance");
        elapsed->setFocus();
        Type(elapsed, "200");
        QTest::keyClick(elapsed, Qt::Key_Return);
    });
    Command(ID_NEW_TRIP);
    std::vector<std::unique_ptr<CEntry>> trips = Stored();
    ASSERT_EQ(trips.size(), 2u);
    std::sort(trips.begin(), trips.end(), [](auto& a, auto& b) { return a->GetID() < b->GetID(); });
    EXPECT_EQ(trips[0]->GetAmount(), 42.51f); // 123 x 0.3456 = 42.5088
    EXPECT_EQ(trips[1]->GetAmount(), 50.0f);
    EXPECT_EQ(trips[1]->GetCustom2() - trips[1]->GetCustom1(), 200.0f);
}

TEST_F(EditingSheetTest, AReadingOutOfStepWithOtherDaysIsQuestioned) {
    const ScopedTimeZone zone(kGreenwich);
    const auto store = [this](double date, LONG odometer) {
        CEntry entry;
        entry.SetVehicleID(m_Vehicle);
        entry.SetType(CEntry::EntryFuel);
        entry.SetDate(date);
        entry.SetOdometer(odometer);
        ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);
    };
    store(OleDay(2026, 5, 20), 44600);
    store(OleDay(2026, 7, 1), 45500);
    const auto edit = [this](double date, const char* odometer,
                             const std::function<void(QDialog&)>& more = {}) {
        CEntry entry;
        entry.SetVehicleID(m_Vehicle);
        entry.SetType(CEntry::EntryFuel);
        entry.SetDate(date);
        m_Prompter.AnswerModal([&](QDialog& sheet) {
            Type(Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "odometer"), odometer);
            QTest::keyClick(&sheet, Qt::Key_Return);
            if (more)
                more(sheet);
        });
        return EditEntry(entry);
    };

    // A typo below the last reading: No returns to the field, a corrected reading is not asked.
    m_Prompter.AnswerMessage(CPrompter::IDNO);
    EXPECT_EQ(edit(OleDay(2026, 6, 10), "4470",
                   [](QDialog& sheet) {
                       auto* odometer = Field<QLineEdit>(sheet, IDD_FUEL_DETAILS, "odometer");
                       EXPECT_TRUE(sheet.isVisible());
                       EXPECT_EQ(sheet.focusWidget(), odometer);
                       Type(odometer, "44900");
                       QTest::keyClick(&sheet, Qt::Key_Return);
                   }),
              1);
    // Above a later reading: Yes stores it. The same day as another reading is not questioned.
    m_Prompter.AnswerMessage(CPrompter::IDYES);
    EXPECT_EQ(edit(OleDay(2026, 6, 11), "46000"), 1);
    EXPECT_EQ(edit(OleDay(2026, 5, 20) + 0.2, "44000"), 1);

    const std::vector<CScriptedPrompter::Shown> asked = m_Prompter.Messages();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(
        asked[0].text,
        QStringLiteral("The odometer reading is lower than the one on 5/20/26 (44,600). Store it anyway?"));
    EXPECT_EQ(asked[0].buttons, CPrompter::ButtonsYesNo);
    EXPECT_EQ(asked[1].text, QStringLiteral("The odometer reading is higher than the later one on 7/1/26 "
                                            "(45,500). Store it anyway?"));
    EXPECT_EQ(Stored().size(), 5u);
}
