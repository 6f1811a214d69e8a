#include "core/CFillUpChain.h"

#include "core/Units.h"

#include "datastore/CDataLayer.h"

#include <algorithm>
#include <limits>

std::optional<float> EconomyOf(long long distance, double volume) {
    // Economy takes a 32-bit distance; a longer one cannot come from real readings.
    const auto clamped = static_cast<LONG>(std::min<long long>(distance, std::numeric_limits<LONG>::max()));
    const float economy = ComputeEconomy(clamped, static_cast<float>(volume));
    return economy >= 0.0f ? std::optional<float>(economy) : std::nullopt;
}

CFillUpChain::Leg CFillUpChain::Add(LONG odometer, float quantity, DWORD fillFlags) {
    Leg leg;
    const bool partial = (fillFlags & CDataLayer::FillPartial) != 0;
    const bool missed = (fillFlags & CDataLayer::FillMissed) != 0;
    const bool reading = odometer > 0;
    if (partial || missed || !reading)
        m_MetMark = true;
    if (missed || !reading) {
        m_Open = false;
        m_Pending = 0.0;
    }
    if (!reading)
        return leg;
    if (!m_Open) {
        // Only a full tank tells where the next leg begins.
        if (!partial) {
            m_Open = true;
            m_Mark = odometer;
            m_Pending = 0.0;
        }
        return leg;
    }
    const long long distance = std::max<long long>(0, odometer - m_Mark);
    m_Pending += quantity;
    leg.Distance = distance;
    leg.Volume = m_Pending;
    if (partial)
        return leg;
    if (distance > 0)
        leg.Economy = EconomyOf(distance, m_Pending);
    m_CountedDistance += distance;
    m_CountedVolume += m_Pending;
    ++m_Legs;
    m_Mark = std::max<long long>(m_Mark, odometer);
    m_Pending = 0.0;
    return leg;
}

std::optional<float> CFillUpChain::AverageEconomy() const {
    if (m_Legs == 0)
        return std::nullopt;
    return EconomyOf(m_CountedDistance, m_CountedVolume);
}
