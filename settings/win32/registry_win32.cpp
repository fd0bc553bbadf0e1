// The settings key in the Windows registry, behind the SettingsRegistry record.
#include "settings/win32/registry_win32.hpp"

#include <windows.h>

#include <cstring>

#include "settings/settings.hpp"

namespace zelm {

namespace {

HKEY settings_hkey = nullptr;

// Opens the existing key.
int open_key(void*) {
    return RegOpenKeyA(HKEY_LOCAL_MACHINE, settings_key, &settings_hkey) == ERROR_SUCCESS ? 1 : 0;
}

// Creates the key (or opens it when it exists).
int create_key(void*) {
    return RegCreateKeyA(HKEY_LOCAL_MACHINE, settings_key, &settings_hkey) == ERROR_SUCCESS ? 1 : 0;
}

// Reads a subkey's default value; fails when the subkey is missing or the text does not fit.
int query_value(void*, const char* subkey, char* buf, int capacity) {
    LONG size = capacity;
    if (RegQueryValueA(settings_hkey, subkey, buf, &size) != ERROR_SUCCESS) {
        return 0;
    }
    // A value written without its terminator comes back unterminated: end it here, or call it
    // too long when there is no room left.
    if (size <= 0) {
        buf[0] = '\0';
    } else if (buf[size - 1] != '\0') {
        if (size >= capacity) {
            return 0;
        }
        buf[size] = '\0';
    }
    return 1;
}

// Stores text as a subkey's default value, creating the subkey when missing.
int set_value(void*, const char* subkey, const char* text) {
    const LONG result =
        RegSetValueA(settings_hkey, subkey, REG_SZ, text, static_cast<DWORD>(std::strlen(text)));
    return result == ERROR_SUCCESS ? 1 : 0;
}

// Closes the key.
void close_key(void*) {
    RegCloseKey(settings_hkey);
    settings_hkey = nullptr;
}

}  // namespace

void use_win32_registry() {
    settings_registry =
        SettingsRegistry{nullptr, open_key, create_key, query_value, set_value, close_key};
}

}  // namespace zelm
