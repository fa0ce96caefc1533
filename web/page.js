// The page is the game window: the caption line, the menu bar built from the controller's
// table, and the board painted from the picture sheet as the controller lists the changes. The
// game decides everything; the page forwards the pointer, the keys and the menu, and draws.
'use strict';
(() => {
    const $ = (id) => document.getElementById(id);
    const win = $('window');
    const caption = $('caption');
    const menubar = $('menubar');
    const canvas = $('board');
    const notice = $('notice');
    const ctx = canvas.getContext('2d', { alpha: false });

    const sheet = new Image();
    sheet.src = '@SHEET@';
    const sheetReady = sheet.decode();
    const moduleReady = KovelintModule();

    let kov = null;      // the module
    let fixed = null;    // the game's fixed values: name, picture edge, sheet layout, ground
    let game = null;     // the controller
    let menu = [];       // the menu table
    let items = [];      // the element of each menu entry
    let rects = [];      // where each cell lies, in board pixels, from cell 1
    let scale = 1;       // device pixels per board pixel
    let release = null;  // lets go of the one-game lock
    let drawn = false;

    // One game per browser: the first page holds a lock for as long as it plays; another page
    // that finds it taken only says so.
    function claim() {
        if (!navigator.locks) return Promise.resolve(true);
        return new Promise((resolve) => {
            navigator.locks.request('kovelint-game', { ifAvailable: true }, (lock) => {
                if (!lock) {
                    resolve(false);
                    return undefined;
                }
                resolve(true);
                return new Promise((done) => { release = done; });
            }).catch(() => resolve(true));
        });
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

    async function start() {
        notice.hidden = true;
        const [module, mine] = await Promise.all([moduleReady, claim(), sheetReady]);
        kov = module;
        fixed = kov.constants();
        if (!mine) {
            say(`${fixed.name} уже открыт в другой вкладке.`, false);
            return;
        }
        game = new kov.Game(seed());
        if (!items.length) buildMenu();
        menu.forEach((e, i) => { if (e.checkable) setMark(i, game.checked(i)); });
        win.hidden = false;
        apply(game.takeChanges());
        if (!drawn) {
            drawn = true;
            performance.mark('board-drawn');
        }
    }

    // Esc: the game ends as far as a page can; the board goes and a button starts another.
    function end() {
        closeMenus();
        game.delete();
        game = null;
        win.hidden = true;
        if (release) release();
        release = null;
        document.title = fixed.name;
        say('Игра окончена.', true);
        $('again').focus();
    }
    $('again').addEventListener('click', () => { start(); });

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
        const count = game.cellCount();
        rects = [null];
        for (let n = 1; n <= count; ++n) {
            rects.push(game.cellRect(n));
            paint(n, game.shownPicture(n));
        }
    }

    function paint(n, picture) {
        const r = rects[n];
        const edge = fixed.pictureEdge;
        const columns = fixed.sheetColumns;
        ctx.drawImage(sheet, (picture % columns) * edge, Math.floor(picture / columns) * edge,
                      edge, edge, r.left * scale, r.top * scale, r.width * scale, r.height * scale);
    }

    function apply(changes) {
        if (changes.reLaid) layout();
        const cells = changes.cells;
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
        if (openPath.length && menuKey(event)) {
            event.preventDefault();
            byKeys = true;
            return;
        }
        if (event.key === 'F10') {
            event.preventDefault();
            byKeys = true;
            openTop(0);
            return;
        }
        // The game's keys never reach the browser: no help, no find bar, no reload.
        const code = kov.virtualKey(event.key);
        if (!code || !game.keyDown(code, event.repeat)) return;
        event.preventDefault();
        apply(game.takeChanges());
    });

    // ---- The menu bar ----

    let openPath = []; // the open entries, from the menu bar down

    function setMark(entry, checked) {
        if (items[entry] && menu[entry].checkable) items[entry].setAttribute('aria-checked', String(checked));
    }

    function element(tag, cls, text) {
        const e = document.createElement(tag);
        if (cls) e.className = cls;
        if (text !== undefined) e.textContent = text;
        return e;
    }

    // An entry followed by deeper ones opens a menu that holds them.
    function buildMenu() {
        menu = kov.menu();
        const holders = [menubar];
        menu.forEach((e, i) => {
            const parent = holders[e.depth];
            holders.length = e.depth + 1;
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
            items[i] = el;
        });
        items.find((el) => el.classList.contains('top')).tabIndex = 0;
    }

    const entryOf = (el) => Number(el.dataset.entry);
    const subOf = (el) => el.querySelector(':scope > .menu');
    const rowsOf = (holder) => [...holder.children].filter((c) => !c.classList.contains('separator'));
    const tops = () => [...menubar.children];

    function closeTo(depth) {
        while (openPath.length > depth) {
            const el = openPath.pop();
            el.classList.remove('open');
            el.setAttribute('aria-expanded', 'false');
        }
    }
    function closeMenus() {
        closeTo(0);
    }
    function open(el) {
        const depth = menu[entryOf(el)].depth;
        closeTo(depth);
        el.classList.add('open');
        el.setAttribute('aria-expanded', 'true');
        openPath.push(el);
    }
    // Opens the menu an entry holds, with its first row focused.
    function enter(el) {
        open(el);
        rowsOf(subOf(el))[0].focus();
    }
    function openTop(index) {
        enter(tops()[index]);
    }
    // Closes every menu and gives the keys back to the board.
    function leaveMenus() {
        closeMenus();
        if (menubar.contains(document.activeElement)) document.activeElement.blur();
    }
    // Closes the submenu an entry at this depth sits in and focuses the entry that opened it.
    function back(depth) {
        const parent = openPath[depth - 1];
        closeTo(depth - 1);
        parent.focus();
    }

    function activate(el) {
        if (subOf(el)) {
            enter(el);
            return;
        }
        leaveMenus();
        const command = menu[entryOf(el)].command;
        if (command >= 0) run(command);
    }

    menubar.addEventListener('mousedown', (event) => event.preventDefault());
    menubar.addEventListener('click', (event) => {
        const el = event.target.closest('.top, .item');
        if (!el || !game) return;
        if (el.classList.contains('top')) {
            if (el.classList.contains('open')) closeMenus();
            else open(el);
            return;
        }
        activate(el);
    });
    // A menu opened under a resting pointer must not steal the keyboard's place: only a pointer
    // that really moved takes over.
    let byKeys = false;
    let resting = '';
    document.addEventListener('mousemove', (event) => {
        const at = `${event.screenX},${event.screenY}`;
        if (at !== resting) byKeys = false;
        resting = at;
    }, true);
    menubar.addEventListener('mouseover', (event) => {
        const el = event.target.closest('.top, .item');
        if (!el || !openPath.length || byKeys) return;
        if (el.classList.contains('top')) {
            if (!el.classList.contains('open')) open(el);
            return;
        }
        el.focus({ preventScroll: true });
        if (subOf(el)) open(el);
        else closeTo(menu[entryOf(el)].depth);
    });
    document.addEventListener('mousedown', (event) => {
        if (!menubar.contains(event.target)) closeMenus();
    });

    // Keys while a menu is open: the arrows move, Enter and Space choose, Esc closes one level.
    function menuKey(event) {
        const focused = document.activeElement;
        const current = focused && menubar.contains(focused) ? focused : openPath[openPath.length - 1];
        const depth = menu[entryOf(current)].depth;
        const topIndex = tops().indexOf(openPath[0]);
        const holder = current.parentElement;
        switch (event.key) {
            case 'Escape':
                if (depth <= 1) leaveMenus();
                else back(depth);
                return true;
            case 'ArrowDown':
            case 'ArrowUp': {
                if (depth === 0) {
                    openTop(topIndex);
                    return true;
                }
                const rows = rowsOf(holder);
                const step = event.key === 'ArrowDown' ? 1 : rows.length - 1;
                rows[(rows.indexOf(current) + step) % rows.length].focus();
                closeTo(depth);
                return true;
            }
            case 'ArrowRight':
                if (depth > 0 && subOf(current)) {
                    activate(current);
                    return true;
                }
                openTop((topIndex + 1) % tops().length);
                return true;
            case 'ArrowLeft':
                if (depth === 2) {
                    back(depth);
                    return true;
                }
                openTop((topIndex + tops().length - 1) % tops().length);
                return true;
            case 'Enter':
            case ' ':
                if (depth === 0) openTop(topIndex);
                else activate(current);
                return true;
            case 'Tab':
                closeMenus();
                return false;
            default:
                // A key of the game's closes the menu and acts as usual.
                if (kov.virtualKey(event.key)) closeMenus();
                return false;
        }
    }

    // A menu reached by Tab opens: the menu bar takes the keys until Esc.
    menubar.addEventListener('focusin', (event) => {
        if (!openPath.length && event.target.classList.contains('top')) open(event.target);
    });

    // ---- Installing and playing offline, served over HTTP ----

    if (location.protocol === 'http:' || location.protocol === 'https:') {
        const manifest = document.createElement('link');
        manifest.rel = 'manifest';
        manifest.href = 'manifest.webmanifest';
        document.head.append(manifest);
        if ('serviceWorker' in navigator)
            window.addEventListener('load', () => navigator.serviceWorker.register(
                `sw.js?page=${encodeURIComponent(location.pathname.split('/').pop() || './')}`).catch(() => {}));
    }

    // The first game; a test build's hooks, put in here, wait on it.
    const ready = start();
    /* @HOOKS@ */
})();
