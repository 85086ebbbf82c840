// The release zip's page played in the engine ZORVEX_WEB_ENGINE names (engines.mjs), the same
// cases in each: the first picture, the hints, the keys without a click, Escape and Play again,
// Quit in fullscreen, the win box, a broken fragment stage's reports, the layout at a phone's size,
// and the page under a strict script policy.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, test } from 'node:test';

import { engineOfTheRun, launchEngine } from './engines.mjs';
import {
  assertQuiet, gameStatus, pictureAfterFrames, playFromStart, readPictures, releaseFile, releaseOfBuild, serve,
  takePicture, unpackRelease, waitForExit, waitForFirstFrame, waitFrames, waitPageTicks,
} from './support.mjs';

const release = unpackRelease();
const emptyLevel = releaseOfBuild();
const engine = await launchEngine(engineOfTheRun());
const served = { consoleInPage: engine.consoleInPage };
const server = await serve(release.folder, null, served);
after(async () => {
  await engine.close();
  await server.close();
  release.remove();
  emptyLevel.remove();
});

// Runs `work` on a new page of the engine at `url` (window size `size`), closed however it ends.
async function withPage(url, work, size = {}) {
  const page = await engine.newPage(url, size);
  try {
    return await work(page);
  } finally {
    await page.close();
  }
}


const isShown = (page, id) => page.evaluate((which) => {
  const shown = document.getElementById(which);
  return shown !== null && shown.getClientRects().length > 0 && getComputedStyle(shown).visibility === 'visible';
}, id);

test(`${engine.version}: the first picture is the desktop's, with nothing said on the console`, async () => {
  await withPage(server.url, async (page) => {
    await waitForFirstFrame(page);
    await waitFrames(page, 3);
    const [picture] = readPictures([await takePicture(page)]);
    assert.deepEqual(picture.startFaults, []);
    const shown = await page.evaluate(() => ({
      title: document.title,
      backing: [document.getElementById('canvas').width, document.getElementById('canvas').height],
      description: document.querySelector('meta[name="description"]')?.content ?? '',
    }));
    assert.deepEqual([shown.title, shown.backing], ['Zorvex_OOP', [600, 600]]);
    assert.ok(shown.description.length >= 50, `the page describes itself as "${shown.description}"`);
    assert.ok(!(await isShown(page, 'status')), 'the loading line is still shown');
    await assertQuiet(page);
    // Firefox warned "WebGL context was lost." for a probe that lost its context on purpose.
    const warnings = page.warnings();
    if (warnings !== null) assert.deepEqual(warnings.filter((line) => line.includes(server.url)), []);
  });
});

test(`${engine.version}: the keys are named where a fine pointer is or none, the touch controls and Quit where a finger is`, async () => {
  await withPage(server.url, async (page) => {
    await waitForFirstFrame(page);
    const pointers = await page.evaluate(() => ({
      fine: matchMedia('(any-pointer: fine)').matches, coarse: matchMedia('(any-pointer: coarse)').matches,
      touchPoints: navigator.maxTouchPoints,
    }));
    const hints = { keys: await isShown(page, 'controls'), touch: await isShown(page, 'touch-controls'), quit: await isShown(page, 'quit') };
    assert.deepEqual(hints, { keys: pointers.fine || !pointers.coarse, touch: pointers.coarse, quit: pointers.coarse },
      `with pointers ${JSON.stringify(pointers)}`);
  });
});

// A phone has no Escape key: where a finger can play, Quit goes onto the fullscreen stage with the
// field. Only where Quit is offered, and so not in WebKit, whose touch cannot be tried here.
test(`${engine.version}: in fullscreen Quit is on the stage beside the field, and ends the game`, async (t) => {
  await withPage(server.url, async (page) => {
    await waitForFirstFrame(page);
    if (!(await isShown(page, 'quit'))) return t.skip('no coarse pointer here: the page offers no Quit');
    await page.click('#fullscreen');
    await page.waitForFunction(() => document.fullscreenElement === document.getElementById('stage'));
    await waitFrames(page, 2);
    const [field, quit, onStage] = await page.evaluate(() => [
      ...['canvas', 'quit'].map((id) => document.getElementById(id).getBoundingClientRect().toJSON()),
      document.fullscreenElement.contains(document.getElementById('quit'))]);
    assert.ok(onStage && await isShown(page, 'quit'), 'Quit is not on the fullscreen stage');
    assert.ok(quit.left >= field.right || quit.right <= field.left || quit.top >= field.bottom || quit.bottom <= field.top,
      `Quit ${JSON.stringify(quit)} lies over the field ${JSON.stringify(field)}`);
    await page.click('#quit');
    await waitForExit(page);
    assert.equal((await gameStatus(page)).exitStatus, 0);
    await assertQuiet(page);
  });
});

const scrollY = (page) => page.evaluate(() => window.scrollY);

// So that any key the page lets through would scroll it.
async function makeTallerThanTheWindow(page) {
  await page.evaluate(() => document.body.append(Object.assign(document.createElement('div'), { style: 'height: 4000px' })));
  assert.ok(await page.evaluate(() => document.documentElement.scrollHeight > innerHeight));
}

// Space, then pictures of the paddle: after Left was held and released, a frame later, after Left
// was held again and Right pressed and released (which stops the paddle, Left still down), and
// after Left's auto-repeat.
async function arrowsAfterSpace(page) {
  const hold = async (key, frames) => {
    await page.keyboard.down(key);
    await waitFrames(page, frames);
  };
  await page.keyboard.press('Space');
  assert.equal(await scrollY(page), 0, 'Space scrolled the page');
  await hold('ArrowLeft', 3);
  await page.keyboard.up('ArrowLeft');
  const pictures = [await pictureAfterFrames(page, 2), await pictureAfterFrames(page, 1)];
  await hold('ArrowLeft', 2);
  await page.keyboard.down('ArrowRight');
  await page.keyboard.up('ArrowRight');
  pictures.push(await pictureAfterFrames(page, 2));
  await hold('ArrowLeft', 3); // Left is still down: this keydown is its auto-repeat
  pictures.push(await takePicture(page));
  await page.keyboard.up('ArrowLeft');
  return pictures;
}

test(`${engine.version}: the keys play without a click: arrows move nothing before Space; after it Left moves the paddle until released, and its auto-repeat does not restart it; Escape ends the game, and Play again starts it anew`, async (t) => {
  await withPage(server.url, async (page) => {
    await waitForFirstFrame(page);
    await waitFrames(page, 3);
    await makeTallerThanTheWindow(page);
    const first = await takePicture(page);
    for (const key of ['ArrowLeft', 'ArrowRight', 'ArrowDown', 'ArrowUp']) {
      await page.keyboard.down(key);
      await waitFrames(page, 3);
      await page.keyboard.up(key);
      assert.equal(await scrollY(page), 0, `${key} scrolled the page`);
    }
    await waitFrames(page, 2);
    assert.ok((await takePicture(page)).equals(first), 'the picture changed while arrows were held before Space');

    // After Space the ball is back at the paddle's height 36 frames later at the soonest, and a
    // lost ball puts ball and paddle back at their start. Pictures take a few frames each, more on
    // a busy machine: should the ball be lost before the last, the keys are played again.
    const readings = await playFromStart(page, t, () => arrowsAfterSpace(page), () => makeTallerThanTheWindow(page));
    const [atStart, leftHeld, leftReleased, rightReleased, leftRepeated] = readings.map((picture) => picture.paddleLeftEdge);
    assert.ok(atStart >= 239 && atStart < 300, `the paddle starts at ${atStart}`);
    assert.ok(readings.slice(1).every((picture) => picture.ballPlaceShowsBackground >= 0.9),
      'the ball did not leave the paddle after Space, or was lost before the pictures were taken');
    assert.ok(leftHeld <= atStart - 30, `holding Left moved the paddle from ${atStart} only to ${leftHeld}`);
    assert.equal(leftReleased, leftHeld, 'the paddle went on after Left was released');
    assert.ok(rightReleased < leftReleased, 'Left held a second time did not move the paddle');
    assert.equal(leftRepeated, rightReleased, "Left's auto-repeat moved the paddle again");
    assert.equal(await scrollY(page), 0, 'the keys scrolled the page');

    await page.keyboard.press('Escape');
    await waitForExit(page);
    const { frames } = await gameStatus(page);
    await waitPageTicks(page, 30);
    const ended = await gameStatus(page);
    assert.deepEqual([ended.frames, ended.exitStatus], [frames, 0], 'frames were drawn after Escape, or not status 0');
    assert.ok(await isShown(page, 'ended'), 'the page does not say the game ended');
    await assertQuiet(page);
    await page.click('#play-again');
    await page.waitForFunction(() => window.zorvex?.exitStatus === null && window.zorvex.firstFrameAt !== null);
    assert.ok(!(await isShown(page, 'ended')));
  });
});

test(`${engine.version}: the win box says "Level 1 Complete" under "Zorvex"; nothing is drawn while it is up, and OK ends the game with status 0`, async () => {
  const winServer = await serve(emptyLevel.folder, null, served);
  try {
    await withPage(winServer.url, async (page) => {
      await page.waitForFunction(() => document.getElementById('message-box').open);
      // The lines as laid out (WebKit's innerText joins them with a space).
      const box = await page.evaluate(() => {
        const text = document.getElementById('message-box-text');
        return {
          modal: document.getElementById('message-box').matches(':modal'),
          caption: document.getElementById('message-box-caption').textContent,
          text: text.textContent,
          lines: Math.round(text.getBoundingClientRect().height / parseFloat(getComputedStyle(text).lineHeight)),
        };
      });
      assert.deepEqual(box, { modal: true, caption: 'Zorvex', text: 'Level 1 Complete\nThanks for playing!', lines: 2 });
      const { frames } = await gameStatus(page);
      await waitPageTicks(page, 15);
      assert.deepEqual(await gameStatus(page), { frames, firstFrameAt: null, exitStatus: null }, 'the game went on while the box was up');
      await page.click('#message-box-ok');
      await waitForExit(page);
      assert.equal((await gameStatus(page)).exitStatus, 0);
      assert.ok(await isShown(page, 'ended'), 'the page does not say the game ended');
      await assertQuiet(page);
    });
  } finally {
    await winServer.close();
  }
});

// Where zorvex.data holds `name`, from the package's list of files in zorvex.js.
function placeInData(script, name) {
  const entry = script.match(new RegExp(`"filename":\\s*"/${name}",\\s*"start":\\s*(\\d+),\\s*"end":\\s*(\\d+)`));
  assert.ok(entry, `zorvex.js lists no ${name}`);
  return [Number(entry[1]), Number(entry[2])];
}

// A failed stage's report as render/ShaderProgram.cpp writes it: its log cut to the game's 1023 characters.
const report = (header, log) => `${header}\n${log.slice(0, 1023)}\n -- --------------------------------------------------- -- \n`;

test(`${engine.version}: a fragment stage broken on the way keeps the page drawing and reports what the browser's compiler says`, async () => {
  const dataFile = releaseFile(release.folder, 'data');
  const data = readFileSync(path.join(release.folder, dataFile));
  const script = readFileSync(path.join(release.folder, releaseFile(release.folder, 'js')), 'utf8');
  const [fragmentStart, fragmentEnd] = placeInData(script, 'fragment.txt');
  const vertex = data.subarray(...placeInData(script, 'vertex.txt')).toString('latin1');
  // One byte changed, the length kept, so that the package's list still fits.
  const broken = data.subarray(fragmentStart, fragmentEnd).toString('latin1').replace('void main', 'vo!d main');
  const changed = Buffer.from(data);
  changed.write(broken, fragmentStart, 'latin1');
  const brokenServer = await serve(release.folder, (name, bytes) => (name === dataFile ? changed : bytes), served);
  try {
    await withPage(brokenServer.url, async (page) => {
      await waitForFirstFrame(page);
      await waitFrames(page, 10);
      // The same sources built in a WebGL 2 context of the test's own, in the same browser.
      const built = await page.evaluate(([vertexSource, fragmentSource]) => {
        const gl = document.createElement('canvas').getContext('webgl2');
        const program = gl.createProgram();
        const [vertexShader, fragmentShader] = [[gl.VERTEX_SHADER, vertexSource], [gl.FRAGMENT_SHADER, fragmentSource]]
          .map(([type, source]) => {
            const shader = gl.createShader(type);
            gl.shaderSource(shader, source);
            gl.compileShader(shader);
            gl.attachShader(program, shader);
            return shader;
          });
        gl.linkProgram(program);
        return {
          compiled: [vertexShader, fragmentShader].map((shader) => gl.getShaderParameter(shader, gl.COMPILE_STATUS)),
          linked: gl.getProgramParameter(program, gl.LINK_STATUS),
          fragmentLog: gl.getShaderInfoLog(fragmentShader),
          programLog: gl.getProgramInfoLog(program),
        };
      }, [vertex, broken]);
      assert.deepEqual([...built.compiled, built.linked], [true, false, false]);
      const expected = report('| ERROR::SHADER: Compile-time error: Type: FRAGMENT', built.fragmentLog) +
        report('| ERROR::Shader: Link-time error: Type: PROGRAM', built.programLog);
      assert.deepEqual(await page.output(), expected.split('\n').slice(0, -1));
      assert.deepEqual(await page.errors(), []);
    });
  } finally {
    await brokenServer.close();
  }
});

// Where the field is, in CSS pixels, beside the window and the canvas's backing store.
const fieldPlace = (page) => page.evaluate(() => {
  const canvas = document.getElementById('canvas');
  const { left, top, right, bottom, width, height } = canvas.getBoundingClientRect();
  return { left, top, right, bottom, width, height, backing: [canvas.width, canvas.height], window: [innerWidth, innerHeight],
    pageWidth: document.documentElement.scrollWidth, pageHeight: document.documentElement.scrollHeight };
});

// WebKit's windows are at least 447 px wide: a large phone's 450 × 844, upright and on its side.
test(`${engine.version}: at a phone's size, upright and on its side, the field is whole, square, as large as fits, and the page does not scroll`, async () => {
  await withPage(server.url, async (page) => {
    await waitForFirstFrame(page);
    for (const [width, height] of [[450, 844], [844, 450]]) {
      await page.setViewportSize({ width, height });
      await page.waitForFunction(([w, h]) => innerWidth === w && innerHeight === h, [width, height]);
      await waitFrames(page, 2);
      const field = await fieldPlace(page);
      const where = `in a ${width} × ${height} window: ${JSON.stringify(field)}`;
      assert.equal(field.width, field.height, `the field is not square ${where}`);
      assert.ok(field.left >= 0 && field.top >= 0 && field.right <= width && field.bottom <= height, `the field is cut off ${where}`);
      assert.ok(field.pageWidth <= width && field.pageHeight <= height, `the page scrolls ${where}`);
      assert.ok(field.width >= 0.9 * Math.min(width, height), `the field is smaller than it need be ${where}`);
      assert.deepEqual(field.backing, [Math.round(field.width), Math.round(field.width)], `the backing store ${where}`);
    }
    // A phone's large viewport (vh) is taller than the window while its bars show; no engine here
    // shows bars, so the page's height is read as its style gives it: in the dynamic viewport's
    // units wherever the browser has them.
    const height = await page.evaluate(() => ({
      dynamic: CSS.supports('min-height: 100dvh'),
      minHeight: [...document.styleSheets].flatMap((sheet) => [...sheet.cssRules])
        .filter((rule) => rule.style?.minHeight && document.body.matches(rule.selectorText)).pop()?.style.minHeight,
    }));
    if (height.dynamic) assert.match(height.minHeight, /dvh$/, 'the page\'s height is not the dynamic viewport\'s');
    await assertQuiet(page);
  });
});

// With no script in the page, a host may forbid every other; a WebAssembly game needs
// 'wasm-unsafe-eval' besides, for the browser to compile its wasm.
test(`${engine.version}: the page plays under Content-Security-Policy: script-src 'self' 'wasm-unsafe-eval'`, async () => {
  const strictServer = await serve(release.folder, null, { ...served, headers: { 'Content-Security-Policy': "script-src 'self' 'wasm-unsafe-eval'" } });
  try {
    await withPage(strictServer.url, async (page) => {
      await waitForFirstFrame(page);
      await page.keyboard.press('Space');
      await waitFrames(page, 5);
      await assertQuiet(page);
      // The policy holds: a script written into the page does not run.
      assert.ok(await page.evaluate(() => {
        const inline = document.createElement('script');
        inline.textContent = 'window.inlineScriptRan = true;';
        document.head.append(inline);
        return window.inlineScriptRan === undefined;
      }), 'the policy is not in force');
    });
  } finally {
    await strictServer.close();
  }
});
