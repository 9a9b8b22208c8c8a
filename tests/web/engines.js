// SPDX-License-Identifier: MIT
// The three browser engines the board's page is tested in, each behind one page object that
// speaks puppeteer's vocabulary: Chromium over the DevTools protocol and Firefox over WebDriver
// BiDi (both through puppeteer-core), WebKitGTK over W3C WebDriver (WebKitWebDriver driving
// MiniBrowser on an X server and a session bus of its own, in an environment made here rather
// than inherited). Each run gets fresh profiles in a scratch folder and free ports only. Every
// WebDriver command has a deadline: a browser that stops answering ends the suite in one line.
//
// Where an engine's driver cannot do a step, this layer does the nearest thing it can and says
// so in one skip line, or throws Unsupported, which the test (or, failing that, the suite)
// reports as a skip line. A skip is never counted as a pass.
//
// A test is a function (browser, scratch). browser.newPage() gives a page with puppeteer's
// evaluate, $eval, $$eval, $, click, focus, title, goto, setViewport, waitForFunction, on
// ('pageerror', 'request'), mouse (move, down, up, click, and dragEnter, dragOver, drop for
// drags from elsewhere), keyboard (press, down, up, type), touchscreen (touchStart, touchMove,
// touchEnd, tap), screenshot (PNG of the viewport), pdf and close; and in every engine:
// page.pen (move, down, up, as the mouse's), page.popup(action) (the window the action opens),
// page.waitForClose(ms), and accessibleNodes(page). A part of a test that an engine may not be
// able to do at all (a pixel ratio WebKitGTK cannot show, a PDF its driver cannot print) goes in
// step(async () => ...), so the test says so and goes on with the rest.
'use strict';

const fs = require('fs');
const net = require('net');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const puppeteer = require('puppeteer-core');

// A bound on waiting for an event, generous enough for a busy machine: only a failure waits
// this long.
const LIMIT = 60000;

// What this run started (its X server, the WebDriver servers with the browsers they start, its
// scratch folder), undone by process id however the run ends; puppeteer stops its own browsers.
const started = new Map(); // pid -> whether it leads a process group of its own
const scratchFolders = new Set();

function own(child, group = false) {
    started.set(child.pid, group);
    child.once('exit', () => started.delete(child.pid));
    return child;
}

function stop(pid, signal = 'SIGTERM') {
    try {
        process.kill(started.get(pid) ? -pid : pid, signal);
    } catch (e) {
        // Already gone.
    }
}

// Stops a child this run started, by its process id (its group's, if it leads one): asked
// first, then made to, if it has not gone within a few seconds.
async function stopChild(child) {
    if (!started.has(child.pid))
        return;
    const ended = new Promise((resolve) => child.once('exit', resolve));
    stop(child.pid);
    if (!(await within(ended.then(() => true), 5000, false)))
        stop(child.pid, 'SIGKILL');
    await within(ended, 5000, null);
}

process.once('exit', () => {
    // Nothing can be waited for here: whatever is left goes at once.
    for (const pid of started.keys())
        stop(pid, 'SIGKILL');
    for (const folder of scratchFolders)
        fs.rmSync(folder, { recursive: true, force: true });
});
for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP'])
    process.once(signal, () => process.exit(1));

// --- the report ------------------------------------------------------------------------------

const report = { engine: '', test: '', passed: 0, failed: 0, skipped: 0, said: new Set() };

function check(what, ok, detail) {
    if (ok) {
        report.passed++;
        console.log('ok   - ' + what);
    } else {
        report.failed++;
        console.log('FAIL - ' + what + (detail === undefined ? '' : ': ' + JSON.stringify(detail)));
    }
}

// A step the engine's driver cannot do, said once per test.
function skip(line) {
    const key = report.test + '\n' + line;
    if (report.said.has(key))
        return;
    report.said.add(key);
    report.skipped++;
    console.log(`skip - ${report.engine}: ${line}`);
}

class Unsupported extends Error {
    constructor(message) {
        super(message);
        this.name = 'Unsupported';
    }
}

// Runs a part of a test that an engine may not be able to do; if it cannot, says so and goes on.
async function step(part) {
    try {
        return await part();
    } catch (e) {
        if (!(e instanceof Unsupported))
            throw e;
        skip(e.message);
        return undefined;
    }
}

// Resolves with what `promise` gives, or with `late` once `ms` have passed.
function within(promise, ms, late) {
    let timer;
    return Promise.race([promise, new Promise((resolve) => { timer = setTimeout(() => resolve(late), ms); })])
        .finally(() => clearTimeout(timer));
}

// Runs `action`, which ends `page` (closes its window). The reply to the action that closes a
// target can be lost with the target, so a failed reply counts only when the page did not
// close. Resolves whether it closed.
async function closingAction(page, action) {
    const closed = page.waitForClose(LIMIT);
    const acted = action().then(() => null, (e) => e);
    // Once the page has closed, the action's reply is not waited for: it may never come.
    const error = await Promise.race([acted, closed.then((gone) => (gone ? null : acted))]);
    if (error && !(await closed))
        throw error;
    return closed;
}

// --- pages, the same in every engine ----------------------------------------------------------

// Effects a drag from elsewhere allows, from the DevTools protocol's mask (copy 1, link 2, move 16)
// to the name DataTransfer gives them.
function effectAllowed(mask) {
    const names = { 0: 'none', 1: 'copy', 2: 'link', 16: 'move', 3: 'copyLink', 17: 'copyMove',
        18: 'linkMove', 19: 'all' };
    return names[mask & 19];
}

// In the page: a Pointer Event the driver cannot send. A touch pointer is captured by the
// element it went down on, as a real one is; a press and release close together on one element
// make a click, as a tap does. No compatibility mouse events and no focus move follow.
function syntheticPointer(type, x, y, o) {
    const s = window.__vtSynthetic || (window.__vtSynthetic = {});
    let target;
    if (o.toWindow)
        target = window;
    else if (type !== 'pointerdown' && o.captured && s.target && s.target.isConnected)
        target = s.target;
    else
        target = document.elementFromPoint(x, y) || document.documentElement;
    if (type === 'pointerdown') {
        s.target = target;
        s.from = { x, y };
        s.moved = 0;
    } else if (s.from) {
        s.moved = Math.max(s.moved, Math.hypot(x - s.from.x, y - s.from.y));
    }
    const init = { bubbles: true, cancelable: true, composed: true, clientX: x, clientY: y,
        screenX: x, screenY: y, pointerId: o.pointerId, pointerType: o.pointerType, isPrimary: true,
        button: o.button, buttons: o.buttons, width: 1, height: 1, pressure: o.buttons ? 0.5 : 0,
        view: window };
    const e = new PointerEvent(type, init);
    target.dispatchEvent(e);
    // As on the desktop, a right press asks for the context menu.
    if (type === 'pointerdown' && o.contextmenu)
        target.dispatchEvent(new MouseEvent('contextmenu', init));
    if (type === 'pointerup' && o.tap && s.target) {
        const hit = document.elementFromPoint(x, y);
        if (s.moved < 10 && hit && (hit === s.target || s.target.contains(hit)))
            hit.dispatchEvent(new PointerEvent('click', { ...init, button: 0, buttons: 0, detail: 1 }));
        s.target = null;
    }
    return e.defaultPrevented;
}

// In the page: a drag event as another application's drag would bring it. WebKit keeps the
// effects of a DataTransfer made by script at "none", so there they are carried by the object.
function syntheticDrag(type, x, y, items, allowed) {
    const data = new DataTransfer();
    for (const item of items)
        data.setData(item.mimeType, item.data);
    data.effectAllowed = allowed;
    if (data.effectAllowed !== allowed) {
        let drop = 'none';
        Object.defineProperty(data, 'effectAllowed', { value: allowed });
        Object.defineProperty(data, 'dropEffect', {
            get: () => drop,
            set: (v) => { drop = ['none', 'copy', 'link', 'move'].includes(v) ? v : drop; },
        });
    }
    const target = document.elementFromPoint(x, y) || document.documentElement;
    target.dispatchEvent(new DragEvent(type, { bubbles: true, cancelable: true, composed: true,
        clientX: x, clientY: y, screenX: x, screenY: y, dataTransfer: data }));
}

// In the page: the real mouse's pointer, so synthetic events can continue its drag.
function recordPointer() {
    if (!window.__vtPointer) {
        window.__vtPointer = { id: 1 };
        const note = (e) => {
            if (e.isTrusted && e.pointerType === 'mouse')
                window.__vtPointer.id = e.pointerId;
        };
        addEventListener('pointerdown', note, true);
        addEventListener('pointermove', note, true);
    }
}

const BUTTONS = { left: 0, middle: 1, right: 2, back: 3, forward: 4 };
const buttonBit = (button) => [1, 4, 2, 8, 16][BUTTONS[button || 'left']];

// A mouse on top of a driver that moves no pointer outside the viewport (WebDriver, classic and
// BiDi): the steps outside it, and a release there, reach the page as synthetic Pointer Events
// on the window, continuing the real drag (the page's listeners capture on the window); the
// driver's own pointer waits at the last point inside and is released there afterwards. With
// leftOnly (a driver that releases every button as the left one), a press of another button is
// synthetic from its press to its release, delivered to the element it went down on.
class ViewportBoundMouse {
    constructor(page, real, { leftOnly = false } = {}) {
        this.page = page;
        this.real = real; // { move(points), down(button), up(button) }
        this.leftOnly = leftOnly;
        this.at = { x: 0, y: 0 };
        this.inside = { x: 0, y: 0 };
        this.outside = false;
        this.buttons = 0;
        this.pressed = null; // the button of a synthetic press
    }

    async move(x, y, { steps = 1 } = {}) {
        const size = x < 0 || y < 0 ? null : await this.page.viewportSize();
        const inView = (p) => size && p.x >= 0 && p.y >= 0 && p.x < size.width && p.y < size.height;
        const from = this.at;
        const n = Math.max(1, steps);
        const points = [];
        for (let i = 1; i <= n; i++)
            points.push({ x: from.x + (x - from.x) * i / n, y: from.y + (y - from.y) * i / n });
        let run = [];
        const flush = async () => {
            if (run.length) {
                await this.real.move(run);
                this.inside = run[run.length - 1];
                run = [];
            }
        };
        for (const p of points) {
            this.at = p;
            if (this.pressed) {
                await this.synthetic('pointermove', p);
            } else if (inView(p)) {
                run.push(p);
                this.outside = false;
            } else {
                await flush();
                skip('its driver moves no pointer outside the viewport; the steps outside it are '
                    + 'synthetic Pointer Events');
                this.outside = true;
                await this.synthetic('pointermove', p);
            }
        }
        await flush();
        this.at = { x, y };
    }

    async down({ button = 'left' } = {}) {
        if (this.outside)
            throw new Unsupported('its driver presses no button outside the viewport');
        this.buttons |= buttonBit(button);
        if (button !== 'left' && this.leftOnly) {
            skip('its driver releases every button as the left one, and a right or middle button '
                + 'it pressed stays down for the rest of the session; presses of those are synthetic '
                + 'Pointer Events');
            this.pressed = button;
            await this.synthetic('pointerdown', this.at, button);
            return;
        }
        await this.real.down(button);
    }

    async up({ button = 'left' } = {}) {
        this.buttons &= ~buttonBit(button);
        if (this.pressed === button) {
            await this.synthetic('pointerup', this.at, button);
            this.pressed = null;
            return;
        }
        if (this.outside)
            await this.synthetic('pointerup', this.at, button);
        await this.real.up(button);
    }

    async click(x, y, { button = 'left', count = 1, clickCount = count } = {}) {
        await this.move(x, y);
        for (let i = 0; i < clickCount; i++) {
            await this.down({ button });
            await this.up({ button });
        }
    }

    async synthetic(type, p, button) {
        await this.page.evaluate(recordPointer);
        const pointerId = await this.page.evaluate(() => window.__vtPointer.id);
        await this.page.evaluate(syntheticPointer, type, p.x, p.y, { pointerId, pointerType: 'mouse',
            button: button === undefined ? -1 : BUTTONS[button], buttons: this.buttons,
            toWindow: !this.pressed, captured: !!this.pressed, contextmenu: button === 'right' });
    }
}

// A pointer of another kind (touch, pen) made of synthetic Pointer Events.
class SyntheticPointer {
    constructor(page, pointerType, pointerId, why) {
        Object.assign(this, { page, pointerType, pointerId, why, at: { x: 0, y: 0 } });
    }

    async send(type, x, y, buttons) {
        skip(this.why);
        this.at = { x, y };
        await this.page.evaluate(syntheticPointer, type, x, y, { pointerId: this.pointerId,
            pointerType: this.pointerType, button: type === 'pointermove' ? -1 : 0, buttons,
            captured: this.pointerType === 'touch', tap: true });
    }
}

// A touchscreen made of synthetic touch Pointer Events.
function syntheticTouchscreen(page, why) {
    const finger = new SyntheticPointer(page, 'touch', 20, why);
    return {
        touchStart: (x, y) => finger.send('pointerdown', x, y, 1),
        touchMove: (x, y) => finger.send('pointermove', x, y, 1),
        touchEnd: () => finger.send('pointerup', finger.at.x, finger.at.y, 0),
        tap: async (x, y) => {
            await finger.send('pointerdown', x, y, 1);
            await finger.send('pointerup', x, y, 0);
        },
    };
}

// A pen (page.pen.move/down/up, as the mouse's), made of synthetic pen Pointer Events.
function syntheticPen(page, why) {
    const pen = new SyntheticPointer(page, 'pen', 30, why);
    let down = false;
    return {
        move: (x, y) => pen.send('pointermove', x, y, down ? 1 : 0),
        down: () => { down = true; return pen.send('pointerdown', pen.at.x, pen.at.y, 1); },
        up: () => { down = false; return pen.send('pointerup', pen.at.x, pen.at.y, 0); },
    };
}

// Drags from another application, made of synthetic DragEvents (page.mouse.dragEnter/dragOver/
// drop, as puppeteer's).
function syntheticDrops(page, why) {
    const send = (type) => async (point, data) => {
        skip(why);
        await page.evaluate(syntheticDrag, type, point.x, point.y, data.items || [],
            effectAllowed(data.dragOperationsMask));
    };
    return { dragEnter: send('dragenter'), dragOver: send('dragover'), drop: send('drop') };
}

// --- the accessibility tree -------------------------------------------------------------------

// In the page: the elements a tree could show, in document order, with what their attributes
// say: the role they ask for or their element's own, the name their label gives and the
// description. Only for engines whose drivers compute no tree of their own.
function domAccessibility(tag) {
    const implicit = { MAIN: 'main', BUTTON: 'button', P: 'paragraph', A: 'link', IMG: 'img', H1: 'heading',
        H2: 'heading', H3: 'heading', H4: 'heading', H5: 'heading', H6: 'heading',
        INPUT: 'textbox', SELECT: 'combobox', TEXTAREA: 'textbox', UL: 'list', OL: 'list', LI: 'listitem' };
    const text = (ids) => ids.split(/\s+/).map((id) => document.getElementById(id))
        .filter(Boolean).map((el) => el.textContent.trim()).join(' ');
    return [...document.body.querySelectorAll('*')].map((el, i) => {
        if (tag)
            el.setAttribute('data-vt-node', String(i));
        const labelledby = el.getAttribute('aria-labelledby');
        const describedby = el.getAttribute('aria-describedby');
        return {
            exposed: !el.closest('[aria-hidden="true"], [hidden], [inert]') && el.getClientRects().length > 0,
            role: el.getAttribute('role') || implicit[el.tagName] || '',
            name: el.getAttribute('aria-label') || (labelledby ? text(labelledby) : el.textContent.trim()),
            description: el.getAttribute('aria-description') || (describedby ? text(describedby) : undefined),
        };
    });
}

// Roles that only structure a tree: no node of their own in the list.
const STRUCTURE = new Set(['', 'none', 'presentation', 'generic', 'RootWebArea', 'WebArea',
    'StaticText', 'InlineTextBox', 'LineBreak']);

// The page's accessibility tree as a list in document order: [{ role, name, description }].
async function accessibleNodes(page) {
    return page.accessibleNodes();
}

// --- Chromium and Firefox, through puppeteer --------------------------------------------------

class PuppeteerBrowser {
    constructor(engine, browser, version) {
        Object.assign(this, { engine, browser, version });
    }

    async newPage() {
        return this.adopt(await this.browser.newPage());
    }

    async adopt(page) {
        page.engine = this.engine;
        page.popup = async (action) => {
            const next = new Promise((resolve) => page.once('popup', resolve));
            await action();
            const popup = await within(next, LIMIT, null);
            if (!popup)
                throw new Error('no window opened');
            return this.adopt(popup);
        };
        page.waitForClose = (ms) => page.isClosed() ? Promise.resolve(true)
            : within(new Promise((resolve) => page.once('close', () => resolve(true))), ms, false);
        page.viewportSize = async () => page.viewport()
            || page.evaluate(() => ({ width: innerWidth, height: innerHeight }));
        if (this.engine === 'chromium')
            this.adoptChromium(page);
        else
            await this.adoptFirefox(page);
        return page;
    }

    adoptChromium(page) {
        // The protocol's own pen events.
        let cdp = null;
        let at = { x: 0, y: 0 };
        let buttons = 0;
        const send = async (type) => {
            cdp = cdp || await page.createCDPSession();
            await cdp.send('Input.dispatchMouseEvent', { type, x: at.x, y: at.y,
                button: type === 'mouseMoved' && !buttons ? 'none' : 'left', buttons, clickCount: 1,
                pointerType: 'pen' });
        };
        page.pen = {
            move: (x, y) => { at = { x, y }; return send('mouseMoved'); },
            down: () => { buttons = 1; return send('mousePressed'); },
            up: () => { buttons = 0; return send('mouseReleased'); },
        };
        page.accessibleNodes = async () => {
            const nodes = [];
            (function walk(node) {
                if (!STRUCTURE.has(node.role))
                    nodes.push({ role: node.role, name: node.name, description: node.description || undefined });
                (node.children || []).forEach(walk);
            })(await page.accessibility.snapshot({ interestingOnly: false }));
            return nodes;
        };
    }

    async adoptFirefox(page) {
        const context = () => page.mainFrame().browsingContext; // puppeteer's BiDi session
        await page.evaluateOnNewDocument(recordPointer);
        const mouse = page.mouse;
        const real = {
            move: mouse.move.bind(mouse),
            down: mouse.down.bind(mouse),
            up: mouse.up.bind(mouse),
        };
        const bound = new ViewportBoundMouse(page, {
            move: async (points) => {
                for (const p of points)
                    await real.move(p.x, p.y);
            },
            down: (button) => real.down({ button }),
            up: (button) => real.up({ button }),
        });
        mouse.move = async (x, y, options = {}) => {
            const size = x < 0 || y < 0 ? null : await page.viewportSize();
            if (size && x < size.width && y < size.height && !bound.outside) {
                // The driver's own interpolation, as it always moved.
                await real.move(x, y, options);
                bound.at = bound.inside = { x, y };
                return;
            }
            await bound.move(x, y, options);
        };
        mouse.down = (options) => bound.down(options);
        mouse.up = (options) => bound.up(options);
        mouse.click = (x, y, options) => bound.click(x, y, options);
        Object.assign(mouse, syntheticDrops(page, 'BiDi has no drag from another application; '
            + 'checked with synthetic DragEvents instead'));

        // BiDi names the space bar by its character.
        const keyboard = page.keyboard;
        for (const name of ['press', 'down', 'up']) {
            const real = keyboard[name].bind(keyboard);
            keyboard[name] = (key, options) => real(key === 'Space' ? ' ' : key, options);
        }

        // A real pen where the browser has one; Firefox says "Unimplemented pointerMove for
        // pointerType pen".
        const fallbackPen = syntheticPen(page, 'Firefox has no pen pointer in BiDi; the pen steps '
            + 'are synthetic pen Pointer Events');
        let penAt = { x: 0, y: 0 };
        let penReal = true;
        const penActions = async (actions, fallback) => {
            if (penReal) {
                try {
                    await context().performActions([{ type: 'pointer', id: 'vantorel-pen',
                        parameters: { pointerType: 'pen' }, actions }]);
                    return;
                } catch (e) {
                    if (!/pointerType pen/.test(String(e && e.message)))
                        throw e;
                    penReal = false;
                    await fallbackPen.move(penAt.x, penAt.y);
                }
            }
            await fallback();
        };
        page.pen = {
            move: (x, y) => {
                penAt = { x: Math.round(x), y: Math.round(y) };
                return penActions([{ type: 'pointerMove', ...penAt }], () => fallbackPen.move(x, y));
            },
            down: () => penActions([{ type: 'pointerDown', button: 0 }], () => fallbackPen.down()),
            up: () => penActions([{ type: 'pointerUp', button: 0 }], () => fallbackPen.up()),
        };

        // Puppeteer gives BiDi's print a page size in inches where the protocol wants
        // centimetres: without a size of its own the paper would be 8.5 cm by 11 cm.
        const pdf = page.pdf.bind(page);
        page.pdf = (options = {}) => pdf(options.format || options.width || options.height
            ? options : { format: 'letter', ...options });
        page.emulateMediaType = async () => {
            throw new Unsupported('BiDi has no print-media emulation');
        };

        page.accessibleNodes = async () => {
            skip('the accessibility tree is the nearest BiDi has: roles and names as the browser '
                + 'computes them (its accessibility locator), descriptions from the aria attributes');
            const guesses = await page.evaluate(domAccessibility, true);
            const locate = async (value) => new Set((await context().locateNodes({ type: 'accessibility', value }))
                .map((node) => Number(node.value && node.value.attributes && node.value.attributes['data-vt-node'])));
            try {
                const roles = {};
                for (const role of new Set(guesses.map((g) => g.role).filter(Boolean)))
                    roles[role] = await locate({ role });
                const nodes = [];
                for (const [i, g] of guesses.entries()) {
                    if (!g.role || !roles[g.role].has(i))
                        continue;
                    const named = g.name && (await locate({ role: g.role, name: g.name })).has(i);
                    nodes.push({ role: g.role, name: named ? g.name : undefined, description: g.description || undefined });
                }
                return nodes;
            } finally {
                await page.evaluate(() => document.querySelectorAll('[data-vt-node]')
                    .forEach((el) => el.removeAttribute('data-vt-node')));
            }
        };
    }

    async close() {
        await this.browser.close();
    }
}

async function launchChromium(scratch) {
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
            '--disable-component-update', '--disable-sync', '--user-data-dir=' + path.join(scratch, 'profile')],
    });
    return new PuppeteerBrowser('chromium', browser, await browser.version());
}

async function launchFirefox(scratch) {
    // Firefox writes into HOME even with a profile of its own.
    const home = path.join(scratch, 'home');
    fs.mkdirSync(home);
    const browser = await puppeteer.launch({
        browser: 'firefox',
        executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
        headless: true,
        userDataDir: path.join(scratch, 'profile'),
        env: { ...process.env, HOME: home, XDG_CONFIG_HOME: path.join(home, '.config'),
            XDG_CACHE_HOME: path.join(home, '.cache'), MOZ_CRASHREPORTER_DISABLE: '1' },
    });
    return new PuppeteerBrowser('firefox', browser, await browser.version());
}

// --- WebKitGTK, over W3C WebDriver ------------------------------------------------------------

class WebDriverError extends Error {
    constructor(error, message) {
        super(`${error}${message ? ': ' + message : ''}`);
        this.error = error;
    }
}

// The browser stopped answering, or went away: nothing after that can pass, so the suite ends
// with this one line instead of a failure per test or a wait for ctest's limit.
class BrowserLost extends Error {
    constructor(message) {
        super(message);
        this.name = 'BrowserLost';
    }
}

// How long one WebDriver command may take before the browser counts as hung: each is several
// times what the slowest takes on a busy machine (the run prints its slowest), so only a hang
// waits this long. A script that waits in the page gets its own wait on top.
const DEADLINE = { command: 20000, load: 30000, start: 45000, end: 10000 };

const ELEMENT = 'element-6066-11e4-a52e-4f735466cecf';

// The driver's names for the keys puppeteer names.
const KEYS = { Tab: '\uE004', Enter: '\uE007', Escape: '\uE00C', Space: ' ', Backspace: '\uE003',
    Delete: '\uE017', Shift: '\uE008', Control: '\uE009', Alt: '\uE00A', Meta: '\uE03D',
    ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
    Home: '\uE011', End: '\uE010', PageUp: '\uE00E', PageDown: '\uE00F', Insert: '\uE016' };
for (let i = 1; i <= 12; i++)
    KEYS['F' + i] = String.fromCharCode(0xE031 + i - 1);

function webdriverKey(key) {
    if (KEYS[key])
        return KEYS[key];
    const m = /^(?:Key([A-Z])|Digit([0-9]))$/.exec(key);
    if (m)
        return m[1] ? m[1].toLowerCase() : m[2];
    if ([...key].length === 1)
        return key;
    throw new Error('no WebDriver key for ' + key);
}

function freePort() {
    return new Promise((resolve, reject) => {
        const server = net.createServer();
        server.on('error', reject);
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

// Whether the process itself listens on the port, not another program that took it first.
function listensOn(pid, port) {
    const sockets = new Set();
    try {
        for (const fd of fs.readdirSync(`/proc/${pid}/fd`)) {
            const m = /^socket:\[(\d+)\]$/.exec(fs.readlinkSync(`/proc/${pid}/fd/${fd}`));
            if (m)
                sockets.add(m[1]);
        }
    } catch (e) {
        return false; // gone, or a descriptor closed while read
    }
    return ['/proc/net/tcp', '/proc/net/tcp6'].some((table) => fs.readFileSync(table, 'latin1')
        .split('\n').slice(1).some((line) => {
            const f = line.trim().split(/\s+/);
            return f.length > 9 && f[3] === '0A' && parseInt(f[1].split(':')[1], 16) === port
                && sockets.has(f[9]);
        }));
}

// A private X server: Xvfb takes the first free display number itself and says which.
function startXvfb() {
    return new Promise((resolve, reject) => {
        const xvfb = own(spawn(process.env.XVFB || 'Xvfb', ['-displayfd', '3', '-screen', '0', '4000x3000x24',
            '-nolisten', 'tcp', '-noreset'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] }));
        let said = '';
        xvfb.on('error', reject);
        xvfb.on('exit', () => reject(new Error('Xvfb ended before it said its display')));
        xvfb.stdio[3].on('data', (chunk) => {
            said += chunk;
            if (said.includes('\n'))
                resolve({ xvfb, display: ':' + said.trim() });
        });
    });
}

// A session bus of the run's own, on which nothing can be started: without one, GLib would
// start a bus for the X display by itself (where dbus-launch is installed) that no one stops,
// and a bus inherited from the caller's desktop would bring its accessibility bus, screen
// reader, portals and sound server into the browser. dbus-daemon says its address on a pipe.
function startBus(scratch) {
    const config = path.join(scratch, 'session-bus.conf');
    fs.writeFileSync(config, `<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=${scratch}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
`);
    return new Promise((resolve, reject) => {
        const bus = own(spawn(process.env.DBUS_DAEMON || 'dbus-daemon', ['--config-file=' + config,
            '--nofork', '--nopidfile', '--print-address=3'], { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] }));
        let said = '';
        let complaint = '';
        bus.on('error', reject);
        bus.stderr.on('data', (chunk) => { complaint += chunk; });
        bus.on('exit', () => reject(new Error('dbus-daemon ended before it said its address: ' + complaint)));
        bus.stdio[3].on('data', (chunk) => {
            said += chunk;
            if (said.includes('\n'))
                resolve({ bus, address: said.trim() });
        });
    });
}

// The browser's whole environment, made here rather than inherited: only what it needs, so
// that nothing of the caller's session (its D-Bus, a Wayland display, GDK_*, GTK_*, WEBKIT_*,
// GST_* settings) and as little as possible of what else the machine has installed reaches it.
function browserEnvironment(home, { display, busAddress, noPlugins }, ratio) {
    const run = path.join(home, 'run');
    fs.mkdirSync(run, { recursive: true, mode: 0o700 });
    return {
        PATH: process.env.PATH || '/usr/bin:/bin',
        LANG: 'C.UTF-8',
        HOME: home,
        XDG_RUNTIME_DIR: run,
        XDG_CONFIG_HOME: path.join(home, '.config'),
        XDG_CACHE_HOME: path.join(home, '.cache'),
        XDG_DATA_HOME: path.join(home, '.local'),
        DISPLAY: display,
        GDK_BACKEND: 'x11',
        GDK_SCALE: String(ratio),
        DBUS_SESSION_BUS_ADDRESS: busAddress,
        // No accessibility bridge: the driver computes roles and names itself, and a bridge
        // would have the browser wait on an accessibility bus and whatever listens there.
        NO_AT_BRIDGE: '1',
        GTK_A11Y: 'none',
        // The page plays no media, yet MiniBrowser starts GStreamer, which loads and scans every
        // plugin installed (dozens more with a desktop's sound and video stack) into a registry
        // the fresh profile does not have yet: here it finds none.
        GST_PLUGIN_SYSTEM_PATH_1_0: noPlugins,
        GST_PLUGIN_PATH_1_0: noPlugins,
        GST_REGISTRY_1_0: path.join(home, 'gstreamer-registry.bin'),
    };
}

// The live processes whose parent is pid (field 1 of /proc/PID/stat after the name) or whose
// process group is pid (field 2); ended ones waiting to be reaped do not count.
function processesWith(field, pid) {
    const found = [];
    for (const entry of fs.readdirSync('/proc')) {
        if (!/^\d+$/.test(entry))
            continue;
        try {
            const stat = fs.readFileSync(`/proc/${entry}/stat`, 'latin1');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            if (fields[0] !== 'Z' && Number(fields[field]) === pid)
                found.push(Number(entry));
        } catch (e) {
            // Gone while read.
        }
    }
    return found;
}
const childrenOf = (pid) => processesWith(1, pid);
const processesIn = (group) => processesWith(2, group);

// The browser process a driver started and talks to: WebKitWebDriver picks a free port for the
// browser's inspector server and closes it before the browser binds it, then connects to
// whatever listens there. Another program can take the port in between (another driver's
// browser, say), and the session would then drive that one. Null unless the driver's own
// browser listens on the port the driver gave it.
function ownBrowser(driverPid) {
    for (const pid of childrenOf(driverPid)) {
        let given;
        try {
            given = /(?:^|\0)WEBKIT_INSPECTOR_SERVER=[^\0]*:(\d+)(?:\0|$)/.exec(
                fs.readFileSync(`/proc/${pid}/environ`, 'latin1'));
        } catch (e) {
            continue;
        }
        if (given && listensOn(pid, Number(given[1])))
            return pid;
    }
    return null;
}

// One WebKitWebDriver and its MiniBrowser: the pixel ratio of a GTK window is fixed by the
// process's GDK_SCALE, so each ratio has a session of its own.
class WebDriverSession {
    static async start(browser, ratio, name = `${ratio}x`) {
        const env = browserEnvironment(path.join(browser.scratch, `webkit-${name}`), browser, ratio);
        for (let attempt = 0; ; attempt++) {
            // A port free a moment ago may be taken by the time the driver binds it: try another.
            const port = await freePort();
            const driver = own(spawn(process.env.WEBKIT_WEBDRIVER || 'WebKitWebDriver', ['--port=' + port],
                { env, stdio: ['ignore', 'ignore', 'pipe'], detached: true }), true);
            const session = new WebDriverSession(`http://127.0.0.1:${port}`, driver, ratio);
            driver.stderr.on('data', (chunk) => { session.said = (session.said + chunk).slice(-2000); });
            const ended = new Promise((resolve) => driver.once('exit', () => resolve('ended')));
            const up = await within((async () => {
                for (;;) {
                    if (listensOn(driver.pid, port)) {
                        try {
                            await fetch(session.base + '/status', { signal: AbortSignal.timeout(DEADLINE.command) });
                            return 'up';
                        } catch (e) {
                            // Not answering yet.
                        }
                    }
                    if (await within(ended, 50, false))
                        return 'ended';
                }
            })(), DEADLINE.start, 'late');
            if (up !== 'up') {
                await session.stop();
                if (up === 'ended' && attempt < 5)
                    continue;
                throw new BrowserLost(`WebKitWebDriver did not start (${up}): ${session.said.trim()}`);
            }
            try {
                const created = await session.call('POST', '/session', { capabilities: { alwaysMatch: {
                    pageLoadStrategy: 'normal',
                    'webkitgtk:browserOptions': {
                        binary: process.env.MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
                        // A window the test's own script opens is a popup the user asked for.
                        args: ['--automation', '--javascript-can-open-windows-automatically=true'],
                    },
                } } }, DEADLINE.start);
                session.id = created.sessionId;
                session.version = created.capabilities.browserVersion;
                session.browserPid = ownBrowser(driver.pid);
                if (!session.browserPid && attempt < 5) {
                    await session.end();
                    continue;
                }
                if (!session.browserPid)
                    throw new BrowserLost('WebKitWebDriver drives a browser other than the one it started');
                // The driver's own limits stay inside this layer's deadlines, so that a slow
                // page fails with the driver's reason and only a hang meets a deadline.
                await session.call('POST', session.path('/timeouts'), { script: DEADLINE.load + 5000,
                    pageLoad: DEADLINE.load - 5000 });
                session.home = await session.call('GET', session.path('/window'));
                session.current = session.home;
                return session;
            } catch (e) {
                await session.end();
                throw e;
            }
        }
    }

    constructor(base, driver, ratio) {
        Object.assign(this, { base, driver, ratio, id: null, current: null, queue: Promise.resolve(),
            said: '', browserPid: null, lost: null, pending: new Set(), slowest: { ms: 0, what: '' } });
    }

    path(p) {
        return `/session/${this.id}${p}`;
    }

    // One command, answered within `deadline` ms or never waited for again: once the browser
    // has missed one or gone away, every later command fails at once with the same reason. A
    // command in a window (`handle`) that closes meanwhile may never be answered, and is given
    // up when the window is seen gone (windowClosed), which says nothing about the browser.
    async call(method, p, body, deadline = DEADLINE.command, handle = null) {
        if (this.lost)
            throw this.lost;
        const what = `${method} ${p.replace(/^\/session\/[^/]+/, '')}`;
        const started = Date.now();
        const abort = new AbortController();
        const timer = setTimeout(() => abort.abort('late'), deadline);
        const pending = { handle, abort };
        this.pending.add(pending);
        let response;
        let answer;
        try {
            response = await fetch(this.base + p, {
                method,
                headers: { 'content-type': 'application/json' },
                body: body === undefined ? undefined : JSON.stringify(body),
                signal: abort.signal,
            });
            answer = await response.json();
        } catch (e) {
            if (abort.signal.reason === 'closed')
                throw new Error(`${what}: its window closed before it was answered`);
            throw this.lose(abort.signal.reason === 'late'
                ? `the browser gave no answer to ${what} within ${deadline / 1000} s`
                : `the driver's connection failed on ${what}: ${(e.cause && e.cause.code) || e.message}`);
        } finally {
            clearTimeout(timer);
            this.pending.delete(pending);
        }
        const ms = Date.now() - started;
        if (ms > this.slowest.ms)
            this.slowest = { ms, what };
        if (!response.ok) {
            if (answer.value.error === 'invalid session id' && this.id)
                throw this.lose(`the browser went away: ${what} answered "${answer.value.message}"`);
            throw new WebDriverError(answer.value.error, answer.value.message);
        }
        return answer.value;
    }

    // Notes why the browser is lost, with what its processes show.
    lose(why) {
        const state = (pid) => {
            try {
                const stat = fs.readFileSync(`/proc/${pid}/stat`, 'latin1');
                return { T: 'stopped', t: 'stopped', Z: 'gone' }[stat[stat.lastIndexOf(')') + 2]] || 'running';
            } catch (e) {
                return 'gone';
            }
        };
        const seen = this.browserPid ? `MiniBrowser ${state(this.browserPid)}`
            : `WebKitWebDriver ${state(this.driver.pid)}, with ${childrenOf(this.driver.pid).length ? 'a' : 'no'} `
                + 'browser process';
        const said = this.said.trim().split('\n').pop();
        this.lost = new BrowserLost(`${why} (${seen}${said ? '; the driver or browser said: ' + said : ''})`);
        return this.lost;
    }

    // A command in one window. Commands of one session go one at a time, each after switching
    // to its window; only the window list is read in between (waiting for a window to close).
    inWindow(handle, method, p, body, deadline) {
        const run = this.queue.then(async () => {
            if (this.current !== handle) {
                await this.call('POST', this.path('/window'), { handle });
                this.current = handle;
            }
            return this.call(method, this.path(p), body, deadline, handle);
        });
        this.queue = run.catch(() => {});
        return run;
    }

    handles() {
        return this.call('GET', this.path('/window/handles'));
    }

    // The window is gone: what was asked of it will not be answered.
    windowClosed(handle) {
        for (const pending of this.pending)
            if (pending.handle === handle)
                pending.abort.abort('closed');
    }

    // Ends the session, then stops the driver and the browser by process id. What the driver
    // answers (if anything: the connection may be lost with the browser) changes nothing.
    async end() {
        if (this.id && !this.lost)
            await this.call('DELETE', this.path(''), undefined, DEADLINE.end).catch(() => {});
        await this.stop();
    }

    // The driver leads a process group of its own, which the browser and its web, network and
    // GPU processes are in: all of them are asked to end, then made to.
    async stop() {
        const group = this.driver.pid;
        for (const signal of ['SIGTERM', 'SIGKILL']) {
            if (!processesIn(group).length)
                return;
            try {
                process.kill(-group, signal);
            } catch (e) {
                // Gone meanwhile.
            }
            for (const end = Date.now() + 5000; Date.now() < end && processesIn(group).length;)
                await new Promise((resolve) => setTimeout(resolve, 50));
        }
    }
}

// In the page: collects script errors and fetched resources for the test, as the driver
// reports neither.
const RECORDER = `if (!window.__vtRecord) {
    const vt = window.__vtRecord = { errors: [], resources: 0 };
    addEventListener('error', (e) => { if (e instanceof ErrorEvent) vt.errors.push(e.message); });
    addEventListener('unhandledrejection', (e) => vt.errors.push(String(e.reason)));
}
(${recordPointer})();`;

// The script that runs a function in the page and brings back its result with whatever the
// recorder collected since.
// The driver turns element references into elements only where they are arguments themselves.
const EVALUATE = `const done = arguments[arguments.length - 1];
const source = arguments[0];
const args = Array.prototype.slice.call(arguments, 1, arguments.length - 1);
const failure = (e) => String(e && e.name) + ': ' + String(e && e.message) + '\\n' + String(e && e.stack);
const collect = () => {
    const vt = window.__vtRecord;
    if (!vt)
        return {};
    const resources = performance.getEntriesByType('resource').slice(vt.resources).map((r) => r.name);
    vt.resources += resources.length;
    return { errors: vt.errors.splice(0), resources };
};
try {
    const f = (0, eval)('(' + source + ')');
    Promise.resolve(f(...args)).then(
        (value) => done({ value: value === undefined ? null : value, ...collect() }),
        (e) => done({ error: failure(e), ...collect() }));
} catch (e) {
    done({ error: failure(e), ...collect() });
}`;

class WebKitElement {
    constructor(page, id) {
        Object.assign(this, { page, id });
    }

    evaluate(fn, ...args) {
        return this.page.evaluateSource(fn.toString(), [{ [ELEMENT]: this.id }, ...args]);
    }

    async boundingBox() {
        return this.evaluate((el) => {
            const r = el.getBoundingClientRect();
            return { x: r.x, y: r.y, width: r.width, height: r.height };
        });
    }

    async click(options) {
        const box = await this.boundingBox();
        await this.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, options);
    }

    focus() {
        return this.evaluate((el) => el.focus());
    }
}

class WebKitPage {
    constructor(browser, session = null, handle = null) {
        Object.assign(this, { browser, session, handle, engine: 'webkit', size: null,
            listeners: {}, closed: false });
        const realMouse = {
            move: (points) => this.actions('mouse', 'mouse', points.map((p) => ({ type: 'pointerMove',
                x: Math.round(p.x), y: Math.round(p.y), origin: 'viewport', duration: 0 }))),
            down: (button) => this.actions('mouse', 'mouse', [{ type: 'pointerDown', button: BUTTONS[button] }]),
            up: (button) => this.actions('mouse', 'mouse', [{ type: 'pointerUp', button: BUTTONS[button] }]),
        };
        const can = browser.can || {};
        this.mouse = new ViewportBoundMouse(this, realMouse, { leftOnly: !can.buttons });
        Object.assign(this.mouse, syntheticDrops(this, 'its driver has no drag from another '
            + 'application; checked with synthetic DragEvents instead'));
        this.keyboard = {
            down: (key) => this.keys([{ type: 'keyDown', value: webdriverKey(key) }]),
            up: (key) => this.keys([{ type: 'keyUp', value: webdriverKey(key) }]),
            press: (key) => this.keys([{ type: 'keyDown', value: webdriverKey(key) },
                { type: 'keyUp', value: webdriverKey(key) }]),
            type: (text) => this.keys([...text].flatMap((c) => [{ type: 'keyDown', value: c }, { type: 'keyUp', value: c }])),
        };
        this.touchscreen = can.touch ? this.pointer('touch', 'finger') : syntheticTouchscreen(this,
            'its driver delivers a touch pointer as a mouse; the touch steps are synthetic touch '
            + 'Pointer Events');
        const pen = this.pointer('pen', 'pen');
        this.pen = can.pen ? { move: (x, y) => pen.touchMove(x, y), down: () => pen.down(), up: () => pen.touchEnd() }
            : syntheticPen(this, 'its pen loses its moves and its release after a press whose default '
                + 'the page prevented (as the board\'s tokens do); the pen steps are synthetic pen '
                + 'Pointer Events');
    }

    // A real pointer of another kind, through the driver.
    pointer(type, id) {
        let at = { x: 0, y: 0 };
        const move = (x, y) => {
            at = { x: Math.round(x), y: Math.round(y) };
            return { type: 'pointerMove', ...at, origin: 'viewport', duration: 0 };
        };
        return {
            touchStart: (x, y) => this.actions(id, type, [move(x, y), { type: 'pointerDown', button: 0 }]),
            touchMove: (x, y) => this.actions(id, type, [move(x, y)]),
            touchEnd: () => this.actions(id, type, [{ type: 'pointerUp', button: 0 }]),
            tap: (x, y) => this.actions(id, type, [move(x, y), { type: 'pointerDown', button: 0 },
                { type: 'pointerUp', button: 0 }]),
            down: () => this.actions(id, type, [{ type: 'pointerDown', button: 0 }]),
        };
    }

    on(event, listener) {
        if (event === 'request')
            skip('its driver reports no requests; the page\'s navigation and its resource timing '
                + 'list stand in');
        (this.listeners[event] = this.listeners[event] || []).push(listener);
        return this;
    }

    once(event, listener) {
        const once = (...a) => {
            this.listeners[event] = this.listeners[event].filter((l) => l !== once);
            listener(...a);
        };
        return this.on(event, once);
    }

    emit(event, ...args) {
        for (const listener of this.listeners[event] || [])
            listener(...args);
    }

    // The window, opened in the session of the pixel ratio asked for, at puppeteer's size
    // unless another is asked for.
    async open(ratio = 1, size = { width: 800, height: 600 }) {
        if (this.session)
            return;
        this.session = await this.browser.session(ratio);
        // A new window opens from one still there: the session's first, which no page closes.
        this.handle = (await this.session.inWindow(this.session.home, 'POST', '/window/new',
            { type: 'window' })).handle;
        await this.resize(size);
    }

    async command(method, p, body, deadline) {
        if (this.closed)
            throw new Error('the page is closed');
        await this.open();
        return this.session.inWindow(this.handle, method, p, body, deadline);
    }

    actions(id, pointerType, actions) {
        return this.command('POST', '/actions', { actions: [{ type: 'pointer', id, parameters: { pointerType }, actions }] });
    }

    keys(actions) {
        return this.command('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
    }

    async setViewport({ width, height, deviceScaleFactor = 1 }) {
        if (!Number.isInteger(deviceScaleFactor))
            throw new Unsupported(`no pixel ratio ${deviceScaleFactor}: WebKitGTK on X scales by whole `
                + 'numbers only');
        if (!this.session)
            return this.open(deviceScaleFactor, { width, height });
        if (deviceScaleFactor !== this.session.ratio)
            throw new Unsupported('a WebKitGTK window keeps the pixel ratio it opened with');
        return this.resize({ width, height });
    }

    async resize({ width, height }) {
        // The window's size includes the browser's own bars: measured, then made up for.
        let inner;
        for (let attempt = 0; attempt < 3; attempt++) {
            inner = await this.evaluate(() => ({ width: innerWidth, height: innerHeight }));
            if (inner.width === width && inner.height === height) {
                this.size = { width, height };
                return;
            }
            const outer = await this.command('GET', '/window/rect');
            await this.command('POST', '/window/rect', { width: outer.width + width - inner.width,
                height: outer.height + height - inner.height });
            // The page learns its new size a little later than the driver answers.
            await this.waitForFunction((w, h) => innerWidth === w && innerHeight === h, { timeout: 10000 },
                width, height).catch(() => {});
        }
        throw new Error(`the window will not show a ${width} x ${height} page: ${JSON.stringify(inner)}`);
    }

    viewport() {
        return this.size;
    }

    async viewportSize() {
        return this.size || this.evaluate(() => ({ width: innerWidth, height: innerHeight }));
    }

    async goto(url) {
        await this.command('POST', '/url', { url }, DEADLINE.load);
        await this.command('POST', '/execute/sync', { script: RECORDER, args: [] });
        this.emit('request', { url: () => url });
        return null;
    }

    // Runs the function whose source is given with args (JSON values and element references);
    // `waits`: how long the function itself may wait in the page.
    async evaluateSource(source, args, waits = 0) {
        const result = await this.command('POST', '/execute/async', { script: EVALUATE, args: [source, ...args] },
            DEADLINE.command + waits);
        for (const message of result.errors || [])
            this.emit('pageerror', new Error(message));
        for (const name of result.resources || [])
            this.emit('request', { url: () => name });
        if (result.error !== undefined)
            throw new Error('in the page: ' + result.error);
        return result.value;
    }

    // As puppeteer's: a function with its arguments, or an expression.
    evaluate(fn, ...args) {
        return this.evaluateSource(typeof fn === 'function' ? fn.toString() : `() => (${fn})`, args);
    }

    evaluateOnNewDocument() {
        throw new Unsupported('its driver runs no script before a page\'s own');
    }

    $eval(selector, fn, ...args) {
        return this.evaluateSource(`(selector, source, args) => {
            const el = document.querySelector(selector);
            if (!el)
                throw new Error('no element matches ' + selector);
            return (0, eval)('(' + source + ')')(el, ...args);
        }`, [selector, fn.toString(), args]);
    }

    $$eval(selector, fn, ...args) {
        return this.evaluateSource(`(selector, source, args) =>
            (0, eval)('(' + source + ')')([...document.querySelectorAll(selector)], ...args)`,
        [selector, fn.toString(), args]);
    }

    async $(selector) {
        try {
            const found = await this.command('POST', '/element', { using: 'css selector', value: selector });
            return new WebKitElement(this, found[ELEMENT]);
        } catch (e) {
            if (e.error === 'no such element')
                return null;
            throw e;
        }
    }

    async click(selector, options) {
        const el = await this.$(selector);
        if (!el)
            throw new Error('no element matches ' + selector);
        await el.evaluate((e) => e.scrollIntoView({ block: 'nearest', inline: 'nearest' }));
        await el.click(options);
    }

    async focus(selector) {
        const el = await this.$(selector);
        if (!el)
            throw new Error('no element matches ' + selector);
        await el.focus();
    }

    title() {
        return this.command('GET', '/title');
    }

    // Waits until fn is true in the page, looking at every frame (and at least every 100 ms,
    // should frames stop), for timeout ms at most.
    async waitForFunction(fn, { timeout = 30000 } = {}, ...args) {
        const got = await this.evaluateSource(`(source, args, timeout) => new Promise((resolve, reject) => {
            const f = (0, eval)('(' + source + ')');
            const end = performance.now() + timeout;
            let timer = 0;
            const poll = () => {
                clearTimeout(timer);
                let value;
                try {
                    value = f(...args);
                } catch (e) {
                    return reject(e);
                }
                if (value)
                    return resolve(value);
                if (performance.now() > end)
                    return resolve(null);
                requestAnimationFrame(poll);
                timer = setTimeout(poll, 100);
            };
            poll();
        })`, [typeof fn === 'function' ? fn.toString() : `() => (${fn})`, args, timeout], timeout);
        if (got === null)
            throw new Error(`waiting for ${fn} failed: ${timeout} ms exceeded`);
        return got;
    }

    async screenshot(options = {}) {
        if (options.clip || options.fullPage || (options.type && options.type !== 'png'))
            throw new Error('the WebKit layer takes PNG screenshots of the viewport only');
        const png = Buffer.from(await this.command('GET', '/screenshot'), 'base64');
        if (options.path)
            fs.writeFileSync(options.path, png);
        return png;
    }

    async pdf() {
        throw new Unsupported('its driver has no print command');
    }

    async emulateMediaType() {
        throw new Unsupported('its driver has no media emulation');
    }

    async accessibleNodes() {
        skip('the accessibility tree is the nearest its driver has: roles and names as the '
            + 'browser computes them (computedrole, computedlabel), descriptions from the aria attributes');
        const found = await this.command('POST', '/elements', { using: 'css selector', value: 'body *' });
        const guesses = await this.evaluate(domAccessibility, false);
        const nodes = [];
        for (const [i, el] of found.entries()) {
            if (!guesses[i] || !guesses[i].exposed)
                continue;
            try {
                const role = await this.command('GET', `/element/${el[ELEMENT]}/computedrole`);
                if (STRUCTURE.has(role))
                    continue;
                const name = await this.command('GET', `/element/${el[ELEMENT]}/computedlabel`);
                nodes.push({ role, name, description: guesses[i].description || undefined });
            } catch (e) {
                if (!(e instanceof WebDriverError))
                    throw e;
                // The driver computes nothing for a node outside the tree.
            }
        }
        return nodes;
    }

    async popup(action) {
        await this.open();
        const before = await this.session.handles();
        await action();
        const handle = await within((async () => {
            for (;;) {
                const fresh = (await this.session.handles()).filter((h) => !before.includes(h));
                if (fresh.length)
                    return fresh[0];
                await new Promise((resolve) => setTimeout(resolve, 50));
            }
        })(), LIMIT, null);
        if (!handle)
            throw new Error('no window opened');
        const popup = new WebKitPage(this.browser, this.session, handle);
        popup.size = this.size;
        await popup.waitForFunction(() => document.readyState === 'complete');
        await popup.command('POST', '/execute/sync', { script: RECORDER, args: [] });
        return popup;
    }

    // Whether the window is gone within ms: the driver's window list, read until it is.
    async waitForClose(ms) {
        if (this.closed)
            return true;
        await this.open();
        const gone = await within((async () => {
            while ((await this.session.handles()).includes(this.handle))
                await new Promise((resolve) => setTimeout(resolve, 50));
            return true;
        })(), ms, false);
        if (gone) {
            this.closed = true;
            this.session.windowClosed(this.handle);
            this.emit('close');
        }
        return gone;
    }

    isClosed() {
        return this.closed;
    }

    async close() {
        if (this.closed || !this.session)
            return;
        await this.command('DELETE', '/window');
        this.closed = true;
        this.emit('close');
    }
}

class WebKitBrowser {
    static async launch(scratch) {
        const browser = new WebKitBrowser(scratch);
        try {
            Object.assign(browser, await startXvfb());
            const { bus, address } = await startBus(scratch);
            Object.assign(browser, { bus, busAddress: address });
            const [session, can] = await Promise.all([browser.session(1), browser.probe()]);
            browser.version = `MiniBrowser ${session.version}`;
            browser.can = can;
        } catch (e) {
            await browser.close();
            throw e;
        }
        return browser;
    }

    constructor(scratch) {
        const noPlugins = path.join(scratch, 'no-plugins');
        fs.mkdirSync(noPlugins);
        Object.assign(this, { engine: 'webkit', scratch, noPlugins, xvfb: null, display: null, bus: null,
            busAddress: null, sessions: new Map(), started: [] });
    }

    session(ratio) {
        if (!this.sessions.has(ratio)) {
            const started = WebDriverSession.start(this, ratio);
            started.then((session) => this.started.push(session), () => {});
            this.sessions.set(ratio, started);
        }
        return this.sessions.get(ratio);
    }

    // The slowest command of the run: how far it stayed from its deadline.
    figures() {
        let slowest = { ms: 0, what: '' };
        for (const session of this.started)
            if (session.slowest.ms > slowest.ms)
                slowest = session.slowest;
        return `slowest WebDriver command ${(slowest.ms / 1000).toFixed(1)} s (${slowest.what})`;
    }

    // What the driver's pointers do, measured in a session of its own (a right button the
    // driver fails to release stays down for the rest of a session), on an element that
    // captures the pointer and prevents the press's default, as the board's tokens do.
    async probe() {
        const session = await WebDriverSession.start(this, 1, 'probe');
        this.started.push(session);
        try {
            const page = new WebKitPage(this, session, session.home);
            await page.goto('data:text/html,' + encodeURIComponent(`<!doctype html>
                <div id="d" style="position:fixed;inset:0"></div><script>
                window.seen = [];
                for (const type of ['pointerdown', 'pointermove', 'pointerup'])
                    addEventListener(type, (e) => seen.push([type, e.pointerType, e.button, e.buttons]), true);
                d.addEventListener('pointerdown', (e) => { d.setPointerCapture(e.pointerId); e.preventDefault(); });
                </script>`));
            const press = async (type, button) => {
                await page.actions('probe-' + type, type, [
                    { type: 'pointerMove', x: 20, y: 20, origin: 'viewport', duration: 0 },
                    { type: 'pointerDown', button },
                    { type: 'pointerMove', x: 60, y: 60, origin: 'viewport', duration: 0 },
                    { type: 'pointerUp', button }]);
                return page.evaluate(() => window.seen.splice(0));
            };
            const has = (seen, ...event) => seen.some((e) => event.every((v, i) => v === undefined || e[i] === v));
            const can = {};
            for (const type of ['touch', 'pen']) {
                const seen = await press(type, 0);
                can[type] = has(seen, 'pointerdown', type) && has(seen, 'pointermove', type, undefined, 1)
                    && has(seen, 'pointerup', type, 0);
            }
            can.buttons = has(await press('mouse', 2), 'pointerup', 'mouse', 2);
            return can;
        } finally {
            await session.end();
        }
    }

    newPage() {
        return new WebKitPage(this);
    }

    async close() {
        await Promise.all([...this.sessions.values()].map((started) =>
            started.then((session) => session.end(), () => {})));
        for (const child of [this.bus, this.xvfb])
            if (child)
                await stopChild(child);
    }
}

// --- the suite --------------------------------------------------------------------------------

const LAUNCH = { chromium: launchChromium, firefox: launchFirefox, webkit: (s) => WebKitBrowser.launch(s) };

// Runs each test function (browser, scratch) in the engine, then prints the tally; the process
// fails unless something passed and nothing failed.
async function runSuite(engine, tests, { after } = {}) {
    if (!LAUNCH[engine])
        throw new Error(`no engine ${engine}: one of ${Object.keys(LAUNCH).join(', ')}`);
    report.engine = engine;
    const started = Date.now();
    const scratch = fs.mkdtempSync(path.join(os.tmpdir(), `vantorel-web-${engine}-`));
    scratchFolders.add(scratch);
    let browser = null;
    try {
        browser = await LAUNCH[engine](scratch);
        console.log(`# ${engine}: ${browser.version}`);
        for (const test of tests) {
            report.test = test.name;
            try {
                await test(browser, scratch);
            } catch (e) {
                if (e instanceof BrowserLost)
                    throw e;
                if (e instanceof Unsupported)
                    skip(`${test.name} stopped: ${e.message}`);
                else
                    check(test.name + ' ran to its end', false, String(e && e.stack || e));
            }
        }
        if (after)
            await after(browser);
    } catch (e) {
        // A browser that stopped answering fails every test after it the same way: said once.
        if (e instanceof BrowserLost)
            check(`${engine} kept answering (in ${report.test || 'its start'})`, false, e.message);
        else
            check(`${engine} ran`, false, String(e && e.stack || e));
    } finally {
        if (browser) {
            if (browser.figures)
                console.log(`# ${engine}: ${browser.figures()}`);
            await browser.close().catch((e) => check(`${engine} closed`, false, String(e)));
        }
        fs.rmSync(scratch, { recursive: true, force: true });
    }
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    console.log(`${report.passed} passed, ${report.failed} failed, ${report.skipped} steps skipped `
        + `(${engine}, ${seconds} s)`);
    process.exitCode = report.failed === 0 && report.passed > 0 ? 0 : 1;
}

module.exports = { check, skip, step, Unsupported, within, closingAction, accessibleNodes, runSuite, LIMIT };
