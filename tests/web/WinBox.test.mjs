// Winning in Chromium: the web build's empty-level page (tests/e2e/EmptyLevelGame.cpp), made a
// release, shows the win box at once; the game waits for it, and the keys that dismiss it end the
// game with status 0, but not those held as it opened. OK is in Play.test.mjs, for every engine.
import assert from 'node:assert/strict';
import { after, test } from 'node:test';

import {
  gameStatus, keepScreenshot, launchBrowser, releaseOfBuild, serve, waitForExit, waitPageTicks, withPage,
} from './support.mjs';

const emptyLevel = releaseOfBuild();
// While set, the server holds the page's .wasm back until this promise settles: the game cannot
// start, and so cannot show its box, before the test is ready.
let wasmHeldUntil = null;
const server = await serve(emptyLevel.folder, async (name, bytes) => {
  if (name.endsWith('.wasm')) await wasmHeldUntil;
  return bytes;
});
const browser = await launchBrowser();
after(async () => {
  await browser.close();
  await server.close();
  emptyLevel.remove();
});

// Every frame the game begins starts with glClear, also one that never reaches glutSwapBuffers.
function countClears() {
  window.clears = 0;
  const clear = WebGL2RenderingContext.prototype.clear;
  WebGL2RenderingContext.prototype.clear = function (...mask) {
    window.clears += 1;
    return clear.apply(this, mask);
  };
}

// Runs `work` on the empty-level page, its clears counted.
const withEmptyLevel = (work) => withPage(browser, server.url, { watch: countClears }, work);
const waitForBox = (page) => page.locator('#message-box').waitFor({ timeout: 15000 });

// withEmptyLevel once the box is up.
const withBox = (work) => withEmptyLevel(async (opened) => {
  await waitForBox(opened.page);
  return work(opened);
});

// Over as many ticks as the game would have drawn 15 frames in.
async function drawsNothingFor15Ticks(page) {
  const clears = await page.evaluate(() => window.clears);
  await waitPageTicks(page, 15);
  return (await page.evaluate(() => window.clears)) === clears;
}

async function expectEndedWithStatusZero({ page, output, errors }) {
  await waitForExit(page);
  assert.ok(await drawsNothingFor15Ticks(page), 'the game drew after it ended');
  assert.equal((await gameStatus(page)).exitStatus, 0);
  assert.ok(await page.locator('#ended').isVisible(), 'the page does not say the game ended');
  assert.ok(!(await page.locator('#message-box').isVisible()), 'the box is still up');
  assert.deepEqual([output, errors], [[], []]);
}

for (const key of ['Enter', 'Space', 'Escape']) {
  test(`${key} dismisses the box as OK does`, async () => {
    await withBox(async (opened) => {
      if (key === 'Enter') await keepScreenshot(opened.page, 'winbox');
      await opened.page.keyboard.press(key);
      await expectEndedWithStatusZero(opened);
    });
  });
}

// Space is what a player mashes; Enter, unlike Space, would press OK by its keydown alone.
for (const key of ['Space', 'Enter']) {
  test(`${key} held as the box opens leaves it up through its auto-repeat and its release; a new press dismisses it`, async () => {
    let sendWasm;
    wasmHeldUntil = new Promise((resolve) => {
      sendWasm = resolve;
    });
    try {
      await withEmptyLevel(async (opened) => {
        const { page } = opened;
        await page.keyboard.down(key);
        sendWasm();
        await waitForBox(page);
        for (let repeat = 0; repeat < 5; ++repeat) await page.keyboard.down(key);
        await page.keyboard.up(key);
        assert.ok(await drawsNothingFor15Ticks(page), 'the game drew while the box was up');
        assert.ok(await page.locator('#message-box').isVisible(), `the held ${key} dismissed the box`);
        assert.equal((await gameStatus(page)).exitStatus, null, 'the game ended while the box was up');

        await page.keyboard.press(key);
        await expectEndedWithStatusZero(opened);
      });
    } finally {
      wasmHeldUntil = null;
    }
  });
}
