// What the web benchmarks share: the order their pages load in and the figures they give.

// The rows of a balanced Latin square (Williams) for `count` pages: in `count` rounds, or an even
// number of them, each page goes in each place and follows each other page equally often, so a
// load that slows the next one weighs on every page alike. Round i loads the pages of row i.
export function balancedOrder(count) {
    const n = count + (count % 2);
    const first = [0];
    for (let j = 1; first.length < n; ++j) {
        first.push(j);
        if (first.length < n) first.push(n - j);
    }
    return Array.from({ length: n }, (_, i) => first.map((x) => (x + i) % n).filter((k) => k < count));
}

export const median = (xs) => {
    const s = [...xs].sort((a, b) => a - b);
    return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

// The ratio of the medians, and beside it the median of the ratios within each round, which
// leaves out what a round shares, such as the machine's load at the time.
export const ratio = (a, b) =>
    `${(median(a) / median(b)).toFixed(2)} (within rounds ${median(a.map((x, i) => x / b[i])).toFixed(2)})`;
