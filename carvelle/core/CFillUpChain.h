#pragma once
// Fuel economy from one full tank to the next. Fill-ups are taken oldest first. A full fill-up
// closes the leg that began at the last full one before it: the distance between their readings
// over all the fuel bought since, partial fill-ups included. A partial fill-up only adds its fuel.
// A missed fill-up (one before it went unlogged) and a fill-up without a reading (0) break the
// chain: the leg they end is unknown, so it counts nowhere, and the next full fill-up starts anew.
//
// Readings that go down are slips of the finger: a full fill-up below the highest full reading
// before it closes a leg of no distance and does not lower the mark the next one is measured from.
// A log without flags and readings of 0 gives each fill-up its own fuel over the distance from the
// fill-up before it, as it always has.

#include "platform/WinTypes.h"

#include <optional>

class CFillUpChain {
public:
    struct Leg {
        // From the highest reading of the full fill-up that began the leg; empty where no leg was
        // open (the first fill-up, one after a break, one without a reading).
        std::optional<long long> Distance;
        double Volume = 0.0; // the fuel of the leg: every fill-up since the full one that began it
        // In the user's economy unit; empty for a partial fill-up, an open leg, or no distance.
        std::optional<float> Economy;
    };

    // Takes the next fill-up; flags as the data file keeps them.
    Leg Add(LONG odometer, float quantity, DWORD fillFlags);

    // The distance and fuel of every leg closed so far, and their economy; empty without one.
    long long CountedDistance() const { return m_CountedDistance; }
    double CountedVolume() const { return m_CountedVolume; }
    bool HaveCountedLeg() const { return m_Legs > 0; }
    std::optional<float> AverageEconomy() const;

    // A partial or missed flag or a missing reading was met: the figures are not the plain ones.
    bool MetAnyMark() const { return m_MetMark; }

private:
    bool m_Open = false;
    long long m_Mark = 0;   // the highest full reading since the leg began
    double m_Pending = 0.0; // partial fuel bought since
    long long m_CountedDistance = 0;
    double m_CountedVolume = 0.0;
    int m_Legs = 0;
    bool m_MetMark = false;
};

// The economy of a distance and a volume in the user's unit; empty where it cannot be computed.
std::optional<float> EconomyOf(long long distance, double volume);
