// The page beyond the board: a tap on a touch screen, a phone-sized screen, one game per
// browser, opening straight from disk, and playing offline once served.
import assert from 'node:assert/strict';
import { pathToFileURL } from 'node:url';
import { join } from 'node:path';
import { test } from 'node:test';
import { caption, cellCentre, open, pick, readBoard, serveAndLaunch, tileOf,
         turnable, turned, WebDir } from './lib.mjs';

const web = serveAndLaunch();

test('a tap turns a piece, and every cell of 25 x 15 is reached on a 390-pixel phone', async () => {
    const context = await web.chromium.browser.newContext({
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
    const context = await web.chromium.browser.newContext();
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

test('opened straight from disk it plays, and asks for no other file', async () => {
    const context = await web.chromium.browser.newContext();
    const requests = [];
    context.on('request', (r) => requests.push(r.url()));
    const page = await open(context, `${pathToFileURL(join(WebDir, 'index.html'))}?seed=5`);
    assert.match(await caption(page), /^Ковелинт 10x9 - \d+шт\.$/);
    assert.ok((await readBoard(page)).every((p) => p >= 0));
    assert.deepEqual(requests.filter((u) => !u.startsWith('data:')), [page.url()]);
    assert.deepEqual(page.errors, []);
    await context.close();
});

test('served once, it plays offline', async () => {
    const context = await web.chromium.browser.newContext();
    const page = await open(context, web.server.url);
    await page.evaluate(() => navigator.serviceWorker.ready);
    await context.setOffline(true);
    await page.reload();
    await page.evaluate(() => window.kovelint.ready);
    assert.match(await caption(page), /^Ковелинт 10x9 - \d+шт\.$/);
    assert.ok((await readBoard(page)).every((p) => p >= 0));
    await context.close();
});
