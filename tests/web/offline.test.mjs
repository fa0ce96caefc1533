// Playing offline once served: the service worker keeps the game's own files and nothing else,
// leaves every other address of the site to the network, and gives way to a new build.
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { caption, has, launch, open, readBoard, serve, WebDir, without } from './lib.mjs';

const browser = await launch();
const scratch = mkdtempSync(join(tmpdir(), 'kovelint-offline-'));
after(async () => {
    await browser.close();
    rmSync(scratch, { recursive: true, force: true });
});

// Another page of the same site, in the game's own folder.
const otherPage = join(scratch, 'other.html');
writeFileSync(otherPage, '<!doctype html><title>Other</title><p id="other">Another page');

const controlled = (page) => page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    return navigator.serviceWorker.controller !== null ||
        new Promise((ok) => navigator.serviceWorker.addEventListener('controllerchange', () => ok(true)));
});
const cacheNames = (page) => page.evaluate(() => caches.keys());
const cachedPaths = (page) => page.evaluate(async () => {
    const all = [];
    for (const name of await caches.keys())
        for (const request of await (await caches.open(name)).keys()) all.push(new URL(request.url).pathname);
    return all.sort();
});
// A fresh browser profile against its own server, both closed however the test ends.
async function withSite(dir, extra, body) {
    const server = await serve(dir, extra);
    const context = await browser.browser.newContext();
    try {
        await body(server, context);
    } finally {
        await context.close();
        await server.close();
    }
}
// Offline: the browser's own switch where its driver has one, or else the server dropping every
// connection, which the service worker meets as a network that is gone.
async function goOffline(t, server, context) {
    if (has('setOffline')) return context.setOffline(true);
    without(t, 'setOffline', 'the server drops every connection instead');
    server.refuse();
}
const playing = async (page) => {
    await page.evaluate(() => window.kovelint.ready);
    assert.match(await caption(page), /^Ковелинт 10x9 - \d+шт\.$/);
    assert.ok((await readBoard(page)).every((p) => p >= 0));
};

test('served once, it plays offline at either address of the page, icons and all', async (t) => {
    await withSite(WebDir, {}, async (server, context) => {
        const page = await open(context, server.url);
        await controlled(page);
        await goOffline(t, server, context);
        for (const address of [server.url, `${server.url}index.html`, `${server.url}?seed=5`]) {
            await page.goto(address);
            await playing(page);
        }
        // Every icon the manifest names comes from the offline copy, the maskable one among them.
        const icons = await page.evaluate(async () => {
            const manifest = await (await fetch('manifest.webmanifest')).json();
            return Promise.all(manifest.icons.map(async (icon) =>
                `${icon.purpose ?? 'any'} ${(await fetch(icon.src)).status}`));
        });
        assert.ok(icons.includes('maskable 200') && icons.every((i) => i.endsWith(' 200')), icons.join());
    });
});

test('a page beside the game and a mistyped address stay themselves, online and offline', async (t) => {
    await withSite(WebDir, { '/other.html': otherPage }, async (server, context) => {
        const page = await open(context, server.url);
        await controlled(page);
        const kept = await cachedPaths(page);

        await page.goto(`${server.url}other.html`);
        assert.equal(await page.title(), 'Other');
        await page.goto(`${server.url}no-such-page.html`);
        assert.equal(await page.locator('body').textContent(), 'Not found');
        assert.equal(await page.locator('#board').count(), 0);
        // What the site serves besides the game is never kept.
        assert.deepEqual(await cachedPaths(page), kept);
        assert.ok(!kept.some((p) => p.includes('other') || p.includes('no-such')), kept.join());

        await goOffline(t, server, context);
        for (const address of ['other.html', 'no-such-page.html'])
            await assert.rejects(page.goto(`${server.url}${address}`), /ERR_INTERNET_DISCONNECTED|offline|failed/i,
                                 `${address} came from the worker offline`);
    });
});

test('a rebuilt page reaches the player on a later visit, and the old copy is dropped', async (t) => {
    const dir = join(scratch, 'site');
    cpSync(WebDir, dir, { recursive: true });
    await withSite(dir, {}, async (server, context) => {
        const page = await open(context, server.url);
        await controlled(page);
        const worker = readFileSync(join(dir, 'sw.js'), 'utf8');
        const [oldCache] = worker.match(/kovelint-[0-9.]+-[0-9a-f]+/);  // the version and the page's
        assert.deepEqual(await cacheNames(page), [oldCache]);

        // A new build: another page and a worker with another cache name.
        const newCache = 'kovelint-0.1.0-0123456789ab';
        writeFileSync(join(dir, 'index.html'),
                      readFileSync(join(dir, 'index.html'), 'utf8').replace('<head>', '<head><meta name="build" content="new">'));
        writeFileSync(join(dir, 'sw.js'), worker.replaceAll(oldCache, newCache));

        // The next visit finds the new worker, which fetches the new build and drops the old one.
        await page.goto(server.url);
        const deadline = Date.now() + 30000;
        while (JSON.stringify(await cacheNames(page)) !== JSON.stringify([newCache])) {
            assert.ok(Date.now() < deadline, `caches still ${await cacheNames(page)}`);
            await page.waitForTimeout(100);
        }
        await goOffline(t, server, context);
        await page.goto(server.url);
        assert.equal(await page.locator('meta[name=build]').getAttribute('content'), 'new');
        await playing(page);
    });
});
