// The page's one module entry: lays out the field, takes the keys, touch and the win box, and
// starts the game where it can run; once the game has drawn, keeps its files for offline play.
import { setUpKeys } from './keys.js';
import { fitBackingStore, setUpLayout } from './layout.js';
import { showStatus, startGame } from './loading.js';
import { setUpMessageBox, showMessageBox } from './message-box.js';
import { keepForOffline } from './offline.js';
import { setUpTouch } from './touch.js';
import { createGameContext } from './webgl.js';

// This script runs: the hint for a page whose script never does goes.
document.getElementById('not-started').remove();
document.getElementById('play-again').addEventListener('click', () => location.reload());
const canvas = document.getElementById('canvas');
setUpLayout();
setUpKeys();
setUpTouch(canvas, document.getElementById('stage'));
setUpMessageBox();

if (location.protocol === 'file:') {
  showStatus('Opened as a file, Zorvex cannot load its parts: serve its folder over http or https, as README.md\'s "Play in the browser" says.');
} else {
  const context = createGameContext(canvas);
  if (context)
    startGame({ context, onFrame: fitBackingStore, onFirstFrame: keepForOffline, showMessageBox });
  else
    showStatus('Zorvex needs WebGL 2, which this browser does not offer.');
}
