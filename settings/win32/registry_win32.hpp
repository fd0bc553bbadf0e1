// The settings store in the Windows registry: HKEY_LOCAL_MACHINE\Software\Varno\ZELM, one
// subkey per setting, each holding its text as the subkey's default REG_SZ value.
#pragma once

namespace zelm {

// Points settings_registry at the Windows registry.
void use_win32_registry();

}  // namespace zelm
