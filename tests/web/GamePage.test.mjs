// The release zip's page in Chromium alone: frames no faster than the game's tick, and a browser
// without WebGL 2. The cases every engine runs are in Play.test.mjs.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { launchBrowser, openPage, servedRelease, waitForFirstFrame, waitPageTicks } from './support.mjs';

const { server, browser } = await servedRelease();

// The game moves everything by a fixed step a frame, so frames that came faster than its tick
// would speed the game up. Judged on the page's clock, which a slow machine can only stretch.
test('frames come no faster than the game\'s 33-ms tick', async () => {
  const { page } = await openPage(browser, server.url);
  try {
    await waitForFirstFrame(page);
    const { frames, milliseconds } = await page.evaluate((count) => new Promise((resolve) => {
      const first = { frames: window.zorvex.frames, time: performance.now() };
      const look = () => {
        if (window.zorvex.frames - first.frames < count) return requestAnimationFrame(look);
        resolve({ frames: window.zorvex.frames - first.frames, milliseconds: performance.now() - first.time });
      };
      requestAnimationFrame(look);
    }), 60);
    assert.ok(frames <= milliseconds / 33 + 2, `${frames} frames in ${milliseconds.toFixed(0)} ms`);
  } finally {
    await page.close();
  }
});

test('a browser without WebGL 2 is told so, and the game is not started', async () => {
  const withoutWebGl2 = await launchBrowser(['--disable-webgl2']);
  try {
    const { page, errors } = await openPage(withoutWebGl2, server.url);
    assert.equal(await page.evaluate(() => !!document.createElement('canvas').getContext('webgl2')), false);
    await page.locator('#status', { hasText: 'needs WebGL 2' }).waitFor({ timeout: 5000 });
    await waitPageTicks(page, 30);
    assert.ok(await page.locator('#status').isVisible());
    assert.deepEqual(await page.evaluate(() => [window.zorvex?.frames ?? 0, window.zorvex?.firstFrameAt ?? null]), [0, null]);
    assert.deepEqual(errors, []);
  } finally {
    await withoutWebGl2.close();
  }
});
