// The release zip as a host serves it, in Chromium: what it holds and how it is dated, installing
// it once its service worker is active, files that do not load, a page opened as a file, and an
// image as large as the desktop accepts. The worker's cases for every engine are in Offline.test.mjs.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import {
  existingFile, launchBrowser, pictureAfterFrames, pixelAt, releaseFile, unpackRelease, waitForFirstFrame, withPage,
  withServedPage,
} from './support.mjs';

const sourceFolder = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const zip = existingFile('ZORVEX_WEB_ZIP', 'scripts/package');
const release = unpackRelease(zip);
const browser = await launchBrowser();
after(async () => {
  await browser.close();
  release.remove();
});

const read = (folder, name) => readFileSync(path.join(folder, name));
const gameFiles = (folder) => ['js', 'wasm', 'data'].map((kind) => releaseFile(folder, kind));
const pngSize = (bytes) => [bytes.readUInt32BE(16), bytes.readUInt32BE(20)];

test('the zip holds the page, its modules, manifest, icons and service worker, names the game files and the modules after their content, and carries the sources\' date', () => {
  const listing = JSON.parse(execFileSync('python3', ['-c',
    'import json, sys, zipfile; print(json.dumps([[i.filename, i.date_time] for i in zipfile.ZipFile(sys.argv[1]).infolist()]))', zip]));
  const names = listing.map(([name]) => path.basename(name));
  for (const name of ['index.html', 'service-worker.js', 'zorvex.webmanifest', 'zorvex-64.png', 'zorvex-192.png', 'zorvex-512.png', 'README.md'])
    assert.ok(names.includes(name), `the zip holds no ${name}`);
  const [script, wasm, data] = gameFiles(release.folder);
  for (const name of [script, wasm, data])
    assert.equal(name.split('.')[1], createHash('sha256').update(read(release.folder, name)).digest('hex').slice(0, 12), `${name} is not named after its content`);
  assert.ok(read(release.folder, 'index.html').includes(`src="${script}"`), 'index.html does not load the hashed script');
  const scriptText = read(release.folder, script).toString();
  assert.ok(scriptText.includes(`"${wasm}"`) && scriptText.includes(`"${data}"`), 'the script does not ask for the hashed wasm and data');

  // Every module under its content's name, the entry named by the page, each import by the module's name.
  const modules = names.filter((name) => /^[a-z-]+\.[0-9a-f]{12}\.js$/.test(name) && !name.startsWith('zorvex.'));
  assert.deepEqual(modules.map((name) => name.split('.')[0]).sort(),
    ['keys', 'layout', 'loading', 'message-box', 'offline', 'page', 'touch', 'webgl']);
  for (const name of modules)
    assert.equal(name.split('.')[1], createHash('sha256').update(read(release.folder, name)).digest('hex').slice(0, 12), `${name} is not named after its content`);
  const page = read(release.folder, 'index.html').toString();
  assert.ok(page.includes(`<script type="module" src="${modules.find((name) => name.startsWith('page.'))}"></script>`), 'index.html does not load the hashed page.js');
  assert.ok(!/<script>|<script type="module">|\son[a-z]+=/.test(page), 'index.html holds script of its own');
  for (const name of modules)
    for (const [, imported] of read(release.folder, name).toString().matchAll(/from '\.\/([^']+)'/g))
      assert.ok(modules.includes(imported), `${name} imports ${imported}, which the zip does not hold`);
  const kept = /const files = (\[[^\]]*\]);/.exec(read(release.folder, 'service-worker.js'))[1];
  for (const name of [...modules, script, wasm, data]) assert.ok(kept.includes(`'${name}'`), `the worker does not keep ${name}`);

  const manifest = JSON.parse(read(release.folder, 'zorvex.webmanifest'));
  assert.equal(manifest.name, 'Zorvex');
  assert.ok(['standalone', 'fullscreen'].includes(manifest.display));
  for (const size of [192, 512]) {
    const icon = manifest.icons.find((entry) => entry.sizes === `${size}x${size}`);
    assert.ok(icon, `the manifest has no ${size}-px icon`);
    assert.deepEqual(pngSize(read(release.folder, icon.src)), [size, size]);
  }

  // One date for all: that of a commit of the sources (the last when the zip was made; others
  // may have come since), or SOURCE_DATE_EPOCH where the build was given one.
  const dates = new Set(listing.map(([, date]) => Date.UTC(date[0], date[1] - 1, ...date.slice(2))));
  assert.equal(dates.size, 1, 'the entries carry different dates');
  const [date] = dates;
  const commitTimes = process.env.SOURCE_DATE_EPOCH ? [process.env.SOURCE_DATE_EPOCH]
    : execFileSync('git', ['-C', sourceFolder, 'log', '--format=%ct'], { encoding: 'utf8' }).trim().split('\n');
  // A zip's times have a resolution of two seconds.
  assert.ok(commitTimes.some((time) => date <= 1000 * time && date > 1000 * time - 2000),
    `the entries are dated ${new Date(date).toISOString()}, which is no commit's date`);
});

test('once its service worker is active the page is installable', async () => {
  await withServedPage(browser, release.folder, null, async ({ page }) => {
    await waitForFirstFrame(page);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 15000 });
    const session = await page.context().newCDPSession(page);
    // Playwright's contexts are the browser's private windows, in which nothing is installed.
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors.filter((error) => error.errorId !== 'in-incognito'), []);
  });
});

test('a game file that does not load is named, instead of "Loading…"', async () => {
  for (const missing of gameFiles(release.folder)) {
    const withoutIt = (name, bytes) => {
      if (name === missing) throw new Error('not served');
      return bytes;
    };
    await withServedPage(browser, release.folder, withoutIt, async ({ page }) => {
      await page.locator('#status', { hasText: `could not load ${missing}` }).waitFor({ timeout: 15000 });
      assert.equal(await page.evaluate(() => window.zorvex.frames), 0);
    });
  }
});

// Its modules do not load from a file, and so the page's own line says it, in a while.
test('opened as a file, the page says to serve it over http(s)', async () => {
  await withPage(browser, `file://${path.join(release.folder, 'index.html')}`, {}, async ({ page }) => {
    const hint = page.locator('#not-started');
    await page.waitForFunction(() => getComputedStyle(document.getElementById('not-started')).visibility === 'visible', null, { timeout: 10000 });
    assert.ok(await hint.isVisible());
    const said = await hint.textContent();
    assert.match(said, /serve its folder over http or https/);
    assert.match(said, /README/);
  });
});

test('a 4096 × 4096 background, the largest image the desktop takes, is drawn: the heap grows for it', async () => {
  const colour = [200, 40, 160];
  const png = await withPage(browser, 'about:blank', {}, ({ page }) => page.evaluate(async (rgb) => {
    const canvas = new OffscreenCanvas(4096, 4096);
    const context = canvas.getContext('2d');
    context.fillStyle = `rgb(${rgb})`;
    context.fillRect(0, 0, 4096, 4096);
    const bytes = new Uint8Array(await (await canvas.convertToBlob({ type: 'image/png' })).arrayBuffer());
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }, colour));
  const image = Buffer.from(png, 'base64');

  // background.jpg's bytes in zorvex.data replaced, and the package's list of files in the script moved to fit.
  const [script, , dataFile] = gameFiles(release.folder);
  const scriptText = read(release.folder, script).toString();
  const listed = /loadPackage\((\{"files".*?\})\)/.exec(scriptText);
  const metadata = JSON.parse(listed[1]);
  const background = metadata.files.find((file) => file.filename === '/background.jpg');
  const growth = image.length - (background.end - background.start);
  const data = read(release.folder, dataFile);
  const changedData = Buffer.concat([data.subarray(0, background.start), image, data.subarray(background.end)]);
  for (const file of metadata.files) if (file.start >= background.end) file.start += growth;
  for (const file of metadata.files) if (file.end >= background.end) file.end += growth;
  metadata.remote_package_size += growth;
  const changedScript = scriptText.replace(listed[1], JSON.stringify(metadata));

  const withTheLargeImage = (name, bytes) => ({ [script]: changedScript, [dataFile]: changedData }[name] ?? bytes);
  await withServedPage(browser, release.folder, withTheLargeImage, async ({ page, output, errors }) => {
    await waitForFirstFrame(page);
    const shown = await pixelAt(page, await pictureAfterFrames(page, 3), 40, 450);
    assert.ok(shown.slice(0, 3).every((value, i) => Math.abs(value - colour[i]) <= 3), `the background shows ${shown}, not ${colour}`);
    assert.deepEqual([output, errors], [[], []]);
  });
});
