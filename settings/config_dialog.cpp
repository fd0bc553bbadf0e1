#include "settings/config_dialog.hpp"

#include <cstring>

#include "settings/settings.hpp"

namespace zelm {

int dialog_check_state(int setting) {
    return setting != 0 ? 1 : 0;
}

void config_dialog_confirm(const char* edit_text, int heightfield_checked, int alt_blend_checked,
                           int fullscreen_checked) {
    const std::size_t length = strnlen(edit_text, datadir_capacity - 1);
    std::memcpy(datadir_buffer(), edit_text, length);
    datadir[length] = '\0';
    use_heightfield = heightfield_checked ? 1 : 0;
    use_alt_blend = alt_blend_checked ? 1 : 0;
    fullscreen = fullscreen_checked ? 1 : 0;
    write_settings();
}

}  // namespace zelm
