// SPDX-License-Identifier: MIT
#pragma once

// What the page's script (page.js) offers the board. Strings go as UTF-8 pointer and length;
// colours as 0xRRGGBB; lengths in device pixels.

extern "C" {

// Drawing targets besides the buttons, which are known by their ids (0 and up).
inline constexpr int kSurfaceTarget = -1;
inline constexpr int kPrintTarget = -2;

void vt_setup(const char* title, int titleLength);
// Sizes the page, listens to the browser and gives the first button the focus.
void vt_start();
// Buttons are created in focus order; `stack` is the place in the stacking order, bottom first.
void vt_create_button(int id, int isToken, int stack);
void vt_place_button(int id, double x, double y, double width, double height, double ratio);
void vt_set_caption(int id, const char* caption, int length);
void vt_set_visible(int id, int visible);
void vt_set_description(int id, const char* description, int length);
void vt_invalidate_surface();
void vt_size_print_page(double width, double height);
void vt_print();
void vt_close(const char* line, int length, int groundRgb);
void vt_begin_drag(int id);
void vt_invalidate_button(int id);
// While a token is held, the pointer over the surface says a click puts it there.
void vt_set_placing(int placing);
// A painted part for assistive technology (accessibility.js): a group, or a text (`isText`)
// inside the part `parent` (-1: none), placed over its picture.
void vt_set_item(int index, int parent, int isText, const char* name, int nameLength,
    const char* description, int descriptionLength, double x, double y, double width, double height,
    double ratio);

// Tells a screen reader what just happened, politely (a live region).
void vt_announce(const char* text, int length);

void vt_fill(int target, double x, double y, double width, double height, int rgb);
void vt_text(int target, double x, double y, double width, double height, const char* text,
    int textLength, const char* family, int familyLength, double pixels, int bold, int rgb,
    int centre);
}
