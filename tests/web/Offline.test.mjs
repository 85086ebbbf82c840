// The release's service worker in the engine ZORVEX_WEB_ENGINE names (engines.mjs), the same cases
// in each: play without a network after one visit, and only the page's own URLs answered then; a
// network that passes nothing; a new release's page on the server before its files; a new release
// with a page of the old one open; two copies of the game on one origin; a file missing on the
// server. Each case has a server, and so an origin, of its own.
import assert from 'node:assert/strict';
import { cpSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { after, test } from 'node:test';

import { engineOfTheRun, launchEngine } from './engines.mjs';
import {
  assertQuiet, releaseFile, releaseOfBuild, serve, temporaryFolder, unpackRelease, waitForFirstFrame, waitFrames,
  waitPageTicks,
} from './support.mjs';

const release = unpackRelease();
const newer = releaseOfBuild();
const engine = await launchEngine(engineOfTheRun());
after(async () => {
  await engine.close();
  release.remove();
  newer.remove();
});

// Runs `work` with a server of its own for `folders` (as support.mjs's serve takes them) and
// `open(url)`, which opens a page of the engine there; the server and every page opened are let go
// however `work` ends.
async function withServer(folders, rewrite, work) {
  const server = await serve(folders, rewrite, { consoleInPage: engine.consoleInPage });
  const pages = [];
  const open = async (url = server.url) => {
    const page = await engine.newPage(url);
    pages.push(page);
    return page;
  };
  try {
    return await work({ server, open });
  } finally {
    for (const page of pages) await page.close().catch(() => {});
    await server.close();
  }
}

const gameFiles = (folder) => ['js', 'wasm', 'data'].map((kind) => releaseFile(folder, kind)).sort();
// The zorvex.<hash>.* files a page has loaded, by name.
const loadedGameFiles = (page) => page.evaluate(() => performance.getEntriesByType('resource')
  .map((entry) => new URL(entry.name).pathname.split('/').pop())
  .filter((name) => /^zorvex\.[0-9a-f]{12}\.(js|wasm|data)$/.test(name)).sort());
const releaseName = (folder) => /const release = '([^']+)'/.exec(readFileSync(path.join(folder, 'service-worker.js')))[1];
const cacheOf = (scope, folder) => `${scope} ${releaseName(folder)}`;
const cacheNames = (page) => page.evaluate(() => caches.keys());

// Once the active service worker has taken the page, with none installing or waiting after it.
const waitForWorker = (page) => page.waitForFunction(() => navigator.serviceWorker.controller?.state === 'activated' &&
  navigator.serviceWorker.getRegistration().then((registration) => !registration.installing && !registration.waiting));
// The page's caches once they are `expected`, or after 100 of the page's ticks (about 5 s).
async function cachesOnceSettled(page, expected) {
  let names;
  for (let tries = 0; tries < 100; ++tries) {
    names = (await cacheNames(page)).sort();
    if (names.join() === [...expected].sort().join()) break;
    await waitPageTicks(page, 1);
  }
  return names;
}


// What a navigation the network refuses shows: anything but the game.
async function showsTheGame(page, url) {
  await page.goto(url).catch(() => {});
  return page.evaluate(() => document.getElementById('canvas') !== null).catch(() => false);
}

test(`${engine.version}: after one visit the page plays without a network, and answers only for itself then`, async () => {
  await withServer(release.folder, null, async ({ server, open }) => {
    const page = await open();
    await waitForFirstFrame(page);
    await waitForWorker(page);
    await server.close();
    await page.reload();
    await waitForFirstFrame(page);
    await waitFrames(page, 5);
    assert.deepEqual(await loadedGameFiles(page), gameFiles(release.folder));
    await assertQuiet(page);
    assert.ok(await showsTheGame(page, `${server.url}index.html`), 'index.html does not show the game offline');
    for (const other of ['README.md', 'LICENSE.txt'])
      assert.ok(!(await showsTheGame(page, server.url + other)), `${other} shows the game offline`);
  });
});

test(`${engine.version}: on a network that passes nothing the kept page plays at once`, async () => {
  let stalled = false;
  const stallWhenAsked = (name, bytes) => (stalled ? new Promise(() => {}) : bytes);
  await withServer(release.folder, stallWhenAsked, async ({ server, open }) => {
    const page = await open();
    await waitForFirstFrame(page);
    await waitForWorker(page);
    stalled = true;
    await page.goto(server.url);
    await waitForFirstFrame(page);
    await waitFrames(page, 5);
    assert.deepEqual(await loadedGameFiles(page), gameFiles(release.folder));
  });
});

test(`${engine.version}: a new release's index.html on the server before its files: the kept release plays whole`, async () => {
  let newPage = false;
  const newerIndex = readFileSync(path.join(newer.folder, 'index.html'));
  const pageFirst = (name, bytes) => (newPage && name === 'index.html' ? newerIndex : bytes);
  await withServer(release.folder, pageFirst, async ({ open }) => {
    const page = await open();
    await waitForFirstFrame(page);
    await waitForWorker(page);
    newPage = true;
    await page.reload();
    await waitForFirstFrame(page);
    await waitFrames(page, 5);
    assert.deepEqual(await loadedGameFiles(page), gameFiles(release.folder));
    await assertQuiet(page);
  });
});

// The newer release is the empty-level game, whose first frame shows the win box.
const winBoxShown = (page) => page.waitForFunction(() => document.getElementById('message-box').open);

test(`${engine.version}: a new release with a page of the old one open: the old page keeps its files, the next load plays the kept release and the one after the new, and the old cache goes with the old pages`, async () => {
  await withServer(release.folder, null, async ({ server, open }) => {
    const old = await open();
    await waitForFirstFrame(old);
    await waitForWorker(old);
    // The host puts the new release in place of the old, whose files are gone from the server.
    server.serveFolder(newer.folder);

    // The next load has the browser look for a new worker, which takes over at once.
    const next = await open();
    await next.waitForFunction((name) => caches.has(name), cacheOf(server.url, newer.folder));
    await waitForWorker(next);
    await waitForWorker(old);

    // A page of the old release that asks for one of its files once the new one has taken over.
    const oldWasm = releaseFile(release.folder, 'wasm');
    assert.equal(await old.evaluate((file) => fetch(file).then((response) => response.status, String), oldWasm), 200,
      'the old release\'s page lost its files to the new release');
    await waitForFirstFrame(next);
    assert.deepEqual(await loadedGameFiles(next), gameFiles(release.folder), 'the next load did not play the kept release whole');

    const newest = await open();
    await winBoxShown(newest);
    assert.deepEqual(await loadedGameFiles(newest), gameFiles(newer.folder));
    await old.close();
    await next.close();
    await newest.reload();
    await winBoxShown(newest);
    const kept = [cacheOf(server.url, newer.folder)];
    assert.deepEqual(await cachesOnceSettled(newest, kept), kept);
    await assertQuiet(newest);
  });
});

// The zip's release under another release's name in `folder`, as a beta copy of the game would be.
function copyAsBeta(folder) {
  cpSync(release.folder, folder, { recursive: true });
  const worker = path.join(folder, 'service-worker.js');
  writeFileSync(worker, readFileSync(worker, 'utf8').replace(releaseName(release.folder), 'zorvex-0123456789ab'));
}

test(`${engine.version}: two copies of the game on one origin keep their own caches, and each plays offline`, async (t) => {
  const beta = temporaryFolder();
  t.after(() => rmSync(beta, { recursive: true }));
  copyAsBeta(beta);
  await withServer({ 'zorvex/': release.folder, 'zorvex-beta/': beta }, null, async ({ server, open }) => {
    const scopes = [`${server.url}zorvex/`, `${server.url}zorvex-beta/`];
    const pages = [];
    for (const scope of scopes) {
      const page = await open(scope);
      await waitForFirstFrame(page);
      await waitForWorker(page);
      pages.push(page);
    }
    const both = [cacheOf(scopes[0], release.folder), cacheOf(scopes[1], beta)];
    assert.deepEqual(await cachesOnceSettled(pages[0], both), both.sort());
    await server.close();
    for (const page of pages) {
      await page.reload();
      await waitForFirstFrame(page);
    }
  });
});

test(`${engine.version}: a kept file missing on the server: the game plays, and the page says once on the console that it cannot be played offline`, async () => {
  const withoutIcon = (name, bytes) => {
    if (name === 'zorvex-512.png') throw new Error('not served');
    return bytes;
  };
  await withServer(release.folder, withoutIcon, async ({ open }) => {
    const page = await open();
    await waitForFirstFrame(page);
    const said = async () => (await page.output()).filter((line) => line.includes('cannot be played offline'));
    // A registration whose first worker failed is gone at once in some engines: the console is watched.
    for (let ticks = 0; ticks < 300 && (await said()).length === 0; ++ticks) await waitPageTicks(page, 1);
    await waitPageTicks(page, 10);
    assert.equal((await said()).length, 1, `the console says ${JSON.stringify(await page.output())}`);
    assert.equal(await page.evaluate(() => navigator.serviceWorker.controller), null);
  });
});
