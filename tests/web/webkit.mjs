// WebKitGTK for the browser tests: Debian's MiniBrowser driven by WebKitWebDriver over classic
// W3C WebDriver (plain HTTP and JSON), dressed in the few calls of Playwright's page the tests
// use, so that one test runs unchanged in every engine.
//
// MiniBrowser has no headless mode: each browser gets a private Xvfb. WebKitWebDriver holds one
// session at a time, so each context is a driver of its own with a fresh browser; its device
// scale is GTK's (GDK_SCALE, whole numbers only). What WebDriver cannot do (touch screens,
// going offline, request logs, script before the page's own) is left out: the tests that need it
// say so and run elsewhere.
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { setTimeout as delay } from 'node:timers/promises';

export const MiniBrowser = process.env.KOVELINT_MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const Driver = process.env.KOVELINT_WEBKITDRIVER ?? '/usr/bin/WebKitWebDriver';

// What a test may ask of a context that WebDriver cannot give, by option name.
export const Lacks = { hasTouch: 'touch input', isMobile: 'a phone viewport', heap: 'heap figures after garbage collection',
                       narrowWindow: 'a window as narrow as a phone (MiniBrowser\'s toolbar keeps it 447 pixels wide)',
                       setOffline: 'an offline switch',
                       requests: 'a log of requests', initScript: 'a script run before the page',
                       navigationEvents: 'word of the page\'s navigations' };

const freePort = () => new Promise((ok, fail) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
        const { port } = probe.address();
        probe.close(() => ok(port));
    }).on('error', fail);
});

// Starts a program and resolves once `ready` sees what it printed, or fails with its output.
function start(program, args, env, ready, stdio = ['ignore', 'pipe', 'pipe']) {
    return new Promise((ok, fail) => {
        const child = spawn(program, args, { env: { ...process.env, ...env }, stdio });
        let said = '';
        const timer = setTimeout(() => { child.kill(); fail(new Error(`${program} did not start: ${said}`)); }, 60000);
        const listen = (chunk) => {
            said += chunk;
            const value = ready(said);
            if (value !== undefined) {
                clearTimeout(timer);
                ok({ child, value });
            }
        };
        for (const stream of child.stdio.slice(1)) stream?.on('data', listen);
        child.on('exit', (code) => { clearTimeout(timer); fail(new Error(`${program} exited ${code}: ${said}`)); });
    });
}
const stop = (child) => new Promise((ok) => {
    if (child.exitCode !== null || child.signalCode !== null) return ok();
    child.removeAllListeners('exit');
    child.on('exit', ok);
    child.kill();
});

// W3C key codes for the keys the tests press.
const Keys = { Enter: '\uE007', Escape: '\uE00C', Tab: '\uE004', ArrowLeft: '\uE012', ArrowUp: '\uE013',
               ArrowRight: '\uE014', ArrowDown: '\uE015', Shift: '\uE008', Control: '\uE009',
               F1: '\uE031', F2: '\uE032', F3: '\uE033', F5: '\uE035', F10: '\uE03A', ' ': ' ' };
const keyStrokes = (combo) => {
    const keys = combo === '+' ? ['+'] : combo.split('+').map((k) => Keys[k] ?? k);
    return [...keys.map((value) => ({ type: 'keyDown', value })),
            ...keys.reverse().map((value) => ({ type: 'keyUp', value }))];
};

// Page errors are caught in the page and handed back with every script's result. WebDriver runs
// no script before the page's own, so the watch starts with the first script after a load.
const Watch = `if (!window.__kovelintErrors) {
    window.__kovelintErrors = [];
    addEventListener('error', (e) => window.__kovelintErrors.push(String(e.error ?? e.message)));
    addEventListener('unhandledrejection', (e) => window.__kovelintErrors.push(String(e.reason)));
    const log = console.error;
    console.error = (...args) => { window.__kovelintErrors.push(args.join(' ')); log.apply(console, args); };
}`;

class Session {
    constructor(base, id) { this.base = base; this.id = id; this.current = null; }
    async send(method, path, body) {
        const response = await fetch(`${this.base}/session/${this.id}${path}`, {
            method, headers: { 'Content-Type': 'application/json' },
            body: body === undefined ? undefined : JSON.stringify(body) });
        const { value } = await response.json();
        if (value && value.error) throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
        return value;
    }
}

// fn(arg) run in the page, awaited there; a string runs as a function body of its own, `arg`
// at hand. The text goes into the script as it is: the page's content policy refuses eval.
const script = (fn) => `const done = arguments[arguments.length - 1];
const arg = arguments[0];
${Watch}
const drain = () => window.__kovelintErrors.splice(0);
Promise.resolve().then(() => ${typeof fn === 'function' ? `(${fn})(arg)` : `{ ${fn}
}`})
    .then((value) => done({ value: value === undefined ? null : value, undefined: value === undefined, errors: drain() }),
          (e) => done({ thrown: String(e && e.stack || e), errors: drain() }));`;

// WebKitGTK adds a wheel source's scrolls up across chains (a second scroll of 210 from a source
// that scrolled 210 before leaves the box where it was): each scroll gets a source of its own.
let wheels = 0;
const wheelSource = () => `wheel${++wheels}`;

class Mouse {
    constructor(page) { this.page = page; }
    async move(x, y) {
        this.page.pointerAt = { x, y };
        await this.page.session.pointer({ type: 'pointerMove', x: Math.round(x), y: Math.round(y), duration: 0 });
    }
    async click(x, y, clicks = 1) {
        this.page.pointerAt = { x, y };
        const at = { type: 'pointerMove', x: Math.round(x), y: Math.round(y), duration: 0 };
        const press = [{ type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }];
        await this.page.session.pointer(at, ...Array.from({ length: clicks }, () => press).flat());
    }
    dblclick(x, y) { return this.click(x, y, 2); }
    async wheel(deltaX, deltaY) {
        const at = this.page.pointerAt ?? { x: 1, y: 1 };
        await this.page.session.actions({ type: 'wheel', id: wheelSource(), actions: [
            { type: 'scroll', x: Math.round(at.x), y: Math.round(at.y), deltaX, deltaY, duration: 0 }] });
    }
}

class Locator {
    constructor(page, selector) { this.page = page; this.selector = selector; }
    first() { return this; }
    evaluate(fn, arg) {
        const selector = JSON.stringify(this.selector);
        return this.page.evaluate(`const element = document.querySelector(${selector});
            if (!element) throw new Error('no ' + ${selector});
            return (${fn})(element, arg);`, arg);
    }
    count() { return this.page.evaluate((s) => document.querySelectorAll(s).length, this.selector); }
    textContent() { return this.evaluate((e) => e.textContent); }
    getAttribute(name) { return this.evaluate((e, n) => e.getAttribute(n), name); }
    isVisible() {
        return this.page.evaluate((s) => !!document.querySelector(s)?.checkVisibility(), this.selector);
    }
    async isHidden() { return !(await this.isVisible()); }
    boundingBox() {
        return this.evaluate((e) => {
            const r = e.getBoundingClientRect();
            return { x: r.left, y: r.top, width: r.width, height: r.height };
        });
    }
    async waitFor() { await this.page.waitForFunction((s) => document.querySelector(s)?.checkVisibility(), this.selector); }
    // The middle of the element once it shows, scrolled into view as Playwright does.
    async centre() {
        await this.waitFor();
        return this.evaluate((e) => {
            e.scrollIntoView({ block: 'nearest', inline: 'nearest' });
            const r = e.getBoundingClientRect();
            return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
        });
    }
    async click() {
        const at = await this.centre();
        await this.page.mouse.click(at.x, at.y);
    }
    async hover() {
        const at = await this.centre();
        await this.page.mouse.move(at.x, at.y);
    }
}

// The session's commands as they act on one page: its window is made the current one first.
class PageSession {
    constructor(session, handle) { this.session = session; this.handle = handle; }
    async send(method, path, body) {
        if (this.session.current !== this.handle) {
            await this.session.send('POST', '/window', { handle: this.handle });
            this.session.current = this.handle;
        }
        return this.session.send(method, path, body);
    }
    actions(...sources) { return this.send('POST', '/actions', { actions: sources }); }
    pointer(...steps) { return this.actions({ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: steps }); }
}

class Page {
    constructor(context, session, handle) {
        this.contextOf = context;
        this.session = session;
        this.handle = handle;
        this.listeners = { pageerror: [], console: [] };
        this.mouse = new Mouse(this);
        this.keyboard = { press: (combo) => session.actions({ type: 'key', id: 'keys', actions: keyStrokes(combo) }) };
    }
    context() { return this.contextOf; }
    // The steps of lib.mjs's quickly() as one chain of actions, in order: each tick of the chain
    // moves one source while the others pause.
    quickly(steps) {
        const sources = { pointer: [], keys: [] };
        const add = (mine, actions) => {
            const before = sources.pointer.length;
            for (const list of Object.values(sources))
                list.push(...(list === mine ? actions : actions.map(() => ({ type: 'pause', duration: 0 }))));
            if (mine.length !== before + actions.length) mine.unshift(...Array(before).fill({ type: 'pause', duration: 0 }));
        };
        for (const step of steps) {
            if (typeof step === 'string') {
                add(sources.keys, keyStrokes(step));
                continue;
            }
            const x = Math.round(step.x), y = Math.round(step.y);
            // WebDriver refuses a point outside the window, where a real pointer reaches no page.
            if (!(x >= 0 && y >= 0 && x < this.viewport.width && y < this.viewport.height)) continue;
            this.pointerAt = { x, y };
            const move = { type: 'pointerMove', x, y, duration: 0 };
            if (step.tap) throw new Error(`WebKitWebDriver has no ${Lacks.hasTouch}`);
            if (step.dx !== undefined) add(sources[wheelSource()] = [], [{ type: 'scroll', x, y, deltaX: Math.round(step.dx),
                                                       deltaY: Math.round(step.dy), duration: 0 }]);
            else if (step.move) add(sources.pointer, [move]);
            else add(sources.pointer, [move, ...Array.from({ length: step.clicks ?? 1 }, () =>
                [{ type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]).flat()]);
        }
        const { pointer, keys, ...wheels } = sources;
        return this.session.actions({ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: pointer },
                                    { type: 'key', id: 'keys', actions: keys },
                                    ...Object.entries(wheels).map(([id, actions]) => ({ type: 'wheel', id, actions })));
    }
    on(event, listener) { this.listeners[event]?.push(listener); }
    async goto(url) {
        this.address = url;
        await this.session.send('POST', '/url', { url });
        // A page that could not be loaded leaves a blank document that says why (WebDriver's own
        // address is the one asked for).
        const [shown, why] = await this.session.send('POST', '/execute/sync', {
            script: 'return [location.href, document.body ? document.body.textContent : ""]', args: [] });
        if (shown === 'about:blank' && url !== 'about:blank') throw new Error(`the navigation to ${url} failed: ${why}`);
        for (const run of this.contextOf.initScripts) await this.evaluate(run);
        return null;
    }
    url() { return this.address; }
    title() { return this.session.send('GET', '/title'); }
    async evaluate(fn, arg) {
        const out = await this.session.send('POST', '/execute/async', { script: script(fn), args: [arg ?? null] });
        for (const e of out?.errors ?? []) for (const listener of this.listeners.pageerror) listener(e);
        if (out?.thrown) throw new Error(`in the page: ${out.thrown}`);
        return out?.undefined ? undefined : out?.value;
    }
    $$eval(selector, fn) {
        return this.evaluate(`return (${fn})([...document.querySelectorAll(${JSON.stringify(selector)})]);`);
    }
    locator(selector) { return new Locator(this, selector); }
    async waitForFunction(fn, arg, { timeout = 30000 } = {}) {
        const until = Date.now() + timeout;
        for (;;) {
            const value = await this.evaluate(fn, arg);
            if (value) return value;
            if (Date.now() > until) throw new Error(`waitForFunction: still false after ${timeout} ms: ${fn}`);
            await delay(50);
        }
    }
    waitForTimeout(ms) { return delay(ms); }
    async setViewportSize({ width, height }) {
        this.viewport = { width, height };
        // The window's outer size is what WebDriver sets: the toolbar's share is measured and added.
        for (let attempt = 0; attempt < 4; ++attempt) {
            const inner = await this.session.send('POST', '/execute/sync', { script: 'return [innerWidth, innerHeight]', args: [] });
            if (inner[0] === width && inner[1] === height) return;
            const outer = await this.session.send('GET', '/window/rect');
            await this.session.send('POST', '/window/rect', { x: 0, y: 0, width: outer.width + width - inner[0],
                                                              height: outer.height + height - inner[1] });
            await delay(100);
        }
        throw new Error(`the window would not take a ${width} x ${height} viewport`);
    }
    async screenshot() { return Buffer.from(await this.session.send('GET', '/screenshot'), 'base64'); }
    close() { return this.contextOf.close(); }
}

class Context {
    constructor(browser, options) {
        this.browser = browser;
        this.options = options;
        this.initScripts = [];
        for (const option of ['hasTouch', 'isMobile'])
            if (options[option]) throw new Error(`WebKitWebDriver has no ${Lacks[option]}`);
    }
    // A driver of its own, its browser on the private display at the context's scale.
    async start() {
        const port = await freePort();
        const env = { DISPLAY: this.browser.display, GDK_SCALE: String(this.options.deviceScaleFactor ?? 1),
                      GDK_DPI_SCALE: '1' };
        this.driver = spawn(Driver, [`--port=${port}`], { env: { ...process.env, ...env }, stdio: 'ignore' });
        const base = `http://127.0.0.1:${port}`;
        const body = JSON.stringify({ capabilities: { alwaysMatch: {
            'webkitgtk:browserOptions': { binary: MiniBrowser, args: ['--automation'] } } } });
        for (const until = Date.now() + 60000; ;) {
            try {
                const response = await fetch(`${base}/session`, { method: 'POST', body });
                const { value } = await response.json();
                if (value.error) throw new Error(`${value.error}: ${value.message}`);
                this.session = new Session(base, value.sessionId);
                break;
            } catch (e) {
                if (Date.now() > until) throw new Error(`WebKitWebDriver gave no session: ${e.message}`);
                await delay(200);
            }
        }
        await this.session.send('POST', '/timeouts', { script: 60000 });
        this.session.current = await this.session.send('GET', '/window');
        this.firstWindow = this.session.current;
        return this;
    }
    // The first page is the window the browser opened with; each further one a window of its own
    // (a tab behind another is hidden, and draws no frame).
    async newPage() {
        let handle = this.firstWindow;
        this.firstWindow = null;
        handle ??= (await this.session.send('POST', '/window/new', { type: 'window' })).handle;
        const page = new Page(this, new PageSession(this.session, handle));
        await page.setViewportSize(this.options.viewport ?? { width: 1280, height: 720 });
        return page;
    }
    async addInitScript(fn) { this.initScripts.push(fn); }
    async setOffline() { throw new Error(`WebKitWebDriver has no ${Lacks.setOffline}`); }
    on() { throw new Error(`WebKitWebDriver gives no ${Lacks.requests}`); }
    async close() {
        if (this.closed) return;
        this.closed = true;
        await this.session?.send('DELETE', '').catch(() => {});
        if (this.driver) await stop(this.driver);
        this.browser.contexts.delete(this);
    }
}

// The browser: a private X display its contexts share.
export async function launchWebKit() {
    // Big enough for an 844-pixel-high phone page at three device pixels to one.
    const { child: xvfb, value: display } = await start(
        'Xvfb', ['-displayfd', '3', '-screen', '0', '3000x3000x24', '-nolisten', 'tcp', '-noreset'], {},
        (said) => (/^\d+\n/.test(said) ? `:${said.trim()}` : undefined), ['ignore', 'ignore', 'ignore', 'pipe']);
    const browser = {
        display, contexts: new Set(),
        async newContext(options = {}) {
            const context = new Context(browser, options);
            browser.contexts.add(context);
            try {
                return await context.start();
            } catch (e) {
                await context.close();
                throw e;
            }
        },
        async close() {
            await Promise.all([...browser.contexts].map((c) => c.close()));
            await stop(xvfb);
        },
    };
    return browser;
}
