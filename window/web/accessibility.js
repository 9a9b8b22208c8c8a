// SPDX-License-Identifier: MIT
// The painted board for assistive technology: the canvas is hidden from it, so what it shows is
// offered again as real elements laid over the picture, transparent and out of the focus order.
// A <main> landmark holds the window's title as a heading, then the painted parts in the order
// the board tells them (VT.setItem), then the buttons. What each part says is decided in the
// compiled part; this only writes it into the page.

Object.assign(VT, {
    main: null,
    parts: null, // the element every part without a parent stands in
    items: [], // by index: { el, description } (description: the element that holds it)
    announcer: null, // the live region that tells what the last action did

    setupReading(title) {
        VT.main = document.createElement('main');
        const heading = document.createElement('h1');
        heading.textContent = title;
        // For a reader only: the board's picture carries no such line.
        heading.style.cssText = 'position: fixed; left: 0; top: 0; width: 1px; height: 1px;'
            + ' margin: 0; overflow: hidden; clip-path: inset(50%); white-space: nowrap;';
        VT.parts = document.createElement('div');
        VT.announcer = document.createElement('div');
        VT.announcer.id = 'vt-announcer';
        VT.announcer.setAttribute('role', 'status');
        VT.announcer.setAttribute('aria-live', 'polite');
        VT.announcer.style.cssText = heading.style.cssText;
        VT.main.append(heading, VT.parts, VT.announcer);
        document.body.appendChild(VT.main);
    },

    // The same words twice in a row are news twice: each announcement is a new line of its own.
    announce(text) {
        const line = document.createElement('p');
        line.style.margin = '0';
        line.textContent = text;
        VT.announcer.replaceChildren(line);
    },

    setItem(index, parent, text, name, description, x, y, width, height, ratio) {
        let item = VT.items[index];
        if (!item) {
            item = VT.createItem(index, text);
            VT.items[index] = item;
            (parent >= 0 && VT.items[parent] ? VT.items[parent].el : VT.parts).appendChild(item.el);
        }
        // A group is named by its label and described by its own first line, which a reader
        // reading on also meets; a text is its text.
        if (text) {
            item.el.textContent = name;
        } else {
            item.el.setAttribute('aria-label', name);
            item.description.textContent = description;
        }
        const style = item.el.style;
        style.left = x / ratio + 'px';
        style.top = y / ratio + 'px';
        style.width = width / ratio + 'px';
        style.height = height / ratio + 'px';
    },

    createItem(index, text) {
        const el = document.createElement(text ? 'p' : 'div');
        el.className = 'part';
        // Over its picture, so a reader that shows where it is points there; never seen, never
        // in the way of the pointer, and left alone by a high-contrast scheme.
        el.style.cssText = 'position: fixed; margin: 0; overflow: hidden; color: transparent;'
            + ' pointer-events: none; forced-color-adjust: none; font: 12px sans-serif;';
        if (text)
            return { el, description: null };
        el.setAttribute('role', 'group');
        const description = document.createElement('span');
        description.id = 'vt-part-' + index;
        el.setAttribute('aria-describedby', description.id);
        el.appendChild(description);
        return { el, description };
    },
});
