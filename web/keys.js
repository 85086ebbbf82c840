// The game's keys: what the page's buttons and touch send as the keyboard would, no scrolling by
// the keys the game plays, and the arrows let go when the page loses focus or is hidden.

// GLUT reads a key event's keyCode.
const keyCodes = { ' ': 32, ArrowLeft: 37, ArrowRight: 39, Escape: 27 };

export function sendKey(type, key) {
  const keyCode = keyCodes[key];
  window.dispatchEvent(new KeyboardEvent(type, { key, keyCode, which: keyCode, bubbles: true, cancelable: true }));
}

export function pressKey(key) {
  sendKey('keydown', key);
  sendKey('keyup', key);
}

// The game's keys would scroll a page taller than the window; every other key keeps its meaning
// to the browser. Buttons, the dialog and the output keep theirs too.
const scrollingKeys = new Set([' ', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown']);

export function setUpKeys() {
  // Quit, for a screen without an Escape key, ends the game as Escape does.
  document.getElementById('quit').addEventListener('click', () => pressKey('Escape'));
  window.addEventListener('keydown', (event) => {
    const onControl = event.target instanceof Element && event.target.closest('button, textarea, dialog');
    if (scrollingKeys.has(event.key) && !onControl) event.preventDefault();
  });
  // A window that loses focus never sees the keyup of a key held at that moment: the arrows are
  // let go then, as on a real keyboard, and the paddle stops.
  const releaseArrows = () => {
    sendKey('keyup', 'ArrowLeft');
    sendKey('keyup', 'ArrowRight');
  };
  window.addEventListener('blur', releaseArrows);
  document.addEventListener('visibilitychange', () => document.hidden && releaseArrows());
}
