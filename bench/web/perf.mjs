// The browser game measured in headless Chromium, page served locally:
//   node bench/web/perf.mjs build/web build/web-test build/release/bench/kovelint_bench
// everything the first visit of the released page loads and its navigation start to the first
// board drawn, against the floor (bench/web/floor.html: a blank page whose inline script draws
// 90 cells on a canvas) served by the same server and loaded in turn with it; in the test build,
// whose hooks tell where the cells lie, a new 25 x 15 game in WebAssembly beside the native
// controller, and one click to the repainted cell.
import { execFileSync } from 'node:child_process';
import { cpus, loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, open, serve } from '../../tests/web/lib.mjs';

const [webDir = 'build/web', testDir = 'build/web-test',
       nativeBench = 'build/release/bench/kovelint_bench'] = process.argv.slice(2);
const median = (xs) => {
    const s = [...xs].sort((a, b) => a - b);
    return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};
const fmt = (xs, digits) => `${median(xs).toFixed(digits)} (min ${Math.min(...xs).toFixed(digits)}, max ${Math.max(...xs).toFixed(digits)})`;

const floorPage = join(dirname(fileURLToPath(import.meta.url)), 'floor.html');
const server = await serve(resolve(webDir), { '/floor.html': floorPage });
const testServer = await serve(resolve(testDir));
const chromium = await launch();
const version = chromium.browser.version();

// 1. A first visit in a fresh profile, the game's page and the floor in turn, each going first
// every other round; the first visit of the game also waits until the offline copy is in place.
// Beside the mark, the end of the frame after it, when the board is on the screen with all the
// page lays out around it: a task the frame's callback queues runs once that frame is done.
const Rounds = 15;
const weights = [];
const starts = { game: [], floor: [] };
const shown = { game: [], floor: [] };
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
    await page.goto(kind === 'game' ? server.url : `${server.url}floor.html`);
    await page.waitForFunction(() => performance.getEntriesByName('board-shown').length > 0);
    const [drawn, onScreen] = await page.evaluate(() => ['board-drawn', 'board-shown'].map(
        (name) => performance.getEntriesByName(name)[0].startTime));
    starts[kind].push(drawn);
    shown[kind].push(onScreen);
    if (keepWeights) {
        await page.evaluate(() => navigator.serviceWorker.ready);
        await page.waitForTimeout(500);
        weights.push(...server.log);
    }
    server.log.length = 0;
    await context.close();
}
for (let i = 0; i < Rounds; ++i) {
    const order = i % 2 ? ['floor', 'game'] : ['game', 'floor'];
    for (const kind of order) await firstBoard(kind, i === 0 && kind === 'game');
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
console.log(`machine: ${cpus().length} × ${cpus()[0].model}, load ${loadavg().map((l) => l.toFixed(2)).join(' ')}; Chromium ${version}`);
console.log(`first visit, every request: ${weights.map((e) => `${e.path} ${e.bytes}`).join(', ')}`);
console.log(`bytes loaded by the first visit: ${total} (${(total / 1024).toFixed(1)} KiB)`);
console.log(`navigation start to first board drawn, ms, ${Rounds} fresh profiles each, in turn:`);
console.log(`  the game: ${fmt(starts.game, 1)}`);
console.log(`  the floor: ${fmt(starts.floor, 1)}`);
console.log(`  the game / the floor: ${(median(starts.game) / median(starts.floor)).toFixed(2)}`);
console.log(`navigation start to the end of the frame after it, ms, the same loads:`);
console.log(`  the game: ${fmt(shown.game, 1)}`);
console.log(`  the floor: ${fmt(shown.floor, 1)}`);
console.log(`  the game / the floor: ${(median(shown.game) / median(shown.floor)).toFixed(2)}`);
console.log(`new 25 x 15 game, µs, WebAssembly, 10 × 2000: ${fmt(newGame, 1)}`);
console.log(`new 25 x 15 game, µs, native controller, 10 repetitions: ${fmt(nativeRuns, 1)}`);
console.log(`WebAssembly / native: ${(median(newGame) / median(nativeRuns)).toFixed(2)}`);
console.log(`click to repainted cell, ms, 25 batches of 90 clicks: ${fmt(clicks, 3)}`);
