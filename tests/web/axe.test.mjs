// The page as assistive technology reads it, checked by axe-core with every rule it runs by
// default, best practice included: on the board, with a menu open, and once the game is over.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { open, pick, serveAndLaunch } from './lib.mjs';

// Run through the driver rather than added as a script tag, which the page's policy refuses.
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const web = serveAndLaunch();

async function violations(page) {
    if (await page.evaluate(() => !window.axe)) await page.evaluate(axeSource);
    return page.evaluate(async () => (await window.axe.run(document)).violations.map(
        (v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
}

test('axe finds nothing on the board, in an open menu, or after the game', async () => {
    const context = await web.browser.newContext();
    const page = await open(context, `${web.server.url}?seed=8`);
    assert.deepEqual(await violations(page), [], 'the board');
    await pick(page, 'settings', 'boardSize');
    await page.locator('[data-id="size10x9"]').hover();
    assert.deepEqual(await violations(page), [], 'a menu open');
    await page.keyboard.press('Escape');
    await page.keyboard.press('Escape');
    await page.keyboard.press('Escape');
    await page.locator('#again').waitFor();
    assert.deepEqual(await violations(page), [], 'the game over');
    assert.deepEqual(page.errors, []);
    await context.close();
});
