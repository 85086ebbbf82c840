// The web page's figures, printed as "name value" lines: the size of the four files the page
// loads, raw and gzipped (gzip's default level 6, as hosts commonly serve them); the time from
// navigation to the first frame, with the browser already running and the page served from
// 127.0.0.1 (five loads, no cache); and the frames per second over ten seconds of play driven as
// bench/StartupBenchmark.cpp drives the desktop game: Space, then Right and Left held 0.7 s each
// in turn. Run by scripts/bench-web, which sets the environment tests/web/support.mjs reads.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

import { launchBrowser, openPage, releaseFile, serve, unpackRelease, waitForFirstFrame } from '../tests/web/support.mjs';

const print = (name, value) => console.log(`${name} ${value}`);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function sizes(folder) {
  let raw = 0;
  let gzipped = 0;
  for (const name of ['index.html', 'zorvex.js', 'zorvex.wasm', 'zorvex.data']) {
    // The game's files are named after their content: zorvex.<hash>.js and so on.
    const kind = name.split('.').pop();
    const bytes = readFileSync(path.join(folder, name === 'index.html' ? name : releaseFile(folder, kind)));
    const packed = gzipSync(bytes).length;
    print(`size_${name}_bytes`, bytes.length);
    print(`size_${name}_gzip_bytes`, packed);
    raw += bytes.length;
    gzipped += packed;
  }
  print('size_total_bytes', raw);
  print('size_total_gzip_bytes', gzipped);
}

async function firstFrameTimes(browser, url, loads) {
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const { page } = await openPage(browser, url);
    await waitForFirstFrame(page);
    // performance.now() counts from the navigation's start, as the resource timings do.
    times.push(await page.evaluate(() => {
      const loaded = (name) => performance.getEntriesByType('resource').find((entry) => entry.name.endsWith(name)).responseEnd;
      return { firstFrame: window.zorvex.firstFrameAt, wasm: loaded('.wasm'), data: loaded('.data') };
    }));
    await page.close();
  }
  return times;
}

async function play(browser, url) {
  const { page } = await openPage(browser, url);
  await waitForFirstFrame(page);
  await page.waitForTimeout(200);
  // Each new frame's time, seen from an animation-frame loop of the benchmark's own.
  await page.evaluate(() => {
    const watch = { times: [], start: performance.now(), startFrames: window.zorvex.frames };
    window.benchmarkWatch = watch;
    let seen = window.zorvex.frames;
    const look = () => {
      if (window.zorvex.frames !== seen) {
        seen = window.zorvex.frames;
        watch.times.push(performance.now());
      }
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  });
  await page.keyboard.press('Space');
  let held = null;
  for (let step = 0; step < 14; ++step) {
    if (held) await page.keyboard.up(held);
    held = step % 2 === 0 ? 'ArrowRight' : 'ArrowLeft';
    await page.keyboard.down(held);
    await page.waitForTimeout(700);
  }
  await page.keyboard.up(held);
  const result = await page.evaluate(() => new Promise((resolve) => {
    const watch = window.benchmarkWatch;
    setTimeout(() => {
      const now = performance.now();
      const gaps = watch.times.slice(1).map((t, i) => t - watch.times[i]).sort((a, b) => a - b);
      resolve({ seconds: (now - watch.start) / 1e3, frames: window.zorvex.frames - watch.startFrames, gaps });
    }, Math.max(0, watch.start + 10000 - performance.now()));
  }));
  await page.close();
  print('play_seconds', result.seconds.toFixed(2));
  print('play_frames', result.frames);
  print('play_fps', (result.frames / result.seconds).toFixed(2));
  print('play_median_gap_ms', median(result.gaps).toFixed(1));
  print('play_longest_gap_ms', result.gaps[result.gaps.length - 1].toFixed(1));
}

const release = unpackRelease();
const server = await serve(release.folder);
const browser = await launchBrowser();
try {
  sizes(release.folder);
  // The browser's first page pays for its own start-up: a load of its own, reported apart.
  const [firstLoad] = await firstFrameTimes(browser, server.url, 1);
  print('first_frame_first_load_ms', firstLoad.firstFrame.toFixed(1));
  const loads = await firstFrameTimes(browser, server.url, 5);
  print('first_frame_runs_ms', loads.map((load) => load.firstFrame.toFixed(1)).join(','));
  print('first_frame_ms', median(loads.map((load) => load.firstFrame)).toFixed(1));
  print('wasm_loaded_ms', median(loads.map((load) => load.wasm)).toFixed(1));
  print('data_loaded_ms', median(loads.map((load) => load.data)).toFixed(1));
  await play(browser, server.url);
} finally {
  await browser.close();
  await server.close();
  release.remove();
}
