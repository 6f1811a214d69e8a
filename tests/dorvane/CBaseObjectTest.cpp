#include "platform/SystemTime.h"
#include "records/CEntry.h"
#include "records/CKeyword.h"
#include "records/CNotification.h"
#include "records/CVehicle.h"

#include "support/PinnedClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Pins the platform clock for the lifetime of the guard.
std::u16string S(LPCWSTR text) {
    return text ? std::u16string(text) : u"<null>";
}

} // namespace

TEST(Records, BaseDefaultsAndObjectTypes) {
    CBaseObject base;
    EXPECT_EQ(base.GetObjectType(), CBaseObject::ObjectTypeNone);
    EXPECT_EQ(base.GetID(), 0);
    EXPECT_EQ(base.GetRefID(), 0u);
    EXPECT_EQ(base.GetDateCreated(), 0.0);
    EXPECT_EQ(base.GetDateModified(), 0.0);
    EXPECT_EQ(base.IsDirty(), 0);
    EXPECT_EQ(S(base.GetName()), u"");
    EXPECT_EQ(S(base.GetNotes()), u"");

    EXPECT_EQ(CVehicle().GetObjectType(), CBaseObject::ObjectTypeVehicle);
    EXPECT_EQ(CEntry().GetObjectType(), CBaseObject::ObjectTypeEntry);
    EXPECT_EQ(CNotification().GetObjectType(), CBaseObject::ObjectTypeNotification);
    EXPECT_EQ(CKeyword().GetObjectType(), CBaseObject::ObjectTypeKeyword);
}

TEST(Records, NewVehicleDefaults) {
    PinnedClock clock(MakeTime(2024, 6, 15, 13, 45, 30, 500));
    CVehicle vehicle;
    EXPECT_EQ(vehicle.GetCurrentOdometer(), 20000);
    EXPECT_EQ(vehicle.GetYear(), 2002);
    EXPECT_DOUBLE_EQ(vehicle.GetInsuranceExpirationDate(), 45657.0); // 31 December 2024, 00:00
    EXPECT_EQ(vehicle.IsDirty(), 0);
    for (LPCWSTR text :
         {vehicle.GetLicensePlate(), vehicle.GetVIN(), vehicle.GetDealerName(), vehicle.GetDealerPhone(),
          vehicle.GetDealerAddress(), vehicle.GetInsurancePolicyNumber(), vehicle.GetInsuranceAgentName(),
          vehicle.GetInsuranceAgentPhone(), vehicle.GetInsuranceCoverage(), vehicle.GetImagePath()})
        EXPECT_EQ(S(text), u"");
}

TEST(Records, NewEntryAndReminderDefaults) {
    {
        PinnedClock clock(MakeTime(2024, 3, 10, 8, 15));
        CEntry entry;
        EXPECT_NEAR(entry.GetDate(), 45361.34375, 1e-9); // 10 March 2024, 08:15 UTC
        EXPECT_EQ(entry.GetType(), CEntry::EntryNone);
        EXPECT_EQ(entry.GetAmount(), 0.0f);
        EXPECT_EQ(entry.GetCustom1(), 0.0f);
        EXPECT_EQ(entry.GetCustom2(), 0.0f);
        EXPECT_EQ(entry.GetOdometer(), 0);
        EXPECT_EQ(entry.GetVehicleID(), 0u);
        EXPECT_EQ(S(entry.GetVendor()), u"");
    }

    // Unpinned: the entry is stamped with the live clock.
    SYSTEMTIME before{};
    SYSTEMTIME after{};
    double low = 0.0;
    double high = 0.0;
    GetSystemTime(&before);
    CEntry entry;
    GetSystemTime(&after);
    SystemTimeToVariantTime(&before, &low);
    SystemTimeToVariantTime(&after, &high);
    EXPECT_GE(entry.GetDate(), low);
    EXPECT_LE(entry.GetDate(), high);

    CNotification reminder;
    EXPECT_EQ(reminder.GetDate(), 0.0);
    EXPECT_EQ(reminder.GetOdometer(), 0);
    EXPECT_EQ(reminder.GetVehicleID(), 0u);
    EXPECT_EQ(CKeyword().GetType(), CKeyword::KeywordAll);
}

TEST(Records, NumericSettersMarkDirtyOnlyOnChange) {
    CEntry entry;
    entry.SetOdometer(0);
    entry.SetAmount(-0.0f); // equal by value
    EXPECT_EQ(entry.IsDirty(), 0);

    entry.SetOdometer(12345);
    EXPECT_EQ(entry.IsDirty(), 1);
    entry.SetOdometer(0);
    EXPECT_EQ(entry.IsDirty(), 1) << "setting the old value back does not clear the flag";
    entry.SetDirty(0);
    EXPECT_EQ(entry.IsDirty(), 0);

    entry.SetType(CEntry::EntryTrip);
    EXPECT_EQ(entry.IsDirty(), 1);

    CVehicle vehicle;
    vehicle.SetYear(2002);
    vehicle.SetCurrentOdometer(20000);
    vehicle.SetInsuranceExpirationDate(vehicle.GetInsuranceExpirationDate());
    EXPECT_EQ(vehicle.IsDirty(), 0);
    vehicle.SetInsuranceExpirationDate(1.5);
    EXPECT_EQ(vehicle.IsDirty(), 1);

    CNotification reminder;
    reminder.SetVehicleID(4000000000u);
    EXPECT_EQ(reminder.IsDirty(), 1);
    EXPECT_EQ(reminder.GetVehicleID(), 4000000000u);
}

TEST(Records, PlainStoresAndKeywordTypeNeverMarkDirty) {
    CKeyword keyword;
    keyword.SetID(5);
    keyword.SetRefID(77);
    keyword.SetDateCreated(45000.5);
    keyword.SetDateModified(45001.5);
    keyword.SetType(CKeyword::KeywordFuelVendor);
    EXPECT_EQ(keyword.IsDirty(), 0);
    EXPECT_EQ(keyword.GetType(), CKeyword::KeywordFuelVendor);
    EXPECT_EQ(keyword.GetID(), 5);
    EXPECT_EQ(keyword.GetRefID(), 77u);
    EXPECT_EQ(keyword.GetDateCreated(), 45000.5);
    EXPECT_EQ(keyword.GetDateModified(), 45001.5);
}

TEST(Records, TextSettersFollowTheDirtyRule) {
    CVehicle vehicle;
    vehicle.SetName(u"");
    vehicle.SetNotes(nullptr);
    EXPECT_EQ(vehicle.IsDirty(), 0);
    EXPECT_EQ(S(vehicle.GetName()), u"");

    vehicle.SetName(u"Golf");
    EXPECT_EQ(vehicle.IsDirty(), 1);
    vehicle.SetDirty(0);
    vehicle.SetName(u"Golf");
    EXPECT_EQ(vehicle.IsDirty(), 0);
    vehicle.SetName(u"GOLF");
    EXPECT_EQ(vehicle.IsDirty(), 1);
    EXPECT_EQ(S(vehicle.GetName()), u"GOLF");

    vehicle.SetDirty(0);
    vehicle.SetName(nullptr);
    EXPECT_EQ(vehicle.IsDirty(), 1);
    EXPECT_EQ(S(vehicle.GetName()), u"");
}

TEST(Records, EachVehicleTextLandsInItsOwnField) {
    CVehicle vehicle;
    vehicle.SetLicensePlate(u"plate");
    vehicle.SetVIN(u"vin");
    vehicle.SetDealerName(u"dealer");
    vehicle.SetDealerPhone(u"dealer phone");
    vehicle.SetDealerAddress(u"dealer address");
    vehicle.SetInsurancePolicyNumber(u"policy");
    vehicle.SetInsuranceAgentName(u"agent");
    vehicle.SetInsuranceAgentPhone(u"agent phone");
    vehicle.SetInsuranceCoverage(u"coverage");
    vehicle.SetImagePath(u"/pictures/car.png");
    vehicle.SetName(u"name");
    vehicle.SetNotes(u"notes");
    EXPECT_EQ(S(vehicle.GetLicensePlate()), u"plate");
    EXPECT_EQ(S(vehicle.GetVIN()), u"vin");
    EXPECT_EQ(S(vehicle.GetDealerName()), u"dealer");
    EXPECT_EQ(S(vehicle.GetDealerPhone()), u"dealer phone");
    EXPECT_EQ(S(vehicle.GetDealerAddress()), u"dealer address");
    EXPECT_EQ(S(vehicle.GetInsurancePolicyNumber()), u"policy");
    EXPECT_EQ(S(vehicle.GetInsuranceAgentName()), u"agent");
    EXPECT_EQ(S(vehicle.GetInsuranceAgentPhone()), u"agent phone");
    EXPECT_EQ(S(vehicle.GetInsuranceCoverage()), u"coverage");
    EXPECT_EQ(S(vehicle.GetImagePath()), u"/pictures/car.png");
    EXPECT_EQ(S(vehicle.GetName()), u"name");
    EXPECT_EQ(S(vehicle.GetNotes()), u"notes");
}

// Run under AddressSanitizer, these prove the derived texts are freed through a base pointer.
TEST(Records, DeletingThroughTheBasePointerFreesEveryText) {
    CEntry* entry = new CEntry;
    entry->SetVendor(u"Shell");
    entry->SetName(u"Fill-up");
    entry->SetNotes(u"Full tank");
    std::unique_ptr<CBaseObject> asBase(entry);
    EXPECT_EQ(asBase->GetObjectType(), CBaseObject::ObjectTypeEntry);
    asBase.reset();

    CVehicle* vehicle = new CVehicle;
    vehicle->SetVIN(u"WVW");
    vehicle->SetImagePath(u"car.png");
    vehicle->SetName(u"Golf");
    delete static_cast<CBaseObject*>(vehicle);
}
