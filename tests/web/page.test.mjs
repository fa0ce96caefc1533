// The page beyond the board: a tap on a touch screen, a phone-sized screen, one game per
// browser, opening straight from disk.
// Playing offline is offline.test.mjs's.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { join } from 'node:path';
import { test } from 'node:test';
import { caption, cellCentre, has, lacking, open, pick, quickly, readBoard, serveAndLaunch, tileOf,
         turnable, turned, WebDir, without } from './lib.mjs';

const web = serveAndLaunch();

test('a tap turns a piece, and every cell of 25 x 15 is reached on a 390-pixel phone', async (t) => {
    if (lacking(t, 'isMobile', 'hasTouch')) return;
    const context = await web.browser.newContext({
        viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    const page = await open(context, `${web.server.url}?seed=11`);
    // Three device pixels to a board pixel: the canvas holds them all.
    assert.equal(await page.locator('#board').evaluate((c) => c.width), (10 * 35 + 10) * 3);
    const start = await readBoard(page);
    const n = start.findIndex((p) => turnable(p) && tileOf(p) >= 4) + 1;
    const at = await cellCentre(page, n);
    await page.touchscreen.tap(at.x, at.y);
    assert.equal(tileOf((await readBoard(page))[n - 1]), turned(tileOf(start[n - 1]), 1));

    await pick(page, 'settings', 'boardSize', 'size25x15');
    assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 390);
    const before = await readBoard(page);
    const last = before.length - 1 - [...before].reverse().findIndex(turnable);
    const end = await cellCentre(page, last + 1);
    assert.ok(end.x > 0 && end.x < 390 && end.y > 0 && end.y < 844, JSON.stringify(end));
    assert.equal(await page.evaluate(({ x, y }) => document.elementFromPoint(x, y).id, end), 'board');
    await page.touchscreen.tap(end.x, end.y);
    assert.equal(tileOf((await readBoard(page))[last]), turned(tileOf(before[last]), 1));
    assert.deepEqual(page.errors, []);
    await context.close();
});

test('a second tab while one plays says so in one line and shows no board', async () => {
    const context = await web.browser.newContext();
    const first = await open(context, web.server.url);
    const second = await open(context, web.server.url);
    assert.equal(await second.locator('#notice-text').textContent(), 'Ковелинт уже открыт в другой вкладке.');
    assert.ok(await second.locator('#board').isHidden());
    assert.ok(await second.locator('#again').isHidden());
    assert.match(await caption(first), /^Ковелинт 10x9 - \d+шт\.$/);
    // Once the first game ends, a new tab plays.
    await first.keyboard.press('Escape');
    await first.waitForFunction(async () => (await navigator.locks.query()).held.length === 0);
    const third = await open(context, web.server.url);
    assert.ok(await third.locator('#board').isVisible());
    await context.close();
});

// The released page, as a player gets it: no hook of the tests' in its script or its module
// (the test build's page, beside it, has both).
test('the released page opened straight from disk plays, asks for no other file, and has no test hook', async (t) => {
    const released = process.env.KOVELINT_RELEASED_PAGE ?? join(WebDir, '../web/index.html');
    const hooks = (file) => ['window.kovelint', '_kov_dump'].filter((h) => readFileSync(file, 'utf8').includes(h));
    assert.deepEqual(hooks(join(WebDir, 'index.html')), ['window.kovelint', '_kov_dump']);
    assert.deepEqual(hooks(released), []);
    const context = await web.browser.newContext();
    const requests = [];
    if (has('requests')) context.on('request', (r) => requests.push(r.url()));
    else without(t, 'requests', 'the page\'s own resource timing is read instead');
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(`${pathToFileURL(released)}?seed=5`);
    await page.waitForFunction(() => performance.getEntriesByName('board-drawn').length > 0);
    assert.match(await caption(page), /^Ковелинт 10x9 - \d+шт\.$/);
    assert.equal(await page.evaluate(() => typeof window.kovelint), 'undefined');
    assert.match(await page.locator('meta[name="description"]').getAttribute('content'), /^Головоломка/);
    // The start board: the margin's ground, and no cell left blank (slot 0 is the only picture
    // whose centre shows the ground's grey).
    const pixels = await page.evaluate(() => {
        const ctx = document.getElementById('board').getContext('2d');
        const at = (x, y) => [...ctx.getImageData(x, y, 1, 1).data].slice(0, 3).join();
        return { margin: at(2, 2), centres: Array.from({ length: 90 }, (_, i) =>
            at(5 + (i % 10) * 35 + 17, 5 + Math.floor(i / 10) * 35 + 17)) };
    });
    assert.equal(pixels.margin, '128,128,128');
    assert.ok(pixels.centres.some((c) => c !== '128,128,128'), 'the board shows no piece');
    if (has('requests')) assert.deepEqual(requests.filter((u) => !u.startsWith('data:')), [page.url()]);
    else assert.deepEqual(await page.evaluate(() => performance.getEntriesByType('resource').map((e) => e.name)
        .filter((u) => !u.startsWith('data:'))), []);
    assert.deepEqual(errors, []);
    await context.close();
});

// Chromium sends no mousemove when the board scrolls under a still pointer; the page tells the
// game where the pointer now is, so the arrows turn the piece that came under it.
test('after a wheel scroll under a still pointer, the arrow turns the piece now under it', async () => {
    const context = await web.browser.newContext({ viewport: { width: 800, height: 600 } });
    const page = await open(context, `${web.server.url}?seed=21`);
    await pick(page, 'settings', 'pictureSize', 'largePictures');
    await pick(page, 'settings', 'boardSize', 'size25x15');
    const scrolled = () => page.evaluate(() => document.getElementById('scroller').scrollLeft);
    const settle = async () => {
        let last = -1;
        for (let now = await scrolled(); now !== last; now = await scrolled()) {
            last = now;
            await page.waitForTimeout(100);
        }
        return last;
    };
    // Cell n's centre in the window, and the cell under a point of the window, as the board
    // lies now.
    const centre = (n) => page.evaluate((cell) => {
        const r = window.kovelint.cellRect(cell);
        const box = document.getElementById('board').getBoundingClientRect();
        return { x: box.left + r.left + r.width / 2, y: box.top + r.top + r.height / 2 };
    }, n);
    const cellUnder = (at, dx) => page.evaluate(({ x, y }) => {
        const box = document.getElementById('board').getBoundingClientRect();
        for (let n = 1; window.kovelint.cellRect(n); ++n) {
            const r = window.kovelint.cellRect(n);
            if (x - box.left >= r.left && x - box.left < r.left + r.width &&
                y - box.top >= r.top && y - box.top < r.top + r.height) return n;
        }
        return 0;
    }, { x: at.x + dx, y: at.y });

    // How far the wheel scrolls, then back to the start.
    await page.mouse.move((await centre(27)).x, (await centre(27)).y);
    await page.mouse.wheel(210, 0);
    const step = await settle();
    assert.ok(step >= 35, `the wheel scrolled ${step} pixels`);
    await page.evaluate(() => { document.getElementById('scroller').scrollLeft = 0; });
    await settle();

    // A cell in sight whose place the wheel fills with a turnable piece of another cell: the
    // pointer rests on it while the board scrolls.
    const board = await readBoard(page);
    let from = 0, to = 0;
    for (let row = 0; row < 7 && !to; ++row)
        for (let n = row * 25 + 1; n <= row * 25 + 10 && !to; ++n) {
            const under = await cellUnder(await centre(n), step);
            if (under && under !== n && turnable(board[under - 1])) [from, to] = [n, under];
        }
    assert.ok(to, 'no turnable piece arrives under the pointer');
    const at = await centre(from);
    await page.mouse.move(at.x, at.y);
    await page.mouse.wheel(210, 0);
    assert.equal(await settle(), step);
    await page.keyboard.press('ArrowRight');
    const after = await readBoard(page);
    after.forEach((p, i) => {
        const want = i === to - 1 ? turned(tileOf(board[i]), 1) : tileOf(board[i]);
        assert.equal(tileOf(p), want, `cell ${i + 1}`);
    });
    await context.close();
});

// A new game, Esc and a new game again, all quicker than the browser answers the first game's
// request for the one-game lock: the page must not take its own request for another tab's.
test('a game ended and started again at once is not refused as if another tab played', async () => {
    const context = await web.browser.newContext();
    const page = await open(context, `${web.server.url}?seed=4`);
    const notice = () => page.locator('#notice').evaluate((e) => (e.hidden ? '' : e.textContent));
    for (let round = 0; round < 10; ++round) {
        await page.keyboard.press('Escape');
        const box = await page.locator('#again').boundingBox();
        const again = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
        await quickly(page, again, 'Escape', again);
        // The lock's answers come in turn: once a question asked now is answered, the new
        // game's own request has had its answer too.
        await page.evaluate(() => navigator.locks.query());
        assert.equal(await notice(), '', `round ${round}`);
        assert.match(await caption(page), /^Ковелинт 10x9 - \d+шт\.$/);
    }
    await context.close();
});

// A touchpad's sideways swipe, or a tilted wheel, past the page's left edge is the browser's
// Back: the game would be gone. Chromium takes it for a swipe only now and then (quick turns
// with the pointer moving between them), so the gesture is given many times.
test('sideways wheel turns past the page\'s edge never leave the game', async (t) => {
    if (lacking(t, 'navigationEvents')) return;
    const context = await web.browser.newContext({ viewport: { width: 600, height: 400 } });
    const page = await open(context, `${web.server.url}?seed=5`);
    const shown = await caption(page);
    const navigations = [];
    page.on('framenavigated', (f) => navigations.push(f.url()));
    for (let round = 0; round < 150 && !navigations.length; ++round) {
        await Promise.all([page.mouse.wheel(-150, -20), page.mouse.wheel(-150, -20),
                           page.mouse.move(60 + round, 120)]);
        await page.evaluate(() => 0).catch(() => {});
    }
    assert.deepEqual(navigations, []);
    assert.equal(await caption(page), shown);
    await context.close();
});

// The page's content policy: nothing of the game's own trips it through a whole game, while a
// script, a picture from elsewhere, a base address and an object put into the page are refused.
test('the content policy refuses what the page did not bring and never the game itself', async (t) => {
    const context = await web.browser.newContext();
    await context.addInitScript(() => {
        window.refused = [];
        document.addEventListener('securitypolicyviolation',
                                  (e) => window.refused.push(e.effectiveDirective));
    });
    if (!has('initScript')) without(t, 'initScript', 'violations are watched from the page\'s load on');
    const page = await open(context, `${web.server.url}?seed=3`);
    const policy = await page.locator('meta[http-equiv="Content-Security-Policy"]').getAttribute('content');
    assert.match(policy, /script-src 'sha256-[^']+' 'wasm-unsafe-eval';/);
    assert.match(policy, /base-uri 'none'/);
    assert.match(policy, /object-src 'none'/);
    assert.doesNotMatch(policy, /'unsafe-inline'|'unsafe-eval'|\*|https?:/);
    for (const n of [1, 12, 45, 90]) {
        const at = await cellCentre(page, n);
        await page.mouse.click(at.x, at.y);
    }
    await page.keyboard.press('F2');
    await pick(page, 'settings', 'pictureSize', 'largePictures');
    await pick(page, 'settings', 'grid');
    await page.keyboard.press('Escape');
    await page.keyboard.press('Escape');
    await page.keyboard.press('Escape');
    await page.locator('#again').waitFor();
    await page.locator('#again').click();
    await page.evaluate(() => window.kovelint.ready);
    assert.deepEqual(await page.evaluate(() => window.refused), []);
    assert.deepEqual(page.errors, []);

    const foreign = web.server.url.replace('127.0.0.1', 'localhost');
    await page.evaluate((elsewhere) => {
        const script = document.createElement('script');
        script.textContent = 'window.injected = true;';
        const picture = document.createElement('img');
        picture.src = `${elsewhere}icons/kovelint-24.png`;
        const base = document.createElement('base');
        base.href = elsewhere;
        const object = document.createElement('object');
        object.data = `${elsewhere}manifest.webmanifest`;
        document.body.append(script, picture, object);
        document.head.append(base);
    }, foreign);
    await page.waitForFunction(() => window.refused.length >= 4, null, { timeout: 30000 });
    assert.deepEqual((await page.evaluate(() => window.refused)).sort(),
                     ['base-uri', 'img-src', 'object-src', 'script-src-elem']);
    assert.equal(await page.evaluate(() => window.injected), undefined);
    await context.close();
});
