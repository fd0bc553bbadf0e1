// The XDG settings store under read_settings / write_settings, over temporary directories.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/config_dialog.hpp"
#include "settings/settings.hpp"
#include "settings/xdg/registry_xdg.hpp"
#include "tests/support/test_platform.hpp"

namespace fs = std::filesystem;
using namespace zelm;

namespace {

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string current_directory() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) != nullptr ? buf : "";
}

class XdgStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelm-xdg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        home = root / "home";
        system1 = root / "sys1";
        system2 = root / "sys2";
        fs::create_directories(home);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (system1.string() + ":" + system2.string()).c_str(), 1);
        store = xdg_store_from_environment();
        settings_registry = xdg_settings_registry(store);
        use_heightfield = 1;
        fullscreen = 0;
        use_alt_blend = 0;
        start_dir = current_directory();
        testplatform::reset();
    }

    void TearDown() override {
        ASSERT_EQ(chdir(start_dir.c_str()), 0);
        fs::remove_all(root);
    }

    // Puts all four values under base, as an installer or an earlier OK would.
    void seed(const fs::path& base, const std::string& dir, const std::string& heightfield,
              const std::string& full, const std::string& alt) {
        write_file(key(base) / "datadir", dir);
        write_file(key(base) / "use_heightfield", heightfield);
        write_file(key(base) / "fullscreen", full);
        write_file(key(base) / "use_alt_blend", alt);
    }

    static fs::path key(const fs::path& base) { return base / "Varno" / "ZELM"; }

    fs::path root, home, system1, system2;
    XdgStore store;
    std::string start_dir;
};

TEST_F(XdgStoreTest, EnvironmentNamesTheDirectoriesAndFallsBackToDefaults) {
    setenv("XDG_CONFIG_DIRS", "relative/dir::/etc/one:/etc/two", 1);
    XdgStore named = xdg_store_from_environment();
    EXPECT_EQ(named.config_home, home.string());
    EXPECT_EQ(named.config_dirs, (std::vector<std::string>{"/etc/one", "/etc/two"}));

    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "", 1);
    unsetenv("XDG_CONFIG_DIRS");
    XdgStore defaults = xdg_store_from_environment();
    EXPECT_EQ(defaults.config_home, "/home/someone/.config");
    EXPECT_EQ(defaults.config_dirs, std::vector<std::string>{"/etc/xdg"});

    // A relative config home is ignored like an unset one.
    setenv("XDG_CONFIG_HOME", "config", 1);
    EXPECT_EQ(xdg_store_from_environment().config_home, "/home/someone/.config");
}

TEST_F(XdgStoreTest, FirstRunCreatesTheKeyEmptyAndKeepsTheDefaults) {
    EXPECT_EQ(read_settings(), 0);
    EXPECT_TRUE(fs::is_directory(key(home)));
    EXPECT_TRUE(fs::is_empty(key(home)));
    EXPECT_STREQ(datadir, ".");
    EXPECT_EQ(use_heightfield, 1);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(use_alt_blend, 0);
    EXPECT_EQ(current_directory(), start_dir);
}

TEST_F(XdgStoreTest, KeyThatCannotBeCreatedReadsNothing) {
    // A config home that is a file: the key can be neither opened nor created.
    write_file(root / "file", "x");
    setenv("XDG_CONFIG_HOME", (root / "file").c_str(), 1);
    store = xdg_store_from_environment();
    EXPECT_EQ(read_settings(), 0);
    EXPECT_STREQ(datadir, ".");
    EXPECT_EQ(use_heightfield, 1);
}

TEST_F(XdgStoreTest, ReadsAllFourAndEntersTheDataDirectory) {
    fs::create_directories(root / "data");
    seed(home, (root / "data").string() + "\n", "0\n", " 7", "-1");
    EXPECT_EQ(read_settings(), 1);
    EXPECT_EQ(std::string(datadir), (root / "data").string());
    EXPECT_EQ(use_heightfield, 0);
    EXPECT_EQ(fullscreen, 7);
    EXPECT_EQ(use_alt_blend, -1);
    EXPECT_EQ(fs::path(current_directory()), fs::canonical(root / "data"));
}

TEST_F(XdgStoreTest, UserValuesShadowSystemValuesOneByOne) {
    seed(system2, "/sys2", "0", "0", "0");
    seed(system1, "/sys1", "1", "1", "1");
    write_file(key(home) / "use_alt_blend", "0\n");
    fs::remove(key(system1) / "datadir");
    EXPECT_EQ(read_settings(), 1);
    EXPECT_STREQ(datadir, "/sys2");  // only the second system directory has it
    EXPECT_EQ(use_heightfield, 1);   // the first system directory wins over the second
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(use_alt_blend, 0);  // the user's value wins
}

TEST_F(XdgStoreTest, AValueThatDoesNotFitIsAFailedRead) {
    seed(home, std::string(999, 'd'), "123456789", "1234567890", "2\n");
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(std::string(datadir), std::string(999, 'd'));
    EXPECT_EQ(use_heightfield, 123456789);
    EXPECT_EQ(fullscreen, 0);  // ten characters do not fit with the terminator
    EXPECT_EQ(use_alt_blend, 2);

    write_file(key(home) / "datadir", std::string(1000, 'd'));
    write_file(key(home) / "fullscreen", "123456789\n");
    EXPECT_EQ(read_settings(), 0);
    EXPECT_STREQ(datadir, ".");
    EXPECT_EQ(fullscreen, 123456789);  // the newline is not part of the value
}

TEST_F(XdgStoreTest, OnlyOneTrailingNewlineIsDropped) {
    EXPECT_EQ(xdg_value_text("/data\n"), "/data");
    EXPECT_EQ(xdg_value_text("/data\n\n"), "/data\n");
    EXPECT_EQ(xdg_value_text("/data"), "/data");
    EXPECT_EQ(xdg_value_text("\n"), "");
    EXPECT_EQ(xdg_value_text(""), "");
}

TEST_F(XdgStoreTest, UnreadableUserValueDoesNotFallBackToTheSystemOne) {
    seed(system1, "/sys", "0", "1", "1");
    fs::create_directories(key(home) / "fullscreen");  // not a file
    // A FIFO with no writer: an ordinary open would wait for one for ever.
    ASSERT_EQ(mkfifo((key(home) / "use_alt_blend").c_str(), 0600), 0);
    EXPECT_EQ(read_settings(), 0);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(use_alt_blend, 0);
    EXPECT_EQ(use_heightfield, 0);
}

TEST_F(XdgStoreTest, ConfirmWritesAllFourToTheConfigHomeOnly) {
    seed(system1, "/sys", "1", "1", "1");
    read_settings();
    ASSERT_FALSE(fs::exists(key(home)));
    config_dialog_confirm("/my/data", 0, 1, 0);
    EXPECT_EQ(read_file(key(home) / "datadir"), "/my/data\n");
    EXPECT_EQ(read_file(key(home) / "use_heightfield"), "0\n");
    EXPECT_EQ(read_file(key(home) / "use_alt_blend"), "1\n");
    EXPECT_EQ(read_file(key(home) / "fullscreen"), "0\n");
    EXPECT_EQ(read_file(key(system1) / "datadir"), "/sys");
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(key(home))) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 4);  // no temporary file left behind
    EXPECT_TRUE(testplatform::events.empty());
}

TEST_F(XdgStoreTest, WhatConfirmWritesReadsBackTheSame) {
    read_settings();
    const std::string long_path = "/" + std::string(1200, 'p');
    config_dialog_confirm(long_path.c_str(), 1, 0, 1);
    use_heightfield = 0;
    fullscreen = 0;
    EXPECT_EQ(read_settings(), 1);
    EXPECT_EQ(std::string(datadir), long_path.substr(0, 999));
    EXPECT_EQ(use_heightfield, 1);
    EXPECT_EQ(fullscreen, 1);

    config_dialog_confirm("", 0, 0, 0);
    EXPECT_EQ(read_settings(), 1);
    EXPECT_STREQ(datadir, "");
}

TEST_F(XdgStoreTest, WritingReplacesTheFileInsteadOfRewritingIt) {
    seed(home, "/old", "1", "0", "0");
    read_settings();
    // A reader that opened the old value still reads it whole after the write.
    std::ifstream reader(key(home) / "datadir", std::ios::binary);
    config_dialog_confirm("/a/much/longer/new/path", 1, 0, 0);
    std::stringstream seen;
    seen << reader.rdbuf();
    EXPECT_EQ(seen.str(), "/old");
    EXPECT_EQ(read_file(key(home) / "datadir"), "/a/much/longer/new/path\n");
}

// A value kept with the user's dotfiles behind a link, and private to its owner.
TEST_F(XdgStoreTest, WritingGoesThroughALinkAndKeepsTheFilesPermissions) {
    seed(home, "/old", "1", "0", "0");
    const fs::path kept = root / "dotfiles" / "datadir";
    write_file(kept, "/old\n");
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(key(home) / "datadir");
    fs::create_symlink(kept, key(home) / "datadir");
    read_settings();
    config_dialog_confirm("/new", 1, 0, 0);
    EXPECT_TRUE(fs::is_symlink(key(home) / "datadir"));
    EXPECT_EQ(read_file(kept), "/new\n");
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(XdgStoreTest, KeyMissingEverywhereIsCreatedByWriting) {
    read_settings();
    fs::remove_all(key(home));
    config_dialog_confirm("/x", 1, 1, 1);
    EXPECT_EQ(read_file(key(home) / "datadir"), "/x\n");
    EXPECT_TRUE(testplatform::events.empty());
}

TEST_F(XdgStoreTest, KeyThatCannotBeCreatedLosesEveryValueAndSaysSo) {
    const std::string lost_switches =
        "message_box(Error, Couldn't save settings: use_heightfield, fullscreen, use_alt_blend, "
        "error, none)";
    // A read-only parent stops the creation; root ignores the mode, so a file in the way
    // stands in for it there.
    fs::path parent = root / "read-only";
    if (geteuid() == 0) {
        parent = root / "a-file";
        write_file(parent, "x");
    } else {
        fs::create_directories(parent);
        fs::permissions(parent, fs::perms::owner_read | fs::perms::owner_exec);
    }
    setenv("XDG_CONFIG_HOME", (parent / "config").c_str(), 1);
    store = xdg_store_from_environment();
    read_settings();
    testplatform::reset();
    config_dialog_confirm("/x", 1, 1, 1);
    EXPECT_EQ(testplatform::events,
              (std::vector<std::string>{"message_box(Error, Couldn't save datadir, error, none)",
                                        lost_switches}));
    fs::permissions(parent, fs::perms::owner_all);
}

TEST_F(XdgStoreTest, EveryValueNotStoredIsReported) {
    read_settings();
    fs::create_directories(key(home) / "datadir" / "in-the-way");
    fs::create_directories(key(home) / "use_alt_blend" / "in-the-way");
    config_dialog_confirm("/x", 0, 1, 1);
    EXPECT_EQ(testplatform::events,
              (std::vector<std::string>{
                  "message_box(Error, Couldn't save datadir, error, none)",
                  "message_box(Error, Couldn't save settings: use_alt_blend, error, none)"}));
    EXPECT_EQ(read_file(key(home) / "fullscreen"), "1\n");
    EXPECT_TRUE(fs::is_directory(key(home) / "datadir"));
}

TEST_F(XdgStoreTest, WritingRemovesTheTemporaryFilesOfDeadWritersOnly) {
    read_settings();
    // A child that has exited and been reaped: its id names no process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string dead = ".fullscreen.tmp" + std::to_string(child) + ".0";
    const std::string live = ".datadir.tmp" + std::to_string(getpid()) + ".7";
    write_file(key(home) / dead, "1");
    write_file(key(home) / live, "/half");
    write_file(key(home) / ".notes.tmp", "kept");
    const std::string not_a_setting = ".notes.tmp" + std::to_string(child) + ".0";
    write_file(key(home) / not_a_setting, "kept");
    config_dialog_confirm("/x", 1, 0, 0);
    EXPECT_FALSE(fs::exists(key(home) / dead));
    EXPECT_TRUE(fs::exists(key(home) / live));
    EXPECT_TRUE(fs::exists(key(home) / ".notes.tmp"));
    EXPECT_TRUE(fs::exists(key(home) / not_a_setting));
    EXPECT_EQ(read_file(key(home) / "fullscreen"), "0\n");
}

}  // namespace
