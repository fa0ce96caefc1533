// A bounded run of random input, as a restless player and a few odd hands give it: presses,
// double clicks, the wheel, taps, the arrows, the function keys, the menus by keys and by the
// pointer, Esc and a new start, and the window resized; the events come in bursts that no frame
// separates. After every burst the page must hold together: no error, the title the caption,
// the canvas the caption's board at the checked picture size and grid, one mark in each group,
// the open menus one chain, and the focus on nothing hidden. The seed is printed; KOVELINT_RANDOM_SEED replays a run.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Engine, has, open, quickly, serveAndLaunch, without } from './lib.mjs';

const Events = Number(process.env.KOVELINT_RANDOM_EVENTS ?? 3000);
// The long run (make random-web): so many minutes of input instead of a count of events, and
// the page's data after garbage collection, sampled through it, must stay flat after the warm-up.
const Minutes = Number(process.env.KOVELINT_RANDOM_MINUTES ?? 0);
const Seed = Number(process.env.KOVELINT_RANDOM_SEED ?? Math.floor(Math.random() * 2 ** 32));

// mulberry32: small, and the same on every machine.
function random(seed) {
    let a = seed >>> 0;
    return () => {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = Math.imul(a ^ (a >>> 15), 1 | a);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
    };
}

// What the page shows, and what is wrong with it.
const look = () => {
    const problems = [];
    const $ = (id) => document.getElementById(id);
    const visible = (e) => e && e.checkVisibility();
    const box = (e) => {
        const r = e.getBoundingClientRect();
        return { x: r.left + r.width / 2, y: r.top + r.height / 2, w: r.width, h: r.height };
    };
    const over = visible($('notice'));
    const playing = !over && visible($('board'));
    if (over) {
        if (visible($('board'))) problems.push('the board shows beside the notice');
    } else if (playing) {
        const text = $('caption').textContent;
        const [, cols, rows] = text.match(/^Ковелинт (\d+)x(\d+) - \d+шт\.$/) ?? [];
        const marked = [...document.querySelectorAll('#menubar [aria-checked="true"]')].map((e) => e.dataset.id);
        const tile = marked.includes('largePictures') ? 70 : 35;
        const gap = marked.includes('grid') ? 1 : 0;
        const want = [cols, rows].map((n) => (10 + n * tile + (n - 1) * gap) * window.kovelint.scale());
        if (!cols || document.title !== text) problems.push(`caption "${text}", title "${document.title}"`);
        if (marked.length && ([/^pipes\d+$/, /^size/, /Pictures$/].some((g) => marked.filter((m) => g.test(m)).length !== 1) ||
                              !marked.includes(`size${cols}x${rows}`)))
            problems.push(`marks ${marked.join(' ')} under "${text}"`);
        if (marked.length && ($('board').width !== want[0] || $('board').height !== want[1]))
            problems.push(`canvas ${$('board').width} x ${$('board').height} for ${want.join(' x ')}`);
        if (document.activeElement !== document.body && !visible(document.activeElement))
            problems.push(`the focus on a hidden ${document.activeElement.dataset.id ?? document.activeElement.id}`);
        const chain = [...document.querySelectorAll('#menubar .open')];
        chain.forEach((e, i) => {
            if (i === 0 ? !e.classList.contains('top') : !chain[i - 1].contains(e))
                problems.push(`open menus ${chain.map((c) => c.dataset.id).join(' ')}`);
        });
    }
    const rows = playing ? [...document.querySelectorAll('#menubar [data-entry]')].filter(visible).map(box) : [];
    return { problems, over, playing, rows, board: playing ? box($('board')) : null,
             again: over && visible($('again')) ? box($('again')) : null,
             view: [window.innerWidth, window.innerHeight] };
};

const web = serveAndLaunch();

const Sizes = [[800, 600], [1280, 720], [390, 844], [844, 390], [600, 400], [360, 640]];
const Keys = ['ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown', 'F1', 'F2', 'F3', 'F5', 'F10', 'Escape',
              'Enter', ' ', 'Tab'];

// The page's own data after a collection, in bytes: the objects, closures, arrays and strings of
// a heap snapshot (which collects first). Compiled code and the browser's own objects are left
// out: for as long as a run lasts the browser goes on compiling the functions that grow hot, the
// WebAssembly's among them, and fills its bounded buffers of performance entries (a layout shift
// at each new board size), and that growth is the browser's, not the page's.
const DataTypes = new Set(['object', 'closure', 'array', 'string', 'concatenated string', 'sliced string',
                           'regexp', 'number', 'bigint', 'symbol']);
async function pageData(cdp) {
    const chunks = [];
    const take = ({ chunk }) => chunks.push(chunk);
    cdp.on('HeapProfiler.addHeapSnapshotChunk', take);
    await cdp.send('HeapProfiler.takeHeapSnapshot', { reportProgress: false });
    cdp.off('HeapProfiler.addHeapSnapshotChunk', take);
    const { snapshot: { meta }, nodes } = JSON.parse(chunks.join(''));
    const fields = meta.node_fields.length;
    const type = meta.node_fields.indexOf('type');
    const size = meta.node_fields.indexOf('self_size');
    let bytes = 0;
    for (let i = 0; i < nodes.length; i += fields)
        if (DataTypes.has(meta.node_types[0][nodes[i + type]])) bytes += nodes[i + size];
    return bytes;
}

// One run in a fresh window; `touch` gives it a touch screen and taps.
async function run(rng, touch, events, minutes, t) {
    const context = await web.browser.newContext({ viewport: { width: 800, height: 600 }, hasTouch: touch });
    const page = await open(context, `${web.server.url}?seed=${Math.floor(rng() * 1e6)}`);
    const sizes = has('narrowWindow') ? Sizes : Sizes.filter(([width]) => width > 400);
    if (!has('narrowWindow')) without(t, 'narrowWindow', 'no phone-sized window');
    // Only Chromium tells the heap after a collection.
    const cdp = has('heap') ? await context.newCDPSession(page) : null;
    const pick = (list) => list[Math.floor(rng() * list.length)];
    const within = (b) => ({ x: b.x + (rng() - 0.5) * b.w, y: b.y + (rng() - 0.5) * b.h });
    let seen = await page.evaluate(look);
    let sent = 0;
    const log = [];
    const until = Date.now() + minutes * 60000;
    const more = () => (Minutes ? Date.now() < until : sent < events);
    const heap = [];
    let nextSample = 0;
    while (more()) {
        if (Minutes && cdp && sent >= nextSample) {
            heap.push([sent, await pageData(cdp)]);
            nextSample = sent + 2000;
        }
        const burst = [];
        for (let n = 1 + Math.floor(rng() * 8); n > 0; --n, ++sent) {
            const r = rng();
            const anywhere = { x: rng() * seen.view[0], y: rng() * seen.view[1] };
            // The menu bar's first entries, the open menus' rows, the board, or anywhere.
            const target = seen.rows.length && rng() < 0.6
                ? within(pick(rng() < 0.5 ? seen.rows.slice(0, 3) : seen.rows))
                : seen.board ? within(seen.board) : anywhere;
            if (seen.again && r < 0.3) {
                burst.push({ x: seen.again.x, y: seen.again.y });
            } else if (r < 0.2) {
                burst.push(target);
            } else if (r < 0.25) {
                burst.push({ ...target, clicks: 2 });
            } else if (r < 0.4) {
                burst.push({ ...(rng() < 0.8 ? target : anywhere), move: true });
            } else if (r < 0.45) {
                burst.push({ ...target, dx: (rng() - 0.5) * 400, dy: (rng() - 0.5) * 400 });
            } else if (touch && r < 0.6) {
                burst.push({ ...target, tap: true });
            } else if (r < 0.995) {
                // F5 only where the page takes it: a game on and no new start under way.
                const key = pick(Keys);
                burst.push(key === 'F5' && !seen.playing ? 'F2' : key);
            } else {
                burst.push({ resize: pick(sizes) });
            }
        }
        const name = (step) => (typeof step === 'string' ? step : step.resize ? `resize ${step.resize}`
            : `${step.tap ? 'tap' : step.move ? 'move' : step.dx !== undefined ? 'wheel' : step.clicks ? 'double click' : 'click'}` +
              ` ${Math.round(step.x)},${Math.round(step.y)}`);
        log.push(burst.map(name).join(', '));
        // Each stretch between resizes goes as one burst.
        for (let from = 0; from < burst.length;) {
            let to = from;
            while (to < burst.length && !burst[to].resize) ++to;
            if (to > from) await quickly(page, ...burst.slice(from, to));
            if (to < burst.length) await page.setViewportSize({ width: burst[to].resize[0], height: burst[to].resize[1] });
            from = to + 1;
        }
        // A page gone (a reload the game should have kept) says which input went before.
        seen = await page.evaluate(look).catch((e) =>
            assert.fail(`after ${sent} events (seed ${Seed}): ${e.message}\nlast bursts:\n${log.slice(-5).join('\n')}`));
        const wrong = [...page.errors, ...seen.problems];
        if (wrong.length)
            assert.fail(`after ${sent} events (seed ${Seed}): ${wrong.join('; ')}\nlast bursts:\n${log.slice(-5).join('\n')}`);
    }
    t.diagnostic(`${touch ? 'touch' : 'mouse'}: ${sent} events, last state ${seen.over ? 'ended' : 'playing'}`);
    if (Minutes && !cdp) without(t, 'heap', 'heap not measured');
    if (Minutes && cdp) {
        // The data's growth over the run's second half, by least squares, in bytes per 1,000 events.
        const half = heap.slice(Math.floor(heap.length / 2));
        const mx = half.reduce((a, [x]) => a + x, 0) / half.length;
        const my = half.reduce((a, [, y]) => a + y, 0) / half.length;
        const slope = half.reduce((a, [x, y]) => a + (x - mx) * (y - my), 0) /
            half.reduce((a, [x]) => a + (x - mx) ** 2, 0) * 1000;
        t.diagnostic(`the page's data after collection: ${heap[0][1]} bytes at the start, ${heap.at(-1)[1]} at the end; ` +
                     `${(slope / 1024).toFixed(2)} KiB per 1,000 events over the second half`);
        assert.ok(half.length < 4 || slope < 1024, `the page's data grows ${slope.toFixed(0)} bytes per 1,000 events (seed ${Seed})`);
    }
    await context.close();
}

// Half the events, or half the minutes, with a mouse and half with a touch screen; all with a
// mouse where the engine's driver has no touch.
test('random input leaves the page whole', { timeout: Minutes ? (Minutes + 5) * 60000 : undefined }, async (t) => {
    t.diagnostic(`random input seed ${Seed} in ${Engine}`);
    console.log(`random input seed ${Seed} in ${Engine}`);
    const rng = random(Seed);
    const halves = has('hasTouch') ? 2 : 1;
    await run(rng, false, Events / halves, Minutes / halves, t);
    if (halves === 2) await run(rng, true, Events / 2, Minutes / 2, t);
    else without(t, 'hasTouch', 'all the input comes from a mouse');
});
