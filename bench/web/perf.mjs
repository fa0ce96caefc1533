// The browser game measured in headless Chromium, page served locally:
//   node bench/web/perf.mjs build/web build/web-test build/release/bench/kovelint_bench
// everything the first visit of the released page loads and its navigation start to the first
// board drawn and its first contentful paint, against two floors served by the same server and
// loaded in turn with it: bench/web/floor.html, a blank page whose inline script draws 90 cells
// on a canvas, and bench/web/floor-text.html, the same canvas under the caption line and the
// menu names the game shows, in the same fonts, loaded twice under two addresses, so that the
// run shows how far apart one page's figures fall by chance; in the test build,
// whose hooks tell where the cells lie, a new 25 x 15 game in WebAssembly beside the native
// controller, and one click to the repainted cell.
import { execFileSync } from 'node:child_process';
import { cpus, loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, open, serve } from '../../tests/web/lib.mjs';
import { balancedOrder, median, ratio } from './order.mjs';

const [webDir = 'build/web', testDir = 'build/web-test',
       nativeBench = 'build/release/bench/kovelint_bench'] = process.argv.slice(2);
const fmt = (xs, digits) => `${median(xs).toFixed(digits)} (min ${Math.min(...xs).toFixed(digits)}, max ${Math.max(...xs).toFixed(digits)})`;

const here = dirname(fileURLToPath(import.meta.url));
const server = await serve(resolve(webDir), { '/floor.html': join(here, 'floor.html'),
                                              '/floor-text.html': join(here, 'floor-text.html'),
                                              '/floor-text-again.html': join(here, 'floor-text.html') });
const Pages = { game: '', floor: 'floor.html', text: 'floor-text.html', again: 'floor-text-again.html' };
const Kinds = Object.keys(Pages);
const testServer = await serve(resolve(testDir));
const startLoad = loadavg()[0];
const chromium = await launch();
const version = chromium.browser.version();

// 1. A first visit in a fresh profile, the four pages in turn, in balanced order. The first
// visit of the game also waits until the offline copy is in place.
// Beside the mark, the end of the frame after it, when the board is on the screen with all the
// page lays out around it: a task the frame's callback queues runs once that frame is done.
const Orders = balancedOrder(Kinds.length);
const Rounds = 6 * Orders.length;
const weights = [];
const perKind = () => Object.fromEntries(Kinds.map((kind) => [kind, []]));
const starts = perKind();
const shown = perKind();
const paints = perKind();
function markFrameAfterBoard() {
    const mark = performance.mark.bind(performance);
    performance.mark = (name, ...rest) => {
        if (name === 'board-drawn') requestAnimationFrame(() => setTimeout(() => mark('board-shown')));
        return mark(name, ...rest);
    };
}
async function firstBoard(kind, keepWeights) {
    const context = await chromium.browser.newContext();
    await context.addInitScript(markFrameAfterBoard);
    const page = await context.newPage();
    await page.goto(`${server.url}${Pages[kind]}`);
    await page.waitForFunction(() => performance.getEntriesByName('board-shown').length > 0 &&
        performance.getEntriesByName('first-contentful-paint').length > 0);
    const [drawn, onScreen, paint] = await page.evaluate(() => ['board-drawn', 'board-shown',
        'first-contentful-paint'].map((name) => performance.getEntriesByName(name)[0].startTime));
    starts[kind].push(drawn);
    shown[kind].push(onScreen);
    paints[kind].push(paint);
    if (keepWeights) {
        await page.evaluate(() => navigator.serviceWorker.ready);
        await page.waitForTimeout(500);
        weights.push(...server.log);
    }
    server.log.length = 0;
    await context.close();
}
for (let i = 0; i < Rounds; ++i) {
    for (const k of Orders[i % Orders.length]) await firstBoard(Kinds[k], i === 0 && Kinds[k] === 'game');
}

// 2 and 3 in one page.
const context = await chromium.browser.newContext();
const page = await open(context, `${testServer.url}?seed=12345`);
const newGame = await page.evaluate(async () => {
    const kov = window.kovelint.module();
    const game = new kov.Game(12345);
    game.run(15); // 25 x 15
    game.run(12); // ten pipes
    game.takeChanges();
    const runs = [];
    for (let r = 0; r < 10; ++r) {
        const n = 2000;
        const t0 = performance.now();
        for (let i = 0; i < n; ++i) {
            game.run(0);
            game.takeChanges();
        }
        runs.push(((performance.now() - t0) * 1000) / n);
    }
    game.delete();
    return runs;
});
const clicks = await page.evaluate(async () => {
    const canvas = document.getElementById('board');
    const ctx = canvas.getContext('2d');
    const box = canvas.getBoundingClientRect();
    // The page's clock is coarse, so each figure is a batch of 90 clicks, one on every cell,
    // each read back from the canvas before the next; F5 between batches keeps it unsolved.
    const batches = [];
    for (let b = 0; b < 25; ++b) {
        document.dispatchEvent(new KeyboardEvent('keydown', { key: 'F5' }));
        const t0 = performance.now();
        for (let n = 1; n <= 90; ++n) {
            const r = window.kovelint.cellRect(n);
            canvas.dispatchEvent(new MouseEvent('mousedown', {
                clientX: box.left + r.left + 17, clientY: box.top + r.top + 17, button: 0, detail: 1 }));
            ctx.getImageData(r.left + 17, r.top + 17, 1, 1); // the cell is on the canvas
        }
        batches.push((performance.now() - t0) / 90);
    }
    return batches;
});
await chromium.close();
await server.close();
await testServer.close();

const native = JSON.parse(execFileSync(nativeBench, [
    '--benchmark_filter=ControllerNewGame/short:1', '--benchmark_repetitions=10',
    '--benchmark_format=json'], { encoding: 'utf8', maxBuffer: 1 << 24 }));
const nativeRuns = native.benchmarks.filter((b) => b.run_type === 'iteration').map((b) => b.real_time);

const total = weights.reduce((a, e) => a + e.bytes, 0);
console.log(`machine: ${cpus().length} × ${cpus()[0].model}, load ${startLoad.toFixed(2)} at the start, ${loadavg().map((l) => l.toFixed(2)).join(' ')} at the end; Chromium ${version}`);
console.log(`first visit, every request: ${weights.map((e) => `${e.path} ${e.bytes}`).join(', ')}`);
console.log(`bytes loaded by the first visit: ${total} (${(total / 1024).toFixed(1)} KiB)`);
const against = (title, figures) => {
    console.log(title);
    console.log(`  the game: ${fmt(figures.game, 1)}`);
    console.log(`  the canvas floor: ${fmt(figures.floor, 1)}`);
    console.log(`  the floor with the caption and menu names: ${fmt(figures.text, 1)}`);
    console.log(`  the same floor under its second address: ${fmt(figures.again, 1)}`);
    console.log(`  the game / the canvas floor: ${ratio(figures.game, figures.floor)}`);
    console.log(`  the game / the floor with the texts: ${ratio(figures.game, figures.text)}`);
    console.log(`  the floor with the texts, second address / first, by chance alone: ${ratio(figures.again, figures.text)}`);
};
against(`navigation start to first contentful paint, ms, ${Rounds} fresh profiles each, in balanced order:`, paints);
against('navigation start to first board drawn, ms, the same loads:', starts);
against('navigation start to the end of the frame after the board, ms, the same loads:', shown);
console.log(`new 25 x 15 game, µs, WebAssembly, 10 × 2000: ${fmt(newGame, 1)}`);
console.log(`new 25 x 15 game, µs, native controller, 10 repetitions: ${fmt(nativeRuns, 1)}`);
console.log(`WebAssembly / native: ${(median(newGame) / median(nativeRuns)).toFixed(2)}`);
console.log(`click to repainted cell, ms, 25 batches of 90 clicks: ${fmt(clicks, 3)}`);
