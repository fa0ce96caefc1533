// docs/screenshot-web.png: the real page in headless Chromium, seeded so it comes out the same
// on every run, with the board a few turns into the game and the settings menu open.
//   node tools/screenshots/web.mjs build/web-test docs/screenshot-web.png
import { resolve } from 'node:path';
import { launch, open, pick, serve } from '../../tests/web/lib.mjs';

const [webDir = 'build/web-test', out = 'docs/screenshot-web.png'] = process.argv.slice(2);
const server = await serve(resolve(webDir));
const chromium = await launch();
const context = await chromium.browser.newContext({ viewport: { width: 640, height: 372 } });
const page = await open(context, `${server.url}?seed=20240`);
for (let i = 0; i < 3; ++i) await page.keyboard.press('F1');
await pick(page, 'settings', 'boardSize');
await page.locator('[data-id="size10x9"]').hover();
await page.screenshot({ path: out });
await chromium.close();
await server.close();
console.log(`wrote ${out}`);
