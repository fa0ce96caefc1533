// Plays offline after the first visit: the page and its few files are cached on install and
// served from the cache, while the network refreshes them in the background.
const Cache = 'kovelint-@VERSION@';
// The page once, under the address it was opened at: the first visit has just loaded it, so the
// copy is only revalidated. The icons are the manifest's.
const Page = new URL(location.href).searchParams.get('page') || './';
const Files = [Page, 'manifest.webmanifest', '@ICONS@'];

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(Cache).then((c) => c.addAll(Files)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys()
        .then((keys) => Promise.all(keys.filter((k) => k !== Cache).map((k) => caches.delete(k))))
        .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
    if (event.request.method !== 'GET') return;
    event.respondWith(caches.open(Cache).then(async (cache) => {
        const cached = (await cache.match(event.request, { ignoreSearch: true })) ??
            (event.request.mode === 'navigate' ? await cache.match(Page) : undefined);
        const fresh = fetch(event.request).then((response) => {
            if (response.ok) cache.put(event.request, response.clone());
            return response;
        });
        if (!cached) return fresh;
        fresh.catch(() => {});
        return cached;
    }));
});
