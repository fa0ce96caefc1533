// Plays offline after the first visit. It keeps the game's own files, the few the build names
// below, and answers only for them; every other address of the site, a page beside the game or
// a mistyped one, goes to the network as if there were no worker at all.
const Cache = 'kovelint-@VERSION@';
// The folder's own address serves the page as index.html does; the page is fetched once and
// kept under both. The icons are the manifest's.
const Page = 'index.html';
const Files = ['./', Page, 'manifest.webmanifest', '@ICONS@'];
const Here = new Set(Files.map((f) => new URL(f, self.registration.scope).href));

// Checked with the server even where the browser holds a copy, so a new build's worker never
// keeps the last build's files, while an unchanged file costs no more than the check.
const fetchFresh = (file) => fetch(new Request(file, { cache: 'no-cache' })).then((response) => {
    if (!response.ok) throw new Error(`${file}: ${response.status}`);
    return response;
});

self.addEventListener('install', (event) => {
    event.waitUntil((async () => {
        const cache = await caches.open(Cache);
        // The page under the address the visit opened it at, which the browser has just loaded.
        const opened = (await self.clients.matchAll({ includeUncontrolled: true, type: 'window' }))
            .map((c) => { const u = new URL(c.url); u.search = ''; u.hash = ''; return u.href; })
            .find((href) => Here.has(href) && (href.endsWith('/') || href.endsWith(`/${Page}`)));
        const page = await fetchFresh(opened ?? Page);
        await Promise.all([
            cache.put('./', page.clone()), cache.put(Page, page),
            ...Files.filter((f) => f !== './' && f !== Page)
                .map(async (f) => cache.put(f, await fetchFresh(f))),
        ]);
        await self.skipWaiting();
    })());
});

// The last build's files go once this one's are in.
self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys()
        .then((keys) => Promise.all(keys.filter((k) => k.startsWith('kovelint-') && k !== Cache)
            .map((k) => caches.delete(k))))
        .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
    const url = new URL(event.request.url);
    url.search = '';
    url.hash = '';
    if (event.request.method !== 'GET' || !Here.has(url.href)) return;
    event.respondWith(caches.open(Cache).then(async (cache) =>
        (await cache.match(url.href)) ?? fetch(event.request)));
});
