// Only in the page's test build, inside the page's own script: the board arrays as the native
// gamedump prints them, where each cell lies, the pixel scale, the module, and the first game's
// start, which the tests take as done once the menu is built too.
window.kovelint = {
    dump: () => (game ? kov.text(kov.calls._kov_dump(game.at)) : ''),
    cellRect: (n) => rects[n],
    scale: () => scale,
    module: () => kov,
    ready: ready.then(() => new Promise(function built(resolve) {
        if (!game || items.length) resolve();
        else setTimeout(() => built(resolve), 5);
    })),
};
