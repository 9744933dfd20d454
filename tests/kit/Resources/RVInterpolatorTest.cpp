#include "TolvaneKit/Resources/RVInterpolator.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

enum Action { Start, StartFails, At }; // At: read the progress

// At microseconds past second 1000 (negative: no clock), the action and the progress expected.
struct Step {
    Action action;
    long long at;
    float progress = 0;
};

constexpr int second = 1000000;

} // namespace

TEST(RVInterpolator, ProgressFollowsTheSuppliedClock) {
    std::vector<Step> withTolerance = {{Start, 0}};
    for (int tenth = 1; tenth <= 9; ++tenth)
        withTolerance.push_back({At, tenth * second / 10, tenth / 10.0f});
    withTolerance.push_back({At, 950000, 1}); // 0.05 s to go: less than one 0.1 s interval
    const struct {
        const char* what;
        int duration;
        float tolerance;
        std::vector<Step> steps;
    } cases[] = {
        {"no tolerance", second, 0, {{Start, 0}, {At, second / 4, .25f}, {At, second, 1}}},
        {"after the end", second, 0, {{Start, 0}, {At, 3 * second / 2, 1}}},
        {"one average interval of tolerance", second, 1, withTolerance},
        {"duration 0", 0, 0, {{Start, 0}, {At, 0, 1}, {At, 1, 1}, {At, second, 1}}},
        {"an hour late, beyond 32 bits", second, 0, {{Start, 0}, {At, 3600LL * second, 1}}},
        {"the longest duration", INT_MAX, 0, {{Start, 0}, {At, INT_MAX / 2, .5f}}},
        {"a clock that went back", second, 0, {{Start, second / 2}, {At, second / 4, -.25f}}},
        // A new start forgets older samples: one sample 0.6 s in spans more than the 0.4 s to go.
        {"restarted",
         second,
         1,
         {{Start, 0}, {At, 10000, .01f}, {Start, 9 * second}, {At, 9600000, 1}}},
        // The earlier start stays.
        {"no clock", second, 0, {{Start, 0}, {StartFails, -1}, {At, -1, 0}, {At, second / 2, .5f}}},
    };
    for (const auto& example : cases) {
        SCOPED_TRACE(example.what);
        std::optional<RVInterpolator::WallTime> now;
        RVInterpolator interpolator([&now] { return now; });
        interpolator.setDuration(example.duration).setTolerance(example.tolerance);
        for (const Step& step : example.steps) {
            if (step.at >= 0)
                now = RVInterpolator::WallTime{1000 + step.at / second, step.at % second};
            else
                now.reset();
            if (step.action == At) {
                const float progress = interpolator.progress();
                EXPECT_NEAR(progress, step.progress, step.progress == 1 ? 0 : 1e-6) << step.at;
            } else {
                EXPECT_EQ(interpolator.start(), step.action == Start) << step.at;
            }
        }
    }
}
