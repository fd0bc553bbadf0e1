#include "settings/config_dialog.hpp"

#include <cstdlib>
#include <cstring>

#include "settings/settings.hpp"

namespace zelm {

int dialog_check_state(int setting) {
    return setting != 0 ? 1 : 0;
}

void config_dialog_confirm(const char* edit_text, int heightfield_checked, int alt_blend_checked,
                           int fullscreen_checked) {
    if (datadir == nullptr) {
        datadir = static_cast<char*>(std::malloc(datadir_buffer_size));
        if (datadir == nullptr) {
            std::exit(-1);
        }
    }
    const std::size_t length = strnlen(edit_text, datadir_capacity - 1);
    std::memcpy(datadir, edit_text, length);
    datadir[length] = '\0';
    use_heightfield = heightfield_checked ? 1 : 0;
    use_alt_blend = alt_blend_checked ? 1 : 0;
    fullscreen = fullscreen_checked ? 1 : 0;
    write_settings();
}

}  // namespace zelm
