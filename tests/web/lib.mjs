// What the browser tests share: the page served from a private static server on 127.0.0.1,
// the browser engine KOVELINT_ENGINE names (Debian's Chromium, Firefox ESR or WebKitGTK) started
// headless with a fresh profile and no network of its own, and reading the board back from the
// canvas.
import { createServer } from 'node:http';
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { extname, join, normalize, resolve } from 'node:path';
import { after, before } from 'node:test';
import { chromium, firefox } from 'playwright-core';
import { Lacks, launchWebKit } from './webkit.mjs';

export const Engine = process.env.KOVELINT_ENGINE ?? 'chromium';
if (!['chromium', 'firefox', 'webkit'].includes(Engine)) throw new Error(`no engine ${Engine}`);
const EngineName = { chromium: 'Chromium', firefox: 'Firefox', webkit: 'WebKitWebDriver' }[Engine];

export const WebDir = resolve(process.env.KOVELINT_WEB_DIR ?? 'build/web-test');
export const Browser = process.env.KOVELINT_CHROMIUM ?? '/usr/bin/chromium';
export const FirefoxBrowser = process.env.KOVELINT_FIREFOX ?? '/usr/bin/firefox-esr';
export const Flags = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
                      '--disable-background-networking', '--disable-component-update',
                      '--disable-sync', '--disable-quic'];

const Types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript',
                '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// Serves the folder, and any other file at the path `extra` gives it; every request is counted
// with its size. Once `refuse()` is called every connection is dropped, as if the network were
// gone.
export async function serve(dir = WebDir, extra = {}) {
    const log = [];
    let refusing = false;
    const server = createServer((req, res) => {
        if (refusing) {
            req.socket.destroy();
            return;
        }
        const path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname));
        const file = extra[path] ?? join(dir, path.endsWith('/') ? `${path}index.html` : path);
        try {
            const stat = statSync(file);
            if ((!extra[path] && !file.startsWith(dir)) || !stat.isFile()) throw new Error('no file');
            // Revalidated on every use, as a plain static server does it.
            const tag = `"${stat.size}-${stat.mtimeMs}"`;
            const head = { 'Content-Type': Types[extname(file)] ?? 'application/octet-stream',
                           'Cache-Control': 'no-cache', ETag: tag };
            if (req.headers['if-none-match'] === tag) {
                log.push({ path, bytes: 0 });
                res.writeHead(304, head);
                res.end();
                return;
            }
            const body = readFileSync(file);
            log.push({ path, bytes: body.length });
            res.writeHead(200, head);
            res.end(body);
        } catch {
            log.push({ path, bytes: 0 });
            res.writeHead(404, { 'Content-Type': 'text/plain' });
            res.end('Not found');
        }
    });
    await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
    return { url: `http://127.0.0.1:${server.address().port}/`, log,
             refuse: () => { refusing = true; server.closeAllConnections(); },
             close: () => new Promise((ok) => { server.close(ok); server.closeAllConnections(); }) };
}

// Playwright drives a stock Firefox over WebDriver BiDi, but asks every new context for a
// colour-scheme override that Firefox ESR's BiDi does not know yet; the page follows no colour
// scheme, so that one command is answered here as done instead of failing the context.
function answerUnknownBidiCommands() {
    const core = createRequire(import.meta.url)('playwright-core/lib/coreBundle');
    const transport = core.server.WebSocketTransport.prototype;
    if (transport.kovelintShim) return;
    const send = transport.send;
    transport.send = function (message) {
        if (message.method !== 'emulation.setMediaFeaturesOverride') return send.call(this, message);
        setImmediate(() => this.onmessage?.({ type: 'success', id: message.id, result: {} }));
    };
    transport.kovelintShim = true;
}

// The engine's browser; its driver gives each start a fresh profile of its own and removes it
// after.
export async function launch() {
    let browser;
    if (Engine === 'chromium') {
        browser = await chromium.launch({ executablePath: Browser, headless: true, args: Flags, timeout: 60000 });
    } else if (Engine === 'firefox') {
        answerUnknownBidiCommands();
        browser = await firefox.launch({ channel: 'moz-firefox', executablePath: FirefoxBrowser,
                                         headless: true, timeout: 60000 });
    } else {
        browser = await launchWebKit();
    }
    return { browser, close: () => browser.close() };
}

const FirefoxLacks = { isMobile: 'a phone viewport', heap: 'heap figures after garbage collection',
                       requests: 'a log of the requests of a page from disk' };

// What this engine's driver cannot do, by name (see webkit.mjs). A test that needs it skips
// with the reason, `if (lacking(t, 'hasTouch')) return;`; `has(f)` tells without skipping, and
// `without(t, f, what)` says in the test's output what this engine left out.
const EngineLacks = { chromium: {}, firefox: FirefoxLacks, webkit: Lacks }[Engine];
export const has = (feature) => !EngineLacks[feature];
export function lacking(t, ...features) {
    const missing = features.filter((f) => !has(f));
    if (missing.length) t.skip(`${EngineName} lacks ${missing.map((f) => EngineLacks[f]).join(', ')}`);
    return missing.length > 0;
}
export const without = (t, feature, what) => t.diagnostic(`${EngineName} lacks ${EngineLacks[feature]}: ${what}`);

// The server and the browser for one test file: started before its first test, stopped after
// its last, with `ready` run once both are up. The returned object holds them as `server` and
// `browser`.
export function serveAndLaunch(ready = async () => {}) {
    const shared = {};
    before(async () => {
        shared.server = await serve();
        shared.launched = await launch();
        shared.browser = shared.launched.browser;
        await ready(shared);
    });
    after(async () => {
        await shared.launched?.close();
        await shared.server?.close();
    });
    return shared;
}

// A page opened at the url, once its first board is drawn.
export async function open(context, url) {
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.errors = errors;
    await page.goto(url);
    await page.evaluate(() => window.kovelint.ready);
    return page;
}

export const caption = (page) => page.locator('#caption').textContent();

// Cell n's centre in page coordinates, scrolled into the board's view first as a player would.
export async function cellCentre(page, n) {
    return page.evaluate((cell) => {
        const canvas = document.getElementById('board');
        const scroller = document.getElementById('scroller');
        const centre = () => {
            const r = window.kovelint.cellRect(cell);
            const box = canvas.getBoundingClientRect();
            const k = (box.width / canvas.width) * window.kovelint.scale();
            return { x: box.left + (r.left + r.width / 2) * k, y: box.top + (r.top + r.height / 2) * k };
        };
        const view = scroller.getBoundingClientRect();
        const at = centre();
        scroller.scrollBy(at.x - (view.left + view.width / 2), at.y - (view.top + view.height / 2));
        return centre();
    }, n);
}

// The lines of the board dump that tell the tiles and colours, by name.
export function parseDump(text) {
    const out = {};
    for (const line of text.split('\n')) {
        const colon = line.indexOf(':');
        if (colon > 0 && !line.startsWith(' ')) out[line.slice(0, colon)] = line.slice(colon + 1).trim();
    }
    return out;
}

// ---- Reading the board from the canvas ----

const Tile = 35;

// The 96 pictures as the page must show them, keyed by their RGB bytes.
function loadPictures() {
    const dir = resolve(process.env.KOVELINT_PICTURES ?? 'assets/pictures');
    const byPixels = new Map();
    for (const f of readdirSync(dir).filter((n) => /^slot-\d\d-.*\.bmp$/.test(n))) {
        const b = readFileSync(join(dir, f));
        const offset = b.readUInt32LE(10);
        const stride = (Tile * 3 + 3) & ~3;
        const rgb = Buffer.alloc(Tile * Tile * 3);
        for (let y = 0; y < Tile; ++y)
            for (let x = 0; x < Tile; ++x)
                for (let k = 0; k < 3; ++k)
                    rgb[(y * Tile + x) * 3 + k] = b[offset + (Tile - 1 - y) * stride + x * 3 + 2 - k];
        byPixels.set(rgb.toString('base64'), Number(f.slice(5, 7)));
    }
    return byPixels;
}
let pictures = null;

// Each cell's picture read back from the canvas (one in 35 x 35 device pixels, large ones at
// every other pixel); -1 where the pixels match no picture.
export async function readBoard(page) {
    pictures ??= loadPictures();
    const cells = await page.evaluate(() => {
        const canvas = document.getElementById('board');
        const ctx = canvas.getContext('2d');
        const k = window.kovelint.scale();
        const out = [];
        for (let n = 1; window.kovelint.cellRect(n); ++n) {
            const r = window.kovelint.cellRect(n);
            const step = (r.width * k) / 35;
            const data = ctx.getImageData(r.left * k, r.top * k, r.width * k, r.height * k).data;
            let bytes = '';
            for (let y = 0; y < 35; ++y)
                for (let x = 0; x < 35; ++x) {
                    const i = (y * step * r.width * k + x * step) * 4;
                    bytes += String.fromCharCode(data[i], data[i + 1], data[i + 2]);
                }
            out.push(btoa(bytes));
        }
        return out;
    });
    return cells.map((c) => pictures.get(c) ?? -1);
}

// A picture's tile and colour codes: picture 12 x (colour - 1) + tile.
export const tileOf = (p) => (p <= 0 ? 0 : p - 12 * Math.floor((p - 1) / 12));
export const colourOf = (p) => (p <= 0 ? 0 : Math.floor((p - 1) / 12) + 1);
export const turnable = (p) => tileOf(p) >= 2 && tileOf(p) <= 11;
export const greyPieces = (board) => board.filter((p) => colourOf(p) === 1).length;
export function turned(t, quarters) {
    for (let q = 0; q < ((quarters % 4) + 4) % 4; ++q)
        t = t === 2 ? 3 : t === 3 ? 2 : t === 7 ? 4 : t === 11 ? 8 : (t >= 4 && t < 7) || (t >= 8 && t < 11) ? t + 1 : t;
    return t;
}

// ---- Input ----

// Chooses a menu entry with the mouse: the menu, any submenu, then the entry, by their ids.
export async function pick(page, ...ids) {
    for (const [i, id] of ids.entries()) {
        const item = page.locator(`[data-id="${id}"]`).first();
        if (i === ids.length - 1 || i === 0) await item.click();
        else await item.hover();
    }
}

// Clicks at page points and key presses sent as one burst, the way a quick hand gives them: no
// event waits for the one before it to be answered, so no frame is drawn between them (and the
// browser's own tidying at a frame, such as taking the focus off a hidden element, comes after).
// A step is a key's name, or a point {x, y} to click, with `clicks: 2` a double click, `move`
// only to move there, `dx`/`dy` to turn the wheel there, or `tap` to touch it. Chromium takes
// them as raw input events and WebKitWebDriver as one chain of actions; Playwright gives
// Firefox no burst, so there each waits for the last.
const KeyCodes = { Enter: [13], Escape: [27], ArrowLeft: [37], ArrowUp: [38], ArrowRight: [39], ArrowDown: [40],
                   F1: [112], F2: [113], F3: [114], F5: [116], F10: [121], Tab: [9], ' ': [32, 'Space'] };
export async function quickly(page, ...steps) {
    if (Engine === 'firefox') {
        const view = page.viewportSize();
        for (const step of steps) {
            // BiDi refuses a point outside the window, where a real pointer reaches no page.
            if (typeof step !== 'string' && !(step.x >= 0 && step.y >= 0 && step.x < view.width && step.y < view.height)) continue;
            if (typeof step === 'string') await page.keyboard.press(step === ' ' ? 'Space' : step);
            else if (step.move) await page.mouse.move(step.x, step.y);
            else if (step.tap) await page.touchscreen.tap(step.x, step.y);
            else if (step.dx !== undefined) {
                await page.mouse.move(step.x, step.y);
                await page.mouse.wheel(Math.round(step.dx), Math.round(step.dy));  // BiDi takes whole pixels
            } else await page.mouse.click(step.x, step.y, { clickCount: step.clicks ?? 1 });
        }
    } else if (Engine === 'webkit') {
        await page.quickly(steps);
    } else {
        const cdp = await page.context().newCDPSession(page);
        const sent = [];
        const mouse = (type, step, more = {}) => sent.push(cdp.send('Input.dispatchMouseEvent',
            { type, x: step.x, y: step.y, button: 'left', ...more }));
        for (const step of steps) {
            if (typeof step === 'string') {
                const [code, name = step] = KeyCodes[step] ?? [0];
                const key = { key: step, code: name, windowsVirtualKeyCode: code };
                sent.push(cdp.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...key }),
                          cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', ...key }));
            } else if (step.move) {
                mouse('mouseMoved', step, { button: 'none' });
            } else if (step.dx !== undefined) {
                mouse('mouseWheel', step, { button: 'none', deltaX: step.dx, deltaY: step.dy });
            } else if (step.tap) {
                sent.push(cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: step.x, y: step.y }] }),
                          cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] }));
            } else {
                for (let clickCount = 1; clickCount <= (step.clicks ?? 1); ++clickCount) {
                    mouse('mousePressed', step, { clickCount });
                    mouse('mouseReleased', step, { clickCount });
                }
            }
        }
        await Promise.all(sent);
        await cdp.detach();
    }
}

export const marks = (page) =>
    page.$$eval('#menubar [aria-checked="true"]', (els) => els.map((e) => e.dataset.id));

// The check marks the page's own controller holds, from its dump.
export const controllerMarks = async (page) =>
    parseDump(await page.evaluate(() => window.kovelint.dump())).marks.split(' ').filter(Boolean);
