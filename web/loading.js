// Loading and starting the game: the Emscripten module's hooks, the game's script and wasm
// fetched under the names the release gives them, and a file that does not arrive, or a crash,
// named on the page rather than left at "Loading…".

const element = (id) => document.getElementById(id);
const status = element('status');

// For whoever watches the page: frames presented, when the first came, and the exit status.
export const zorvex = window.zorvex = { frames: 0, firstFrameAt: null, exitStatus: null };

export function showStatus(text) {
  status.textContent = text;
  status.hidden = false;
}

function showOutputLine(line) {
  const output = element('output');
  output.hidden = false;
  output.value += line + '\n';
  output.scrollTop = output.scrollHeight;
}

let failed = false;
function showLoadFailure(file, why) {
  failed = true;
  showStatus(`Zorvex could not load ${file} (${why}).`);
}

const fileName = (url) => decodeURIComponent(new URL(url, location.href).pathname.split('/').pop());

// Emscripten's loader of zorvex.data reports a failure only by throwing one of these.
function dataLoadFailure(message) {
  const failure = /NetworkError for: (\S+)/.exec(message) || /Error: (.*) : (\S+\.data)$/.exec(message);
  if (!failure) return false;
  showLoadFailure(fileName(failure[2] || failure[1]), failure[2] ? failure[1] || 'error' : 'network error');
  return true;
}

// The page fetches zorvex.wasm itself, under the name the game's script asks for, so that a
// failure can say which file it was.
let wasmUrl = 'zorvex.wasm';
function instantiateWasm(imports, receiveInstance) {
  fetch(wasmUrl, { credentials: 'same-origin' })
    .then((response) => {
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
      // Compiled as it arrives; a server that sends another type than application/wasm gets the
      // slower way.
      return WebAssembly.instantiateStreaming(response.clone(), imports)
        .catch(() => response.arrayBuffer().then((bytes) => WebAssembly.instantiate(bytes, imports)));
    }, () => { throw new Error('network error'); })
    .then((result) => receiveInstance(result.instance, result.module),
      (error) => showLoadFailure(fileName(wasmUrl), error.message));
  return {};
}

// Starts the game, which draws with `context`, the canvas's WebGL 2 context (web/webgl.js).
// onFrame() runs after every frame it presents, onFirstFrame() after the first,
// showMessageBox(caption, text, dismissed) opens the win box.
export function startGame({ context, onFrame, onFirstFrame, showMessageBox }) {
  const stopped = (what) => showStatus('Zorvex stopped: ' + what);
  window.addEventListener('error', (event) => {
    if (!failed && !dataLoadFailure(event.message)) stopped(event.message);
  });
  window.addEventListener('unhandledrejection', (event) => failed || stopped(String(event.reason)));
  window.Module = {
    canvas: element('canvas'),
    preinitializedWebGLContext: context,
    locateFile: (file, prefix) => {
      if (file.endsWith('.wasm')) wasmUrl = prefix + file;
      return prefix + file;
    },
    instantiateWasm,
    print: (line) => {
      console.log(line);
      showOutputLine(line);
    },
    printErr: (line) => console.error(line),
    onFramePresented: () => {
      zorvex.frames += 1;
      onFrame();
      if (zorvex.firstFrameAt === null) {
        zorvex.firstFrameAt = performance.now();
        status.hidden = true;
        onFirstFrame();
      }
    },
    showMessageBox: (caption, text, dismissed) => {
      status.hidden = true;
      showMessageBox(caption, text, dismissed);
    },
    onExit: (exitStatus) => {
      zorvex.exitStatus = exitStatus;
      status.hidden = true;
      element('ended').hidden = false;
    },
    onAbort: stopped,
  };
  // The page names the game's script in a template, so that it starts only from here.
  const script = document.createElement('script');
  script.src = element('game-script').content.querySelector('script').getAttribute('src');
  script.addEventListener('error', () => showLoadFailure(fileName(script.src), 'not found or no network'));
  document.body.append(script);
}
