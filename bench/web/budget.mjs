// How much script a page may run before its first board and still keep within a given ratio of
// the text floor's first contentful paint and board: the text floor as it is, the same floor
// with a script that first spins for 5, 10 and 20 ms, and the game, loaded in headless Chromium
// from fresh profiles in balanced order, served locally:
//   node bench/web/budget.mjs build/web [rounds, 48 by default]
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { cpus, loadavg, tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, serve } from '../../tests/web/lib.mjs';
import { balancedOrder, median, ratio } from './order.mjs';

const [webDir = 'build/web', roundsArg = '48'] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
const floor = readFileSync(join(here, 'floor-text.html'), 'utf8');
const Spins = [5, 10, 20];
const folder = mkdtempSync(join(tmpdir(), 'kovelint-budget-'));
const extra = { '/floor-text.html': join(here, 'floor-text.html') };
for (const ms of Spins) {
    const file = join(folder, `spin-${ms}.html`);
    const spin = `const spinStart = performance.now();\nwhile (performance.now() - spinStart < ${ms});\n`;
    writeFileSync(file, floor.replace("'use strict';\n", () => `'use strict';\n${spin}`));
    extra[`/spin-${ms}.html`] = file;
}
const Pages = { floor: 'floor-text.html', ...Object.fromEntries(Spins.map((ms) => [`${ms} ms`, `spin-${ms}.html`])),
                game: '' };
const Kinds = Object.keys(Pages);
const server = await serve(resolve(webDir), extra);
const chromium = await launch();

const orders = balancedOrder(Kinds.length);
const rounds = Math.ceil(Number(roundsArg) / orders.length) * orders.length;
const figures = Object.fromEntries(Kinds.map((kind) => [kind, { board: [], paint: [] }]));
const load = [loadavg()[0]];
for (let i = 0; i < rounds; ++i) {
    for (const k of orders[i % orders.length]) {
        const context = await chromium.browser.newContext();
        const page = await context.newPage();
        await page.goto(`${server.url}${Pages[Kinds[k]]}`);
        await page.waitForFunction(() => performance.getEntriesByName('board-drawn').length > 0 &&
            performance.getEntriesByName('first-contentful-paint').length > 0);
        const [board, paint] = await page.evaluate(() => ['board-drawn', 'first-contentful-paint']
            .map((name) => performance.getEntriesByName(name)[0].startTime));
        figures[Kinds[k]].board.push(board);
        figures[Kinds[k]].paint.push(paint);
        await context.close();
    }
}
load.push(loadavg()[0]);
await chromium.close();
await server.close();
rmSync(folder, { recursive: true });

console.log(`machine: ${cpus().length} × ${cpus()[0].model}, load ${load.map((l) => l.toFixed(2)).join(' → ')}; ` +
            `Chromium ${chromium.browser.version()}; ${rounds} fresh profiles of each page`);
console.log('page: first contentful paint, board drawn (ms from navigation start); / the floor, ' +
            'as the ratio of the medians and the median of the ratios within rounds');
const base = figures.floor;
for (const kind of Kinds) {
    const f = figures[kind];
    const name = kind === 'floor' ? 'text floor' : kind === 'game' ? 'the game' : `floor + ${kind} of script`;
    console.log(`  ${name.padEnd(24)} ${median(f.paint).toFixed(1).padStart(6)} ${median(f.board).toFixed(1).padStart(6)}` +
                `   / floor: paint ${ratio(f.paint, base.paint)}, board ${ratio(f.board, base.board)}`);
}
