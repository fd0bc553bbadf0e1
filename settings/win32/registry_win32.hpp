// The settings store in the Windows registry: Software\Varno\ZELM, one subkey per setting, each
// holding its text as the subkey's default REG_SZ value. The key lives under
// HKEY_LOCAL_MACHINE, where the installer puts the defaults, and under HKEY_CURRENT_USER for
// what a user could not store machine-wide: on Windows with User Account Control a program
// that is not elevated may only read HKEY_LOCAL_MACHINE. A value under HKEY_CURRENT_USER wins.
#pragma once

namespace zelm {

// Points settings_registry at the Windows registry.
void use_win32_registry();

// Stores text as a subkey's default value in the machine-wide key; replaceable so that the
// Wine tests' build can refuse it, as Windows does for a standard user.
extern int (*machine_set_value)(const char* subkey, const char* text);

}  // namespace zelm
