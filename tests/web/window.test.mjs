// The window around the board: the menus by keys after the menus closed in other ways, the
// menus on a phone, and the caption line of a board taller than the window.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { caption, greyPieces, has, lacking, marks, open, quickly, readBoard, serveAndLaunch, tileOf,
         without } from './lib.mjs';

const web = serveAndLaunch();

const openMenus = (page) => page.$$eval('#menubar .open', (els) => els.map((e) => e.dataset.id));
const focused = (page) => page.evaluate(() => document.activeElement.dataset.id ?? document.activeElement.tagName);

// A point in the board's margin, where a press closes the menus and turns nothing, and the
// middle of Помощь on the menu bar.
async function places(page) {
    const board = await page.locator('#board').boundingBox();
    const help = await page.locator('[data-id="help"]').boundingBox();
    return { margin: { x: board.x + 2, y: board.y + 2 },
             help: { x: help.x + help.width / 2, y: help.y + help.height / 2 } };
}
const sources = (board) => board.flatMap((p, i) => (tileOf(p) === 1 ? [i] : []));

test('after a press on the board closed a menu opened by keys, the keys act on the menu opened next', async () => {
    const context = await web.browser.newContext({ viewport: { width: 800, height: 600 } });
    const page = await open(context, `${web.server.url}?seed=5`);
    const at = await places(page);
    // "Случайно" highlighted, deep in Настройки, then at once a press on the board, Помощь
    // clicked, and a key.
    const intoPipeCount = async () => {
        for (const key of ['F10', 'ArrowRight', 'ArrowRight']) await page.keyboard.press(key);
        assert.equal(await focused(page), 'randomPipeCount');
    };

    // Down and Enter choose Помощь's own entry: the hint lays a pipe in the same game.
    await intoPipeCount();
    const shown = await caption(page);
    const marked = await marks(page);
    const board = await readBoard(page);
    await quickly(page, at.margin, at.help, 'ArrowDown', 'Enter');
    assert.deepEqual(await openMenus(page), []);
    assert.equal(await caption(page), shown);
    assert.deepEqual(await marks(page), marked);
    const hinted = await readBoard(page);
    assert.deepEqual(sources(hinted), sources(board), 'a new game started');
    assert.ok(greyPieces(hinted) < greyPieces(board), 'the hint laid no pipe');

    // Left goes from Помощь to the menu before it, and Esc closes that.
    await intoPipeCount();
    await quickly(page, at.margin, at.help, 'ArrowLeft');
    assert.deepEqual(await openMenus(page), ['settings']);
    assert.equal(await focused(page), 'pipeCount');
    await quickly(page, 'Escape');
    assert.deepEqual(await openMenus(page), []);
    assert.equal(await focused(page), 'BODY');
    assert.deepEqual(page.errors, []);
    await context.close();
});

test('on a phone an open submenu leaves every row of its menu readable and tappable, each 44 pixels', async (t) => {
    if (lacking(t, 'isMobile', 'hasTouch')) return;
    const context = await web.browser.newContext({
        viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    const page = await open(context, web.server.url);
    await page.locator('[data-id="settings"]').tap();
    await page.locator('[data-id="pipeCount"]').tap();
    assert.deepEqual(await openMenus(page), ['settings', 'pipeCount']);
    // Each row of the open menus, brought into the menu's view, answers a touch at the middle
    // of its own line, and no row is less than a fingertip high.
    const rows = await page.evaluate(() => [...document.querySelectorAll(
        '[data-id="settings"] > .menu > .item, [data-id="pipeCount"] > .menu > .item')].map((row) => {
        row.scrollIntoView({ block: 'nearest' });
        const label = row.querySelector('.label').getBoundingClientRect();
        const hit = document.elementFromPoint(label.left + 4, label.top + label.height / 2);
        return { id: row.dataset.id, hit: hit?.closest('.item')?.dataset.id,
                 height: row.classList.contains('open') ? 44 : row.getBoundingClientRect().height };
    }));
    assert.equal(rows.length, 6 + 11);
    for (const row of rows) {
        assert.equal(row.hit, row.id, `${row.id} is covered`);
        assert.ok(row.height >= 44, `${row.id} is ${row.height} pixels high`);
    }
    // Another submenu opens at a tap, and folds the first.
    await page.locator('[data-id="boardSize"]').tap();
    assert.deepEqual(await openMenus(page), ['settings', 'boardSize']);
    await page.locator('[data-id="size8x8"]').tap();
    assert.match(await caption(page), /^Ковелинт 8x8 - \d+шт\.$/);
    assert.deepEqual(await openMenus(page), []);
    assert.deepEqual(page.errors, []);
    await context.close();
});

test('the caption and the menu bar keep their height over a board taller than the window', async (t) => {
    if (!has('isMobile')) without(t, 'isMobile', 'the phone-sized window is a desktop one');
    for (const [viewport, phone] of [[{ width: 1280, height: 720 }, false], [{ width: 844, height: 390 }, true]]) {
        const context = await web.browser.newContext({ viewport, ...(has('isMobile') && { isMobile: phone, hasTouch: phone }) });
        const page = await open(context, web.server.url);
        const frame = () => page.evaluate(() => ['caption', 'menubar'].map((id) => {
            const e = document.getElementById(id);
            return { height: e.getBoundingClientRect().height, cut: e.scrollHeight > e.clientHeight };
        }));
        const before = await frame();
        for (const id of ['largePictures', 'size25x15']) {
            await page.locator('[data-id="settings"]').click();
            await page.locator(`[data-id="${id === 'largePictures' ? 'pictureSize' : 'boardSize'}"]`).click();
            await page.locator(`[data-id="${id}"]`).click();
        }
        assert.match(await caption(page), /^Ковелинт 25x15 /);
        assert.deepEqual(await frame(), before, JSON.stringify(viewport));
        assert.ok(before.every((e) => !e.cut && e.height >= 20), JSON.stringify(before));
        // The board scrolls instead.
        assert.ok(await page.evaluate(() => {
            const s = document.getElementById('scroller');
            return s.scrollHeight > s.clientHeight;
        }));
        await context.close();
    }
});

test('the caption line and the menu bar stand 22 whole pixels high at 1x and 2x', async () => {
    for (const deviceScaleFactor of [1, 2]) {
        const context = await web.browser.newContext({ viewport: { width: 800, height: 600 }, deviceScaleFactor });
        const page = await open(context, web.server.url);
        const heights = await page.evaluate(() => ['caption', 'menubar'].map((id) =>
            document.getElementById(id)).map((e) => e.getBoundingClientRect().height));
        assert.deepEqual(heights, [22, 22], `at ${deviceScaleFactor}x`);
        // The one button sets its text in the page's face and size, as the rows around it.
        assert.deepEqual(await page.evaluate(() => ['again', 'caption'].map((id) => {
            const style = getComputedStyle(document.getElementById(id));
            return `${style.fontFamily} ${style.fontSize}`;
        })).then(([button, text]) => button === text), true);
        await context.close();
    }
});

test('a menu taller than the window scrolls within itself; every row is reached and chosen', async () => {
    const context = await web.browser.newContext({ viewport: { width: 800, height: 200 } });
    const page = await open(context, web.server.url);
    await page.locator('[data-id="settings"]').click();
    await page.locator('[data-id="pipeCount"]').hover();
    const rows = await page.evaluate(() => [...document.querySelectorAll('[data-id="pipeCount"] > .menu > .item')]
        .map((row) => {
            row.scrollIntoView({ block: 'nearest' });
            const box = row.getBoundingClientRect();
            const hit = document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2);
            return { id: row.dataset.id, hit: hit?.closest('.item')?.dataset.id,
                     inside: box.top >= 0 && box.bottom <= window.innerHeight, pageScroll: window.scrollY };
        }));
    assert.equal(rows.length, 11);
    for (const row of rows) assert.deepEqual(row, { ...row, hit: row.id, inside: true, pageScroll: 0 }, row.id);
    assert.equal(await page.evaluate(() => document.documentElement.scrollHeight), 200);
    const last = rows.at(-1).id;
    await page.locator(`[data-id="${last}"]`).click();
    assert.ok((await marks(page)).includes(last), `${last} was not chosen`);
    assert.deepEqual(page.errors, []);
    await context.close();
});

test('every menu stays on one line of the bar, inside the window, at every board size', async () => {
    const context = await web.browser.newContext({ viewport: { width: 800, height: 600 } });
    const page = await open(context, web.server.url);
    const sizes = await page.evaluate(() => [...document.querySelectorAll('[data-id="boardSize"] > .menu > .item')]
        .map((e) => e.dataset.id));
    assert.equal(sizes.length, 8);
    for (const size of sizes) {
        await page.locator('[data-id="settings"]').click();
        await page.locator('[data-id="boardSize"]').click();
        await page.locator(`[data-id="${size}"]`).click();
        const shown = await page.evaluate(() => {
            const box = (e) => e.getBoundingClientRect();
            const bar = document.getElementById('menubar');
            return { window: box(document.getElementById('window')), overflow: bar.scrollWidth - bar.clientWidth,
                     menus: [...bar.querySelectorAll(':scope > .top')].map((e) => ({ id: e.dataset.id, ...box(e).toJSON() })) };
        });
        assert.equal(shown.menus.length, 3, size);
        assert.equal(shown.overflow, 0, `${size}: the bar overflows`);
        for (const menu of shown.menus) {
            assert.equal(menu.top, shown.menus[0].top, `${size}: ${menu.id} wrapped`);
            assert.ok(menu.right <= shown.window.right, `${size}: ${menu.id} past the window's edge`);
        }
    }
    assert.match(await caption(page), /^Ковелинт 5x5 /);
    assert.deepEqual(page.errors, []);
    await context.close();
});
