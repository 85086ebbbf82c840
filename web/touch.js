// Touch on the field plays through the game's keys: a finger that lands releases the ball, and
// while it stays down holds the arrow of the half it is on.
import { pressKey, sendKey } from './keys.js';

// Two fingers on one half hold one arrow, released when the last of them lifts. The middle strip
// holds none, so that a tap there only releases the ball.
const fingerArrows = new Map();
const arrowFingers = { ArrowLeft: 0, ArrowRight: 0 };
const middleStrip = 0.04;

function arrowUnder(canvas, touch) {
  const field = canvas.getBoundingClientRect();
  const across = (touch.clientX - field.left) / field.width;
  if (Math.abs(across - 0.5) < middleStrip) return null;
  return across < 0.5 ? 'ArrowLeft' : 'ArrowRight';
}

function holdArrow(finger, arrow) {
  const held = fingerArrows.get(finger) ?? null;
  if (held === arrow) return;
  if (held && --arrowFingers[held] === 0) sendKey('keyup', held);
  if (arrow && arrowFingers[arrow]++ === 0) sendKey('keydown', arrow);
  fingerArrows.set(finger, arrow);
}

function liftFinger(finger) {
  holdArrow(finger, null);
  fingerArrows.delete(finger);
}

export function setUpTouch(canvas, stage) {
  canvas.addEventListener('touchstart', (event) => {
    event.preventDefault();
    for (const touch of event.changedTouches) {
      pressKey(' ');
      holdArrow(touch.identifier, arrowUnder(canvas, touch));
    }
  }, { passive: false });
  canvas.addEventListener('touchmove', (event) => {
    event.preventDefault();
    for (const touch of event.changedTouches)
      if (fingerArrows.has(touch.identifier)) holdArrow(touch.identifier, arrowUnder(canvas, touch));
  }, { passive: false });
  for (const type of ['touchend', 'touchcancel']) {
    canvas.addEventListener(type, (event) => {
      for (const touch of event.changedTouches) liftFinger(touch.identifier);
    });
  }
  stage.addEventListener('contextmenu', (event) => event.preventDefault());
  // A page that loses focus never sees its fingers lift.
  const liftAll = () => [...fingerArrows.keys()].forEach(liftFinger);
  window.addEventListener('blur', liftAll);
  document.addEventListener('visibilitychange', () => document.hidden && liftAll());
}
