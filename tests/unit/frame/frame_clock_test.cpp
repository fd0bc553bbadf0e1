#include "frame/frame_clock.hpp"

#include <gtest/gtest.h>

#include "tests/support/test_platform.hpp"

namespace zelm {
namespace {

using testplatform::now_ms;

// Each test starts from the clock and the platform as a new process has them.
class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        testplatform::reset();
        frame_clock = {};
        frame_dt = 0.0f;
    }
};

std::string meter_text() {
    char buf[64];
    return format_frame_rate(buf, sizeof buf, frame_rate());
}

TEST_F(FrameClockTest, StartSetsBothTimesAndZeroDt) {
    frame_dt = 3.0f;
    now_ms = 5000;
    frame_clock_start();
    EXPECT_EQ(frame_clock.last_tick_ms, 5000u);
    EXPECT_EQ(frame_clock.window_start_ms, 5000u);
    EXPECT_EQ(frame_clock.window_frames, 0);
    EXPECT_EQ(frame_dt, 0.0f);
}

TEST_F(FrameClockTest, TickGivesSecondsSinceThePreviousTick) {
    now_ms = 100;
    frame_clock_start();
    now_ms = 116;
    frame_clock_tick();
    EXPECT_EQ(frame_dt, static_cast<float>(16 * 0.001));
    now_ms = 116;
    frame_clock_tick();
    EXPECT_EQ(frame_dt, 0.0f);  // two ticks in the same millisecond
}

TEST_F(FrameClockTest, CounterWrapGivesTheTrueSmallDifference) {
    now_ms = 0xFFFFFFFFu;
    frame_clock_start();
    now_ms = 1;  // wrapped: 2 ms later
    frame_clock_tick();
    EXPECT_EQ(frame_dt, static_cast<float>(2 * 0.001));
    char buf[64];
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, frame_rate()), "fps = 500.0000");
}

TEST_F(FrameClockTest, WindowCountsOneToElevenAndRestartsAtThePreviousTick) {
    now_ms = 0;
    frame_clock_start();
    std::vector<int> counts;
    for (int i = 1; i <= 24; ++i) {
        now_ms = static_cast<std::uint32_t>(i * 10);
        frame_clock_tick();
        counts.push_back(frame_clock.window_frames);
        if (i == 12) {
            // The tick after the count reached 11 restarts the window at the previous tick.
            EXPECT_EQ(frame_clock.window_start_ms, 110u);
            EXPECT_DOUBLE_EQ(frame_rate(), 1.0 / 10 * 1000);
        }
    }
    const std::vector<int> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9,  10, 11, 1,
                                       2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1,  2};
    EXPECT_EQ(counts, expected);
}

TEST_F(FrameClockTest, FirstFrameAveragesTheSetupTickToo) {
    // Setup ticks once right after the start; the first frame's tick makes two.
    now_ms = 1000;
    frame_clock_start();
    now_ms = 1004;
    frame_clock_tick();
    now_ms = 1020;
    frame_clock_tick();
    EXPECT_DOUBLE_EQ(frame_rate(), 2.0 / 20 * 1000);
    EXPECT_EQ(meter_text(), "fps = 100.0000");
}

TEST_F(FrameClockTest, MeterFormatPadsAndKeepsFourDecimals) {
    char buf[64];
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, 59.88), "fps = 59.8800");
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, 5.0), "fps = 5.0000");
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, 62.5), "fps = 62.5000");
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, 1234.5), "fps = 1234.5000");
}

TEST_F(FrameClockTest, EmptyWindowRepeatsTheLastRateNeverInfinity) {
    now_ms = 0;
    frame_clock_start();
    now_ms = 0;
    frame_clock_tick();
    // Nothing has been measured yet: the meter shows 0 rather than inf.
    EXPECT_EQ(meter_text(), "fps = 0.0000");
    for (int i = 1; i <= 10; ++i) {
        now_ms = static_cast<std::uint32_t>(i * 4);
        frame_clock_tick();
    }
    const std::string full_window = meter_text();
    EXPECT_EQ(full_window, "fps = 275.0000");  // 11 ticks over 40 ms
    // The restart lands on the previous tick and the new tick comes in the same millisecond.
    frame_clock_tick();
    EXPECT_EQ(frame_clock.window_frames, 1);
    EXPECT_EQ(frame_clock.last_tick_ms, frame_clock.window_start_ms);
    EXPECT_EQ(meter_text(), full_window);
}

TEST_F(FrameClockTest, FormatNeverPrintsInfOrNan) {
    char buf[64];
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, 1.0 / 0.0), "fps = 0.0000");
    EXPECT_STREQ(format_frame_rate(buf, sizeof buf, 0.0 / 0.0), "fps = 0.0000");
}

}  // namespace
}  // namespace zelm
