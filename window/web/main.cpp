// SPDX-License-Identifier: MIT
// The page's entry: one board, and the handlers page.js calls for the browser's events.

#include "Page.h"
#include "WebForm.h"

#include <emscripten/emscripten.h>

namespace {

vantorel::WebForm* g_form = nullptr;

vantorel::MouseButton FromDom(int button)
{
    switch (button) {
    case 0:
        return vantorel::MouseButton::Left;
    case 1:
        return vantorel::MouseButton::Middle;
    case 2:
        return vantorel::MouseButton::Right;
    default:
        return vantorel::MouseButton::Other;
    }
}

// A press's end as page.js tells it: the furthest the pointer went from the press on each
// axis, a finger or not, let go over the page or not, and where.
vantorel::PageRelease ReleaseOf(
    double travelX, double travelY, int touch, int letGo, double cssX, double cssY)
{
    return {travelX, travelY, touch != 0, letGo != 0, cssX, cssY};
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_resize(double cssWidth, double cssHeight, double ratio)
{
    g_form->resize(cssWidth, cssHeight, ratio);
}

EMSCRIPTEN_KEEPALIVE void web_paint_surface()
{
    g_form->paintSurface();
}

EMSCRIPTEN_KEEPALIVE void web_paint_button(int id, int pressed, int focused)
{
    g_form->paintButton(id, pressed != 0, focused != 0);
}

EMSCRIPTEN_KEEPALIVE void web_paint_print_page()
{
    g_form->paintPrintPage();
}

EMSCRIPTEN_KEEPALIVE void web_token_down(int id, int domButton)
{
    g_form->tokenDown(id, FromDom(domButton));
}

EMSCRIPTEN_KEEPALIVE void web_token_drag_end(
    int id, double travelX, double travelY, int touch, int letGo, double cssX, double cssY)
{
    g_form->tokenDragEnd(id, ReleaseOf(travelX, travelY, touch, letGo, cssX, cssY));
}

EMSCRIPTEN_KEEPALIVE int web_drop(double cssX, double cssY)
{
    return g_form->drop(cssX, cssY) ? 1 : 0;
}

// Whether a drop at a point of the page (CSS pixels) would be taken: not over a push button.
EMSCRIPTEN_KEEPALIVE int web_takes_drop(double cssX, double cssY)
{
    return g_form->takesDropAt(cssX, cssY) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void web_surface_release(
    double travelX, double travelY, int touch, int letGo, double cssX, double cssY)
{
    g_form->surfaceRelease(ReleaseOf(travelX, travelY, touch, letGo, cssX, cssY));
}

EMSCRIPTEN_KEEPALIVE void web_key_press(int code)
{
    g_form->keyPress(char16_t(code));
}

// Keys by the numbers the board gives them, which page.js names.
EMSCRIPTEN_KEEPALIVE int web_key_down(int key, int shift, int focusedId)
{
    const vantorel::Key k = key >= 0 && key < int(vantorel::Key::Other)
        ? static_cast<vantorel::Key>(key)
        : vantorel::Key::Other;
    return g_form->keyDown(k, shift != 0, focusedId) ? 1 : 0;
}

// 0 undo, 1 redo.
EMSCRIPTEN_KEEPALIVE void web_edit(int command)
{
    g_form->edit(command == 0 ? vantorel::EditCommand::Undo : vantorel::EditCommand::Redo);
}

// The effects a drag from elsewhere offers, or-ed as OLE numbers them; the answer likewise.
EMSCRIPTEN_KEEPALIVE int web_answer_drop(int offered)
{
    return int(vantorel::AnswerDrop(offered));
}

EMSCRIPTEN_KEEPALIVE void web_command(int id)
{
    g_form->command(id);
}
}

int main()
{
    // Lives as long as the page: the runtime stays after main returns.
    static vantorel::WebForm form;
    g_form = &form;
    vt_start();
    return 0;
}
