// The page and the native controller agree: the same seed and the same input, given to the page
// as real mouse, key and menu events, leave the same board arrays as tools/gamedump prints.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { test } from 'node:test';
import { cellCentre, open, pick, serveAndLaunch } from './lib.mjs';

const GameDump = process.env.KOVELINT_GAMEDUMP ?? 'build/release/tools/gamedump/gamedump';
// Where a menu entry sits: its menu and submenu ids.
const MenuPath = { size7x7: ['settings', 'boardSize'], size15x11: ['settings', 'boardSize'],
                   pipes3: ['settings', 'pipeCount'], largePictures: ['settings', 'pictureSize'],
                   grid: ['settings'], tees: ['settings'], shortPipes: ['settings'] };
const Keys = { 39: 'ArrowRight', 37: 'ArrowLeft', 38: 'ArrowUp', 40: 'ArrowDown', 112: 'F1',
               113: 'F2', 114: 'F3', 116: 'F5' };

const Script = ['over:23', 'key:39', 'click:5', 'dblclick:17', 'key:116', 'click:40', 'menu:size7x7',
                'click:1', 'over:49', 'key:37', 'key:38', 'menu:grid', 'click:9', 'menu:largePictures',
                'dblclick:30', 'key:114', 'click:12', 'menu:tees', 'menu:shortPipes', 'key:113',
                'menu:pipes3', 'menu:size15x11', 'over:100', 'key:40', 'key:112', 'click:77',
                'key:112', 'dblclick:165'];

// A press comes with the pointer over its cell; a double click is two presses, the first a
// click and the second the double click.
const nativeSteps = (script) => script.flatMap((s) => {
    const [verb, n] = s.split(':');
    if (verb === 'click') return [`over:${n}`, s];
    if (verb === 'dblclick') return [`over:${n}`, `click:${n}`, `double:${n}`];
    return [s];
});

// The commands that move the cells: after them the page tells the game where the still pointer
// is over the board, and the native script says the same.
const ReLays = /^(size|grid$|largePictures$|smallPictures$)/;

// The pointer's place over the board after a step, as an input of the native script; none when
// the pointer is not over the board.
const pointerStep = (page) => page.evaluate(() => {
    const canvas = document.getElementById('board');
    const at = window.lastMouse;
    if (!at || document.elementFromPoint(at.x, at.y) !== canvas) return [];
    const box = canvas.getBoundingClientRect();
    const k = canvas.width / window.kovelint.scale() / box.width;
    return [`at:${Math.floor((at.x - box.left) * k)},${Math.floor((at.y - box.top) * k)}`];
});

async function play(page, step) {
    const [verb, arg] = step.split(':');
    if (verb === 'menu') {
        await pick(page, ...MenuPath[arg], arg);
        return ReLays.test(arg) ? pointerStep(page) : [];
    }
    if (verb === 'key') {
        await page.keyboard.press(Keys[arg]);
        return [];
    }
    const at = await cellCentre(page, Number(arg));
    if (verb === 'over') await page.mouse.move(at.x, at.y);
    else if (verb === 'click') await page.mouse.click(at.x, at.y);
    else await page.mouse.dblclick(at.x, at.y);
    return [];
}

const web = serveAndLaunch();

for (const seed of [1, 31337, 4000000000]) {
    test(`seed ${seed}: the page's board arrays are the native controller's after every input`, async () => {
        const context = await web.browser.newContext();
        const page = await open(context, `${web.server.url}?seed=${seed}`);
        await page.evaluate(() => document.addEventListener('mousemove', (e) => {
            window.lastMouse = { x: e.clientX, y: e.clientY };
        }, true));
        const dump = (steps) => execFileSync(GameDump, [String(seed), ...steps], { encoding: 'utf8' });
        assert.equal(await page.evaluate(() => window.kovelint.dump()), dump([]));
        const steps = [];
        for (const [i, step] of Script.entries()) {
            steps.push(...nativeSteps([step]), ...(await play(page, step)));
            // Every few steps, and at the end, the whole record.
            if (i % 4 === 3 || i === Script.length - 1)
                assert.equal(await page.evaluate(() => window.kovelint.dump()), dump(steps),
                             `after ${step}, step ${i + 1}`);
        }
        await context.close();
    });
}
