// The game's WebGL 2 context, made by the page before the game's script loads: that it is null
// tells a browser without WebGL 2 before anything of the game is fetched, and the game draws with
// it (Emscripten takes it as Module.preinitializedWebGLContext) rather than the page making a
// probe's context and GLUT another, each a wait of the page's thread on the GPU process.

// What the game's GLUT asks for with glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE), and Emscripten's
// GLUT takes from its display mode: no alpha, depth, stencil or multisampling.
export const gameContextAttributes = { alpha: false, antialias: false, depth: false, stencil: false };

export function createGameContext(canvas) {
  return canvas.getContext('webgl2', gameContextAttributes);
}
