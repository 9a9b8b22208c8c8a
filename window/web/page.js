// SPDX-License-Identifier: MIT
// The browser's side of the board: the page's elements, its events and the drawing calls. The
// board and every decision about it live in the compiled part; this carries events in and
// pictures out. The _web_* functions are the compiled part's handlers (main.cpp).

// The program is embedded in the page as base64; decoding it here rather than fetching its data:
// URL means opening the page asks for nothing but the page itself.
Module['instantiateWasm'] = function (imports, receive) {
    WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports)
        .then((result) => receive(result.instance));
    return {};
};

var VT = {
    buttons: [], // by id: { el, canvas, ctx, token }
    surface: null,
    surfaceCtx: null,
    paper: null,
    paperCtx: null,
    surfaceDirty: false,
    dirtyButtons: new Set(),
    // The button last painted with the focus frame, or -1.
    focusPainted: -1,
    frameRequested: false,
    shown: false,
    // The press that is opening a drag, while the compiled handler runs.
    press: null,
    // The drag in progress: { id, pointerId, ghost, el, from, furthest, touch }.
    drag: null,
    // A press on the surface, until its release: { pointerId, from, furthest, touch }.
    surfacePress: null,
    // A token is held: the next click on the surface puts it there.
    holding: false,
    closed: false,

    setup(title) {
        document.title = title;
        VT.surface = VT.addCanvas('surface');
        VT.surfaceCtx = VT.surface.getContext('2d', { alpha: false });
        VT.paper = VT.addCanvas('paper');
        VT.paperCtx = VT.paper.getContext('2d', { alpha: false });
        VT.setupReading(title);
    },

    addCanvas(id) {
        const canvas = document.createElement('canvas');
        canvas.id = id;
        canvas.setAttribute('aria-hidden', 'true');
        document.body.appendChild(canvas);
        return canvas;
    },

    createButton(id, token, stack) {
        const el = document.createElement('button');
        el.type = 'button';
        el.className = token ? 'token' : 'command';
        el.style.zIndex = String(stack + 1);
        const canvas = document.createElement('canvas');
        canvas.setAttribute('aria-hidden', 'true');
        el.appendChild(canvas);
        VT.main.appendChild(el);
        VT.buttons[id] = { el, canvas, ctx: canvas.getContext('2d', { alpha: false }), token };
        const repaint = () => VT.invalidateButton(id);
        el.addEventListener('focus', repaint);
        el.addEventListener('blur', repaint);
        if (token) {
            // A token is never clicked: any press with any button, finger or pen opens a drag.
            el.addEventListener('pointerdown', (e) => VT.tokenDown(id, e));
            el.addEventListener('mousedown', (e) => e.preventDefault());
        } else {
            el.addEventListener('click', () => {
                if (!VT.closed && !VT.drag)
                    _web_command(id);
            });
            for (const type of ['pointerdown', 'pointerup', 'pointerleave', 'pointercancel',
                     'keydown', 'keyup'])
                el.addEventListener(type, repaint);
        }
    },

    start() {
        VT.layout();
        window.addEventListener('resize', VT.layout);
        VT.watchPixelRatio();
        window.addEventListener('keydown', VT.keyDown, true);
        window.addEventListener('pointermove', VT.dragMove, true);
        window.addEventListener('pointerup', VT.dragEnd, true);
        window.addEventListener('pointercancel', VT.abandonDrag, true);
        window.addEventListener('blur', VT.abandonDrag);
        VT.surface.addEventListener('pointerdown', VT.surfaceDown);
        window.addEventListener('pointermove', VT.surfaceMove, true);
        window.addEventListener('pointerup', VT.surfaceUp, true);
        window.addEventListener('pointercancel', () => { VT.surfacePress = null; }, true);
        window.addEventListener('contextmenu', (e) => {
            if (VT.drag || VT.holding
                || (e.target instanceof Element && e.target.closest('button.token')))
                e.preventDefault();
        }, true);
        document.addEventListener('dragenter', VT.dragOverFromOutside);
        document.addEventListener('dragover', VT.dragOverFromOutside);
        document.addEventListener('drop', VT.dropFromOutside);
        // The focus can move with no focus or blur event (Firefox, in a window behind another):
        // each frame looks where it is, and any press or focus change asks for a frame.
        for (const type of ['pointerdown', 'focusin', 'focusout'])
            document.addEventListener(type, () => VT.requestFrame(), true);
        window.addEventListener('beforeprint', VT.preparePaper);
        matchMedia('print').addEventListener('change', (e) => {
            if (e.matches)
                VT.preparePaper();
        });
        // The focus is left with the page: a screen reader then starts reading it from the top,
        // the title and the chart, where a focused token would have it start at that token. The
        // first Tab reaches the first token, the buttons being the page's first controls.
    },

    // The page's size and pixel ratio go to the board, which places everything anew. The size
    // is the layout viewport's, which a pinch-zoom leaves alone: zoomed in, the board is not
    // shrunk again to the part of it on the screen.
    layout() {
        if (VT.closed)
            return;
        const ratio = window.devicePixelRatio || 1;
        const page = document.documentElement;
        VT.surface.width = Math.round(page.clientWidth * ratio);
        VT.surface.height = Math.round(page.clientHeight * ratio);
        VT.surface.style.width = page.clientWidth + 'px';
        VT.surface.style.height = page.clientHeight + 'px';
        _web_resize(page.clientWidth, page.clientHeight, ratio);
        VT.invalidateSurface();
        VT.buttons.forEach((b, id) => VT.invalidateButton(id));
    },

    // Zoom, or a move to a screen of another density, changes the ratio without always
    // resizing the window.
    watchPixelRatio() {
        const query = matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
        query.addEventListener('change', () => {
            VT.layout();
            VT.watchPixelRatio();
        }, { once: true });
    },

    placeButton(id, x, y, width, height, ratio) {
        const b = VT.buttons[id];
        const style = b.el.style;
        style.left = x / ratio + 'px';
        style.top = y / ratio + 'px';
        style.width = width / ratio + 'px';
        style.height = height / ratio + 'px';
        if (b.canvas.width !== width || b.canvas.height !== height) {
            b.canvas.width = width;
            b.canvas.height = height;
            VT.invalidateButton(id);
        }
    },

    setCaption(id, caption) {
        VT.buttons[id].el.setAttribute('aria-label', caption);
        VT.invalidateButton(id);
    },

    // While a token is held the pointer over the surface is a crosshair (shell.html's style).
    setPlacing(placing) {
        VT.holding = placing;
        document.body.classList.toggle('holding', placing);
    },

    setVisible(id, visible) {
        VT.buttons[id].el.hidden = !visible;
        VT.invalidateButton(id);
    },

    invalidateSurface() {
        VT.surfaceDirty = true;
        VT.requestFrame();
    },

    invalidateButton(id) {
        VT.dirtyButtons.add(id);
        VT.requestFrame();
    },

    // Everything asked for since the last frame is drawn once, just before the next.
    requestFrame() {
        if (VT.frameRequested)
            return;
        VT.frameRequested = true;
        requestAnimationFrame(VT.paint);
    },

    paint() {
        VT.frameRequested = false;
        if (VT.closed)
            return;
        if (VT.surfaceDirty) {
            VT.surfaceDirty = false;
            _web_paint_surface();
        }
        const focused = VT.buttons.findIndex((b) => b && b.el === document.activeElement);
        if (focused !== VT.focusPainted) {
            if (VT.focusPainted >= 0)
                VT.dirtyButtons.add(VT.focusPainted);
            if (focused >= 0)
                VT.dirtyButtons.add(focused);
        }
        for (const id of VT.dirtyButtons) {
            const b = VT.buttons[id];
            if (b.el.hidden || b.canvas.width === 0)
                continue;
            const pressed = !b.token && b.el.matches(':active');
            _web_paint_button(id, pressed ? 1 : 0, id === focused ? 1 : 0);
            if (id === focused)
                VT.focusPainted = id;
            else if (id === VT.focusPainted)
                VT.focusPainted = -1;
        }
        VT.dirtyButtons.clear();
        if (!VT.shown) {
            VT.shown = true;
            performance.mark('vantorel-first-frame');
        }
    },

    context(target) {
        if (target === -1)
            return VT.surfaceCtx;
        if (target === -2)
            return VT.paperCtx;
        return VT.buttons[target].ctx;
    },

    colour(rgb) {
        return '#' + rgb.toString(16).padStart(6, '0');
    },

    fill(target, x, y, width, height, rgb) {
        const ctx = VT.context(target);
        ctx.fillStyle = VT.colour(rgb);
        ctx.fillRect(x, y, width, height);
    },

    text(target, x, y, width, height, text, family, pixels, bold, rgb, centre) {
        const ctx = VT.context(target);
        ctx.font = (bold ? 'bold ' : '') + Math.max(1, Math.round(pixels)) + 'px ' + family;
        ctx.fillStyle = VT.colour(rgb);
        ctx.textBaseline = 'alphabetic';
        const metrics = ctx.measureText(text);
        const ascent = metrics.fontBoundingBoxAscent;
        const descent = metrics.fontBoundingBoxDescent;
        // As the desktop does: top-left text hangs from the box's top by the font's ascent;
        // centred text centres the font's whole height. Nothing clips it to its box.
        if (centre) {
            ctx.textAlign = 'center';
            ctx.fillText(text, x + width / 2,
                Math.round(y + (height - (ascent + descent)) / 2 + ascent));
        } else {
            ctx.textAlign = 'left';
            ctx.fillText(text, x, Math.round(y + ascent));
        }
    },

    sizePrintPage(width, height) {
        VT.paper.width = width;
        VT.paper.height = height;
    },

    // Printing from the browser's own command passes no button: the paper is drawn here too.
    preparePaper() {
        if (!VT.closed)
            _web_paint_print_page();
    },

    print() {
        window.print();
    },

    close(line, ground) {
        window.close();
        // Still here: the browser keeps tabs it did not open. Only the ground and one line stay.
        VT.cancelDrag();
        VT.closed = true;
        document.body.replaceChildren();
        const p = document.createElement('p');
        p.id = 'closed';
        p.textContent = line;
        document.body.appendChild(p);
        document.documentElement.style.background = VT.colour(ground);
    },

    // Key preview: a typed character goes to the board before the focused control, which
    // still gets it. Only text counts: a character typed with Ctrl, Meta or Alt is a command.
    keyDown(e) {
        if (VT.closed)
            return;
        if (VT.drag) {
            // Nothing else runs while a token is being dragged; Escape drops it nowhere.
            e.preventDefault();
            e.stopPropagation();
            if (e.key === 'Escape')
                VT.abandonDrag();
            return;
        }
        const edit = VT.editCommand(e);
        if (edit !== null) {
            e.preventDefault();
            _web_edit(edit);
            return;
        }
        if (e.key.length === 1 && !e.ctrlKey && !e.metaKey && !e.altKey && !e.isComposing)
            _web_key_press(e.key.charCodeAt(0));
        if (VT.closed)
            return;
        const key = VT.boardKeys[e.key];
        if (key === undefined || e.ctrlKey || e.metaKey || e.altKey)
            return;
        const focused = VT.buttons.findIndex((b) => b.el === document.activeElement);
        if (_web_key_down(key, e.shiftKey ? 1 : 0, focused)) {
            // The board used it: no scrolling, and no click of the control as well.
            e.preventDefault();
        }
    },

    // The keys the board answers, by the numbers it gives them.
    boardKeys: { ArrowLeft: 0, ArrowRight: 1, ArrowUp: 2, ArrowDown: 3, Enter: 4, ' ': 5,
        Escape: 6, PageUp: 7, PageDown: 8 },

    // The browser's undo and redo keys, with Cmd on a Mac: Ctrl+Z undoes; Ctrl+Shift+Z and
    // Ctrl+Y redo. 0 undo, 1 redo, null for any other key.
    editCommand(e) {
        if (!(e.ctrlKey || e.metaKey) || e.altKey || e.isComposing)
            return null;
        const letter = e.key.toLowerCase();
        if (letter === 'z')
            return e.shiftKey ? 1 : 0;
        if (letter === 'y' && !e.shiftKey)
            return 1;
        return null;
    },

    tokenDown(id, e) {
        // No focus change, text selection, context menu or auto-scroll: the press is the drag's.
        e.preventDefault();
        if (VT.closed || VT.drag)
            return;
        VT.press = e;
        try {
            _web_token_down(id, e.button);
        } finally {
            VT.press = null;
        }
    },

    beginDrag(id) {
        const e = VT.press;
        if (!e)
            return;
        const b = VT.buttons[id];
        try {
            b.el.setPointerCapture(e.pointerId);
        } catch (error) {
            // A pointer already gone: the drag still ends at its next release.
        }
        // A picture of the token rides with its top-left corner at the pointer: where the
        // user lets go is exactly where the token's corner will stand.
        const ghost = document.createElement('canvas');
        ghost.className = 'ghost';
        ghost.setAttribute('aria-hidden', 'true');
        ghost.width = b.canvas.width;
        ghost.height = b.canvas.height;
        ghost.getContext('2d').drawImage(b.canvas, 0, 0);
        ghost.style.width = b.el.style.width;
        ghost.style.height = b.el.style.height;
        document.body.appendChild(ghost);
        VT.drag = Object.assign(VT.pressOf(e), { id, ghost, el: b.el });
        document.body.classList.add('dragging');
        VT.dragMove(e);
    },

    // A press as the board is told of it: where it went down, the furthest the pointer has
    // been from there on each axis, and whether it is a finger. Whether that was a click the
    // board decides.
    pressOf(e) {
        return { pointerId: e.pointerId, from: [e.clientX, e.clientY], furthest: [0, 0],
            touch: e.pointerType === 'touch' };
    },

    travel(press, e) {
        press.furthest[0] = Math.max(press.furthest[0], Math.abs(e.clientX - press.from[0]));
        press.furthest[1] = Math.max(press.furthest[1], Math.abs(e.clientY - press.from[1]));
    },

    // The end of a press, for the board: its way, and where it was let go (letGo false: it was
    // cancelled, or let go outside the page).
    endOf(press, letGo, x, y) {
        const inside = letGo && x >= 0 && y >= 0 && x < window.innerWidth && y < window.innerHeight;
        return [press.furthest[0], press.furthest[1], press.touch ? 1 : 0, inside ? 1 : 0, x, y];
    },

    dragMove(e) {
        const drag = VT.drag;
        if (!drag || e.pointerId !== drag.pointerId)
            return;
        VT.travel(drag, e);
        drag.ghost.style.transform = 'translate(' + e.clientX + 'px, ' + e.clientY + 'px)';
        document.body.classList.toggle('refused', VT.overButton(e.clientX, e.clientY));
    },

    dragEnd(e) {
        const drag = VT.drag;
        if (!drag || e.pointerId !== drag.pointerId)
            return;
        VT.travel(drag, e);
        // The ghost goes before the board hears of the end, which may repaint under it.
        VT.cancelDrag();
        _web_token_drag_end(drag.id, ...VT.endOf(drag, true, e.clientX, e.clientY));
    },

    // Ends the drag without a drop; returns it, if there was one.
    cancelDrag() {
        const drag = VT.drag;
        if (!drag)
            return null;
        VT.drag = null;
        drag.ghost.remove();
        if (drag.el.hasPointerCapture(drag.pointerId))
            drag.el.releasePointerCapture(drag.pointerId);
        document.body.classList.remove('dragging', 'refused');
        return drag;
    },

    // A drag that ends cancelled (Escape, the browser taking the pointer, the page losing the
    // focus) is no click.
    abandonDrag() {
        const drag = VT.cancelDrag();
        if (drag && !VT.closed)
            _web_token_drag_end(drag.id, ...VT.endOf(drag, false, 0, 0));
    },

    surfaceDown(e) {
        if (VT.closed || VT.drag || VT.surfacePress)
            return;
        VT.surfacePress = VT.pressOf(e);
    },

    surfaceMove(e) {
        const press = VT.surfacePress;
        if (press && e.pointerId === press.pointerId)
            VT.travel(press, e);
    },

    // A press on the surface let go: the board decides whether it was a click (or a tap).
    surfaceUp(e) {
        const press = VT.surfacePress;
        if (!press || e.pointerId !== press.pointerId)
            return;
        VT.surfacePress = null;
        VT.travel(press, e);
        if (!VT.closed)
            _web_surface_release(...VT.endOf(press, true, e.clientX, e.clientY));
    },

    // Only the board's surface takes drops; every push button, the token itself included,
    // refuses them. The board says which is where.
    overButton(x, y) {
        return !_web_takes_drop(x, y);
    },

    // Drags from other applications (or other pages) follow the token's rule; what they carry
    // is never read.
    dragOverFromOutside(e) {
        if (VT.closed || VT.overButton(e.clientX, e.clientY))
            return;
        e.preventDefault();
        e.dataTransfer.dropEffect = VT.dropEffectFor(e.dataTransfer.effectAllowed);
    },

    // The board answers, from the effects offered as OLE numbers them: copy 1, move 2, link 4.
    dropEffectFor(allowed) {
        const offered = { none: 0, copy: 1, move: 2, link: 4, copyMove: 3, copyLink: 5,
            linkMove: 6, all: 7, uninitialized: 7 }[allowed];
        if (!offered)
            return 'none';
        return { 1: 'copy', 2: 'move', 4: 'link' }[_web_answer_drop(offered)];
    },

    dropFromOutside(e) {
        if (VT.closed || VT.overButton(e.clientX, e.clientY))
            return;
        e.preventDefault();
        _web_drop(e.clientX, e.clientY);
    },
};
