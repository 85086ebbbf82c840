// What the web benchmarks (bench/web-bench.mjs, bench/web-versus.mjs) measure on a page: ten
// seconds of play and its frames, the control page that draws the same frames without the game,
// the WebGL calls a frame, where a frame's time goes on the page's thread, and the time from
// navigation to the first frame, on a 900 × 900 window or on the Pixel 7 profile with the CPU
// slowed down.
import { readFileSync } from 'node:fs';
import path from 'node:path';

import { devices, openPage, releaseFile, waitForFirstFrame, waitPageTicks } from '../tests/web/support.mjs';

export const print = (name, value) => console.log(`${name} ${value}`);
export const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A new page at `url`: on the Pixel 7 profile (its viewport, density and touch) with the DevTools
// protocol's CPU throttling at `rate` from before the page starts, or, with no rate, in the tests'
// 900 × 900 window. The session is the page's DevTools protocol.
export async function openMeasuredPage(browser, url, rate = null) {
  if (rate === null) return { ...(await openPage(browser, url)), session: null };
  const opened = await openPage(browser, 'about:blank', null, devices['Pixel 7']);
  const session = await opened.page.context().newCDPSession(opened.page);
  await session.send('Emulation.setCPUThrottlingRate', { rate });
  await opened.page.goto(url);
  return { ...opened, session };
}

// Navigation to the first frame on `loads` new pages, each with nothing cached and no service
// worker yet: performance.now() counts from the navigation's start, as the resource timings do.
export async function firstFrameTimes(browser, url, loads, rate = null) {
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const { page } = await openMeasuredPage(browser, url, rate);
    await waitForFirstFrame(page);
    times.push(await page.evaluate(() => {
      const resources = performance.getEntriesByType('resource');
      const loaded = (name) => resources.find((entry) => entry.name.endsWith(name)).responseEnd;
      const firstFrame = window.zorvex.firstFrameAt;
      return {
        firstFrame,
        firstPaint: performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? null,
        wasm: loaded('.wasm'),
        data: loaded('.data'),
        before: resources.filter((entry) => entry.startTime < firstFrame).map((entry) => new URL(entry.name).pathname.slice(1)),
      };
    }));
    await page.close();
  }
  return times;
}

// Space, then the right and left arrows held 0.7 s each in turn, as bench/StartupBenchmark.cpp
// plays the desktop game: ten seconds in all.
async function playTenSeconds(page) {
  await page.keyboard.press('Space');
  let held = null;
  for (let step = 0; step < 14; ++step) {
    if (held) await page.keyboard.up(held);
    held = step % 2 === 0 ? 'ArrowRight' : 'ArrowLeft';
    await page.keyboard.down(held);
    await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 700)));
  }
  await page.keyboard.up(held);
}

// Ten seconds of play on `page`. Frames are timed where the game presents them (the page's
// Module.onFramePresented, called from glutSwapBuffers): an animation-frame loop that looked for
// new frames would see each one up to a display refresh late, later still when the next refresh
// is the one that stalls. The same loop is kept, for both pages alike, to time the browser's own
// animation frames, and to count the refreshes from one of the game's frames to the next.
export async function play(page) {
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
  await playTenSeconds(page);
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

export function printPlay(prefix, result) {
  print(`${prefix}_fps`, result.fps.toFixed(2));
  print(`${prefix}_median_gap_ms`, result.medianGap.toFixed(1));
  print(`${prefix}_longest_gap_ms`, result.longestGap.toFixed(1));
  print(`${prefix}_gaps_over_50_ms`, result.gapsOver50);
  print(`${prefix}_frames_three_refreshes_apart`, result.threeRefreshesApart);
  print(`${prefix}_longest_animation_frame_gap_ms`, result.longestAnimationFrameGap.toFixed(1));
}

// The WebGL calls a frame over `frames` frames of play: every method of WebGL 2's, counted where
// the browser implements it (on the prototype, below whatever the page puts on the context), and
// put back after.
export function webglCallsPerFrame(page, frames = 30) {
  return page.evaluate((count) => new Promise((resolve) => {
    const webgl = WebGL2RenderingContext.prototype;
    const methods = Object.getOwnPropertyNames(webgl)
      .filter((name) => name !== 'constructor' && typeof Object.getOwnPropertyDescriptor(webgl, name).value === 'function');
    const originals = new Map(methods.map((name) => [name, webgl[name]]));
    let calls = 0;
    for (const [name, method] of originals) {
      webgl[name] = function (...args) {
        calls += 1;
        return method.apply(this, args);
      };
    }
    const start = window.zorvex.frames;
    const look = () => {
      if (window.zorvex.frames < start + count) return requestAnimationFrame(look);
      for (const [name, method] of originals) webgl[name] = method;
      resolve(calls / (window.zorvex.frames - start));
    };
    requestAnimationFrame(look);
  }), frames);
}

// Where the page's thread spends a frame, from a CPU profile of ten seconds of play (V8's sampler
// every 250 µs), each sample by the code it was in:
//   game:  the game's WebAssembly;
//   gl:    Emscripten's GL layer (its gl* functions and what they call, entered from the game
//          through the wasm-to-js stubs) and the WebGL calls, which are also given apart (`webgl`);
//   tick:  the rest of the game's script, the tick, its timers, GLUT and the main loop, with the
//          animation-frame requests they make;
//   page:  the page's own modules;
//   browser: the browser's own work on the thread (style, layout, paint, the compositor's commit,
//          garbage collection);
//   idle:  the thread waiting;
// and, from a trace of the same seconds, the tasks of the GPU process's main thread (gpu),
// where WebGL's commands are carried out and the page is put together, here in software.
// Milliseconds a frame presented.
export async function frameBreakdown(page, session, gameScript) {
  await waitForFirstFrame(page);
  await waitPageTicks(page, 6);
  await session.send('Profiler.enable');
  await session.send('Profiler.setSamplingInterval', { interval: 250 });
  const browser = page.context().browser();
  await browser.startTracing(undefined, { categories: ['toplevel'] });
  const framesBefore = await page.evaluate(() => window.zorvex.frames);
  await session.send('Profiler.start');
  await playTenSeconds(page);
  const { profile } = await session.send('Profiler.stop');
  const frames = (await page.evaluate(() => window.zorvex.frames)) - framesBefore;
  const trace = JSON.parse((await browser.stopTracing()).toString()).traceEvents;
  await session.send('Profiler.disable');
  const webglMethods = new Set(await page.evaluate(() => Object.getOwnPropertyNames(WebGL2RenderingContext.prototype)));

  const nodes = new Map(profile.nodes.map((node) => [node.id, node]));
  const parents = new Map();
  for (const node of profile.nodes) for (const child of node.children ?? []) parents.set(child, node);
  const inGame = (frame) => frame.url.endsWith('.wasm') || frame.url.startsWith('wasm://') || frame.functionName === 'js-to-wasm';
  const inScript = (frame) => frame.url.endsWith(gameScript);
  const isGL = (frame) => frame.functionName === 'wasm-to-js' || (inScript(frame) && /^_*(gl[A-Z]|emscripten_gl|webgl)/.test(frame.functionName));
  const kind = (leaf) => {
    const { functionName, url } = leaf.callFrame;
    if (functionName === '(idle)') return 'idle';
    if (!url && functionName.startsWith('(')) return 'browser';
    if (!url && webglMethods.has(functionName)) return 'webgl';
    for (let node = leaf; node; node = parents.get(node.id)) {
      const frame = node.callFrame;
      if (isGL(frame)) return 'gl';
      if (inGame(frame)) return 'game';
      if (inScript(frame)) return 'tick';
      if (frame.url) return 'page';
    }
    return 'browser';
  };
  const times = { game: 0, gl: 0, webgl: 0, tick: 0, page: 0, browser: 0, idle: 0 };
  profile.samples.forEach((id, i) => {
    times[kind(nodes.get(id))] += (profile.timeDeltas[i + 1] ?? 0) / 1000;
  });
  const perFrame = Object.fromEntries(Object.entries(times).map(([name, time]) => [name, time / frames]));
  const gpu = busyThread(trace, 'CrGpuMain', profile.startTime, profile.endTime) / frames;
  return { frames, ...perFrame, gl: perFrame.gl + perFrame.webgl, gpu };
}

// Milliseconds the browser's thread `name` ran tasks between `start` and `end` (µs on the trace's
// clock, which the profile shares), tasks within tasks counted once.
function busyThread(events, name, start, end) {
  const threads = new Set(events.filter((event) => event.name === 'thread_name' && event.args.name === name)
    .map((event) => `${event.pid}:${event.tid}`));
  const tasks = events.filter((event) => event.ph === 'X' && event.name === 'ThreadControllerImpl::RunTask' &&
    threads.has(`${event.pid}:${event.tid}`) && event.ts >= start && event.ts + event.dur <= end)
    .sort((a, b) => a.ts - b.ts);
  let busy = 0;
  let until = -Infinity;
  for (const task of tasks) {
    busy += Math.max(0, task.ts + task.dur - Math.max(until, task.ts));
    until = Math.max(until, task.ts + task.dur);
  }
  return busy / 1000;
}

export function printBreakdown(prefix, breakdown) {
  print(`${prefix}_profiled_frames`, breakdown.frames);
  for (const name of ['game', 'gl', 'webgl', 'tick', 'page', 'browser', 'idle', 'gpu'])
    print(`${prefix}_frame_${name}_ms`, breakdown[name].toFixed(2));
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

// What serve() needs to serve the control page from the release in `folder`, with the context
// attributes the game's page got: its rewrite of the game's script.
export function controlRewrite(folder, contextAttributes) {
  const images = ['background.jpg', 'block.png', 'paddle.png', 'awesomeface_01.png']
    .map((name) => fromData(folder, name).toString('base64'));
  const [vertexSource, fragmentSource] = ['vertex.txt', 'fragment.txt'].map((name) => fromData(folder, name).toString('latin1'));
  const settings = { vertexSource, fragmentSource, images, contextAttributes };
  const control = Buffer.from(`(${drawWithoutTheGame})(${JSON.stringify(settings)});\n`);
  const gameScript = releaseFile(folder, 'js');
  return (name, bytes) => (name === gameScript ? control : bytes);
}
