#include "Vexmira/AnimationTrack.h"

#include <gmock/gmock.h>

#include <tuple>

using ::testing::HasSubstr;

TEST(AnimationTrack, FramesRunEvenlyFromTheFirstEndExactlyToTheLast) {
    using Case = std::tuple<const char*, AnimationTrack::Quantity, int>;
    for (auto [text, quantity, frames] :
         {Case{"blowup=0:1.5", AnimationTrack::Quantity::blowup, 60},
          Case{"target-z=0.1:0.3", AnimationTrack::Quantity::targetZ, 7},
          Case{"azimuth=360:-45.5", AnimationTrack::Quantity::azimuth, 2},
          Case{"immersion=0.7:0.7", AnimationTrack::Quantity::immersion, 10000}}) {
        SCOPED_TRACE(text);
        std::string error;
        const auto track = AnimationTrack::parse(text, error);
        ASSERT_TRUE(track) << error;
        EXPECT_EQ(track->quantity, quantity);
        EXPECT_EQ(track->valueAt(0, frames), static_cast<float>(track->from));
        EXPECT_EQ(track->valueAt(frames - 1, frames), static_cast<float>(track->to));
        const double step = (track->to - track->from) / (frames - 1);
        for (int k = 1; k + 1 < frames; k += frames / 5 + 1)
            EXPECT_NEAR(track->valueAt(k, frames), track->from + step * k, 1e-5) << k;
    }
}

TEST(AnimationTrack, MalformedNamesNumbersAndValuesOutsideTheDocumentBoundsAreRefused) {
    using Refusal = std::pair<const char*, const char*>; // text, what the message names
    for (auto [text, named] :
         {Refusal{"blowup", "NAME=FROM:TO"}, Refusal{"zoom=1:2", "zoom"},
          Refusal{"=1:2", "blowup, immersion"}, Refusal{"blowup=1:", "FROM:TO"},
          Refusal{"blowup= 1:2", "FROM:TO"}, Refusal{"blowup=1:2:3", "FROM:TO"},
          Refusal{"distance=1:2e6", "2e6"}, Refusal{"twist=nan:1", "nan"}}) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_FALSE(AnimationTrack::parse(text, error));
        EXPECT_THAT(error, HasSubstr(named));
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}
