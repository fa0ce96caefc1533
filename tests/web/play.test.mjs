// The game played in the page as on the desktop: the caption, the menu and its marks, turns by
// mouse and keys read back from the canvas pixels, hints until solved, and Esc. What the game
// decides is the native controller's (native.test.mjs); here the page shows and forwards it.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { caption, cellCentre, controllerMarks, greyPieces, marks, open, pick,
         readBoard, serveAndLaunch, tileOf, turnable, turned } from './lib.mjs';

const Caption = /^Ковелинт (\d+)x(\d+) - (\d+)шт\.$/;
let page;
serveAndLaunch(async (web) => {
    page = await open(await web.browser.newContext(), `${web.server.url}?seed=2024`);
});

// The caption line and the document title agree and read as the desktop's; the marks in the
// menu are the controller's and hold one size, one picture size and one pipe count.
async function expectWindow(size) {
    const text = await caption(page);
    assert.match(text, Caption);
    assert.equal(await page.title(), text);
    assert.equal(text.match(Caption).slice(1, 3).join('x'), size);
    const shown = await marks(page);
    assert.deepEqual(shown, await controllerMarks(page));
    assert.equal(shown.filter((m) => /^pipes\d+$/.test(m)).length, 1, shown.join(' '));
    assert.equal(shown.filter((m) => /^size/.test(m)).join(), `size${size}`);
    assert.equal(shown.filter((m) => /Pictures$/.test(m)).length, 1, shown.join(' '));
    return text;
}

test('caption and marks at start and after F2, F3, F5 and the menu; F5 never reloads', async () => {
    const first = await expectWindow('10x9');
    assert.deepEqual((await marks(page)).filter((m) => !/^pipes/.test(m)),
                     ['size10x9', 'smallPictures', 'shortPipes', 'tees']);
    await page.evaluate(() => { window.stillHere = true; });
    const dealt = await readBoard(page);

    await page.keyboard.press('F5');
    assert.equal(await expectWindow('10x9'), first);
    const scrambled = await readBoard(page);
    assert.notDeepEqual(scrambled, dealt);
    await page.keyboard.press('F2');
    await expectWindow('10x9');
    assert.notDeepEqual(await readBoard(page), scrambled);
    for (let i = 0; i < 3; ++i) {
        await page.keyboard.press('F3');
        await expectWindow('10x9');
    }
    assert.equal(await page.evaluate(() => window.stillHere), true, 'F5 reloaded the page');
    assert.equal(await page.evaluate(() => performance.getEntriesByType('navigation').length), 1);

    await pick(page, 'settings', 'boardSize', 'size8x8');
    await expectWindow('8x8');
    assert.equal(await page.locator('#board').evaluate((c) => c.width), 8 * 35 + 10);
    await pick(page, 'settings', 'pipeCount', 'pipes3');
    assert.ok((await marks(page)).includes('pipes3'));
    await pick(page, 'settings', 'pictureSize', 'largePictures');
    await pick(page, 'settings', 'grid');
    await expectWindow('8x8');
    assert.equal(await page.locator('#board').evaluate((c) => c.width), 8 * 70 + 7 + 10);
    assert.ok((await readBoard(page)).every((p) => p >= 0), 'a cell shows no picture at 70 pixels');
    // The ground in the margin and in the grid's gaps.
    const ground = await page.evaluate(() => {
        const ctx = document.getElementById('board').getContext('2d');
        return [[2, 2], [5 + 70, 40], [40, 5 + 70]].map(([x, y]) => [...ctx.getImageData(x, y, 1, 1).data]);
    });
    assert.deepEqual(ground, Array(3).fill([128, 128, 128, 255]));
    for (const id of ['tees', 'shortPipes', 'grid']) {
        await pick(page, 'settings', id);
        assert.ok(!(await marks(page)).includes(id), id);
    }
    await pick(page, 'settings', 'pictureSize', 'smallPictures');

    // By keyboard: F10 opens the first menu, the arrows walk, Enter chooses, Esc steps back.
    await page.keyboard.press('F10');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.id), 'newGame');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowRight');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.id), 'size25x15');
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.id), 'boardSize');
    await page.keyboard.press('Enter');
    await page.keyboard.press('Enter');
    await expectWindow('25x15');
    assert.equal(await page.locator('.open').count(), 0);
});

test('a click turns a quarter, a double click a half', async () => {
    await page.keyboard.press('F2');
    const start = await readBoard(page);
    const cells = start.map((p, i) => i + 1).filter((n) => turnable(start[n - 1]) && tileOf(start[n - 1]) >= 4);
    assert.ok(cells.length >= 2);
    const only = (before, now, n, quarters) => {
        assert.equal(tileOf(now[n - 1]), turned(tileOf(before[n - 1]), quarters), `cell ${n}`);
        now.forEach((p, i) => { if (i !== n - 1) assert.equal(tileOf(p), tileOf(before[i]), `cell ${i + 1}`); });
    };
    let at = await cellCentre(page, cells[0]);
    await page.mouse.click(at.x, at.y);
    const once = await readBoard(page);
    only(start, once, cells[0], 1);
    at = await cellCentre(page, cells[1]);
    await page.mouse.dblclick(at.x, at.y);
    const twice = await readBoard(page);
    only(once, twice, cells[1], 2);
});

test('the arrows turn the cell last under the pointer', async () => {
    const start = await readBoard(page);
    const n = start.findIndex((p) => turnable(p) && tileOf(p) >= 4) + 1;
    const at = await cellCentre(page, n);
    await page.mouse.move(at.x, at.y);
    let expected = tileOf(start[n - 1]);
    for (const [key, quarters] of [['ArrowRight', 1], ['ArrowUp', 1], ['ArrowLeft', -1],
                                   ['Shift+ArrowDown', -1], ['Control+ArrowRight', 1]]) {
        await page.keyboard.press(key);
        expected = turned(expected, quarters);
        assert.equal(tileOf((await readBoard(page))[n - 1]), expected, key);
    }
});

test('F1 lays a pipe a press until solved; then turns are refused; Esc ends the game', async () => {
    await pick(page, 'settings', 'boardSize', 'size10x9');
    const pipes = Number((await caption(page)).match(Caption)[3]);
    for (let press = 0; press < pipes; ++press) await page.keyboard.press('F1');
    const board = await readBoard(page);
    assert.equal(greyPieces(board), 0);
    const n = board.findIndex(turnable) + 1;
    const at = await cellCentre(page, n);
    await page.keyboard.press('F1');
    await page.mouse.click(at.x, at.y);
    await page.keyboard.press('ArrowRight');
    await page.mouse.dblclick(at.x, at.y);
    assert.deepEqual(await readBoard(page), board);

    await page.keyboard.press('Escape');
    assert.ok(await page.locator('#board').isHidden());
    assert.equal(await page.locator('#notice-text').textContent(), 'Игра окончена.');
    await page.locator('#again').click();
    await page.evaluate(() => window.kovelint.ready);
    await page.locator('#board').waitFor();
    await expectWindow('10x9');
});
