// Keeps the files of one release of the page, so that it plays without a network. The release zip
// (cmake/WebZip.py) writes the release's cache name and its files into the two lines below;
// index.html registers this worker only in a release.
'use strict';
const cacheName = 'zorvex-unreleased';
const files = [];

// Every file by name (a server need not map ./ to index.html); all of them or none. The HTTP
// cache may give those named after their content, the others are revalidated. A new release
// takes over at once: the pages of the old one have their files.
const namedAfterContent = /\.[0-9a-f]{12}\.[a-z]+$/;
self.addEventListener('install', (event) => {
  const requests = files.map((file) => new Request(file, { cache: namedAfterContent.test(file) ? 'default' : 'no-cache' }));
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(requests)).then(() => self.skipWaiting()));
});

// The cache follows the release: older releases' caches go.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('zorvex-') && name !== cacheName)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page from the network when there is one, so that a new release is played at once, else
// the kept one. The other files' names change with their content: a kept copy is always right.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  if (request.mode === 'navigate') {
    event.respondWith(fetch(request).catch(() => caches.match(new URL('index.html', self.registration.scope).href)
      .then((kept) => kept || Response.error())));
  } else {
    event.respondWith(caches.match(request).then((kept) => kept || fetch(request)));
  }
});
