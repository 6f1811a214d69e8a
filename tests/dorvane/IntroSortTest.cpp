#include "records/IntroSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

// The sort's three paths, driven directly so that the heap path is certain to run.
TEST(ObjectListSort, IntroSortPathsOnPlainNumbers) {
    std::mt19937 random(7u);
    auto less = [](int a, int b) { return a < b; };
    for (int count : {0, 1, 2, 32, 33, 64, 1000, 5000}) {
        std::vector<int> shapes[4];
        for (int i = 0; i < count; ++i) {
            shapes[0].push_back(static_cast<int>(random() % 1000));
            shapes[1].push_back(i);
            shapes[2].push_back(count - i);
            shapes[3].push_back(i % 3);
        }
        for (std::vector<int>& values : shapes) {
            std::vector<int> expected = values;
            std::sort(expected.begin(), expected.end());

            std::vector<int> viaQuick = values;
            dorvane_detail::IntroSort(viaQuick.begin(), viaQuick.end(), less);
            EXPECT_EQ(viaQuick, expected) << "count " << count;

            std::vector<int> viaHeap = values;
            dorvane_detail::IntroSortLoop(viaHeap.begin(), viaHeap.end(), 0, less);
            EXPECT_EQ(viaHeap, expected) << "count " << count;

            std::vector<int> shallow = values;
            dorvane_detail::IntroSortLoop(shallow.begin(), shallow.end(), 2, less);
            EXPECT_EQ(shallow, expected) << "count " << count;
        }
    }
}
