// Message boxes drawn with FLTK, also reported on stderr.
#include "settings/fltk/fltk_message_box.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zelm {

namespace {

// ZELM_NO_DIALOGS=1 turns the boxes into stderr lines alone.
bool dialogs_disabled() {
    const char* value = std::getenv("ZELM_NO_DIALOGS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// FLTK reads '@' in a label as the start of a symbol; "@@" is a plain '@'.
std::string plain_label(const char* text) {
    std::string label;
    for (const char* p = text; *p != '\0'; ++p) {
        label += *p;
        if (*p == '@') {
            label += '@';
        }
    }
    return label;
}

// OK, Escape and the close box all dismiss the box.
void close_box(Fl_Widget* widget, void*) {
    widget->window()->hide();
}

}  // namespace

// Opens the display ourselves so that a missing one is an answer, not an exit.
bool fltk_open_display() {
    if (fl_display != nullptr) {
        return true;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    fl_open_display(display);
    return true;
}

// Writes the line, then shows the box sized to the text and waits for it to close.
void fltk_message_box(const char* text, const char* caption, bool error_icon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (dialogs_disabled() || !fltk_open_display()) {
        return;
    }
    const std::string label = plain_label(text);
    const int font_size = 14;
    fl_font(FL_HELVETICA, font_size);
    int text_w = 0;
    int text_h = 0;
    fl_measure(label.c_str(), text_w, text_h, 1);
    const int icon_w = error_icon ? 52 : 0;
    const int text_x = 16 + icon_w;
    const int w = std::max(text_x + text_w + 16, 200);
    const int text_area_h = std::max(text_h, icon_w != 0 ? 36 : 0);
    const int h = 16 + text_area_h + 16 + 28 + 12;

    Fl_Window window(w, h);
    window.copy_label(caption);
    if (error_icon) {
        // A white cross on a red disc, like the platform's error sign.
        Fl_Box* icon = new Fl_Box(FL_OVAL_BOX, 16, 16, 36, 36, "X");
        icon->color(FL_RED);
        icon->labelcolor(FL_WHITE);
        icon->labelfont(FL_HELVETICA_BOLD);
        icon->labelsize(20);
    }
    Fl_Box* message = new Fl_Box(text_x, 16, text_w, text_area_h);
    message->copy_label(label.c_str());
    message->labelsize(font_size);
    message->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    Fl_Return_Button* ok = new Fl_Return_Button((w - 88) / 2, h - 40, 88, 28, "OK");
    ok->callback(close_box);
    window.end();
    window.set_modal();
    window.callback(close_box);
    window.show();
    while (window.shown()) {
        Fl::wait();
    }
}

}  // namespace zelm
