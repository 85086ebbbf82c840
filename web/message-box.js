// The win box: the game's message box as a modal dialog, dismissed by OK, Return, Space or
// Escape pressed while it is up.

const element = (id) => document.getElementById(id);

// The keys down now, and those that were down when the box opened: Space mashed as the level is
// cleared must not dismiss the box, by its auto-repeat or its release, before it is read.
const keysDown = new Set();
let keysDownAtOpen = new Set();
const keyName = (event) => event.code || event.key;

export function setUpMessageBox() {
  window.addEventListener('keydown', (event) => keysDown.add(keyName(event)), true);
  window.addEventListener('keyup', (event) => keysDown.delete(keyName(event)), true);
  window.addEventListener('blur', () => keysDown.clear());

  // Cancelling the other keys too keeps a held Space from arming OK, which its release would click.
  const box = element('message-box');
  box.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' && event.key !== ' ' && event.key !== 'Escape') return;
    event.preventDefault();
    if (!event.repeat && !keysDownAtOpen.has(keyName(event))) box.close();
  });
  box.addEventListener('keyup', (event) => {
    if (keysDownAtOpen.delete(keyName(event))) event.preventDefault();
  });
}

// Opens the box; `dismissed` is called once it has closed.
export function showMessageBox(caption, text, dismissed) {
  const box = element('message-box');
  element('message-box-caption').textContent = caption;
  element('message-box-text').textContent = text;
  box.addEventListener('close', dismissed, { once: true });
  keysDownAtOpen = new Set(keysDown);
  box.showModal();
}
