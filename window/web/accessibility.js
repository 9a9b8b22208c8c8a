// SPDX-License-Identifier: MIT
// The painted board for assistive technology: the canvas is hidden from it, so what it shows is
// offered again as real elements laid over the picture, transparent and out of the focus order.
// A <main> landmark holds the window's title as a heading, then the painted parts in the order
// the board tells them (VT.setItem), then the buttons. What each part says is decided in the
// compiled part; this only writes it into the page.
//
// Every part reads as plain text, a paragraph of its own: a screen reader's reading commands
// (line by line, read all) read text, and give each paragraph its own line even where several
// stand side by side over one row of the picture. A named group with no text of its own would
// be passed over by them, and one with text would be said twice.

Object.assign(VT, {
    main: null,
    parts: null, // the element every part without a parent stands in
    items: [], // by index: { el, label, more } (label, more: the paragraphs a group reads)
    announcer: null, // the live region that tells what the last action did
    descriptions: null, // the buttons' descriptions, read through aria-describedby

    setupReading(title) {
        VT.main = document.createElement('main');
        const heading = document.createElement('h1');
        heading.textContent = title;
        // For a reader only: the board's picture carries no such line.
        const unseen = 'position: fixed; left: 0; top: 0; width: 1px; height: 1px;'
            + ' margin: 0; overflow: hidden; clip-path: inset(50%); white-space: nowrap;';
        heading.style.cssText = unseen;
        VT.parts = document.createElement('div');
        VT.main.append(heading, VT.parts);
        // A polite live region with no role: an empty status line would be one more stop for
        // a reader reading on. After the board, so reading the chart never runs into it.
        VT.announcer = document.createElement('div');
        VT.announcer.id = 'vt-announcer';
        VT.announcer.setAttribute('aria-live', 'polite');
        VT.announcer.style.cssText = unseen;
        VT.descriptions = document.createElement('div');
        VT.descriptions.hidden = true;
        document.body.append(VT.main, VT.announcer, VT.descriptions);
    },

    // The same words twice in a row are news twice: each announcement is a new line of its own.
    announce(text) {
        const line = document.createElement('p');
        line.style.margin = '0';
        line.textContent = text;
        VT.announcer.replaceChildren(line);
    },

    // A button's description (where a token stands) lives in an element of its own that the
    // button points to, read afresh whenever a reader asks. The live region tells of each move;
    // a changed aria-description is reported at once, and a reader speaks it for the focused
    // button on top of that (Firefox even as the focus arrives), where a change of the text an
    // aria-describedby points to is reported less often: Firefox does not, Chromium when it
    // next sends the button for another reason.
    setDescription(id, description) {
        const el = VT.buttons[id].el;
        let holder = document.getElementById('vt-description-' + id);
        if (!holder) {
            holder = document.createElement('span');
            holder.id = 'vt-description-' + id;
            VT.descriptions.appendChild(holder);
            el.setAttribute('aria-describedby', holder.id);
        }
        if (holder.textContent !== description)
            holder.textContent = description;
    },

    setItem(index, parent, text, name, description, x, y, width, height, ratio) {
        let item = VT.items[index];
        if (!item) {
            item = VT.createItem(text);
            VT.items[index] = item;
            (parent >= 0 && VT.items[parent] ? VT.items[parent].el : VT.parts).appendChild(item.el);
        }
        // A text is its text; a group reads its name first, its description (if any) after,
        // and then whatever lies in it.
        item.label.textContent = name;
        if (item.more) {
            item.more.textContent = description;
            item.more.hidden = !description;
        }
        const style = item.el.style;
        style.left = x / ratio + 'px';
        style.top = y / ratio + 'px';
        style.width = width / ratio + 'px';
        style.height = height / ratio + 'px';
    },

    createItem(text) {
        const el = document.createElement(text ? 'p' : 'div');
        el.className = 'part';
        // Over its picture, so a reader that shows where it is points there; never seen, never
        // in the way of the pointer, and left alone by a high-contrast scheme.
        el.style.cssText = 'position: fixed; margin: 0; overflow: hidden; color: transparent;'
            + ' pointer-events: none; forced-color-adjust: none; font: 12px sans-serif;'
            // One line each, however long: a reader reads a wrapped part as several lines.
            + ' white-space: nowrap;';
        if (text)
            return { el, label: el, more: null };
        const label = document.createElement('p');
        const more = document.createElement('p');
        label.style.margin = more.style.margin = '0';
        more.hidden = true;
        el.append(label, more);
        return { el, label, more };
    },
});
