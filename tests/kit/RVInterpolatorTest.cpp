#include "TolvaneKit/RVInterpolator.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

namespace {

enum Action { Start, StartFails, Progress };

// What the test does at a time on its clock, in microseconds after second
// 1000 (negative: the clock cannot be read), and the progress it expects.
struct Step {
    Action action;
    long long at;
    float progress = 0;
};

} // namespace

TEST(RVInterpolator, ProgressFollowsTheSuppliedClock) {
    std::vector<Step> withTolerance = {{Start, 0}};
    for (int tenth = 1; tenth <= 9; ++tenth)
        withTolerance.push_back({Progress, tenth * 100000LL, tenth / 10.0f});
    withTolerance.push_back({Progress, 950000, 1}); // 0.05 s to go: less than one 0.1 s interval
    const struct {
        const char* what;
        int duration;
        float tolerance;
        std::vector<Step> steps;
    } cases[] = {
        {"without tolerance",
         1000000,
         0,
         {{Start, 0}, {Progress, 250000, 0.25f}, {Progress, 1000000, 1}, {Progress, 1500000, 1}}},
        {"one average interval of tolerance", 1000000, 1, withTolerance},
        {"duration 0",
         0,
         0,
         {{Start, 0}, {Progress, 0, 1}, {Progress, 1, 1}, {Progress, 5000000, 1}}},
        {"an hour late, beyond 32 bits", 1000000, 0, {{Start, 0}, {Progress, 3600LL * 1000000, 1}}},
        {"the longest duration", INT_MAX, 0, {{Start, 0}, {Progress, INT_MAX / 2, 0.5f}}},
        {"a clock that went back", 1000000, 0, {{Start, 500000}, {Progress, 250000, -0.25f}}},
        // A second start forgets the samples before it: the one sample 0.6 s
        // after it spans more than the 0.4 s to go.
        {"started again",
         1000000,
         1,
         {{Start, 0}, {Progress, 10000, 0.01f}, {Start, 10000000}, {Progress, 10600000, 1}}},
        // The earlier start stays.
        {"an unreadable clock",
         1000000,
         0,
         {{Start, 0}, {StartFails, -1}, {Progress, -1, 0}, {Progress, 500000, 0.5f}}},
    };
    for (const auto& example : cases) {
        SCOPED_TRACE(example.what);
        std::optional<RVInterpolator::WallTime> now;
        RVInterpolator interpolator([&now] { return now; });
        interpolator.setDuration(example.duration).setTolerance(example.tolerance);
        for (const Step& step : example.steps) {
            if (step.at >= 0)
                now = RVInterpolator::WallTime{1000 + step.at / 1000000, step.at % 1000000};
            else
                now.reset();
            if (step.action == Progress) {
                const float progress = interpolator.progress();
                EXPECT_NEAR(progress, step.progress, step.progress == 1 ? 0 : 1e-6) << step.at;
            } else {
                EXPECT_EQ(interpolator.start(), step.action == Start) << step.at;
            }
        }
    }
}

TEST(RVInterpolator, TheWallClockRuns) {
    RVInterpolator interpolator;
    interpolator.setDuration(INT_MAX);
    ASSERT_TRUE(interpolator.start());
    const float progress = interpolator.progress();
    EXPECT_GE(progress, 0.0f);
    EXPECT_LT(progress, 1.0f);
}
