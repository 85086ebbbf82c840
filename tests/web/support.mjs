// What the web tests and the web benchmark share: the release page unpacked into a temporary
// folder, a static server of our own on 127.0.0.1, Debian's Chromium driven by playwright-core,
// and the desktop tests' picture checks applied to the browser's screenshots.
// Paths come from the environment that CTest (or scripts/bench-web) sets; see CMakeLists.txt.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

export function setting(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the web tests through ctest -L web`);
  return value;
}

// A file named by the environment, which must exist: `maker` says what makes it.
export function existingFile(name, maker) {
  const file = setting(name);
  if (!existsSync(file)) throw new Error(`${file} is missing: ${maker} makes it`);
  return file;
}

// playwright-core is installed into the build tree (the web.InstallPlaywright fixture), not
// beside these files.
const modules = createRequire(path.join(setting('ZORVEX_WEB_NODE_MODULES'), 'package.json'));
const { chromium } = modules('playwright-core');

// The release zip unpacked: `folder` is its one top folder (zorvex-<version>-web).
export function unpackRelease(zip = existingFile('ZORVEX_WEB_ZIP', 'scripts/package')) {
  const root = mkdtempSync(path.join(os.tmpdir(), 'zorvex-web-'));
  execFileSync('unzip', ['-q', zip, '-d', root]);
  return { folder: path.join(root, path.basename(zip, '.zip')), remove: () => rmSync(root, { recursive: true, force: true }) };
}

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.txt': 'text/plain; charset=utf-8',
};

// Serves `folder` on an ephemeral port of 127.0.0.1. `rewrite(name, bytes)` may change a file on
// its way out, as a broken network or host would. Stop it with close().
export async function serve(folder, rewrite = (name, bytes) => bytes) {
  const server = http.createServer(async (request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname).slice(1) || 'index.html';
    const file = path.resolve(folder, name);
    try {
      if (!file.startsWith(path.resolve(folder) + path.sep)) throw new Error('outside the folder');
      const bytes = rewrite(name, await readFile(file));
      response.writeHead(200, {
        'Content-Type': contentTypes[path.extname(name)] ?? 'application/octet-stream',
        'Cache-Control': 'no-store',
      });
      response.end(bytes);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(resolve);
    }),
  };
}

// Software WebGL 2 (SwiftShader); scrolling at once, not animated, so that a key that scrolls
// the page shows at once; and, this machine's network being closed, none of the browser's own
// connections, which would otherwise be refused many at a time.
const chromiumFlags = [
  '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-smooth-scrolling',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run', '--disable-quic',
];

// Playwright starts the browser with a fresh profile and ends it, by its own handle, on close().
export function launchBrowser(extraFlags = []) {
  return chromium.launch({
    executablePath: process.env.ZORVEX_CHROMIUM || '/usr/bin/chromium',
    args: [...chromiumFlags, ...extraFlags],
  });
}

// Opens `url` in a new page of its own and keeps what the page writes to the console.
// `output` holds the game's standard output and error: the page's console.log and
// console.error lines; `errors` the page's uncaught exceptions. `watch` runs in the page before
// any of its scripts.
export async function openPage(browser, url, watch = null) {
  const page = await browser.newPage({ viewport: { width: 900, height: 900 } });
  if (watch) await page.addInitScript(watch);
  const output = [];
  const errors = [];
  page.on('console', (message) => {
    if (message.type() === 'log' || message.type() === 'error') output.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(error));
  await page.goto(url);
  return { page, output, errors };
}

export const gameStatus = (page) => page.evaluate(() => ({ ...window.zorvex }));

export async function waitForFirstFrame(page, timeout = 15000) {
  await page.waitForFunction(() => window.zorvex && window.zorvex.firstFrameAt !== null, null, { timeout });
}

// Waits until the page has presented `count` more frames than when called.
export async function waitFrames(page, count) {
  const target = (await gameStatus(page)).frames + count;
  await page.waitForFunction((n) => window.zorvex.frames >= n, target, { timeout: 10000 });
}

// The canvas as the player sees it: a PNG.
export async function takePicture(page) {
  return page.screenshot({ clip: await page.locator('#canvas').boundingBox() });
}

// The pictures read with the desktop's figures (tests/e2e/FieldPicture.cpp), all at once after the
// fact, so that taking them stays quick: { startFaults, paddleLeftEdge, ballPlaceShowsBackground }.
export function readPictures(pictures) {
  const folder = mkdtempSync(path.join(os.tmpdir(), 'zorvex-shots-'));
  try {
    const files = pictures.map((png, i) => {
      const file = path.join(folder, `${i}.png`);
      writeFileSync(file, png);
      return file;
    });
    const lines = execFileSync(setting('ZORVEX_FIELD_PICTURE'), files, { encoding: 'utf8' }).trim().split('\n');
    return lines.map((line) => JSON.parse(line));
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// Keeps a picture of the page for people to look at, under the build tree.
export async function keepScreenshot(page, name) {
  const folder = setting('ZORVEX_WEB_SCREENSHOTS');
  mkdirSync(folder, { recursive: true });
  await page.screenshot({ path: path.join(folder, `${name}.png`) });
}
