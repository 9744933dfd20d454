#include "TolvaneKit/RVInterpolator.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

// A clock the test moves by hand.
struct ManualClock {
    std::optional<RVInterpolator::WallTime> now = RVInterpolator::WallTime{1000, 0};

    RVInterpolator::Clock clock() {
        return [this] { return now; };
    }
    // Sets the time to `microseconds` after second 1000.
    void at(long long microseconds) {
        now = RVInterpolator::WallTime{1000 + microseconds / 1000000, microseconds % 1000000};
    }
};

} // namespace

TEST(RVInterpolator, WithoutToleranceAnswersTheElapsedFraction) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    interpolator.setDuration(1000000).setTolerance(0.0f);
    time.at(0);
    ASSERT_TRUE(interpolator.start());
    time.at(250000);
    EXPECT_FLOAT_EQ(interpolator.progress(), 0.25f);
    time.at(1000000);
    EXPECT_EQ(interpolator.progress(), 1.0f);
    time.at(1500000);
    EXPECT_EQ(interpolator.progress(), 1.0f);
    EXPECT_EQ(interpolator.numberOfSamples(), 3);
}

TEST(RVInterpolator, ToleranceEndsEarlyByAverageSampleIntervals) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    interpolator.setDuration(1000000).setTolerance(1.0f);
    time.at(0);
    interpolator.start();
    for (int sample = 1; sample <= 9; ++sample) {
        time.at(sample * 100000LL);
        EXPECT_FLOAT_EQ(interpolator.progress(), sample / 10.0f) << "sample " << sample;
    }
    time.at(950000);
    EXPECT_EQ(interpolator.progress(), 1.0f);
}

TEST(RVInterpolator, StartingAgainMeasuresTheAverageFromTheNewStart) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    interpolator.setDuration(1000000).setTolerance(1.0f);
    time.at(0);
    interpolator.start();
    for (int sample = 1; sample <= 9; ++sample) {
        time.at(sample * 10000LL);
        interpolator.progress();
    }
    time.at(10000000);
    interpolator.start();
    EXPECT_EQ(interpolator.numberOfSamples(), 0);
    // One sample 0.6 s in: its interval alone, 0.6 s, exceeds the 0.4 s to go.
    time.at(10600000);
    EXPECT_EQ(interpolator.progress(), 1.0f);
}

TEST(RVInterpolator, ZeroDurationIsAlwaysFinished) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    time.at(0);
    interpolator.start();
    EXPECT_EQ(interpolator.progress(), 1.0f) << "sampled in the microsecond it started";
    time.at(1);
    EXPECT_EQ(interpolator.progress(), 1.0f);
    time.at(5000000);
    EXPECT_EQ(interpolator.progress(), 1.0f);
}

TEST(RVInterpolator, ALateSampleReadsAsFinished) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    interpolator.setDuration(1000000);
    time.at(0);
    interpolator.start();
    // An hour later the elapsed microseconds no longer fit 32 bits.
    time.at(3600LL * 1000000);
    EXPECT_EQ(interpolator.progress(), 1.0f);
    interpolator.setDuration(INT_MAX);
    time.at(INT_MAX / 2);
    EXPECT_FLOAT_EQ(interpolator.progress(), 0.5f);
}

TEST(RVInterpolator, AClockThatWentBackGivesANegativeFraction) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    interpolator.setDuration(1000000);
    time.at(500000);
    interpolator.start();
    time.at(250000);
    EXPECT_FLOAT_EQ(interpolator.progress(), -0.25f);
}

TEST(RVInterpolator, AnUnreadableClock) {
    ManualClock time;
    RVInterpolator interpolator(time.clock());
    interpolator.setDuration(1000000);
    time.at(0);
    interpolator.start();
    time.now.reset();
    EXPECT_FALSE(interpolator.start()) << "the earlier start stays";
    EXPECT_EQ(interpolator.progress(), 0.0f);
    EXPECT_EQ(interpolator.numberOfSamples(), 1) << "the failed sample still counts";
    time.at(500000);
    EXPECT_FLOAT_EQ(interpolator.progress(), 0.5f);
}

TEST(RVInterpolator, TheWallClockRuns) {
    RVInterpolator interpolator;
    interpolator.setDuration(INT_MAX);
    ASSERT_TRUE(interpolator.start());
    const float progress = interpolator.progress();
    EXPECT_GE(progress, 0.0f);
    EXPECT_LT(progress, 1.0f);
}
