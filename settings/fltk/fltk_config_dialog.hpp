// The configuration dialog drawn with FLTK: dialog 101's fourteen controls in their template
// order (which is the tab order), their texts, and their proportions at 1.5 pixels per
// horizontal dialog unit and 1.625 per vertical one (8 point MS Sans Serif at 96 dpi).
#pragma once

namespace zelm {

// A control's box in pixels from its box in dialog units.
struct DialogRect {
    int x, y, w, h;
};
DialogRect dialog_units_to_pixels(int x, int y, int w, int h);

// Shows the dialog with the settings as they stand and runs it until it is closed: OK stores
// the settings (config_dialog_confirm), Cancel and the close box store nothing. Returns the
// program's exit code, 0, also when the dialog cannot be shown ("Couldn't create dialog box").
int fltk_run_config_dialog();

}  // namespace zelm
