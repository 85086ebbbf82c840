// Whether the browser offers WebGL 2, which the game draws with.

// The probe's context is left to the garbage collector: losing it on purpose
// (WEBGL_lose_context) has Firefox warn "WebGL context was lost." on every load.
export function offersWebGL2() {
  const probe = document.createElement('canvas');
  probe.width = probe.height = 1;
  return probe.getContext('webgl2') !== null;
}
