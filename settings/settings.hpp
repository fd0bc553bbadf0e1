// The four settings and their store: one key ("Software\Varno\ZELM"), one subkey per setting,
// each holding its value as text. The shell chooses where the key lives (the Windows registry,
// or XDG config directories on Linux) by filling settings_registry before read_settings.
#pragma once

namespace zelm {

inline constexpr int datadir_buffer_size = 1024;
inline constexpr int datadir_capacity = 1000;  // bytes read or kept, terminator included
inline constexpr int switch_capacity = 10;     // bytes of a switch's text, terminator included
inline constexpr const char settings_key[] = "Software\\Varno\\ZELM";
// The subkeys of the four settings.
inline constexpr const char* setting_names[] = {"datadir", "use_heightfield", "fullscreen",
                                                "use_alt_blend"};

// The data directory (pointed at the settings' buffer by read_settings, "." by default) and three
// switches; a switch is on when it is not 0.
extern char* datadir;
extern int use_heightfield;  // default 1
extern int fullscreen;       // default 0
extern int use_alt_blend;    // default 0

// Where the key lives. Each function returns 1 on success and 0 on failure; query_value fails
// when the subkey is missing or its text does not fit in capacity bytes with its terminator.
struct SettingsRegistry {
    void* context;
    int (*open_key)(void* context);
    int (*create_key)(void* context);
    int (*query_value)(void* context, const char* subkey, char* buf, int capacity);
    int (*set_value)(void* context, const char* subkey, const char* text);
    void (*close_key)(void* context);
};

extern SettingsRegistry settings_registry;

// datadir, pointed first at the settings' own buffer of datadir_buffer_size bytes where it
// points nowhere yet.
char* datadir_buffer();

// Reads the four settings and makes datadir the current directory. 1 when all four were read.
int read_settings();

// Stores the four settings, creating the key when it is missing; always 1. A datadir that was
// not stored is reported as "Couldn't save datadir", the switches that were not stored in one
// message that names them.
int write_settings();

// A switch's text as a decimal integer: leading blanks, an optional sign, digits up to the
// first non-digit; no digits give 0.
int parse_switch_text(const char* text);

}  // namespace zelm
