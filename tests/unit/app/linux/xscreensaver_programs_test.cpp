// zelm's entry in XScreenSaver's programs list: added once, removed whole, every other byte kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::string added(const std::string& text) {
    const ProgramsEdit edit = xscreensaver_with_zelm(text, defaults);
    EXPECT_EQ(edit.error, "");
    return edit.text;
}

std::string removed(const std::string& text) {
    const ProgramsEdit edit = xscreensaver_without_zelm(text);
    EXPECT_EQ(edit.error, "");
    return edit.text;
}

TEST(XScreenSaverPrograms, AddedFirstOnceAndRemovedToTheSameBytesWhateverTheLayout) {
    for (const std::string& text :
         {saved, std::string("programs:\n"), std::string("programs: maze --root \\n qix\n"),
          std::string("programs:\tmaze \\n\\\r\n  qix \\n\r\nlock: False\r\n"),
          std::string("programs: \\\n  maze \\n\\\n  qix \\n\\"), std::string("programs:")}) {
        const std::string with = added(text);
        EXPECT_EQ(xscreensaver_programs(with).front(), xscreensaver_zelm_entry) << with;
        EXPECT_EQ(added(with), with);
        EXPECT_EQ(removed(with), text);
    }
    EXPECT_EQ(removed(saved), saved);
}

TEST(XScreenSaverPrograms, AnEntryThePanelWrappedGoesWithAllItsLines) {
    // zelm's entry with three options, as xscreensaver-settings wraps it.
    std::string wrapped = saved;
    wrapped.insert(wrapped.find("\t\t\t\tmaze"),
                   "  GL: \t\t\t\tzelm --root --delay 50000 --heightfield\t      \\\n"
                   "\t\t\t\t  --no-alt-blend --fps\t\t\t    \\n\\\n");
    EXPECT_EQ(removed(wrapped), saved);
    // The last entry, by path, disabled: the line before it no longer continues into "lock:".
    EXPECT_EQ(removed("programs: \\\n  maze --root \\n\\\n- GL: \"Zelm\" /usr/bin/zelm -root \\n\n"
                      "lock: False\n"),
              "programs: \\\n  maze --root \\n\nlock: False\n");
    // Entries that share a line keep theirs; "zelmish" is not zelm.
    EXPECT_EQ(removed("programs: zelm --root \\n zelmish \\n\n"), "programs: zelmish \\n\n");
    // A disabled entry is replaced by an enabled one, not joined by it.
    EXPECT_EQ(xscreensaver_programs(added("programs: -\tzelm --root \\n maze\n")),
              (std::vector<std::string>{xscreensaver_zelm_entry, "maze"}));
}

TEST(XScreenSaverPrograms, AListThatCannotBeEditedSafelyIsLeftAlone) {
    const std::string twice = "programs: zelm --root\nprograms: maze\n";
    EXPECT_NE(xscreensaver_without_zelm(twice).error, "");
    EXPECT_EQ(xscreensaver_without_zelm(twice).text, twice);
    EXPECT_NE(xscreensaver_with_zelm(std::string("programs: maze\n\0", 16), defaults).error, "");
}

TEST(XScreenSaverPrograms, AFileWithoutAListStartsFromTheDaemonsDefaults) {
    EXPECT_EQ(removed(added("lock:\tFalse")), "lock:\tFalse\n" + defaults);
    EXPECT_EQ(xscreensaver_with_zelm("lock:\tFalse\n", "").text, "lock:\tFalse\n");
    const std::string app_defaults =
        "*mode: random\n*programs: \\\n  maze --root \\n\\\n"
        "  GL: gears --root \\n\n*lock: False\n";
    EXPECT_EQ(xscreensaver_default_programs(app_defaults),
              "programs: \\\n  maze --root \\n\\\n  GL: gears --root \\n\n");
    EXPECT_EQ(xscreensaver_default_programs("*mode: random\n"), "");
}

}  // namespace
}  // namespace zelm
