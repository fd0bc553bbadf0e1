// The XScreenSaver options: window ids in their two notations, which window a hack takes, and
// the options every hack takes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/linux/linux_options.hpp"

namespace zelm {
namespace {

// parse_linux_request over "zelm" followed by args.
LinuxRequest parse(std::initializer_list<const char*> args, const char* variable = nullptr) {
    std::vector<const char*> argv{"zelm"};
    argv.insert(argv.end(), args);
    return parse_linux_request(static_cast<int>(argv.size()), argv.data(), variable);
}

// The id that text parses to, or 0 when it is refused.
unsigned long id_of(const char* text) {
    unsigned long id = 0;
    return parse_window_id(text, id) ? id : 0;
}

TEST(WindowId, HexWithPrefixDecimalOtherwise) {
    EXPECT_EQ(id_of("0x1a00003"), 0x1a00003ul);
    EXPECT_EQ(id_of("0X1A00003"), 0x1a00003ul);
    EXPECT_EQ(id_of("27262979"), 27262979ul);
    EXPECT_EQ(id_of("017"), 17ul);  // not octal
    EXPECT_EQ(id_of(" 0x20\n"), 0x20ul);
    EXPECT_EQ(id_of("0xFFFFFFFF"), 0xFFFFFFFFul);
    EXPECT_EQ(id_of("4294967295"), 4294967295ul);
}

TEST(WindowId, GarbageZeroAndOversizedIdsAreRefused) {
    for (const char* text :
         {"", " ", "0x", "x10", "0x1g", "12abc", "1a", "-5", "+5", "0", "0x0", "1 2", "0x 1",
          "0x100000000", "4294967296", "99999999999999999999", "0xFFFFFFFFFFFFFFFF1"}) {
        unsigned long id = 123;
        EXPECT_FALSE(parse_window_id(text, id)) << '"' << text << '"';
        EXPECT_EQ(id, 123ul) << "changed by \"" << text << '"';
    }
    unsigned long id = 0;
    EXPECT_FALSE(parse_window_id(nullptr, id));
}

TEST(LinuxRequest, WindowIdInBothSpellings) {
    for (const char* option : {"-window-id", "--window-id"}) {
        LinuxRequest request = parse({option, "0x2a"});
        EXPECT_EQ(request.command, LinuxCommand::window) << option;
        EXPECT_EQ(request.window_id, 0x2aul) << option;
        request = parse({option, "42"});
        EXPECT_EQ(request.window_id, 42ul) << option;
    }
}

TEST(LinuxRequest, RootUsesTheDaemonsWindowWhenItIsSet) {
    EXPECT_EQ(parse({"-root"}).command, LinuxCommand::root);
    EXPECT_EQ(parse({"--root"}).command, LinuxCommand::root);
    EXPECT_EQ(parse({"-root"}, "").command, LinuxCommand::root);
    const LinuxRequest request = parse({"-root"}, "0x400001");
    EXPECT_EQ(request.command, LinuxCommand::window);
    EXPECT_EQ(request.window_id, 0x400001ul);
}

TEST(LinuxRequest, WhichWindowWins) {
    // An explicit id beats -root and the variable, in either order; the last id counts.
    for (const LinuxRequest& request :
         {parse({"-root", "-window-id", "7"}, "0x99"), parse({"-window-id", "7", "-root"}, "0x99"),
          parse({"-window-id", "5", "--window-id", "7"})}) {
        EXPECT_EQ(request.command, LinuxCommand::window);
        EXPECT_EQ(request.window_id, 7ul);
    }
    // The variable alone makes a hack only with no arguments at all.
    const LinuxRequest alone = parse({}, "1234");
    EXPECT_EQ(alone.command, LinuxCommand::window);
    EXPECT_EQ(alone.window_id, 1234ul);
    EXPECT_EQ(parse({"/s"}, "1234").command, LinuxCommand::none);
    EXPECT_EQ(parse({}, "").command, LinuxCommand::none);
    EXPECT_EQ(parse({}).command, LinuxCommand::none);
}

TEST(LinuxRequest, TheWindowsSwitchesKeepTheirMeaning) {
    EXPECT_EQ(parse({"/p", "-root"}).command, LinuxCommand::none);
    EXPECT_EQ(parse({"/c", "-window-id", "junk"}).command, LinuxCommand::none);
    EXPECT_EQ(parse({"/c:1234"}, "0x10").command, LinuxCommand::none);
    EXPECT_EQ(parse({"/s"}).command, LinuxCommand::none);
    // Behind a hack option they are only unknown arguments.
    EXPECT_EQ(parse({"-root", "/p"}).command, LinuxCommand::bad);
}

TEST(LinuxRequest, BadOptionsSayWhatIsWrong) {
    struct Case {
        LinuxRequest request;
        const char* error;
    };
    for (const Case& c : {
             Case{parse({"-window-id"}), "-window-id needs a window id"},
             Case{parse({"-root", "--window-id"}), "--window-id needs a window id"},
             Case{parse({"-window-id", "0xzz"}), "not a window id: \"0xzz\""},
             Case{parse({"-window-id", "-root"}), "not a window id: \"-root\""},
             Case{parse({"-window-id", "0"}), "not a window id: \"0\""},
             Case{parse({"-root"}, "garbage"),
                  "XSCREENSAVER_WINDOW is not a window id: \"garbage\""},
             Case{parse({}, "0x"), "XSCREENSAVER_WINDOW is not a window id: \"0x\""},
             Case{parse({"-root", "-speed", "10"}), "unknown option \"-speed\""},
             Case{parse({"extra", "-window-id", "3"}), "unknown option \"extra\""},
             Case{parse({"-root", "-delay"}),
                  "-delay needs a number of microseconds from 0 to 10000000"},
             Case{parse({"--root", "--delay", "-5"}),
                  "--delay needs a number of microseconds from 0 to 10000000"},
             Case{parse({"-root", "-delay", "10000001"}),
                  "-delay needs a number of microseconds from 0 to 10000000"},
             Case{parse({"-root", "-delay", "2e4"}),
                  "-delay needs a number of microseconds from 0 to 10000000"},
             Case{parse({"-root", "--visual"}), "--visual needs a visual"},
         }) {
        EXPECT_EQ(c.request.command, LinuxCommand::bad) << c.error;
        EXPECT_EQ(c.request.error, c.error);
    }
    // Only an unknown option is followed by the usage.
    EXPECT_EQ(parse({"-root", "-speed"}).usage_too, 1);
    EXPECT_EQ(parse({"-root", "-delay", "x"}).usage_too, 0);
    // An explicit id needs no variable, so a broken one does not matter then.
    EXPECT_EQ(parse({"-window-id", "9"}, "garbage").command, LinuxCommand::window);
}

TEST(LinuxRequest, TheHackOptionsInBothSpellingsAndAnyOrder) {
    const LinuxRequest defaults = parse({"-root"});
    EXPECT_EQ(defaults.delay_us, 30000);
    EXPECT_EQ(defaults.show_fps, 0);
    EXPECT_EQ(defaults.heightfield, -1);
    EXPECT_EQ(defaults.alt_blend, -1);
    for (const LinuxRequest& request :
         {parse({"-root", "-delay", "20000", "-fps", "-no-heightfield", "-alt-blend"}),
          parse({"--alt-blend", "--no-heightfield", "--fps", "--delay", "20000", "--root"}),
          parse({"-fps", "--visual", "0x21", "-install", "--noinstall", "-mono", "--pair",
                 "--window-id", "0x2a", "-no-heightfield", "-delay", "7", "--delay", "20000",
                 "-alt-blend"})}) {
        EXPECT_NE(request.command, LinuxCommand::bad) << request.error;
        EXPECT_EQ(request.delay_us, 20000);
        EXPECT_EQ(request.show_fps, 1);
        EXPECT_EQ(request.heightfield, 0);
        EXPECT_EQ(request.alt_blend, 1);
    }
    // The last of a pair counts; 0 turns pacing off.
    const LinuxRequest last =
        parse({"-window-id", "5", "-fps", "--no-fps", "-no-heightfield", "-heightfield",
               "--alt-blend", "-no-alt-blend", "-delay", "0"});
    EXPECT_EQ(last.command, LinuxCommand::window);
    EXPECT_EQ(last.show_fps, 0);
    EXPECT_EQ(last.heightfield, 1);
    EXPECT_EQ(last.alt_blend, 0);
    EXPECT_EQ(last.delay_us, 0);
    // The options keep the daemon's window from the variable.
    const LinuxRequest daemon = parse({"-root", "-delay", "1000", "-fps"}, "0x400001");
    EXPECT_EQ(daemon.command, LinuxCommand::window);
    EXPECT_EQ(daemon.window_id, 0x400001ul);
    EXPECT_EQ(daemon.delay_us, 1000);
}

TEST(LinuxRequest, UnknownOptionsAreRefusedInEveryMode) {
    for (const LinuxRequest& request :
         {parse({"-window"}), parse({"-s"}), parse({"--bogus"}), parse({"/c", "-c"}),
          parse({"/p", "-root", "--delay", "5", "-x"}), parse({"-"})}) {
        EXPECT_EQ(request.command, LinuxCommand::bad);
        EXPECT_EQ(request.usage_too, 1);
    }
    // A value is no option, even when it starts with "-"; known options outside a hack are left
    // to the run modes.
    EXPECT_EQ(parse({"-root", "-visual", "-1"}).command, LinuxCommand::root);
    EXPECT_EQ(parse({"/c", "-fps"}).command, LinuxCommand::none);
    EXPECT_EQ(parse({"--bogus", "--version"}).command, LinuxCommand::version);
    EXPECT_EQ(parse({"-xscreensaver-add"}).command, LinuxCommand::xscreensaver_add);
    EXPECT_EQ(parse({"--xscreensaver-remove"}).command, LinuxCommand::xscreensaver_remove);
}

TEST(LinuxRequest, HelpWinsEverywhere) {
    for (const LinuxRequest& request :
         {parse({"--help"}), parse({"-help"}), parse({"-h"}), parse({"-root", "-bogus", "--help"}),
          parse({"/c", "-h"}), parse({"-window-id", "junk", "-help"}), parse({"--help"}, "0x10"),
          parse({"--version", "--help"})}) {
        EXPECT_EQ(request.command, LinuxCommand::help);
    }
}

TEST(LinuxRequest, OverlayTakesTheSaverOptionsAndNoX11Window) {
    const LinuxRequest overlay = parse({"--overlay", "--delay", "0", "--fps", "--no-heightfield"});
    EXPECT_EQ(overlay.command, LinuxCommand::overlay);
    EXPECT_EQ(overlay.delay_us, 0);
    EXPECT_EQ(overlay.show_fps, 1);
    EXPECT_EQ(overlay.heightfield, 0);
    EXPECT_EQ(parse({"--overlay", "--bogus"}).command, LinuxCommand::bad);
    EXPECT_EQ(parse({"--overlay", "-root"}).command, LinuxCommand::bad);
    EXPECT_EQ(parse({"--overlay", "--x11"}).command, LinuxCommand::bad);
    EXPECT_EQ(parse({"-window-id", "7", "--wayland"}).command, LinuxCommand::bad);
}

TEST(LinuxRequest, IdleAndAutostartTakeSecondsAndTheSaverOptions) {
    const LinuxRequest idle = parse({"--idle", "300", "--fps", "--alt-blend"});
    EXPECT_EQ(idle.command, LinuxCommand::idle);
    EXPECT_EQ(idle.idle_seconds, 300);
    EXPECT_EQ(parse({"--autostart", "86400"}).command, LinuxCommand::autostart);
    EXPECT_EQ(parse({"--no-autostart"}).command, LinuxCommand::no_autostart);
    for (const auto& refused :
         {parse({"--idle", "0"}), parse({"--idle", "86401"}), parse({"--idle"}),
          parse({"--idle", "5", "--overlay"}), parse({"--idle", "5", "-root"}),
          parse({"--idle", "5", "--x11"}), parse({"--idle", "5", "--bogus"}),
          parse({"--autostart", "5", "--no-autostart"})}) {
        EXPECT_EQ(refused.command, LinuxCommand::bad);
    }
}

// The watcher's saver and the autostart entry get the look through saver_options.
TEST(LinuxRequest, TheSaverOptionsGiveBackTheSameLook) {
    for (const auto& request :
         {parse({"--idle", "9"}),
          parse({"--idle", "9", "--delay", "0", "--fps", "--heightfield", "--no-alt-blend"}),
          parse({"--idle", "9", "--no-heightfield", "--alt-blend"})}) {
        std::vector<const char*> argv{"zelm", "--overlay"};
        const std::vector<std::string> options = saver_options(request);
        for (const std::string& option : options) {
            argv.push_back(option.c_str());
        }
        const LinuxRequest saver =
            parse_linux_request(static_cast<int>(argv.size()), argv.data(), nullptr);
        EXPECT_EQ(saver.command, LinuxCommand::overlay);
        EXPECT_EQ(saver.delay_us, request.delay_us);
        EXPECT_EQ(saver.show_fps, request.show_fps);
        EXPECT_EQ(saver.heightfield, request.heightfield);
        EXPECT_EQ(saver.alt_blend, request.alt_blend);
    }
}

TEST(LinuxRequest, TheLastDisplayChoiceCountsInEveryMode) {
    EXPECT_EQ(parse({}).display, DisplayChoice::any);
    EXPECT_EQ(parse({"--wayland"}).display, DisplayChoice::wayland);
    EXPECT_EQ(parse({"--wayland", "--x11"}).display, DisplayChoice::x11);
    const LinuxRequest hack = parse({"-root", "--x11"});
    EXPECT_EQ(hack.command, LinuxCommand::root);
    EXPECT_EQ(hack.display, DisplayChoice::x11);
}

TEST(RunModeCommandLine, TheDisplayChoiceDoesNotHideTheRunMode) {
    const std::vector<const char*> argv{"zelm", "--x11", "/c", "-wayland", "x"};
    EXPECT_EQ(run_mode_command_line(static_cast<int>(argv.size()), argv.data()), "/c x");
}

}  // namespace
}  // namespace zelm
