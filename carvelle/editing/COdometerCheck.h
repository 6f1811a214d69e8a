#pragma once
// Before an entry is stored: an odometer reading below that of an earlier-dated entry of the same
// vehicle, or above that of a later one, is most likely a typo (4470 after 44600), and one typo
// spoils the distance of every figure after it. The user is asked, with No as the default.
// Days are compared as the user sees them; entries of the same day are not questioned.
// Readings of 0 count as none. An entry that is stored already is asked about only when its date
// or reading changed, and a pair of values is asked about once.

#include "platform/WinTypes.h"

class CEntry;
class QLineEdit;

class COdometerCheck {
public:
    COdometerCheck() = default;
    explicit COdometerCheck(const CEntry& entry);

    // True when the entry may be stored with this date and reading; after No the field has the
    // focus with its text selected.
    bool Confirm(QLineEdit* field, double date, LONG odometer);

private:
    ULONG m_VehicleID = 0;
    LONG m_EntryID = 0;
    double m_GivenDate = 0.0;
    LONG m_GivenOdometer = 0;
    bool m_Confirmed = false; // the user said Yes to the values below
    double m_ConfirmedDate = 0.0;
    LONG m_ConfirmedOdometer = 0;
};
