// The web page's figures, printed as "name value" lines: the size of what the page loads before
// its first frame, raw and gzipped (gzip's default level 6, as hosts commonly serve them); the
// time from navigation to the first frame, with the browser already running and the page served
// from 127.0.0.1 (five loads, no cache); what the service worker keeps; and ten seconds of play
// driven as bench/StartupBenchmark.cpp drives the desktop game (Space, then Right and Left held
// 0.7 s each in turn), three times: the game in a 900 × 900 window; the same page drawing the
// same frames without the game (the control, below); and the game on the Pixel 7 profile with
// the CPU slowed 4×. Then, in Firefox ESR and WebKitGTK (tests/web/engines.mjs), the first frame
// (five loads, each from a server of its own, so that no service worker serves it) and the same ten
// seconds of play. Run by scripts/bench-web, under an Xvfb, with the environment tests/web/support.mjs reads.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

import { launchEngine } from '../tests/web/engines.mjs';
import {
  devices, launchBrowser, openPage, releaseFile, serve, unpackRelease, waitForFirstFrame, waitPageTicks,
} from '../tests/web/support.mjs';

const print = (name, value) => console.log(`${name} ${value}`);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
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

async function firstFrameTimes(browser, url, loads) {
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const { page } = await openPage(browser, url);
    await waitForFirstFrame(page);
    // performance.now() counts from the navigation's start, as the resource timings do.
    times.push(await page.evaluate(() => {
      const resources = performance.getEntriesByType('resource');
      const loaded = (name) => resources.find((entry) => entry.name.endsWith(name)).responseEnd;
      const firstFrame = window.zorvex.firstFrameAt;
      return {
        firstFrame,
        wasm: loaded('.wasm'),
        data: loaded('.data'),
        before: resources.filter((entry) => entry.startTime < firstFrame).map((entry) => new URL(entry.name).pathname.slice(1)),
      };
    }));
    await page.close();
  }
  return times;
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

// Ten seconds of play on `page`. Frames are timed where the game presents them (the page's
// Module.onFramePresented, called from glutSwapBuffers): an animation-frame loop that looked for
// new frames would see each one up to a display refresh late, later still when the next refresh
// is the one that stalls. The same loop is kept, for both pages alike, to time the browser's own
// animation frames, and to count the refreshes from one of the game's frames to the next.
async function play(page) {
  await waitForFirstFrame(page);
  await waitPageTicks(page, 6);
  await page.evaluate(() => {
    const watch = { frames: [], frameRefreshes: [], animationFrames: [], refreshes: [], start: performance.now() };
    window.benchmarkWatch = watch;
    const presented = Module.onFramePresented;
    Module.onFramePresented = () => {
      watch.frames.push(performance.now());
      watch.frameRefreshes.push(document.timeline.currentTime);
      presented();
    };
    const look = (refresh) => {
      watch.animationFrames.push(performance.now());
      watch.refreshes.push(refresh);
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
    await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 700)));
  }
  await page.keyboard.up(held);
  const { frames, animationFrames, frameRefreshes, refreshes } = await page.evaluate(() => new Promise((resolve) => {
    const watch = window.benchmarkWatch;
    const end = watch.start + 10000;
    setTimeout(() => {
      const within = (times) => times.filter((time) => time <= end);
      const frameCount = within(watch.frames).length;
      resolve({
        frames: within(watch.frames),
        animationFrames: within(watch.animationFrames),
        frameRefreshes: watch.frameRefreshes.slice(0, frameCount),
        refreshes: watch.refreshes,
      });
    }, Math.max(0, end - performance.now()));
  }));
  // A frame is drawn in an animation frame: the refreshes after the one of the frame before, up
  // to and including its own.
  const refreshesApart = frameRefreshes.slice(1)
    .map((time, i) => refreshes.filter((refresh) => refresh > frameRefreshes[i] && refresh <= time).length);
  const longestGap = (times) => Math.max(...times.slice(1).map((time, i) => time - times[i]));
  const gaps = frames.slice(1).map((time, i) => time - frames[i]);
  return {
    fps: frames.length / 10,
    medianGap: median(gaps),
    longestGap: longestGap(frames),
    gapsOver50: gaps.filter((gap) => gap > 50).length,
    threeRefreshesApart: refreshesApart.filter((count) => count >= 3).length,
    longestAnimationFrameGap: longestGap(animationFrames),
  };
}

function printPlay(prefix, result) {
  print(`${prefix}_fps`, result.fps.toFixed(2));
  print(`${prefix}_median_gap_ms`, result.medianGap.toFixed(1));
  print(`${prefix}_longest_gap_ms`, result.longestGap.toFixed(1));
  print(`${prefix}_gaps_over_50_ms`, result.gapsOver50);
  print(`${prefix}_frames_three_refreshes_apart`, result.threeRefreshesApart);
  print(`${prefix}_longest_animation_frame_gap_ms`, result.longestAnimationFrameGap.toFixed(1));
}

// The control: the release's own page with its game script swapped for this function, which
// draws what the game draws in play (the background, 50 bricks of 60 × 60, the paddle and the
// ball; the game's shaders and images from its .data, the context the game's GLUT asked for) on
// the same schedule (web/zorvex-library.js: a 33-ms tick on the display refresh nearest to when it
// is due, drawn in that refresh), and reports each frame as the game does. No WebAssembly, no
// GLUT, no game.
function drawWithoutTheGame({ vertexSource, fragmentSource, images, contextAttributes }) {
  const canvas = Module.canvas;
  const gl = canvas.getContext('webgl2', contextAttributes);
  Module.ctx = gl;
  const program = gl.createProgram();
  for (const [type, source] of [[gl.VERTEX_SHADER, vertexSource], [gl.FRAGMENT_SHADER, fragmentSource]]) {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    gl.attachShader(program, shader);
  }
  gl.linkProgram(program);
  gl.useProgram(program);
  const uniform = (name) => gl.getUniformLocation(program, name);
  gl.uniformMatrix4fv(uniform('projection'), false, [2 / 600, 0, 0, 0, 0, -2 / 600, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1]);
  gl.uniform1i(uniform('image'), 0);
  const vertexArray = gl.createVertexArray();
  gl.bindVertexArray(vertexArray);
  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 1, 0]), gl.STATIC_DRAW);
  gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 16, 0);
  gl.enableVertexAttribArray(0);
  gl.vertexAttribPointer(1, 2, gl.FLOAT, false, 16, 8);
  gl.enableVertexAttribArray(1);
  gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, gl.createBuffer());
  gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, new Uint32Array([1, 3, 0, 1, 2, 3]), gl.STATIC_DRAW);
  gl.enable(gl.BLEND);
  gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);

  const upload = async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes]), { premultiplyAlpha: 'none' });
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
    return texture;
  };
  Promise.all(images.map(upload)).then(([background, block, paddle, face]) => {
    const tints = [[1, 0, 0], [0, 1, 0], [0, 0, 1]];
    const quads = [[background, 0, 0, 600, 600, [1, 1, 1]]];
    for (let brick = 0; brick < 50; ++brick)
      quads.push([block, (brick % 10) * 60, Math.floor(brick / 10) * 60, 60, 60, tints[brick % 3]]);
    quads.push([paddle, 240, 528, 120, 12, [1, 1, 1]], [face, 291, 510, 18, 18, [1, 1, 1]]);
    const display = () => {
      gl.clear(gl.COLOR_BUFFER_BIT);
      for (const [texture, x, y, width, height, tint] of quads) {
        gl.uniformMatrix4fv(uniform('model'), false, [width, 0, 0, 0, 0, height, 0, 0, 0, 0, 1, 0, x, y, 0, 1]);
        gl.uniform3fv(uniform('spriteColor'), tint);
        gl.bindTexture(gl.TEXTURE_2D, texture);
        gl.drawElements(gl.TRIANGLES, 6, gl.UNSIGNED_INT, 0);
      }
      Module.onFramePresented();
    };
    let due = performance.now() + 33;
    let lastRefresh = null;
    const refresh = (now) => {
      const interval = lastRefresh === null ? 1000 / 60 : Math.min(now - lastRefresh, 1000 / 60);
      lastRefresh = now;
      if (due - interval / 2 <= now) {
        due = now - due < 33 ? due + 33 : now + 33;
        display();
      }
      requestAnimationFrame(refresh);
    };
    requestAnimationFrame(refresh);
  });
}

// Where the game's .data holds `name`, from the package's list of files in its script.
function fromData(folder, name) {
  const script = readFileSync(path.join(folder, releaseFile(folder, 'js')), 'utf8');
  const entry = script.match(new RegExp(`"filename":\\s*"/${name}",\\s*"start":\\s*(\\d+),\\s*"end":\\s*(\\d+)`));
  return readFileSync(path.join(folder, releaseFile(folder, 'data'))).subarray(Number(entry[1]), Number(entry[2]));
}

function controlScript(folder, contextAttributes) {
  const images = ['background.jpg', 'block.png', 'paddle.png', 'awesomeface_01.png']
    .map((name) => fromData(folder, name).toString('base64'));
  const [vertexSource, fragmentSource] = ['vertex.txt', 'fragment.txt'].map((name) => fromData(folder, name).toString('latin1'));
  const settings = { vertexSource, fragmentSource, images, contextAttributes };
  return Buffer.from(`(${drawWithoutTheGame})(${JSON.stringify(settings)});\n`);
}

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
  print('wasm_loaded_ms', median(loads.map((load) => load.wasm)).toFixed(1));
  print('data_loaded_ms', median(loads.map((load) => load.data)).toFixed(1));

  const store = await serviceWorkerStore(browser, server.url);
  print('service_worker_bytes', store ? store.bytes : 'none');
  print('service_worker_files', store ? store.files : 'none');

  const game = await openPage(browser, server.url);
  await waitForFirstFrame(game.page);
  const contextAttributes = await game.page.evaluate(() => Module.ctx.getContextAttributes());
  printPlay('play', await play(game.page));
  await game.page.close();

  const gameScript = releaseFile(release.folder, 'js');
  const control = controlScript(release.folder, contextAttributes);
  controlServer = await serve(release.folder, (name, bytes) => (name === gameScript ? control : bytes));
  const withoutGame = await openPage(browser, controlServer.url);
  printPlay('control', await play(withoutGame.page));
  await withoutGame.page.close();

  // The phone's profile (its viewport, density and touch) with the DevTools protocol's CPU
  // throttling, from before the page starts.
  const phone = await openPage(browser, 'about:blank', null, devices['Pixel 7']);
  const session = await phone.page.context().newCDPSession(phone.page);
  await session.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await phone.page.goto(server.url);
  printPlay('phone', await play(phone.page));
  await phone.page.close();
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
