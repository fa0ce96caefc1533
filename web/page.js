// The page is the game window: the caption line, the menu bar built from the controller's
// table, and the board painted from the picture sheet as the controller lists the changes. The
// game decides everything; the page forwards the pointer, the keys and the menu, and draws.
'use strict';
(() => {
    // The first board waits for nothing that can be done beside it or after it: the picture
    // sheet has been loading since the page was read (an image of the page), the game's code is
    // compiled and made at once (the module's script comes first in this script element), and
    // the one-game lock is asked for once the board is drawn.

    // The game's values, from its module as the page was built: name, picture edge, sheet
    // layout, ground.
    const fixed = JSON.parse('@FIXED@');
    const sheet = document.getElementById('sheet');
    const sheetReady = sheet.complete ? Promise.resolve() : new Promise((resolve, reject) => {
        sheet.onload = resolve;
        sheet.onerror = reject;
    });
    // Out here the long text is read once; in a function it would be skimmed as the script is
    // compiled and read again when the function first runs.
    const code = bytes('@WASM@');
    const moduleReady = KovelintModule({
        // The module is made from the code this page carries; it fetches nothing of its own.
        instantiateWasm(imports, receive) {
            try {
                receive(new WebAssembly.Instance(new WebAssembly.Module(code), imports));
            } catch {
                // A browser that compiles nothing on its main thread does it in the background.
                WebAssembly.instantiate(code, imports).then((made) => receive(made.instance));
            }
            return {};
        },
    }).then(gameModule);

    // The game's code travels in the page as base64 text.
    function bytes(text) {
        if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
        const raw = atob(text);
        const out = new Uint8Array(raw.length);
        for (let i = 0; i < raw.length; ++i) out[i] = raw.charCodeAt(i);
        return out;
    }

    // The module's plain calls as the objects the page works with: a game, the menu table, the
    // keys, the clock. Texts and numbers are read from the module's memory where the calls leave
    // them.
    function gameModule(m) {
        const decoder = new TextDecoder();
        const encoder = new TextEncoder();
        const text = (at) => decoder.decode(m.HEAPU8.subarray(at, m.HEAPU8.indexOf(0, at)));
        const ints = (at, count) => m.HEAP32.subarray(at >> 2, (at >> 2) + count);
        class Game {
            constructor(seed) { this.at = m._kov_game_new(seed); }
            delete() { m._kov_game_delete(this.at); }
            run(command) { m._kov_run(this.at, command); }
            pointerAt(x, y) { m._kov_pointer_at(this.at, x, y); }
            clickAt(x, y) { m._kov_click_at(this.at, x, y); }
            doubleClickAt(x, y) { m._kov_double_click_at(this.at, x, y); }
            keyDown(code, repeat) { return m._kov_key_down(this.at, code, repeat ? 1 : 0) !== 0; }
            caption() { return text(m._kov_caption(this.at)); }
            cellCount() { return m._kov_cell_count(this.at); }
            checked(entry) { return m._kov_checked(this.at, entry) !== 0; }
            // Where every cell lies, from cell 1; none for cell 0.
            cellRects() {
                const r = ints(m._kov_cell_rects(this.at), 4 * this.cellCount());
                const out = [null];
                for (let i = 0; i < r.length; i += 4)
                    out.push({ left: r[i], top: r[i + 1], width: r[i + 2], height: r[i + 3] });
                return out;
            }
            // What every cell shows, from cell 1.
            shownPictures() {
                return [0, ...ints(m._kov_shown_pictures(this.at), this.cellCount())];
            }
            boardPixels() {
                const [width, height] = ints(m._kov_board_pixels(this.at), 2);
                return { width, height };
            }
            // marks: entry, checked, entry, checked...; cells: cell, picture, cell, picture...
            takeChanges() {
                const at = m._kov_take_changes(this.at) >> 2;
                const h = m.HEAP32;
                const marks = at + 6 + 2 * h[at + 4];
                return { rebuilt: h[at] !== 0, reLaid: h[at + 1] !== 0, caption: h[at + 2] !== 0,
                         close: h[at + 3] !== 0, marks: h.slice(at + 6, marks),
                         cells: h.slice(marks, marks + 2 * h[at + 5]) };
            }
        }
        return {
            Game,
            menu: () => JSON.parse(text(m._kov_menu())),
            // The browser's name of a key as the game's code; 0 for none.
            virtualKey(key) {
                const name = encoder.encode(key);
                const at = m._kov_key_name(name.length);
                if (!at) return 0;
                m.HEAPU8.set(name, at);
                m.HEAPU8[at + name.length] = 0;
                return m._kov_virtual_key();
            },
            clockSeed() {
                const now = new Date();
                return m._kov_clock_seed(now.getHours(), now.getMinutes(), now.getSeconds(),
                                         now.getMilliseconds()) >>> 0;
            },
            // The calls themselves and the reading of their texts, for anything more.
            calls: m,
            text,
        };
    }

    const $ = (id) => document.getElementById(id);
    const win = $('window');
    const caption = $('caption');
    const menubar = $('menubar');
    const canvas = $('board');
    const notice = $('notice');
    const ctx = canvas.getContext('2d', { alpha: false });

    let kov = null;      // the module
    let game = null;     // the controller
    let menu = [];       // the menu table
    let items = [];      // the element of each menu entry
    let rects = [];      // where each cell lies, in board pixels, from cell 1
    let scale = 1;       // device pixels per board pixel
    let release = null;  // lets go of the one-game lock
    let claiming = null; // this page's request for the lock, from the asking to the letting go
    let drawn = false;

    // One game per browser: the first page holds a lock for as long as it plays; another page
    // that finds it taken only says so. A page asks once: a game started again while its last
    // one's request is still on its way waits for that answer, and is not refused by it.
    function claim() {
        if (!navigator.locks) return Promise.resolve(true);
        claiming ??= new Promise((resolve) => {
            navigator.locks.request('kovelint-game', { ifAvailable: true }, (lock) => {
                if (!lock) {
                    claiming = null;
                    resolve(false);
                    return undefined;
                }
                resolve(true);
                return new Promise((done) => { release = done; });
            }).catch(() => resolve(true));
        });
        return claiming;
    }
    function letGo() {
        if (!release) return;
        release();
        release = null;
        claiming = null;
    }

    function say(text, again) {
        $('notice-text').textContent = text;
        $('again').hidden = !again;
        notice.hidden = false;
    }

    function seed() {
        const s = new URLSearchParams(location.search).get('seed');
        return s !== null && /^\d+$/.test(s) ? Number(s) >>> 0 : kov.clockSeed();
    }

    // The window with its board and menu, or without a game: then only the notice shows, and
    // the caption, kept for the screen reader, names the game.
    function showGame(playing) {
        win.hidden = false;
        win.classList.toggle('over', !playing);
        if (!playing) {
            caption.textContent = fixed.name;
            document.title = fixed.name;
        }
    }

    async function start() {
        notice.hidden = true;
        if (document.activeElement === $('again')) $('again').blur();
        const [module] = await Promise.all([moduleReady, sheetReady]);
        kov = module;
        game = new kov.Game(seed());
        showGame(true);
        apply(game.takeChanges());
        if (!drawn) {
            drawn = true;
            performance.mark('board-drawn');
        }
        // The menu is built once the first board is on the screen; a key that needs it sooner
        // builds it then.
        if (items.length) showMarks();
        else requestAnimationFrame(() => setTimeout(buildMenu));
        // Whether this page may play is asked once the board is drawn: a game in another tab
        // takes this board away again, and a lock granted after Esc is let go at once.
        const mine = await claim();
        if (!mine) {
            refuse();
        } else if (!game) {
            letGo();
        }
    }

    function stop() {
        closeMenus();
        if (game) game.delete();
        game = null;
        showGame(false);
    }

    // Esc: the game ends as far as a page can; the board goes and a button starts another.
    function end() {
        stop();
        letGo();
        say('Игра окончена.', true);
        $('again').focus();
    }
    // Once: a second press that was on its way when the first started the game goes nowhere.
    $('again').addEventListener('click', () => {
        if (!notice.hidden) start();
    });

    function refuse() {
        stop();
        say(`${fixed.name} уже открыт в другой вкладке.`, false);
    }

    // ---- The board ----

    // Whole device pixels per board pixel, so every picture stays sharp.
    const pixelScale = () => Math.max(1, Math.round(window.devicePixelRatio || 1));

    // The canvas cleared to the ground at the board's size, and every cell painted again with
    // what the game says it shows.
    function layout() {
        const dpr = window.devicePixelRatio || 1;
        const size = game.boardPixels();
        scale = pixelScale();
        canvas.width = size.width * scale;
        canvas.height = size.height * scale;
        canvas.style.width = `${(size.width * scale) / dpr}px`;
        canvas.style.height = `${(size.height * scale) / dpr}px`;
        ctx.imageSmoothingEnabled = false;
        ctx.fillStyle = `rgb(${fixed.ground}, ${fixed.ground}, ${fixed.ground})`;
        ctx.fillRect(0, 0, canvas.width, canvas.height);
        rects = game.cellRects();
        const pictures = game.shownPictures();
        for (let n = 1; n < rects.length; ++n) paint(n, pictures[n]);
    }

    function paint(n, picture) {
        const r = rects[n];
        const edge = fixed.pictureEdge;
        const columns = fixed.sheetColumns;
        ctx.drawImage(sheet, (picture % columns) * edge, Math.floor(picture / columns) * edge,
                      edge, edge, r.left * scale, r.top * scale, r.width * scale, r.height * scale);
    }

    function apply(changes) {
        // A board laid anew is painted whole with what every cell shows after these changes.
        if (changes.reLaid) layout();
        const cells = changes.reLaid ? [] : changes.cells;
        for (let i = 0; i < cells.length; i += 2) paint(cells[i], cells[i + 1]);
        const marks = changes.marks;
        for (let i = 0; i < marks.length; i += 2) setMark(marks[i], marks[i + 1] !== 0);
        if (changes.caption) {
            const text = game.caption();
            caption.textContent = text;
            document.title = text;
        }
        if (changes.close) {
            end();
            return;
        }
        // The board may have moved under a still pointer.
        if (changes.reLaid) reportPointer();
    }

    function run(command) {
        if (!game) return;
        game.run(command);
        apply(game.takeChanges());
    }

    // A new screen density (zoom, another monitor) draws the board anew at its pixel scale.
    window.addEventListener('resize', () => {
        if (game && pixelScale() !== scale) layout();
        if (openPath.length) fitMenus();
    });

    // A point of the window in board pixels.
    function boardPoint(clientX, clientY) {
        const box = canvas.getBoundingClientRect();
        return { x: Math.floor(((clientX - box.left) * canvas.width) / scale / box.width),
                 y: Math.floor(((clientY - box.top) * canvas.height) / scale / box.height) };
    }

    // Where the pointer was last seen, in the window; null before it has been seen.
    let pointer = null;
    document.addEventListener('mousemove', (event) => {
        pointer = { x: event.clientX, y: event.clientY };
    }, true);

    // The game is told where the pointer is over the board, and it decides which cell that is.
    // The browser sends no move when the board moves under a still pointer (a scroll, a new
    // size), so the last place seen is told again then.
    function reportPointer() {
        if (!game || !pointer || document.elementFromPoint(pointer.x, pointer.y) !== canvas) return;
        const at = boardPoint(pointer.x, pointer.y);
        game.pointerAt(at.x, at.y);
    }
    canvas.addEventListener('mousemove', reportPointer);
    document.addEventListener('scroll', reportPointer, true);
    // The press turns, as on the desktop: the second press of a double click is the double
    // click, a third is a plain press again. A tap arrives here as a press too.
    canvas.addEventListener('mousedown', (event) => {
        if (!game || event.button !== 0) return;
        event.preventDefault();
        closeMenus();
        pointer = { x: event.clientX, y: event.clientY };
        const at = boardPoint(event.clientX, event.clientY);
        if (event.detail === 2) game.doubleClickAt(at.x, at.y);
        else game.clickAt(at.x, at.y);
        apply(game.takeChanges());
    });
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());

    // ---- Keys ----

    document.addEventListener('keydown', (event) => {
        if (!game) return;
        if (event.key === 'F10') {
            event.preventDefault();
            byKeys = true;
            if (openPath.length) closeMenus();
            else if (buildMenu()) enter(tops[0]);
            return;
        }
        if (openPath.length) {
            byKeys = true;
            if (menuKey(event)) {
                event.preventDefault();
                return;
            }
        }
        // The game's keys never reach the browser: no help, no find bar, no reload.
        const code = kov.virtualKey(event.key);
        if (!code || !game.keyDown(code, event.repeat)) return;
        event.preventDefault();
        apply(game.takeChanges());
    });

    // ---- The menu bar ----

    // What a menu key does follows from the menu's own state, never from where the browser's
    // focus happens to be: the chain of open entries from the menu bar down, and the
    // highlighted entry, which is the last of the chain or a row of its menu. Every change goes
    // through setMenu, which opens exactly that chain and moves the focus to the highlight, or
    // back to the page when every menu is closed.
    let openPath = [];
    let current = -1;
    let parents = [];  // the entry that holds each entry; -1 on the menu bar
    let rows = [];     // the entries each entry holds, separators left out
    let tops = [];     // the menu bar's entries

    function setMark(entry, checked) {
        if (items[entry] && menu[entry].checkable) items[entry].setAttribute('aria-checked', String(checked));
    }
    function showMarks() {
        if (game) menu.forEach((e, i) => { if (e.checkable) setMark(i, game.checked(i)); });
    }

    function element(tag, cls, text) {
        const e = document.createElement(tag);
        if (cls) e.className = cls;
        if (text !== undefined) e.textContent = text;
        return e;
    }

    // An entry followed by deeper ones opens a menu that holds them. True once the menu exists.
    function buildMenu() {
        if (items.length) return true;
        if (!kov) return false;
        menu = kov.menu();
        const holders = [menubar];
        const chain = [];
        menu.forEach((e, i) => {
            const parent = holders[e.depth];
            holders.length = e.depth + 1;
            chain.length = e.depth;
            parents[i] = e.depth ? chain[e.depth - 1] : -1;
            rows[i] = [];
            if (!e.separator) (e.depth ? rows[parents[i]] : tops).push(i);
            chain.push(i);
            const opens = i + 1 < menu.length && menu[i + 1].depth > e.depth;
            let el;
            if (e.separator) {
                el = element('div', 'separator');
                el.setAttribute('role', 'separator');
            } else if (e.depth === 0) {
                el = element('div', 'top', e.caption);
                el.setAttribute('role', 'menuitem');
            } else {
                el = element('div', 'item');
                el.setAttribute('role', e.checkable ? 'menuitemcheckbox' : 'menuitem');
                el.append(element('span', 'check'), element('span', 'label', e.caption));
                if (e.shortcutLabel) el.append(element('span', 'key', e.shortcutLabel));
                if (opens) el.append(element('span', 'arrow', '▸'));
            }
            el.dataset.id = e.id;
            el.dataset.entry = i;
            if (!e.separator) el.tabIndex = -1;
            if (opens) {
                el.setAttribute('aria-haspopup', 'menu');
                el.setAttribute('aria-expanded', 'false');
                const sub = element('div', 'menu');
                sub.setAttribute('role', 'menu');
                el.append(sub);
                holders.push(sub);
            }
            parent.append(el);
        });
        items = [...menubar.querySelectorAll('[data-entry]')];
        items[tops[0]].tabIndex = 0;
        showMarks();
        return true;
    }

    const entryOf = (el) => Number(el.dataset.entry);
    const opensMenu = (entry) => rows[entry].length > 0;
    // The entry and the entries that hold it, from the menu bar down.
    function chainTo(entry) {
        const chain = [];
        for (let e = entry; e >= 0; e = parents[e]) chain.unshift(e);
        return chain;
    }

    function setMenu(path, highlighted, moveFocus = true) {
        for (const e of openPath) {
            if (path.includes(e)) continue;
            items[e].classList.remove('open');
            items[e].setAttribute('aria-expanded', 'false');
        }
        for (const e of path) {
            items[e].classList.add('open');
            items[e].setAttribute('aria-expanded', 'true');
        }
        openPath = path;
        current = path.length ? highlighted : -1;
        if (!moveFocus) return;
        if (current >= 0) {
            fitMenus();
            items[current].focus({ preventScroll: !byKeys });
        } else if (menubar.contains(document.activeElement)) {
            document.activeElement.blur();
        }
    }
    function closeMenus() {
        if (openPath.length) setMenu([], -1);
    }
    // Opens the menu an entry holds, with its first row highlighted.
    function enter(entry) {
        setMenu(chainTo(entry), rows[entry][0]);
    }
    // Closes the submenu a row sits in and highlights the entry that opened it.
    function back(entry) {
        const holder = parents[entry];
        setMenu(chainTo(parents[holder]), holder);
    }
    // The menu of the next (step 1) or the previous (step -1) entry of the menu bar.
    function nextTop(step) {
        const i = tops.indexOf(openPath[0]);
        enter(tops[(i + step + tops.length) % tops.length]);
    }
    function choose(entry) {
        closeMenus();
        const command = menu[entry].command;
        if (command >= 0) run(command);
    }
    // Where the menus take the whole screen's width, a menu scrolls within the room below the
    // menu bar. Elsewhere an open menu stays inside the window as a desktop menu does: a submenu
    // that would reach past the bottom moves up beside its row, and one taller than the room it
    // has scrolls within itself, so every row can be reached without scrolling the page.
    const narrow = window.matchMedia('(max-width: 600px), (pointer: coarse)');
    function fitMenus() {
        menubar.style.setProperty('--room', `${Math.max(0, window.innerHeight - menubar.getBoundingClientRect().bottom)}px`);
        for (const entry of openPath) {
            const sub = items[entry].lastElementChild;
            if (!sub?.classList.contains('menu')) continue;
            Object.assign(sub.style, { marginTop: '', maxHeight: '', overflowY: '', boxSizing: '' });
            if (narrow.matches) continue;
            const box = sub.getBoundingClientRect();
            const over = box.bottom - window.innerHeight;
            if (over <= 0) continue;
            const lift = menu[entry].depth ? Math.min(over, Math.max(0, box.top)) : 0;
            const room = Math.floor(window.innerHeight - (box.top - lift));
            Object.assign(sub.style, { marginTop: `${-lift}px` },
                          box.height > room ? { maxHeight: `${room}px`, overflowY: 'auto', boxSizing: 'border-box' } : {});
        }
    }

    // Keys while a menu is open: the arrows move, Enter and Space choose, Esc closes one level.
    function menuKey(event) {
        const depth = menu[current].depth;
        switch (event.key) {
            case 'Escape':
                if (depth >= 2) back(current);
                else closeMenus();
                return true;
            case 'ArrowDown':
            case 'ArrowUp': {
                if (depth === 0) {
                    enter(current);
                    return true;
                }
                const siblings = rows[parents[current]];
                const step = event.key === 'ArrowDown' ? 1 : siblings.length - 1;
                const next = siblings[(siblings.indexOf(current) + step) % siblings.length];
                setMenu(chainTo(parents[next]), next);
                return true;
            }
            case 'ArrowRight':
                if (depth > 0 && opensMenu(current)) enter(current);
                else nextTop(1);
                return true;
            case 'ArrowLeft':
                if (depth >= 2) back(current);
                else nextTop(-1);
                return true;
            case 'Enter':
            case ' ':
                if (opensMenu(current)) enter(current);
                else choose(current);
                return true;
            case 'Tab':
                // The browser moves the focus on, out of the menu bar.
                setMenu([], -1, false);
                return false;
            default:
                // A key of the game's closes the menu and acts as usual.
                if (kov.virtualKey(event.key)) closeMenus();
                return false;
        }
    }

    // A press in the menu never takes the focus from where the menu put it.
    menubar.addEventListener('mousedown', (event) => event.preventDefault());
    let pointerKind = 'mouse';
    document.addEventListener('pointerdown', (event) => { pointerKind = event.pointerType; }, true);
    menubar.addEventListener('click', (event) => {
        const el = event.target.closest('.top, .item');
        if (!el || !game) return;
        const entry = entryOf(el);
        if (menu[entry].depth === 0) {
            if (openPath[0] === entry) closeMenus();
            else setMenu([entry], entry);
        } else if (!opensMenu(entry)) {
            choose(entry);
        } else if (pointerKind === 'mouse') {
            enter(entry);
        } else {
            // A tap opens a submenu under its entry, and a second tap folds it again.
            setMenu(chainTo(openPath.includes(entry) ? parents[entry] : entry), entry);
        }
    });
    // A menu opened under a resting pointer must not steal the keyboard's place: only a pointer
    // that really moved takes over. A touch has no hover: its tap is its click.
    let byKeys = false;
    let resting = '';
    document.addEventListener('mousemove', (event) => {
        const at = `${event.screenX},${event.screenY}`;
        if (at !== resting) byKeys = false;
        resting = at;
    }, true);
    menubar.addEventListener('pointerover', (event) => {
        const el = event.target.closest('.top, .item');
        if (event.pointerType !== 'mouse' || !el || !openPath.length || byKeys) return;
        const entry = entryOf(el);
        if (menu[entry].depth === 0) {
            if (openPath[0] !== entry) setMenu([entry], entry);
        } else {
            setMenu(chainTo(opensMenu(entry) ? entry : parents[entry]), entry);
        }
    });
    document.addEventListener('mousedown', (event) => {
        if (!menubar.contains(event.target)) closeMenus();
    });

    // A menu reached by Tab opens: the menu bar takes the keys until Esc.
    menubar.addEventListener('focusin', (event) => {
        const el = event.target.closest('.top');
        if (!openPath.length && el && game) setMenu([entryOf(el)], entryOf(el));
    });

    // ---- Installing and playing offline, served over HTTP ----

    // Once the page has loaded, so the first board need not wait for it.
    if (location.protocol === 'http:' || location.protocol === 'https:') {
        window.addEventListener('load', () => {
            const manifest = document.createElement('link');
            manifest.rel = 'manifest';
            manifest.href = 'manifest.webmanifest';
            document.head.append(manifest);
            if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
        });
    }

    // The first game; a test build's hooks, put in here, wait on it.
    const ready = start();
    /* @HOOKS@ */
})();
