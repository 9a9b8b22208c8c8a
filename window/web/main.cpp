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

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_resize(double deviceWidth, double deviceHeight, double ratio)
{
    g_form->resize(deviceWidth, deviceHeight, ratio);
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

EMSCRIPTEN_KEEPALIVE void web_drop(double cssX, double cssY)
{
    g_form->drop(cssX, cssY);
}

EMSCRIPTEN_KEEPALIVE void web_key_press(int code)
{
    g_form->keyPress(char16_t(code));
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
