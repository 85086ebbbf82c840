// The web build's filter between the GL layer and WebGL (web/zorvex-gl-library.js), in Chromium,
// through a page of the web build that draws its cases and reads each back (GLLayerPage.cpp):
// every part shows the colour drawn there, as desktop GL draws it.
import assert from 'node:assert/strict';
import { after, test } from 'node:test';

import { existingFile, launchBrowser, openPage, releaseOfBuild, serve, waitForFirstFrame } from './support.mjs';

const release = releaseOfBuild(existingFile('ZORVEX_WEB_GL_LAYER_PAGE', 'scripts/build-web').replace(/\.html$/, ''));
const server = await serve(release.folder);
const browser = await launchBrowser();
after(async () => {
  await browser.close();
  await server.close();
  release.remove();
});

const [red, green, blue, none] = ['255,0,0', '0,255,0', '0,0,255', '0,0,0'];

test('repeated and alternated textures, a second unit, a second renderer, indices changed in place, an index buffer of its own, uniform names that change, a program linked again and a second program draw as on the desktop', async () => {
  const { page, errors } = await openPage(browser, server.url);
  try {
    await waitForFirstFrame(page);
    // The page's output box holds what the program wrote before its first frame was presented.
    const lines = await page.evaluate(() => document.getElementById('output').value.trim().split('\n'));
    assert.deepEqual(lines, [
      `textures: ${red} ${green} ${green} ${red}`,
      `units: ${red} ${green} ${green}`,
      `renderers: ${red} ${green} ${blue} ${red}`,
      // Whole; its second triangle made its first; whole; the first three indices; 16-bit.
      `indices: ${red} ${red} ${red} ${none} ${red} ${red} ${red} ${none} ${red} ${red}`,
      // The own buffer's quad whole; the renderer's; the own buffer's second triangle; the renderer's.
      `index buffer: ${green} ${green} ${red} ${red} ${none} ${green} ${red} ${red}`,
      // The tint set through the changed name; the quad drawn after the program was linked again.
      `uniforms: ${green} ${blue}`,
      // The first program's quad, the mirroring program's, the first program's again.
      `programs: ${red} ${green} ${blue}`,
    ]);
    assert.deepEqual(errors, []);
  } finally {
    await page.close();
  }
});
