// Many new rows through one statement: what they store is what a save stores, and their reference
// IDs never meet the table's.

#include "dorvane/datastore/CBulkInsert.h"
#include "dorvane/datastore/CDataLayer.h"
#include "platform/SystemTime.h"
#include "support/CDataLayerTestPeer.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {

class BulkInsertTest : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME now{2026, 3, 0, 10, 8, 15, 30, 0};
        PinSystemTime(&now);
        ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    }
    void TearDown() override { PinSystemTime(nullptr); }

    static void Fill(CEntry& entry, int i) {
        entry.SetVehicleID(3000000001u); // past 2^31: stays unsigned
        entry.SetType(i % 2 ? CEntry::EntryFuel : CEntry::EntryRepair);
        entry.SetDate(45000.123456789 + i);
        entry.SetOdometer(1000 + i);
        entry.SetAmount(33.59f);
        entry.SetCustom1(10.5f);
        entry.SetCustom2(3.199f);
        entry.SetVendor(u"Caf\u00E9 'Shell'");
        entry.SetName(i % 2 ? u"" : u"Oil \U0001F697");
        entry.SetNotes(u"line\nbreak");
    }

    // A row's stored values but its ID and reference ID, as the engine gives them.
    std::string Row(LONG id) {
        return SqliteFile(m_File.Path())
            .Text("SELECT quote(Name)||quote(Notes)||quote(Created)||quote(Modified)||quote(Date)||"
                  "quote(Odometer)||quote(VehicleID)||quote(Type)||quote(Vendor)||quote(Amount)||"
                  "quote(Custom1)||quote(Custom2) FROM Entry WHERE ID=" +
                  std::to_string(id));
    }

    TempDataFile m_File;
    CDataLayer m_Layer;
};

} // namespace

TEST_F(BulkInsertTest, RowsAreStoredAsASaveStoresThem) {
    CBulkInsert<CEntry> bulk(m_Layer);
    ASSERT_TRUE(m_Layer.BeginTransaction());
    for (int i = 0; i < 2; ++i) {
        CEntry saved;
        Fill(saved, i);
        ASSERT_EQ(1, m_Layer.Save(&saved, 0));
        CEntry added;
        Fill(added, i);
        ASSERT_EQ(1, bulk.Insert(added));
        EXPECT_NE(0, added.GetID());
        EXPECT_NE(0u, added.GetRefID());
        EXPECT_FALSE(added.IsDirty());
        EXPECT_EQ(saved.GetDateCreated(), added.GetDateCreated());
        EXPECT_EQ(Row(saved.GetID()), Row(added.GetID()));
    }
    ASSERT_EQ(CDataLayer::CommitOK, m_Layer.Commit());
    EXPECT_EQ(4, SqliteFile(m_File.Path()).Integer("SELECT count(DISTINCT RefID) FROM Entry"));

    std::int64_t longest = 0;
    ASSERT_EQ(1, bulk.LongestText(&longest));
    EXPECT_EQ(static_cast<std::int64_t>(std::string("Caf\xC3\xA9 'Shell'").size()), longest);
}

TEST_F(BulkInsertTest, ReferenceIDsNeverMeetTheTables) {
    SqliteFile(m_File.Path())
        .Exec("INSERT INTO Entry (RefID) VALUES (500); INSERT INTO Entry (RefID) VALUES (501);");
    std::deque<ULONG> draws{500, 0, 502, 502, 501, 503};
    CDataLayerTestPeer::SetRefIDSource(m_Layer, [&draws] {
        const ULONG next = draws.front();
        draws.pop_front();
        return next;
    });
    CBulkInsert<CEntry> bulk(m_Layer);
    CEntry first;
    ASSERT_EQ(1, bulk.Insert(first));
    EXPECT_EQ(502u, first.GetRefID());
    CEntry second;
    ASSERT_EQ(1, bulk.Insert(second));
    EXPECT_EQ(503u, second.GetRefID()); // not the 502 just given, nor the stored 501
    EXPECT_TRUE(draws.empty());

    // A preset ID that the table holds is refused, and so is a source that only clashes.
    CEntry preset;
    preset.SetRefID(500);
    EXPECT_EQ(0, bulk.Insert(preset));
    CDataLayerTestPeer::SetRefIDSource(m_Layer, [] { return 500u; });
    CEntry stuck;
    EXPECT_EQ(0, bulk.Insert(stuck));
    EXPECT_EQ(0, stuck.GetID());
    EXPECT_EQ(4, SqliteFile(m_File.Path()).Integer("SELECT count(*) FROM Entry"));

    m_Layer.Disconnect();
    CEntry unconnected;
    EXPECT_EQ(0, bulk.Insert(unconnected));
}
