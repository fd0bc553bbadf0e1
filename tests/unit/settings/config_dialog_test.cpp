#include "settings/config_dialog.hpp"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings.hpp"
#include "tests/unit/settings/memory_registry.hpp"

namespace zelm {
namespace {

TEST(ConfigDialog, ChecksShowAnyNonZeroValueAsOn) {
    EXPECT_EQ(dialog_check_state(0), 0);
    EXPECT_EQ(dialog_check_state(1), 1);
    EXPECT_EQ(dialog_check_state(-1), 1);
    EXPECT_EQ(dialog_check_state(7), 1);
}

TEST(ConfigDialog, OkStoresTheControlsWithSwitchesAsZeroOrOne) {
    MemoryRegistry reg;
    use_memory_registry(reg);
    read_settings();
    use_alt_blend = 7;
    config_dialog_confirm("/opt/zelm/data", 0, 1, 1);
    EXPECT_EQ(reg.values.at("datadir"), "/opt/zelm/data");
    EXPECT_EQ(reg.values.at("use_heightfield"), "0");
    EXPECT_EQ(reg.values.at("use_alt_blend"), "1");
    EXPECT_EQ(reg.values.at("fullscreen"), "1");
    EXPECT_EQ(use_alt_blend, 1);
}

TEST(ConfigDialog, OkWithAnEmptyFieldStoresAnEmptyDirectory) {
    MemoryRegistry reg;
    use_memory_registry(reg);
    read_settings();
    config_dialog_confirm("", 1, 0, 0);
    EXPECT_EQ(reg.values.at("datadir"), "");
}

TEST(ConfigDialog, ALongPathIsCutToItsFirst999Characters) {
    MemoryRegistry reg;
    use_memory_registry(reg);
    read_settings();
    const std::string typed = std::string(999, 'a') + "bcdef";
    config_dialog_confirm(typed.c_str(), 1, 0, 0);
    EXPECT_EQ(reg.values.at("datadir"), std::string(999, 'a'));
    EXPECT_EQ(std::string(datadir), std::string(999, 'a'));
}

TEST(ConfigDialog, WorksBeforeTheSettingsWereEverRead) {
    MemoryRegistry reg;
    use_memory_registry(reg);
    config_dialog_confirm("x", 1, 1, 0);
    EXPECT_EQ(reg.values.at("datadir"), "x");
}

}  // namespace
}  // namespace zelm
