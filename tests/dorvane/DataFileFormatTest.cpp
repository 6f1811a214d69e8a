// The data file as other SQLite programs see it: the template's schema, rows written by the
// library read by position, and rows written by plain SQLite read by the library.

#include "dorvane/datastore/CDataLayer.h"
#include "platform/SystemTime.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Columns(SqliteFile& file, const std::string& table) {
    std::vector<std::string> names;
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "PRAGMA table_info(" + table + ")";
    EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(file.Get(), sql.c_str(), -1, &statement, nullptr));
    while (sqlite3_step(statement) == SQLITE_ROW) {
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
        if (names.back() == "ID") {
            EXPECT_EQ(1, sqlite3_column_int(statement, 5)) << table << ": ID is the primary key";
        }
    }
    sqlite3_finalize(statement);
    return names;
}

// The one row of "SELECT * FROM table WHERE ID=id", kept open for reading by position.
class Row {
public:
    Row(SqliteFile& file, const std::string& table, LONG id) {
        const std::string sql = "SELECT * FROM " + table + " WHERE ID=" + std::to_string(id);
        EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(file.Get(), sql.c_str(), -1, &m_Statement, nullptr));
        EXPECT_EQ(SQLITE_ROW, sqlite3_step(m_Statement)) << sql;
    }
    ~Row() { sqlite3_finalize(m_Statement); }
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;

    int Type(int column) { return sqlite3_column_type(m_Statement, column); }
    std::int64_t Integer(int column) { return sqlite3_column_int64(m_Statement, column); }
    double Real(int column) { return sqlite3_column_double(m_Statement, column); }
    std::string Text(int column) {
        const unsigned char* text = sqlite3_column_text(m_Statement, column);
        return text ? reinterpret_cast<const char*>(text) : "<null>";
    }

private:
    sqlite3_stmt* m_Statement = nullptr;
};

class DataFileFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME st{2026, 3, 0, 10, 12, 0, 0, 0};
        PinSystemTime(&st);
        SystemTimeToVariantTime(&st, &m_Now);
    }
    void TearDown() override { PinSystemTime(nullptr); }

    TempDataFile m_File;
    double m_Now = 0.0;
};

TEST_F(DataFileFormatTest, TemplateHoldsTheTablesInTheirColumnOrder) {
    SqliteFile file(m_File.Path());
    EXPECT_EQ((std::vector<std::string>{"ID", "RefID", "Name", "Notes", "Created", "Modified", "LicensePlate",
                                        "VIN", "DealerName", "DealerPhone", "DealerAddress",
                                        "InsurancePolicyNumber", "InsuranceAgentName", "InsuranceAgentPhone",
                                        "InsuranceCoverage", "InsuranceExpirationDate", "CurrentOdometer",
                                        "Year", "ImagePath"}),
              Columns(file, "Vehicle"));
    EXPECT_EQ(
        (std::vector<std::string>{"ID", "RefID", "Name", "Notes", "Created", "Modified", "Date", "Odometer",
                                  "VehicleID", "Type", "Vendor", "Amount", "Custom1", "Custom2"}),
        Columns(file, "Entry"));
    EXPECT_EQ((std::vector<std::string>{"ID", "RefID", "Name", "Type", "Created", "Modified"}),
              Columns(file, "Keyword"));
    EXPECT_EQ((std::vector<std::string>{"ID", "RefID", "Name", "Created", "Modified", "Date", "Odometer",
                                        "VehicleID"}),
              Columns(file, "Notification"));

    // MetaData in table order: store ID 0, the mark, a short version text.
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(SQLITE_OK,
              sqlite3_prepare_v2(file.Get(), "SELECT ID, Value FROM MetaData", -1, &statement, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(statement));
    EXPECT_EQ(1, sqlite3_column_int(statement, 0));
    EXPECT_EQ(SQLITE_INTEGER, sqlite3_column_type(statement, 1));
    EXPECT_EQ(0, sqlite3_column_int(statement, 1));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(statement));
    EXPECT_STREQ("QDX", reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(statement));
    const std::string version = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
    EXPECT_FALSE(version.empty());
    EXPECT_LE(version.size(), 4u);
    EXPECT_EQ(SQLITE_DONE, sqlite3_step(statement));
    sqlite3_finalize(statement);

    // Every pick list starts with a few keywords.
    for (int type = 1; type <= 4; ++type) {
        EXPECT_GE(file.Integer("SELECT COUNT(*) FROM Keyword WHERE Type=" + std::to_string(type)), 3) << type;
    }
    EXPECT_EQ("ok", file.Text("PRAGMA integrity_check"));
}

TEST_F(DataFileFormatTest, RowsWrittenByTheLibraryReadByPosition) {
    CDataLayer layer;
    ASSERT_EQ(CDataLayer::ConnectOK, layer.Connect(m_File.WidePath().c_str()));

    CVehicle vehicle;
    vehicle.SetRefID(4000000000u);
    vehicle.SetName(u"Van \u00DC");
    vehicle.SetNotes(u"It's blue");
    vehicle.SetLicensePlate(u"AB-1");
    vehicle.SetVIN(u"VIN1");
    vehicle.SetDealerName(u"D");
    vehicle.SetDealerPhone(u"DP");
    vehicle.SetDealerAddress(u"DA");
    vehicle.SetInsurancePolicyNumber(u"IP");
    vehicle.SetInsuranceAgentName(u"IA");
    vehicle.SetInsuranceAgentPhone(u"IAP");
    vehicle.SetInsuranceCoverage(u"IC");
    vehicle.SetInsuranceExpirationDate(46387.0);
    vehicle.SetCurrentOdometer(54321);
    vehicle.SetYear(2018);
    vehicle.SetImagePath(u"\U0001F697.png");
    ASSERT_EQ(1, layer.Save(&vehicle, 0));

    CEntry entry;
    entry.SetRefID(3000000000u);
    entry.SetName(u"Fill-up");
    entry.SetNotes(u"50%");
    entry.SetDate(46090.5);
    entry.SetOdometer(54321);
    entry.SetVehicleID(4000000000u);
    entry.SetType(CEntry::EntryFuel);
    entry.SetVendor(u"Shell");
    entry.SetAmount(61.25f);
    entry.SetCustom1(35.0f);
    entry.SetCustom2(1.75f);
    ASSERT_EQ(1, layer.Save(&entry, 0));

    CKeyword keyword;
    keyword.SetName(u"Ferry");
    keyword.SetType(CKeyword::KeywordExpense);
    ASSERT_EQ(1, layer.Save(&keyword, 0));

    CNotification reminder;
    reminder.SetName(u"MOT");
    reminder.SetDate(46100.0);
    reminder.SetOdometer(60000);
    reminder.SetVehicleID(4000000000u);
    ASSERT_EQ(1, layer.Save(&reminder, 0));
    layer.Disconnect();

    SqliteFile file(m_File.Path());
    {
        Row row(file, "Vehicle", vehicle.GetID());
        EXPECT_EQ(vehicle.GetID(), row.Integer(0));
        EXPECT_EQ(SQLITE_INTEGER, row.Type(1));
        EXPECT_EQ(4000000000, row.Integer(1));
        EXPECT_EQ("Van \xC3\x9C", row.Text(2));
        EXPECT_EQ("It's blue", row.Text(3));
        EXPECT_EQ(SQLITE_FLOAT, row.Type(4));
        EXPECT_NEAR(m_Now, row.Real(4), 1e-6);
        EXPECT_NEAR(m_Now, row.Real(5), 1e-6);
        const char* texts[] = {"AB-1", "VIN1", "D", "DP", "DA", "IP", "IA", "IAP", "IC"};
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(texts[i], row.Text(6 + i)) << i;
        }
        EXPECT_DOUBLE_EQ(46387.0, row.Real(15));
        EXPECT_EQ(54321, row.Integer(16));
        EXPECT_EQ(2018, row.Integer(17));
        EXPECT_EQ("\xF0\x9F\x9A\x97.png", row.Text(18));
    }
    {
        Row row(file, "Entry", entry.GetID());
        EXPECT_EQ(3000000000, row.Integer(1));
        EXPECT_EQ("Fill-up", row.Text(2));
        EXPECT_EQ("50%", row.Text(3));
        EXPECT_NEAR(m_Now, row.Real(4), 1e-6);
        EXPECT_NEAR(m_Now, row.Real(5), 1e-6);
        EXPECT_DOUBLE_EQ(46090.5, row.Real(6));
        EXPECT_EQ(54321, row.Integer(7));
        EXPECT_EQ(4000000000, row.Integer(8));
        EXPECT_EQ(1, row.Integer(9));
        EXPECT_EQ("Shell", row.Text(10));
        EXPECT_DOUBLE_EQ(61.25, row.Real(11));
        EXPECT_DOUBLE_EQ(35.0, row.Real(12));
        EXPECT_DOUBLE_EQ(1.75, row.Real(13));
    }
    {
        Row row(file, "Keyword", keyword.GetID());
        EXPECT_EQ(static_cast<std::int64_t>(keyword.GetRefID()), row.Integer(1));
        EXPECT_EQ("Ferry", row.Text(2));
        EXPECT_EQ(3, row.Integer(3));
        EXPECT_NEAR(m_Now, row.Real(4), 1e-6);
        EXPECT_NEAR(m_Now, row.Real(5), 1e-6);
    }
    {
        Row row(file, "Notification", reminder.GetID());
        EXPECT_EQ(static_cast<std::int64_t>(reminder.GetRefID()), row.Integer(1));
        EXPECT_EQ("MOT", row.Text(2));
        EXPECT_NEAR(m_Now, row.Real(3), 1e-6);
        EXPECT_NEAR(m_Now, row.Real(4), 1e-6);
        EXPECT_DOUBLE_EQ(46100.0, row.Real(5));
        EXPECT_EQ(60000, row.Integer(6));
        EXPECT_EQ(4000000000, row.Integer(7));
    }
}

TEST_F(DataFileFormatTest, RowsWrittenByPlainSqliteReadByTheLibrary) {
    {
        SqliteFile file(m_File.Path());
        file.Exec(
            "INSERT INTO Vehicle VALUES(40, 3500000000, 'Tr''uck', 'n', 1.5, 2.5, 'LP', 'V', 'DN', 'DP', "
            "'DA', 'IPN', 'IAN', 'IAP', 'IC', 46000.25, 99999, 1999, 'img');"
            "INSERT INTO Entry VALUES(41, 12, 'Brakes', 'pads', 3.5, 4.5, 46001.75, 99000, 3500000000, 2, "
            "'Garage \xC3\x9C', 310.5, 0, 0);"
            "INSERT INTO Keyword VALUES(42, 13, 'Ferry', 3, 5.5, 6.5);"
            "INSERT INTO Notification VALUES(43, 14, 'Tyres', 7.5, 8.5, 46200.0, 100000, 3500000000);");
    }
    CDataLayer layer;
    ASSERT_EQ(CDataLayer::ConnectOK, layer.Connect(m_File.WidePath().c_str()));

    CVehicle vehicle;
    vehicle.SetRefID(3500000000u);
    ASSERT_EQ(1, layer.LoadByRefID(&vehicle));
    EXPECT_EQ(40, vehicle.GetID());
    EXPECT_EQ(std::u16string(u"Tr'uck"), vehicle.GetName());
    EXPECT_EQ(std::u16string(u"n"), vehicle.GetNotes());
    EXPECT_DOUBLE_EQ(1.5, vehicle.GetDateCreated());
    EXPECT_DOUBLE_EQ(2.5, vehicle.GetDateModified());
    EXPECT_EQ(std::u16string(u"LP"), vehicle.GetLicensePlate());
    EXPECT_EQ(std::u16string(u"V"), vehicle.GetVIN());
    EXPECT_EQ(std::u16string(u"DN"), vehicle.GetDealerName());
    EXPECT_EQ(std::u16string(u"DP"), vehicle.GetDealerPhone());
    EXPECT_EQ(std::u16string(u"DA"), vehicle.GetDealerAddress());
    EXPECT_EQ(std::u16string(u"IPN"), vehicle.GetInsurancePolicyNumber());
    EXPECT_EQ(std::u16string(u"IAN"), vehicle.GetInsuranceAgentName());
    EXPECT_EQ(std::u16string(u"IAP"), vehicle.GetInsuranceAgentPhone());
    EXPECT_EQ(std::u16string(u"IC"), vehicle.GetInsuranceCoverage());
    EXPECT_DOUBLE_EQ(46000.25, vehicle.GetInsuranceExpirationDate());
    EXPECT_EQ(99999, vehicle.GetCurrentOdometer());
    EXPECT_EQ(1999, vehicle.GetYear());
    EXPECT_EQ(std::u16string(u"img"), vehicle.GetImagePath());

    CObjectListT<CEntry> entries;
    CEntryFilter filter;
    filter.SetVehicleID(3500000000u);
    ASSERT_EQ(1, layer.Load(entries, filter));
    ASSERT_EQ(1, entries.GetCount());
    CEntry* entry = entries.Get(0);
    EXPECT_EQ(41, entry->GetID());
    EXPECT_EQ(12u, entry->GetRefID());
    EXPECT_EQ(std::u16string(u"Brakes"), entry->GetName());
    EXPECT_EQ(std::u16string(u"pads"), entry->GetNotes());
    EXPECT_DOUBLE_EQ(3.5, entry->GetDateCreated());
    EXPECT_DOUBLE_EQ(4.5, entry->GetDateModified());
    EXPECT_DOUBLE_EQ(46001.75, entry->GetDate());
    EXPECT_EQ(99000, entry->GetOdometer());
    EXPECT_EQ(3500000000u, entry->GetVehicleID());
    EXPECT_EQ(CEntry::EntryRepair, entry->GetType());
    EXPECT_EQ(std::u16string(u"Garage \u00DC"), entry->GetVendor());
    EXPECT_FLOAT_EQ(310.5f, entry->GetAmount());

    CKeyword keyword;
    keyword.SetID(42);
    ASSERT_EQ(1, layer.Load(&keyword));
    EXPECT_EQ(13u, keyword.GetRefID());
    EXPECT_EQ(std::u16string(u"Ferry"), keyword.GetName());
    EXPECT_EQ(CKeyword::KeywordExpense, keyword.GetType());
    EXPECT_DOUBLE_EQ(5.5, keyword.GetDateCreated());
    EXPECT_DOUBLE_EQ(6.5, keyword.GetDateModified());

    CObjectListT<CNotification> reminders;
    ASSERT_EQ(1, layer.Load(reminders, 3500000000u));
    ASSERT_EQ(1, reminders.GetCount());
    EXPECT_EQ(43, reminders.Get(0)->GetID());
    EXPECT_EQ(14u, reminders.Get(0)->GetRefID());
    EXPECT_EQ(std::u16string(u"Tyres"), reminders.Get(0)->GetName());
    EXPECT_DOUBLE_EQ(7.5, reminders.Get(0)->GetDateCreated());
    EXPECT_DOUBLE_EQ(8.5, reminders.Get(0)->GetDateModified());
    EXPECT_DOUBLE_EQ(46200.0, reminders.Get(0)->GetDate());
    EXPECT_EQ(100000, reminders.Get(0)->GetOdometer());
    EXPECT_EQ(3500000000u, reminders.Get(0)->GetVehicleID());

    LONG odometer = 0;
    ASSERT_EQ(1, layer.GetMaxOdometer(3500000000u, &odometer));
    EXPECT_EQ(99000, odometer);
    EXPECT_EQ(41u, layer.GetID(CBaseObject::ObjectTypeEntry, 12));
}

} // namespace
