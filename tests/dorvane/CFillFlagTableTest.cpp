// Fill flags beside the Entry table: stored, read with the figure rows, removed with their entry,
// the notes of earlier imports moved into them once, and a file that still reads as before.

#include "dorvane/datastore/CDataFileCheck.h"
#include "dorvane/datastore/CDataLayer.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class FillFlagsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
        m_Vehicle.SetName(u"Golf");
        ASSERT_EQ(1, m_Layer.Save(&m_Vehicle, 0));
        ASSERT_EQ(1, m_Layer.UpdateCurrentOdometer(&m_Vehicle, 5000));
    }

    std::unique_ptr<CEntry> Fuel(LONG odometer, const char16_t* notes = u"") {
        auto entry = std::make_unique<CEntry>();
        entry->SetVehicleID(m_Vehicle.GetRefID());
        entry->SetType(CEntry::EntryFuel);
        entry->SetDate(45000.0 + odometer / 100.0);
        entry->SetOdometer(odometer);
        entry->SetCustom1(40.0f);
        entry->SetNotes(notes);
        EXPECT_EQ(1, m_Layer.Save(entry.get(), 0));
        return entry;
    }

    DWORD FlagsRead(const CEntry& entry) {
        DWORD flags = 99;
        EXPECT_EQ(1, m_Layer.GetFillFlags(&entry, &flags));
        return flags;
    }

    TempDataFile m_File;
    CDataLayer m_Layer;
    CVehicle m_Vehicle;
};

} // namespace

TEST_F(FillFlagsTest, StoredBesideTheEntryReadWithTheFiguresAndRemovedWithIt) {
    auto full = Fuel(1000);
    auto partial = Fuel(1300);
    auto missed = Fuel(1600);
    // A file of the earlier version has no table, and no flags.
    EXPECT_EQ(0u, FlagsRead(*partial));
    ASSERT_EQ(1, m_Layer.SetFillFlags(partial.get(), CDataLayer::FillPartial));
    ASSERT_EQ(1, m_Layer.SetFillFlags(missed.get(), CDataLayer::FillMissed | CDataLayer::FillPartial));
    EXPECT_EQ(DWORD(CDataLayer::FillPartial), FlagsRead(*partial));

    CEntryFilter filter;
    filter.SetVehicleID(m_Vehicle.GetRefID());
    std::vector<CDataLayer::FigureRow> rows;
    ASSERT_EQ(1, m_Layer.LoadFigureRows(rows, filter));
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(0u, rows[0].FillFlags);
    EXPECT_EQ(1000, rows[0].Odometer);
    EXPECT_FLOAT_EQ(40.0f, rows[0].Custom1);
    EXPECT_EQ(DWORD(CDataLayer::FillPartial), rows[1].FillFlags);
    EXPECT_EQ(DWORD(CDataLayer::FillPartial | CDataLayer::FillMissed), rows[2].FillFlags);

    // Cleared flags leave no row; a deleted entry takes its flags along, a deleted vehicle all.
    ASSERT_EQ(1, m_Layer.SetFillFlags(missed.get(), 0));
    SqliteFile file(m_File.Path());
    EXPECT_EQ(1, file.Integer("SELECT COUNT(*) FROM FillFlag"));
    ASSERT_EQ(1, m_Layer.SetFillFlags(missed.get(), CDataLayer::FillMissed));
    ASSERT_EQ(1, m_Layer.Delete(partial.get()));
    EXPECT_EQ(1, file.Integer("SELECT COUNT(*) FROM FillFlag"));
    ASSERT_EQ(1, m_Layer.Delete(&m_Vehicle));
    EXPECT_EQ(0, file.Integer("SELECT COUNT(*) FROM FillFlag"));

    // The Entry table is as the earlier version reads it, by position.
    EXPECT_EQ(14, file.Integer("SELECT COUNT(*) FROM pragma_table_info('Entry')"));
}

TEST_F(FillFlagsTest, NotesOfAnEarlierImportBecomeFlagsOnce) {
    auto partial = Fuel(1000, u"Partial fill-up\nAutobahn");
    auto both = Fuel(1300, u"Partial fill-up\nMissed fill-up before this one");
    auto missed = Fuel(1600, u"Missed fill-up before this one");
    auto typed = Fuel(1900, u"Partial fill-ups are dear");
    ASSERT_EQ(1, m_Layer.ConvertFillNotes(u"Partial fill-up", u"Missed fill-up before this one"));

    EXPECT_EQ(DWORD(CDataLayer::FillPartial), FlagsRead(*partial));
    EXPECT_EQ(DWORD(CDataLayer::FillPartial | CDataLayer::FillMissed), FlagsRead(*both));
    EXPECT_EQ(DWORD(CDataLayer::FillMissed), FlagsRead(*missed));
    EXPECT_EQ(0u, FlagsRead(*typed));
    for (auto* entry : {partial.get(), both.get(), missed.get(), typed.get()})
        ASSERT_EQ(1, m_Layer.Load(entry));
    EXPECT_EQ(std::u16string(u"Autobahn"), partial->GetNotes());
    EXPECT_EQ(std::u16string(), both->GetNotes());
    EXPECT_EQ(std::u16string(u"Partial fill-ups are dear"), typed->GetNotes());

    // Once: a note written afterwards by hand stays a note.
    auto later = Fuel(2200, u"Partial fill-up");
    ASSERT_EQ(1, m_Layer.ConvertFillNotes(u"Partial fill-up", u"Missed fill-up before this one"));
    EXPECT_EQ(0u, FlagsRead(*later));
}

TEST_F(FillFlagsTest, AHandMadeTableOfThatNameIsReadAsNoFlagsAndTheCheckSaysWhat) {
    auto entry = Fuel(1000);
    auto repair = Fuel(1200);
    {
        SqliteFile file(m_File.Path());
        file.Exec("CREATE TABLE FillFlag (Something TEXT)");
    }
    m_Layer.Disconnect();
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_EQ(0u, FlagsRead(*entry));
    EXPECT_EQ(0, m_Layer.SetFillFlags(entry.get(), CDataLayer::FillPartial));
    CEntryFilter filter;
    std::vector<CDataLayer::FigureRow> rows;
    ASSERT_EQ(1, m_Layer.LoadFigureRows(rows, filter));
    EXPECT_EQ(2u, rows.size());
    ASSERT_EQ(1, m_Layer.Delete(entry.get()));

    CDataFileCheck check;
    ASSERT_EQ(CDataLayer::ConnectOK, check.Run(m_File.WidePath().c_str()));
    ASSERT_EQ(1u, check.Findings().size());
    EXPECT_EQ(CDataFileCheck::Finding::FillFlagTable, check.Findings()[0].kind);
    EXPECT_FALSE(check.NeedsRepair());

    // Flags whose entry is gone, and flags on an entry that is no fill-up.
    {
        SqliteFile file(m_File.Path());
        file.Exec("DROP TABLE FillFlag");
    }
    m_Layer.Disconnect();
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    ASSERT_EQ(1, m_Layer.SetFillFlags(repair.get(), CDataLayer::FillPartial));
    {
        SqliteFile file(m_File.Path());
        file.Exec("INSERT INTO FillFlag VALUES (12345, 1); UPDATE Entry SET Type=2");
    }
    ASSERT_EQ(CDataLayer::ConnectOK, check.Run(m_File.WidePath().c_str()));
    ASSERT_EQ(2u, check.Findings().size());
    EXPECT_EQ(CDataFileCheck::Finding::FillFlagWithoutEntry, check.Findings()[0].kind);
    EXPECT_EQ(12345, check.Findings()[0].rowID);
    EXPECT_EQ(CDataFileCheck::Finding::FillFlagNotFuel, check.Findings()[1].kind);
    EXPECT_EQ(repair->GetID(), check.Findings()[1].rowID);
}
