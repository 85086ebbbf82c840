// The release page in Chromium on other screens than a desktop's, with its device profiles and
// touch through the DevTools protocol: the field whole and square in phone, laptop and desktop
// windows and after a rotation, fullscreen with Quit on the stage, sharp at devicePixelRatio 2,
// the hints of a touch-screen laptop, played by touch as by the keys, and a page that loses focus
// or is hidden lets go of its arrows.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import {
  devices, gameStatus, keepScreenshot, launchBrowser, openPage, pictureAfterFrames, playAgain, playFromStart, readPictures,
  servedRelease, takePicture, touchScreen, waitForExit, waitForFirstFrame, waitFrames, withPage,
} from './support.mjs';

const { server, browser } = await servedRelease();

// Where the field is, in CSS pixels, beside the window and the canvas's backing store.
const fieldPlace = (page) => page.locator('#canvas').evaluate((canvas) => {
  const { left, top, right, bottom, width, height } = canvas.getBoundingClientRect();
  return {
    left, top, right, bottom, width, height, backing: [canvas.width, canvas.height],
    window: [innerWidth, innerHeight], pageWidth: document.documentElement.scrollWidth, density: devicePixelRatio,
  };
});

test('the field is whole, square and as large as fits, in phone, laptop and desktop windows, and after a rotation', async () => {
  await withPage(browser, server.url, { device: devices['Pixel 7'] }, async ({ page, output, errors }) => {
    await waitForFirstFrame(page);
    const [phoneWidth, phoneHeight] = [page.viewportSize().width, page.viewportSize().height];
    const windows = [[phoneWidth, phoneHeight], [phoneHeight, phoneWidth], [390, 844], [844, 390], [1366, 600], [1920, 1080]];
    for (const [width, height] of windows) {
      await page.setViewportSize({ width, height });
      await waitFrames(page, 2);
      const field = await fieldPlace(page);
      const where = `in a ${width} × ${height} window: ${JSON.stringify(field)}`;
      assert.deepEqual(field.window, [width, height]);
      assert.equal(field.width, field.height, `the field is not square ${where}`);
      assert.ok(field.left >= 0 && field.top >= 0 && field.right <= width && field.bottom <= height, `the field is cut off ${where}`);
      assert.ok(field.pageWidth <= width, `the page scrolls sideways ${where}`);
      assert.ok(field.width >= Math.min(600, 0.9 * Math.min(width, height)), `the field is smaller than it need be ${where}`);
      assert.ok(field.width <= 600, `the field is larger than its own size ${where}`);
      assert.deepEqual(field.backing, Array(2).fill(Math.round(field.width * field.density)), `the backing store ${where}`);
      if (height > width) assert.ok(Math.abs(field.left + field.right - width) <= 1, `the field is not centred ${where}`);
      if (width === phoneWidth) await keepScreenshot(page, 'phone-portrait');
      if (width === phoneHeight) await keepScreenshot(page, 'phone-landscape');
    }
    assert.deepEqual([output, errors], [[], []]);
  });
});

test('Fullscreen puts the field alone on the screen, as large as its shorter side, and leaving it brings the page back', async () => {
  const phoneOnItsSide = { ...devices['Pixel 7'], viewport: { width: 839, height: 412 }, screen: { width: 839, height: 412 } };
  await withPage(browser, server.url, { device: phoneOnItsSide }, async ({ page, output, errors }) => {
    await waitForFirstFrame(page);
    const before = await fieldPlace(page);
    await page.locator('#fullscreen').click();
    await page.waitForFunction(() => document.fullscreenElement === document.getElementById('stage'), null, { timeout: 5000 });
    await waitFrames(page, 2);
    const full = await fieldPlace(page);
    assert.equal(full.width, 412, `in fullscreen: ${JSON.stringify(full)}`);
    assert.deepEqual(full.backing, Array(2).fill(Math.round(412 * full.density)));
    assert.ok(Math.abs(full.left + full.right - 839) <= 1, 'the field is not centred in fullscreen');
    // A phone has no Escape key: Quit is on the fullscreen stage, beside the field.
    const quit = await page.locator('#quit').evaluate((button) => ({
      onStage: document.fullscreenElement.contains(button), ...button.getBoundingClientRect().toJSON(),
    }));
    assert.ok(quit.onStage && await page.locator('#quit').isVisible(), 'Quit is not on the fullscreen stage');
    assert.ok(quit.left >= full.right || quit.right <= full.left || quit.top >= full.bottom || quit.bottom <= full.top,
      `Quit ${JSON.stringify(quit)} lies over the field`);
    await keepScreenshot(page, 'phone-fullscreen');
    await page.evaluate(() => document.exitFullscreen());
    await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 });
    await waitFrames(page, 2);
    assert.deepEqual(await fieldPlace(page), before);
    assert.ok(await page.locator('#bar #quit').isVisible(), 'Quit is not back in the bar');

    await page.locator('#fullscreen').click();
    await page.waitForFunction(() => document.fullscreenElement !== null, null, { timeout: 5000 });
    await page.locator('#quit').tap();
    await waitForExit(page);
    assert.equal((await gameStatus(page)).exitStatus, 0);
    assert.deepEqual([output, errors], [[], []]);
  });
});

// A screen with a mouse and a touch screen both, as a touch-screen laptop has.
test('a touch-screen laptop names the keys and the touch controls both, and offers Quit', async () => {
  const laptop = await launchBrowser(['--blink-settings=availablePointerTypes=6,primaryPointerType=4']);
  try {
    await withPage(laptop, server.url, {}, async ({ page }) => {
      await waitForFirstFrame(page);
      assert.deepEqual(await page.evaluate(() => [matchMedia('(any-pointer: fine)').matches, matchMedia('(any-pointer: coarse)').matches]),
        [true, true]);
      for (const hint of ['#controls', '#touch-controls', '#quit'])
        assert.ok(await page.locator(hint).isVisible(), `${hint} is not shown`);
    });
  } finally {
    await laptop.close();
  }
});

describe('a desktop at devicePixelRatio 2', () => {
  test('draws the 600-px field from 1200 × 1200 pixels, filled as on the desktop, and names the keys', async () => {
    const device = { viewport: { width: 1280, height: 900 }, deviceScaleFactor: 2 };
    await withPage(browser, server.url, { device }, async ({ page, output, errors }) => {
      await waitForFirstFrame(page);
      await waitFrames(page, 3);
      const field = await fieldPlace(page);
      assert.deepEqual([field.width, field.height, ...field.backing], [600, 600, 1200, 1200]);
      const [picture] = readPictures([await takePicture(page, { scale: 'css' })]);
      assert.deepEqual(picture.startFaults, []);
      assert.ok(await page.locator('#controls').isVisible(), 'the keys are not named');
      assert.ok(!(await page.locator('#touch-controls').isVisible()) && !(await page.locator('#quit').isVisible()),
        'a screen without touch is offered touch controls');
      assert.deepEqual([output, errors], [[], []]);
    });
  });
});

// The browser's own events, as a switch to another window or tab sends them.
const focusLosses = {
  'loses focus': () => window.dispatchEvent(new FocusEvent('blur')),
  'is hidden': () => {
    Object.defineProperty(document, 'hidden', { value: true, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  },
};

for (const [how, loseFocus] of Object.entries(focusLosses)) {
  test(`a page that ${how} with Right held stops the paddle`, async (t) => {
    await withPage(browser, server.url, {}, async ({ page, output, errors }) => {
      await waitForFirstFrame(page);
      await waitFrames(page, 3);
      const [atStart, lost, later] = (await playFromStart(page, t, async () => {
        await page.keyboard.press('Space');
        await page.keyboard.down('ArrowRight');
        await waitFrames(page, 2);
        await page.evaluate(loseFocus);
        // Taken before a paddle that went on could reach the wall, 14 frames from the start.
        const pictures = [await pictureAfterFrames(page, 1), await pictureAfterFrames(page, 2)];
        await page.keyboard.up('ArrowRight');
        return pictures;
      })).map((picture) => picture.paddleLeftEdge);
      assert.ok(lost >= atStart + 20, `Right held did not move the paddle (from ${atStart} to ${lost})`);
      assert.equal(later, lost, `the paddle went on after the page ${how === 'is hidden' ? 'was hidden' : 'lost focus'}`);
      assert.deepEqual([output, errors], [[], []]);
    });
  });
}

// A tablet's touch screen with a field of 600 CSS px at density 1, read as the desktop's pictures.
describe('by touch', () => {
  let page;
  let opened;
  let field;
  before(async () => {
    opened = await openPage(browser, server.url, null, { ...devices['Pixel 7'], viewport: { width: 800, height: 1000 }, deviceScaleFactor: 1 });
    page = opened.page;
    await waitForFirstFrame(page);
    await waitFrames(page, 3);
    field = await fieldPlace(page);
    assert.equal(field.width, 600);
  });
  after(() => page?.close());

  const at = (across, down) => [field.left + across * field.width, field.top + down * field.height];

  test('a tap releases the ball; a finger held on the right half moves the paddle right until lifted; a cancelled one on the left half stops too', async (t) => {
    assert.ok(await page.locator('#touch-controls').isVisible() && !(await page.locator('#controls').isVisible()),
      'the hint line does not show the touch controls');
    const touch = await touchScreen(page);
    const hold = async (across, frames, end) => {
      await touch.down(...at(across, 0.5));
      await waitFrames(page, frames);
      await end();
      return [await takePicture(page), await pictureAfterFrames(page, 2)];
    };
    // Few frames in all: a ball lost on the way would be launched again by the next finger.
    const readings = await playFromStart(page, t, async () => {
      await touch.down(...at(0.5, 0.5));
      await touch.up();
      await waitFrames(page, 2);
      return [await takePicture(page), ...(await hold(0.8, 2, touch.up)), ...(await hold(0.2, 2, touch.cancel))];
    });
    const [atStart, tapped, lifted, afterLift, cancelled, afterCancel] = readings.map((picture) => picture.paddleLeftEdge);
    assert.ok(readings[1].ballPlaceShowsBackground >= 0.9, 'the tap did not release the ball');
    assert.equal(tapped, atStart, 'a tap in the middle moved the paddle');
    assert.ok(lifted >= atStart + 20, `a finger on the right half did not move the paddle right (${atStart} to ${lifted})`);
    assert.equal(afterLift, lifted, 'the paddle went on after the finger was lifted');
    assert.ok(cancelled <= lifted - 20, `a finger on the left half did not move the paddle left (${lifted} to ${cancelled})`);
    assert.equal(afterCancel, cancelled, 'the paddle went on after the touch was cancelled');
    assert.deepEqual([opened.output, opened.errors], [[], []]);
  });

  test('a second finger is a second key: on the left half with the first on the right it takes the paddle left, and lifting it stops the paddle', async (t) => {
    const touch = await touchScreen(page);
    await page.reload();
    await waitForFirstFrame(page);
    await waitFrames(page, 3);
    // The game goes on while a picture is taken, so the leftward move is judged between two
    // pictures that both have the second finger down, never across the moment it lands.
    const [atStart, firstHeld, secondHeld, secondHeldLater, secondLifted, later] = (await playFromStart(page, t, async () => {
      await touch.down(...at(0.8, 0.5), 1);
      const pictures = [await pictureAfterFrames(page, 3)];
      await touch.down(...at(0.2, 0.5), 2);
      pictures.push(await pictureAfterFrames(page, 1), await pictureAfterFrames(page, 3));
      await touch.up(2);
      pictures.push(await pictureAfterFrames(page, 1), await pictureAfterFrames(page, 2));
      await touch.up(1);
      return pictures;
    })).map((picture) => picture.paddleLeftEdge);
    assert.ok(firstHeld >= atStart + 20, `the first finger did not move the paddle right (${atStart} to ${firstHeld})`);
    assert.ok(secondHeldLater <= secondHeld - 20, `the second finger did not take the paddle left (${secondHeld} to ${secondHeldLater})`);
    assert.equal(later, secondLifted, 'the paddle went on after the second finger was lifted, as it stops when Left is released with Right down');
    assert.deepEqual([opened.output, opened.errors], [[], []]);
  });

  test('Quit ends the game by touch, and Play again starts it anew', async () => {
    await page.locator('#quit').tap();
    await waitForExit(page);
    assert.equal((await gameStatus(page)).exitStatus, 0);
    await playAgain(page, 'tap');
    assert.equal((await gameStatus(page)).exitStatus, null);
  });
});
