// The installed layout: `cmake --install` of the test build into staging folders, checked
// against one list of expected files (scripts/check-package checks the Debian package).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Installed entries by path below the staging root: a link's target, or "" for a file.
using Layout = std::map<std::string, std::string>;

// What `cmake --install --prefix /usr` lays out, and nothing else.
const Layout usr_layout = {
    {"etc/xdg/Varno/ZELM/datadir", ""},
    {"etc/xdg/Varno/ZELM/fullscreen", ""},
    {"etc/xdg/Varno/ZELM/use_alt_blend", ""},
    {"etc/xdg/Varno/ZELM/use_heightfield", ""},
    {"usr/bin/zelm", ""},
    {"usr/bin/zelm-capture", ""},
    {"usr/libexec/xscreensaver/zelm", "../../bin/zelm"},
    {"usr/share/applications/zelm-settings.desktop", ""},
    {"usr/share/doc/zelm/changelog.gz", ""},
    {"usr/share/doc/zelm/copyright", ""},
    {"usr/share/applications/zelm.desktop", ""},
    {"usr/share/applications/screensavers/zelm.desktop", ""},
    {"usr/share/icons/hicolor/128x128/apps/zelm.png", ""},
    {"usr/share/icons/hicolor/16x16/apps/zelm.png", ""},
    {"usr/share/icons/hicolor/256x256/apps/zelm.png", ""},
    {"usr/share/icons/hicolor/32x32/apps/zelm.png", ""},
    {"usr/share/icons/hicolor/48x48/apps/zelm.png", ""},
    {"usr/share/icons/hicolor/64x64/apps/zelm.png", ""},
    {"usr/share/man/man1/zelm-capture.1.gz", ""},
    {"usr/share/man/man6/zelm.6.gz", ""},
    {"usr/share/xscreensaver/config/zelm.xml", ""},
    {"usr/share/zelm/font.pcx", ""},
    {"usr/share/zelm/height.pcx", ""},
    {"usr/share/zelm/particle.pcx", ""},
};

// The default settings' texts for an install whose data folder is datadir.
std::map<std::string, std::string> default_settings(const std::string& datadir) {
    return {{"datadir", datadir + "\n"},
            {"fullscreen", "0\n"},
            {"use_alt_blend", "0\n"},
            {"use_heightfield", "1\n"}};
}

struct CommandResult {
    int status;
    std::string output;  // stdout and stderr together
};

// Runs command through the shell.
CommandResult run(const std::string& command) {
    CommandResult result{-1, ""};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        result.output.append(buf, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// text as one shell word.
std::string quoted(const std::string& text) {
    std::string word = "'";
    for (char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A new empty folder, removed with everything in it at the end of the test.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "zelm-install-XXXXXX").string();
        path = mkdtemp(pattern.data()) != nullptr ? fs::path(pattern) : fs::path();
    }
    ~TempDir() {
        if (!path.empty()) {
            fs::remove_all(path);
        }
    }
};

// Every file and link below root; other kinds of entry are listed as "?".
Layout layout_of(const fs::path& root) {
    Layout layout;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            layout[path] = fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            layout[path] = "";
        } else if (!entry.is_directory()) {
            layout[path] = "?";
        }
    }
    return layout;
}

// Installs the test build into stage as if into prefix.
void install(const fs::path& stage, const std::string& prefix) {
    const CommandResult result =
        run("DESTDIR=" + quoted(stage.string()) + " " + quoted(ZELM_CMAKE) + " --install " +
            quoted(ZELM_BUILD_DIR) + " --prefix " + quoted(prefix));
    ASSERT_EQ(result.status, 0) << result.output;
}

// The settings folder holds the four defaults, with datadir naming the installed data.
void expect_settings(const fs::path& settings_dir, const std::string& datadir) {
    for (const auto& [name, text] : default_settings(datadir)) {
        EXPECT_EQ(read_file(settings_dir / name), text) << name;
    }
}

TEST(InstallLayout, PrefixUsrLaysOutExactlyTheExpectedFilesWithSettingsInEtcXdg) {
    TempDir stage;
    ASSERT_FALSE(stage.path.empty());
    ASSERT_NO_FATAL_FAILURE(install(stage.path, "/usr"));

    EXPECT_EQ(layout_of(stage.path), usr_layout);
    EXPECT_FALSE(fs::exists(stage.path / "usr/etc"));
    expect_settings(stage.path / "etc/xdg/Varno/ZELM", "/usr/share/zelm");

    const fs::path source = ZELM_SOURCE_DIR;
    for (const char* name : {"font.pcx", "height.pcx", "particle.pcx"}) {
        EXPECT_EQ(read_file(stage.path / "usr/share/zelm" / name),
                  read_file(source / "data" / name))
            << name;
    }
    const fs::path config = stage.path / "usr/share/xscreensaver/config/zelm.xml";
    EXPECT_EQ(read_file(config), read_file(source / "packaging/zelm.xml"));
    // XScreenSaver matches the description to the hack by name, and runs it with this command.
    const std::string xml = quoted(config.string());
    const CommandResult well_formed = run("xmllint --noout " + xml);
    EXPECT_EQ(well_formed.status, 0) << well_formed.output;
    EXPECT_EQ(run("xmllint --xpath 'string(/screensaver/@name)' " + xml).output, "zelm\n");
    EXPECT_EQ(run("xmllint --xpath 'string(/screensaver/command/@arg)' " + xml).output, "--root\n");
    EXPECT_EQ(read_file(config).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
    // The panel can turn the water on and off, whatever the stored setting says.
    EXPECT_EQ(run("xmllint --xpath 'count(//option[@arg-set=\"--heightfield\"])"
                  " + count(//option[@arg-set=\"--no-heightfield\"])' " +
                  xml)
                  .output,
              "2\n");

    // The menu entries are valid, run the demo and the settings dialog, and name an icon that
    // exists at every size its folder says.
    const fs::path applications = stage.path / "usr/share/applications";
    const CommandResult valid =
        run("desktop-file-validate " + quoted((applications / "zelm.desktop").string()) + " " +
            quoted((applications / "zelm-settings.desktop").string()));
    EXPECT_EQ(valid.status, 0) << valid.output;
    EXPECT_EQ(valid.output, "");
    // The screen savers' entry runs the hack; its category is no menu's, which the tool hints at.
    const std::string saver = (applications / "screensavers/zelm.desktop").string();
    const CommandResult saver_valid =
        run("desktop-file-validate " + quoted(saver) + " | grep -v ': hint: '");
    EXPECT_EQ(saver_valid.output, "");
    EXPECT_NE(read_file(saver).find("\nExec=zelm --root\n"), std::string::npos);
    const std::string demo = read_file(applications / "zelm.desktop");
    const std::string settings = read_file(applications / "zelm-settings.desktop");
    for (const auto& [entry, name, exec] :
         {std::tuple{demo, "Zelm", "zelm"}, std::tuple{settings, "Zelm Settings", "zelm /c"}}) {
        EXPECT_NE(entry.find(std::string("\nName=") + name + "\n"), std::string::npos) << entry;
        EXPECT_NE(entry.find(std::string("\nExec=") + exec + "\n"), std::string::npos) << entry;
        EXPECT_NE(entry.find("\nIcon=zelm\n"), std::string::npos) << entry;
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string dimension = std::to_string(size) + "x" + std::to_string(size);
        const std::string png =
            read_file(stage.path / "usr/share/icons/hicolor" / dimension / "apps/zelm.png");
        ASSERT_GE(png.size(), 24u) << dimension;
        EXPECT_EQ(png.substr(1, 3), "PNG") << dimension;
        // IHDR's width and height, big-endian, at bytes 16 and 20.
        const auto be32 = [&png](std::size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) |
                   (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) |
                   static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(be32(16), size) << dimension;
        EXPECT_EQ(be32(20), size) << dimension;
    }

    // The hack is the installed program, and both programs can be run.
    EXPECT_TRUE(
        fs::equivalent(stage.path / "usr/libexec/xscreensaver/zelm", stage.path / "usr/bin/zelm"));
    for (const char* program : {"usr/bin/zelm", "usr/bin/zelm-capture"}) {
        const fs::perms perms = fs::status(stage.path / program).permissions();
        EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none) << program;
    }
}

TEST(InstallLayout, SettingsAndHackFollowThePrefixChosenAtInstallTime) {
    TempDir stage;
    ASSERT_FALSE(stage.path.empty());

    ASSERT_NO_FATAL_FAILURE(install(stage.path / "local", "/usr/local"));
    expect_settings(stage.path / "local/usr/local/etc/xdg/Varno/ZELM", "/usr/local/share/zelm");
    EXPECT_EQ(fs::read_symlink(stage.path / "local/usr/local/libexec/xscreensaver/zelm"),
              "../../bin/zelm");
    EXPECT_FALSE(fs::exists(stage.path / "local/etc"));

    // Under /opt the GNU rules put configuration in /etc/opt/<name>.
    ASSERT_NO_FATAL_FAILURE(install(stage.path / "opt", "/opt/zelm"));
    expect_settings(stage.path / "opt/etc/opt/zelm/xdg/Varno/ZELM", "/opt/zelm/share/zelm");
    EXPECT_TRUE(fs::exists(stage.path / "opt/opt/zelm/share/zelm/font.pcx"));
}

}  // namespace
