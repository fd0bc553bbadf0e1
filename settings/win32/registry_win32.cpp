// The settings key in the Windows registry, behind the SettingsRegistry record: read from the
// user's key first, written to the machine-wide key first.
#include "settings/win32/registry_win32.hpp"

#include <windows.h>

#include <cstring>

#include "settings/settings.hpp"

namespace zelm {

namespace {

// The key under each root while it is open, else null.
HKEY machine_key = nullptr;
HKEY user_key = nullptr;

// Reads a subkey's default value; fails when the subkey is missing or the text does not fit.
LONG read_value(HKEY key, const char* subkey, char* buf, int capacity) {
    LONG size = capacity;
    const LONG result = RegQueryValueA(key, subkey, buf, &size);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    // A value written without its terminator comes back unterminated: end it here, or call it
    // too long when there is no room left.
    if (size <= 0) {
        buf[0] = '\0';
    } else if (buf[size - 1] != '\0') {
        if (size >= capacity) {
            return ERROR_MORE_DATA;
        }
        buf[size] = '\0';
    }
    return ERROR_SUCCESS;
}

// Stores text as a subkey's default value, creating the subkey when missing.
int write_value(HKEY key, const char* subkey, const char* text) {
    const LONG result =
        RegSetValueA(key, subkey, REG_SZ, text, static_cast<DWORD>(std::strlen(text)));
    return result == ERROR_SUCCESS ? 1 : 0;
}

int write_machine_value(const char* subkey, const char* text) {
    return write_value(machine_key, subkey, text);
}

// Opens the existing machine-wide key, and the user's when there is one.
int open_key(void*) {
    if (RegOpenKeyA(HKEY_CURRENT_USER, settings_key, &user_key) != ERROR_SUCCESS) {
        user_key = nullptr;
    }
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, settings_key, &machine_key) != ERROR_SUCCESS) {
        machine_key = nullptr;
        return 0;
    }
    return 1;
}

// Creates the machine-wide key (or opens it when it exists); where that is refused, the user's
// key serves alone.
int create_key(void*) {
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, settings_key, &machine_key) == ERROR_SUCCESS) {
        return 1;
    }
    machine_key = nullptr;
    if (user_key == nullptr &&
        RegCreateKeyA(HKEY_CURRENT_USER, settings_key, &user_key) != ERROR_SUCCESS) {
        user_key = nullptr;
        return 0;
    }
    return 1;
}

// The user's value when the user has one, readable or not; the machine-wide one otherwise.
int query_value(void*, const char* subkey, char* buf, int capacity) {
    if (user_key != nullptr) {
        const LONG result = read_value(user_key, subkey, buf, capacity);
        if (result != ERROR_FILE_NOT_FOUND) {
            return result == ERROR_SUCCESS ? 1 : 0;
        }
    }
    return machine_key != nullptr && read_value(machine_key, subkey, buf, capacity) == ERROR_SUCCESS
               ? 1
               : 0;
}

// Stores the value machine-wide, or for this user where the machine-wide key refuses it.
int set_value(void*, const char* subkey, const char* text) {
    if (machine_key != nullptr && machine_set_value(subkey, text)) {
        // A value this user stored before would hide the new one.
        const LONG removed = user_key != nullptr ? RegDeleteKeyA(user_key, subkey) : ERROR_SUCCESS;
        if (removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND) {
            return 1;
        }
    }
    if (user_key == nullptr &&
        RegCreateKeyA(HKEY_CURRENT_USER, settings_key, &user_key) != ERROR_SUCCESS) {
        user_key = nullptr;
        return 0;
    }
    return write_value(user_key, subkey, text);
}

// Closes both keys.
void close_key(void*) {
    if (machine_key != nullptr) {
        RegCloseKey(machine_key);
        machine_key = nullptr;
    }
    if (user_key != nullptr) {
        RegCloseKey(user_key);
        user_key = nullptr;
    }
}

}  // namespace

int (*machine_set_value)(const char* subkey, const char* text) = write_machine_value;

void use_win32_registry() {
    settings_registry =
        SettingsRegistry{nullptr, open_key, create_key, query_value, set_value, close_key};
}

}  // namespace zelm
