// Puts the page together: index.html with the styles, the page script holding the WebAssembly
// and the 96 pictures as one PNG sheet, and the module's script, all inlined, so it opens
// straight from disk; beside it the manifest, the icons and the service worker. The game's name,
// the pictures' edge and number, the sheet's layout and the ground's grey come from the module
// itself.
//   node build-page.mjs --module kovelint.js --assets ../assets --out build/web --version 1.2.3
//       [--hooks FILE]
// The module's WebAssembly is read from beside its script (kovelint.wasm).
// --hooks puts a script into the page's own (the tests' hooks): only a test build has one.
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import vm from 'node:vm';
import { deflateSync } from 'node:zlib';

const here = dirname(fileURLToPath(import.meta.url));
const args = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
if (!args.module || !args.assets || !args.out || !args.version) {
    console.error('usage: build-page.mjs --module FILE --assets DIR --out DIR --version X.Y.Z [--hooks FILE]');
    process.exit(2);
}

// The module is built for the browser; a bare context with what it needs runs it here, made
// from its WebAssembly as the page makes it.
const moduleSource = readFileSync(args.module, 'utf8');
const wasm = readFileSync(args.module.replace(/\.js$/, '.wasm'));
const sandbox = vm.createContext({ WebAssembly, Int32Array, TextDecoder, console });
vm.runInContext(`${moduleSource}\nthis.KovelintModule = KovelintModule;`, sandbox);
const module = await sandbox.KovelintModule({
    instantiateWasm(imports, receive) {
        WebAssembly.instantiate(wasm, imports).then((made) => receive(made.instance));
        return {};
    },
});
const constantsAt = module._kov_constants();
const game = JSON.parse(new TextDecoder().decode(
    module.HEAPU8.subarray(constantsAt, module.HEAPU8.indexOf(0, constantsAt))));
const Tile = game.pictureEdge;
const SheetColumns = game.sheetColumns;
const Slots = game.pictureSlots;
const groundHex = '#' + game.ground.toString(16).padStart(2, '0').repeat(3);

// A 24-bit bottom-up BMP of 35 x 35 as RGB rows, top row first.
function readBmp(file) {
    const b = readFileSync(file);
    const offset = b.readUInt32LE(10);
    const width = b.readInt32LE(18);
    const height = b.readInt32LE(22);
    if (b.toString('latin1', 0, 2) !== 'BM' || width !== Tile || Math.abs(height) !== Tile ||
        b.readUInt16LE(28) !== 24)
        throw new Error(`${file}: not a 24-bit ${Tile} x ${Tile} bitmap`);
    const stride = (width * 3 + 3) & ~3;
    const rgb = Buffer.alloc(Tile * Tile * 3);
    for (let y = 0; y < Tile; ++y) {
        const row = offset + (height > 0 ? Tile - 1 - y : y) * stride;
        for (let x = 0; x < Tile; ++x) {
            rgb[(y * Tile + x) * 3] = b[row + x * 3 + 2];
            rgb[(y * Tile + x) * 3 + 1] = b[row + x * 3 + 1];
            rgb[(y * Tile + x) * 3 + 2] = b[row + x * 3];
        }
    }
    return rgb;
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
});
function crc32(buf) {
    let c = 0xffffffff;
    for (const byte of buf) c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, data) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(data.length, 0);
    head.write(type, 4, 'latin1');
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
    return Buffer.concat([head, data, crc]);
}
function png(width, height, rgb) {
    const raw = Buffer.alloc((width * 3 + 1) * height);
    for (let y = 0; y < height; ++y) rgb.copy(raw, y * (width * 3 + 1) + 1, y * width * 3, (y + 1) * width * 3);
    const ihdr = Buffer.alloc(13);
    ihdr.writeUInt32BE(width, 0);
    ihdr.writeUInt32BE(height, 4);
    ihdr.set([8, 2, 0, 0, 0], 8); // 8-bit RGB
    return Buffer.concat([
        Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
        chunk('IHDR', ihdr),
        chunk('IDAT', deflateSync(raw, { level: 9 })),
        chunk('IEND', Buffer.alloc(0)),
    ]);
}

// The sheet: picture p at column p % 12, row p / 12.
const pictureDir = join(args.assets, 'pictures');
const files = readdirSync(pictureDir).filter((f) => /^slot-\d\d-.*\.bmp$/.test(f));
if (files.length !== 96) throw new Error(`${pictureDir} holds ${files.length} pictures, not 96`);
const sheetWidth = SheetColumns * Tile;
const sheetHeight = Math.ceil(Slots / SheetColumns) * Tile;
const sheet = Buffer.alloc(sheetWidth * sheetHeight * 3, game.ground);
for (const f of files) {
    const p = Number(f.slice(5, 7));
    const rgb = readBmp(join(pictureDir, f));
    const x0 = (p % SheetColumns) * Tile;
    const y0 = Math.floor(p / SheetColumns) * Tile;
    for (let y = 0; y < Tile; ++y)
        rgb.copy(sheet, ((y0 + y) * sheetWidth + x0) * 3, y * Tile * 3, (y + 1) * Tile * 3);
}
const sheetUrl = 'data:image/png;base64,' + png(sheetWidth, sheetHeight, sheet).toString('base64');

const dataUrl = (file) => 'data:image/png;base64,' + readFileSync(file).toString('base64');
const source = (name) => readFileSync(join(here, name), 'utf8');
// The whole page keeps to ASCII, which the browser reads faster than other text.
const nonAscii = /[^\x00-\x7f]/g;
// The page's own script without its comment lines and indentation: the browser reads every
// byte before the first board.
const lean = (js) => js.split('\n').map((line) => line.trim())
    .filter((line) => line && !line.startsWith('//')).join('\n');
// A script may not hold "</script" inside the page; its few characters beyond ASCII, all in
// strings and comments, are written as escapes.
const inline = (js) => js.replace(/<\/script/gi, '<\\/script')
    .replace(nonAscii, (c) => `\\u${c.charCodeAt(0).toString(16).padStart(4, '0')}`);

// The page's fixed texts and colours, filled in from the module; its description is the
// manifest's. Characters beyond ASCII are character references in the markup and escapes in
// the styles.
const fill = (text) => text.replaceAll('@NAME@', game.name).replaceAll('@GROUND@', groundHex);
const manifest = { ...JSON.parse(fill(source('manifest.webmanifest'))), version: args.version };
const escape = (text) => text.replaceAll('&', '&amp;').replaceAll('"', '&quot;').replaceAll('<', '&lt;');
const hooks = args.hooks ? readFileSync(args.hooks, 'utf8') : '';
const markup = (html) => html.replace(nonAscii, (c) => `&#x${c.codePointAt(0).toString(16)};`);
const styles = (css) => css.replace(nonAscii, (c) => `\\${c.codePointAt(0).toString(16)} `);
const assembled = markup(fill(source('index.html')).replace('@DESCRIPTION@', () => escape(manifest.description)))
    .replace('@ICON@', () => dataUrl(join(args.assets, 'icons', 'kovelint-24.png')))
    .replace('@STYLE@', () => styles(fill(source('page.css'))))
    .replace('@SHEET@', () => sheetUrl)
    .replace('@MODULE@', () => inline(moduleSource))
    .replace('@PAGE@', () => inline(lean(source('page.js'))
        .replace('@FIXED@', () => JSON.stringify(game).replaceAll('\\', '\\\\').replaceAll("'", "\\'"))
        .replace('@WASM@', () => wasm.toString('base64'))
        .replace('/* @HOOKS@ */', () => hooks)));

// The page's policy, ahead of everything it governs: its one script and its one style sheet by
// their hashes, the module compiled from bytes the script holds, pictures from data: addresses
// and nothing fetched but the page's own files. An injected script or a foreign resource is
// refused, on any host and from disk, where no header could say so.
const inlineHash = (tag) => {
    const start = assembled.indexOf(`<${tag}>`) + tag.length + 2;
    const text = assembled.slice(start, assembled.indexOf(`</${tag}>`, start));
    return `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
};
const policy = [
    "default-src 'none'",
    `script-src ${inlineHash('script')} 'wasm-unsafe-eval'`,
    `style-src ${inlineHash('style')}`,
    "img-src 'self' data:",
    "connect-src 'self'",
    "manifest-src 'self'",
    "worker-src 'self'",
    "object-src 'none'",
    "base-uri 'none'",
    "form-action 'none'",
].join('; ');
const page = assembled.replace('@POLICY@', () => policy);

mkdirSync(join(args.out, 'icons'), { recursive: true });
writeFileSync(join(args.out, 'index.html'), page);
// The icons the manifest names, at the same places under the assets; the offline copy keeps
// them all.
for (const { src } of manifest.icons) copyFileSync(join(args.assets, src), join(args.out, src));
writeFileSync(join(args.out, 'manifest.webmanifest'), `${JSON.stringify(manifest, null, 2)}\n`);
// The cache is named after the game's version and the page, so a new build replaces what the
// last one cached, and a player's cache says which release it holds.
const version = `${args.version}-${createHash('sha256').update(page).digest('hex').slice(0, 12)}`;
writeFileSync(join(args.out, 'sw.js'), source('sw.js').replace('@VERSION@', version)
    .replace("'@ICONS@'", () => manifest.icons.map(({ src }) => `'${src}'`).join(', ')));
