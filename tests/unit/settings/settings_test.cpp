#include "settings/settings.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/test_platform.hpp"
#include "tests/unit/settings/memory_registry.hpp"

namespace zelm {
namespace {

std::string current_directory() {
    return std::filesystem::current_path().string();
}

// Each test starts as the process does: the switches at their defaults, an empty message log.
class ReadSettings : public ::testing::Test {
protected:
    void SetUp() override {
        use_heightfield = 1;
        fullscreen = 0;
        use_alt_blend = 0;
        testplatform::reset();
    }
};

TEST_F(ReadSettings, AllFourValuesAreReadAndTheDataDirectoryBecomesCurrent) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    MemoryRegistry reg;
    reg.values = {{"datadir", dir.string()},
                  {"use_heightfield", "0"},
                  {"fullscreen", "1"},
                  {"use_alt_blend", " 7"}};
    use_memory_registry(reg);
    EXPECT_EQ(read_settings(), 1);
    EXPECT_EQ(std::string(datadir), dir.string());
    EXPECT_EQ(use_heightfield, 0);
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(use_alt_blend, 7);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir));
    const std::vector<std::string> expected = {
        "open", "query datadir", "query use_heightfield", "query fullscreen", "query use_alt_blend",
        "close"};
    EXPECT_EQ(reg.log, expected);
}

TEST_F(ReadSettings, AMissingKeyIsCreatedAndEveryReadFails) {
    MemoryRegistry reg;
    reg.key_exists = false;
    use_memory_registry(reg);
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(std::string(datadir), ".");
    EXPECT_EQ(use_heightfield, 1);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(use_alt_blend, 0);
    EXPECT_EQ(reg.log.at(0), "open");
    EXPECT_EQ(reg.log.at(1), "create");
}

TEST_F(ReadSettings, AKeyThatCannotBeCreatedReadsNothingAndStaysInPlace) {
    const std::string before = current_directory();
    MemoryRegistry reg;
    reg.key_exists = false;
    reg.can_create = false;
    reg.values = {{"datadir", "/"}};
    use_memory_registry(reg);
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(std::string(datadir), ".");
    EXPECT_EQ(current_directory(), before);
    EXPECT_EQ(reg.log, (std::vector<std::string>{"open", "create"}));
}

TEST_F(ReadSettings, OneMissingValueKeepsItsDefaultAndTheOthersAreRead) {
    MemoryRegistry reg;
    reg.values = {{"datadir", "."}, {"use_heightfield", "0"}, {"use_alt_blend", "1"}};
    use_memory_registry(reg);
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(use_heightfield, 0);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(use_alt_blend, 1);
}

TEST_F(ReadSettings, SwitchTextOfTenCharactersDoesNotFit) {
    MemoryRegistry reg;
    reg.values = {{"datadir", "."},
                  {"use_heightfield", "0000000000"},  // 10 characters + terminator
                  {"fullscreen", "000000001"},        // 9 characters fit
                  {"use_alt_blend", "0"}};
    use_memory_registry(reg);
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(use_heightfield, 1);
    EXPECT_EQ(fullscreen, 1);
}

TEST_F(ReadSettings, DataDirectoryOf999CharactersFitsAnd1000DoNot) {
    MemoryRegistry reg;
    reg.values = {{"datadir", std::string(999, 'd')},
                  {"use_heightfield", "1"},
                  {"fullscreen", "0"},
                  {"use_alt_blend", "0"}};
    use_memory_registry(reg);
    const std::string before = current_directory();
    EXPECT_EQ(read_settings(), 1);  // a missing directory is not a failed read
    EXPECT_EQ(std::string(datadir), std::string(999, 'd'));
    EXPECT_EQ(current_directory(), before);

    reg.values["datadir"] = std::string(1000, 'd');
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(std::string(datadir), ".");
}

TEST(ParseSwitchText, DecimalPrefixWithSignAndBlanks) {
    EXPECT_EQ(parse_switch_text("1"), 1);
    EXPECT_EQ(parse_switch_text("0"), 0);
    EXPECT_EQ(parse_switch_text(" 7"), 7);
    EXPECT_EQ(parse_switch_text("-1"), -1);
    EXPECT_EQ(parse_switch_text("+12x"), 12);
    EXPECT_EQ(parse_switch_text("abc"), 0);
    EXPECT_EQ(parse_switch_text(""), 0);
    EXPECT_EQ(parse_switch_text("- 1"), 0);
    // Too many digits saturate instead of overflowing.
    EXPECT_EQ(parse_switch_text("99999999999"), INT_MAX);
    EXPECT_EQ(parse_switch_text("-99999999999"), INT_MIN);
}

TEST(WriteSettings, StoresAllFourAsTextInOrder) {
    MemoryRegistry reg;
    use_memory_registry(reg);
    read_settings();
    reg.log.clear();
    std::strcpy(datadir, "/usr/share/zelm");
    use_heightfield = 0;
    fullscreen = -3;
    use_alt_blend = 1;
    EXPECT_EQ(write_settings(), 1);
    const std::vector<std::string> expected = {"open",
                                               "set datadir=/usr/share/zelm",
                                               "set use_heightfield=0",
                                               "set fullscreen=-3",
                                               "set use_alt_blend=1",
                                               "close"};
    EXPECT_EQ(reg.log, expected);
    EXPECT_TRUE(testplatform::events.empty());
}

TEST(WriteSettings, AMissingKeyIsCreated) {
    MemoryRegistry reg;
    use_memory_registry(reg);
    read_settings();
    reg.key_exists = false;
    testplatform::reset();
    EXPECT_EQ(write_settings(), 1);
    EXPECT_EQ(reg.values.size(), 4u);
    EXPECT_EQ(reg.values.at("datadir"), ".");
    EXPECT_TRUE(testplatform::events.empty());
}

TEST(WriteSettings, EveryValueNotStoredIsReported) {
    MemoryRegistry reg;
    reg.failing_writes = {"datadir", "fullscreen", "use_alt_blend"};
    use_memory_registry(reg);
    read_settings();
    use_heightfield = 1;
    testplatform::reset();
    EXPECT_EQ(write_settings(), 1);
    EXPECT_EQ(testplatform::events,
              (std::vector<std::string>{
                  "message_box(Error, Couldn't save datadir, error, none)",
                  "message_box(Error, Couldn't save settings: fullscreen, use_alt_blend, error, "
                  "none)"}));
    EXPECT_EQ(reg.values.at("use_heightfield"), "1");

    // A key that can be neither opened nor created stores nothing and says so.
    MemoryRegistry unreachable;
    unreachable.key_exists = false;
    unreachable.can_create = false;
    use_memory_registry(unreachable);
    testplatform::reset();
    EXPECT_EQ(write_settings(), 1);
    EXPECT_EQ(unreachable.log, (std::vector<std::string>{"open", "create"}));
    EXPECT_EQ(testplatform::events,
              (std::vector<std::string>{
                  "message_box(Error, Couldn't save datadir, error, none)",
                  "message_box(Error, Couldn't save settings: use_heightfield, fullscreen, "
                  "use_alt_blend, error, none)"}));
}

}  // namespace
}  // namespace zelm
