#include "dialog/diagram/diagram_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const TSeriesFlags All = {true, true, true, true, true, true};

// Records whose every value is its position.
std::vector<TStatValues> Counting(int n) {
    std::vector<TStatValues> out;
    for (int i = 0; i < n; ++i) {
        const float v = static_cast<float>(i);
        out.push_back({v, v, v, v, v, v});
    }
    return out;
}

// The average of the positions first ... last.
double Mean(int first, int last) {
    return (first + last) / 2.0;
}

} // namespace

TEST(Buckets, FewerThanAHundredRecordsAreOnePointEach) {
    const TDiagramPoints p = BucketAverages(Counting(7), 100, All);
    ASSERT_EQ(p.Count, 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.Values[0][static_cast<std::size_t>(i)], i);
    EXPECT_EQ(BucketAverages(Counting(99), 100, All).Count, 99);
    EXPECT_EQ(BucketAverages(Counting(100), 100, All).Values[5][99], 99);
}

TEST(Buckets, TwoHundredFiftyRecordsFallIntoBucketsOfThreeAndTwo) {
    const TDiagramPoints p = BucketAverages(Counting(250), 100, All);
    ASSERT_EQ(p.Count, 100);
    // The buckets end at 3, 5, 8, 10, ... records.
    EXPECT_EQ(p.Values[0][0], Mean(0, 2));
    EXPECT_EQ(p.Values[0][1], Mean(3, 4));
    EXPECT_EQ(p.Values[0][2], Mean(5, 7));
    EXPECT_EQ(p.Values[0][3], Mean(8, 9));
    EXPECT_EQ(p.Values[0][98], Mean(245, 247));
    EXPECT_EQ(p.Values[0][99], Mean(248, 249));
}

TEST(Buckets, EveryRecordIsUsedOnceInExactlyAHundredPoints) {
    for (int n : {101, 199, 333, 1001, 8640, 86401}) {
        const TDiagramPoints p = BucketAverages(Counting(n), 100, All);
        ASSERT_EQ(p.Count, 100) << n;
        // The averages of consecutive buckets of consecutive positions rise, the first
        // starts at record 0 and the last ends at record n - 1.
        for (std::size_t k = 1; k < 100; ++k)
            ASSERT_LT(p.Values[0][k - 1], p.Values[0][k]) << n << " at " << k;
        const double b = n / 100.0;
        EXPECT_NEAR(p.Values[0][0], (std::ceil(b) - 1) / 2, 1e-9) << n;
        EXPECT_GT(p.Values[0][99], n - 1 - b) << n;
        EXPECT_LE(p.Values[0][99], n - 1) << n;
    }
}

TEST(Buckets, UncheckedSeriesLieAtZero) {
    const TSeriesFlags inputAndBattery = {true, false, true, false, false, false};
    const TDiagramPoints p = BucketAverages(Counting(5), 100, inputAndBattery);
    ASSERT_EQ(p.Count, 5);
    for (std::size_t s = 0; s < SeriesCount; ++s)
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(p.Values[s][i], inputAndBattery[s] ? static_cast<double>(i) : 0.0)
                << s << " " << i;
}

TEST(Buckets, DamagedValuesAreLeftOutOfTheAverage) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<TStatValues> records(250, TStatValues{220, 220, 13.5f, 50, 30, 100});
    records[0][0] = nan;
    records[1][0] = 3e38f;
    records[3][1] = -inf;
    records[4][1] = nan; // the whole second bucket of this series is damaged
    const TDiagramPoints p = BucketAverages(records, 100, All);
    EXPECT_EQ(p.Values[0][0], 220);
    EXPECT_EQ(p.Values[1][1], 0);
    EXPECT_NEAR(p.Values[2][1], 13.5, 1e-6);
    for (const auto& series : p.Values)
        for (double v : series)
            EXPECT_TRUE(std::isfinite(v));
}

TEST(Buckets, NothingToSpreadGivesNoPoints) {
    EXPECT_EQ(BucketAverages({}, 100, All).Count, 0);
    EXPECT_EQ(BucketAverages(Counting(5), 0, All).Count, 0);
}
