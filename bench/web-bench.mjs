// The web page's figures, printed as "name value" lines: the size of what the page loads before
// its first frame, raw and gzipped (gzip's default level 6, as hosts commonly serve them); the
// time from navigation to the first frame, with the browser already running and the page served
// from 127.0.0.1 (five loads, no cache); what the service worker keeps; and ten seconds of play
// driven as bench/StartupBenchmark.cpp drives the desktop game (Space, then Right and Left held
// 0.7 s each in turn): the game in a 900 × 900 window and the same page drawing the same frames
// without the game (the control, bench/web-measure.mjs), with their WebGL calls a frame; then both
// on the Pixel 7 profile with the CPU slowed 4×, played and played again under the profiler for
// where a frame's time goes, after five first frames there. Then, in Firefox ESR and WebKitGTK (tests/web/engines.mjs), the first frame
// (five loads, each from a server of its own, so that no service worker serves it) and the same ten
// seconds of play. Run by scripts/bench-web, under an Xvfb, with the environment tests/web/support.mjs reads.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

import {
  controlRewrite, firstFrameTimes, frameBreakdown, median, openMeasuredPage, play, print, printBreakdown, printPlay,
  webglCallsPerFrame,
} from './web-measure.mjs';
import { launchEngine } from '../tests/web/engines.mjs';
import { launchBrowser, openPage, releaseFile, serve, unpackRelease, waitForFirstFrame } from '../tests/web/support.mjs';

// A content-hashed zorvex.<hash>.js is reported as zorvex.js.
const plainName = (name) => name.replace(/^zorvex\.[0-9a-f]+\./, 'zorvex.');

// Every file the page asked for before its first frame, the page itself first.
function sizes(folder, names) {
  let raw = 0;
  let gzipped = 0;
  for (const name of names) {
    const bytes = readFileSync(path.join(folder, name));
    const packed = gzipSync(bytes).length;
    print(`size_${plainName(name)}_bytes`, bytes.length);
    print(`size_${plainName(name)}_gzip_bytes`, packed);
    raw += bytes.length;
    gzipped += packed;
  }
  print('size_files', names.map(plainName).join(','));
  print('size_total_bytes', raw);
  print('size_total_gzip_bytes', gzipped);
}

// What the service worker has put into the page's caches once it is active: bytes and files.
async function serviceWorkerStore(browser, url) {
  const { page } = await openPage(browser, url);
  try {
    await waitForFirstFrame(page);
    return await page.evaluate(async () => {
      if (!(await navigator.serviceWorker.getRegistration())) return null;
      await navigator.serviceWorker.ready;
      let bytes = 0;
      let files = 0;
      for (const name of await caches.keys()) {
        const cache = await caches.open(name);
        for (const request of await cache.keys()) {
          bytes += (await (await cache.match(request)).arrayBuffer()).byteLength;
          files += 1;
        }
      }
      return { bytes, files };
    });
  } finally {
    await page.close();
  }
}

const throttling = 4;
const release = unpackRelease();
const server = await serve(release.folder);
const browser = await launchBrowser();
let controlServer;
try {
  // The browser's first page pays for its own start-up: a load of its own, reported apart.
  const [firstLoad] = await firstFrameTimes(browser, server.url, 1);
  print('first_frame_first_load_ms', firstLoad.firstFrame.toFixed(1));
  const loads = await firstFrameTimes(browser, server.url, 5);
  sizes(release.folder, [...new Set(['index.html', ...loads.flatMap((load) => load.before)])]);
  print('first_frame_runs_ms', loads.map((load) => load.firstFrame.toFixed(1)).join(','));
  print('first_frame_ms', median(loads.map((load) => load.firstFrame)).toFixed(1));
  print('first_contentful_paint_ms', median(loads.map((load) => load.firstPaint)).toFixed(1));
  print('wasm_loaded_ms', median(loads.map((load) => load.wasm)).toFixed(1));
  print('data_loaded_ms', median(loads.map((load) => load.data)).toFixed(1));

  const store = await serviceWorkerStore(browser, server.url);
  print('service_worker_bytes', store ? store.bytes : 'none');
  print('service_worker_files', store ? store.files : 'none');

  const phoneLoads = (await firstFrameTimes(browser, server.url, 5, throttling)).map((load) => load.firstFrame);
  print('phone_first_frame_runs_ms', phoneLoads.map((time) => time.toFixed(1)).join(','));
  print('phone_first_frame_ms', median(phoneLoads).toFixed(1));

  const game = await openPage(browser, server.url);
  await waitForFirstFrame(game.page);
  const contextAttributes = await game.page.evaluate(() => Module.ctx.getContextAttributes());
  // The calls counted first, over frames of the whole level with the ball at rest.
  print('play_webgl_calls_per_frame', (await webglCallsPerFrame(game.page)).toFixed(1));
  printPlay('play', await play(game.page));
  await game.page.close();

  const gameScript = releaseFile(release.folder, 'js');
  controlServer = await serve(release.folder, controlRewrite(release.folder, contextAttributes));
  const withoutGame = await openPage(browser, controlServer.url);
  await waitForFirstFrame(withoutGame.page);
  print('control_webgl_calls_per_frame', (await webglCallsPerFrame(withoutGame.page)).toFixed(1));
  printPlay('control', await play(withoutGame.page));
  await withoutGame.page.close();

  // The phone, the game and the control in turn: played, then played again under the profiler.
  for (const [prefix, url] of [['phone', server.url], ['phone_control', controlServer.url]]) {
    const played = await openMeasuredPage(browser, url, throttling);
    printPlay(prefix, await play(played.page));
    await played.page.close();
    const profiled = await openMeasuredPage(browser, url, throttling);
    printBreakdown(prefix, await frameBreakdown(profiled.page, profiled.session, gameScript));
    await profiled.page.close();
  }
} finally {
  await browser.close();
  await server.close();
  await controlServer?.close();
}

// The other engines: navigation to the first frame, each load from an origin of its own, and play.
try {
  for (const name of ['firefox', 'webkit']) {
    const engine = await launchEngine(name);
    try {
      print(`${name}_version`, engine.version.replaceAll(' ', '_'));
      const times = [];
      for (let load = 0; load < 5; ++load) {
        const fresh = await serve(release.folder, null, { consoleInPage: engine.consoleInPage });
        const page = await engine.newPage(fresh.url);
        await waitForFirstFrame(page);
        times.push(await page.evaluate(() => window.zorvex.firstFrameAt));
        await page.close();
        await fresh.close();
      }
      print(`${name}_first_frame_runs_ms`, times.map((time) => time.toFixed(1)).join(','));
      print(`${name}_first_frame_ms`, median(times).toFixed(1));
      const played = await serve(release.folder, null, { consoleInPage: engine.consoleInPage });
      const page = await engine.newPage(played.url);
      printPlay(name, await play(page));
      await page.close();
      await played.close();
    } finally {
      await engine.close();
    }
  }
} finally {
  release.remove();
}
