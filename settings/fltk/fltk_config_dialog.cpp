// The configuration dialog in FLTK. Like the Windows dialog run from a plain message loop, it
// does no keyboard navigation: Tab, the arrow keys, Enter and Escape mean nothing to the window;
// the focused control keeps its own keys (typing in the field, space on a button or check box).
#include "settings/fltk/fltk_config_dialog.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Pixmap.H>
#include <FL/fl_draw.H>

#include <cmath>

#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "settings/config_dialog.hpp"
#include "settings/fltk/fltk_message_box.hpp"
#include "settings/settings.hpp"

#include "settings/fltk/zelm_dialog_bitmap.xpm"

namespace zelm {

namespace {

// 8 point MS Sans Serif is about 11 pixels high at 96 dpi.
constexpr int dialog_font_size = 11;

// The same words as the Windows dialog's.
constexpr char product_title[] = "ZELM - still water, rising sparks";
constexpr char credit_lines[5][120] = {
    "Written in 2026 by the Zelm developers.",
    "Made as an OpenGL screen saver: a rippling heightfield under a spiral of particles, lit and "
    "blended in real time.",
    "Switch off the heightfield on slow software renderers.",
    "More to read in the README that comes with the program.",
    "Comments are welcome on the project's issue tracker.",
};

// A group box: an etched frame with its caption set into the top edge.
class GroupFrame : public Fl_Box {
public:
    GroupFrame(const DialogRect& r, const char* caption) : Fl_Box(r.x, r.y, r.w, r.h) {
        copy_label(caption);
        labelsize(dialog_font_size);
    }

    // The frame first, then the caption on a patch of background that cuts the top line.
    void draw() override {
        fl_font(labelfont(), labelsize());
        const int caption_h = fl_height();
        fl_draw_box(FL_ENGRAVED_FRAME, x(), y() + caption_h / 2, w(), h() - caption_h / 2, color());
        const int caption_w = static_cast<int>(fl_width(label())) + 4;
        fl_color(color());
        fl_rectf(x() + 6, y(), caption_w, caption_h);
        fl_color(labelcolor());
        fl_draw(label(), x() + 8, y() + fl_height() - fl_descent());
    }
};

// The dialog window, which swallows the navigation keys its controls leave alone.
class ConfigWindow : public Fl_Double_Window {
public:
    using Fl_Double_Window::Fl_Double_Window;

    // Keys reach the window only when the focused control did not use them.
    int handle(int event) override {
        if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
            switch (Fl::event_key()) {
                case FL_Tab:
                case FL_Enter:
                case FL_KP_Enter:
                case FL_Escape:
                case FL_Left:
                case FL_Right:
                case FL_Up:
                case FL_Down:
                    return 1;
                default:
                    break;
            }
        }
        return Fl_Double_Window::handle(event);
    }
};

struct DialogControls {
    Fl_Input* datadir_field;
    Fl_Check_Button* heightfield_box;
    Fl_Check_Button* alt_blend_box;
    Fl_Check_Button* fullscreen_box;
};

// A check box showing setting (checked for anything but 0).
Fl_Check_Button* add_check_box(const DialogRect& r, const char* text, int setting) {
    Fl_Check_Button* box = new Fl_Check_Button(r.x, r.y, r.w, r.h, text);
    box->labelsize(dialog_font_size);
    box->value(dialog_check_state(setting));
    return box;
}

// A left-aligned static text that wraps within its box.
void add_static_text(const DialogRect& r, const char* text) {
    Fl_Box* box = new Fl_Box(r.x, r.y, r.w, r.h, text);
    box->labelsize(dialog_font_size);
    box->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
}

// OK: copy the controls into the settings, store them, close.
void ok_pressed(Fl_Widget* widget, void* data) {
    const DialogControls& c = *static_cast<DialogControls*>(data);
    config_dialog_confirm(c.datadir_field->value(), c.heightfield_box->value(),
                          c.alt_blend_box->value(), c.fullscreen_box->value());
    widget->window()->hide();
}

// Cancel and the close box: close, storing nothing.
void close_dialog(Fl_Widget* widget, void*) {
    Fl_Window* window = widget->as_window() != nullptr ? widget->as_window() : widget->window();
    window->hide();
}

}  // namespace

// Rounds each side to the nearest pixel.
DialogRect dialog_units_to_pixels(int x, int y, int w, int h) {
    const auto px = [](int units) { return static_cast<int>(std::lround(units * 1.5)); };
    const auto py = [](int units) { return static_cast<int>(std::lround(units * 1.625)); };
    return DialogRect{px(x), py(y), px(w), py(h)};
}

// Builds the dialog from the settings and runs FLTK until the dialog is closed.
int fltk_run_config_dialog() {
    // No display is no failed dialog but a missing prerequisite, as for the demo.
    if (!fltk_open_display()) {
        platform_message_box(messages::no_x_display, messages::caption_error, MessageIcon::error,
                             MessageOwner::none);
        return 1;
    }
    const DialogRect size = dialog_units_to_pixels(0, 0, 306, 201);
    ConfigWindow window(size.w, size.h, dialog_caption);
    DialogControls controls{};

    // The controls in template order: creation order is FLTK's tab order too.
    Fl_Button* ok = nullptr;
    {
        const DialogRect r = dialog_units_to_pixels(249, 5, 50, 15);
        ok = new Fl_Button(r.x, r.y, r.w, r.h, "OK");
        ok->labelsize(dialog_font_size);
        ok->box(FL_BORDER_BOX);  // the default button's heavier frame
        ok->callback(ok_pressed, &controls);
    }
    {
        const DialogRect r = dialog_units_to_pixels(249, 25, 50, 15);
        Fl_Button* cancel = new Fl_Button(r.x, r.y, r.w, r.h, "Cancel");
        cancel->labelsize(dialog_font_size);
        cancel->callback(close_dialog);
    }
    {
        const DialogRect r = dialog_units_to_pixels(10, 20, 210, 15);
        controls.datadir_field = new Fl_Input(r.x, r.y, r.w, r.h);
        controls.datadir_field->textsize(dialog_font_size + 1);
        controls.datadir_field->value(datadir != nullptr ? datadir : ".");
    }
    new GroupFrame(dialog_units_to_pixels(5, 7, 220, 33), "Full path to data directory");
    controls.heightfield_box =
        add_check_box(dialog_units_to_pixels(10, 50, 135, 15),
                      "Use heightfield (disable for software)", use_heightfield);
    controls.alt_blend_box =
        add_check_box(dialog_units_to_pixels(10, 65, 204, 15),
                      "Use alternate blending (for Permedia2, and maybe others)", use_alt_blend);
    controls.fullscreen_box =
        add_check_box(dialog_units_to_pixels(10, 80, 170, 15),
                      "Run Fullscreen (Check only for 2D/3D boards)", fullscreen);
    Fl_Pixmap picture(zelm_dialog_bitmap);
    {
        // A bitmap control takes the bitmap's own size, 48 x 48 pixels.
        const DialogRect r = dialog_units_to_pixels(260, 60, 32, 30);
        Fl_Box* box = new Fl_Box(r.x, r.y, picture.w(), picture.h());
        box->image(picture);
    }
    new GroupFrame(dialog_units_to_pixels(5, 105, 295, 90), product_title);
    add_static_text(dialog_units_to_pixels(10, 115, 260, 10), credit_lines[0]);
    add_static_text(dialog_units_to_pixels(10, 130, 255, 20), credit_lines[1]);
    add_static_text(dialog_units_to_pixels(10, 155, 260, 10), credit_lines[2]);
    add_static_text(dialog_units_to_pixels(10, 170, 260, 10), credit_lines[3]);
    add_static_text(dialog_units_to_pixels(10, 180, 260, 10), credit_lines[4]);
    window.end();
    window.callback(close_dialog);

    window.show();
    ok->take_focus();  // the first tab stop has the focus, as the platform's dialogs do
    while (window.shown()) {
        Fl::wait();
    }
    return 0;
}

}  // namespace zelm
