// The release zip's page in Chromium: the first picture and the keys as on the desktop, Escape,
// a fragment stage broken on its way to the browser, and a browser without WebGL 2.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
  gameStatus, keepScreenshot, launchBrowser, openPage, pictureAfterFrames, playAgain, playFromStart, readPictures,
  releaseFile, servedRelease, takePicture, waitForExit, waitForFirstFrame, waitFrames, waitPageTicks, withServedPage,
} from './support.mjs';

const { release, server, browser } = await servedRelease();

const isShown = (page, selector) => page.locator(selector).isVisible();
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

describe('the game page', () => {
  let opened;
  let page;
  before(async () => {
    opened = await openPage(browser, server.url);
    page = opened.page;
    await waitForFirstFrame(page);
  });
  after(() => page?.close());

  test('shows the background, the bricks in their stripes, the paddle and the ball where the desktop draws them', async () => {
    assert.equal(await page.title(), 'Zorvex_OOP');
    assert.deepEqual(await page.locator('#canvas').evaluate((canvas) => [canvas.width, canvas.height]), [600, 600]);
    await waitFrames(page, 3);
    const [picture] = readPictures([await takePicture(page)]);
    await keepScreenshot(page, 'page');
    assert.deepEqual(picture.startFaults, []);
    assert.ok(!(await isShown(page, '#status')), 'the loading line is still shown');
    assert.deepEqual([opened.output, opened.errors], [[], []]);
  });

  // The game moves everything by a fixed step a frame, so frames that came faster than its tick
  // would speed the game up. Judged on the page's clock, which a slow machine can only stretch.
  test('frames come no faster than the game\'s 33-ms tick', async () => {
    const { frames, milliseconds } = await page.evaluate((count) => new Promise((resolve) => {
      const first = { frames: window.zorvex.frames, time: performance.now() };
      const look = () => {
        if (window.zorvex.frames - first.frames < count) return requestAnimationFrame(look);
        resolve({ frames: window.zorvex.frames - first.frames, milliseconds: performance.now() - first.time });
      };
      requestAnimationFrame(look);
    }), 60);
    assert.ok(frames <= milliseconds / 33 + 2, `${frames} frames in ${milliseconds.toFixed(0)} ms`);
  });

  test('arrows move nothing before Space; after it Left moves the paddle until released, and its auto-repeat does not restart it', async (t) => {
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
  });

  test('Escape ends the game with status 0: no frame after it, and Play again starts it anew', async () => {
    await page.keyboard.press('Escape');
    await waitForExit(page);
    const { frames } = await gameStatus(page);
    await waitPageTicks(page, 30);
    const status = await gameStatus(page);
    assert.deepEqual([status.frames, status.exitStatus], [frames, 0], 'frames were drawn after Escape, or not status 0');
    assert.ok(await isShown(page, '#ended'), 'the page does not say the game ended');
    await keepScreenshot(page, 'ended');
    assert.deepEqual([opened.output, opened.errors], [[], []]);

    await playAgain(page, 'click');
    assert.equal((await gameStatus(page)).exitStatus, null);
    assert.ok(!(await isShown(page, '#ended')));
  });
});

// Where zorvex.data holds `name`, from the package's list of files in zorvex.js.
function placeInData(script, name) {
  const entry = script.match(new RegExp(`"filename":\\s*"/${name}",\\s*"start":\\s*(\\d+),\\s*"end":\\s*(\\d+)`));
  assert.ok(entry, `zorvex.js lists no ${name}`);
  return [Number(entry[1]), Number(entry[2])];
}

// A failed stage's report as render/ShaderProgram.cpp writes it: its log cut to the game's 1023 characters.
const report = (header, log) => `${header}\n${log.slice(0, 1023)}\n -- --------------------------------------------------- -- \n`;

test('a fragment stage broken on the way keeps the page drawing and reports what the browser\'s compiler says', async () => {
  const dataFile = releaseFile(release.folder, 'data');
  const data = readFileSync(path.join(release.folder, dataFile));
  const script = readFileSync(path.join(release.folder, releaseFile(release.folder, 'js')), 'utf8');
  const [fragmentStart, fragmentEnd] = placeInData(script, 'fragment.txt');
  const vertex = data.subarray(...placeInData(script, 'vertex.txt')).toString('latin1');
  const fragment = data.subarray(fragmentStart, fragmentEnd).toString('latin1');
  // One byte changed, the length kept, so that the package's list still fits.
  const broken = fragment.replace('void main', 'vo!d main');
  assert.notEqual(broken, fragment, 'the fragment stage has no main to break');
  const changed = Buffer.from(data);
  changed.write(broken, fragmentStart, 'latin1');

  const withBrokenFragment = (name, bytes) => (name === dataFile ? changed : bytes);
  await withServedPage(browser, release.folder, withBrokenFragment, async ({ page, output, errors }) => {
    // The reports come before the first frame; frames go on after them.
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
    assert.deepEqual(output, expected.split('\n').slice(0, -1));
    assert.deepEqual(errors, []);
  });
});

test('a browser without WebGL 2 is told so, and the game is not started', async () => {
  const withoutWebGl2 = await launchBrowser(['--disable-webgl2']);
  try {
    const { page, errors } = await openPage(withoutWebGl2, server.url);
    assert.equal(await page.evaluate(() => !!document.createElement('canvas').getContext('webgl2')), false);
    await page.locator('#status', { hasText: 'needs WebGL 2' }).waitFor({ timeout: 5000 });
    await waitPageTicks(page, 30);
    assert.ok(await isShown(page, '#status'));
    assert.deepEqual(await page.evaluate(() => [window.zorvex?.frames ?? 0, window.zorvex?.firstFrameAt ?? null]), [0, null]);
    assert.deepEqual(errors, []);
  } finally {
    await withoutWebGl2.close();
  }
});
