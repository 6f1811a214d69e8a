#pragma once
// The order in which the figures take a vehicle's entries: by date, then odometer, then ID. Rows
// are any struct with date, odometer and id members, copied out of the records.

#include "datastore/CDataLayer.h"

#include <algorithm>
#include <iterator>
#include <vector>

inline bool TakenBefore(const CDataLayer::FigureRow& a, const CDataLayer::FigureRow& b) {
    if (a.Date != b.Date)
        return a.Date < b.Date;
    if (a.Odometer != b.Odometer)
        return a.Odometer < b.Odometer;
    return a.ID < b.ID;
}

template <class Row> bool TakenBefore(const Row& a, const Row& b) {
    if (a.date != b.date)
        return a.date < b.date;
    if (a.odometer != b.odometer)
        return a.odometer < b.odometer;
    return a.id < b.id;
}

// The load has no order of its own, yet entries mostly come back as they were typed, in date
// order but for the few typed in late for an earlier day: those are set aside, ordered and merged
// back, which costs far less than ordering everything.
template <class Row> void PutInTakingOrder(std::vector<Row>& rows) {
    const auto before = [](const Row& a, const Row& b) { return TakenBefore(a, b); };
    std::vector<Row> late;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (kept > 0 && before(rows[i], rows[kept - 1]))
            late.push_back(rows[i]);
        else
            rows[kept++] = rows[i];
    }
    if (late.empty())
        return;
    rows.resize(kept);
    std::sort(late.begin(), late.end(), before);
    std::vector<Row> merged;
    merged.reserve(rows.size() + late.size());
    std::merge(rows.begin(), rows.end(), late.begin(), late.end(), std::back_inserter(merged), before);
    rows.swap(merged);
}
