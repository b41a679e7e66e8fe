// The page's service worker: the first visit keeps every file of the page in a cache named for
// this build, so that the game then opens and plays with no network. A new build is a new
// worker (its cache name differs), which fills its own cache, takes over and drops the old ones;
// the files of one game always come from one build. scripts/web writes the build's name in.
const cacheName = 'marbloom-@PAGE_VERSION@';
const files = [@PAGE_FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(files)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches.keys()
      .then((names) => Promise.all(names.filter((n) => n.startsWith('marbloom-') && n !== cacheName).map((n) => caches.delete(n))))
      .then(() => self.clients.claim()));
});

// The cache first; what it lacks (another site's file, a file added later) from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(
    caches.open(cacheName)
      .then((cache) => cache.match(event.request, { ignoreSearch: true }))
      .then((found) => found || fetch(event.request)));
});
