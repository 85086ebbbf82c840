// Keeps the files of one release of the page, so that it plays without a network and starts at
// once on a poor one. The release zip (cmake/WebZip.py) writes the release's name and its files
// into the two lines below; the page registers this worker only in a release.
'use strict';
const release = 'zorvex-unreleased';
const files = [];

// Caches belong to the origin, which other copies of the game may share (/zorvex/ and
// /zorvex-beta/ on one host): each is named after the worker's scope as well as its release, and
// a worker removes only its own scope's.
const scope = self.registration.scope;
const cacheName = `${scope} ${release}`;
const isOfThisScope = (name) => name.startsWith(`${scope} zorvex-`);
const pagePaths = [new URL(scope).pathname, new URL('index.html', scope).pathname];
const gameScript = new URL(files.find((file) => /^zorvex\.[0-9a-f]{12}\.js$/.test(file)) ?? 'zorvex.js', scope).href;

// Every file by name (a server need not map ./ to index.html); all of them or none, and one the
// server does not give fails the install, named. The HTTP cache may give those named after their
// content, the others are revalidated. A new release takes over at once: the pages of older ones
// keep their caches while they are open.
const namedAfterContent = /\.[0-9a-f]{12}\.[a-z]+$/;
async function keepFiles() {
  const cache = await caches.open(cacheName);
  // Each response is read into the cache as it comes: a browser opens a few connections to a host
  // at a time, and one whose response is left unread holds its connection.
  const keep = async (file) => {
    const request = new Request(file, { cache: namedAfterContent.test(file) ? 'default' : 'no-cache' });
    const response = await fetch(request);
    if (!response.ok) throw new Error(`${file}: ${response.status} ${response.statusText}`.trim());
    await cache.put(request, response);
  };
  try {
    await Promise.all(files.map(keep));
  } catch (error) {
    await caches.delete(cacheName);
    throw error;
  }
}
self.addEventListener('install', (event) => event.waitUntil(keepFiles().then(() => self.skipWaiting())));

// A page of an older release may still ask for its files, which the host may have removed since:
// older releases' caches go only once every open page is known to be of this release, as a page is
// once it has asked for this release's game script. Until the worker is stopped, that is; after,
// the pages it knew count as unknown, and the caches wait for the next page that asks.
const pagesOfThisRelease = new Set();
async function removeOlderReleases() {
  const pages = await self.clients.matchAll({ type: 'window', includeUncontrolled: true });
  if (!pages.every((page) => pagesOfThisRelease.has(page.id))) return;
  const older = (await caches.keys()).filter((name) => isOfThisScope(name) && name !== cacheName);
  await Promise.all(older.map((name) => caches.delete(name)));
}
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim().then(removeOlderReleases)));

// The page from this release at once, rather than after a network that may pass nothing: it
// always finds its files here, and the browser looks for a new worker meanwhile, whose release
// the next load plays. Other navigations in the folder (README.md, LICENSE.txt) are the network's.
async function keptPage(request) {
  const kept = await (await caches.open(cacheName)).match('index.html');
  return kept || fetch(request);
}

// This release's files, else an older release's for its pages, else the network's.
async function keptFile(request) {
  const kept = await (await caches.open(cacheName)).match(request) || await caches.match(request);
  return kept || fetch(request);
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  if (request.mode === 'navigate') {
    if (pagePaths.includes(url.pathname)) event.respondWith(keptPage(request));
    return;
  }
  if (url.href === gameScript && event.clientId) {
    pagesOfThisRelease.add(event.clientId);
    event.waitUntil(removeOlderReleases());
  }
  event.respondWith(keptFile(request));
});
