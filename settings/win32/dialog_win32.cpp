// The configuration dialog on Win32: the four settings in an edit field and three check boxes.
#include "settings/win32/dialog_win32.hpp"

#include "settings/config_dialog.hpp"
#include "settings/settings.hpp"

namespace zelm {

HWND config_dialog = nullptr;

namespace {

// The check box's state as 1 or 0.
int is_checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

// Shows a switch in its check box.
void show_switch(HWND dialog, int id, int setting) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, static_cast<WPARAM>(dialog_check_state(setting)),
                        0);
}

}  // namespace

INT_PTR CALLBACK config_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            config_dialog = dialog;
            SetDlgItemTextA(dialog, dialog_id_datadir, datadir != nullptr ? datadir : ".");
            show_switch(dialog, dialog_id_use_heightfield, use_heightfield);
            show_switch(dialog, dialog_id_use_alt_blend, use_alt_blend);
            show_switch(dialog, dialog_id_fullscreen, fullscreen);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case dialog_id_ok: {
                    char text[datadir_buffer_size] = {};
                    GetDlgItemTextA(dialog, dialog_id_datadir, text, datadir_capacity);
                    config_dialog_confirm(text, is_checked(dialog, dialog_id_use_heightfield),
                                          is_checked(dialog, dialog_id_use_alt_blend),
                                          is_checked(dialog, dialog_id_fullscreen));
                    DestroyWindow(dialog);
                    return FALSE;
                }
                case dialog_id_cancel:
                    DestroyWindow(dialog);
                    return FALSE;
                default:
                    return TRUE;
            }
        case WM_DESTROY:
        case WM_CLOSE:
            EndDialog(dialog, 1);
            PostQuitMessage(0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace zelm
