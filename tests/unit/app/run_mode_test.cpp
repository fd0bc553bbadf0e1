#include "app/run_mode.hpp"

#include <gtest/gtest.h>

namespace zelm {
namespace {

TEST(RunMode, SwitchesAreTheFirstTwoBytesCaseSensitive) {
    EXPECT_EQ(choose_run_mode("/p", 0), RunMode::preview);
    EXPECT_EQ(choose_run_mode("/p 1234", 0), RunMode::preview);
    EXPECT_EQ(choose_run_mode("/pxyz", 0), RunMode::preview);
    EXPECT_EQ(choose_run_mode("/c", 0), RunMode::configure);
    EXPECT_EQ(choose_run_mode("/c:4711", 0), RunMode::configure);
    for (const char* text : {"/P", "/C", "-c", "/s", "", "/", "p", " /c", "c/"}) {
        EXPECT_EQ(choose_run_mode(text, 0), RunMode::demo) << text;
    }
    EXPECT_EQ(choose_run_mode(nullptr, 0), RunMode::demo);
}

TEST(RunMode, ForcedDialogWinsOverTheDemoButNotOverPreview) {
    EXPECT_EQ(choose_run_mode("", 1), RunMode::configure);
    EXPECT_EQ(choose_run_mode("/s", 1), RunMode::configure);
    EXPECT_EQ(choose_run_mode("/p", 1), RunMode::preview);
}

}  // namespace
}  // namespace zelm
