// SPDX-License-Identifier: MIT
// The functions the compiled board imports (see Page.h); each hands over to page.js.

mergeInto(LibraryManager.library, {
    vt_setup: function (title, length) {
        VT.setup(UTF8ToString(title, length));
    },
    vt_start: function () {
        VT.start();
    },
    vt_create_button: function (id, isToken, stack) {
        VT.createButton(id, isToken !== 0, stack);
    },
    vt_place_button: function (id, x, y, width, height, ratio) {
        VT.placeButton(id, x, y, width, height, ratio);
    },
    vt_set_caption: function (id, caption, length) {
        VT.setCaption(id, UTF8ToString(caption, length));
    },
    vt_set_visible: function (id, visible) {
        VT.setVisible(id, visible !== 0);
    },
    vt_set_description: function (id, description, length) {
        VT.setDescription(id, UTF8ToString(description, length));
    },
    vt_invalidate_surface: function () {
        VT.invalidateSurface();
    },
    vt_size_print_page: function (width, height) {
        VT.sizePrintPage(width, height);
    },
    vt_print: function () {
        VT.print();
    },
    vt_close: function (line, length, ground) {
        VT.close(UTF8ToString(line, length), ground);
    },
    vt_begin_drag: function (id) {
        VT.beginDrag(id);
    },
    vt_invalidate_button: function (id) {
        VT.invalidateButton(id);
    },
    vt_set_placing: function (placing) {
        VT.setPlacing(placing !== 0);
    },
    vt_set_item: function (index, parent, isText, name, nameLength, description,
        descriptionLength, x, y, width, height, ratio) {
        VT.setItem(index, parent, isText !== 0, UTF8ToString(name, nameLength),
            UTF8ToString(description, descriptionLength), x, y, width, height, ratio);
    },
    vt_announce: function (text, length) {
        VT.announce(UTF8ToString(text, length));
    },
    vt_fill: function (target, x, y, width, height, rgb) {
        VT.fill(target, x, y, width, height, rgb);
    },
    vt_text: function (target, x, y, width, height, text, textLength, family, familyLength,
        pixels, bold, rgb, centre) {
        VT.text(target, x, y, width, height, UTF8ToString(text, textLength),
            UTF8ToString(family, familyLength), pixels, bold !== 0, rgb, centre !== 0);
    },
});
