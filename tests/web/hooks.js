// Only in the page's test build, inside the page's own script: the board arrays as the native
// gamedump prints them, where each cell lies, the pixel scale, and the first game's start.
window.kovelint = {
    dump: () => (game ? kov.dump(game) : ''),
    cellRect: (n) => rects[n],
    scale: () => scale,
    ready,
};
