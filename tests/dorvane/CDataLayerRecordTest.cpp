// Saving, loading and deleting records through the data layer.

#include "dorvane/datastore/CDataLayer.h"
#include "platform/SystemTime.h"
#include "support/CDataLayerTestPeer.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

namespace {

constexpr ULONG kHighRefID = 3000000001u; // from 2^31 on: must stay unsigned in SQL

double OleDate(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    double date = 0.0;
    SystemTimeToVariantTime(&st, &date);
    return date;
}

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        Pin(10, 8, 15, 30);
        ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    }
    void TearDown() override { PinSystemTime(nullptr); }

    // Pins the clock to a time on a day of March 2026 and returns it as an OLE date.
    double Pin(WORD day, WORD hour, WORD minute, WORD second) {
        SYSTEMTIME st{2026, 3, 0, day, hour, minute, second, 0};
        PinSystemTime(&st);
        return OleDate(2026, 3, day, hour, minute, second);
    }

    CVehicle* NewVehicle(LPCWSTR name, ULONG refID = 0) {
        auto* vehicle = new CVehicle;
        vehicle->SetName(name);
        vehicle->SetRefID(refID);
        m_Vehicles.Add(vehicle);
        EXPECT_EQ(1, m_Layer.Save(vehicle, 0));
        return vehicle;
    }

    CEntry* NewEntry(ULONG vehicleRefID, CEntry::Type type, LONG odometer, LPCWSTR name = u"") {
        auto* entry = new CEntry;
        entry->SetVehicleID(vehicleRefID);
        entry->SetType(type);
        entry->SetOdometer(odometer);
        entry->SetName(name);
        m_Entries.Add(entry);
        EXPECT_EQ(1, m_Layer.Save(entry, 0));
        return entry;
    }

    CNotification* NewReminder(ULONG vehicleRefID, LPCWSTR name) {
        auto* reminder = new CNotification;
        reminder->SetVehicleID(vehicleRefID);
        reminder->SetName(name);
        m_Reminders.Add(reminder);
        EXPECT_EQ(1, m_Layer.Save(reminder, 0));
        return reminder;
    }

    std::int64_t Count(const std::string& sql) { return SqliteFile(m_File.Path()).Integer(sql); }

    TempDataFile m_File;
    CDataLayer m_Layer;
    CObjectListT<CVehicle> m_Vehicles;
    CObjectListT<CEntry> m_Entries;
    CObjectListT<CNotification> m_Reminders;
};

// Saving --------------------------------------------------------------------------------------

TEST_F(RecordTest, FirstSaveGivesIdentityAndLaterSavesKeepIt) {
    const double firstNow = Pin(10, 8, 15, 30);
    CVehicle vehicle;
    vehicle.SetName(u"Van");
    ASSERT_TRUE(vehicle.IsDirty());
    ASSERT_EQ(1, m_Layer.Save(&vehicle, 0));

    EXPECT_GT(vehicle.GetID(), 0);
    EXPECT_NE(0u, vehicle.GetRefID());
    EXPECT_EQ(static_cast<ULONG>(vehicle.GetID()),
              m_Layer.GetID(CBaseObject::ObjectTypeVehicle, vehicle.GetRefID()));
    EXPECT_DOUBLE_EQ(firstNow, vehicle.GetDateCreated());
    EXPECT_DOUBLE_EQ(firstNow, vehicle.GetDateModified());
    EXPECT_FALSE(vehicle.IsDirty());

    const LONG id = vehicle.GetID();
    const ULONG refID = vehicle.GetRefID();
    const double laterNow = Pin(11, 9, 0, 0);
    vehicle.SetName(u"Old van");
    ASSERT_EQ(1, m_Layer.Save(&vehicle, 0));
    EXPECT_EQ(id, vehicle.GetID());
    EXPECT_EQ(refID, vehicle.GetRefID());
    EXPECT_DOUBLE_EQ(firstNow, vehicle.GetDateCreated());
    EXPECT_DOUBLE_EQ(laterNow, vehicle.GetDateModified());
    EXPECT_FALSE(vehicle.IsDirty());

    CVehicle loaded;
    loaded.SetID(id);
    ASSERT_EQ(1, m_Layer.Load(&loaded));
    EXPECT_EQ(std::u16string(u"Old van"), loaded.GetName());
    EXPECT_NEAR(firstNow, loaded.GetDateCreated(), 1e-6);
    EXPECT_NEAR(laterNow, loaded.GetDateModified(), 1e-6);
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
}

TEST_F(RecordTest, PresetRefIDIsKeptAndPreservedDatesAreStored) {
    const double created = OleDate(2020, 5, 1, 12, 0, 0);
    const double modified = OleDate(2021, 6, 2, 13, 30, 0);
    CEntry entry;
    entry.SetRefID(kHighRefID);
    entry.SetDateCreated(created);
    entry.SetDateModified(modified);
    ASSERT_EQ(1, m_Layer.Save(&entry, 1));
    EXPECT_EQ(kHighRefID, entry.GetRefID());
    EXPECT_DOUBLE_EQ(created, entry.GetDateCreated());
    EXPECT_DOUBLE_EQ(modified, entry.GetDateModified());

    CEntry loaded;
    loaded.SetID(entry.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loaded));
    EXPECT_EQ(kHighRefID, loaded.GetRefID());
    EXPECT_NEAR(created, loaded.GetDateCreated(), 1e-6);
    EXPECT_NEAR(modified, loaded.GetDateModified(), 1e-6);
}

TEST_F(RecordTest, EveryVehicleFieldRoundTrips) {
    CVehicle vehicle;
    vehicle.SetName(u"Name");
    vehicle.SetNotes(u"Notes");
    vehicle.SetLicensePlate(u"Plate");
    vehicle.SetVIN(u"VIN");
    vehicle.SetDealerName(u"Dealer");
    vehicle.SetDealerPhone(u"555-1");
    vehicle.SetDealerAddress(u"Main St");
    vehicle.SetInsurancePolicyNumber(u"P-1");
    vehicle.SetInsuranceAgentName(u"Agent");
    vehicle.SetInsuranceAgentPhone(u"555-2");
    vehicle.SetInsuranceCoverage(u"Full");
    vehicle.SetInsuranceExpirationDate(OleDate(2027, 1, 31, 0, 0, 0));
    vehicle.SetCurrentOdometer(123456);
    vehicle.SetYear(2019);
    vehicle.SetImagePath(u"/pics/van.png");
    ASSERT_EQ(1, m_Layer.Save(&vehicle, 0));

    CVehicle loaded;
    loaded.SetRefID(vehicle.GetRefID());
    ASSERT_EQ(1, m_Layer.LoadByRefID(&loaded));
    EXPECT_EQ(vehicle.GetID(), loaded.GetID());
    EXPECT_EQ(std::u16string(u"Name"), loaded.GetName());
    EXPECT_EQ(std::u16string(u"Notes"), loaded.GetNotes());
    EXPECT_EQ(std::u16string(u"Plate"), loaded.GetLicensePlate());
    EXPECT_EQ(std::u16string(u"VIN"), loaded.GetVIN());
    EXPECT_EQ(std::u16string(u"Dealer"), loaded.GetDealerName());
    EXPECT_EQ(std::u16string(u"555-1"), loaded.GetDealerPhone());
    EXPECT_EQ(std::u16string(u"Main St"), loaded.GetDealerAddress());
    EXPECT_EQ(std::u16string(u"P-1"), loaded.GetInsurancePolicyNumber());
    EXPECT_EQ(std::u16string(u"Agent"), loaded.GetInsuranceAgentName());
    EXPECT_EQ(std::u16string(u"555-2"), loaded.GetInsuranceAgentPhone());
    EXPECT_EQ(std::u16string(u"Full"), loaded.GetInsuranceCoverage());
    EXPECT_NEAR(vehicle.GetInsuranceExpirationDate(), loaded.GetInsuranceExpirationDate(), 1e-6);
    EXPECT_EQ(123456, loaded.GetCurrentOdometer());
    EXPECT_EQ(2019, loaded.GetYear());
    EXPECT_EQ(std::u16string(u"/pics/van.png"), loaded.GetImagePath());
    EXPECT_FALSE(loaded.IsDirty());

    // The update writes every field too.
    vehicle.SetLicensePlate(u"New plate");
    vehicle.SetCurrentOdometer(130000);
    vehicle.SetYear(2020);
    vehicle.SetImagePath(u"");
    ASSERT_EQ(1, m_Layer.Save(&vehicle, 0));
    ASSERT_EQ(1, m_Layer.Load(&loaded));
    EXPECT_EQ(std::u16string(u"New plate"), loaded.GetLicensePlate());
    EXPECT_EQ(130000, loaded.GetCurrentOdometer());
    EXPECT_EQ(2020, loaded.GetYear());
    EXPECT_EQ(std::u16string(u""), loaded.GetImagePath());
}

TEST_F(RecordTest, EntryKeywordAndReminderFieldsRoundTrip) {
    CEntry entry;
    entry.SetName(u"Trip");
    entry.SetNotes(u"Notes");
    entry.SetDate(OleDate(2026, 2, 28, 17, 45, 0));
    entry.SetOdometer(42000);
    entry.SetVehicleID(kHighRefID);
    entry.SetType(CEntry::EntryTrip);
    entry.SetVendor(u"Business");
    entry.SetAmount(12.5f);
    entry.SetCustom1(41900.0f);
    entry.SetCustom2(42000.0f);
    ASSERT_EQ(1, m_Layer.Save(&entry, 0));
    CEntry loadedEntry;
    loadedEntry.SetID(entry.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loadedEntry));
    EXPECT_EQ(entry.GetRefID(), loadedEntry.GetRefID());
    EXPECT_EQ(std::u16string(u"Trip"), loadedEntry.GetName());
    EXPECT_EQ(std::u16string(u"Notes"), loadedEntry.GetNotes());
    EXPECT_NEAR(entry.GetDate(), loadedEntry.GetDate(), 1e-6);
    EXPECT_EQ(42000, loadedEntry.GetOdometer());
    EXPECT_EQ(kHighRefID, loadedEntry.GetVehicleID());
    EXPECT_EQ(CEntry::EntryTrip, loadedEntry.GetType());
    EXPECT_EQ(std::u16string(u"Business"), loadedEntry.GetVendor());
    EXPECT_FLOAT_EQ(12.5f, loadedEntry.GetAmount());
    EXPECT_FLOAT_EQ(41900.0f, loadedEntry.GetCustom1());
    EXPECT_FLOAT_EQ(42000.0f, loadedEntry.GetCustom2());
    EXPECT_FALSE(loadedEntry.IsDirty());

    CKeyword keyword;
    keyword.SetName(u"Car park");
    keyword.SetType(CKeyword::KeywordExpense);
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    CKeyword loadedKeyword;
    loadedKeyword.SetID(keyword.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loadedKeyword));
    EXPECT_EQ(std::u16string(u"Car park"), loadedKeyword.GetName());
    EXPECT_EQ(CKeyword::KeywordExpense, loadedKeyword.GetType());
    EXPECT_EQ(keyword.GetRefID(), loadedKeyword.GetRefID());

    CNotification reminder;
    reminder.SetName(u"Oil change");
    reminder.SetDate(OleDate(2026, 6, 1, 0, 0, 0));
    reminder.SetOdometer(45000);
    reminder.SetVehicleID(kHighRefID);
    ASSERT_EQ(1, m_Layer.Save(&reminder, 0));
    CNotification loadedReminder;
    loadedReminder.SetID(reminder.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loadedReminder));
    EXPECT_EQ(std::u16string(u"Oil change"), loadedReminder.GetName());
    EXPECT_NEAR(reminder.GetDate(), loadedReminder.GetDate(), 1e-6);
    EXPECT_EQ(45000, loadedReminder.GetOdometer());
    EXPECT_EQ(kHighRefID, loadedReminder.GetVehicleID());

    // Updates write the changeable fields.
    entry.SetOdometer(42100);
    entry.SetVendor(u"Personal");
    entry.SetAmount(13.25f);
    ASSERT_EQ(1, m_Layer.Save(&entry, 0));
    ASSERT_EQ(1, m_Layer.Load(&loadedEntry));
    EXPECT_EQ(42100, loadedEntry.GetOdometer());
    EXPECT_EQ(std::u16string(u"Personal"), loadedEntry.GetVendor());
    EXPECT_FLOAT_EQ(13.25f, loadedEntry.GetAmount());

    reminder.SetOdometer(46000);
    reminder.SetName(u"Oil and filter");
    ASSERT_EQ(1, m_Layer.Save(&reminder, 0));
    ASSERT_EQ(1, m_Layer.Load(&loadedReminder));
    EXPECT_EQ(46000, loadedReminder.GetOdometer());
    EXPECT_EQ(std::u16string(u"Oil and filter"), loadedReminder.GetName());
}

TEST_F(RecordTest, UpdatesKeepTheRecordWithItsVehicleAndKind) {
    CEntry entry;
    entry.SetVehicleID(7);
    entry.SetType(CEntry::EntryFuel);
    ASSERT_EQ(1, m_Layer.Save(&entry, 0));
    entry.SetVehicleID(8);
    entry.SetType(CEntry::EntryRepair);
    ASSERT_EQ(1, m_Layer.Save(&entry, 0));
    CEntry loadedEntry;
    loadedEntry.SetID(entry.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loadedEntry));
    EXPECT_EQ(7u, loadedEntry.GetVehicleID());
    EXPECT_EQ(CEntry::EntryFuel, loadedEntry.GetType());

    CKeyword keyword;
    keyword.SetName(u"Kw");
    keyword.SetType(CKeyword::KeywordRepair);
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    keyword.SetType(CKeyword::KeywordFuelVendor);
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    CKeyword loadedKeyword;
    loadedKeyword.SetID(keyword.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loadedKeyword));
    EXPECT_EQ(CKeyword::KeywordRepair, loadedKeyword.GetType());

    CNotification reminder;
    reminder.SetVehicleID(7);
    ASSERT_EQ(1, m_Layer.Save(&reminder, 0));
    reminder.SetVehicleID(8);
    ASSERT_EQ(1, m_Layer.Save(&reminder, 0));
    CNotification loadedReminder;
    loadedReminder.SetID(reminder.GetID());
    ASSERT_EQ(1, m_Layer.Load(&loadedReminder));
    EXPECT_EQ(7u, loadedReminder.GetVehicleID());
}

TEST_F(RecordTest, AwkwardTextsSurviveSaveAndLoad) {
    const std::u16string texts[] = {
        u"O'Brien's ''quoted'' \"car\"",
        u"100% %s %q %d %n %%",
        u"Ünïcödé Ελληνικά Кириллица 日本語 العربية",
        u"\U0001F697 car \U0001D11E clef",
        u"tab\there\nnew line; DROP TABLE Vehicle; --",
        u"\\backslash\\ and 'a'",
    };
    for (const std::u16string& text : texts) {
        CVehicle vehicle;
        vehicle.SetName(text.c_str());
        vehicle.SetNotes(text.c_str());
        vehicle.SetVIN(text.c_str());
        vehicle.SetImagePath(text.c_str());
        ASSERT_EQ(1, m_Layer.Save(&vehicle, 0));
        CVehicle loaded;
        loaded.SetID(vehicle.GetID());
        ASSERT_EQ(1, m_Layer.Load(&loaded));
        EXPECT_EQ(text, loaded.GetName());
        EXPECT_EQ(text, loaded.GetNotes());
        EXPECT_EQ(text, loaded.GetVIN());
        EXPECT_EQ(text, loaded.GetImagePath());

        CEntry entry;
        entry.SetName(text.c_str());
        entry.SetVendor(text.c_str());
        ASSERT_EQ(1, m_Layer.Save(&entry, 0));
        entry.SetNotes(text.c_str()); // through the update statement as well
        ASSERT_EQ(1, m_Layer.Save(&entry, 0));
        CEntry loadedEntry;
        loadedEntry.SetID(entry.GetID());
        ASSERT_EQ(1, m_Layer.Load(&loadedEntry));
        EXPECT_EQ(text, loadedEntry.GetName());
        EXPECT_EQ(text, loadedEntry.GetNotes());
        EXPECT_EQ(text, loadedEntry.GetVendor());

        CKeyword keyword;
        keyword.SetName(text.c_str());
        ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
        CKeyword loadedKeyword;
        loadedKeyword.SetID(keyword.GetID());
        ASSERT_EQ(1, m_Layer.Load(&loadedKeyword));
        EXPECT_EQ(text, loadedKeyword.GetName());

        CNotification reminder;
        reminder.SetName(text.c_str());
        ASSERT_EQ(1, m_Layer.Save(&reminder, 0));
        CNotification loadedReminder;
        loadedReminder.SetID(reminder.GetID());
        ASSERT_EQ(1, m_Layer.Load(&loadedReminder));
        EXPECT_EQ(text, loadedReminder.GetName());
    }
    EXPECT_EQ(6, Count("SELECT COUNT(*) FROM Vehicle"));
}

TEST_F(RecordTest, FailedSaveLeavesTheRecordAsItWas) {
    SqliteFile(m_File.Path()).Exec("DROP TABLE Notification");
    CNotification reminder;
    reminder.SetName(u"Lost");
    reminder.SetDateModified(5.0);
    EXPECT_EQ(0, m_Layer.Save(&reminder, 0));
    EXPECT_EQ(0, reminder.GetID());
    EXPECT_EQ(0u, reminder.GetRefID());
    EXPECT_TRUE(reminder.IsDirty());
    EXPECT_EQ(0.0, reminder.GetDateCreated());
    EXPECT_EQ(5.0, reminder.GetDateModified());
}

TEST_F(RecordTest, NewRefIDsSkipThoseAlreadyInTheTable) {
    // Rows already hold 500 and 501; the draw offers them first.
    SqliteFile(m_File.Path())
        .Exec("INSERT INTO Entry (RefID) VALUES (500); INSERT INTO Entry (RefID) VALUES (501);");
    std::deque<ULONG> draws{500, 501, 0, 502};
    CDataLayerTestPeer::SetRefIDSource(m_Layer, [&draws] {
        const ULONG next = draws.front();
        draws.pop_front();
        return next;
    });
    CEntry entry;
    ASSERT_EQ(1, m_Layer.Save(&entry, 0));
    EXPECT_EQ(502u, entry.GetRefID());
    EXPECT_TRUE(draws.empty());

    // Another table does not count; a preset clash is the caller's to keep.
    draws = {500};
    CKeyword keyword;
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    EXPECT_EQ(500u, keyword.GetRefID());
    CEntry preset;
    preset.SetRefID(501);
    ASSERT_EQ(1, m_Layer.Save(&preset, 0));
    EXPECT_EQ(501u, preset.GetRefID());

    // A source that only clashes makes the save fail rather than spin.
    CDataLayerTestPeer::SetRefIDSource(m_Layer, [] { return 500u; });
    CEntry stuck;
    EXPECT_EQ(0, m_Layer.Save(&stuck, 0));
    EXPECT_EQ(0, stuck.GetID());
    EXPECT_EQ(0u, stuck.GetRefID());
}

// Loading -------------------------------------------------------------------------------------

TEST_F(RecordTest, LoadOfAMissingRowLeavesTheRecordAlone) {
    CVehicle vehicle;
    vehicle.SetID(999);
    vehicle.SetName(u"Kept");
    EXPECT_EQ(0, m_Layer.Load(&vehicle));
    EXPECT_EQ(std::u16string(u"Kept"), vehicle.GetName());
    EXPECT_TRUE(vehicle.IsDirty());

    CVehicle unsaved;
    EXPECT_EQ(0, m_Layer.Load(&unsaved));
    EXPECT_EQ(0, m_Layer.LoadByRefID(&unsaved));
    unsaved.SetRefID(12345);
    EXPECT_EQ(0, m_Layer.LoadByRefID(&unsaved));
}

TEST_F(RecordTest, NullTextColumnEmptiesAFieldHoldingText) {
    CVehicle* vehicle = NewVehicle(u"Named");
    SqliteFile(m_File.Path()).Exec("UPDATE Vehicle SET Name=NULL, VIN=NULL");
    CVehicle loaded;
    loaded.SetID(vehicle->GetID());
    loaded.SetName(u"Stale");
    loaded.SetVIN(u"Stale VIN");
    ASSERT_EQ(1, m_Layer.Load(&loaded));
    EXPECT_EQ(std::u16string(), loaded.GetName());
    EXPECT_EQ(std::u16string(), loaded.GetVIN());
    EXPECT_FALSE(loaded.IsDirty());
}

TEST_F(RecordTest, ListLoadsFollowTheirSelection) {
    CVehicle* van = NewVehicle(u"Van", kHighRefID);
    CVehicle* car = NewVehicle(u"Car");
    NewEntry(van->GetRefID(), CEntry::EntryFuel, 100);
    NewEntry(van->GetRefID(), CEntry::EntryFuel, 200);
    NewEntry(van->GetRefID(), CEntry::EntryRepair, 300);
    NewEntry(car->GetRefID(), CEntry::EntryFuel, 400);
    NewReminder(van->GetRefID(), u"Tyres");
    NewReminder(car->GetRefID(), u"Wipers");
    NewReminder(car->GetRefID(), u"Brakes");

    CObjectListT<CVehicle> vehicles;
    ASSERT_EQ(1, m_Layer.Load(vehicles));
    ASSERT_EQ(2, vehicles.GetCount());
    EXPECT_EQ(std::u16string(u"Van"), vehicles.Get(0)->GetName());
    EXPECT_EQ(kHighRefID, vehicles.Get(0)->GetRefID());

    CObjectListT<CEntry> entries;
    CEntryFilter filter;
    ASSERT_EQ(1, m_Layer.Load(entries, filter));
    EXPECT_EQ(4, entries.GetCount());
    filter.SetVehicleID(van->GetRefID());
    ASSERT_EQ(1, m_Layer.Load(entries, filter)); // replaces what the list held
    EXPECT_EQ(3, entries.GetCount());
    filter.SetEntryType(CEntry::EntryFuel);
    ASSERT_EQ(1, m_Layer.Load(entries, filter));
    ASSERT_EQ(2, entries.GetCount());
    for (int i = 0; i < entries.GetCount(); ++i) {
        EXPECT_EQ(kHighRefID, entries.Get(i)->GetVehicleID());
        EXPECT_EQ(CEntry::EntryFuel, entries.Get(i)->GetType());
        EXPECT_FALSE(entries.Get(i)->IsDirty());
    }
    filter.SetVehicleID(12345);
    ASSERT_EQ(1, m_Layer.Load(entries, filter)); // no rows is still success
    EXPECT_EQ(0, entries.GetCount());

    CObjectListT<CKeyword> keywords;
    ASSERT_EQ(1, m_Layer.Load(keywords, CKeyword::KeywordAll));
    EXPECT_EQ(18, keywords.GetCount());
    ASSERT_EQ(1, m_Layer.Load(keywords, CKeyword::KeywordFuelVendor));
    ASSERT_EQ(4, keywords.GetCount());
    for (int i = 0; i < keywords.GetCount(); ++i) {
        EXPECT_EQ(CKeyword::KeywordFuelVendor, keywords.Get(i)->GetType());
    }

    CObjectListT<CNotification> reminders;
    ASSERT_EQ(1, m_Layer.Load(reminders, car->GetRefID()));
    EXPECT_EQ(2, reminders.GetCount());
    ASSERT_EQ(1, m_Layer.Load(reminders, van->GetRefID()));
    ASSERT_EQ(1, reminders.GetCount());
    EXPECT_EQ(std::u16string(u"Tyres"), reminders.Get(0)->GetName());
    ASSERT_EQ(1, m_Layer.Load(reminders, 0));
    EXPECT_EQ(3, reminders.GetCount());
}

TEST_F(RecordTest, EntriesLoadInTheOrderTheyWereStored) {
    // Statistics take the first loaded entry as the oldest, so no index may reorder them.
    const LONG odometers[] = {300, 100, 200, 50};
    for (LONG odometer : odometers) {
        NewEntry(kHighRefID, CEntry::EntryFuel, odometer);
    }
    CObjectListT<CEntry> entries;
    CEntryFilter filter;
    filter.SetVehicleID(kHighRefID);
    ASSERT_EQ(1, m_Layer.Load(entries, filter));
    ASSERT_EQ(4, entries.GetCount());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(odometers[i], entries.Get(i)->GetOdometer()) << i;
    }
}

TEST_F(RecordTest, FailedListLoadLeavesTheListEmpty) {
    SqliteFile(m_File.Path()).Exec("DROP TABLE Keyword");
    CObjectListT<CKeyword> keywords;
    keywords.Add(new CKeyword);
    EXPECT_EQ(0, m_Layer.Load(keywords, CKeyword::KeywordAll));
    EXPECT_EQ(0, keywords.GetCount());
}

// Deleting ------------------------------------------------------------------------------------

TEST_F(RecordTest, VehicleDeleteTakesExactlyItsEntriesAndReminders) {
    CVehicle* van = NewVehicle(u"Van", kHighRefID);
    CVehicle* car = NewVehicle(u"Car", 77);
    NewEntry(van->GetRefID(), CEntry::EntryFuel, 100);
    NewEntry(van->GetRefID(), CEntry::EntryTrip, 200);
    NewEntry(car->GetRefID(), CEntry::EntryFuel, 300);
    NewReminder(van->GetRefID(), u"Tyres");
    NewReminder(car->GetRefID(), u"Wipers");

    ASSERT_EQ(1, m_Layer.Delete(van));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Vehicle WHERE RefID=3000000001"));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Entry WHERE VehicleID=3000000001"));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Notification WHERE VehicleID=3000000001"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Entry"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Notification"));
    EXPECT_EQ(18, Count("SELECT COUNT(*) FROM Keyword"));
    EXPECT_EQ(van->GetRefID(), kHighRefID); // the object itself is untouched
}

TEST_F(RecordTest, VehicleDeleteFollowsTheCallersTransaction) {
    CVehicle* van = NewVehicle(u"Van", kHighRefID);
    NewEntry(van->GetRefID(), CEntry::EntryFuel, 100);
    NewReminder(van->GetRefID(), u"Tyres");

    ASSERT_EQ(1, m_Layer.BeginTransaction());
    ASSERT_EQ(1, m_Layer.Delete(van));
    ASSERT_EQ(1, m_Layer.RollBack());
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Entry"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Notification"));

    ASSERT_EQ(1, m_Layer.BeginTransaction());
    ASSERT_EQ(1, m_Layer.Delete(van));
    ASSERT_EQ(CDataLayer::CommitOK, m_Layer.Commit());
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Entry"));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Notification"));
}

// Makes the engine refuse every DELETE from the named table, so that one step of a cascade fails.
int RefuseDeletesFrom(void* table, int action, const char* name, const char*, const char*, const char*) {
    return action == SQLITE_DELETE && name && std::strcmp(name, static_cast<const char*>(table)) == 0
               ? SQLITE_DENY
               : SQLITE_OK;
}

TEST_F(RecordTest, VehicleDeleteIsAllOrNothing) {
    CVehicle* van = NewVehicle(u"Van", kHighRefID);
    NewEntry(van->GetRefID(), CEntry::EntryFuel, 100);
    NewReminder(van->GetRefID(), u"Tyres");
    sqlite3* handle = CDataLayerTestPeer::Handle(m_Layer);

    // The last step of the cascade fails: the vehicle and its entries stay.
    static char notification[] = "Notification";
    sqlite3_set_authorizer(handle, RefuseDeletesFrom, notification);
    EXPECT_EQ(0, m_Layer.Delete(van));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Entry"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Notification"));

    // Inside a caller's transaction only the cascade is undone, and the transaction goes on.
    ASSERT_EQ(1, m_Layer.BeginTransaction());
    CKeyword keyword;
    keyword.SetName(u"Before");
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    EXPECT_EQ(0, m_Layer.Delete(van));
    ASSERT_EQ(CDataLayer::CommitOK, m_Layer.Commit());
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Keyword WHERE Name='Before'"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Entry"));

    // The vehicle row itself refusing to go.
    static char vehicle[] = "Vehicle";
    sqlite3_set_authorizer(handle, RefuseDeletesFrom, vehicle);
    EXPECT_EQ(0, m_Layer.Delete(van));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Notification"));
    sqlite3_set_authorizer(handle, nullptr, nullptr);
}

TEST_F(RecordTest, DeletingAnUnsavedRecordTouchesNothing) {
    CVehicle* van = NewVehicle(u"Van");
    NewEntry(van->GetRefID(), CEntry::EntryFuel, 100);
    NewReminder(van->GetRefID(), u"Tyres");

    CVehicle vehicle;
    CEntry entry;
    CKeyword keyword;
    CNotification reminder;
    EXPECT_EQ(0, m_Layer.Delete(&vehicle));
    EXPECT_EQ(0, m_Layer.Delete(&entry));
    EXPECT_EQ(0, m_Layer.Delete(&keyword));
    EXPECT_EQ(0, m_Layer.Delete(&reminder));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Entry"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Notification"));
    EXPECT_EQ(18, Count("SELECT COUNT(*) FROM Keyword"));
}

TEST_F(RecordTest, SingleRecordsAndWholeTablesAreDeleted) {
    CEntry* first = NewEntry(1, CEntry::EntryFuel, 100);
    CEntry* second = NewEntry(1, CEntry::EntryFuel, 200);
    CNotification* reminder = NewReminder(1, u"Tyres");

    ASSERT_EQ(1, m_Layer.Delete(first));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Entry"));
    ASSERT_EQ(1, m_Layer.Delete(CBaseObject::ObjectTypeEntry, static_cast<ULONG>(second->GetID())));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Entry"));
    ASSERT_EQ(1, m_Layer.Delete(reminder));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Notification"));

    CObjectListT<CKeyword> keywords;
    ASSERT_EQ(1, m_Layer.Load(keywords, CKeyword::KeywordRepair));
    ASSERT_EQ(1, m_Layer.Delete(keywords.Get(0)));
    EXPECT_EQ(17, Count("SELECT COUNT(*) FROM Keyword"));

    EXPECT_EQ(0, m_Layer.Delete(CBaseObject::ObjectTypeKeyword, 0x80000000u)); // not a row ID
    EXPECT_EQ(0, m_Layer.Delete(CBaseObject::ObjectTypeNone, 0));
    EXPECT_EQ(0, m_Layer.Delete(static_cast<CBaseObject::ObjectType>(9), 1));
    EXPECT_EQ(17, Count("SELECT COUNT(*) FROM Keyword"));
    ASSERT_EQ(1, m_Layer.Delete(CBaseObject::ObjectTypeKeyword, 0));
    EXPECT_EQ(0, Count("SELECT COUNT(*) FROM Keyword"));
}

// Lookups and odometers -----------------------------------------------------------------------

TEST_F(RecordTest, GetIDFindsRowsByReferenceID) {
    CVehicle* van = NewVehicle(u"Van", kHighRefID);
    CEntry* entry = NewEntry(van->GetRefID(), CEntry::EntryFuel, 100);
    EXPECT_EQ(static_cast<ULONG>(van->GetID()), m_Layer.GetID(CBaseObject::ObjectTypeVehicle, kHighRefID));
    EXPECT_EQ(static_cast<ULONG>(entry->GetID()),
              m_Layer.GetID(CBaseObject::ObjectTypeEntry, entry->GetRefID()));
    EXPECT_EQ(0u, m_Layer.GetID(CBaseObject::ObjectTypeEntry, kHighRefID));
    EXPECT_EQ(0u, m_Layer.GetID(CBaseObject::ObjectTypeNone, kHighRefID));
    EXPECT_NE(0u, m_Layer.GetID(CBaseObject::ObjectTypeKeyword, 1)); // the template's first keyword
}

TEST_F(RecordTest, MaxOdometerIsPerVehicle) {
    LONG odometer = -1;
    ASSERT_EQ(1, m_Layer.GetMaxOdometer(kHighRefID, &odometer));
    EXPECT_EQ(0, odometer);

    NewEntry(kHighRefID, CEntry::EntryFuel, 1500);
    NewEntry(kHighRefID, CEntry::EntryTrip, 2500);
    NewEntry(kHighRefID, CEntry::EntryFuel, 2000);
    NewEntry(5, CEntry::EntryFuel, 9000);
    ASSERT_EQ(1, m_Layer.GetMaxOdometer(kHighRefID, &odometer));
    EXPECT_EQ(2500, odometer);
    ASSERT_EQ(1, m_Layer.GetMaxOdometer(5, &odometer));
    EXPECT_EQ(9000, odometer);
}

TEST_F(RecordTest, UpdateCurrentOdometerWritesRowAndRecord) {
    Pin(10, 8, 0, 0);
    CVehicle* van = NewVehicle(u"Van");
    const double later = Pin(12, 18, 30, 0);

    CVehicle unsaved;
    EXPECT_EQ(0, m_Layer.UpdateCurrentOdometer(&unsaved, 5));
    EXPECT_EQ(20000, unsaved.GetCurrentOdometer());

    ASSERT_EQ(1, m_Layer.UpdateCurrentOdometer(van, 31337));
    EXPECT_EQ(31337, van->GetCurrentOdometer());
    EXPECT_DOUBLE_EQ(later, van->GetDateModified());
    EXPECT_TRUE(van->IsDirty()); // the setter marked the change; only saves and loads clear it

    CVehicle loaded;
    loaded.SetID(van->GetID());
    ASSERT_EQ(1, m_Layer.Load(&loaded));
    EXPECT_EQ(31337, loaded.GetCurrentOdometer());
    EXPECT_NEAR(later, loaded.GetDateModified(), 1e-6);
}

TEST_F(RecordTest, NothingHappensWithoutAConnection) {
    CVehicle* van = NewVehicle(u"Van");
    m_Layer.Disconnect();

    CVehicle vehicle;
    CEntry entry;
    CKeyword keyword;
    CNotification reminder;
    EXPECT_EQ(0, m_Layer.Save(&vehicle, 0));
    EXPECT_EQ(0, m_Layer.Save(&entry, 0));
    EXPECT_EQ(0, m_Layer.Save(&keyword, 0));
    EXPECT_EQ(0, m_Layer.Save(&reminder, 0));
    EXPECT_EQ(0, m_Layer.Load(van));
    EXPECT_EQ(0, m_Layer.LoadByRefID(van));
    EXPECT_EQ(0, m_Layer.Delete(van));
    EXPECT_EQ(0, m_Layer.Delete(CBaseObject::ObjectTypeKeyword, 0));
    EXPECT_EQ(0u, m_Layer.GetID(CBaseObject::ObjectTypeVehicle, van->GetRefID()));
    LONG odometer = -1;
    EXPECT_EQ(0, m_Layer.GetMaxOdometer(van->GetRefID(), &odometer));
    EXPECT_EQ(-1, odometer);
    EXPECT_EQ(0, m_Layer.UpdateCurrentOdometer(van, 1));

    // A list is not touched when there is no file to load from.
    CObjectListT<CVehicle> vehicles;
    vehicles.Add(new CVehicle);
    EXPECT_EQ(0, m_Layer.Load(vehicles));
    EXPECT_EQ(1, vehicles.GetCount());
    EXPECT_EQ(0, vehicle.GetID());
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(18, Count("SELECT COUNT(*) FROM Keyword"));
}

} // namespace
