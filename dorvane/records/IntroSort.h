#pragma once
// The unstable in-place sort of the object lists: quicksort while a range holds more than
// 32 elements, insertion sort below that, heap sort once the partition depth budget is spent.

#include <algorithm>
#include <iterator>
#include <utility>

namespace dorvane_detail {

constexpr long IntroSortSmallRange = 32;

template <class It, class Less> void InsertionSort(It first, It last, Less less) {
    if (first == last)
        return;
    for (It i = std::next(first); i != last; ++i) {
        auto value = std::move(*i);
        It hole = i;
        while (hole != first && less(value, *std::prev(hole))) {
            *hole = std::move(*std::prev(hole));
            --hole;
        }
        *hole = std::move(value);
    }
}

template <class It, class Less> void HeapSort(It first, It last, Less less) {
    std::make_heap(first, last, less);
    std::sort_heap(first, last, less);
}

// Puts the median of a, b and c into *result.
template <class It, class Less> void MoveMedianTo(It result, It a, It b, It c, Less less) {
    using std::iter_swap;
    if (less(*a, *b)) {
        if (less(*b, *c))
            iter_swap(result, b);
        else if (less(*a, *c))
            iter_swap(result, c);
        else
            iter_swap(result, a);
    } else if (less(*a, *c)) {
        iter_swap(result, a);
    } else if (less(*b, *c)) {
        iter_swap(result, c);
    } else {
        iter_swap(result, b);
    }
}

// Hoare partition around the median of three, which is parked at *first. Both scans are
// bounded: the pivot stops the right one, an element not below the pivot the left one.
// Returns a cut strictly inside (first, last).
template <class It, class Less> It Partition(It first, It last, Less less) {
    It mid = first + (last - first) / 2;
    MoveMedianTo(first, first + 1, mid, last - 1, less);
    It lo = first + 1;
    It hi = last;
    for (;;) {
        while (less(*lo, *first))
            ++lo;
        --hi;
        while (less(*first, *hi))
            --hi;
        if (!(lo < hi))
            return lo;
        std::iter_swap(lo, hi);
        ++lo;
    }
}

template <class It, class Less> void IntroSortLoop(It first, It last, int depthBudget, Less less) {
    while (last - first > IntroSortSmallRange) {
        if (depthBudget == 0) {
            HeapSort(first, last, less);
            return;
        }
        --depthBudget;
        It cut = Partition(first, last, less);
        IntroSortLoop(cut, last, depthBudget, less);
        last = cut;
    }
    InsertionSort(first, last, less);
}

// Twice the binary logarithm of the element count, as usual for introsort.
inline int IntroSortDepthBudget(long count) {
    int budget = 0;
    for (long n = count; n > 1; n >>= 1)
        budget += 2;
    return budget;
}

template <class It, class Less> void IntroSort(It first, It last, Less less) {
    IntroSortLoop(first, last, IntroSortDepthBudget(static_cast<long>(last - first)), less);
}

} // namespace dorvane_detail
