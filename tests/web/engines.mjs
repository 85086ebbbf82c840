// The web tests' one driver layer: a browser of each engine a player meets, from Debian's own
// packages, behind the same few page calls, so that a case is written once and run in all three.
//   chromium  Blink: Debian's Chromium through playwright-core
//   firefox   Gecko: Debian's Firefox ESR through puppeteer-core over WebDriver BiDi
//   webkit    WebKit: the MiniBrowser of libwebkit2gtk-4.1-0 through WebKitWebDriver and selenium-webdriver
// Firefox and WebKit draw WebGL 2 only on an X display: run them under tests/with-xvfb.sh.
// A page has the few calls of a Playwright page that support.mjs's helpers use (goto, reload,
// evaluate, waitForFunction(fn, arg, { timeout }), keyboard.down/up/press with Playwright's key
// names, setViewportSize, close), and picture() (the canvas as a PNG, a pixel per CSS pixel at
// density 1), click(selector), output() (the console's log and error lines), errors() (uncaught
// exceptions) and warnings() (what the engine itself warned of, where it says: null elsewhere).
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import path from 'node:path';

import { existingFile, launchBrowser } from './support.mjs';

const modules = createRequire(path.join(existingFile('ZORVEX_WEB_NODE_MODULES', 'npm ci'), 'x'));

export const engineNames = ['chromium', 'firefox', 'webkit'];

// The engine ZORVEX_WEB_ENGINE names (CTest sets it for each run of a shared test file).
export function engineOfTheRun() {
  const name = process.env.ZORVEX_WEB_ENGINE;
  if (!engineNames.includes(name)) throw new Error(`ZORVEX_WEB_ENGINE is ${name ?? 'not set'}: one of ${engineNames.join(', ')}`);
  return name;
}

const defaultTimeout = 15000;

// Until fn(arg) in the page is truthy (awaited: Playwright's own wait takes a promise for a true
// value), asked again after a navigation in the page; between two looks the page's own timer runs.
async function pollPage(evaluate, fn, arg, timeout) {
  const end = performance.now() + timeout;
  for (;;) {
    let value = null;
    try {
      value = await evaluate(fn, arg);
    } catch (error) {
      if (performance.now() >= end) throw error;
    }
    if (value) return value;
    if (performance.now() >= end) throw new Error(`waited ${timeout} ms for ${fn}`);
    await evaluate(() => new Promise((resolve) => setTimeout(resolve, 16))).catch(() => {});
  }
}

// The calls a Playwright page and a puppeteer page answer alike, with the page's console log and
// error lines and its uncaught exceptions kept from the start.
function commonCalls(page) {
  const output = [];
  const errors = [];
  page.on('console', (message) => ['log', 'error'].includes(message.type()) && output.push(message.text()));
  page.on('pageerror', (error) => errors.push(error.message));
  return {
    goto: (to) => page.goto(to),
    reload: () => page.reload(),
    evaluate: (fn, arg) => page.evaluate(fn, arg),
    waitForFunction: (fn, arg, { timeout = defaultTimeout } = {}) => pollPage(page.evaluate.bind(page), fn, arg, timeout),
    click: (selector) => page.click(selector),
    output: () => output,
    errors: () => errors,
    close: () => page.close(),
  };
}

// --- Chromium -------------------------------------------------------------------------------

async function launchChromium() {
  const browser = await launchBrowser();
  // One context for all pages, as one profile: pages of one origin share its worker and caches.
  const context = await browser.newContext();
  return {
    name: 'chromium',
    version: `Chromium ${browser.version()}`,
    consoleInPage: false,
    async newPage(url, { width = 900, height = 900 } = {}) {
      const page = await context.newPage();
      await page.setViewportSize({ width, height });
      const driven = {
        ...commonCalls(page),
        keyboard: page.keyboard,
        picture: async () => page.screenshot({ clip: await page.locator('#canvas').boundingBox() }),
        setViewportSize: (size) => page.setViewportSize(size),
        warnings: () => null,
      };
      if (url) await driven.goto(url);
      return driven;
    },
    close: () => browser.close(),
  };
}

// --- Firefox --------------------------------------------------------------------------------

// Touch is on (puppeteer's hasTouch is not for Firefox), and the pointers are a touch screen's
// (coarse) beside a mouse's (fine, primary, hovering): the page sees a touch-screen laptop. Under
// Xvfb Firefox would otherwise report no pointer at all. The web console goes to the browser's
// output too, where the engine's own warnings ("JavaScript warning: URL, line N: ...") can be read.
async function launchFirefox() {
  const puppeteer = modules('puppeteer-core');
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.ZORVEX_FIREFOX || '/usr/bin/firefox-esr',
    protocol: 'webDriverBiDi',
    headless: true,
    extraPrefsFirefox: {
      'dom.maxtouchpoints.testing.value': 5,
      'dom.w3c_touch_events.enabled': 1,
      // Bits: 1 coarse, 2 fine, 4 hover.
      'ui.primaryPointerCapabilities': 6,
      'ui.allPointerCapabilities': 7,
      'devtools.console.stdout.content': true,
    },
  });
  // Its BiDi keyboard knows Space only as ' '.
  const keyName = (key) => (key === 'Space' ? ' ' : key);
  const browserOutput = [];
  for (const stream of [browser.process().stdout, browser.process().stderr]) {
    stream.setEncoding('utf8');
    stream.on('data', (text) => browserOutput.push(...text.split('\n')));
  }
  return {
    name: 'firefox',
    version: await browser.version(),
    consoleInPage: false,
    async newPage(url, { width = 900, height = 900 } = {}) {
      const page = await browser.newPage();
      await page.setViewport({ width, height });
      const warningsFrom = browserOutput.length;
      const driven = {
        ...commonCalls(page),
        keyboard: {
          down: (key) => page.keyboard.down(keyName(key)),
          up: (key) => page.keyboard.up(keyName(key)),
          press: (key) => page.keyboard.press(keyName(key)),
        },
        picture: async () => Buffer.from(await page.screenshot({ clip: await (await page.$('#canvas')).boundingBox() })),
        setViewportSize: (size) => page.setViewport(size),
        warnings: () => browserOutput.slice(warningsFrom).filter((line) => line.startsWith('JavaScript warning: http')),
      };
      if (url) await driven.goto(url);
      return driven;
    },
    close: () => browser.close(),
  };
}

// --- WebKit ---------------------------------------------------------------------------------

// Without --automation the session request hangs. The driver has no console and no BiDi: the page
// keeps its console itself (consoleInPage). Its windows are at least 447 px wide, and an element's
// own screenshot misses part of a WebGL canvas: the canvas is cut from the window's.
async function launchWebKit() {
  const { Builder, Capabilities, By, Key } = modules('selenium-webdriver');
  const { DriverService } = modules('selenium-webdriver/remote');
  const { findFreePort } = modules('selenium-webdriver/net/portprober');
  const port = await findFreePort();
  const service = new DriverService.Builder(process.env.ZORVEX_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver')
    .setPort(port).setLoopback(true).addArguments(`--port=${port}`).build();
  const driver = await new Builder().usingServer(await service.start()).withCapabilities(new Capabilities({
    browserName: 'MiniBrowser',
    'webkitgtk:browserOptions': {
      binary: process.env.ZORVEX_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
      args: ['--automation'],
    },
  })).build();
  const capabilities = await driver.getCapabilities();
  const keys = { Space: Key.SPACE, ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT, ArrowUp: Key.ARROW_UP,
    ArrowDown: Key.ARROW_DOWN, Escape: Key.ESCAPE, Enter: Key.ENTER };
  // The first window stays open, blank: the session ends with its last window.
  const firstWindow = await driver.getWindowHandle();
  let current = firstWindow;
  const use = async (handle) => {
    if (current !== handle) await driver.switchTo().window(handle);
    current = handle;
  };
  // The script timeout is the driver's own limit on an asynchronous script.
  let scriptTimeout = null;
  const run = async (handle, script, arg, timeout = 30000) => {
    await use(handle);
    if (timeout !== scriptTimeout) await driver.manage().setTimeouts({ script: timeout });
    scriptTimeout = timeout;
    const { value, error } = await driver.executeAsyncScript(script, arg);
    if (error !== undefined) throw new Error(error);
    return value;
  };
  const call = (fn) => `const done = arguments[arguments.length - 1];
    Promise.resolve().then(() => (${fn})(arguments[0])).then((value) => done({ value }), (error) => done({ error: String(error) }));`;
  const poll = (fn) => `const done = arguments[arguments.length - 1];
    const check = () => Promise.resolve().then(() => (${fn})(arguments[0]))
      .then((value) => (value ? done({ value }) : setTimeout(check, 16)), (error) => done({ error: String(error) }));
    check();`;
  return {
    name: 'webkit',
    version: `${capabilities.get('browserName')} (WebKitGTK) ${capabilities.get('browserVersion')}`,
    consoleInPage: true,
    async newPage(url, { width = 900, height = 900 } = {}) {
      await use(firstWindow);
      await driver.switchTo().newWindow('window');
      const handle = await driver.getWindowHandle();
      current = handle;
      const evaluate = (fn, arg) => run(handle, call(fn), arg);
      const keyAction = async (build) => {
        await use(handle);
        await build(driver.actions()).perform();
      };
      const driven = {
        goto: async (to) => {
          await use(handle);
          await driver.get(to);
        },
        reload: async () => {
          await use(handle);
          await driver.navigate().refresh();
        },
        evaluate,
        // A navigation in the page ends the script: it is asked again.
        waitForFunction: async (fn, arg, { timeout = defaultTimeout } = {}) => {
          const end = performance.now() + timeout;
          for (;;) {
            try {
              return await run(handle, poll(fn), arg, Math.max(1, Math.ceil(end - performance.now())));
            } catch (error) {
              if (performance.now() >= end) throw new Error(`waited ${timeout} ms for ${fn}: ${error.message}`);
            }
          }
        },
        keyboard: {
          down: (key) => keyAction((actions) => actions.keyDown(keys[key])),
          up: (key) => keyAction((actions) => actions.keyUp(keys[key])),
          press: (key) => keyAction((actions) => actions.keyDown(keys[key]).keyUp(keys[key])),
        },
        click: async (selector) => {
          await use(handle);
          await driver.findElement(By.css(selector)).click();
        },
        picture: async () => {
          const field = await evaluate(() => {
            const { left, top, width: w, height: h } = document.getElementById('canvas').getBoundingClientRect();
            return [w, h, left, top].map(Math.round);
          });
          await use(handle);
          return cropPng(Buffer.from(await driver.takeScreenshot(), 'base64'), field);
        },
        // The window's frame around the page: its outer size less the page's.
        setViewportSize: async ({ width: w, height: h }) => {
          await use(handle);
          const [frameWidth, frameHeight] = await evaluate(() => [outerWidth - innerWidth, outerHeight - innerHeight]);
          await driver.manage().window().setRect({ width: w + frameWidth, height: h + frameHeight });
        },
        output: () => evaluate(() => window.zorvexTestConsole?.output ?? []),
        errors: () => evaluate(() => window.zorvexTestConsole?.errors ?? []),
        warnings: () => null,
        close: async () => {
          await use(handle);
          await driver.close();
          current = null;
          await use(firstWindow);
        },
      };
      await driven.setViewportSize({ width, height });
      if (url) await driven.goto(url);
      return driven;
    },
    close: async () => {
      await driver.quit();
      await service.kill();
    },
  };
}

// [width, height, left, top] of a PNG, by ImageMagick; without its dates, so that the same
// pixels make the same bytes.
function cropPng(png, [width, height, left, top]) {
  return execFileSync('convert', ['png:-', '-crop', `${width}x${height}+${left}+${top}`, '+repage', '-strip',
    '-define', 'png:exclude-chunks=date,time', 'png:-'],
    { input: png, maxBuffer: 64 << 20 });
}

export function launchEngine(name) {
  return { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit }[name]();
}
