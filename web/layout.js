// The field's size and pixel density: 600 CSS px where that fits, else the largest square beside
// the bar; in fullscreen the screen's shorter side, with Quit beside it. Its backing store is that
// size in device pixels, so that it is sharp at any density; the game keeps drawing its 600 × 600
// field into the whole viewport.
import { zorvex } from './loading.js';

const element = (id) => document.getElementById(id);
const stage = element('stage');
const canvas = element('canvas');
const quit = element('quit');
const fullscreen = element('fullscreen');
let backingSize = 600;

// In fullscreen the stage is the screen, and Quit, where shown, needs a margin beside the field.
function fullscreenFieldSize() {
  const width = stage.clientWidth;
  const height = stage.clientHeight;
  const landscape = width >= height;
  const margin = parseFloat(getComputedStyle(quit).right) || 0;
  const room = quit.offsetWidth === 0 ? 0 : 2 * margin + (landscape ? quit.offsetWidth : quit.offsetHeight);
  return Math.min(width, height, Math.max(width, height) - 2 * room);
}

function fitField() {
  let size;
  if (document.fullscreenElement === stage) {
    size = fullscreenFieldSize();
  } else {
    const main = stage.parentElement;
    const style = getComputedStyle(main);
    const gap = parseFloat(style.rowGap) || 0;
    let width = document.documentElement.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    let height = window.innerHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
    if (style.flexDirection === 'row')
      width -= element('side').offsetWidth + gap;
    else
      height -= element('bar').offsetHeight + gap;
    size = Math.min(width, height, 600);
  }
  size = Math.max(1, Math.floor(size));
  stage.style.setProperty('--field', size + 'px');
  backingSize = Math.round(size * window.devicePixelRatio);
  fitBackingStore();
}

// GLUT sets the canvas to 600 × 600 as the game starts, and to 1 × 1 as it ends: the first frame
// after the start puts it back.
export function fitBackingStore() {
  if (zorvex.exitStatus !== null || canvas.width === backingSize) return;
  canvas.width = canvas.height = backingSize;
  if (window.Module && Module.ctx) Module.ctx.viewport(0, 0, backingSize, backingSize);
}

function watchDensity() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
    fitField();
    watchDensity();
  }, { once: true });
}

// Quit goes into the stage in fullscreen, where a phone has no Escape key, and back to the bar after.
function placeQuit() {
  if (document.fullscreenElement === stage)
    stage.append(quit);
  else
    fullscreen.after(quit);
}

export function setUpLayout() {
  window.addEventListener('resize', fitField);
  document.addEventListener('fullscreenchange', () => {
    placeQuit();
    fitField();
  });
  watchDensity();
  fitField();
  // The bar's text may wrap differently once its font has loaded.
  document.fonts.ready.then(fitField);

  // The button gives its focus back, so that Space plays rather than pressing it again.
  fullscreen.hidden = !document.fullscreenEnabled;
  fullscreen.addEventListener('click', () => {
    fullscreen.blur();
    stage.requestFullscreen().catch(() => {});
  });
}
