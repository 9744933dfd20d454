#include "TolvaneKit/Resources/RVInterpolator.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr long long second = 1000000;

TEST(RVInterpolator, ProgressFollowsTheSuppliedClockAndEachStartForgetsWhatCameBefore) {
    std::optional<RVInterpolator::WallTime> now;
    RVInterpolator interpolator([&now] { return now; });
    const auto at = [&now](long long microseconds) { // past second 1000
        now = RVInterpolator::WallTime{1000 + microseconds / second, microseconds % second};
    };
    const auto progressAt = [&](long long microseconds) {
        at(microseconds);
        return interpolator.progress();
    };
    const auto startAt = [&](long long microseconds, int duration, float tolerance = 0) {
        at(microseconds);
        ASSERT_TRUE(interpolator.setDuration(duration).setTolerance(tolerance).start());
    };
    startAt(0, second);
    EXPECT_FLOAT_EQ(progressAt(second / 4), 0.25f);
    EXPECT_EQ(progressAt(3600 * second), 1.0f) << "an hour late, beyond 32 bits";
    startAt(second / 2, second);
    EXPECT_FLOAT_EQ(progressAt(second / 4), -0.25f) << "a clock that went back";
    startAt(0, INT_MAX);
    EXPECT_FLOAT_EQ(progressAt(INT_MAX / 2), 0.5f) << "the longest duration";
    startAt(0, 0);
    EXPECT_EQ(progressAt(0), 1.0f) << "duration 0";
    // One average interval of tolerance: 0.05 s to go is less than one 0.1 s interval.
    startAt(0, second, 1);
    for (int tenth = 1; tenth <= 9; ++tenth)
        EXPECT_NEAR(progressAt(tenth * second / 10), tenth / 10.0f, 1e-6) << tenth;
    EXPECT_EQ(progressAt(950000), 1.0f);
    // Restarted, one sample 0.6 s in spans more than the 0.4 s to go, the older ones forgotten.
    startAt(0, second, 1);
    EXPECT_NEAR(progressAt(10000), 0.01f, 1e-6);
    startAt(9 * second, second, 1);
    EXPECT_EQ(progressAt(9600000), 1.0f);
    // Without a clock nothing starts and nothing moves; the earlier start stays.
    startAt(0, second);
    now.reset();
    EXPECT_FALSE(interpolator.start());
    EXPECT_EQ(interpolator.progress(), 0.0f);
    EXPECT_FLOAT_EQ(progressAt(second / 2), 0.5f);
}

} // namespace
