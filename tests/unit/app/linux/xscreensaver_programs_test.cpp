// zelm's entry in XScreenSaver's programs list: added once, removed whole, every other byte kept.
#include <gtest/gtest.h>

#include <string>

#include "app/linux/xscreensaver_programs.hpp"

namespace zelm {
namespace {

// As xscreensaver-settings writes it: settings around a programs list of three entries.
const std::string saved =
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "-\t\t\t\tqix --root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tgears --root\t\t\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

const std::string defaults = "programs:\t\\\n\t\tmaze --root\t\\n\\\n  GL: \tgears --root\t\\n\n";

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(XScreenSaverPrograms, AddedOnceFirstAndRemovedToTheSameBytes) {
    const std::string added = xscreensaver_with_zelm(saved, defaults);
    EXPECT_EQ(added.find(std::string("programs:\t\t\t\t\t\t\t\t      \\\n\t\t\t\t") +
                         xscreensaver_zelm_entry + "\t\t\t\t    \\n\\\n\t\t\t\tmaze"),
              added.find("programs:"));
    EXPECT_EQ(xscreensaver_with_zelm(added, defaults), added);
    EXPECT_EQ(xscreensaver_without_zelm(added), saved);
    EXPECT_EQ(xscreensaver_without_zelm(saved), saved);
}

TEST(XScreenSaverPrograms, AFileWithoutAListStartsFromTheDefaults) {
    const std::string added = xscreensaver_with_zelm("", defaults);
    EXPECT_EQ(count(added, "zelm --root"), 1);
    EXPECT_EQ(xscreensaver_without_zelm(added), defaults);
    EXPECT_EQ(xscreensaver_with_zelm("lock:\tFalse", defaults),
              "lock:\tFalse\n" + xscreensaver_with_zelm("", defaults));
    EXPECT_EQ(xscreensaver_with_zelm("lock:\tFalse\n", ""),
              "lock:\tFalse\n");  // nothing to start from
}

TEST(XScreenSaverPrograms, EveryZelmEntryGoesAndTheListStillEnds) {
    // zelm last, by path, disabled: the line before it must no longer continue into "lock:".
    const std::string text =
        "programs: \\\n  maze --root \\n\\\n- GL: \"Zelm\" /usr/bin/zelm -root \\n\n"
        "lock: False\n";
    EXPECT_EQ(xscreensaver_without_zelm(text), "programs: \\\n  maze --root \\n\nlock: False\n");
    // A disabled entry is replaced by an enabled one, not joined by it.
    EXPECT_EQ(count(xscreensaver_with_zelm(text, defaults), "zelm"), 1);
    // An entry on the first line, and "zelmish" is not zelm.
    EXPECT_EQ(xscreensaver_without_zelm("programs: zelm --root \\n zelmish \\n\n"),
              "programs: zelmish \\n\n");
}

TEST(XScreenSaverPrograms, TheDaemonsDefaultsAreNamedAsTheUsersFileNamesThem) {
    const std::string app_defaults =
        "*mode: random\n*programs: \\\n  maze --root \\n\\\n"
        "  GL: gears --root \\n\n*lock: False\n";
    EXPECT_EQ(xscreensaver_default_programs(app_defaults),
              "programs: \\\n  maze --root \\n\\\n  GL: gears --root \\n\n");
    EXPECT_EQ(xscreensaver_default_programs("*mode: random\n"), "");
}

}  // namespace
}  // namespace zelm
