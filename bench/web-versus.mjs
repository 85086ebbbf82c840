// Releases side by side: for each of the zips named on the command line, in turn, round after
// round in one browser, the figures a change to the page's frame or start-up moves (see
// bench/web-measure.mjs): navigation to the first contentful paint and to the first frame (median
// of 3 loads) in the 900 × 900 window and on the Pixel 7 profile at 4× CPU throttling; ten seconds
// of play at 4×; the WebGL calls a frame; ten more seconds, profiled, for where a frame's time goes
// (the GPU process's main thread among them); and, once a round, the
// control page (the same frames without the game, from the first zip) played and profiled at 4×.
// Each figure is printed as "round zip name value load", the load average beside it, then the
// median of every figure over the rounds. Run by scripts/bench-web --versus.
// Usage: node web-versus.mjs ROUNDS ZIP...
import { readFileSync } from 'node:fs';

import {
  controlRewrite, firstFrameTimes, frameBreakdown, median, openMeasuredPage, play, webglCallsPerFrame,
} from './web-measure.mjs';
import { launchBrowser, releaseFile, serve, unpackRelease, waitForFirstFrame } from '../tests/web/support.mjs';

const [rounds, ...zips] = process.argv.slice(2);
const throttling = 4;
const releases = zips.map((zip) => unpackRelease(zip));
const servers = await Promise.all(releases.map((release) => serve(release.folder)));
const browser = await launchBrowser();
const figures = new Map();
const load = () => readFileSync('/proc/loadavg', 'utf8').split(' ')[0];
const report = (round, zip, name, value) => {
  console.log(`${round} ${zip} ${name} ${value.toFixed(2)} ${load()}`);
  const key = `${zip} ${name}`;
  figures.set(key, [...(figures.get(key) ?? []), value]);
};

async function measurePlay(round, zip, url, gameScript) {
  const played = await openMeasuredPage(browser, url, throttling);
  const result = await play(played.page);
  await played.page.close();
  report(round, zip, 'phone_fps', result.fps);
  report(round, zip, 'phone_median_gap_ms', result.medianGap);
  report(round, zip, 'phone_longest_gap_ms', result.longestGap);
  // The calls counted first, over frames of the whole level with the ball at rest.
  const profiled = await openMeasuredPage(browser, url, throttling);
  await waitForFirstFrame(profiled.page);
  report(round, zip, 'phone_webgl_calls_per_frame', await webglCallsPerFrame(profiled.page));
  const breakdown = await frameBreakdown(profiled.page, profiled.session, gameScript);
  await profiled.page.close();
  for (const name of ['game', 'gl', 'webgl', 'tick', 'page', 'browser', 'idle', 'gpu'])
    report(round, zip, `phone_frame_${name}_ms`, breakdown[name]);
}

let control;
try {
  // The browser's first page pays for its own start-up: a load not counted.
  await firstFrameTimes(browser, servers[0].url, 1);
  const game = await openMeasuredPage(browser, servers[0].url);
  await waitForFirstFrame(game.page);
  const contextAttributes = await game.page.evaluate(() => Module.ctx.getContextAttributes());
  await game.page.close();
  control = await serve(releases[0].folder, controlRewrite(releases[0].folder, contextAttributes));

  for (let round = 1; round <= Number(rounds); ++round) {
    for (const [i, release] of releases.entries()) {
      const zip = `zip${i + 1}`;
      const url = servers[i].url;
      for (const [prefix, rate] of [['', null], ['phone_', throttling]]) {
        const loads = await firstFrameTimes(browser, url, 3, rate);
        report(round, zip, `${prefix}first_contentful_paint_ms`, median(loads.map((loaded) => loaded.firstPaint)));
        report(round, zip, `${prefix}first_frame_ms`, median(loads.map((loaded) => loaded.firstFrame)));
      }
      await measurePlay(round, zip, url, releaseFile(release.folder, 'js'));
    }
    await measurePlay(round, 'control', control.url, releaseFile(releases[0].folder, 'js'));
  }
} finally {
  await browser.close();
  await Promise.all(servers.map((server) => server.close()));
  await control?.close();
  releases.forEach((release) => release.remove());
}

console.log('\nmedians over the rounds:');
for (const [key, values] of figures) console.log(`${key} ${median(values).toFixed(2)}`);
