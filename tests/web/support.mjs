// What the web tests and the web benchmark share: the release zip unpacked, a static server of
// our own on 127.0.0.1, Debian's Chromium through playwright-core, and the desktop's picture checks
// on the browser's screenshots. Paths come from the environment that CTest or scripts/bench-web sets.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after } from 'node:test';
import { fileURLToPath } from 'node:url';

// A file named by the environment; `maker` says what makes it.
export function existingFile(name, maker) {
  const file = process.env[name];
  if (!file) throw new Error(`${name} is not set: run the web tests through ctest -L web`);
  if (!existsSync(file)) throw new Error(`${file} is missing: ${maker} makes it`);
  return file;
}

// Installed into the build tree by the web.InstallPlaywright fixture, not beside these files.
const { chromium, devices } = createRequire(path.join(existingFile('ZORVEX_WEB_NODE_MODULES', 'npm ci'), 'x'))('playwright-core');
export { devices };

export const temporaryFolder = () => mkdtempSync(path.join(os.tmpdir(), 'zorvex-web-'));

// `folder` is the zip's one top folder, zorvex-<version>-web.
export function unpackRelease(zip = existingFile('ZORVEX_WEB_ZIP', 'scripts/package')) {
  const root = temporaryFolder();
  execFileSync('unzip', ['-q', zip, '-d', root]);
  return { folder: path.join(root, path.basename(zip, '.zip')), remove: () => rmSync(root, { recursive: true }) };
}

const sourceFolder = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// A page of the web build (its path less .html) made into a release by the same script as the
// zip, unpacked as unpackRelease does: by default the empty-level game, whose first frame shows
// the win box, a second release whose content differs from the zip's.
export function releaseOfBuild(built = existingFile('ZORVEX_WEB_EMPTY_LEVEL_PAGE', 'scripts/build-web').replace(/\.html$/, '')) {
  const folder = temporaryFolder();
  const web = path.join(sourceFolder, 'web');
  const top = path.basename(existingFile('ZORVEX_WEB_ZIP', 'scripts/package'), '.zip');
  const entries = {
    'index.html': `${built}.html`, 'zorvex.js': `${built}.js`, 'zorvex.wasm': `${built}.wasm`, 'zorvex.data': `${built}.data`,
    'zorvex.webmanifest': path.join(web, 'zorvex.webmanifest'),
  };
  // The page's modules: every .js beside the page but the game's Emscripten libraries.
  for (const name of readdirSync(web).filter((file) => file.endsWith('.js') && !file.endsWith('-library.js')))
    entries[name] = path.join(web, name);
  for (const icon of ['zorvex-64.png', 'zorvex-192.png', 'zorvex-512.png']) entries[icon] = path.join(sourceFolder, 'packaging/icons', icon);
  const zip = path.join(folder, `${top}.zip`);
  try {
    execFileSync('python3', [path.join(sourceFolder, 'cmake/WebZip.py'), zip,
      ...Object.entries(entries).map(([name, file]) => `${top}/${name}=${file}`)]);
    return unpackRelease(zip);
  } finally {
    rmSync(folder, { recursive: true });
  }
}

// The release's game file of a kind ('js', 'wasm' or 'data'), named after its content.
export function releaseFile(folder, kind) {
  const names = readdirSync(folder).filter((name) => new RegExp(`^zorvex\\.[0-9a-f]{12}\\.${kind}$`).test(name));
  if (names.length !== 1) throw new Error(`${folder} holds ${names.length} zorvex.<hash>.${kind}`);
  return names[0];
}

const contentTypes = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json',
};

// The console of an engine whose driver has none, kept in the page (window.zorvexTestConsole) by
// a script that serve(..., { consoleInPage: true }) puts first into every index.html.
function keepConsoleInPage() {
  const kept = window.zorvexTestConsole = { output: [], errors: [] };
  for (const level of ['log', 'error']) {
    const write = console[level];
    console[level] = (...values) => {
      kept.output.push(values.map(String).join(' '));
      return write.apply(console, values);
    };
  }
  window.addEventListener('error', (event) => kept.errors.push(event.message));
  window.addEventListener('unhandledrejection', (event) => kept.errors.push(String(event.reason)));
}
const consoleScript = 'zorvex-test-console.js';

// Serves `folder` on an ephemeral port, or several folders each under its own path
// ({ 'zorvex/': one, 'zorvex-beta/': other }); `rewrite(name, bytes)`, if given, may change a file
// on its way (`name` within its folder), as a broken network would, hold it back (by returning a
// promise), or throw to make it a 404. serveFolder(other) puts another folder at the same address,
// as a new release on a server. `headers` go with every file. Stopped by close().
export async function serve(folders, rewrite = null, { headers = {}, consoleInPage = false } = {}) {
  let served = typeof folders === 'string' ? { '': folders } : folders;
  const server = http.createServer(async (request, response) => {
    const wanted = path.normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname)).slice(1);
    try {
      if (consoleInPage && wanted === consoleScript) {
        response.writeHead(200, { 'Content-Type': 'text/javascript', ...headers }).end(`(${keepConsoleInPage})();\n`);
        return;
      }
      const prefix = Object.keys(served).filter((p) => wanted.startsWith(p)).sort((a, b) => b.length - a.length)[0];
      const name = wanted.slice(prefix.length) || 'index.html';
      const file = await readFile(path.join(served[prefix], name));
      let bytes = rewrite ? await rewrite(name, file) : file;
      if (consoleInPage && name === 'index.html')
        bytes = Buffer.from(bytes.toString().replace('<head>', `<head>\n<script src="/${consoleScript}"></script>`));
      const type = contentTypes[path.extname(name)] ?? 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-store', ...headers }).end(bytes);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    serveFolder: (other) => {
      served = { '': other };
    },
    close: () => new Promise((resolve) => server.close(resolve).closeAllConnections()),
  };
}

// WebGL 2 from SwiftShader; scrolls at once rather than animated, so that a key that scrolls the
// page shows at once; and none of the browser's own connections, which this closed network would
// refuse many at a time. Playwright gives it a fresh profile and ends it by its handle on close().
export function launchBrowser(extraFlags = []) {
  return chromium.launch({
    executablePath: process.env.ZORVEX_CHROMIUM || '/usr/bin/chromium',
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-smooth-scrolling',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
      '--disable-quic', ...extraFlags],
  });
}

// The release unpacked and served, and a browser, for a test file's tests: let go when they have
// all run, also when a step here fails.
export async function servedRelease() {
  const opened = { release: unpackRelease() };
  after(async () => {
    await opened.browser?.close();
    await opened.server?.close();
    opened.release.remove();
  });
  opened.server = await serve(opened.release.folder);
  opened.browser = await launchBrowser();
  return opened;
}

// A new page at `url`: `output` collects the game's standard output and error (the console's log
// and error lines), `errors` uncaught exceptions. `watch` runs in the page before its scripts.
// `device` is a Playwright device profile or other context options (default: a 900 × 900 window).
export async function openPage(browser, url, watch = null, device = {}) {
  const page = await browser.newPage({ viewport: { width: 900, height: 900 }, ...device });
  if (watch) await page.addInitScript(watch);
  const output = [];
  const errors = [];
  page.on('console', (message) => ['log', 'error'].includes(message.type()) && output.push(message.text()));
  page.on('pageerror', (error) => errors.push(error));
  await page.goto(url);
  return { page, output, errors };
}

// Runs `work` on a new page at `url` ({ page, output, errors } as openPage gives them, with its
// `watch` and `device`) and closes the page however `work` ends.
export async function withPage(browser, url, { watch = null, device = {} }, work) {
  const opened = await openPage(browser, url, watch, device);
  try {
    return await work(opened);
  } finally {
    await opened.page.close();
  }
}

// withPage on a server of its own for `folder`, made by serve(folder, rewrite) and closed after
// the page; `work` also gets the `server`.
export async function withServedPage(browser, folder, rewrite, work) {
  const server = await serve(folder, rewrite);
  try {
    return await withPage(browser, server.url, {}, (opened) => work({ ...opened, server }));
  } finally {
    await server.close();
  }
}

// A page of engines.mjs wrote nothing to its console and threw nothing.
export async function assertQuiet(page) {
  assert.deepEqual([await page.output(), await page.errors()], [[], []]);
}

export const gameStatus = (page) => page.evaluate(() => ({ ...window.zorvex }));

export const waitForFirstFrame = (page) =>
  page.waitForFunction(() => window.zorvex && window.zorvex.firstFrameAt !== null, null, { timeout: 15000 });

// Waits until the game has drawn `count` more frames and the last of them is on screen: the game
// draws in an animation frame, and a look in the same one may see the count before the browser
// has shown that frame, so one more animation frame goes by.
export async function waitFrames(page, count) {
  const target = (await gameStatus(page)).frames + count;
  await page.waitForFunction((n) => window.zorvex.frames >= n, target, { timeout: 10000 });
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve())));
}

// Waits until the game has ended, which sets its exit status.
export const waitForExit = (page) => page.waitForFunction(() => window.zorvex.exitStatus !== null, null, { timeout: 5000 });

// Plays again by the ended page's button, `press`ed ('click' or 'tap'), until the new game's first frame.
export async function playAgain(page, press) {
  const reloaded = page.waitForEvent('load', { timeout: 10000 });
  await page.locator('#play-again')[press]();
  await reloaded;
  await waitForFirstFrame(page);
}

// Lets `ticks` of the game's ticks go by on the page's own clock: a 33-ms timer, then an animation
// frame, as the game's timer and the frame it asks for follow each other. A check that nothing
// happens waits for these rather than for a sleep, which a busy machine can end before the page
// has run at all.
export const waitPageTicks = (page, ticks) => page.evaluate((count) => new Promise((resolve) => {
  const tick = (left) => (left === 0 ? resolve() : setTimeout(() => requestAnimationFrame(() => tick(left - 1)), 33));
  tick(count);
}), ticks);

// The canvas as the player sees it, as a PNG; { scale: 'css' } takes one pixel per CSS pixel.
export async function takePicture(page, options = {}) {
  if (page.picture) return page.picture(); // a page of engines.mjs takes its own
  return page.screenshot({ clip: await page.locator('#canvas').boundingBox(), ...options });
}

// The canvas's picture once `frames` more frames are on screen.
export async function pictureAfterFrames(page, frames) {
  await waitFrames(page, frames);
  return takePicture(page);
}

// Plays `steps` from the start of a level, again on a new load should the ball be lost before
// the last picture (a lost ball puts the paddle back at its start): the pictures' readings, the
// first of the start. `afterReload` readies a new load as the first was.
export async function playFromStart(page, t, steps, afterReload = async () => {}) {
  for (let attempt = 1; ; ++attempt) {
    const readings = readPictures([await takePicture(page), ...(await steps())]);
    const lost = readings.slice(1).some((picture) => picture.ballPlaceShowsBackground < 0.9);
    if (!lost || attempt === 3) return readings;
    t.diagnostic(`the ball was lost before the last picture (attempt ${attempt}): the page is loaded again`);
    await page.reload();
    await waitForFirstFrame(page);
    await waitFrames(page, 3);
    await afterReload();
  }
}

// Pictures read with the desktop's figures (tests/e2e/FieldPicture.cpp), all at once after the fact
// so that taking them stays quick: [{ startFaults, paddleLeftEdge, ballPlaceShowsBackground }].
export function readPictures(pictures) {
  const folder = temporaryFolder();
  try {
    const files = pictures.map((png, i) => path.join(folder, `${i}.png`));
    files.forEach((file, i) => writeFileSync(file, pictures[i]));
    const lines = execFileSync(existingFile('ZORVEX_FIELD_PICTURE', 'the build'), files, { encoding: 'utf8' });
    return lines.trim().split('\n').map((line) => JSON.parse(line));
  } finally {
    rmSync(folder, { recursive: true });
  }
}

// A picture of the whole page for people to look at, under the build tree.
export async function keepScreenshot(page, name) {
  mkdirSync(process.env.ZORVEX_WEB_SCREENSHOTS, { recursive: true });
  await page.screenshot({ path: path.join(process.env.ZORVEX_WEB_SCREENSHOTS, `${name}.png`) });
}

// The colour [r, g, b, a] at (x, y) of a PNG, read by the page's own image decoder.
export function pixelAt(page, png, x, y) {
  return page.evaluate(async ([base64, x, y]) => {
    const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
    const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
    context.drawImage(image, 0, 0);
    return [...context.getImageData(x, y, 1, 1).data];
  }, [png.toString('base64'), x, y]);
}

// Fingers on the page's touch screen through the DevTools protocol, which, unlike a tap, can be
// held: down(x, y) in CSS pixels, then moveTo(x, y), up() or cancel() (a system gesture takes
// every finger); `finger` tells a second finger from the first.
export async function touchScreen(page) {
  const session = await page.context().newCDPSession(page);
  const down = new Map();
  const send = (type, touchPoints) => session.send('Input.dispatchTouchEvent', { type, touchPoints });
  const all = () => [...down].map(([id, [x, y]]) => ({ id, x, y }));
  return {
    down: (x, y, finger = 1) => down.set(finger, [x, y]) && send('touchStart', all()),
    moveTo: (x, y, finger = 1) => down.set(finger, [x, y]) && send('touchMove', all()),
    up: (finger = 1) => {
      const [x, y] = down.get(finger);
      down.delete(finger);
      return send('touchEnd', [{ id: finger, x, y }]);
    },
    cancel: () => {
      down.clear();
      return send('touchCancel', []);
    },
  };
}
